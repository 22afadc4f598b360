// Cue sheets: time arithmetic, rows and names, FILE groups with their lengths, byte positions,
// following the play position, and the search for the sheet of a track.
#include <gtest/gtest.h>

#include <map>

#include "fake_folders.h"
#include "library/cue.h"
#include "library/list_text.h"

namespace {
struct CueFixture : ::testing::Test {
    Settings s;
    std::string playable{kMpegExtensions};
    TrackList list;
    CueState cue;
    CueReadEnv env;
    std::map<std::wstring, uint32_t> totals;  // file -> ms

    void SetUp() override {
        s.stylez = static_cast<int32_t>(Style::ColonMinutes);
        list.kind = cueList;
        env.s = &s;
        env.playable = &playable;
        env.audio.ctx = this;
        env.audio.totalMs = [](void* c, const std::wstring& f) {
            return static_cast<CueFixture*>(c)->totals[f];
        };
    }
    int Read(const std::string& text, const std::wstring& path = L"C:\\Cd\\album.cue") {
        list.rows.clear();
        return ReadCueSheetBytes(list, cue, path, text, env);
    }
};
using Strings = std::vector<std::wstring>;

const char kTwoFiles[] =
    "\xEF\xBB\xBFPERFORMER \"Band\"\r\nTITLE \"Live\"\r\nFILE \"one.mp3\" MP3\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"Intro\"\r\n    PERFORMER \"Band\"\r\n    INDEX 00 00:00:00\r\n"
    "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Song\"\r\n    PERFORMER \"Guest\"\r\n"
    "    INDEX 01 01:00:00\r\n    INDEX 01 09:00:00\r\n"
    "FILE \"D:\\Other\\two.mp3\" MP3\r\n  TRACK 03 AUDIO\r\n    PERFORMER \"Solo\"\r\n"
    "    INDEX 01 00:00:00\r\n  TRACK 04 AUDIO\r\n    TITLE \"Caf\xC3\xA9\"\r\n    INDEX 01 "
    "00:30:00";
}  // namespace

TEST(CueTime, FieldsFromTheRightAreFramesSecondsMinutes) {
    // clang-format off
    struct Case {
        const wchar_t* text;
        uint32_t ms;
    } cases[] = {
        // 4500986.67 in exact arithmetic; single precision lands on 4500987.
        {L"00:02:37", 2493}, {L"01:00:00", 60000}, {L"75:00:74", 4500987},
        {L"3:10", 180133},   {L"12", 160},         {L"", 0},
        {L"00:01:75", 2000}, {L"2:1:1", 121013},
        // Times past the 32-bit range of ms (49.7 days) stop at its end; negative ones at 0.
        {L"99999:00:00", 0xFFFFFFFF}, {L"1:20000000000918491694", 0xFFFFFFFF},
        {L"71582:47:22", 0xFFFFFFFF}, {L"-3:00:00", 0},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(CueTimeMs(c.text), c.ms) << std::wstring(c.text).size();
}

TEST_F(CueFixture, TwoFileGroupsRunToTheEndOfTheirOwnFileWithTimesOrBytePositions) {
    totals[L"C:\\Cd\\one.mp3"] = 150000;
    totals[L"D:\\Other\\two.mp3"] = 45000;
    s.info_row = 0xC00;
    EXPECT_EQ(Read(kTwoFiles), 4);
    EXPECT_EQ(Cells(list, 0), (Strings{L"C:\\Cd\\one.mp3", L"C:\\Cd\\one.mp3",
                                       L"D:\\Other\\two.mp3", L"D:\\Other\\two.mp3"}));
    EXPECT_EQ(Cells(list, 1), (Strings{L"00:00:00", L"01:00:00", L"00:00:00", L"00:30:00"}));
    EXPECT_EQ(Cells(list, 2), (Strings{L"1:00", L"1:30", L"0:30", L"0:15"}));
    EXPECT_EQ(Cells(list, 3), (Strings{L"Band - Intro", L"Guest - Song", L"Solo", L"Caf\u00e9"}));
    EXPECT_EQ(Cells(list, 4), (Strings{L"01", L"02", L"03", L"04"}));
    EXPECT_EQ(cue.cueTitle, L"Band - Live");

    // With byte positions for VBR files (only "one.mp3" has a frame index here), 16 bytes a ms.
    s.list_style = static_cast<int32_t>(ListStyle::CueVbrPositions);
    env.audio.hasFrameIndex = [](void*, const std::wstring& f) { return f[0] == L'C'; };
    env.audio.bytePosition = [](void*, const std::wstring&, int64_t from, uint32_t ms) {
        return from + (static_cast<int64_t>(ms) * 16 - from);
    };
    Read(kTwoFiles);
    EXPECT_EQ(Cells(list, 2), (Strings{L"1:00          #0000000000", L"1:30          #0000960000",
                                       L"0:30", L"0:15"}));
    EXPECT_EQ(CueRowStart(list.rows[1]), 960000);
    EXPECT_EQ(CueRowStart(list.rows[3]), 30000);
}

TEST_F(CueFixture, NamesTitlesAndWhereParsingEnds) {
    const std::string kHead = "FILE \"a.mp3\" MP3\nTRACK 01\n";
    const std::string kOne = kHead + "INDEX 01 00:00:00\n";
    totals[L"C:\\Cd\\a.mp3"] = 10000;
    // clang-format off
    struct Case {
        const char* what;
        std::string text;
        Strings names, lengths;
        std::wstring title;
    } cases[] = {
        {"same performer and title", kHead + "TITLE \"A\"\nPERFORMER \"A\"\nINDEX 01 00:01:00\n",
         {L"A"}, {L"0:09"}, L"album.cue"},
        {"album title alone", "TITLE \"Best\"\n" + kHead + "INDEX 01 00:00:00\n",
         {L""}, {L"0:10"}, L"Best"},
        {"unplayable FILE ends it", kOne + "FILE \"b.wav\" WAVE\nTRACK 02\nINDEX 01 00:05:00\n",
         {L""}, {L"0:10"}, L"album.cue"},
        {"unquoted TITLE ends it, rows stay without lengths",
         kOne + "TRACK 02\nTITLE Bare\nINDEX 01 00:05:00\n", {L""}, {L" "}, L"album.cue"},
        {"start beyond the length", kOne + "TRACK 02\nINDEX 01 00:20:00\n",
         {L"", L""}, {L"???", L"???"}, L"album.cue"},
        {"zero bytes read as blanks",
         std::string("FILE \"a.mp3\" MP3\n\0TRACK 01\nINDEX 01 00:00:00\n\n\n\n\n\n\n", 50),
         {L""}, {L"0:10"}, L"album.cue"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cue.cueTitle.clear();
        Read(c.text);
        EXPECT_EQ(Cells(list, 3), c.names);
        EXPECT_EQ(Cells(list, 2), c.lengths);
        EXPECT_EQ(cue.cueTitle, c.title);
    }
}

TEST_F(CueFixture, FollowingThePlayPositionMarksTheTrackUnderIt) {
    totals[L"C:\\Cd\\one.mp3"] = 150000;
    totals[L"D:\\Other\\two.mp3"] = 45000;
    Read(kTwoFiles);
    s.last_file = L"D:\\Other\\two.mp3";
    EXPECT_TRUE(CueSheetLoaded(list, cue, s));
    // clang-format off
    struct Case {
        int64_t position;
        bool looked;
        int row;
        std::wstring title;
    } cases[] = {
        {100, true, 2, L"Solo (Band - Live)"},         // stale after loading
        {5000, false, 2, L"Solo (Band - Live)"},       // inside the track: nothing to do
        {30500, true, 3, L"Caf\u00e9 (Band - Live)"},  // just past the end
        {44000, false, 3, L"Caf\u00e9 (Band - Live)"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(FollowCuePosition(list, cue, s, c.position, 45000), c.looked) << c.position;
        EXPECT_EQ(list.currentRow, c.row);
        EXPECT_EQ(cue.cueTrackNumber, c.row + 1);
        EXPECT_EQ(CueTitleText(cue), c.title);
    }
    // A sheet of another file is only shown: row 0 selected, kind 4.
    s.last_file = L"C:\\Else.mp3";
    EXPECT_FALSE(CueSheetLoaded(list, cue, s));
    EXPECT_EQ(list.kind, cueListIdle);
    EXPECT_TRUE(list.rows[0].selected);
    cue.cueTrackName.clear();
    cue.cueTrackNumber = 7;
    EXPECT_EQ(CueTitleText(cue), L"Cue 07 (Band - Live)");
}

TEST(FindCue, FirstSheetThatNamesTheTrack) {
    FakeFolders fake;
    fake.AddFile(L"C:\\M\\a.cue");
    fake.AddFile(L"C:\\M\\b.cue");
    fake.AddFile(L"C:\\M\\c.mp3");
    FolderOps ops = FakeFolderOps(fake);
    static std::map<std::wstring, std::string> heads;
    heads = {{L"C:\\M\\a.cue", "TITLE \"Other\"\n"},
             {L"C:\\M\\b.cue",
              "\xEF\xBB\xBF"
              "FILE \"Caf\xC3\xA9.mp3\""}};
    ReadHeadFn read = [](void*, const std::wstring& p, size_t n, std::string& out) {
        out = heads[p].substr(0, n);
        return true;
    };
    // clang-format off
    struct Case {
        std::wstring name, found;
    } cases[] = {
        {L"Caf\u00e9", L"C:\\M\\b.cue"}, {L"Other", L"C:\\M\\a.cue"}, {L"other", L""}, {L"", L""}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(FindCueSheet(c.name, L"C:\\M", ops, read, nullptr, CodePage{}), c.found);
}
