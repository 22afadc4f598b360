#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "config/settings_io.h"
#include "dsp/enh2.h"
#include "support/default_settings.h"
#include "settings/quick_settings.h"
#include "settings/settings_frame.h"

namespace {

// key -> value line of the settings file text: what a record change shows in the file.
std::map<std::string, std::string> Lines(const Settings& s) {
    std::map<std::string, std::string> out;
    std::istringstream in(SettingsToIni(s, ""));
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('='), cr = line.find('\r');
        if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1, cr - eq - 1);
    }
    return out;
}

// Each bundle sets exactly its fields and leaves every other key alone (the record starts from
// values that differ from every bundle's). A sound bundle that copies an Enhancer 2 preset names
// it; the preset's three strings are looked up, not written out here.
TEST(QuickSettings, EachChoiceSetsOnlyItsFields) {
    struct Case {
        int choice;
        std::map<std::string, std::string> changed;
        const char* preset = nullptr;  // the Enhancer 2 preset copied
    } cases[] = {
        {kQuickAppearance + 2, {{"toolbar", "1"}}},
        {kQuickAppearance + 3, {{"toolbar", std::to_string(0x10 | 0x5C08A5)}}},
        {kQuickAppearance + 4, {{"list_style", std::to_string(0x1 | 0x10)}, {"info_row", "2198"}}},
        {kQuickAppearance + 5, {{"info_row", "0"}}},  // the scan bit was clear
        {kQuickAppearance + 6,
         {{"stylez", std::to_string(0x2 | 0x300)}, {"picture", "00150,folder.jpg;cover.jpg"}}},
        {kQuickControl + 0, {{"hotkeys", "6"}}},
        {kQuickControl + 1, {{"mouse_flags", "7"}}},
        {kQuickControl + 2,
         {{"control_flags", std::to_string(0x20 | 0x20000)},
          {"list_style", std::to_string(0x1 | 0x10000)},
          {"toolbar", std::to_string(0x10 | 0x20000)}}},
        {kQuickControl + 3, {}},  // the marker file is the program's business
        {kQuickSound + 0,
         {{"enhance", "2"}, {"eq_enable", "0"}, {"overlap2", "6703"}, {"overlap2buf", "10"},
          {"gapless", "13"}},
         "4 band intense 2"},
        {kQuickSound + 1,
         {{"enhance", "2"}, {"eq_enable", "0"}}, "4 band deep bass"},
        {kQuickSound + 2,
         {{"enhance", "0"}, {"eq_enable", "1"}, {"eq", "090,020,000"}, {"eq_f", "00100,03000,05000"}}},
        {kQuickSound + 3,
         {{"stereo_width", "0"}, {"amp_max", "78"}, {"amp_up", "29"}, {"amp_dwn", "82"},
          {"amp_hpcutoff", "0"}, {"amp_threshold", "26"}, {"enhance", "1"}, {"eq_enable", "0"}}},
        {kQuickSound + 4, {{"eq_enable", "0"}, {"enhance", "0"}, {"gapless", "0"}}},
        {kQuickSound + 5, {{"gapless", "1"}}},
        {kQuickSound + 6, {{"gapless", "13"}, {"overlap2", "6706"}, {"overlap2buf", "10"}}},
        {kQuickSound + 7, {{"fadeout", "99722"}}},
        {kQuickSound + 8, {{"outbuflength", "8"}}},
        {kQuickSound + 9, {{"wavedevice", "0"}}},
        {0, {}},
        {kQuickSound + kQuickSoundCount, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        Settings s = DefaultSettings();
        // Values none of the bundles uses, so that every change shows.
        s.toolbar = 0x10, s.list_style = 0x1, s.info_row = 5, s.stylez = 0x1002;
        s.picture = "00090,a.jpg", s.hotkeys = 2, s.mouse_flags = 1, s.control_flags = 0x20;
        s.enh2_1 = "x", s.enh2_2 = "y", s.enh2_lim = "z";
        s.enhance = 3, s.eq_enable = 7, s.overlap2 = 1, s.overlap2buf = 3, s.gapless = 4;
        s.eq = {1, 2, 3}, s.eq_f = {4, 5, 6};
        s.stereo_width = s.amp_max = s.amp_up = s.amp_dwn = s.amp_hpcutoff = s.amp_threshold = 5;
        s.fadeout = 1, s.outbuflength = 2, s.wavedevice = 130;
        const auto before = Lines(s);
        ApplyQuickChoice(s, c.choice, 1.0);
        const auto after = Lines(s);
        std::map<std::string, std::string> changed, want = c.changed;
        for (const auto& [key, value] : after)
            if (before.at(key) != value) changed[key] = value;
        if (c.preset) {
            int i = 0;
            while (i < kEnh2BuiltInPresets && enh2BuiltInPreset(i).name != std::string(c.preset)) ++i;
            ASSERT_LT(i, kEnh2BuiltInPresets) << c.preset;
            want["enh2_1"] = enh2BuiltInPreset(i).enh2_1;
            want["enh2_2"] = enh2BuiltInPreset(i).enh2_2;
            want["enh2_lim"] = enh2BuiltInPreset(i).enh2_lim;
        }
        EXPECT_EQ(changed, want);
    }
}

// The two themes are the dark and the paper theme; the focused list and the portable marker
// are left to the program.
TEST(QuickSettings, FollowUps) {
    struct Case {
        int choice;
        uint32_t back;  // color_back afterwards, 0 when unchanged
        bool rebuild, portable, enh2, face;
    } cases[] = {
        {kQuickAppearance + 0, 0x171717, false, false, false, true},
        {kQuickAppearance + 1, 0xFFFFFF, false, false, false, true},
        {kQuickAppearance + 4, 0, true, false, false, false},
        {kQuickAppearance + 5, 0, true, false, false, false},
        {kQuickControl + 3, 0, false, true, false, false},
        {kQuickSound + 0, 0, false, false, true, false},
        {kQuickSound + 1, 0, false, false, true, false},
        {kQuickSound + 5, 0, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        Settings s = DefaultSettings();
        s.color_back = 0x123456;
        const QuickFollowUp f = ApplyQuickChoice(s, c.choice, 1.0);
        EXPECT_EQ(static_cast<uint32_t>(s.color_back), c.back ? c.back : 0x123456u);
        EXPECT_EQ(std::tuple(f.rebuildList, f.makePortable, f.enh2Reset, f.refreshFace),
                  std::tuple(c.rebuild, c.portable, c.enh2, c.face));
    }
}

TEST(QuickSettings, ChoiceTextsEndWithTheirGroups) {
    EXPECT_STRNE(QuickChoiceText(kQuickSound + kQuickSoundCount - 1), "");
    EXPECT_STREQ(QuickChoiceText(kQuickAppearance + kQuickAppearanceCount), "");
    EXPECT_STREQ(QuickChoiceText(kQuickControl + kQuickControlCount), "");
    EXPECT_STREQ(QuickChoiceText(0), "");
}

TEST(SettingsFrame, RestartArguments) {
    struct Case {
        bool playing, portable;
        const wchar_t* args;
    } cases[] = {
        {false, false, L" /newinst"},
        {true, false, L" /r /newinst"},
        {false, true, L" /localini /newinst"},
        {true, true, L" /r /localini /newinst"},
    };
    for (const Case& c : cases) EXPECT_EQ(RestartArguments(c.playing, c.portable), c.args);
}

// Dark dialogs need both the dark mode bit and more_dark; more_dark 3 on is the dark grey
// with light text, and only there do the tree and the fields get colours of their own (light
// pages leave them to the system).
TEST(SettingsFrame, Colours) {
    struct Case {
        bool darkBit;
        int moreDark;
        uint32_t back, text;
        bool darkPage;
    } cases[] = {
        {false, 0, 0xFFFFFF, 0x000000, false}, {false, 3, 0xFFFFFF, 0x000000, false},
        {true, 0, 0xFFFFFF, 0x000000, false},  {true, 1, 0xD0D0D0, 0x000000, false},
        {true, 2, 0xD0D0D0, 0x000000, false},  {true, 3, 0x404040, 0xE0E0E0, true},
        {true, 9, 0x404040, 0xE0E0E0, true},
    };
    for (const Case& c : cases) {
        Settings s;
        s.stylez = c.darkBit ? static_cast<int32_t>(Style::DarkMode) : 0;
        s.more_dark = static_cast<uint16_t>(c.moreDark);
        EXPECT_EQ(SettingsBackColor(s), c.back);
        EXPECT_EQ(SettingsTextColor(s), c.text);
        uint32_t tree = 0, back = 0, text = 0;
        EXPECT_EQ(SettingsTreeTextColor(s, tree), c.darkPage);
        EXPECT_EQ(SettingsFieldColors(s, back, text), c.darkPage);
    }
}

std::wstring Name(const std::string& head) {
    return LanguageListName(reinterpret_cast<const uint8_t*>(head.data()), head.size());
}

TEST(QuickSettings, LanguageListName) {
    struct Case {
        std::string head;
        const wchar_t* name;
    } cases[] = {
        {"[Zuvo Language File]\r\nDE / Deutsch / German (by someone)\r\n", L"DE / Deutsch / German"},
        {"\xEF\xBB\xBF; comment\r\n[Zuvo Language File]\r\nES / Espa\xC3\xB1ol / Spanish\r\nx",
         L"ES / Espa\u00f1ol / Spanish"},
        {"[Zuvo Language File]\nIT / Italiano", L"IT / Italiano"},  // no line end: to the end
        {"[Zuvo Language File]", L""},                             // no line after the header
        {"[Zuvo Language]\r\nXX\r\n", L""},
        {std::string(190, ' ') + "[Zuvo Language File]\r\nRU\r\n", L""},  // beyond 200 bytes
        {std::string(170, ' ') + "[Zuvo Language File]\r\nRUSSIAN LONG\r\n", L"RUSSIAN "},
    };
    for (const Case& c : cases) EXPECT_EQ(Name(c.head), c.name) << c.head;
    EXPECT_EQ(LanguageListName(nullptr, 10), L"");
}

}  // namespace
