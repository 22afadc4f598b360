// The BASS decoder's rules without the library: extension lists, comment and header texts, the
// ICY title, the bit-rate estimate, the down-mix and the length of a live stream.
#include "audio/bass_core.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
bool Has(const std::string& list, const char* ext) {
    return (";" + list).find(std::string(";") + ext + ";") != std::string::npos;
}
std::vector<std::string_view> Texts(std::initializer_list<const char*> l) {
    return {l.begin(), l.end()};
}
}  // namespace

TEST(BassExtensions, ByFlagAndWindowsVersion) {
    const struct {
        bool mp3;
        unsigned major;
        const char* ext;
        bool bass, playable;
    } cases[] = {
        {true, 6, "mp3", true, false},  {false, 6, "mp3", false, false},
        {false, 6, "mp2", true, false}, {false, 6, "mp1", true, true},
        {false, 6, "m4b", true, true},  {true, 5, "aac", false, false},
        {false, 5, "ogg", true, true},  {false, 5, "umx", true, true},
        {true, 10, "mpa", false, false},
    };
    for (const auto& c : cases) {
        const BassExtensionLists l = BassBaseExtensions(c.mp3, c.major);
        EXPECT_EQ(Has(l.bass, c.ext), c.bass) << c.ext << " " << c.mp3 << c.major;
        EXPECT_EQ(Has(l.playable, c.ext), c.playable) << c.ext << " " << c.mp3 << c.major;
    }
    EXPECT_EQ(BassBaseExtensions(true, 6).bass.rfind("mp3;", 0), 0u);  // mp3 leads the list
}

TEST(BassExtensions, AddOnPatternsTakenApart) {
    const struct {
        const char* patterns;
        const char* want;
        bool midi;
    } cases[] = {
        {"*.flac;*.fla", "flac;fla;", false},
        {"*.MID;*.midi;*.rmi", "mid;midi;rmi;", true},
        {"*.abcdefgh", "abcde;", false},  // at most five characters
        {"*.wv;*.WV;*.wv", "wv;", false},
        {"no extension;*.;*.*", "", false},
        {"*.tar.gz;x.Y", "gz;y;", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PluginFormatExtensions(c.patterns), c.want) << c.patterns;
        EXPECT_EQ(IsMidiFormat(c.patterns), c.midi) << c.patterns;
    }
    std::string list = "mp2;mp1;ogg;";
    AppendMissingExtensions(list, "mp;ogg;flac;;flac;");
    EXPECT_EQ(list, "mp2;mp1;ogg;mp;flac;");  // "mp" is no part of "mp2;"
}

TEST(BassTags, ListWalkStopsAtEmptyTextOrBound) {
    const char full[] = "A=1\0B=2\0\0C=3";
    EXPECT_EQ(BassTagTexts(full, sizeof full), Texts({"A=1", "B=2"}));
    EXPECT_EQ(BassTagTexts(full, 6), Texts({"A=1", "B="}));
    EXPECT_TRUE(BassTagTexts(nullptr, 10).empty());
}

TEST(BassTags, CommentKeysOnFirstFourCharacters) {
    BassTagFill f;
    f.year = L"1999";  // a slot filled before (from ID3) is kept
    FillFromBassComments(Texts({"ALBUMARTIST=Various", "Album=Later", "TITLE=Caf\xc3\xa9",
                                "tit=Short key", "artist", "Artist=A", "ARTIST=B",
                                "TrackNumber=07", "DATE=2024", "trac=", "comment=x"}),
                         f);
    EXPECT_EQ(f.album, L"Various");  // the first text whose key starts with "albu"
    EXPECT_EQ(f.title, L"Caf\u00e9");
    EXPECT_EQ(f.artist, L"A");
    EXPECT_EQ(f.track, L"07");
    EXPECT_EQ(f.year, L"1999");
}

TEST(BassTags, StationHeaders) {
    const CodePage cp{};  // Windows-1252
    const struct {
        std::vector<std::string_view> icy, wma;
        const wchar_t *name, *url;
        uint32_t kbps;
    } cases[] = {
        {Texts({"ICY 200 OK", "icy-name: Radio \xe9t\xe9", "icy-url:http://r", "icy-br:128"}), {},
         L"Radio \u00e9t\u00e9", L"http://r", 128},
        {Texts({"Icy-Name:  Two", "icy-br: 96", "icy-name:Second"}), {}, L" Two", L"", 96},
        {Texts({"icy-name:X"}), Texts({"title=W", "copyright= http://w", "CurrentBitrate=64000"}),
         L"W", L"http://w", 64},
        {Texts({"icy-br:abc", "content-type:audio/mpeg"}), {}, L"", L"", 0},
    };
    for (const auto& c : cases) {
        StationInfo info;
        PickWmaTags(c.wma, info);  // WMA tags come first and win
        PickIcyHeaders(c.icy, cp, info);
        EXPECT_EQ(info.name, c.name);
        EXPECT_EQ(info.url, c.url);
        EXPECT_EQ(info.kbps, c.kbps);
    }
}

TEST(BassTags, NowPlayingAtConnect) {
    const std::wstring longName(400, L'n'), longUrl(120, L'u');
    const struct {
        std::wstring name, url, nowBefore, wantName, wantNow;
    } cases[] = {
        {L"", L"http://r", L"Artist - Song", L"Artist - Song", L"Artist - Song"},
        {L"Radio", L"", L"old", L"Radio", L"Radio"},
        {L"Radio", L"http://r", L"", L"Radio", L"Radio - http://r"},
        {longName, longUrl, L"", longName, longName.substr(0, 336) + L" - " + longUrl.substr(0, 96)},
    };
    for (const auto& c : cases) {
        StationInfo info{c.name, c.url, 0};
        std::wstring now = c.nowBefore;
        ConnectNowPlaying(info, now);
        EXPECT_EQ(info.name, c.wantName);
        EXPECT_EQ(now, c.wantNow);
    }
}

TEST(BassTags, IcyStreamTitle) {
    const std::string longTitle = "StreamTitle='" + std::string(189, 'a') + "\xc3\xa9z';";
    const struct {
        std::string meta;
        bool ok;
        std::wstring want;
    } cases[] = {
        {"StreamTitle='Artist - Song';StreamUrl='';", true, L"Artist - Song"},
        {"StreamTitle='It's here';", true, L"It's here"},  // a lone quote is no end
        {"StreamTitle='Tab\there\x01';", true, L"Tab here "},
        {"StreamTitle='No end", true, L"No end"},
        {"StreamTitle='';", true, L""},
        {"StreamTitle='\xe2\x82\xac 5';", true, L"\u20ac 5"},
        {longTitle, true, std::wstring(189, L'a')},  // cut before the character at byte 190
        {"streamtitle='x';", false, L""},
        {"StreamTitle=", false, L""},
    };
    for (const auto& c : cases) {
        std::wstring t;
        EXPECT_EQ(IcyStreamTitle(c.meta, t), c.ok) << c.meta;
        EXPECT_EQ(t, c.want) << c.meta;
    }
}

TEST(BassStream, BitrateEstimate) {
    const struct {
        uint64_t bytes;
        uint32_t ms;
        float before, after;
        bool changed;
    } cases[] = {
        {80000, 4000, 0, 0, false},            // too early
        {80000, 4001, 0, 160000, true},        // 80000 x 8 / 4 whole seconds
        {96000, 6500, 200000, 128000, true},   // before 8 s any estimate replaces
        {96000, 6500, 64000, 128000, true},
        {160000, 10000, 120000, 120000, false},  // afterwards only a lower one
        {140000, 10999, 120000, 112000, true},
        {1000000, 60000, 0, 0, false},         // a minute on, no more estimates
    };
    for (const auto& c : cases) {
        float shown = c.before;
        EXPECT_EQ(StationBitrateStep(c.bytes, c.ms, shown), c.changed) << c.ms;
        EXPECT_FLOAT_EQ(shown, c.after) << c.ms;
    }
}

TEST(BassStream, DownMixKeepsFirstTwoChannels) {
    for (uint32_t sampleBytes : {2u, 4u}) {
        const uint32_t ch = 6, frames = 3;
        std::vector<uint8_t> buf(frames * ch * sampleBytes + sampleBytes);  // plus a partial frame
        for (size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<uint8_t>(i);
        const std::vector<uint8_t> in = buf;
        const uint32_t n = KeepFirstTwoChannels(buf.data(), static_cast<uint32_t>(buf.size()), ch,
                                                sampleBytes);
        ASSERT_EQ(n, frames * 2 * sampleBytes);
        for (uint32_t f = 0; f < frames; ++f)
            for (uint32_t b = 0; b < 2 * sampleBytes; ++b)
                EXPECT_EQ(buf[f * 2 * sampleBytes + b], in[f * ch * sampleBytes + b]);
    }
    std::vector<uint8_t> stereo(10, 7);
    EXPECT_EQ(KeepFirstTwoChannels(stereo.data(), 10, 2, 2), 10u);  // untouched
}

TEST(BassStream, VersionAndLength) {
    EXPECT_EQ(BassVersionText(0x02041103), "2.4.17.3");
    EXPECT_TRUE(BassVersionAccepted(0x020400FF));
    EXPECT_FALSE(BassVersionAccepted(0x02030000));
    EXPECT_FALSE(BassVersionAccepted(0x03040000));
    const struct {
        double s;
        bool net;
        uint32_t ms;
    } cases[] = {
        {12.3456, false, 12345}, {0, false, 0},          {-1, false, 0},
        {0, true, 1},            {14399.9999, true, 14399999}, {14400, true, 1},
        {14400, false, 14400000}, {NAN, true, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(BassLengthMs(c.s, c.net), c.ms) << c.s << c.net;
}

TEST(BassStream, FloatsToSixteenBitsRoundAndClip) {
    const struct {
        float in;
        int16_t out;
    } cases[] = {{0.0f, 0},           {0.5f, 16384},       {-0.5f, -16384},
                 {1.6f / 32768, 2},   {-1.6f / 32768, -2}, {1.0f, 32767},
                 {-1.0f, -32768},     {3.0f, 32767},       {-7.5f, -32768},
                 {32766.6f / 32768, 32767}};
    for (const auto& c : cases) {
        int16_t got = 1234;
        FloatToPcm16(&c.in, 1, &got);
        EXPECT_EQ(got, c.out) << c.in;
    }
}

TEST(BassStream, ProxyOnlyWhenAskedForAndNamed) {
    const struct {
        uint32_t waveFlags;
        std::string inet;
        const char* proxy;  // null: direct
    } cases[] = {{0x20, "10.0.0.1:3128", "10.0.0.1:3128"},
                 {0x20 | 0x10, "u:p@proxy:8080", "u:p@proxy:8080"},
                 {0x10, "10.0.0.1:3128", nullptr},
                 {0x20, "", nullptr}};
    for (const auto& c : cases) {
        const char* got = BassProxy(c.waveFlags, c.inet);
        EXPECT_EQ(std::string(got ? got : "<direct>"), c.proxy ? c.proxy : "<direct>") << c.inet;
    }
}
