// Reading a folder, play list or cue sheet into a list, and opening a navigation row.
#include <algorithm>

#include "base/text.h"
#include "library/list_text.h"
#include "library/track_list.h"

namespace {
void ChangeKind(TrackList& list, uint8_t kind, Settings& s) {
    list.kind = kind;
    list.sortByte = SortByteOf(list, s);
    ApplyListWidths(list, s);
}

// Folder and list-file rows, sorted by name, with the parent row on top. Returns the row on
// the way to the playing track, -1 for none.
int ReadNavigationRows(TrackList& list, const std::wstring& path,
                       const std::vector<DirEntry>& entries, const ListEnv& env) {
    const Settings& s = *env.s;
    std::wstring wayToTrack;
    for (const DirEntry& e : entries) {
        const uint32_t a = e.attributes;
        if ((a & EntryAttr::Hidden) && (a & EntryAttr::System)) continue;
        if (a & EntryAttr::ReparsePoint) continue;
        if (e.name == L"." || e.name == L"..") continue;
        if (a & EntryAttr::Directory) {
            AddRow(list, 0, L" [+]  " + e.name, L" ", L"DIR ", L" ", s);
            if (wayToTrack.empty() && s.last_file.find(L"\\" + e.name + L"\\") != std::wstring::npos)
                wayToTrack = list.rows[0].cell[0];
        } else if (IsListFileName(e.name)) {
            AddRow(list, 0, L" [#]  " + e.name, L" ", L"LIST ", L" ", s);
        } else {
            continue;
        }
        ++list.navRowCount;
    }
    list.nameOnlySort = 1;
    SortRowRange(list, env, 0, list.navRowCount);
    list.nameOnlySort = 0;
    if (path.find(L'\\') != std::wstring::npos) {
        std::wstring last = path.substr(path.find_last_of(L'\\') + 1);
        AddRow(list, 0, L" [..]  [.\\" + last + L"]", L" ", L"DIR ", L" ", s);
        ++list.navRowCount;
    }
    for (int i = 0; i < list.navRowCount && !wayToTrack.empty(); ++i)
        if (list.rows[static_cast<size_t>(i)].cell[0] == wayToTrack) return i;
    return -1;
}

void ReadTrackRows(TrackList& list, const std::vector<DirEntry>& entries, const ListEnv& env) {
    const Settings& s = *env.s;
    const bool showHidden = static_cast<uint32_t>(s.list_style) & ListStyle::ShowHidden;
    const size_t top = list.rows.size();
    for (const DirEntry& e : entries) {
        if (e.attributes & EntryAttr::Directory) continue;
        if ((e.attributes & EntryAttr::Hidden) && !showHidden) continue;
        const size_t dot = e.name.find_last_of(L'.');
        if (dot == std::wstring::npos) continue;
        std::wstring ext = e.name.substr(dot + 1);
        const int kind = PlayableKind(ext, *env.playable);
        if (kind != 1 && kind != 2) continue;
        AddRow(list, static_cast<int>(list.rows.size()), e.name.substr(0, dot), SizeText(e.size, s),
               std::move(ext), DateText(e.created, e.written, s), s);
    }
    // Each row goes in at the top of the tracks as it is found.
    std::reverse(list.rows.begin() + static_cast<std::ptrdiff_t>(top), list.rows.end());
}

// The File view's last step: the saved list, the current row and the selection.
void FinishFileView(TrackList& list, const ListEnv& env, bool hadNavRows, bool gotoCurrent) {
    Settings& s = *env.s;
    std::string saved;
    if (env.hooks.takeSavedList && env.hooks.takeSavedList(env.hooks.ctx, saved) &&
        RestoreSavedList(list, saved, s)) {
        RewriteHeaders(list);
    }
    int row = s.last_file.empty() ? -1 : FindRow(list, s.last_file);
    if (row < 0 && env.hooks.recallFolderPosition)
        row = env.hooks.recallFolderPosition(env.hooks.ctx, list);
    if (row >= 0 || !hadNavRows) {
        if (!SetCurrentRow(list, row, true)) SelectOnly(list, 0);
    }
    if (gotoCurrent && list.currentRow >= 0) {
        SelectOnly(list, list.currentRow);
        if (list.view.ensureVisible) list.view.ensureVisible(list.view.ctx, list.currentRow, true);
    }
}
}  // namespace

int LoadList(TrackList& list, const std::wstring& path, const ListEnv& env, bool gotoCurrent) {
    Settings& s = *env.s;
    if (list.role == ListRole::PlaylistView || !list.window) return 0;
    if (env.hooks.stopInfoScan) env.hooks.stopInfoScan(env.hooks.ctx, list);
    list.timeColumn = 0;
    if (env.fs->tickCount) ListRandSeed(env.fs->tickCount(env.fs->ctx));
    SaveListWidths(list, s);
    list.rows.clear();
    list.currentRow = -1;
    list.focusedRow = -1;
    list.navRowCount = 0;
    list.folder = path;

    if (IsListFileName(path)) {
        const bool cue = EndsWithNoCase(path, L".cue");
        ChangeKind(list, cue ? cueList : playList, s);
        if (cue && env.hooks.readCueSheet) env.hooks.readCueSheet(env.hooks.ctx, list, path);
        if (!cue && env.hooks.readPlayList) env.hooks.readPlayList(env.hooks.ctx, list, path);
        if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
        RewriteHeaders(list);
        return 1;
    }

    if (list.kind != folderList) ChangeKind(list, folderList, s);
    else list.sortByte = SortByteOf(list, s);
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    if (!env.fs->setCurrent(env.fs->ctx, path)) return 0;
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L':') {
        folder += L'\\';
        env.fs->setCurrent(env.fs->ctx, folder);
    }
    std::vector<DirEntry> entries;
    ListFolder(*env.fs, folder, L"*.*", entries);

    bool hadNavRows = false;
    if (static_cast<uint32_t>(s.control_flags) & ControlFlag::FoldersInFileView) {
        const int way = ReadNavigationRows(list, path, entries, env);
        hadNavRows = list.navRowCount > 0;
        if (way >= 0) SetCurrentRow(list, way, true);
    }
    ReadTrackRows(list, entries, env);
    if ((static_cast<uint32_t>(s.list_style) & ListStyle::AlwaysScanInfo) && env.hooks.startInfoScan)
        env.hooks.startInfoScan(env.hooks.ctx, list);
    if (!Resort(list, env) && list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    RewriteHeaders(list);

    if (list.role == ListRole::FileView) FinishFileView(list, env, hadNavRows, gotoCurrent);
    if (env.hooks.listChanged) env.hooks.listChanged(env.hooks.ctx, list);
    return 1;
}

NavTarget OpenNavigationRow(const TrackList& list, std::wstring& path) {
    if (list.kind != folderList || SelectedCount(list) > 1) return NavTarget::None;
    if (list.focusedRow < 0 || list.focusedRow >= static_cast<int>(list.rows.size()))
        return NavTarget::None;
    const ListRow& r = list.rows[static_cast<size_t>(list.focusedRow)];
    if (r.cell[2] != L"DIR " && r.cell[2] != L"LIST ") return NavTarget::None;
    if (r.cell[0].compare(0, 5, L" [..]") == 0) return NavTarget::Parent;
    std::wstring folder = list.folder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    path = folder + L"\\" + r.cell[0].substr(std::min<size_t>(6, r.cell[0].size()));
    return NavTarget::Path;
}
