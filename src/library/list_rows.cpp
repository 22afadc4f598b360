// Row roles, paths, lookup, the current row and the selection.
#include <algorithm>

#include "library/list_text.h"
#include "library/track_list.h"

namespace {
int Count(const TrackList& list) { return static_cast<int>(list.rows.size()); }

void Repaint(const TrackList& list, int row) {
    if (list.view.rowChanged && row >= 0 && row < Count(list))
        list.view.rowChanged(list.view.ctx, row);
}
}  // namespace

bool IsNavigationRow(const ListRow& row) { return row.cell[0].compare(0, 2, L" [") == 0; }

void AddRow(TrackList& list, int index, std::wstring name, std::wstring size, std::wstring type,
            std::wstring date, const Settings& s) {
    ListRow row;
    row.cell[0] = std::move(name);
    row.cell[1] = std::move(size);
    row.cell[2] = std::move(type);
    row.cell[3] = std::move(date);
    const bool cue = list.kind == cueList || list.kind == cueListIdle;
    if ((static_cast<uint32_t>(s.list_style) & ListStyle::MonthColors) && !cue)
        row.icon = static_cast<int8_t>(MonthIcon(row.cell[3]));
    index = std::clamp(index, 0, Count(list));
    list.rows.insert(list.rows.begin() + index, std::move(row));
}

int RowPath(const TrackList& list, int row, std::wstring& out, bool nameOnly) {
    if (row < 0 || row >= Count(list)) return 0;
    const ListRow& r = list.rows[static_cast<size_t>(row)];
    const std::wstring& name = r.cell[0];
    const std::wstring& type = r.cell[2];
    if (IsNavigationRow(r)) return 2;
    if (IsUrlExact(type)) {
        out = type;
    } else if (name.size() > 1 && (name[1] == L':' || name[1] == L'\\')) {
        out = name;  // an absolute or network path
    } else if (nameOnly) {
        out = list.kind == folderList ? name + L"." + type : name;
    } else if (list.kind == folderList) {
        std::wstring folder = list.folder;
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        out = folder + L"\\" + name + L"." + type;
    } else {
        out = type + L"\\" + name;
    }
    return 1;
}

int FindRow(const TrackList& list, const std::wstring& path) {
    std::wstring key = path;
    if (list.kind != cueList && list.kind != cueListIdle) {
        size_t slash = key.find_last_of(L'\\');
        if (slash != std::wstring::npos) key.erase(0, slash + 1);
        if (list.kind == folderList) {
            size_t dot = key.find_last_of(L'.');
            if (dot != std::wstring::npos) key.resize(dot);
        }
    }
    std::wstring rowPath;
    if (IsUrlExact(path)) {
        for (int i = 0; RowPath(list, i, rowPath, false) == 1; ++i)
            if (rowPath == path) return i;
    }
    for (int i = 0; i < Count(list); ++i) {
        if (!SameTextNoCase(list.rows[static_cast<size_t>(i)].cell[0], key)) continue;
        if (RowPath(list, i, rowPath, false) == 1 && SameTextNoCase(rowPath, path)) return i;
    }
    for (int i = 0; i < Count(list); ++i)
        if (SameTextNoCase(list.rows[static_cast<size_t>(i)].cell[0], path)) return i;
    return -1;
}

int CurrentRowOf(const TrackList& list, const Settings& s) {
    if (list.currentRow >= 0 || list.kind == cueList || list.kind == cueListIdle)
        return list.currentRow;
    if (s.last_file.empty()) return -1;
    return FindRow(list, s.last_file);
}

bool SetCurrentRow(TrackList& list, int row, bool scroll) {
    if (list.rows.empty() || row < 0 || row >= Count(list)) return false;
    const int old = list.currentRow;
    list.currentRow = row;
    Repaint(list, old);
    Repaint(list, row);
    if (scroll && list.view.ensureVisible) list.view.ensureVisible(list.view.ctx, row, false);
    return true;
}

void SelectOnly(TrackList& list, int row) {
    if (list.rows.empty()) return;
    row = std::clamp(row, 0, Count(list) - 1);
    for (ListRow& r : list.rows) r.selected = false;
    list.rows[static_cast<size_t>(row)].selected = true;
    list.focusedRow = row;
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    if (list.view.ensureVisible) list.view.ensureVisible(list.view.ctx, row, false);
}

int SelectedCount(const TrackList& list) {
    return static_cast<int>(
        std::count_if(list.rows.begin(), list.rows.end(), [](const ListRow& r) { return r.selected; }));
}

RowColours RowColoursOf(const TrackList& list, int row, const Settings& s) {
    if (row >= 0 && row == list.currentRow)
        return RowColours{s.color_track, s.trackBackgroundSet ? s.color_trkbg : s.color_back,
                          s.trackBackgroundSet};
    return RowColours{s.color_text, s.color_back, false};
}

PlayableFollow PlayableChangeFollow(const TrackList& list) {
    // Rows the user collected (the Playlist view, finder results, a restored list) are the
    // user's: they stay, and a row no longer playable is skipped when its turn comes, as an
    // unreadable file is. The Insert view shows no cue sheet (its rows are cleared when it
    // opens on one).
    if (!list.window || list.role == ListRole::PlaylistView || list.kind == savedFolderList)
        return PlayableFollow::Keep;
    const bool cue = list.kind == cueList || list.kind == cueListIdle;
    if (list.folder.empty() || (cue && list.role == ListRole::InsertView))
        return PlayableFollow::Keep;
    return PlayableFollow::Reload;
}
