// What the frame shares with the pages it hosts: the page colours, and the procedures of the
// general pages (the sound pages' procedures are declared in sound_pages_win.h).
#pragma once
#include <windows.h>

#include "settings/settings_page_win.h"

// WM_CTLCOLORDLG / STATIC / BTN / EDIT / LISTBOX of a page or the frame: sets the text and
// background colours of the env and returns its brush; 0 for other messages or a null env.
INT_PTR SettingsPageColorWin(const SettingsPageEnv* env, UINT msg, WPARAM wp);

// In the dark dialogs: the page's group boxes, check boxes and radio buttons lose their visual
// style, so that they draw their texts in the env's colours.
void SettingsPageDarkenWin(HWND page, const SettingsPageEnv* env);

// The env a page was created with (kept in the page's DWLP_USER by the page procedures).
SettingsPageEnv* SettingsPageEnvWin(HWND page);

INT_PTR CALLBACK QuickPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
// Pages 5, 6, 7 and 9 to 18: the controls of the control table, and the page's own extras.
INT_PTR CALLBACK GeneralPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
