// The Big view's rules: big_title by position, item texts over a table of track facts, the
// pattern cycling with and without RSS titles mixed in, the idle rule and the layout sizes.
#include "ui/big_view.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct Fake {
    std::vector<int> randoms;  // handed out in turn, then repeated from the start
    size_t next = 0;
    std::vector<std::string> titles;
    size_t title = 0;
    int updates = 0;
};

int Random(void* ctx) {
    Fake& f = *static_cast<Fake*>(ctx);
    return f.randoms.empty() ? 0 : f.randoms[f.next++ % f.randoms.size()];
}
std::string Title(void* ctx) {
    Fake& f = *static_cast<Fake*>(ctx);
    return f.title < f.titles.size() ? f.titles[f.title++] : std::string();
}

LangState& English() {
    static LangState st;
    st.active = &LangBuiltIn();
    return st;
}

BigRefreshEnv Env(Fake& fake, bool rss, bool tagTitles = true) {
    BigRefreshEnv e;
    e.items.lang = &English();
    e.items.ctx = &fake;
    e.items.random = Random;
    e.items.longDate = [](void*) { return std::wstring(L"Monday, 7 December 2026"); };
    e.items.nextRssTitle = Title;
    e.items.rss = rss;
    e.items.tagTitles = tagTitles;
    e.ctx = &fake;
    e.rssUpdateIfDue = [](void* c) {
        Fake& f = *static_cast<Fake*>(c);
        ++f.updates;
        return true;
    };
    return e;
}

BigTrackFacts Mp3() {
    BigTrackFacts f;
    f.path = L"C:\\Music\\Blue\\03 Night.mp3", f.artist = L"The Band", f.title = L"Night";
    f.album = L"Blue", f.year = L"1999", f.comment = L"remaster", f.trackNumber = L"3";
    f.folderName = L"Blue", f.folderPath = L"C:\\Music\\Blue", f.nextName = L"04 Day";
    f.bitRate = 192000, f.mpegDecoder = true, f.channelMode = 1, f.encoderId = "LAME3.100";
    f.gapless = f.playing = f.equalizer = f.enhancer2 = true;
    f.rateHz = 44100, f.channels = 2, f.bits = 16, f.trackPosition = 3, f.listSize = 12;
    return f;
}

TEST(BigTitle, ReadByPositionAndRectRewrittenInPlace) {
    const std::string def = "00243,00716,01392,00293,ViVc-1i07,16766387,16777215,09853480,Arial";
    const BigTitle t = ReadBigTitle(def);
    EXPECT_EQ((std::vector<int>{t.left, t.top, t.width, t.height, t.meter, t.tagTitles, t.clock,
                                t.layout, t.patternOn(), t.rss(), t.cycleSeconds}),
              (std::vector<int>{243, 716, 1392, 293, 'V', true, 'c', '1', true, false, 7}));
    EXPECT_EQ(std::tie(t.titleColour, t.background, t.font),
              std::make_tuple(16766387u, 9853480u, std::string("Arial")));

    std::string s = def;
    WriteBigTitleRect(s, 10, -40, 123456, 300);
    EXPECT_EQ(s, "00010,00000,99999,00300,ViVc-1i07,16766387,16777215,09853480,Arial");
    std::string shortOne = "1";
    WriteBigTitleRect(shortOne, 1, 2, 3, 4);
    EXPECT_EQ(ReadBigTitle(shortOne).font, "Arial");
    EXPECT_EQ(ReadBigTitle(shortOne).height, 4);
    // A truncated string reads without running past its end.
    EXPECT_EQ(ReadBigTitle("00010,0").layout, '1');
}

TEST(BigItems, TextForEachLetter) {
    Fake fake;
    fake.randoms = {80};
    const BigRefreshEnv env = Env(fake, false);
    BigTrackFacts stream;
    stream.path = L"http://radio.example/live", stream.streamTitle = L"Live Show";
    stream.stationName = L"Radio X", stream.stationUrl = L"http://radio.example";
    stream.stream = stream.playing = stream.directSound = true;
    stream.rateHz = 48000, stream.channels = 2, stream.bits = 24, stream.bitRate = 128000;
    stream.decoder = BigTrackFacts::Decoder::Bass, stream.decoderName = L"2.4";
    BigTrackFacts bare;
    bare.path = L"C:\\x\\song.two.ogg", bare.playlist = true, bare.fastPlayLevel = 2;
    bare.repeat = BigTrackFacts::Repeat::List;
    struct Case {
        const BigTrackFacts* f;
        char letter;
        bool info;
        const wchar_t* expected;
    };
    const BigTrackFacts mp3 = Mp3();
    const Case cases[] = {
        {&mp3, 'a', false, L"Blue (1999)"},
        {&mp3, 'b', false, L"Bitrate: 192 kbps CBR, Joint Stereo"},
        {&mp3, 'c', false, L"remaster"},
        {&mp3, 'd', false, L"Monday, 7 December 2026"},
        {&mp3, 'e', false, L"Decoder: ACM, Bitrate: 192 kbps, encoded with: LAME3.100"},
        {&mp3, 'f', false, L"Blue"},
        {&mp3, 'g', false, L"Gapless play"},
        {&mp3, 'i', false, L"The Band - Night"},
        {&mp3, 'k', false, L"File: 03 Night.mp3"},
        {&mp3, 'm', false, L"The Band - Night"},  // no second track: the name
        {&mp3, 'm', true, L""},
        {&mp3, 'n', false, L"Next: 04 Day"},
        {&mp3, 'o', false,
         L"Output: WaveOut, 44.1 kHz, 2-channel, 16 bit, Equalizer, Multiband audio enhancer"},
        {&mp3, 'p', false, L"C:\\Music\\Blue"},
        {&mp3, 'r', false, L"No repeat, Track 3 of 12"},
        {&mp3, 't', false, L"Track 3"},
        {&mp3, 'u', false, L"The Band"},
        {&mp3, 'v', false, L"Night"},
        {&mp3, 'x', false, L"The Band - Night"},
        {&mp3, 'x', true, L""},
        {&stream, 'a', false, L"Radio X"},
        {&stream, 'c', false, L"http://radio.example"},
        {&stream, 'e', false, L"Decoder: BASS 2.4, Bitrate: 128 kbps"},
        {&stream, 'g', false, L"Webstream play"},
        {&stream, 'i', false, L"Live Show"},
        {&stream, 'o', false, L"Output: DirectSound, 48.0 kHz, 2-channel, 24 bit"},
        {&stream, 'r', false, L"Webstream play"},
        {&bare, 'a', false, L"song.two"},  // missing album: the file name
        {&bare, 'a', true, L""},
        {&bare, 'b', false, L"song.two"},
        {&bare, 'f', false, L"Playlist: Zuvo"},
        {&bare, 'g', false, L"Standard play (no gapless) - Fast play, level 2"},
        {&bare, 'o', false, L"No wave output"},
        {&bare, 'r', false, L"Repeating list"},
    };
    for (const Case& c : cases) {
        std::wstring out = L"previous";
        EXPECT_TRUE(BigItemText(out, 300, c.letter, c.info, *c.f, env.items));
        EXPECT_EQ(out, c.expected) << c.letter << " info " << c.info;
    }
}

TEST(BigItems, DateSevenInTenAndRssWithoutTitleKeepThePreviousText) {
    Fake fake;
    fake.randoms = {69};
    BigRefreshEnv env = Env(fake, true);
    std::wstring out = L"previous";
    EXPECT_FALSE(BigItemText(out, 300, 'd', false, Mp3(), env.items));
    EXPECT_FALSE(BigItemText(out, 300, 's', false, Mp3(), env.items));
    EXPECT_EQ(out, L"previous");
    fake.titles = {"Caf\xC3\xA9 news"};
    EXPECT_TRUE(BigItemText(out, 300, 's', false, Mp3(), env.items));
    EXPECT_EQ(out, L"Caf\u00E9 news");
}

TEST(BigItems, LimitsAndArtistCut) {
    Fake fake;
    const BigRefreshEnv env = Env(fake, false);
    BigTrackFacts f = Mp3();
    f.artist = std::wstring(40, L'a');
    // Size 40: the artist keeps 40 / 2 - 6 = 14 characters, the whole stays below 40.
    std::wstring name = BigTrackName(f, env.items, 40);
    EXPECT_EQ(name, std::wstring(14, L'a') + L" - Night");
    f.title = std::wstring(200, L't');
    EXPECT_EQ(BigTrackName(f, env.items, 100).size(), 99u);
    BigRefreshEnv files = Env(fake, false, false);
    EXPECT_EQ(BigTrackName(Mp3(), files.items, 300), L"03 Night");
}

TEST(BigPattern, CyclesOverTime) {
    struct Case {
        const char* pattern;
        std::vector<std::wstring> mains;
    };
    const std::wstring name = L"The Band - Night", rate = L"Bitrate: 192 kbps CBR, Joint Stereo";
    const Case cases[] = {
        {"--bc", {name, name, rate, L"remaster", name, name}},
        {"b", {rate, rate, rate}},  // one letter wraps at once
        {"", {name, name}},
        {"tu;;", {L"Track 3", L"The Band", L"Track 3"}},
    };
    for (const Case& c : cases) {
        Fake fake;
        const BigRefreshEnv env = Env(fake, false);
        BigPatterns p = SplitBigPatterns(c.pattern);
        const BigTitle title = ReadBigTitle("00000,00000,00500,00200,V-Vc-1i07,0,0,0,Arial");
        BigTexts t;
        for (size_t step = 0; step < c.mains.size(); ++step) {
            BigRefreshTexts(t, p, title, Mp3(), env);
            EXPECT_EQ(t.main, c.mains[step]) << c.pattern << " step " << step;
            BigCycleStep(p);
        }
    }
}

TEST(BigPattern, InfoLinesByLayoutAndDefaults) {
    Fake fake;
    const BigRefreshEnv env = Env(fake, false);
    BigPatterns p = SplitBigPatterns("ab;kt;cu");
    struct Case {
        const char* title;
        std::wstring info1, info2;
    };
    const Case cases[] = {
        {"00000,00000,00500,00200,V-Vc-4i07,0,0,0,A", L"File: 03 Night.mp3", L"remaster"},
        {"00000,00000,00500,00200,V-Vc---07,0,0,0,A", L"Next: 04 Day", L""},  // off: 'n'
        {"00000,00000,00500,00200,V-Vc-1i07,0,0,0,A", L"", L""},              // no info lines
    };
    for (const Case& c : cases) {
        BigTexts t;
        BigRefreshTexts(t, p, ReadBigTitle(c.title), Mp3(), env);
        EXPECT_EQ(t.info1, c.info1) << c.title;
        EXPECT_EQ(t.info2, c.info2) << c.title;
        EXPECT_FALSE(t.refresh);
    }
    BigCycleStep(p);
    BigTexts t;
    BigRefreshTexts(t, p, ReadBigTitle(cases[0].title), Mp3(), env);
    EXPECT_EQ(t.info1, L"Track 3");
    EXPECT_EQ(t.info2, L"The Band");
}

TEST(BigPattern, RssTitlesMixedInAboutHalfTheSteps) {
    Fake fake;
    // 16711 x 100 is not above 1671116, 16712 x 100 is.
    fake.randoms = {16711, 16712, 32767, 0, 20000, 16711};
    fake.titles = {"News one", "", "News two"};
    const BigRefreshEnv env = Env(fake, true);
    const BigTitle title = ReadBigTitle("00000,00000,00500,00200,V-Vc-1I07,0,0,0,Arial");
    BigPatterns p = SplitBigPatterns("bbkb");
    const std::wstring rate = L"Bitrate: 192 kbps CBR, Joint Stereo";
    // Step 0: r = 16711, the bit rate. Step 1: the update runs; r = 16712: "News one".
    // Step 2: 'k' is not a news step and draws nothing. Step 3: r = 32767 but the title is empty:
    // the bit rate. Step 4: r = 0. Step 5: r = 20000, "News two". Step 6 'k'. Step 7: r = 16711.
    const std::vector<std::wstring> expected = {rate, L"News one", L"File: 03 Night.mp3", rate,
                                                rate, L"News two", L"File: 03 Night.mp3", rate};
    BigTexts t;
    for (size_t step = 0; step < expected.size(); ++step) {
        BigRefreshTexts(t, p, title, Mp3(), env);
        EXPECT_EQ(t.main, expected[step]) << step;
        BigCycleStep(p);
    }
    EXPECT_EQ(fake.updates, 2);  // once per pass, at the main index 1
}

TEST(BigIdle, OpensAfterTheIdleTimeWithoutCursorMovement) {
    BigIdle idle;
    EXPECT_FALSE(BigIdleDue(idle, 5, 5, 1000, 20, false, false));  // moved: activity at 1000
    EXPECT_FALSE(BigIdleDue(idle, 5, 5, 20999, 20, false, false));
    EXPECT_TRUE(BigIdleDue(idle, 5, 5, 21000, 20, false, false));
    EXPECT_FALSE(BigIdleDue(idle, 5, 5, 21000, 20, true, false));           // already shown
    EXPECT_FALSE(BigIdleDue(idle, 5, 5, 21000, 20, false, true));           // embedded
    EXPECT_FALSE(BigIdleDue(idle, 5, 5, 99000, 0, false, false));           // only manually
    EXPECT_TRUE(BigIdleDue(idle, 5, 5, 21000, 0x8000 | 20, false, false));  // start bit aside
    EXPECT_FALSE(BigIdleDue(idle, 6, 5, 90000, 20, false, false));
}

TEST(BigLayout, FontSizesPerLayout) {
    struct Case {
        char layout, meter;
        int width, height;
        size_t length;
        int meterW, mainHeight, mainBlock, mainCharW, infoHeight, infoCharW;
    };
    // margin 0: the text area is the client less the meter panel.
    const Case cases[] = {
        // 1000 x 200, q = 50: H/2, no narrowing below 31 characters.
        {'1', '-', 1000, 200, 30, 0, 100, 100, 0, 100, 0},
        // 60 characters: max(100/4, 14 x 100 / 60) = 25.
        {'1', '-', 1000, 200, 60, 0, 100, 100, 25, 100, 0},
        // 'V' with width x 10 / height = 50: a fifth, 200; the rest 800 wide, q = 40 < 45: H/3.
        {'1', 'V', 1000, 200, 10, 200, 66, 133, 0, 66, 0},
        // 400 x 200, q = 20 < 25: 3 x bottom / 16 = 37; character width 400 / 30.
        {'2', '-', 400, 200, 10, 0, 37, 150, 0, 50, 13},
        {'3', '-', 1000, 200, 50, 0, 66, 133, 23, 66, 0},
        {'4', '-', 1000, 200, 50, 0, 50, 100, 15, 33, 0},
        {'5', '-', 400, 200, 50, 0, 50, 100, 11, 33, 13},
        {'-', '-', 1000, 200, 100, 0, 60, 120, 12, 40, 0},
        // 'M' with width x 10 / height above 100: a seventh.
        {'-', 'M', 2100, 100, 10, 300, 30, 60, 0, 20, 0},
    };
    for (const Case& c : cases) {
        BigTitle t;
        t.layout = c.layout;
        t.meter = c.meter;
        const BigMetrics m = BigLayoutMetrics(t, c.width, c.height, 0, c.length);
        EXPECT_EQ((std::vector<int>{m.meterW, m.mainHeight, m.mainBlock, m.mainCharW, m.infoHeight,
                                    m.infoCharW}),
                  (std::vector<int>{c.meterW, c.mainHeight, c.mainBlock, c.mainCharW, c.infoHeight,
                                    c.infoCharW}))
            << c.layout << c.meter << " " << c.width << "x" << c.height << " L" << c.length;
    }
}

TEST(BigLayout, SecondBlockOrderPerLayout) {
    const std::wstring clock = BigClockText(9, 5, 77);
    EXPECT_EQ(clock, L"    09:05 77%");
    EXPECT_EQ(BigClockText(23, 59, -1), L"    23:59");
    EXPECT_EQ(BigSecondBlock('4', L"A", L"B", L"1:00", L""), L"A\nB\n1:00");
    EXPECT_EQ(BigSecondBlock('5', L"A", L"B", L"1:00", L"  x"), L"1:00  x\nA\nB");
    EXPECT_EQ(BigSecondBlock('-', L"A", L"B", L"1:00", L""), L"1:00\nA");
    EXPECT_EQ(BigSecondBlock('2', L"A", L"B", L"1:00", L""), L"1:00");
}

}  // namespace
