#include "library/folder_ops.h"

#include <cwchar>

namespace {
bool Collect(void* cbCtx, const DirEntry& e) {
    static_cast<std::vector<DirEntry>*>(cbCtx)->push_back(e);
    return true;
}

wchar_t FoldCase(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<wchar_t>(c + 32);
    return c;
}
}  // namespace

bool ListFolder(const FolderOps& fs, const std::wstring& folder, const std::wstring& pattern,
                std::vector<DirEntry>& out) {
    out.clear();
    return fs.enumerate && fs.enumerate(fs.ctx, folder, pattern, Collect, &out);
}

int CollateText(const FolderOps& fs, const wchar_t* a, const wchar_t* b) {
    if (fs.collate) return fs.collate(fs.ctx, a, b);
    return std::wcscmp(a, b);
}

bool SameTextNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view tail) {
    return text.size() >= tail.size() && SameTextNoCase(text.substr(text.size() - tail.size()), tail);
}

bool IsListFileName(std::wstring_view name) {
    return EndsWithNoCase(name, L".m3u") || EndsWithNoCase(name, L".m3u8") ||
           EndsWithNoCase(name, L".cue");
}
