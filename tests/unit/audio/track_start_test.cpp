// Starting tracks on the engine: where a start lands in the file, the skip with a fade that
// keeps the open output, and a next track that cannot be opened while the ring plays out.
#include "audio/track_start.h"

#include <gtest/gtest.h>

#include "audio/output.h"
#include "engine_fakes.h"

namespace {

// 128 kbit/s MPEG-1: 16,000 bytes a second, frames of 417 or 418 bytes.
TEST(TrackStart, StartLandsOnTheFrameOfItsPosition) {
    const struct {
        int64_t position;
        bool ms;
        int percent;
        double expectSeconds;  // of audio before the start
    } cases[] = {
        {0, false, -1, 0},
        {32000, false, -1, 2.0},                     // bytes
        {2000, true, -1, 2.0},                       // a cue row's ms
        {0, false, 50, 0.5 * 500 * 1152 / 44100.0},  // the intro scan's share wins
    };
    for (const auto& c : cases) {
        TestEngine t;
        t.Stream(500);
        t.ps.startPercent = c.percent;
        ASSERT_TRUE(EngineStartFile(t.e, L"t.mp3", c.position, c.ms));
        const double seconds = (t.track.dwPointer - t.track.dwAudioBeg) / 16000.0;
        EXPECT_NEAR(seconds, c.expectSeconds, 0.03) << c.position;
        EXPECT_EQ(t.ps.startPercent, -1);
        EXPECT_NEAR(double(StartPositionBytes(t.e, TrackStart{L"t.mp3", c.position, c.ms})),
                    c.ms ? 32000.0 : double(c.position), 100.0);
    }
}

// "Fade on skip:": a file source fades and the next track starts on the same open device; a
// stream source fades and leaves the start to the caller once the fade is heard.
TEST(TrackStart, SkipWithFadeKeepsTheOutputOrWaitsForTheFade) {
    for (bool stream : {false, true}) {
        TestEngine t;
        t.Stream(500);
        t.s.gapless = 1;
        ASSERT_EQ(t.Start(), 0);
        WaveOutStart(t.e);
        void* const device = t.ps.hWaveOut;
        ASSERT_TRUE(device);
        t.ps.urlStream = stream;
        uint32_t fade = 0;
        const StartOutcome o = EngineStartTrack(t.e, TrackStart{L"t.mp3", 0, false, 500}, &fade);
        EXPECT_EQ(o, stream ? StartOutcome::AfterFade : StartOutcome::Started) << stream;
        EXPECT_EQ(t.ps.hWaveOut, device) << "the device stays open";
        EXPECT_FALSE(t.ps.manualSkip);
        if (stream) {
            EXPECT_GE(fade, 1u);
        } else {
            EXPECT_EQ(fade, 0u);
            EXPECT_GT(t.ps.inputChunk, 0u);  // the new track's decoder runs
            EXPECT_FALSE(t.ps.trackEnded);
        }
    }
}

// A next track that cannot be opened leaves the ended one to play out of the ring; its end
// of playback then follows as usual.
TEST(TrackStart, UnopenableNextTrackLetsTheRingPlayOut) {
    TestEngine t;
    t.Stream(500);
    t.s.gapless = 1;
    ASSERT_EQ(t.Start(), 0);
    WaveOutStart(t.e);
    t.ps.trackEnded = true;                // the decoder has delivered the whole track
    t.file.src.bytes.assign(20000, 0x55);  // no MPEG audio in the next file
    uint32_t fade = 0;
    EXPECT_EQ(EngineStartTrack(t.e, TrackStart{L"bad.mp3"}, &fade), StartOutcome::Failed);
    EXPECT_TRUE(OutputOpen(t.ps));
    EXPECT_TRUE(t.ps.trackEnded);
}

}  // namespace

// "Always 24 bit output" is read at each start that opens the output: a change while a track
// plays leaves the open output as it is and is heard from the next start on.
TEST(TrackStart, The24BitSettingTakesEffectAtTheNextStart) {
    const struct {
        bool first, second;
    } cases[] = {{false, true}, {true, false}, {false, false}};
    for (const auto& c : cases) {
        TestEngine t;
        t.Stream(500);
        t.s.wave_flags = c.first ? static_cast<uint32_t>(WaveFlag::Output24Bit) : 0u;
        ASSERT_TRUE(EngineStartFile(t.e, L"t.mp3", 0));
        WaveOutStart(t.e);
        const uint32_t bytes = t.dev.queued.front()->bytes;
        EXPECT_EQ(t.ps.outBits, c.first ? 24u : 16u);
        t.s.wave_flags = c.second ? static_cast<uint32_t>(WaveFlag::Output24Bit) : 0u;
        FakePlayOne(t.e, t.dev);
        EXPECT_EQ(t.ps.mode24, c.first) << "the open output keeps its format";
        ASSERT_TRUE(EngineStartFile(t.e, L"t.mp3", 0));
        WaveOutStart(t.e);
        EXPECT_EQ(t.ps.outBits, c.second ? 24u : 16u) << c.first;
        // The same audio in three bytes a sample instead of two, or the other way round.
        const uint32_t now = t.dev.queued.front()->bytes;
        EXPECT_EQ(uint64_t{now} * (c.first ? 3 : 2), uint64_t{bytes} * (c.second ? 3 : 2)) << c.first;
    }
}
