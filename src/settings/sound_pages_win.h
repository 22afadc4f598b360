// The sound pages of the settings dialog: "Audio" (1), "Decoders" (2), "Enhancer 1" (3),
// "Enhancer 2" (4), and the "Hotkeys" page (8). Their templates are in sound_pages.rc (control
// ids 4000..4499); each procedure takes a SettingsPageEnv* with WM_INITDIALOG.
#pragma once
#include <windows.h>

INT_PTR CALLBACK AudioPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK DecodersPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK Enhancer1PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK Enhancer2PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK HotkeysPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
