// "&Create" / "&Append" of a play list file: what the save dialog proposes and the name it
// hands back completed with the extension of the chosen filter. The rows and the file text
// come from playlist_file.h.
#pragma once
#include <string>

#include "config/settings.h"

// Where the save dialog opens and the name it shows.
struct PlayListDialogStart {
    std::wstring folder;  // the dialog's first folder
    std::wstring name;    // the proposed file (a full path), or empty
};

// The file chosen last time (lastChosen, empty when none) is proposed unless system_flags
// NoRememberDest is set; otherwise the dialog opens in browsed_folder with an empty name.
PlayListDialogStart PlayListDialogProposal(const Settings& s, const std::wstring& lastChosen);

// The dialog's filters, 1-based as the dialog counts them: 1 ".m3u", 2 ".m3u8".
const wchar_t* PlayListFilterExtension(int filterIndex);

// path as the dialog returned it: when its file name has no extension, the chosen filter's
// extension is added.
std::wstring PlayListWithExtension(const std::wstring& path, int filterIndex);

// The status text after writing: "%d %ls" with "track(s) added.".
std::wstring PlayListAddedText(int lines);
