// The cover picture beside the lists: a child static window at the foot of the tree showing the
// picture that belongs to the current track (tags/picture_choice.h chooses), loaded with the
// system's picture loader, or the program's icon. Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "base/command_ids.h"

struct PictureStart {
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    std::wstring settingsFolder;  // where the standard picture is looked for
    void (*layout)() = nullptr;   // the main window's layout, after every change of the window
};
void PictureStartWin(const PictureStart& start);

// 0 track changed, 1 forced, 2 close, 3 open the shown picture with the default program.
void PictureUpdateWin(int mode);
// The picture window and its size; null when none is shown.
HWND PictureWindowWin(int& w, int& h);
// "Open &picture" (Shift+Ctrl+V).
void OpenPictureCommandWin(CommandId id, intptr_t lParam);
// Whether the program runs under Wine (ntdll exports wine_get_version), tested once.
bool RunsUnderWine();
