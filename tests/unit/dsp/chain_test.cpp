#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dsp_signals.h"

// Every allocation of this test program is counted, so that a test can tell whether a block
// allocated anything.
static std::atomic<long> g_allocations{0};
void* operator new(size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

struct Chain {
    Settings s = DefaultSettings();
    DspState d;
    void Apply(uint32_t rate = 44100) {
        d.outRate = rate;
        dspApplySettings(d, s, 2, true, rate, 2);
    }
};

double Rms(const std::vector<int16_t>& v, size_t from) {
    double sum = 0;
    for (size_t i = from; i < v.size(); ++i) sum += double(v[i]) * v[i];
    return std::sqrt(sum / (v.size() - from));
}

TEST(DspChain, AllStagesOffIsBitIdentical) {
    Chain c;
    c.s.wave_flags = WaveFlag::WinampDsp;  // no plug-in loaded: nothing to call
    c.Apply();
    std::vector<int16_t> pcm(65536);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(i - 32768);
    auto pcmIn = pcm;
    auto f = Noise(1.0, 5000, 2), fIn = f;
    for (int ch : {1, 2}) {
        dspProcessPcm16(c.d, c.s, pcm.data(), 65536 / ch, ch);
        dspProcessFloat(c.d, c.s, f.data(), 10000 / ch, ch);
    }
    EXPECT_EQ(pcm, pcmIn);
    EXPECT_EQ(f, fIn);
}

TEST(Equalizer, GainAtEachBandFrequencyFollowsItsFormula) {
    for (int band = 0; band < kEqBands; ++band)
        for (int v : {0, 20, 80, 100}) {
            Settings s = DefaultSettings();
            s.eq[band] = v;
            EqState eq;
            const double gp = (50 - v) / 5.0 / 6.6;
            // The bilinear transform moves the analog centre f to rate/pi x atan(pi f / rate).
            const double fd = 44100 / M_PI * std::atan(M_PI * s.eq_f[band] / 44100);
            auto x = ToPcm(Sine(fd, 8000.0 / 32767, 44100, 44100, 2));
            const double before = Rms(x, 22050);
            eqProcess(eq, s, 44100, x.data(), 44100, 2);
            // The integer state of the 100 Hz band, with its poles close to 1, adds up to 10 %.
            const double tolerance = band == 0 ? 0.12 : 0.01;
            EXPECT_NEAR(Rms(x, 22050) / before / ((3 + gp) / (3 - gp)), 1.0, tolerance)
                << band << " " << v;
        }
    EXPECT_EQ(eqBandCoefficients(30000, 10, 44100).b0, eqBandCoefficients(22050, 10, 44100).b0);
}

TEST(DspChain, FlatEqualizerSaturatesAndMonoTruncatesTowardZero) {
    Settings s = DefaultSettings();
    EqState eq;
    std::vector<int16_t> x = {32767, -32768, -32767, -32766, 32766, 0, 123, -5};
    eqProcess(eq, s, 44100, x.data(), 4, 2);
    EXPECT_EQ(x, (std::vector<int16_t>{32766, -32766, -32766, -32766, 32766, 0, 123, -5}));
    x = {32767, 32767, -32768, -32767, 1, -2, -3, -4};
    monoPcm16(x.data(), 4);
    EXPECT_EQ(x, (std::vector<int16_t>{32767, 32767, -32767, -32767, 0, 0, -3, -3}));
    std::vector<float> f = {1.0f, 0.5f, -0.25f, 0.25f};
    monoFloat(f.data(), 2);
    EXPECT_EQ(f, (std::vector<float>{0.75f, 0.75f, 0.0f, 0.0f}));
}

TEST(Enhancer1, WideningAndClampOfTheFirstFrame) {
    struct Case {
        int w, ch;
        std::vector<int16_t> in, out;
    } cases[] = {{20, 2, {1000, 2000}, {800, 1900}},
                 {100, 2, {-32768, 32767}, {-32766, 32766}},
                 {30, 2, {-7, 6}, {-7, 7}},  // -210 / 200 truncates toward zero
                 {0, 2, {32767, -32768}, {32766, -32766}},
                 {50, 1, {-32768}, {-32766}}};
    Chain k;
    k.Apply();
    for (Case& c : cases) {
        k.s.stereo_width = static_cast<uint8_t>(c.w);
        k.d.e1.g = 1.0f;
        enh1Process(k.d.e1, k.s, 44100, c.in.data(), 1, c.ch);
        EXPECT_EQ(c.in, c.out) << c.w;
    }
}

TEST(Enhancer1, GainRisesToItsMaximumAndFallsOnlyOnPeaks) {
    struct Case {
        double amp;
        int threshold;
        float lo, hi;  // where the gain ends; 0: at the maximum gain
    } cases[] = {{0.03, 100, 0, 0}, {1.0, 100, 1.0f, 1.1f}, {1.0, 0, 0.45f, 0.8f}};
    // (The guard keeps the gain near T / full scale = 0.5; it is off for a block's last 300
    // frames, where the gain rises again by up to 0.25.)
    for (const Case& c : cases) {
        Chain k;
        k.s.amp_threshold = static_cast<uint8_t>(c.threshold);
        k.s.amp_up = 120;
        k.Apply();
        auto x = ToPcm(Square(200, c.amp, 44100, 441000, 2));
        InBlocks(x, 2, 4096, [&](int16_t* b, int n) { enh1Process(k.d.e1, k.s, 44100, b, n, 2); });
        const float lo = c.lo ? c.lo : k.d.e1.e1MaxGain, hi = c.hi ? c.hi : k.d.e1.e1MaxGain;
        EXPECT_GE(k.d.e1.g, lo - 1e-3f) << c.amp << " " << c.threshold;
        EXPECT_LE(k.d.e1.g, hi + k.d.e1.e1UpStep) << c.amp << " " << c.threshold;
        if (!c.lo) {
            EXPECT_GT(k.d.e1.g, 2.0f) << "a quiet signal is raised";
        }
    }
}

TEST(DspApplySettings, KeepFlagSparesTheRunningGainsOnce) {
    Chain c;
    c.Apply(22050);
    c.d.e1.g = 2.0f;
    c.d.enh2State.bandGain[0] = 3.0;
    dspKeepStateOnce(c.d);
    c.Apply();
    EXPECT_FALSE(c.d.keepOnce);
    EXPECT_EQ(c.d.e1.g, 2.0f);
    EXPECT_EQ(c.d.enh2State.bandGain[0], 3.0);
    EXPECT_EQ(c.d.enh2.rate, 44100u);
    c.Apply();
    EXPECT_EQ(c.d.e1.g, 1.0f);
    EXPECT_EQ(c.d.enh2State.bandGain[0], 1.0);
}

struct PluginLog {
    int calls = 0, frames = 0, bits = 0, channels = 0, rate = 0;
    int32_t first = 0;
};
int LogPlugin(void* ctx, void* samples, int frames, int bits, int channels, int rate) {
    auto* log = static_cast<PluginLog*>(ctx);
    *log = {log->calls + 1, frames, bits, channels, rate, *static_cast<int32_t*>(samples)};
    return frames;
}

TEST(DspChain, StageSelectionByModeFormatAndChannels) {
    Chain a, b;
    for (Chain* c : {&a, &b}) {
        c->s.enhance = 2;
        c->Apply();
    }
    b.s.eq_enable = 1;
    b.s.eq = {0, 100, 0};
    auto x = ToPcm(Noise(0.5, 8192, 2)), y = x;
    dspProcessPcm16(a.d, a.s, x.data(), 8192, 2);
    dspProcessPcm16(b.d, b.s, y.data(), 8192, 2);
    EXPECT_EQ(x, y) << "the 16-bit chain runs the equalizer only without Enhancer 2";
    auto f = Noise(0.5, 8192, 2), g = f;
    dspProcessFloat(a.d, a.s, f.data(), 8192, 2);
    dspProcessFloat(b.d, b.s, g.data(), 8192, 2);
    EXPECT_NE(f, g) << "the float chain runs it after Enhancer 2";

    PluginLog log;
    b.d.plugin = {LogPlugin, &log};
    b.s.wave_flags = WaveFlag::WinampDsp | WaveFlag::MonoOutput;
    struct Case {
        uint32_t bits, rate;
        int ch;
    } untouched[] = {{24, 44100, 2}, {16, 192000, 2}, {16, 44100, 3}};
    for (const Case& c : untouched) {
        b.d.outBits = c.bits, b.d.outRate = c.rate;
        auto z = ToPcm(Noise(0.5, 2048, 3)), z0 = z;
        dspProcessPcm16(b.d, b.s, z.data(), 6144 / c.ch, c.ch);
        EXPECT_EQ(z, z0) << c.bits << " " << c.rate << " " << c.ch;
        EXPECT_EQ(log.bits, static_cast<int>(c.bits));
        EXPECT_EQ(log.rate, static_cast<int>(c.rate));
    }
    std::vector<float> h = {0.5f, -2.0f, 0.1f, 0.2f, 0.3f, 0.4f};
    dspProcessFloat(b.d, b.s, h.data(), 2, 3);
    EXPECT_EQ(log.calls, 4);
    EXPECT_EQ(log.bits, 32);
    EXPECT_EQ(log.first, 1073741823);
    EXPECT_FLOAT_EQ(h[1], -1.0f) << "clamped for the plug-in, no further processing";
}

TEST(DspChain, NoAllocationPerBlockOnceSized) {
    Chain c;
    c.s.wave_flags = WaveFlag::MonoOutput;
    c.s.eq = {20, 70, 90};
    auto pcm = ToPcm(Noise(0.8, 4096, 2));
    auto flt = Noise(0.8, 4096, 2);
    for (int enhance : {2, 1}) {
        c.s.enhance = static_cast<uint8_t>(enhance);
        c.s.eq_enable = 1;
        c.Apply();
        dspProcessPcm16(c.d, c.s, pcm.data(), 4096, 2);
        dspProcessFloat(c.d, c.s, flt.data(), 4096, 2);
        const long before = g_allocations;
        for (int n = 4096; n > 0; n -= 97) {
            dspProcessPcm16(c.d, c.s, pcm.data(), n, 2);
            dspProcessFloat(c.d, c.s, flt.data(), n, 2);
        }
        EXPECT_EQ(g_allocations - before, 0) << enhance;
    }
}

TEST(EnhPresets, ApplySaveAndDelete) {
    Chain c;
    // A built-in entry read into the settings formats back to itself; Enhancer 1 takes it on.
    ASSERT_TRUE(enhApplyPreset(c.d, c.s, 3));  // "[ Radio ]"
    EXPECT_EQ(enhFormatPreset(c.s, "   [ Radio ]"), c.s.enh_eq_set[3]);
    Enh1State want;
    enh1SetConstants(want, c.s, 0);
    EXPECT_EQ(c.d.e1.e1MaxGain, want.e1MaxGain);
    c.s.enhance = 2;
    ASSERT_TRUE(enhApplyPreset(c.d, c.s, 8));  // "[ Equalizer ]": Enhancer 2 becomes off
    EXPECT_EQ(c.s.enhance, 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(enhSavePreset(c.s, "mine " + std::to_string(i)), 9 + i);
    EXPECT_EQ(enhSavePreset(c.s, "one too many"), -1);
    EXPECT_FALSE(enhDeletePreset(c.s, 8)) << "built-ins stay";
    EXPECT_TRUE(enhDeletePreset(c.s, 9));
    EXPECT_EQ(enhParsePreset(c.s.enh_eq_set[9]).name, "mine 1");
    EXPECT_TRUE(c.s.enh_eq_set[kEnhLastUserSlot].empty());
}

TEST(Enh2Presets, UserPresetsRoundTripAndTheListShowsThem) {
    Settings s = DefaultSettings();
    ASSERT_TRUE(enh2ApplyBuiltIn(s, 0));
    EXPECT_EQ(enh2SaveUserPreset(s, "Mine"), 0);
    enh2ApplyBuiltIn(s, 7);
    EXPECT_EQ(enh2SaveUserPreset(s, std::string(120, 'x')), 1);
    EXPECT_EQ(enh2UserPresetName(s.enh2_set[1]), std::string(kEnh2NameMax, 'x'));
    ASSERT_TRUE(enh2ApplyUserPreset(s, 0));
    const Enh2Preset& first = enh2BuiltInPreset(0);
    EXPECT_EQ(std::tie(s.enh2_1, s.enh2_2, s.enh2_lim),
              std::tie(first.enh2_1, first.enh2_2, first.enh2_lim));
    const auto rows = enh2PresetList(s);
    ASSERT_EQ(rows.size(), 2u + kEnh2BuiltInPresets + 3u);
    EXPECT_EQ(rows[rows.size() - 3].text, "User settings:");
    EXPECT_EQ(rows[rows.size() - 2].text, "   Mine");
    EXPECT_EQ(rows.back().index, 1);
    EXPECT_TRUE(enh2DeleteUserPreset(s, 0));
    EXPECT_EQ(enh2UserPresetName(s.enh2_set[0]).size(), size_t{kEnh2NameMax});
    for (int i = 1; i <= kEnh2LastUserSlot; ++i) EXPECT_EQ(enh2SaveUserPreset(s, "p"), i);
    EXPECT_EQ(enh2SaveUserPreset(s, "30th"), -1);
}

}  // namespace
