#include <gtest/gtest.h>

#include <string>

#include "dsp_signals.h"

namespace {

// Neutral chain pieces: no AGC, no bands, drive and stereo neutral, no clipper, no limiter.
const char* kNeutral1 = "----f00000f00000f00000------------l020s020";
const char* kFlatBands =
    "----m000u000d100t100m000u000d100t100m000u000d100t100m000u000d100t100----------------";
const char* kNoLimiter = "------th300re040ce300kn000ra201at025ho000";

struct Enh2 {
    Enh2Params p;
    Enh2State st;
    Enh2(const std::string& a, const std::string& b, const std::string& c, uint32_t rate) {
        Settings s = DefaultSettings();
        s.enh2_1 = a, s.enh2_2 = b, s.enh2_lim = c;
        enh2Configure(p, st, s, 3, rate);
    }
    void Run(std::vector<float>& v, int ch, int block = 4096) {
        InBlocks(v, ch, block, [&](float* x, int n) { enh2Process(p, st, x, n, ch); });
    }
};

std::string WithCeiling(std::string lim, const char* ce) {
    return lim.replace(18, 3, ce);
}

TEST(Enh2Params, FieldsAreReadByPosition) {
    const char* lim = "L-h---th260re046ce290kn040ra201at025ho007";
    const std::string bands = enh2BuiltInPreset(3).enh2_2;
    const Enh2Params p =
        enh2ParseParams("ma--f00250f02200f05000-12345------l014s025", bands, lim, 22050);
    EXPECT_TRUE(p.multiband && p.agc && p.limiterOn);
    EXPECT_EQ(p.crossover[0], 250);
    EXPECT_EQ(p.crossover[2], 5000);
    EXPECT_EQ(p.crossover[3], 12345) << "positions 23-27, dashes in every preset";
    EXPECT_EQ(enh2ParseParams(enh2BuiltInPreset(3).enh2_1, "", "", 0).crossover[3], 0);
    EXPECT_DOUBLE_EQ(p.drive, 0.85);
    EXPECT_EQ(p.stereoAmount, 10);
    EXPECT_EQ(p.clipMode, 2);
    // Each band has its 16 characters: the last band's read alone as the first gives the same.
    const Enh2Band last = enh2ParseParams("m", "----" + bands.substr(52, 16), "", 22050).band[0];
    EXPECT_EQ(std::tie(p.band[3].maxAmp, p.band[3].threshold, p.band[3].upStep),
              std::tie(last.maxAmp, last.threshold, last.upStep));
    // The band steps are per frame: half the rate, twice the step.
    EXPECT_DOUBLE_EQ(p.band[1].downStep,
                     2 * enh2ParseParams("m", bands, lim, 44100).band[1].downStep);
    EXPECT_DOUBLE_EQ(p.limThresholdDb, -4.0);
    EXPECT_DOUBLE_EQ(p.limCeilingDb, -1.0);
    EXPECT_DOUBLE_EQ(p.ratio, 20.1);
    EXPECT_EQ(p.holdMs, 7);
    // Dashes and missing text read as 0: drive 0.5, stereo -40, clipper "s" only at position 2.
    const Enh2Params q = enh2ParseParams("-m", "", "-s", 0);
    EXPECT_FALSE(q.multiband || q.agc || q.limiterOn);
    EXPECT_EQ(q.clipMode, 0);
    EXPECT_EQ(q.rate, 44100u);
    EXPECT_DOUBLE_EQ(q.drive, 0.5);
    EXPECT_EQ(q.stereoAmount, -40);
}

TEST(Enh2Configure, ResetFlagsResetWhatTheyName) {
    struct Case {
        unsigned flags;
        bool gains, tails, agc;
    } cases[] = {{0, false, false, false},
                 {1, true, false, true},
                 {2, false, true, true},
                 {3, true, true, true}};
    for (const Case& c : cases) {
        Enh2 e(kNeutral1, kFlatBands, kNoLimiter, 44100);
        e.st.bandGain.fill(3.0);
        e.st.agcGain.fill(2.0);
        e.st.monitor.bandAverage.fill(3.0f);
        e.st.bandTail[2].assign(2000, 0.5f);
        e.st.limTail.assign(2000, 0.5f);
        e.st.z1[1][0] = 0.25f;
        e.st.limEnv[1] = 0.7f;
        e.st.limHold[0] = 9;
        Settings s = DefaultSettings();
        enh2Configure(e.p, e.st, s, c.flags, 48000);
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(e.st.bandGain[3], c.gains ? 1.0 : 3.0);
        EXPECT_EQ(e.st.monitor.bandAverage[0], c.gains ? 1.0f : 3.0f);
        EXPECT_EQ(e.st.bandTail[2][1999], c.tails ? 0.0f : 0.5f);
        EXPECT_EQ(e.st.limTail[0], c.tails ? 0.0f : 0.5f);
        EXPECT_EQ(e.st.agcGain[1], c.agc ? 1.0 : 2.0);
        EXPECT_EQ(e.st.z1[1][0], 0.25f);  // never reset
        EXPECT_EQ(e.st.limEnv[1], 0.7f);
        EXPECT_EQ(e.st.limHold[0], 9);
        EXPECT_EQ(e.p.rate, 48000u);
    }
}

TEST(Enh2Process, BandsDelayByTenMillisecondsAndSumToTheInput) {
    struct Case {
        const char* enh2_1;
        float tolerance;
    } cases[] = {{"m---f00000f00000f00000------------l020s020", 0.0f},
                 {"m---f00250f02000f05000------------l020s020", 2e-6f},
                 {"----f00250f02000f05000------------l020s020", 0.0f}};  // no bands, no delay
    for (const Case& c : cases) {
        Enh2 e(c.enh2_1, kFlatBands, kNoLimiter, 48000);
        const auto in = Sine(997, 0.5, 48000, 9000, 2);
        auto out = in;
        e.Run(out, 2, 1000);
        const size_t delay = c.enh2_1[0] == 'm' ? 480 * 2 : 0;
        for (size_t i = delay + 1000; i < out.size(); ++i)
            ASSERT_NEAR(out[i], in[i - delay], c.tolerance) << c.enh2_1 << " at " << i;
    }
}

TEST(Enh2Process, AutomaticGainsSettleWithinTheirBounds) {
    // AGC (1..4): where positive peaks just reach 0.8. Band (max amp 10, threshold 0.25): where
    // the peak times the gain meets the threshold.
    const std::string band = "m100u100d000t000", bands = "----" + band + band + band + band;
    struct Case {
        const char* enh2_1;
        double amp, gain;
    } cases[] = {{"-a--", 0.4, 2.0}, {"-a--", 0.1, 4.0}, {"-a--", 0.9, 1.0},
                 {"m---", 0.1, 2.5}, {"m---", 0.01, 10}, {"m---", 0.5, 0.5}};
    for (const Case& c : cases) {
        const bool agc = c.enh2_1[1] == 'a';
        Enh2 e(std::string(c.enh2_1) + (kNeutral1 + 4), bands, kNoLimiter, agc ? 8000 : 44100);
        auto v = Sine(agc ? 100 : 440, c.amp, e.p.rate, agc ? 1000000 : 44100, 1);
        e.Run(v, 1);
        const double gain = agc ? e.st.agcGain[0] : e.st.bandGain[0];
        EXPECT_NEAR(gain, c.gain, c.gain * 0.03) << c.enh2_1 << c.amp;
        if (agc) {
            EXPECT_LE(MaxAbs(v.data() + 900000, 100000), std::max(0.81, c.amp * 1.001));
        }
    }
}

TEST(Enh2Process, LimiterNeverExceedsItsCeiling) {
    for (int k = 0; k < kEnh2BuiltInPresets; ++k) {
        const Enh2Preset& pr = enh2BuiltInPreset(k);
        if (pr.enh2_lim[0] != 'l') continue;
        for (uint32_t rate : {22050u, 48000u})
            for (int ch : {1, 2}) {
                const int n = static_cast<int>(rate / 2);
                for (auto in : {Noise(1.0, n, ch), Square(50, 1.0, rate, n, ch),
                                Square(3000, 1.0, rate, n, ch), Clicks(rate, n, ch)}) {
                    Enh2 e(pr.enh2_1, pr.enh2_2, WithCeiling(pr.enh2_lim, "240"), rate);
                    e.Run(in, ch, 2048);
                    ASSERT_LE(MaxAbs(in.data(), in.size()), 0.501187f * 1.00001f)
                        << pr.name << " " << rate << " " << ch;
                }
            }
    }
}

TEST(Enh2Process, StereoWidthMixesFromTheIncomingPair) {
    Enh2 e("----f00000f00000f00000------------l020s030", kFlatBands, kNoLimiter, 44100);  // +20 %
    std::vector<float> v = {0.5f, 0.25f, -0.5f, 0.5f}, want = {0.45f, 0.15f, -0.6f, 0.6f};
    e.Run(v, 2);
    for (size_t i = 0; i < v.size(); ++i) EXPECT_FLOAT_EQ(v[i], want[i]) << i;
}

TEST(Enh2Process, SoftClippersStayWithinTheirPeaks) {
    const std::pair<const char*, float> cases[] = {{"--s---th300", 0.94280905f},
                                                   {"--h---th300", 1.0f}};
    for (const auto& [lim, peak] : cases) {
        Enh2 e("----f00000f00000f00000------------l040s020", kFlatBands, lim, 44100);
        auto v = Sine(100, 2.0, 44100, 4410, 2);
        e.Run(v, 2);
        EXPECT_LE(MaxAbs(v.data(), v.size()), peak) << lim;
        EXPECT_GE(MaxAbs(v.data(), v.size()), peak * 0.999f) << lim;
    }
}

TEST(Enh2Process, PresetsStayFiniteAndPcmAgreesWithFloat) {
    for (int k = 0; k < kEnh2BuiltInPresets; ++k) {
        const Enh2Preset& pr = enh2BuiltInPreset(k);
        for (float level : {0.0f, 1.0f, -1.0f}) {  // silence and full-scale DC
            Enh2 e(pr.enh2_1, pr.enh2_2, pr.enh2_lim, 44100);
            std::vector<float> v(8820, level);
            e.Run(v, 2);
            for (float x : v) ASSERT_TRUE(std::isfinite(x)) << pr.name << " " << level;
        }
        Enh2 f(pr.enh2_1, pr.enh2_2, pr.enh2_lim, 44100), g = f;
        auto vf = Noise(0.9, 20000, 2, k);
        auto vp = ToPcm(vf);
        for (float& x : vf) x = static_cast<int16_t>(x * 32767.0f) / 32767.0f;
        std::vector<int16_t> silence(4000, 0);
        g.Run(vf, 2);
        InBlocks(vp, 2, 4096, [&](int16_t* x, int n) { enh2Process(f.p, f.st, x, n, 2); });
        for (size_t i = 0; i < vp.size(); ++i)
            ASSERT_NEAR(vp[i], std::clamp(vf[i], -1.0f, 1.0f) * 32767.0f, 1.0f) << pr.name;
        enh2Process(f.p, f.st, silence.data(), 2000, 2);  // lets the noise out of the delays
        silence.assign(4000, 0);
        enh2Process(f.p, f.st, silence.data(), 2000, 2);
        EXPECT_EQ(std::count(silence.begin(), silence.end(), 0), 4000) << pr.name;
    }
}

TEST(Enh2Process, BlockCutDoesNotChangeTheResultWithoutTheLimiter) {
    const Enh2Preset& pr = enh2BuiltInPreset(3);  // AGC, four bands, drive, stereo, Soft clip 2
    std::string lim = pr.enh2_lim;
    lim[0] = '-';
    Enh2 whole(pr.enh2_1, pr.enh2_2, lim, 44100), cut = whole;
    auto a = Noise(0.7, 30000, 2), b = a;
    whole.Run(a, 2, 30000);
    const int sizes[] = {1, 7, 441, 1000, 4096, 150};
    size_t at = 0;
    for (int i = 0; at < b.size(); ++i) {
        const int n = std::min<int>(sizes[i % 6], static_cast<int>(b.size() - at) / 2);
        enh2Process(cut.p, cut.st, b.data() + at, n, 2);
        at += static_cast<size_t>(n) * 2;
    }
    EXPECT_EQ(a, b);
}

}  // namespace
