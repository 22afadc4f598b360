// The save dialog's proposal and the completed name of "&Create" / "&Append".
#include "library/playlist_write.h"

#include <cwchar>

#include "base/path.h"

PlayListDialogStart PlayListDialogProposal(const Settings& s, const std::wstring& lastChosen) {
    PlayListDialogStart out;
    const bool remember = !(static_cast<uint32_t>(s.system_flags) & SystemFlag::NoRememberDest);
    if (remember && !lastChosen.empty()) {
        out.folder = PathFolder(lastChosen);
        out.name = lastChosen;
    } else {
        out.folder = s.browsed_folder;
    }
    return out;
}

const wchar_t* PlayListFilterExtension(int filterIndex) {
    return filterIndex == 2 ? L".m3u8" : L".m3u";
}

std::wstring PlayListWithExtension(const std::wstring& path, int filterIndex) {
    const size_t slash = path.find_last_of(L"\\/");
    const size_t nameAt = slash == std::wstring::npos ? 0 : slash + 1;
    if (nameAt >= path.size()) return path;  // no file name at all: left to the open to fail
    if (path.find(L'.', nameAt) != std::wstring::npos) return path;
    return path + PlayListFilterExtension(filterIndex);
}

std::wstring PlayListAddedText(int lines) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%d %ls", lines, L"track(s) added.");
    return buf;
}
