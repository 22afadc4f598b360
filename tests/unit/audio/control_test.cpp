// Playback control and the intro scan over the in-memory engine: the volume curves, stop and
// resume back-off, the deferred actions and their delays, seeking, and the intro scan's ticks.
#include "audio/control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/intro_scan.h"
#include "base/window_pos.h"
#include "config/settings_bits.h"
#include "engine_fakes.h"

namespace {

// Every window-side call as a line of text.
struct Calls {
    std::vector<std::string> log;
    bool nextRowExists = true;
    bool Has(const std::string& c) const {
        return std::find(log.begin(), log.end(), c) != log.end();
    }
};
Calls& C(void* ctx) {
    return *static_cast<Calls*>(ctx);
}
void Say(void* ctx, const std::string& s) {
    C(ctx).log.push_back(s);
}

// The window's and the host's entries of playback control, recorded.
void Record(EngineIo& io, Calls& calls) {
    EngineWindow& w = io.window;
    w.ctx = &calls;
    w.setTimer = [](void* c, unsigned id, unsigned ms) {
        Say(c, "timer " + std::to_string(id) + " " + std::to_string(ms));
    };
    w.killTimer = [](void* c, unsigned id) { Say(c, "kill " + std::to_string(id)); };
    w.postNextTrack = [](void* c) { Say(c, "next"); };
    w.closeMainWindow = [](void* c) { Say(c, "close"); };
    io.dsp.ctx = &calls;
    io.dsp.keepStateOnce = [](void* c) { Say(c, "keep dsp"); };
    EngineHost& o = io.host;
    o.ctx = &calls;
    o.muteCleared = [](void* c) { Say(c, "unmuted"); };
    o.refreshList = [](void* c) { Say(c, "list"); };
    o.playFirstOfList = [](void* c, unsigned ms) { Say(c, "first " + std::to_string(ms)); };
    o.replaySelected = [](void* c) { Say(c, "replay"); };
    o.logTrackLeave = [](void* c, uint32_t ms) { Say(c, "leave " + std::to_string(ms)); };
    o.setResumePosition = [](void* c, uint32_t p) { Say(c, "resume " + std::to_string(p)); };
    o.stopPlugin = [](void* c) { Say(c, "plugin"); };
}

struct ControlEngine : TestEngine {
    Calls calls;
    ControlEngine() { Record(io, calls); }
    void Play() {  // a 128 kbit/s MPEG-1 track playing through wave-out
        Stream(300);
        ASSERT_EQ(Start(), 0);
        WaveOutStart(e);
        ASSERT_TRUE(OutputOpen(ps));
    }
};

TEST(Volume, CurvesForEveryDevice) {
    // Expected values: 65,535 × (L / 65,535)^1.8 and 2000 × log10((L / 65,536 + 0.0001)^1.8).
    const struct {
        uint32_t volume;
        uint8_t softMute;
        uint16_t gain;
        uint32_t waveOut;
        int32_t ds;
    } cases[] = {
        {0, 0, 255, 0, -10000},  // software gain never drops below 255; DirectSound floor
        {65535, 0, 65535, 0xFFFFFFFF, 0},
        {32768, 0, 18821, 18821u * 0x10001u, -1083},
        {65535, 2, 5404, 5404u * 0x10001u, -2167},  // soft mute: a quarter before the curve
        {65535, 1, 255, 0, -10000},
    };
    for (const auto& c : cases) {
        const uint32_t level = VolumeLevel(c.volume, c.softMute);
        EXPECT_EQ(SoftwareGain(level), c.gain) << c.volume << "/" << int{c.softMute};
        EXPECT_EQ(WaveOutVolume(level), c.waveOut) << c.volume << "/" << int{c.softMute};
        EXPECT_NEAR(DsVolume(level), c.ds, 1) << c.volume << "/" << int{c.softMute};
    }
}

TEST(Volume, DevicesMuteAndQueuedRescaling) {
    ControlEngine t;
    t.s.volume = 65535;
    t.Play();
    t.ps.softMute = 2;
    SetVolume(t.e, false);  // the mute stays and is applied
    EXPECT_EQ(t.dev.volume, 5404u * 0x10001u);
    SetVolume(t.e, true);  // a volume step ends the mute first
    EXPECT_EQ(t.ps.softMute, 0);
    EXPECT_TRUE(t.calls.Has("unmuted"));
    EXPECT_EQ(t.dev.volume, 0xFFFFFFFFu);

    // Software volume: the device stays at full level and what is queued, in the wave-out
    // buffers or the whole DirectSound buffer, is rescaled at once by the new gain / swGain.
    for (const bool ds : {false, true}) {
        ControlEngine d;
        d.s.wave_flags = WaveFlag::InternalVolume;
        if (ds) d.s.wavedevice = 0x80, d.ps.dsoundModule = &d;
        d.Stream(300);
        ASSERT_EQ(d.Start(), 0);
        if (!ds) WaveOutStart(d.e);
        std::vector<std::pair<int16_t*, size_t>> queued;  // samples
        if (ds) queued.emplace_back(reinterpret_cast<int16_t*>(d.dev.dsMemory.data()),
                                    d.dev.dsMemory.size() / 2);
        for (OutBuffer* b : d.dev.queued)
            queued.emplace_back(reinterpret_cast<int16_t*>(b->data.data()), b->bytes / 2);
        ASSERT_FALSE(queued.empty());
        for (auto [pcm, n] : queued) std::fill(pcm, pcm + n, int16_t{10000});
        d.ps.swGain = 65535;
        d.s.volume = 32768;
        SetVolume(d.e, false);
        EXPECT_EQ(d.ps.swGain, 18821) << ds;
        for (auto [pcm, n] : queued) {
            EXPECT_EQ(pcm[0], 10000 * 18821 / 65535) << ds;
            EXPECT_EQ(pcm[n - 1], 10000 * 18821 / 65535) << ds;
        }
        EXPECT_EQ(d.dev.volume, 0u) << "never set";
    }
}

TEST(StopResume, BackOffOfTheDeferredStop) {
    // Action 8 moves back by the stop fade's tenths × 80 ms plus the back-off, in bytes at the
    // average bit rate (16,000 bytes a second here), ms for BASS, 0 for URL streams.
    const struct {
        int32_t fadeout;
        uint32_t backoffMs, played;
        bool bass, url;
        uint32_t resume;
    } cases[] = {
        {0x8A, 500, 100000, false, false, 100000 - 1300 * 16},  // stop fade 1.0 s: 1,300 ms
        {0x80, 500, 100000, false, false, 100000 - 500 * 16},
        {0x8A, 500, 5000, false, false, 5000},  // back-off not smaller: kept
        {0x8A, 500, 100000, false, true, 0},
        {0x8A, 500, 60000, true, false, 58700},
    };
    for (const auto& c : cases) {
        ControlEngine t;
        t.s.fadeout = c.fadeout;
        t.s.skip_times = static_cast<int32_t>(c.backoffMs << 16 | 0x0F0F);
        t.track.avgBitrate = 128000;
        t.track.lengthMs = t.ps.playedLengthMs = 200000;
        t.ps.playedBytePos = c.played;
        t.ps.playedMs = 4321;
        t.ps.bassActive = c.bass;
        t.ps.urlStream = c.url;
        t.ps.pendingAction = kActionStopResume;
        RunPendingAction(t.e);
        EXPECT_EQ(t.track.dwPointer, c.resume) << c.played << " fade " << c.fadeout;
        EXPECT_TRUE(t.calls.Has("resume " + std::to_string(c.resume)));
        EXPECT_TRUE(t.calls.Has("leave 4321"));
        EXPECT_EQ(t.ps.pendingAction, 0u);
    }
}

TEST(StopResume, StopAtOnceAndWithFade) {
    // Without a fade the default back-off repeats the last 500 ms; at or past the end: 0.
    const struct {
        uint32_t played, end, resume;
    } cases[] = {{100000, 900000, 92000}, {4000, 900000, 4000}, {910000, 900000, 0}};
    for (const auto& c : cases) {
        ControlEngine t;  // defaults: fade on stop off, back-off 500 ms
        t.track.avgBitrate = 128000;
        t.track.dwAudioEnd = c.end;
        t.ps.playedBytePos = c.played;
        EXPECT_EQ(StopAtOnce(t.e), c.resume) << c.played;
        EXPECT_EQ(t.ps.resumePos, c.resume);
    }
    ControlEngine idle;
    EXPECT_FALSE(StopWithFade(idle.e, 1000));  // nothing plays
    // The deferred stop waits for the fade: what was faded plus 1 ms.
    for (uint32_t ms : {500u, 5000u}) {
        ControlEngine t;
        t.Play();
        ASSERT_TRUE(StopWithFade(t.e, ms));
        EXPECT_EQ(t.ps.pendingAction, kActionStopResume);
        const uint32_t faded = ms < t.ps.queuedMs ? ms : t.ps.queuedMs;  // capped at the queue
        EXPECT_TRUE(t.calls.Has("timer 1810 " + std::to_string(faded + 1))) << ms;
        EXPECT_FALSE(StopWithFade(t.e, ms)) << "an action is pending";
    }
}

TEST(DeferredActions, DelayFromWhatIsQueued) {
    // One second of 44.1 kHz stereo in the ring, the track end half a second after the read
    // index, one second queued in the device.
    const struct {
        bool gapless;
        uint32_t code, delay, expect;
    } cases[] = {{false, 2, 0, 100}, {true, 6, 250, 250}, {true, 6, 0, 2000},
                 {true, 2, 0, 1500}, {true, 3, 0, 1500},  {true, 4, 0, 2000}};
    for (const auto& c : cases) {
        ControlEngine t;
        t.s.gapless = c.gapless ? uint8_t{GaplessFlag::Enable} : uint8_t{0};
        t.ps.outRate = 44100;
        t.ps.outChannels = 2;
        t.ps.ovRing16.assign(441000, 0);
        t.ps.ovRing = t.ps.ovRing16.data();
        t.ps.ovRingSize = 441000;
        t.ps.ovReadPosSamp = 400000;
        t.ps.ovWritePosSamp = (400000 + 88200) % 441000;  // wraps
        t.ps.ovTrackEndMark = (400000 + 44100) % 441000;
        t.ps.queuedMs = 1000;
        ScheduleAction(t.e, c.code, c.delay);
        EXPECT_EQ(t.ps.pendingAction, c.code);
        EXPECT_TRUE(t.calls.Has("timer 1810 " + std::to_string(c.expect)))
            << "code " << c.code << " delay " << c.delay;
    }
}

TEST(DeferredActions, EachCodeOnce) {
    const struct {
        uint32_t code;
        std::string call;
        bool pluginStopped;
    } cases[] = {{kActionStop, "list", true},
                 {kActionQuit, "close", true},
                 {kActionDelayedStart, "timer 1809 0", true},
                 {kActionPlayFromTop, "first 1000", true},
                 {kActionRestart, "replay", true},
                 {kActionRestartKeep, "replay", false}};
    for (const auto& c : cases) {
        ControlEngine t;
        t.track.dwPointer = t.track.dwAudioEnd = 5000;
        t.ps.pluginActive = true;
        t.ps.trackEnded = true;
        t.ps.pendingAction = c.code;
        RunPendingAction(t.e);
        EXPECT_TRUE(t.calls.Has(c.call)) << c.code;
        EXPECT_EQ(t.calls.Has("plugin"), c.pluginStopped) << c.code;
        EXPECT_EQ(t.ps.pendingAction, 0u);
        EXPECT_FALSE(t.ps.trackEnded);
        const bool quit = c.code == kActionQuit;
        const bool reset = c.code == kActionStop || c.code == kActionPlayFromTop;
        EXPECT_EQ(t.track.dwPointer, quit || reset ? 0u : 5000u) << c.code;
        EXPECT_EQ(t.track.dwAudioEnd, reset ? 0u : 5000u) << c.code;
    }
}

TEST(Stop, GaplessDrainKeepsTheOutput) {
    ControlEngine t;
    t.s.gapless = GaplessFlag::Enable;
    t.Play();
    t.ps.trackEnded = true;
    EngineStop(t.e, false);  // only the decoder: the output drains
    EXPECT_TRUE(OutputOpen(t.ps));
    EXPECT_EQ(t.ps.inputChunk, 0u);
    EngineStop(t.e, true);
    EXPECT_FALSE(OutputOpen(t.ps));
    EXPECT_EQ(t.ps.pendingAction, kActionStopping);
}

TEST(Seek, TargetsRestartAndTheEnd) {
    // 128 kbit/s MPEG-1 at 44.1 kHz and 64 kbit/s MPEG-2 at 22.05 kHz: 16,000 and 8,000 bytes
    // a second. Skip back 15 passes -16 s, skip forward 70 passes 80 s.
    const struct {
        uint8_t version;
        uint32_t rate;
        float frameLen;
        double seconds;
        bool nextAtEnd;
        SeekResult result;
        uint32_t pointer;
    } cases[] = {
        {1, 44100, 144 * 128000 / 44100.0f, -16, false, SeekResult::Moved, 1000000 - 256000},
        {1, 44100, 144 * 128000 / 44100.0f, 80, false, SeekResult::Moved, 1000000 + 1280000},
        {1, 44100, 144 * 128000 / 44100.0f, -100, false, SeekResult::Moved, 1000},  // dwAudioBeg
        {2, 22050, 72 * 64000 / 22050.0f, -16, false, SeekResult::Moved, 1000000 - 128000},
        {1, 44100, 144 * 128000 / 44100.0f, 300, false, SeekResult::PastEnd, 77},
        {1, 44100, 144 * 128000 / 44100.0f, 300, true, SeekResult::NextTrack, 77},
    };
    for (const auto& c : cases) {
        ControlEngine t;
        t.track.header.versionCode = c.version;
        t.track.header.sampleRate = c.rate;
        t.track.avgFrameLen = c.frameLen;
        t.track.dwAudioBeg = 1000;
        t.track.dwAudioEnd = 5000000;
        t.track.dwPointer = 77;
        t.ps.playedBytePos = 1000000;
        EXPECT_EQ(Seek(t.e, c.seconds, 200, c.nextAtEnd), c.result) << c.seconds;
        EXPECT_NEAR(t.track.dwPointer, c.pointer, 2) << c.seconds;
        EXPECT_EQ(t.calls.Has("next"), c.result == SeekResult::NextTrack);
    }
    ControlEngine playing;
    playing.Play();
    playing.ps.playedBytePos = 100000;
    EXPECT_EQ(Seek(playing.e, -1, 200, false), SeekResult::Restarted);
    EXPECT_FALSE(OutputOpen(playing.ps));
    EXPECT_EQ(playing.ps.resumePos, playing.track.dwPointer);
    EXPECT_EQ(playing.calls.log.back(), "timer 1809 200");
    EXPECT_TRUE(playing.calls.Has("kill 1809"));
    // The same track goes on: the sound processing keeps its running gains.
    EXPECT_TRUE(playing.calls.Has("keep dsp"));
    ControlEngine empty;
    EXPECT_EQ(Seek(empty.e, 10, 200, true), SeekResult::NotLoaded);
    // A fast-play change heard at once: the queue restarts at the point heard.
    ControlEngine fast;
    fast.Play();
    fast.ps.playedBytePos = 54321;
    RestartQueue(fast.e);
    EXPECT_FALSE(OutputOpen(fast.ps));
    EXPECT_EQ(fast.calls.log.back(), "timer 1809 0");
    EXPECT_TRUE(fast.calls.Has("resume 54321"));
}

// ---- intro scan ----

IntroScanOps RecordingScanOps(Calls& calls) {
    IntroScanOps o;
    o.ctx = &calls;
    o.startSelected = [](void* c, int pct) {
        Say(c, "selected " + std::to_string(pct));
        return true;
    };
    o.startNext = [](void* c, int pct) {
        Say(c, "row " + std::to_string(pct));
        return C(c).nextRowExists;
    };
    o.startTimer = [](void* c) { Say(c, "tick on"); };
    o.stopTimer = [](void* c) { Say(c, "tick off"); };
    o.progress = [](void* c, int v) { Say(c, "bar " + std::to_string(v)); };
    o.enableStart = [](void* c, bool on) { Say(c, on ? "start on" : "start off"); };
    o.wait = [](void* c, uint32_t ms) { Say(c, "wait " + std::to_string(ms)); };
    return o;
}

TEST(IntroScan, TickSequence) {
    // Two-second intros from 35 %: four ticks each, then the next row; the end of the list
    // stops the scan and gives the start button back.
    ControlEngine t;
    Calls scan;
    const IntroScanOps ops = RecordingScanOps(scan);
    t.s.intro_scan = 4 | 35 << 8;
    IntroScan st;
    IntroScanStart(st, t.e, ops);
    for (int i = 0; i < 4; ++i) IntroScanTick(st, t.e, ops);
    scan.nextRowExists = false;
    for (int i = 0; i < 4; ++i) IntroScanTick(st, t.e, ops);
    const std::vector<std::string> want = {
        "start off", "selected 35", "tick on",  "bar 1",   "bar 2",   "bar 3",
        "bar 4",     "tick off",    "row 35",   "tick on", "bar 1",   "bar 2",
        "bar 3",     "bar 4",       "tick off", "row 35",  "start on"};
    EXPECT_EQ(scan.log, want);
    EXPECT_FALSE(st.running);
    EXPECT_EQ(st.counter, 0);
}

TEST(IntroScan, PlayingStartMovesOnWithTheSkipFade) {
    // fadeout bits 0x80 and 0x8000 with a skip fade of 0.5 s: the queue fades before the stop.
    const struct {
        int32_t fadeout;
        bool waits;
    } cases[] = {{0x8000 | 0x80 | 5 << 8, true}, {0x8000 | 5 << 8, false}};
    for (const auto& c : cases) {
        ControlEngine t;
        t.Play();
        t.s.fadeout = c.fadeout;
        Calls scan;
        const IntroScanOps ops = RecordingScanOps(scan);
        IntroScan st;
        IntroScanStart(st, t.e, ops);  // something plays: the next tick moves on
        EXPECT_EQ(st.counter, kIntroScanMoveOn);
        IntroScanTick(st, t.e, ops);
        EXPECT_EQ(scan.Has("wait 500"), c.waits) << c.fadeout;
        EXPECT_TRUE(scan.Has("row 20"));  // the default start, 20 %
        EXPECT_FALSE(OutputOpen(t.ps));
        EXPECT_EQ(t.ps.resumePos, 0u);
    }
}

TEST(IntroScan, SettingsBytesAndWindowPosition) {
    Settings s;
    s.intro_scan = 5150;  // 15 s from 20 %
    EXPECT_EQ(IntroLength(s) * 100 + IntroStartPercent(s), 3020);
    SetIntroLength(s, 200);  // each slider writes its own byte, within its range
    SetIntroStartPercent(s, 99);
    EXPECT_EQ(s.intro_scan, 98 << 8 | 120);
    // The window's place is kept as (x + 5000) << 16 + (y + 5000), only when both are positive.
    IntroScan st;
    Calls calls;
    const IntroScanOps ops = RecordingScanOps(calls);
    const int32_t packed = IntroScanClose(st, ops, 100, 200, 77);
    EXPECT_EQ(packed, (5100 << 16) + 5200);
    EXPECT_EQ(IntroScanClose(st, ops, -20, 200, 77), 77);
    EXPECT_EQ(IntroScanClose(st, ops, 100, 0, 77), 77);
    int x = 0, y = 0;
    EXPECT_TRUE(UnpackWindowPos(packed, x, y));
    EXPECT_EQ(x * 1000 + y, 100200);
    EXPECT_FALSE(UnpackWindowPos(0, x, y));
}

}  // namespace
