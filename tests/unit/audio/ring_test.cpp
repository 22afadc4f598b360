// The gapless ring: overlap search and additive writing, loud ends, the fade curve, skipping
// silences, the delay and padding cuts, the resampler with its low-pass, the slot stamps of
// what is read, a gapless join over the fake decoder, and the fades and mix of the queue.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/control.h"
#include "audio/resample.h"
#include "audio/ring.h"
#include "audio/track_start.h"
#include "engine_fakes.h"

namespace {

// An engine whose ring is allocated for rate × channels without any device.
struct RingEngine : TestEngine {
    RingEngine(uint32_t rate, uint32_t ch, uint32_t gapless, uint32_t seconds = 10) {
        s.gapless = static_cast<uint8_t>(gapless);
        s.overlap2buf = static_cast<uint16_t>(seconds);
        ps.srcRate = ps.outRate = rate;
        ps.srcChannels = ps.outChannels = ch;
        RingAllocate(e, rate, ch);
    }
    int16_t* Ring() { return ps.ovRing16.data(); }
    int32_t Sec(double s) const { return static_cast<int32_t>(s * ps.outRate) * ps.outChannels; }
};

}  // namespace

TEST(RingSettings, RingSizeAndAutoSpace) {
    struct Case {
        uint32_t gapless, autospace, overlap2buf;
        int32_t ringSize;  // 0: no ring
    } cases[] = {
        {1, 2000, 10, 44100 * 2 * 4},  // gapless: four seconds
        {9, 2000, 7, 44100 * 2 * 7},   // overlap mixing: overlap2buf seconds
        {0, 2000, 10, 0},              // gapless off
        {1, 0x8000 | 2500, 10, 0},     // "Auto space": a fresh output after a pause, no ring
    };
    for (const Case& c : cases) {
        TestEngine t;
        t.s.gapless = static_cast<uint8_t>(c.gapless);
        t.s.autospace = static_cast<uint16_t>(c.autospace);
        t.s.overlap2buf = static_cast<uint16_t>(c.overlap2buf);
        uint32_t rate = 44100, ch = 2;
        RingAllocate(t.e, rate, ch);
        EXPECT_EQ(RingActive(t.ps) ? t.ps.ovRingSize : 0, c.ringSize) << c.gapless;
    }
}

TEST(RingOverlap, QuietTailIsOverlappedButNeverTheSecondNextToTheReadIndex) {
    struct Case {
        double read, fill, quiet;  // seconds: read index, ring fill, quiet tail at its end
        double back;               // expected move of the write index, seconds (+ 40 frames)
        bool plus40;
    } cases[] = {
        {0.0, 9.5, 3.0, 3.0, true},   // a tail below -12 dB for 3 s: all of it and 40 loud frames
        {0.0, 9.5, 9.0, 8.5, false},  // never closer than one second to the read index
        {0.0, 9.5, 0.0, 0.0, true},   // a loud end: only 40 frames
        {6.0, 9.0, 3.0, 3.0, true},   // the same across the ring's wrap
        {0.0, 0.8, 0.8, 0.0, false},  // less than a second queued: no overlap
    };
    for (const Case& c : cases) {
        RingEngine t(8000, 2, 13);
        std::fill(t.Ring(), t.Ring() + t.ps.ovRingSize, int16_t{0});
        t.ps.ovReadPosSamp = t.Sec(c.read);
        const int32_t end = (t.Sec(c.read) + t.Sec(c.fill)) % t.ps.ovRingSize;
        for (int32_t i = 0; i < t.Sec(c.fill); ++i) {
            const bool quiet = i >= t.Sec(c.fill) - t.Sec(c.quiet);
            t.Ring()[(t.Sec(c.read) + i) % t.ps.ovRingSize] = quiet ? 8000 : -20000;  // T = 8150
        }
        t.ps.ovWritePosSamp = end;
        RingOverlapSearch(t.e);
        const int32_t back = t.Sec(c.back) + (c.plus40 ? 80 : 0);
        EXPECT_EQ(t.ps.ovTrackEndSamp, end) << c.fill << "/" << c.quiet;
        EXPECT_EQ(t.ps.ovWritePosSamp, (end - back + t.ps.ovRingSize) % t.ps.ovRingSize)
            << c.fill << "/" << c.quiet;
    }
}

TEST(RingOverlap, NextTrackIsAddedUpToTheOldEndThenCopied) {
    TestEngine t;
    t.Stream(100);
    t.s.gapless = 1;
    ASSERT_EQ(t.Start(), 0);
    ASSERT_TRUE(RingActive(t.ps));
    std::fill(t.ps.ovRing16.begin(), t.ps.ovRing16.end(), int16_t{32000});
    t.ps.ovTrackEndSamp = 2000;
    RingFill(t.e);
    // The fake decoder's first frame is 1000 everywhere: summed and clamped, then copied.
    EXPECT_EQ(t.ps.ovRing16[0], 32767);
    EXPECT_EQ(t.ps.ovRing16[1999], 32767);
    EXPECT_EQ(t.ps.ovRing16[2000], 1000);
    EXPECT_EQ(t.ps.ovTrackEndSamp, -1);
    EXPECT_GT(t.ps.ovWritePosSamp, 2000);
}

TEST(RingLoudEnd, DontOverlapOrFadeWhenTheEndIsLoud) {
    struct Case {
        uint32_t flags;
        int16_t level;
        bool noOverlap, faded;
    } cases[] = {
        {WaveFlag::LoudEndNoOverlap, 20000, true, false},
        {WaveFlag::LoudEndFade, 20000, false, true},
        {0, 20000, false, false},
        {WaveFlag::LoudEndNoOverlap | WaveFlag::LoudEndFade, 200, false, false},  // below -42 dB
    };
    for (const Case& c : cases) {
        RingEngine t(8000, 2, 13);
        t.s.wave_flags = c.flags;
        t.s.fadeout = 0x850A;  // stop fade 1.0 s
        std::fill(t.Ring(), t.Ring() + t.ps.ovRingSize, c.level);
        t.ps.ovWritePosSamp = t.Sec(5);
        bool dropped = true;
        EXPECT_EQ(RingPostProcess(t.e, nullptr, 0, 0, dropped), 0u);
        EXPECT_FALSE(dropped);
        EXPECT_EQ(t.ps.noOverlapThisEnd, c.noOverlap) << c.flags;
        const int32_t w = t.ps.ovWritePosSamp;
        EXPECT_EQ(t.Ring()[w - t.Sec(1) - 1], c.level);  // before the fade: untouched
        EXPECT_EQ(t.Ring()[w - t.Sec(1)], c.level);      // its first sample at full gain
        EXPECT_EQ(t.Ring()[w - 1] < c.level / 100, c.faded) << c.flags;
        EXPECT_EQ(t.Ring()[w - t.Sec(0.5)] < c.level, c.faded) << c.flags;
    }
}

// The fade starts at full gain, never rises and is exactly 0 from its length on; decay 8 is a
// straight line (half way: 0.5), each lower decay is below the one above it half way.
TEST(RingFade, CurveFallsToExactlyZero) {
    double above = 0.5 + 1e-9;
    for (int decay : {8, 6, 0}) {
        FadeCurve f = MakeFadeCurve(1000, decay);
        double last = f.Next();
        EXPECT_DOUBLE_EQ(last, 1.0);
        for (uint64_t i = 1; i < 1005; ++i) {
            const double g = f.Next();
            ASSERT_LE(g, last) << decay << " @" << i;
            if (i == 500) {
                EXPECT_LT(g, above) << decay;
                EXPECT_GT(g, decay == 8 ? 0.5 - 1e-3 : 0.0) << decay;
                above = g;
            }
            if (i >= 1000) {
                ASSERT_EQ(g, 0.0) << decay << " @" << i;
            }
            last = g;
        }
    }
}

TEST(RingPostProcess, SkipSilencesAtTheStartAcrossBlocksAndTrailingOnlyNearTheEnd) {
    RingEngine t(8000, 2, 5);  // gapless with "Skip silences"
    t.track.dwAudioBeg = 100;
    t.track.dwAudioEnd = 200100;
    t.track.avgBitrate = 128000;  // ten seconds = 160,000 bytes
    std::vector<int16_t> block(2000);
    bool dropped = false;
    auto run = [&](uint32_t pos, int loudFrom, int loudTo) {
        std::fill(block.begin(), block.end(), int16_t{50});  // 50 counts as silent
        for (int i = loudFrom; i < loudTo; ++i) block[2 * i + 1] = 51;
        t.track.dwPointer = pos + 5000;
        return RingPostProcess(t.e, block.data(), 4000, pos, dropped) / 4;
    };
    struct Case {
        uint32_t pos;
        int loudFrom, loudTo;
        uint32_t frames;
        bool dropped;
    } cases[] = {
        {1000, 0, 0, 0, true},           // silent blocks at the start are dropped ...
        {6000, 0, 0, 0, true},           // ... however many
        {11000, 300, 1000, 700, false},  // then the leading silence is cut
        {20000, 0, 600, 1000, false},    // before the last ten seconds nothing is cut
        {190000, 0, 600, 600, false},    // in them trailing silence is cut
        {195000, 0, 0, 0, true},         // and silent blocks dropped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.pos, c.loudFrom, c.loudTo), c.frames) << c.pos;
        EXPECT_EQ(dropped, c.dropped) << c.pos;
        if (c.frames) {
            EXPECT_EQ(block[1], 51) << c.pos;  // the kept part starts with sound
        }
        if (c.pos == 11000) {
            EXPECT_EQ(t.ps.trimThreshold, 200100u - 160000u);
        }
    }
}

TEST(RingPostProcess, EncoderDelayAndPaddingCuts) {
    struct Case {
        uint32_t ch, delay, padded, blockFrames;
        bool first;
        uint32_t keptFrames, backFrames;
    } cases[] = {
        {2, 576, 1152, 4096, true, 4096 - 1105, 623},  // LAME: 1,105 frames off the start, 623
        {1, 576, 1152, 4096, true, 4096 - 1105, 623},  // off the end, times the channels
        {2, 576, 1152, 4096, false, 4096, 623},        // later blocks are not cut
        {2, 576, 1152, 1000, true, 1000, 623},         // nor a first block shorter than the cut
        {2, 0, 400, 4096, true, 4096, 0},              // padding below the decoder delay
    };
    for (const Case& c : cases) {
        RingEngine t(44100, c.ch, 1);
        t.track.dwAudioBeg = 500;
        t.track.dwAudioEnd = 900000;
        t.track.encoderDelay = static_cast<uint16_t>(c.delay);
        t.track.encoderPadded = static_cast<uint16_t>(c.padded);
        std::vector<int16_t> block(c.blockFrames * c.ch);
        for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i);
        bool dropped = false;
        const uint32_t pos = c.first ? 500 : 9000;
        const uint32_t kept =
            RingPostProcess(t.e, block.data(), uint32_t(block.size() * 2), pos, dropped);
        EXPECT_EQ(kept, c.keptFrames * c.ch * 2) << c.ch << "/" << c.first;
        EXPECT_EQ(block[0], static_cast<int16_t>((c.blockFrames - c.keptFrames) * c.ch));
        t.ps.ovWritePosSamp = 100000;
        for (int end = 0; end < 2; ++end)  // the padding is cut once
            EXPECT_EQ(RingPostProcess(t.e, nullptr, 0, 0, dropped), 0u);
        EXPECT_EQ(t.ps.ovWritePosSamp, int32_t(100000 - c.backFrames * c.ch)) << c.padded;
    }
}

// Amplitude of frequency hz in channel c of interleaved x (a single-bin DFT).
static double Tone(const std::vector<int16_t>& x, uint32_t ch, uint32_t c, double hz, double rate,
                   size_t skip) {
    double re = 0, im = 0;
    size_t n = 0;
    for (size_t i = skip; i * ch + c < x.size(); ++i, ++n) {
        re += x[i * ch + c] * std::cos(2 * M_PI * hz * i / rate);
        im += x[i * ch + c] * std::sin(2 * M_PI * hz * i / rate);
    }
    return 2 * std::hypot(re, im) / double(n);
}

TEST(RingResample, MonoToStereoWithAndWithoutTheLowPass) {
    // 22,050 Hz mono, a 1 kHz tone: linear interpolation leaves an image at 21,050 Hz that the
    // "LP" formats' filter (cut-off 22,050 / 2.1 = 10,500 Hz) removes; the tone passes.
    std::vector<int16_t> src(22050);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<int16_t>(16000 * std::sin(2 * M_PI * 1000 * i / 22050.0));
    const uint32_t n = ResampledSamples(22050, 1, 22050, 2, 48000);
    EXPECT_EQ(n, 2u * 47998);  // stops one source frame before the block's end
    for (bool lp : {false, true}) {
        LowPassFilter f;
        LowPassPrepare(f, 22050 / 2.1, 48000);
        std::vector<int16_t> out(n);
        ASSERT_EQ(Resample16(src.data(), 22050, 1, 22050, out.data(), 2, 48000, lp ? &f : nullptr),
                  n);
        for (uint32_t i = 0; i < n; i += 2) ASSERT_EQ(out[i], out[i + 1]);  // both channels
        const double tone = Tone(out, 2, 0, 1000, 48000, 4800);
        const double image = Tone(out, 2, 1, 21050, 48000, 4800);
        EXPECT_NEAR(tone, 16000, 16000 * 0.03) << lp;
        EXPECT_EQ(image > 0.001 * tone, !lp) << image / tone;  // -53 dB, and 48 dB less
    }
    // "Out: 48.000 Hz, Stereo, LP": the ring takes the forced format with its filter.
    RingEngine t(22050, 1, 13);
    t.s.overlap2buf = 0x40A;
    uint32_t rate = 22050, ch = 1;
    RingAllocate(t.e, rate, ch);
    RingPrepareTrack(t.ps, 22050);
    LowPassFilter want;  // its cut-off: the source rate / 2.1
    LowPassPrepare(want, 10500, 48000);
    EXPECT_EQ(rate, 48000u);
    EXPECT_EQ(ch, 2u);
    EXPECT_TRUE(t.ps.lowPassOn);
    EXPECT_FLOAT_EQ(t.ps.lowPass.sec[1][1].b0, want.sec[0][0].b0);
    EXPECT_EQ(t.ps.ovRingSize, 48000 * 2 * 10);
}

// The fake decoder counts frames of 2,304 samples: every frame once, in order, across joins.
// Returns the frames heard.
static int ExpectEveryFrameOnce(const std::vector<int16_t>& heard) {
    if (heard.empty()) return 0;
    const int frames = (heard.back() - heard.front()) + 1;
    EXPECT_EQ(heard.size(), size_t(frames) * 2304);
    size_t i = 0;
    while (i < heard.size() && heard[i] == heard.front() + int(i / 2304)) ++i;
    EXPECT_EQ(i, heard.size()) << "out of order from sample " << i;
    return frames;
}

static TestEngine* g_joining;
// The sequencer's part: at the first track end, while the ring plays it out, the same file
// starts again and joins on the open output.
static void JoinNextTrack(void*, const TrackEndInfo& end) {
    TestEngine& t = *g_joining;
    t.msg.trackEnds++;
    EXPECT_EQ(end.ringPlaysOut, OutputOpen(t.ps));
    if (!end.ringPlaysOut || t.msg.trackEnds > 1) return;
    uint32_t fade = 0;
    ASSERT_EQ(EngineStartTrack(t.e, TrackStart{L"t.mp3"}, &fade), StartOutcome::Started);
    EXPECT_TRUE(OutputOpen(t.ps));
}

// Through wave-out, what the buffers carry; through DirectSound, what passes the play cursor.
TEST(RingPlayback, GaplessJoinAndStampsFollowWhatIsRead) {
    for (const bool ds : {false, true}) {
        SCOPED_TRACE(ds ? "DirectSound" : "wave-out");
        TestEngine t;
        t.Stream(500);
        t.s.gapless = 1;
        g_joining = &t;
        t.io.host.trackEnded = JoinNextTrack;
        if (ds) {
            t.s.wavedevice = 0x80;
            t.ps.dsoundModule = &t.dev;
            t.ps.streamTap = true;
            t.io.host.streamFeed = CollectTapped;
            g_tapped.clear();
        }
        ASSERT_EQ(t.Start(), 0);
        std::vector<AudioStamp> stamps;
        std::vector<int16_t> heard;
        if (ds) {
            for (int ticks = 0; t.msg.trackEnds < 3 && ticks < 2000; ++ticks) {
                t.dev.dsCursor = (t.dev.dsCursor + 8820) % 176400;  // 50 ms
                DsTick(t.e);
            }
            heard = g_tapped;
            while (!heard.empty() && heard.back() == 0) heard.pop_back();  // silence after the end
        } else {
            heard = PlayToEnd(t, stamps);
        }
        EXPECT_EQ(t.msg.trackEnds, 3);  // two decoder ends, then the end of playback
        const int frames = ExpectEveryFrameOnce(heard);
        EXPECT_GT(frames, 2 * 450);
        // Each buffer's stamp is the position of the track it holds, within one fill step.
        size_t at = 0;
        int track = 0;
        uint32_t lastMs = 0;
        for (const AudioStamp& st : stamps) {
            const int frame = heard[at] - heard.front();
            at += t.ps.waveOutBufSize / 2;
            if (st.posMs + 5000 < lastMs) ++track;  // the second track began
            lastMs = st.posMs;
            const double ms = (frame - track * frames / 2) * 1152 * 1000.0 / 44100;
            EXPECT_NEAR(st.posMs, ms, 1100) << frame;
            EXPECT_EQ(st.lengthMs, t.track.lengthMs);
        }
        EXPECT_EQ(track, ds ? 0 : 1);
    }
}

TEST(RingFade, QueuedAudioFadesToSilenceAndANewTrackIsMixedIn) {
    struct Case {
        bool ds;
        uint32_t ms;
        bool capped;
    } cases[] = {{false, 300, false}, {false, 5000, true}, {true, 300, false}, {true, 5000, true}};
    for (const Case& c : cases) {
        TestEngine t;
        t.Stream(500);
        t.s.gapless = 13;
        t.s.fade_decay = 8;
        if (c.ds) t.s.wavedevice = 0x80, t.ps.dsoundModule = &t.dev;
        ASSERT_EQ(t.Start(), 0);
        if (!c.ds) WaveOutStart(t.e);
        EXPECT_EQ(FadeQueuedAudio(t.e, c.ms), c.capped ? t.ps.queuedMs : c.ms);
        // The queue, oldest first: wave-out buffers, or DirectSound after the cursor's margin.
        std::vector<int16_t> q;
        for (OutBuffer* b : t.dev.queued) {
            const auto* s = reinterpret_cast<const int16_t*>(b->data.data());
            q.insert(q.end(), s, s + b->bytes / 2);
        }
        if (c.ds) {
            const auto* s = reinterpret_cast<const int16_t*>(t.dev.dsMemory.data());
            q.assign(s + 16384 / 2, s + 176400 / 2);
        }
        const uint64_t cap =
            c.ds ? uint64_t((176400 - 16384) / 2.5) : (t.ps.waveOutBufs - 1) * 16384;
        const uint64_t len = c.capped ? cap : c.ms * 88200ull / 1000;
        ASSERT_GT(q.size(), len);
        EXPECT_NE(q[0], 0);  // full level at the start, silence from the fade's length on
        for (size_t i = len; i < q.size(); ++i) ASSERT_EQ(q[i], 0) << i;
        // A manual skip with overlap mixing adds the next track into the faded queue.
        t.ps.trackEnded = true;
        CloseDecoders(t.e);
        t.ps.manualSkip = true;
        ASSERT_EQ(t.Start(), 0);
        const int16_t* last =
            c.ds ? reinterpret_cast<const int16_t*>(t.dev.dsMemory.data()) + t.ps.dsWritePos / 2 - 1
                 : reinterpret_cast<const int16_t*>(t.dev.queued.back()->data.data());
        EXPECT_GE(*last, 1000);  // only the new track sounds there
        // DirectSound: four whole segments from one margin after the fade's start.
        EXPECT_EQ(t.ps.dsWritePos, c.ds ? 32768u + 4 * 32768 : 0u);
        EXPECT_EQ(uint32_t(t.ps.ovReadPosSamp), (c.ds ? 4 : t.ps.waveOutBufs) * 16384);
    }
}
