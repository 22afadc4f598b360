#include "ui/hotkeys.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const char kDefault[] = "0x7790x7890x7990x7A90x7B90x7590x7690x0000x0000x0000x0000x0000x000";

TEST(Hotkeys, Presets) {
    struct Case {
        int preset;
        size_t count;
        unsigned firstMods, firstKey, lastKey;
    } cases[] = {
        {1, 5, 0, 0x77, 0x7B},
        {4, 5, HotkeyMod::Win, 0x77, 0x7B},
        {5, 5, 0, 0xB3, 0xAF},
        {6, 3, 0, 0xB3, 0xB0},
    };
    for (const Case& c : cases) {
        const auto r = HotkeyRegistrations(c.preset, kDefault);
        ASSERT_EQ(r.size(), c.count) << c.preset;
        EXPECT_EQ(std::tuple(r.front().modifiers, r.front().key, r.back().key, r.back().id),
                  std::tuple(c.firstMods, c.firstKey, c.lastKey, static_cast<int>(c.count)));
    }
    EXPECT_TRUE(HotkeyRegistrations(0, kDefault).empty());
}

TEST(Hotkeys, OwnDefinitions) {
    const auto r = HotkeyRegistrations(7, kDefault);
    ASSERT_EQ(r.size(), 7u);  // slots 8 to 13 are empty
    EXPECT_EQ(std::tuple(r[0].id, r[0].key, r[0].modifiers),
              std::tuple(1, 0x77u, HotkeyMod::Control | HotkeyMod::Shift));
    EXPECT_EQ(r[5].key, 0x75u);  // slot 6: F6
    // 'A' is 17 after '0': only bit 0 (Ctrl) of the four counts.
    std::string def(kDefault);
    def.replace(0, 5, "0x74A");
    EXPECT_EQ(HotkeyRegistrations(9, def)[0].modifiers, HotkeyMod::Control);
    // A short or broken definition registers what it holds.
    EXPECT_EQ(HotkeyRegistrations(7, "0x7790xZZ0").size(), 1u);
}

TEST(Hotkeys, Texts) {
    struct Case {
        const char* entry;
        const char* want;
    } cases[] = {
        {"0x779", "Ctrl + Shift + F8"},  {"0x41?", "Ctrl + Alt + Win + Shift + A"},
        {"0x000", "No key"},             {"0xB30", "Play/Pause"},
        {"0x6A2", "Alt + Numpad *"},     {"0xDC4", "Win + Misc02"},
        {"0x0A0", ""},                   {"zz", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(HotkeyText(c.entry), c.want) << c.entry;
}

TEST(Hotkeys, SettingsPageRefusesDuplicates) {
    std::string def(kDefault);
    EXPECT_TRUE(HotkeySetSlot(def, 8, 0x41, 1));
    EXPECT_EQ(HotkeyEntry(def, 8), "0x411");
    EXPECT_FALSE(HotkeySetSlot(def, 9, 0x41, 1));  // same as slot 8
    EXPECT_EQ(HotkeyEntry(def, 9), "0x000");
    EXPECT_TRUE(HotkeySetSlot(def, 9, 0x41, 9));   // other modifiers
    EXPECT_TRUE(HotkeySetSlot(def, 8, 0x41, 1));   // its own combination again
    EXPECT_TRUE(HotkeySetSlot(def, 1, 0, 5));      // "No key" twice is no clash
    EXPECT_TRUE(HotkeySetSlot(def, 2, 0, 0));
    EXPECT_EQ(HotkeyEntry(def, 1), "0x000");
    EXPECT_EQ(def.size(), 65u);
    std::string empty;
    EXPECT_TRUE(HotkeySetSlot(empty, 13, 0x7B, 0));
    EXPECT_EQ(empty.size(), 65u);
    EXPECT_EQ(HotkeyRegistrations(7, empty).size(), 1u);
}

}  // namespace
