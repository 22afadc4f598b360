#include "settings/settings_frame.h"

#include <cmath>
#include <utility>

namespace {

// Readable text on a field: the contrast asked of body text.
constexpr double kReadable = 4.5;
// A field darker than this reads as dark beside the dark page.
constexpr double kDarkField = 0.05;
// The fallback field: darker than the page, under the page's light text.
constexpr uint32_t kFallbackField = 0x262626;

double Channel(uint32_t c) {
    const double v = (c & 0xFF) / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

}  // namespace

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

double ColorLuminance(uint32_t color) {
    // COLORREF: red in the low byte.
    return 0.2126 * Channel(color) + 0.7152 * Channel(color >> 8) + 0.0722 * Channel(color >> 16);
}

double ColorContrast(uint32_t a, uint32_t b) {
    double la = ColorLuminance(a), lb = ColorLuminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

bool SettingsFieldColors(const Settings& s, uint32_t& back, uint32_t& text) {
    if (!SettingsDialogDark(s) || s.more_dark < 3) return false;
    const uint32_t listBack = static_cast<uint32_t>(s.color_back) & 0xFFFFFF;
    const uint32_t listText = static_cast<uint32_t>(s.color_text) & 0xFFFFFF;
    if (ColorLuminance(listBack) <= kDarkField && ColorContrast(listBack, listText) >= kReadable) {
        back = listBack;
        text = listText;
    } else {
        back = kFallbackField;
        text = SettingsTextColor(s);
    }
    return true;
}
