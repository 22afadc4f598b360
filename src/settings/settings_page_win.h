// The settings dialog's pages: each page is a dialog template in the resource script and a
// dialog procedure. The frame creates the selected page as a child with CreateDialogParamW,
// passing a SettingsPageEnv* as the WM_INITDIALOG lParam; at most one page exists at a time.
#pragma once
#include <windows.h>

#include "settings/settings_host.h"

struct Settings;

// Page template resource ids: kSettingsPageTemplate + page index (0 = "Quick settings" ...
// 18 = "About Zuvo").
constexpr int kSettingsPageTemplate = 3000;
inline LPCWSTR SettingsPageTemplateWin(int page) {
    return MAKEINTRESOURCEW(kSettingsPageTemplate + page);
}

struct SettingsPageEnv {
    Settings* settings = nullptr;     // the record the page edits in place
    const SettingsHost* host = nullptr;
    HBRUSH back = nullptr;            // the frame's background brush (white, or dark)
    COLORREF backColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    bool dark = false;
    double dpiFactor = 1.0;
    // The fields (edit boxes, drop-down lists and their lists, list views, trees) of a dark
    // page: their brush and colours; field is null on light pages.
    HBRUSH field = nullptr;
    COLORREF fieldBack = RGB(255, 255, 255);
    COLORREF fieldText = RGB(0, 0, 0);
    // The entry the "Preset themes" list shows: the theme chosen last while the dialog is open.
    int themeShown = 0;
};
