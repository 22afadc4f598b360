// The track's name shared by the window title and the control page.
#include <gtest/gtest.h>

#include "ui/title_text.h"

namespace {
TEST(TrackTitle, TagsOrFileNameByStyleAndSource) {
    struct Case {
        bool loaded, tagTitles, plugin;
        const wchar_t *displayName, *expected;
    };
    const Case cases[] = {
        {false, true, false, L"A - T", L""},
        {true, false, false, L"A - T", L"01 Song.mp3"},
        {true, true, false, L"A - T", L"A - T"},
        {true, false, true, L"A - T", L"A - T"},
        {true, true, false, L"", L"01 Song.mp3"},  // a display title that names nothing
    };
    for (const Case& c : cases) {
        TrackTitleSource s;
        s.trackLoaded = c.loaded;
        s.tagTitles = c.tagTitles;
        s.pluginTrack = c.plugin;
        s.lastFile = L"C:\\Music\\01 Song.mp3";
        s.displayName = c.displayName;
        EXPECT_EQ(TrackTitleText(s), c.expected) << c.displayName;
    }
}
}  // namespace
