// The list state files: one row per line, "|" between the cells, CR LF after each row; the
// name, type and info cells as UTF-8, the size and date cells as 8-bit text. The exit writes
// them, the start reads them back.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// One row of a list state file: up to five cells.
struct ListStateRow {
    std::wstring cells[5];
};

// The list state file beside the settings file: iniPath with its last character replaced
// ("p" the Playlist view, "d" the File view).
std::wstring ListStatePath(std::wstring_view iniPath, wchar_t letter);

std::string ListStateText(const std::vector<ListStateRow>& rows, bool infoColumn);
// The rows of a list state file. A line without a CR LF at its end (a cut-off write) is
// ignored; a missing cell is empty.
std::vector<ListStateRow> ReadListStateText(std::string_view bytes);
