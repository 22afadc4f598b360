// The track's name shared by the window title and the control page.
#include <gtest/gtest.h>

#include "ui/title_text.h"

namespace {
TEST(TrackTitle, TagsOrFileNameByStyleAndSource) {
    struct Case {
        bool loaded, tagTitles, plugin;
        const wchar_t *artist, *title, *expected;
    };
    const Case cases[] = {
        {false, true, false, L"A", L"T", L""},
        {true, false, false, L"A", L"T", L"01 Song.mp3"},
        {true, true, false, L"A", L"T", L"A - T"},
        {true, true, false, L"", L"T", L"T"},
        {true, true, false, L"A", L"", L"01 Song.mp3"},  // an artist alone names nothing
        {true, false, true, L"A", L"T", L"A - T"},
    };
    for (const Case& c : cases) {
        TrackTitleSource s;
        s.trackLoaded = c.loaded;
        s.tagTitles = c.tagTitles;
        s.pluginTrack = c.plugin;
        s.lastFile = L"C:\\Music\\01 Song.mp3";
        s.artist = c.artist;
        s.title = c.title;
        EXPECT_EQ(TrackTitleText(s), c.expected) << c.artist << "/" << c.title;
    }
}
}  // namespace
