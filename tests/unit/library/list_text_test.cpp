// Cell texts and the name tests: what a list row shows and which files become tracks.
#include <gtest/gtest.h>

#include "library/list_text.h"

namespace {
Settings With(int32_t listStyle, int32_t stylez) {
    Settings s;
    s.list_style = listStyle;
    s.stylez = stylez;
    return s;
}
}  // namespace

TEST(ListText, PlayableKindByExtension) {
    std::string playable(kMpegExtensions);
    AddPlayableExtensions(playable, "ogg;flac;OGG;ogg;");
    EXPECT_EQ(playable, "mp3;mp2;mpa;ogg;flac;OGG;");  // exact duplicates only are dropped
    struct Case {
        const wchar_t* ext;
        int kind;
    } cases[] = {
        {L"mp3", 1},         {L".MP3", 1},        {L"Mpa", 1},     {L"ogg", 2},
        {L".Flac", 2},       {L"mpeg", 0},        {L"mp", 0},      {L"", 0},
        {L"p3;mp2", 0},      {L"abcdefghi", 0},   {L"abcdefghij", 0}, {L".flac\u00e9", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PlayableKind(c.ext, playable), c.kind) << c.ext;
    std::string withLong = playable + "abcdefghi;";
    EXPECT_EQ(PlayableKind(L"abcdefghi", withLong), 2);   // nine characters still count
    EXPECT_EQ(PlayableKind(L".abcdefghi", withLong), 0);  // ten with the dot do not

    // A path's kind comes from its file name's extension only.
    const struct {
        const wchar_t* path;
        int kind;
    } paths[] = {
        {L"C:\\Music\\a.OGG", 2}, {L"C:\\Music.mp3\\a", 0}, {L"\\\\nas\\v.2/song", 0},
        {L"http://radio/x.mp3", 1}, {L"song.", 0},             {L"C:\\a.b\\c.mpeg", 0},
    };
    for (const auto& p : paths) EXPECT_EQ(PathPlayableKind(p.path, playable), p.kind) << p.path;
}

TEST(ListText, UrlsAreExactSchemes) {
    EXPECT_TRUE(IsUrlExact(L"http://radio/x"));
    EXPECT_TRUE(IsUrlExact(L"https:"));
    EXPECT_TRUE(IsUrlExact(L"mms://s"));
    EXPECT_FALSE(IsUrlExact(L"HTTP://radio"));
    EXPECT_FALSE(IsUrlExact(L"ftp://x"));
    EXPECT_FALSE(IsUrlExact(L"C:\\http:"));
}

TEST(ListText, SizeTexts) {
    struct Case {
        uint64_t bytes;
        bool kb;
        const wchar_t* text;
    } cases[] = {
        {1023, true, L"0 KB"},
        {999 * 1024, true, L"999 KB"},
        {1000 * 1024, true, L"1 000 KB"},
        {1234567ull * 1024, true, L"1 234 567 KB"},
        {1263616, false, L"1.21 MB"},
        {0, false, L"0.00 MB"},
        {(1ull << 32) + 1048576, false, L"1.00 MB"},  // only the low 32 bits count
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeText(c.bytes, With(c.kb ? int32_t{ListStyle::SizeInKb} : 0, 0)), c.text) << c.bytes;
}

// The texts themselves are the duration formatter's (FormatTime's table): here the style bit
// and the unknown-length value.
TEST(ListText, TrackTimes) {
    EXPECT_EQ(FormatTrackTime(247999, With(0, 0)), L"4'07");
    EXPECT_EQ(FormatTrackTime(5400000, With(0, Style::ColonMinutes)), L"1:30:00");
    EXPECT_EQ(FormatTrackTime(0xFFFF0000u, With(0, Style::ColonMinutes)), L"0:00");
}

TEST(ListText, DatesAndMonthIcons) {
    const LocalTime created{2020, 1, 2, 4, 3, 4, 0}, written{2026, 11, 5, 4, 14, 7, 9};
    EXPECT_EQ(DateText(created, written, With(0, 0)), L"2026-11-05 14:07");
    EXPECT_EQ(DateText(created, written, With(0, Style::CreatedDate)), L"2020-01-02 03:04");
    struct Case {
        const wchar_t* cell;
        int icon;
    } cases[] = {{L"2026-11-05 14:07", 10}, {L"2026-01-05", 0}, {L"2026-12", 11}, {L"2026-13-01", -1},
                 {L"2026-00-01", -1},      {L" ", -1},        {L"", -1}};
    for (const Case& c : cases) EXPECT_EQ(MonthIcon(c.cell), c.icon) << c.cell;
}
