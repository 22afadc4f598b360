#include "settings/settings_frame.h"

bool SettingsDialogDark(const Settings& s) {
    return (static_cast<uint32_t>(s.stylez) & Style::DarkMode) && s.more_dark != 0;
}

uint32_t SettingsBackColor(const Settings& s) {
    if (!SettingsDialogDark(s)) return 0xFFFFFF;
    return s.more_dark <= 2 ? 0xD0D0D0 : 0x404040;
}

uint32_t SettingsTextColor(const Settings& s) {
    return SettingsDialogDark(s) && s.more_dark >= 3 ? 0xE0E0E0 : 0x000000;
}

bool SettingsTreeTextColor(const Settings& s, uint32_t& color) {
    if (!SettingsDialogDark(s) || s.more_dark < 3) return false;
    color = 0xE0E0E0;
    return true;
}

std::wstring RestartArguments(bool playing, bool portable) {
    std::wstring args;
    if (playing) args += L" /r";
    if (portable) args += L" /localini";
    args += L" /newinst";
    return args;
}
