// Enhancer 2 configuration: the three settings strings read by position, the derived
// parameters and crossover filters, and the resets of enh2Configure.
#include <algorithm>
#include <cmath>

#include "config/settings.h"
#include "dsp/enh2.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kButterworthQ = 0.707;
// The bilinear low-pass turns unstable at half the rate and beyond; a crossover typed above
// this fraction of the output rate is computed at it instead.
constexpr double kMaxCrossoverFraction = 0.49;

// enh2_1 positions.
constexpr size_t kMultibandFlag = 0, kAgcFlag = 1;
constexpr size_t kCrossoverDigits[kEnh2Crossovers] = {5, 11, 17, 23};
constexpr size_t kDriveDigits = 35, kStereoDigits = 39;
// enh2_2: band k's block starts at 4 + 16k, four letter+3-digit fields.
constexpr size_t kBandBlockStart = 4, kBandBlockLen = 16;
// enh2_lim positions.
constexpr size_t kLimiterFlag = 0, kClipperFlag = 2;
constexpr size_t kThDigits = 8, kReDigits = 13, kCeDigits = 18, kKnDigits = 23, kRaDigits = 28,
                 kAtDigits = 33, kHoDigits = 38;

char At(std::string_view text, size_t pos) {
    return pos < text.size() ? text[pos] : '\0';
}

Enh2Biquad LowPass(double f, uint32_t rate) {
    f = std::min(f, kMaxCrossoverFraction * rate);
    const double k = std::tan(kPi * f / rate);
    const double norm = 1.0 / (1.0 + k / kButterworthQ + k * k);
    Enh2Biquad q;
    q.b0 = k * k * norm;
    q.b1 = 2.0 * q.b0;
    q.b2 = q.b0;
    q.a1 = 2.0 * (k * k - 1.0) * norm;
    q.a2 = (1.0 - k / kButterworthQ + k * k) * norm;
    return q;
}

}  // namespace

int Enh2Field(std::string_view text, size_t pos, size_t width) {
    int value = 0;
    for (size_t i = pos; i < pos + width && i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

Enh2Params enh2ParseParams(std::string_view enh2_1, std::string_view enh2_2,
                           std::string_view enh2_lim, uint32_t rate) {
    Enh2Params p;
    p.rate = rate ? rate : 44100;
    const double perRate = 44100.0 / p.rate;  // the steps are stated for 44.1 kHz

    p.multiband = At(enh2_1, kMultibandFlag) == 'm';
    p.agc = At(enh2_1, kAgcFlag) == 'a';
    for (int k = 0; k < kEnh2Crossovers; ++k)
        p.crossover[k] = static_cast<uint16_t>(Enh2Field(enh2_1, kCrossoverDigits[k], 5));
    p.drive = 0.5 + 0.025 * Enh2Field(enh2_1, kDriveDigits, 3);
    p.stereoAmount = (Enh2Field(enh2_1, kStereoDigits, 3) - 20) * 2;

    for (int k = 0; k < kEnh2Bands; ++k) {
        const size_t at = kBandBlockStart + kBandBlockLen * k;
        const int m = Enh2Field(enh2_2, at + 1, 3);
        const double u = Enh2Field(enh2_2, at + 5, 3) / 100.0;
        const int d = Enh2Field(enh2_2, at + 9, 3);
        const int t = Enh2Field(enh2_2, at + 13, 3);
        Enh2Band& b = p.band[k];
        b.maxAmp = 1.0 + 0.09 * m;
        b.upStep = (0.0004 * u * u * u * u + 0.000004) * perRate;
        b.downStep = (0.002 + 0.0003 * (100 - d)) * perRate;
        b.threshold = 0.25 + 0.0075 * t;
    }

    const char lim = At(enh2_lim, kLimiterFlag);
    p.limiterOn = lim == 'l' || lim == 'L';
    const char clip = At(enh2_lim, kClipperFlag);
    p.clipMode = clip == 's' ? 1 : clip == 'h' ? 2 : 0;
    p.limThresholdDb = (Enh2Field(enh2_lim, kThDigits, 3) - 300) / 10.0;
    p.releaseMs = Enh2Field(enh2_lim, kReDigits, 3);
    p.limCeilingDb = (Enh2Field(enh2_lim, kCeDigits, 3) - 300) / 10.0;
    p.kneeDb = Enh2Field(enh2_lim, kKnDigits, 3) / 10.0;
    p.ratio = Enh2Field(enh2_lim, kRaDigits, 3) / 10.0;
    p.attackMs = Enh2Field(enh2_lim, kAtDigits, 3) / 10.0;
    p.holdMs = Enh2Field(enh2_lim, kHoDigits, 3);

    for (int k = 0; k < kEnh2Crossovers; ++k)
        if (p.crossover[k]) p.filter[k] = LowPass(p.crossover[k], p.rate);
    return p;
}

void enh2Configure(Enh2Params& p, Enh2State& st, const Settings& s, unsigned flags, uint32_t rate) {
    p = enh2ParseParams(s.enh2_1, s.enh2_2, s.enh2_lim, rate);

    // Room for 10 ms of stereo at this rate, and never less than the usual 2000 floats.
    const size_t room = std::max<size_t>(kEnh2TailRoom, 2 * (p.rate / 100));
    for (auto& tail : st.bandTail)
        if (tail.size() < room) tail.resize(room, 0.0f);
    if (st.limTail.size() < room) st.limTail.resize(room, 0.0f);

    if (flags & Enh2Reset::BandGains) {
        st.bandGain.fill(1.0);
        st.monitor.bandAverage.fill(1.0f);
    }
    if (flags & Enh2Reset::DelayLines) {
        for (auto& tail : st.bandTail) std::fill(tail.begin(), tail.end(), 0.0f);
        std::fill(st.limTail.begin(), st.limTail.end(), 0.0f);
    }
    if (flags) st.agcGain.fill(1.0);
}
