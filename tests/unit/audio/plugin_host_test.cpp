// The input plug-in host over a fake plug-in: descriptors and the choice by extension, the
// output module's latency and free-space rules, the ring under a writer thread, the start-up
// steps, Read block, and a whole track played through the engine.
#include "audio/plugin_host.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audio/control.h"
#include "audio/track_start.h"
#include "engine_fakes.h"
#include "tags/id3.h"

namespace {

TEST(PluginDescriptor, ExtensionsLowerCaseEachWithSemicolon) {
    const struct {
        const char* exts;
        size_t len;
        const char* want;
    } cases[] = {
        {"FLAC;Ogg\0Lossless\0wav\0Wave files\0", 32, "in_x.dll/X 1.0/flac;ogg;wav;"},
        {"mp3\0MPEG\0", 10, "in_x.dll/X 1.0/mp3;"},
        {"", 1, "in_x.dll/X 1.0/"},
        {"a;;b;\0d\0", 9, "in_x.dll/X 1.0/a;b;"},        // empty entries dropped
        {"wav;aiff\0no end", 15, "in_x.dll/X 1.0/wav;aiff;"},  // the limit ends a missing end
        {"a/b;/\0d\0", 7, "in_x.dll/X 1.0/ab;"},  // "/" would split the descriptor
    };
    for (const auto& c : cases)
        EXPECT_EQ(PluginDescriptor("in_x.dll", "X 1.0", c.exts, c.len), c.want) << c.want;
}

TEST(FindPlugin, SubstringOfTheExtensionListFirstMatchWins) {
    const std::vector<std::string> d = {"in_a.dll/A/mp3;mp2;", "in_b.dll/B 1/2/flac;wav;",
                                        "in_c.dll/C/ogg;opus;"};
    const struct {
        const wchar_t* file;
        int want;
    } cases[] = {
        {L"x.mp", 0},         // ".mp" lies in "mp3;"
        {L"C:\\m\\X.FLAC", 1},
        {L"a.b\\song.opus", 2},
        {L"song.opusxxxxx", -1},  // 7 characters "opusxxx" are in no list
        {L"noext", -1},
        {L"dir.ogg\\noext", -1},  // the dot belongs to a folder
        {L"x.", -1},
        {L"x.wma", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FindPlugin(d, c.file), c.want) << c.file;
}

TEST(PluginOutput, LatencyIsTheIntegerFormula) {
    const struct {
        uint32_t rate, channels, bits, want;
    } cases[] = {
        {44100, 2, 16, 2834},   // 4,000,000/16/2 = 125,000; ×1000/44,100
        {48000, 1, 8, 10416},   // 500,000 ×1000/48,000
        {22050, 2, 24, 3779},   // 4,000,000/24 = 166,666 (truncated) /2 = 83,333
        {96000, 6, 32, 217},    // 20,833 ×1000/96,000
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PluginLatencyMs(c.rate, c.channels, c.bits), c.want);
        PluginHost h;
        EXPECT_EQ(PluginOutOpen(h, int(c.rate), int(c.channels), int(c.bits)), int(c.want));
    }
    PluginHost h;
    EXPECT_LT(PluginOutOpen(h, 44100, 2, 12), 0);
    EXPECT_LT(PluginOutOpen(h, 0, 2, 16), 0);
}

TEST(PluginOutput, CanWriteHoldsBackUntilStartedThenKeeps24Free) {
    PluginHost h;
    ASSERT_GE(PluginOutOpen(h, 44100, 2, 16), 0);
    h.startState = kPluginWaitWrite;
    EXPECT_EQ(PluginOutCanWrite(h), 0);
    EXPECT_EQ(h.startState.load(), uint32_t{kPluginWrote});  // the first call moves it on
    EXPECT_EQ(PluginOutCanWrite(h), 0);
    h.startState = kPluginIdle;
    const int all = int(kPluginRingBytes - 1);  // one byte always stays free
    EXPECT_EQ(PluginOutCanWrite(h), all - 24);
    std::vector<uint8_t> block(size_t(all - 30), 1);
    PluginOutWrite(h, block.data(), int(block.size()));
    EXPECT_EQ(PluginOutCanWrite(h), 30 - 24);
    PluginOutWrite(h, block.data(), 10);
    EXPECT_EQ(PluginOutCanWrite(h), 20);  // below 25 free: the free space itself
    // A plug-in that ignores CanWrite cannot overrun what the reader has not taken.
    PluginOutWrite(h, block.data(), 100);
    EXPECT_EQ(PluginRingUsed(h.ring), kPluginRingBytes - 1);
    EXPECT_EQ(PluginOutCanWrite(h), 0);
}

// ---- a fake plug-in driven by the test in place of its decode thread ----

struct FakePlugin {
    std::vector<std::string> log;
    int playResult = 0;
    int length = 3000;
    int outputTime = 0;
    bool timer = false;
    std::wstring title = L"Band - Song";
};
FakePlugin& F(void* c) {
    return *static_cast<FakePlugin*>(c);
}

struct PluginEngine : TestEngine {
    FakePlugin fake;
    PluginHost host;
    PluginEngine() {
        s.use_mpglib = 0;
        host.descriptors = {"in_fake.dll/Fake/flac;"};
        PluginCalls& c = host.calls;
        c.ctx = &fake;
        c.fileInfo = [](void* x, int, const wchar_t*, std::wstring* t, int* len) {
            *t = F(x).title;
            *len = F(x).length;
        };
        c.play = [](void* x, int, const wchar_t*) {
            F(x).log.push_back("play");
            return F(x).playResult;
        };
        c.getLength = [](void* x, int) { return F(x).length; };
        c.getOutputTime = [](void* x, int) { return F(x).outputTime; };
        c.setOutputTime = [](void* x, int, int ms) {
            F(x).log.push_back("seek " + std::to_string(ms));
        };
        c.stop = [](void* x, int) { F(x).log.push_back("stop"); };
        c.pause = [](void* x, uint32_t ms) { F(x).log.push_back("pause " + std::to_string(ms)); };
        c.startTimer = [](void* x) { F(x).timer = true; };
        c.killTimer = [](void* x) { F(x).timer = false; };
        io.plugin = PluginSourceOpsFor(host);
        file.src.bytes.assign(4000, 0);  // the file: no tags
    }
    ~PluginEngine() { Id3FreeTags(track, nullptr); }
    // The plug-in's thread: opens the output and asks for room the first time.
    void PluginOpens(int rate = 44100, int channels = 2) {
        ASSERT_GE(PluginOutOpen(host, rate, channels, 16), 0);
        EXPECT_EQ(PluginOutCanWrite(host), 0);
    }
    void Tick(int n) {
        for (int i = 0; i < n; ++i) ASSERT_EQ(PluginStartTick(host, e), 0);
    }
};

TEST(PluginStart, StatesWaitForCanWriteThenPrebufferAndOpenTheOutput) {
    PluginEngine t;
    ASSERT_TRUE(EngineStartFile(t.e, L"a.flac", 1200));
    EXPECT_TRUE(t.ps.pluginActive);
    EXPECT_TRUE(t.fake.timer);
    EXPECT_EQ(t.track.lengthMs, 3000u);
    EXPECT_STREQ(t.track.tagText[kTagArtist], L"Band");
    EXPECT_STREQ(t.track.tagText[kTagTitle], L"Song");
    t.Tick(3);  // no CanWrite yet: state 1 stays
    EXPECT_EQ(t.host.startState.load(), uint32_t{kPluginWaitWrite});
    t.PluginOpens(22050, 1);
    t.Tick(1);  // state 2: the pending start is sought
    EXPECT_EQ(t.fake.log.back(), "seek 1200");
    EXPECT_EQ(t.track.dwPointer, 1200u);
    t.Tick(3);  // 3 → 6
    EXPECT_FALSE(OutputOpen(t.ps));
    EXPECT_EQ(PluginOutCanWrite(t.host), int(kPluginRingBytes - 25));  // no longer held back
    static uint32_t loggedAt = 0;
    t.io.host.logTrackStart = [](void*, const MpegInfo&, uint32_t ms) { loggedAt = ms + 1; };
    t.Tick(1);  // 7: the output opens with the plug-in's format, the timer stops
    EXPECT_TRUE(OutputOpen(t.ps));
    EXPECT_EQ(loggedAt, 1201u);  // the track log hears of the start once it plays
    EXPECT_FALSE(t.fake.timer);
    EXPECT_EQ(t.ps.outRate, 22050u);
    EXPECT_EQ(t.ps.outChannels, 1u);
    EXPECT_EQ(PluginOutIsPlaying(t.host), 1);
}

TEST(PluginStart, PlayFailureStopsAndStopPauses) {
    PluginEngine t;
    t.fake.playResult = 1;
    EXPECT_FALSE(EngineStartFile(t.e, L"a.flac", 0));
    EXPECT_EQ(t.fake.log, (std::vector<std::string>{"play", "stop", "pause 50"}));
    EXPECT_EQ(t.host.current, -1);
    EXPECT_FALSE(t.fake.timer);
    // A file no plug-in lists goes to the built-in decoders.
    t.fake.log.clear();
    (void)EngineStartFile(t.e, L"a.mp3", 0);
    EXPECT_TRUE(t.fake.log.empty());
    EXPECT_FALSE(t.ps.pluginActive);
}

TEST(PluginStart, APluginThatNeverAsksForRoomIsGivenUpAndTheTrackEnds) {
    PluginEngine t;
    t.host.calls.errorLog = [](void* x, const char* text, int) { F(x).log.push_back(text); };
    ASSERT_TRUE(EngineStartFile(t.e, L"a.flac", 0));
    t.Tick(int(kPluginStartTimeoutTicks) - 1);
    EXPECT_EQ(t.msg.trackEnds, 0);
    EXPECT_EQ(PluginStartTick(t.host, t.e), -3);
    EXPECT_EQ(t.msg.trackEnds, 1);  // the sequencer goes on
    EXPECT_EQ(t.host.current, -1);
    EXPECT_FALSE(t.fake.timer);
    const auto has = [&](const char* line) {
        return std::find(t.fake.log.begin(), t.fake.log.end(), line) != t.fake.log.end();
    };
    EXPECT_TRUE(has("stop"));
    EXPECT_TRUE(has("Input plug-in: no audio after Play"));
}

TEST(PluginStart, NextTrackOfAPluginWaitsForTheQueueToPlayOut) {
    PluginEngine t;
    t.s.gapless = GaplessFlag::Enable;
    t.s.use_mpglib = 1;
    t.Stream(100);  // an MP3 plays and its decoder has delivered everything
    ASSERT_TRUE(EngineStartFile(t.e, L"a.mp3", 0));
    WaveOutStart(t.e);
    t.ps.trackEnded = true;
    uint32_t fade = 0;
    EXPECT_EQ(EngineStartTrack(t.e, TrackStart{L"b.flac"}, &fade), StartOutcome::Started);
    EXPECT_TRUE(t.fake.log.empty());  // not yet played: the restart action follows
    EXPECT_EQ(t.ps.pendingAction, uint32_t{kActionRestart});
    EXPECT_TRUE(OutputOpen(t.ps));
}

TEST(PluginRead, SilenceUntilDrainingThenWholeFramesAndPosition) {
    for (const bool gapless : {false, true}) {
        PluginEngine t;
        t.s.gapless = gapless ? uint32_t{GaplessFlag::Enable} : 0u;
        ASSERT_TRUE(EngineStartFile(t.e, L"a.flac", 0));
        t.PluginOpens();
        std::vector<uint8_t> dst(100000, 0xAA);
        EXPECT_EQ(PluginReadBlock(t.host, t.e, dst.data(), 100000), gapless ? 24u : 768u);
        EXPECT_EQ(dst[0], 0);
        const std::vector<uint8_t> pcm(70003, 5);
        PluginOutWrite(t.host, pcm.data(), int(pcm.size()));
        t.fake.outputTime = 4000;  // beyond the latency (2,834 ms)
        EXPECT_EQ(PluginReadBlock(t.host, t.e, dst.data(), 100000), 65536u);
        EXPECT_EQ(t.track.dwPointer, 4000u - 2834u);
        EXPECT_FALSE(t.host.draining.load());
        // The time passed the end less 500 ms: not asked again, the plug-in drains.
        EXPECT_EQ(PluginReadBlock(t.host, t.e, dst.data(), 10), 8u);  // whole frames
        EXPECT_TRUE(t.host.draining.load());
        EXPECT_NEAR(PluginOutTime(t.host), 65544 / 176.4, 1);
        EXPECT_EQ(PluginReadBlock(t.host, t.e, dst.data(), 100000), 4456u);
        EXPECT_EQ(PluginReadBlock(t.host, t.e, dst.data(), 100000), 0u);  // 3 bytes: no frame
    }
}

// The 16-bit reader keeps the top 16 bits; the 24-bit mode's float reader keeps every bit
// (0x000001 in 24 bits is 2^-23, which 16 bits would lose).
TEST(PluginRead, OtherSampleWidthsKeepTheirTop16BitsOrAllInFloat) {
    const struct {
        int bits;
        std::vector<uint8_t> in;  // one stereo frame
        int16_t left, right;
        double fleft, fright;
    } cases[] = {
        {8, {0x00, 0xFF}, -32768, 127 * 256, -1.0, 127 / 128.0},
        {16, {0x00, 0x80, 0x01, 0x00}, -32768, 1, -1.0, 1 / 32768.0},
        {24, {0x11, 0x34, 0x12, 0xFF, 0x00, 0x80}, 0x1234, -32768, 0x123411 / 8388608.0,
         -1.0 + 0xFF / 8388608.0},
        {24, {0x01, 0, 0, 0xFF, 0xFF, 0xFF}, 0, -1, 1 / 8388608.0, -1 / 8388608.0},
        {32, {0x99, 0x11, 0xCD, 0xAB, 0, 0, 0xFF, 0x7F}, int16_t(0xABCD), 0x7FFF,
         int32_t(0xABCD1199) / 2147483648.0, 0x7FFF0000 / 2147483648.0},
    };
    for (const auto& c : cases) {
        for (const bool asFloat : {false, true}) {
            PluginEngine t;
            ASSERT_TRUE(EngineStartFile(t.e, L"a.flac", 0));
            ASSERT_GE(PluginOutOpen(t.host, 44100, 2, c.bits), 0);
            for (int i = 0; i < 3; ++i) PluginOutWrite(t.host, c.in.data(), int(c.in.size()));
            // Room for two frames (and a bit): two source frames are taken, the third stays.
            if (asFloat) {
                float out[5] = {};
                EXPECT_EQ(PluginReadFloat(t.host, t.e, out, 5), 4u);
                EXPECT_FLOAT_EQ(out[0], float(c.fleft)) << c.bits;
                EXPECT_FLOAT_EQ(out[3], float(c.fright)) << c.bits;
            } else {
                int16_t out[8] = {};
                EXPECT_EQ(PluginReadBlock(t.host, t.e, reinterpret_cast<uint8_t*>(out), 9), 8u);
                EXPECT_EQ(out[0], c.left) << c.bits;
                EXPECT_EQ(out[3], c.right) << c.bits;
            }
            EXPECT_EQ(PluginRingUsed(t.host.ring), c.in.size());
        }
    }
}

// What the plug-in wrote is what the engine hears: in the 24-bit output mode a 24-bit plug-in at
// its full resolution, each sample v as round(v / 2^23 x 8,388,607), never cut to 16 bits.
// (16-bit plug-in output heard sample for sample: tests/e2e/test_plugins.py.)
TEST(PluginPlayback, TheEngineHearsWhatThePluginWrote) {
    for (const bool gapless : {false, true}) {
        SCOPED_TRACE(gapless);
        PluginEngine t;
        t.s.gapless = gapless ? uint32_t{GaplessFlag::Enable} : 0u;
        t.s.wave_flags |= WaveFlag::Output24Bit;
        t.fake.length = 1000;
        ASSERT_TRUE(EngineStartFile(t.e, L"a.flac", 0));
        ASSERT_GE(PluginOutOpen(t.host, 44100, 2, 24), 0);
        EXPECT_EQ(PluginOutCanWrite(t.host), 0);
        // One second, written before the output opens.
        std::vector<int32_t> want(88200);
        std::vector<uint8_t> pcm(want.size() * 3);
        for (size_t i = 0; i < want.size(); ++i) {
            const int32_t v = int32_t(uint32_t(i * 2654435761u)) >> 9;  // -2^22..2^22
            want[i] = int32_t(std::lround(v / 8388608.0 * 8388607.0));
            for (uint32_t k = 0; k < 3; ++k) pcm[3 * i + k] = uint8_t(v >> (8 * k));
        }
        PluginOutWrite(t.host, pcm.data(), int(pcm.size()));
        t.Tick(6);
        ASSERT_TRUE(OutputOpen(t.ps));
        PluginOutIsPlaying(t.host);  // the plug-in has decoded everything
        WaveOutStart(t.e);
        std::vector<int32_t> heard;
        while (!t.dev.queued.empty() && t.ps.hWaveOut) {
            OutBuffer* b = t.dev.queued.front();
            for (uint32_t i = 0; b->stamp.bytePos >= 0 && i + 3 <= b->bytes; i += 3)
                heard.push_back(int32_t(uint32_t(b->data[i]) << 8 | uint32_t(b->data[i + 1]) << 16 |
                                        uint32_t(b->data[i + 2]) << 24) >> 8);
            FakePlayOne(t.e, t.dev);
        }
        ASSERT_GE(heard.size(), want.size());
        EXPECT_TRUE(std::equal(want.begin(), want.end(), heard.begin()));
        EXPECT_GE(t.msg.trackEnds, 1);
    }
}

}  // namespace
