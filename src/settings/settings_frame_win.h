// What the frame shares with the pages it hosts: the page colours, and the procedures of the
// general pages (the sound pages' procedures are declared in sound_pages_win.h).
#pragma once
#include <windows.h>

#include "settings/settings_page_win.h"

// WM_CTLCOLORDLG / STATIC / BTN / EDIT / LISTBOX of a page or the frame: sets the text and
// background colours of the env and returns its brush; 0 for other messages or a null env.
INT_PTR SettingsPageColorWin(const SettingsPageEnv* env, UINT msg, WPARAM wp);

// In the dark dialogs: the page's group boxes, check boxes and radio buttons lose their visual
// style, so that they draw their texts in the env's colours; on dark pages the fields (edit
// and number boxes, drop-down lists and their lists, list views, trees) take the env's field
// colours. Every page procedure calls it when its page is made.
void SettingsPageDarkenWin(HWND page, const SettingsPageEnv* env);

// After a change of the settings that may change the dialog's look (a colour theme, the dark
// mode options): the open dialog's frame, tree and page take the new colours at once (posted,
// so that the control that changed is not destroyed under its own message).
void SettingsRecolourWin();

// The colours and theme values as they were when the dialog opened: what theme 0 ("Current")
// puts back.
struct ThemeSnapshot;
const ThemeSnapshot* SettingsOpeningThemeWin();

// The env a page was created with (kept in the page's DWLP_USER by the page procedures).
SettingsPageEnv* SettingsPageEnvWin(HWND page);

INT_PTR CALLBACK QuickPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
// Pages 5, 6, 7 and 9 to 18: the controls of the control table, and the page's own extras.
INT_PTR CALLBACK GeneralPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp);
