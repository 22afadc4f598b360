// The Playlist view's rows: enqueued files, a folder's content, clearing, and the rows kept
// from one session to the next. The pane's list holds rows that carry their own folder
// (cell 2), so it is a list of kind savedFolderList.
#include <algorithm>

#include "base/path.h"
#include "library/list_text.h"
#include "library/playlist_file.h"

namespace {
struct Found {
    const std::wstring* name;
    DirEntry entry;
    bool hit = false;
};

bool TakeEntry(void* ctx, const DirEntry& e) {
    Found& f = *static_cast<Found*>(ctx);
    if (!SameTextNoCase(e.name, *f.name)) return true;
    f.entry = e;
    f.hit = true;
    return false;
}

ListRow RowFromEntry(const DirEntry& e, const std::wstring& folder, const Settings& s) {
    ListRow row;
    row.cell[0] = e.name;
    row.cell[1] = SizeText(e.size, s);
    row.cell[2] = folder;
    row.cell[3] = DateText(e.created, e.written, s);
    return row;
}

int Find(const TrackList& list, uint32_t tag) {
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].tag == tag) return static_cast<int>(i);
    return -1;
}

void Changed(TrackList& list) {
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
}
}  // namespace

ListRow PlaylistRowOf(const std::wstring& path, const FolderOps& fs, const Settings& s) {
    ListRow row;
    if (IsUrlExact(path)) {
        row.cell[0] = path;
        row.cell[2] = path;
        return row;
    }
    const std::wstring folder = PathFolder(path);
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    Found f{&name, {}, false};
    fs.enumerate(fs.ctx, folder, name, TakeEntry, &f);
    if (f.hit) return RowFromEntry(f.entry, folder, s);
    row.cell[0] = name;
    row.cell[2] = folder;
    return row;
}

int EnqueuePosition(const TrackList& view, int position) {
    const int count = static_cast<int>(view.rows.size());
    if (position >= 0) return std::min(position, count);
    if (view.focusedRow >= 0 && view.focusedRow < count) return view.focusedRow + 1;
    return count;
}

int InsertRowsKeepingCurrent(TrackList& view, int index, std::vector<ListRow> rows) {
    for (ListRow& r : view.rows) r.tag = 0;
    if (view.currentRow >= 0 && view.currentRow < static_cast<int>(view.rows.size()))
        view.rows[static_cast<size_t>(view.currentRow)].tag = kMovingRowTag;
    index = std::clamp(index, 0, static_cast<int>(view.rows.size()));
    for (ListRow& r : rows) r.tag = 0;
    const int n = static_cast<int>(rows.size());
    view.rows.insert(view.rows.begin() + index, std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
    view.currentRow = Find(view, kMovingRowTag);
    if (view.currentRow >= 0) view.rows[static_cast<size_t>(view.currentRow)].tag = 0;
    Changed(view);
    return index + n;
}

int EnqueuePath(TrackList& view, const std::wstring& path, int position, const FolderOps& fs,
                const Settings& s) {
    std::vector<ListRow> rows{PlaylistRowOf(path, fs, s)};
    return InsertRowsKeepingCurrent(view, EnqueuePosition(view, position), std::move(rows));
}

int EnqueueSelection(TrackList& view, const TrackList& fileView, int position, const FolderOps& fs,
                     const Settings& s) {
    std::vector<ListRow> rows;
    std::wstring path;
    for (int i = 0; i < static_cast<int>(fileView.rows.size()); ++i)
        if (fileView.rows[static_cast<size_t>(i)].selected &&
            RowPath(fileView, i, path, false) == 1)
            rows.push_back(PlaylistRowOf(path, fs, s));
    if (rows.empty()) return EnqueuePosition(view, position);
    return InsertRowsKeepingCurrent(view, EnqueuePosition(view, position), std::move(rows));
}

int ContentToPlaylist(TrackList& view, const std::wstring& folder, const FolderOps& fs,
                      const Settings& s, const std::string& playable) {
    std::vector<DirEntry> entries;
    if (!ListFolder(fs, folder, L"*.*", entries)) return 0;
    const bool showHidden = static_cast<uint32_t>(s.list_style) & ListStyle::ShowHidden;
    std::vector<ListRow> rows;
    for (const DirEntry& e : entries) {
        if (e.attributes & EntryAttr::Directory) continue;
        if ((e.attributes & EntryAttr::Hidden) && !showHidden) continue;
        if (PathPlayableKind(e.name, playable)) rows.push_back(RowFromEntry(e, folder, s));
    }
    const int n = static_cast<int>(rows.size());
    InsertRowsKeepingCurrent(view, static_cast<int>(view.rows.size()), std::move(rows));
    return n;
}

void ClearPlaylistView(TrackList& view) {
    view.rows.clear();
    view.currentRow = -1;
    view.focusedRow = -1;
    Changed(view);
}

std::vector<ListStateRow> PlaylistStateRows(const TrackList& view) {
    std::vector<ListStateRow> out;
    for (const ListRow& r : view.rows) {
        ListStateRow row;
        for (int c = 0; c < kListColumns; ++c) row.cells[c] = r.cell[c];
        out.push_back(std::move(row));
    }
    return out;
}

void RestorePlaylistRows(TrackList& view, const std::vector<ListStateRow>& rows,
                         const Settings& s) {
    SetSavedFolderRows(view, rows, s);
    if (!s.last_file.empty()) view.currentRow = FindRow(view, s.last_file);
    Changed(view);
}
