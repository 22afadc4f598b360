// The RSS reader's Windows side: downloads through WinINet (loaded on the first download), the
// local file "Zuvorss.xml" beside the settings file, and the "RSS Viewer" dialog.
#pragma once
#include <windows.h>

#include <string>

#include "base/command_ids.h"
#include "feeds/feeds_ops.h"

void FeedsStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath,
                   const FeedsHost& host);
FeedsOps FeedsOpsWin();

// "View RSS file": the viewer, modal over the main window; nothing when riched32.dll cannot be
// loaded.
void FeedsViewCommandWin(CommandId id, intptr_t lParam);

// The local file's path: the settings file's folder + "Zuvorss.xml"; empty when the settings
// path has no folder.
std::wstring RssFilePathWin();
