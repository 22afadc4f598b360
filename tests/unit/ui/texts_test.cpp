#include "ui/texts.h"

#include <gtest/gtest.h>

#include "config/settings_bits.h"

namespace {

TEST(FormatTime, Table) {
    struct Case {
        uint32_t value;
        bool isMs;
        uint32_t bitRate;
        bool colon;
        const wchar_t* want;
    } cases[] = {
        {205000, true, 0, false, L"3'25"},
        {205000, true, 0, true, L"3:25"},
        {3725000, true, 0, false, L"1:02'05"},
        {3599999, true, 0, false, L"59'59"},
        {3600000, true, 0, true, L"1:00:00"},
        {0xFFFEFFFFu, true, 0, true, L"1193:01:41"},
        {0xFFFF0000u, true, 0, false, L"0'00"},
        {160000, false, 128000, false, L"0'10"},  // bytes at 128 kbps
        {0, true, 0, false, L"0'00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTime(c.value, c.isMs, c.bitRate, c.colon), c.want) << c.value;
}

TEST(ParseTrailingTime, ReadsWhatFormatTimeWrites) {
    for (uint32_t ms : {0u, 61000u, 3725000u, 36000000u}) {
        uint32_t back = 1;
        ASSERT_TRUE(ParseTrailingTime(L"4.5 MB  " + FormatTime(ms, true, 0, false), back));
        EXPECT_EQ(back, ms);
    }
    uint32_t ms = 0;
    EXPECT_FALSE(ParseTrailingTime(L"4.5 MB", ms));
    EXPECT_FALSE(ParseTrailingTime(L"3'75", ms));
}

TEST(Title, Composition) {
    struct Case {
        uint32_t showTime, stylez;
        bool cue;
        const wchar_t* cueTitle;
        TitleAction action;
        const wchar_t* want;
    } cases[] = {
        {ShowTime::ElapsedAndTotal, 0, false, L"", TitleAction::Set, L"1'05 song.mp3"},
        {ShowTime::Elapsed, Style::ColonMinutes, false, L"", TitleAction::Set, L"1:05 song.mp3"},
        {ShowTime::Remaining, 0, false, L"", TitleAction::Set, L"2'55 song.mp3"},
        {ShowTime::Elapsed | ShowTime::Remaining, 0, false, L"", TitleAction::Set,
         L"1'05 > 2'55 song.mp3"},
        {ShowTime::Elapsed | ShowTime::Remaining | ShowTime::Swap, 0, false, L"",
         TitleAction::Set, L"2'55 > 1'05 song.mp3"},
        {0, 0, false, L"", TitleAction::Set, L"song.mp3"},
        {8, Style::NoTrackInTitle, false, L"", TitleAction::Keep, L""},
        {8, Style::UpcomingInTitle, false, L"", TitleAction::Set, L"1'05 Next: after.mp3"},
        {8, 0, true, L"", TitleAction::Set, L"1'05 Cue 03 (album.cue)"},
        {8, 0, true, L"Intro", TitleAction::Set, L"1'05 Intro (album.cue)"},
    };
    for (const Case& c : cases) {
        TitleFacts f;
        f.trackLoaded = true, f.positionMs = 65000, f.lengthMs = 240000;
        f.showTime = c.showTime, f.stylez = c.stylez, f.name = L"song.mp3";
        f.upcoming = L"after.mp3", f.cue = c.cue, f.cueNumber = 3, f.cueTitle = c.cueTitle;
        f.cueSheetName = L"album.cue";
        std::wstring out;
        EXPECT_EQ(ComposeTitle(f, out), c.action) << c.want;
        if (c.action == TitleAction::Set) {
            EXPECT_EQ(out, c.want);
        }
    }
}

TEST(Title, UnknownLengthShowsElapsedOnly) {
    TitleFacts f;
    f.trackLoaded = true, f.positionMs = 5000, f.name = L"radio";
    f.showTime = ShowTime::Elapsed | ShowTime::Remaining;
    std::wstring out;
    ASSERT_EQ(ComposeTitle(f, out), TitleAction::Set);
    EXPECT_EQ(out, L"0'05 radio");
    f.trackLoaded = false;
    EXPECT_EQ(ComposeTitle(f, out), TitleAction::LeaveToList);
}

TEST(Title, ComparesOnlyTheFirstHundredCharacters) {
    const std::wstring base(100, L'x');
    EXPECT_FALSE(TitleNeedsUpdate(base + L"a", base + L"b"));
    EXPECT_TRUE(TitleNeedsUpdate(L"y" + base, L"z" + base));
    EXPECT_TRUE(TitleNeedsUpdate(L"short", L"shorter"));
}

TEST(TrackFormat, PaneOneTexts) {
    struct Case {
        RateKind kind;
        ChannelMode mode;
        bool crc, copyright;
        const wchar_t* decoder;
        const wchar_t* want;
    } cases[] = {
        {RateKind::MpegCbr, ChannelMode::JointStereo, false, false, L"mpglib",
         L" 4'00 - 192 kbps - 44 kHz - Joint Stereo - DEC: mpglib"},
        {RateKind::MpegVbr, ChannelMode::Stereo, true, true, L"ACM",
         L" 4'00 - VBR 187.5 kbps - 44 kHz - Stereo - CRC - (c) - DEC: ACM"},
        {RateKind::StreamOrPlugin, ChannelMode::Mono, false, false, L"BASS",
         L" 4'00 - 064 kbps - 44 kHz - Mono - DEC: BASS"},
        {RateKind::Multichannel, ChannelMode::DualChannel, false, false, L"BASS",
         L" 4'00 - 6 channels - 44 kHz - Dual Channel - DEC: BASS"},
        {RateKind::OtherBass, ChannelMode::Stereo, false, false, L"BASS",
         L" 4'00 - 187.5 kbps - 44 kHz - Stereo - DEC: BASS"},
    };
    for (const Case& c : cases) {
        TrackFormat f;
        f.lengthMs = 240000, f.rateKind = c.kind, f.averageBps = 187500;
        f.kbps = c.kind == RateKind::StreamOrPlugin ? 64 : 192;
        f.channels = 6, f.sampleRate = 44100, f.mode = c.mode, f.crc = c.crc;
        f.copyright = c.copyright, f.decoder = c.decoder;
        EXPECT_EQ(TrackFormatText(f, false), c.want);
    }
}

TEST(Tips, EveryRandomValueChoosesATip) {
    EXPECT_EQ(TipPaneText(0), std::wstring(L" TIP: ") + TipText(0));
    EXPECT_EQ(TipPaneText(32767), std::wstring(L" TIP: ") + TipText(16));
    EXPECT_NE(std::wstring(TipText(16)), L"");
}

TEST(Flags, Words) {
    struct Case {
        void (*set)(FlagFacts&);
        const wchar_t* want;
    } cases[] = {
        {[](FlagFacts&) {}, L""},
        {[](FlagFacts& f) { f.quitAfterTrack = f.quitAfterList = true; }, L" QUIT! "},
        {[](FlagFacts& f) { f.quitAfterList = true; }, L" QUIT/list "},
        {[](FlagFacts& f) { f.waveFlags = WaveFlag::Output24Bit | WaveFlag::MonoOutput; },
         L" 24BIT  MONO "},
        {[](FlagFacts& f) { f.enhance = 2; f.eqEnable = true; }, L" ENH2  EQ "},
        {[](FlagFacts& f) { f.enhance = 1; f.muted = true; }, L" ENH1  MUTE "},
        {[](FlagFacts& f) { f.gaplessActive = true; }, L" GAPL "},
        {[](FlagFacts& f) { f.gaplessActive = true; f.gapless = GaplessFlag::Overlap; }, L" OVLP "},
        {[](FlagFacts& f) { f.gapless = GaplessFlag::Overlap; }, L""},
        {[](FlagFacts& f) { f.fastPlayLevel = 2; f.autospace = kAutospaceOn; }, L" FAST2 SPACE "},
        {[](FlagFacts& f) {
             f.controlFlags = ControlFlag::AutoSearchDirs | ControlFlag::ContinueInFocused |
                              ControlFlag::GoHomeBeforeChange;
         },
         L" SRCH  FCS  HOME "},
        {[](FlagFacts& f) { f.logfile = kLogfileOn; f.httpOn = true; }, L" LOG  HTTP-ERR"},
        {[](FlagFacts& f) { f.httpOn = f.httpRunning = true; }, L" HTTP"},
    };
    for (const Case& c : cases) {
        FlagFacts f;
        c.set(f);
        EXPECT_EQ(FlagsText(f), c.want);
    }
}

TEST(ListSummary, CountsSizesAndTimes) {
    const SummaryRow rows[] = {
        {L"a.mp3", L"3.5 MB  3'00", L""},
        {L"b.mp3", L"1 024.0 MB  1:00'00", L""},
        {L"", L"", L""},  // not a track
    };
    SummaryFacts f;
    int count = 0;
    EXPECT_EQ(ListSummaryText(rows, 3, f, count), L" 2 tracks, 1,027 MB, 1:03 h");
    EXPECT_EQ(count, 2);
    f.kind = 5;  // other lists: all rows, no sums
    EXPECT_EQ(ListSummaryText(rows, 3, f, count), L" 3 tracks");
    f.kind = 1;
    const SummaryRow empty[] = {{L"", L"", L""}, {L"", L"", L""}};
    EXPECT_EQ(ListSummaryText(empty, 2, f, count), L" 2 tracks");
}

TEST(NowPlaying, Placeholders) {
    NowPlayingFacts f;
    f.artist = L"X", f.title = L"Y", f.album = L"Al", f.comment = L"Co", f.track = L"7";
    f.lastFile = L"C:\\Music\\Band\\song.mp3", f.displayName = L"X - Y";
    struct Case {
        const wchar_t* setting;
        const wchar_t* want;
    } cases[] = {
        {L"-----Now: %A / %T%R", L"Now: X / Y\r\n"},
        {L"-----%B|%C|%N|%F|%P|%M", L"Al|Co|7|song.mp3|C:\\Music\\Band|X - Y"},
        {L"-----%I %Z 100%", L"%I %Z 100%"},
        {L"---", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(NowPlayingText(c.setting, f), c.want) << c.setting;
    f.artist.clear();
    EXPECT_EQ(NowPlayingText(L"-----[%A]", f), L"[]");
    EXPECT_EQ(NowPlayingText(L"-----" + std::wstring(3000, L'r'), f).size(), kNowPlayingMax);
    EXPECT_TRUE(NowPlayingAuto(L"a----"));
    EXPECT_FALSE(NowPlayingAuto(L"-a---"));
}

TEST(WebSearch, EncodingAndTemplate) {
    EXPECT_EQ(UrlEncodeQuery(L"Tom & Jerry"), "Tom+%26+Jerry");
    EXPECT_EQ(UrlEncodeQuery(L"\u00e9-1"), "%C3%A9%2D1");
    EXPECT_EQ(UrlEncodeQuery(std::wstring(600, L'a')).size(), 500u);
    EXPECT_EQ(BrowserUrl("-----https://s.example/?q=%M&x=1", L"A B"), "https://s.example/?q=A+B&x=1");
    EXPECT_EQ(BrowserUrl("-----https://s.example/", L"A B"), "");
    EXPECT_EQ(SearchText(L"C:\\m\\one.two.mp3", L"", L"T"), L"one.two");
    EXPECT_EQ(SearchText(L"C:\\m\\x.mp3", L"Art", L"Tit"), L"Art Tit");
}

TEST(ExternalPrograms, ArgumentsAndDrive) {
    struct Case {
        const wchar_t* setting;
        const wchar_t* row;
        bool run;
        const wchar_t* args;
    } cases[] = {
        {L"0C:\\Tools\\ed.exe", L"D:\\m\\a.mp3", true, L"\"D:\\m\\a.mp3\""},
        {L"1C:\\Tools\\ed.exe", L"D:\\m\\a.mp3", true, L""},
        {L"0", L"D:\\m\\a.mp3", false, L""},
        {L"0C:\\Tools\\ed.exe", L"http://radio/x", false, L""},
    };
    for (const Case& c : cases) {
        const LaunchPlan p = PlanLaunch(c.setting, c.row);
        EXPECT_EQ(p.run, c.run) << c.setting;
        if (p.run) {
            EXPECT_EQ(p.program, L"C:\\Tools\\ed.exe");
            EXPECT_EQ(p.arguments, c.args);
        }
    }
    EXPECT_EQ(OnOwnDrive(L"C:\\Tools\\ed.exe", L"F:\\Zuvo\\zuvo.exe"), L"F:\\Tools\\ed.exe");
    EXPECT_EQ(OnOwnDrive(L"\\\\srv\\ed.exe", L"F:\\Zuvo\\zuvo.exe"), L"");
}

}  // namespace
