#include "library/list_rename.h"

#include "library/folder_ops.h"

std::wstring RenameTarget(const TrackList& list, int row, std::wstring_view typed) {
    std::wstring from;
    if (list.kind != folderList || RowPath(list, row, from, false) != 1) return {};
    while (!typed.empty() && typed.front() == L' ') typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == L' ' || typed.back() == L'.')) typed.remove_suffix(1);
    if (typed.empty()) return {};
    const bool drive = typed.size() > 2 && typed[1] == L':' && typed[2] == L'\\';
    for (size_t i = 0; i < typed.size(); ++i) {
        const wchar_t c = typed[i];
        if (c < 32 || c == L'/' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
            c == L'>' || c == L'|' || (c == L':' && !(drive && i == 1)))
            return {};
    }
    std::wstring to;
    if (drive || typed.substr(0, 2) == L"\\\\") {
        to = typed;
    } else {
        to = list.folder;
        while (!to.empty() && to.back() == L'\\') to.pop_back();
        to += L'\\';
        to += typed;
    }
    if (to.back() == L'\\') return {};
    const std::wstring& type = list.rows[static_cast<size_t>(row)].cell[2];
    if (!type.empty() && !EndsWithNoCase(to, L"." + type)) to += L"." + type;
    return to;
}
