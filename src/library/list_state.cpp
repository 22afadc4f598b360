#include "library/list_state.h"

#include "base/utf.h"
#include "library/track_list.h"

std::string ListStateText(const std::vector<ListStateRow>& rows, bool infoColumn) {
    // Cells 1, 3 and 5 may hold any name and go out as UTF-8; the size and date cells are
    // plain 8-bit text.
    auto narrow = [](const std::wstring& w) {
        std::string out;
        for (wchar_t c : w) out += static_cast<uint32_t>(c) < 0x100 ? static_cast<char>(c) : '?';
        return out;
    };
    std::string out;
    for (const ListStateRow& r : rows) {
        out += WideToUtf8(r.cells[0]);
        out += '|';
        out += narrow(r.cells[1]);
        out += '|';
        out += WideToUtf8(r.cells[2]);
        out += '|';
        out += narrow(r.cells[3]);
        if (infoColumn) {
            out += '|';
            out += WideToUtf8(r.cells[4]);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<ListStateRow> ReadListStateText(std::string_view bytes) {
    auto widen = [](std::string_view t) {
        std::wstring out;
        for (char c : t) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return out;
    };
    std::vector<ListStateRow> rows;
    size_t pos = 0;
    for (;;) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string_view::npos) break;
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 2;
        ListStateRow row;
        for (int cell = 0; cell < 5; ++cell) {
            // File names cannot hold "|", so the last cell takes the rest of the line.
            size_t bar = cell < 4 ? line.find('|') : std::string_view::npos;
            std::string_view text = line.substr(0, bar);
            row.cells[cell] = (cell == 1 || cell == 3) ? widen(text) : Utf8ToWide(text);
            if (bar == std::string_view::npos) break;
            line.remove_prefix(bar + 1);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ListStateRowsOf(const TrackList& list, std::vector<ListStateRow>& rows) {
    // A folder list is saved with each row's own folder, so that it reads back as a saved
    // folder list; play lists and cue sheets are read again from their files instead.
    if (list.kind != folderList && list.kind != savedFolderList) return false;
    rows.clear();
    for (int i = 0; i < static_cast<int>(list.rows.size()); ++i) {
        const ListRow& r = list.rows[static_cast<size_t>(i)];
        if (IsNavigationRow(r)) continue;
        ListStateRow out;
        for (int c = 0; c < kListColumns; ++c) out.cells[c] = r.cell[c];
        if (list.kind == folderList) {
            std::wstring path;
            if (RowPath(list, i, path, false) != 1) continue;
            size_t slash = path.find_last_of(L'\\');
            if (slash == std::wstring::npos) continue;
            out.cells[0] = path.substr(slash + 1);
            out.cells[2] = path.substr(0, slash);
        }
        rows.push_back(std::move(out));
    }
    return true;
}

void SetSavedFolderRows(TrackList& list, std::vector<ListStateRow> rows, const Settings& s) {
    list.rows.clear();
    list.kind = savedFolderList;
    list.navRowCount = 0;
    list.currentRow = -1;
    list.focusedRow = -1;
    for (ListStateRow& r : rows) {
        AddRow(list, static_cast<int>(list.rows.size()), std::move(r.cells[0]),
               std::move(r.cells[1]), std::move(r.cells[2]), std::move(r.cells[3]), s);
        list.rows.back().cell[4] = std::move(r.cells[4]);
    }
}

bool RestoreSavedList(TrackList& list, const std::string& bytes, const Settings& s) {
    std::vector<ListStateRow> saved = ReadListStateText(bytes);
    if (saved.empty()) return false;
    SetSavedFolderRows(list, std::move(saved), s);
    list.sortByte = SortByteOf(list, s);
    ApplyListWidths(list, s);
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    return true;
}

std::wstring ListStatePath(std::wstring_view iniPath, wchar_t letter) {
    std::wstring p(iniPath);
    if (!p.empty()) p.back() = letter;
    return p;
}
