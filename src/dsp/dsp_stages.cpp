// The 16-bit stages of the chain: the three-band peaking equalizer, Enhancer 1 (widener, slow
// automatic gain with a look-ahead peak guard) and the mono down-mix. Integer arithmetic with
// gains in units of 1/10000, apart from the filter sums.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "config/settings.h"
#include "dsp/dsp.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kEqFlat = 50;
constexpr int32_t kPcmLimit = 32766;  // both stages keep samples within +/-32766
constexpr int64_t kGainUnit = 10000;  // Enhancer 1 gains and filter constants are x 10000
constexpr int kGuardAhead = 150;      // frames the peak guard looks ahead
constexpr int32_t kClipPeak = 32767;  // a frame peak from here on counts as clipping
constexpr int32_t kGuardStep = 164;   // guard level units below full scale

int64_t Abs64(int64_t v) {
    return v < 0 ? -v : v;
}

int16_t ClampPcm(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, -kPcmLimit, kPcmLimit));
}

void EqBand(EqState& eq, int band, int32_t* x, int frames, int ch) {
    const EqState::Biquad& q = eq.coeffs[band];
    for (int c = 0; c < ch; ++c) {
        int32_t x1 = eq.x1[band][c], x2 = eq.x2[band][c];
        int32_t y1 = eq.y1[band][c], y2 = eq.y2[band][c];
        for (int i = c; i < frames * ch; i += ch) {
            const int32_t in = x[i];
            const double y = q.b0 * in + q.b1 * x1 + q.b2 * x2 - q.a1 * y1 - q.a2 * y2;
            const int32_t out = static_cast<int32_t>(std::lround(y));
            x2 = x1;
            x1 = in;
            y2 = y1;
            y1 = out;
            x[i] = out;
        }
        eq.x1[band][c] = x1;
        eq.x2[band][c] = x2;
        eq.y1[band][c] = y1;
        eq.y2[band][c] = y2;
    }
}

// Widens in place and clamps every sample to +/-32766.
void Widen(int16_t* s, int frames, int ch, int w) {
    if (ch == 2 && w != 0) {
        for (int i = 0; i < frames * 2; i += 2) {
            const int32_t l = s[i], r = s[i + 1];
            s[i] = ClampPcm(l - r * w / 200);
            s[i + 1] = ClampPcm(r - l * w / 200);
        }
    } else {
        for (int i = 0; i < frames * ch; ++i) s[i] = ClampPcm(s[i]);
    }
}

// First-order high-pass of the detector copy, cut-off 2 x amp_hpcutoff Hz.
void DetectorHighPass(Enh1State& e, int cutoff, uint32_t rate, const int16_t* s, int16_t* det,
                      int frames, int ch) {
    const double wc = 2.0 * kPi * 2.0 * cutoff;
    const double twoRate = 2.0 * rate;
    const int64_t k1 = static_cast<int64_t>(kGainUnit * twoRate / (twoRate + wc));
    const int64_t k2 = static_cast<int64_t>(kGainUnit * (twoRate - wc) / (twoRate + wc));
    for (int c = 0; c < ch; ++c) {
        int64_t x1 = e.hpIn[c], y1 = e.hpOut[c];
        for (int i = c; i < frames * ch; i += ch) {
            const int64_t x = s[i];
            const int64_t y = k1 * x / kGainUnit - k1 * x1 / kGainUnit + k2 * y1 / kGainUnit;
            det[i] = ClampPcm(y);
            x1 = x;
            y1 = y;
        }
        e.hpIn[c] = static_cast<int32_t>(x1);
        e.hpOut[c] = static_cast<int32_t>(y1);
    }
}

}  // namespace

EqState::Biquad eqBandCoefficients(int32_t freq, int32_t value, uint32_t rate) {
    EqState::Biquad q;
    q.freq = freq;
    q.value = value;
    q.rate = rate;
    // The page's range: beyond it the denominator's damping could turn negative (unstable).
    const double v = std::clamp(value, 0, 100);
    const double f = std::clamp(static_cast<double>(freq), 1.0, rate / 2.0);
    const double g = (kEqFlat - v) / 5.0;
    const double gp = g / 6.6;
    const double tau = 1.0 / (2.0 * kPi * f);
    const double c = tau / std::tan(tau / (2.0 * rate));
    const double a = tau * tau * c * c;
    const double p = (3.0 + gp) * tau * c;
    const double m = (3.0 - gp) * tau * c;
    const double den = a + m + 1.0;
    q.b0 = (a + p + 1.0) / den;
    q.b1 = 2.0 * (1.0 - a) / den;
    q.b2 = (a - p + 1.0) / den;
    q.a1 = q.b1;
    q.a2 = (a - m + 1.0) / den;
    return q;
}

void eqProcess(EqState& eq, const Settings& s, uint32_t rate, int16_t* samples, int frames,
               int channels) {
    if (frames <= 0 || channels < 1 || channels > 2 || rate == 0) return;
    const size_t n = static_cast<size_t>(frames) * channels;
    if (eq.work.size() < n) eq.work.resize(n);
    int32_t* x = eq.work.data();
    std::copy(samples, samples + n, x);
    for (int band = 0; band < kEqBands; ++band) {
        if (s.eq[band] == kEqFlat) continue;
        EqState::Biquad& q = eq.coeffs[band];
        if (q.freq != s.eq_f[band] || q.value != s.eq[band] || q.rate != rate)
            q = eqBandCoefficients(s.eq_f[band], s.eq[band], rate);
        EqBand(eq, band, x, frames, channels);
    }
    for (size_t i = 0; i < n; ++i)
        samples[i] = static_cast<int16_t>(x[i] >= 32767 ? 32766 : std::max(x[i], -kPcmLimit));
}

void enh1Process(Enh1State& e, const Settings& s, uint32_t rate, int16_t* samples, int frames,
                 int channels) {
    if (frames <= 0 || channels < 1 || channels > 2 || rate == 0) return;
    const int ch = channels;
    Widen(samples, frames, ch, s.stereo_width);
    const int64_t guardLevel =
        kClipPeak - (100 - static_cast<int64_t>(s.amp_threshold)) * kGuardStep;

    const int16_t* det = samples;  // without the high-pass the block is its own detector
    if (s.amp_hpcutoff != 0) {
        const size_t n = static_cast<size_t>(frames) * ch;
        if (e.detector.size() < n) e.detector.resize(n);
        DetectorHighPass(e, s.amp_hpcutoff, rate, samples, e.detector.data(), frames, ch);
        det = e.detector.data();
    }
    const bool guardOn = s.amp_threshold <= 99;
    const int guardMinRemaining = ch == 1 ? kGuardAhead : 2 * kGuardAhead;

    float g = e.g;
    for (int f = 0; f < frames; ++f) {
        const int64_t gain = static_cast<int64_t>(kGainUnit * g);
        int64_t peak = 0;
        for (int c = 0; c < ch; ++c) {
            const int i = f * ch + c;
            const int64_t d = det[i];  // read before the sample is scaled (det may be samples)
            samples[i] = ClampPcm(samples[i] * gain / kGainUnit);
            peak = std::max(peak, Abs64(d * gain / kGainUnit));
        }
        const uint16_t framePeak = static_cast<uint16_t>(peak);  // kept in 16 bits, as stored
        if (guardOn && frames - f > guardMinRemaining) {
            int64_t ahead;
            if (ch == 1) {
                ahead = std::abs(det[f + kGuardAhead]);
            } else {
                const int left = (f + 1 + kGuardAhead) * 2;  // left sample 150 frames after next
                ahead = std::max(std::abs(det[left]), std::abs(det[left - 1]));
            }
            if (ahead * gain / kGainUnit > guardLevel) {
                g -= e.e1DownStep;
                continue;
            }
        }
        if (framePeak >= kClipPeak) {
            if (g > 1.0f + e.e1DownStep) g -= e.e1DownStep;
        } else if (g < e.e1MaxGain) {
            g += e.e1UpStep;
        }
    }
    e.g = g;
}

void monoPcm16(int16_t* samples, int frames) {
    for (int i = 0; i < frames * 2; i += 2) {
        const int16_t m = static_cast<int16_t>((samples[i] + samples[i + 1]) / 2);
        samples[i] = samples[i + 1] = m;
    }
}

void monoFloat(float* samples, int frames) {
    for (int i = 0; i < frames * 2; i += 2)
        samples[i] = samples[i + 1] = (samples[i] + samples[i + 1]) * 0.5f;
}
