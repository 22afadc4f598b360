// zuvo-theme-ini THEME DPI OUT [KEY=VALUE...]: writes a settings file as the program would
// after its first start on a screen of display scale DPI with colour theme THEME (1..7) chosen,
// with the KEY=VALUE lines read over it as the program reads its file. For the screenshots and
// the tests that need a theme without clicking through the settings dialog.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/settings_io.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: zuvo-theme-ini THEME DPI OUT [KEY=VALUE...]\n", stderr);
        return 2;
    }
    const int theme = std::atoi(argv[1]);
    const double dpi = std::atof(argv[2]);
    if (theme < 1 || theme > kColourThemeCount || dpi < 1.0 || dpi > 4.0) {
        std::fputs("zuvo-theme-ini: theme 1..7, display scale 1.0..4.0\n", stderr);
        return 2;
    }
    Settings s;
    SetDefaults(s, ScreenMetrics{10, dpi, static_cast<int>(1920 * dpi), static_cast<int>(1080 * dpi)});
    ApplyColourTheme(s, theme, dpi, nullptr);
    std::string lines = "[Zuvo]\n";
    for (int i = 4; i < argc; ++i) lines += std::string(argv[i]) + "\n";
    SettingsFromIni(s, reinterpret_cast<const uint8_t*>(lines.data()), lines.size(), nullptr);
    const std::string text = SettingsToIni(s, {});
    FILE* f = std::fopen(argv[3], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) return 1;
    return std::fclose(f) == 0 ? 0 : 1;
}
