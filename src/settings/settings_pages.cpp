#include "settings/settings_pages.h"

const SettingsPageInfo kSettingsPages[kSettingsPageCount] = {
    {"Quick settings", -1}, {"Audio", -1},         {"Decoders", 1},      {"Enhancer 1", 1},
    {"Enhancer 2", 1},      {"Control", -1},       {"Lists and info", 5}, {"Toolbar", 5},
    {"Hotkeys", 5},         {"Special", 5},        {"Window style", -1}, {"List style", 10},
    {"Big view", 10},       {"System", -1},        {"File options", 13}, {"Web server", 13},
    {"Title options", -1},  {"Logging", 16},       {"About Zuvo", -1},
};
