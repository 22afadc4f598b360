#include <gtest/gtest.h>

#include <cstdint>

#include "config/settings_io.h"
#include "settings/settings_frame.h"

namespace {

const ScreenMetrics kScreen{10, 1.0, 1920, 1080};

// The fields of a dark page are readable and never a light box on the dark page, whatever the
// colour theme, and whatever list colours the user picked by hand.
TEST(SettingsLook, DarkFieldsReadableOnEveryTheme) {
    struct Colours {
        int32_t text, back;
    };
    const Colours own[] = {
        {-1, -1},                  // the theme's own list colours
        {0x303030, 0x202020},      // dark but unreadable
        {0x000000, 0xFFFFFF},      // readable but light
        {0xFFFFFF, 0x000000},      // dark and readable
    };
    for (int theme = 1; theme <= kColourThemeCount; ++theme) {
        for (const Colours& c : own) {
            Settings s;
            SetDefaults(s, kScreen);
            ApplyColourTheme(s, theme, 1.0, nullptr);
            s.stylez = static_cast<int32_t>(static_cast<uint32_t>(s.stylez) | Style::DarkMode);
            s.more_dark = 3;
            if (c.text >= 0) {
                s.color_text = c.text;
                s.color_back = c.back;
            }
            uint32_t back = 0, text = 0;
            ASSERT_TRUE(SettingsFieldColors(s, back, text)) << theme;
            EXPECT_GE(ColorContrast(back, text), 4.5) << theme << " " << std::hex << back;
            EXPECT_LE(ColorLuminance(back), ColorLuminance(SettingsBackColor(s)))
                << theme << " " << std::hex << back;
        }
    }
}

// COLORREF holds red in the low byte: green weighs most, blue least; the ratio is symmetric
// and spans 1 (equal colours) to 21 (black on white).
TEST(SettingsLook, LuminanceAndContrast) {
    EXPECT_GT(ColorLuminance(0x00FF00), ColorLuminance(0x0000FF));
    EXPECT_GT(ColorLuminance(0x0000FF), ColorLuminance(0xFF0000));
    EXPECT_NEAR(ColorContrast(0x000000, 0xFFFFFF), 21.0, 0.01);
    for (uint32_t a : {0x000000u, 0x404040u, 0x2B1E10u, 0xE0E0E0u}) {
        EXPECT_NEAR(ColorContrast(a, a), 1.0, 1e-9);
        for (uint32_t b : {0x171717u, 0xC8C8C8u})
            EXPECT_DOUBLE_EQ(ColorContrast(a, b), ColorContrast(b, a));
        EXPECT_LT(ColorLuminance(a), ColorLuminance(a + 0x010101));
    }
}

}  // namespace
