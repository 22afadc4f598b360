// The settings dialog's frame: the page tree, the selected page, "Restart Zuvo" and "&Close".
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"
#include "settings/settings_host.h"

// What the dialog needs to know once, at start-up.
struct SettingsStart {
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    double dpiFactor = 1.0;
    SettingsHost host;
};
void SettingsStartWin(const SettingsStart& start);

// kCmdSettings (F6) opens the dialog on the page of tab_sel; kCmdConfigureBigView opens it on
// the "Big view" page. Modal.
void SettingsCommandWin(CommandId id, intptr_t lParam);

