// Enhancer 2 block processing: AGC, band split with delayed per-band gains, drive, stereo width,
// soft clippers and the look-ahead limiter, on 32-bit floats with double parameters.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/enh2.h"

namespace {

// Exact zeros are nudged so that the limiter's logarithm never sees zero.
constexpr float kZeroNudge = 1e-8f;
constexpr float kPcmScale = 32767.0f;

// Wide-band AGC: per-sample steps, independent of the rate.
constexpr double kAgcCeiling = 0.8;  // positive excursions from here on pull the gain down
constexpr double kAgcFall = 0.004, kAgcRise = 0.000004;
constexpr double kAgcMin = 1.0, kAgcMax = 4.0;

constexpr double kSqrt2 = 1.4142135623;
constexpr float kSoftClip1Peak = 0.94280905f;  // x - x^3/6 at the square root of 2

// Sample counts of one block. The work buffers hold T (delay) + N (block) + pad samples; the pad
// keeps the 150-frame band look-ahead inside the buffer at rates below 15 kHz, and holds the one
// sample past the end that the limiter's backward pass reads in mono at a 10 ms attack.
struct Block {
    int frames, ch;
    size_t n, d, t, total;
};

Block Measure(const Enh2Params& p, int frames, int ch) {
    Block b;
    b.frames = frames;
    b.ch = ch;
    b.n = static_cast<size_t>(frames) * ch;
    b.d = p.rate / 100;
    b.t = b.d * ch;
    const size_t lookAheadPad =
        b.d < kEnh2BandLookAhead ? (kEnh2BandLookAhead - b.d) * static_cast<size_t>(ch) : 0;
    b.total = b.n + b.t + lookAheadPad + ch;
    return b;
}

void Grow(std::vector<float>& v, size_t n) {
    if (v.size() < n) v.resize(n, 0.0f);
}

void Agc(Enh2State& st, float* x, const Block& b) {
    for (int c = 0; c < b.ch; ++c) {
        double g = st.agcGain[c];
        for (size_t i = c; i < b.n; i += b.ch) {
            const double y = g * x[i];
            x[i] = static_cast<float>(y);
            g += y >= kAgcCeiling ? -kAgcFall : kAgcRise;
            g = std::clamp(g, kAgcMin, kAgcMax);
        }
        st.agcGain[c] = g;
    }
}

// Splits the block held at offset T of work[0] into bands; returns the band count.
int SplitBands(const Enh2Params& p, Enh2State& st, const Block& b) {
    int bands = 1;
    for (int k = 0; k < kEnh2Bands - 1 && p.crossover[k] != 0; ++k, ++bands) {
        const Enh2Biquad& q = p.filter[k];
        float* low = st.work[k].data() + b.t;
        float* high = st.work[k + 1].data() + b.t;
        for (int c = 0; c < b.ch; ++c) {
            float z1 = st.z1[k][c], z2 = st.z2[k][c];
            for (size_t i = c; i < b.n; i += b.ch) {
                const float x = low[i];
                const float y = static_cast<float>(q.b0 * x + z1);
                z1 = static_cast<float>(q.b1 * x + z2 - q.a1 * y);
                z2 = static_cast<float>(q.b2 * x - q.a2 * y);
                low[i] = y;
                high[i] = x - y;
            }
            st.z1[k][c] = z1;
            st.z2[k][c] = z2;
        }
    }
    return bands;
}

// Puts `tail` in front of the N samples at offset T of buf and keeps the last T samples of that
// sequence as the next tail; clears the pad behind it.
void DelayThrough(std::vector<float>& tail, float* buf, const Block& b) {
    std::memcpy(buf, tail.data(), b.t * sizeof(float));
    std::memcpy(tail.data(), buf + b.n, b.t * sizeof(float));
    std::fill(buf + b.n + b.t, buf + b.total, 0.0f);
}

// One band's automatic gain over its first N samples; returns the mean gain applied.
double BandGain(const Enh2Band& band, double& gain, float* buf, const Block& b) {
    double g = gain, sum = 0.0;
    const size_t ahead = static_cast<size_t>(kEnh2BandLookAhead) * b.ch;
    for (size_t f = 0; f < b.n; f += b.ch) {
        float peak = 0.0f;
        for (int c = 0; c < b.ch; ++c) {
            buf[f + c] = static_cast<float>(buf[f + c] * g);
            peak = std::max(peak, std::fabs(buf[f + ahead + c]));
        }
        sum += g;
        if (peak * g > band.threshold)
            g -= band.downStep;
        else if (g < band.maxAmp)
            g += band.upStep;
    }
    gain = std::min(g, band.maxAmp);
    return b.frames ? sum / b.frames : g;
}

void Multiband(const Enh2Params& p, Enh2State& st, const Block& b) {
    const int bands = SplitBands(p, st, b);
    for (int k = 0; k < bands; ++k) {
        float* buf = st.work[k].data();
        DelayThrough(st.bandTail[k], buf, b);
        const double mean = BandGain(p.band[k], st.bandGain[k], buf, b);
        if (st.monitor.on) st.monitor.bandAverage[k] = static_cast<float>(mean);
    }
    float* out = st.work[0].data();
    if (st.soloBand >= 1 && st.soloBand <= kEnh2Bands) {
        // A solo band beyond the configured count received no audio: it plays silence.
        const int k = st.soloBand - 1;
        if (k >= bands)
            std::fill(out, out + b.n, 0.0f);
        else if (k > 0)
            std::memcpy(out, st.work[k].data(), b.n * sizeof(float));
        return;
    }
    for (int k = 1; k < bands; ++k) {
        const float* band = st.work[k].data();
        for (size_t i = 0; i < b.n; ++i) out[i] += band[i];
    }
}

void DriveStereoClip(const Enh2Params& p, float* x, const Block& b) {
    if (p.drive != 1.0)
        for (size_t i = 0; i < b.n; ++i) x[i] = static_cast<float>(x[i] * p.drive);
    if (b.ch == 2 && p.stereoAmount != 0) {
        const double amount = p.stereoAmount / 100.0;
        for (size_t i = 0; i < b.n; i += 2) {
            const float l = x[i], r = x[i + 1];
            x[i] = static_cast<float>(l - amount * r);
            x[i + 1] = static_cast<float>(r - amount * l);
        }
    }
    if (p.clipMode == 1) {
        for (size_t i = 0; i < b.n; ++i) {
            const float v = x[i];
            if (std::fabs(v) <= kSqrt2)
                x[i] = v - v * v * v / 6.0f;
            else
                x[i] = v > 0 ? kSoftClip1Peak : -kSoftClip1Peak;
        }
    } else if (p.clipMode == 2) {
        for (size_t i = 0; i < b.n; ++i) {
            const float v = std::clamp(x[i], -1.0f, 1.0f);
            x[i] = 1.5f * v - 0.5f * v * v * v;
        }
    }
}

// exp(-1 / samples), 0 for a time constant of no samples.
double Decay(double samples) {
    return samples > 0 ? std::exp(-1.0 / samples) : 0.0;
}

// Peak envelope, spread backwards over the look-ahead and then held and released forwards.
void LimiterEnvelope(const Enh2Params& p, Enh2State& st, const float* buf, float* env,
                     const Block& b) {
    const double attackSamples = p.rate * p.attackMs / 1000.0;
    const long lookAhead = std::min<long>(static_cast<long>(b.d), static_cast<long>(attackSamples));
    const float aAtt = static_cast<float>(Decay(attackSamples));
    const uint64_t releaseSamples = static_cast<uint64_t>(p.rate) * p.releaseMs / 1000;
    const float aRel = static_cast<float>(Decay(static_cast<double>(releaseSamples)));
    const uint16_t holdSamples =
        static_cast<uint16_t>(static_cast<uint64_t>(p.holdMs) * p.rate / 1000);
    const long n = static_cast<long>(b.n);

    // The look-ahead is counted in frames but added to sample indices: in stereo with an odd
    // count each pass walks the other channel's samples and no pass reaches env[0], which then
    // keeps its own sample's magnitude (the envelope never lies below the signal).
    for (int c = 0; c < b.ch; ++c) env[c] = std::fabs(buf[c]);
    for (int c = 0; c < b.ch; ++c) {
        float e = 0.0f;
        for (long i = n + lookAhead + c; i >= c; i -= b.ch) {
            const float v = std::fabs(buf[i]);
            e = v > e ? v : v + (e - v) * aAtt;
            env[i] = e;
        }
    }
    for (int c = 0; c < b.ch; ++c) {
        float big = st.limEnv[c], r = st.limDecay[c];
        uint16_t h = st.limHold[c];
        for (long i = c; i < n; i += b.ch) {
            const float v = env[i];
            if (v > big) {
                big = v;
                h = holdSamples;
            } else if (h == 0) {
                r = aRel;
            } else {
                const uint64_t q = static_cast<uint64_t>(p.rate) * (h + p.releaseMs) / 1000;
                r = static_cast<float>(Decay(static_cast<double>(q)));
                --h;
            }
            big = v + (big - v) * r;
            env[i] = big;
        }
        st.limEnv[c] = big;
        st.limDecay[c] = r;
        st.limHold[c] = h;
    }
}

void LimiterGain(const Enh2Params& p, float* buf, const float* env, const Block& b) {
    // A ratio field below 1 (only a damaged string has one) compresses nothing.
    const double slope = p.ratio > 20.0 ? 1.0 : p.ratio > 1.0 ? 1.0 - 1.0 / p.ratio : 0.0;
    const double th = p.limThresholdDb, w = p.kneeDb;
    const double makeUp = std::pow(10.0, (p.limCeilingDb - th) / 20.0);
    for (size_t f = 0; f < b.n; f += b.ch) {
        const float level = b.ch == 2 ? std::max(env[f], env[f + 1]) : env[f];
        double gainDb = 0.0;
        if (level > 0.0f) {
            const double ldb = 20.0 * std::log10(level);
            if (w > 0 && ldb > th - w / 2 && ldb < th + w / 2) {
                const double over = ldb - (th - w / 2);
                gainDb = -slope * over * over / (2 * w);
            } else {
                gainDb = std::min(0.0, (th - ldb) * slope);
            }
        }
        const double factor = std::pow(10.0, gainDb / 20.0) * makeUp;
        for (int c = 0; c < b.ch; ++c) buf[f + c] = static_cast<float>(buf[f + c] * factor);
    }
}

// Limiter on the N samples of `in`; returns its output (N samples, 10 ms later).
float* Limiter(const Enh2Params& p, Enh2State& st, const float* in, const Block& b) {
    float* buf = st.work[1].data();
    float* env = st.work[2].data();
    std::memcpy(buf + b.t, in, b.n * sizeof(float));
    DelayThrough(st.limTail, buf, b);
    LimiterEnvelope(p, st, buf, env, b);
    LimiterGain(p, buf, env, b);
    if (st.monitor.on) {
        int j = 0;
        for (size_t i = b.t; i < b.n && j < kEnh2CaptureLen; i += b.ch, ++j) {
            st.monitor.capture[0][j] = buf[i];
            st.monitor.capture[2][j] = env[i];
        }
        st.monitor.captureCount[0] = st.monitor.captureCount[2] = j;
    }
    return buf;
}

// Runs the chain over st.input (N samples, already converted); returns the output buffer.
const float* Run(const Enh2Params& p, Enh2State& st, const Block& b) {
    for (auto& w : st.work) Grow(w, b.total);
    for (auto& tail : st.bandTail) Grow(tail, b.t);
    Grow(st.limTail, b.t);

    float* in = st.input.data();
    if (p.agc) Agc(st, in, b);
    float* x = st.work[0].data();
    if (p.multiband) {
        std::memcpy(x + b.t, in, b.n * sizeof(float));
        Multiband(p, st, b);
    } else {
        std::memcpy(x, in, b.n * sizeof(float));
    }
    DriveStereoClip(p, x, b);
    if (st.monitor.on) {
        int j = 0;
        for (size_t i = 0; i < b.n && j < kEnh2CaptureLen; i += b.ch, ++j)
            st.monitor.capture[1][j] = x[i];
        st.monitor.captureCount[1] = j;
    }
    return p.limiterOn ? Limiter(p, st, x, b) : x;
}

int16_t ToPcm16(float x) {
    const float v = x * kPcmScale;
    if (v >= kPcmScale) return 32767;
    if (v <= -kPcmScale) return -32767;
    if (v != v) return 0;  // NaN
    return static_cast<int16_t>(v);
}

}  // namespace

void enh2Process(const Enh2Params& p, Enh2State& st, int16_t* samples, int frames, int channels) {
    if (frames <= 0 || channels < 1 || channels > kEnh2Channels) return;
    const Block b = Measure(p, frames, channels);
    Grow(st.input, b.n);
    for (size_t i = 0; i < b.n; ++i) st.input[i] = samples[i] ? samples[i] / kPcmScale : kZeroNudge;
    const float* out = Run(p, st, b);
    for (size_t i = 0; i < b.n; ++i) samples[i] = ToPcm16(out[i]);
}

void enh2Process(const Enh2Params& p, Enh2State& st, float* samples, int frames, int channels) {
    if (frames <= 0 || channels < 1 || channels > kEnh2Channels) return;
    const Block b = Measure(p, frames, channels);
    Grow(st.input, b.n);
    for (size_t i = 0; i < b.n; ++i) st.input[i] = samples[i] != 0.0f ? samples[i] : kZeroNudge;
    const float* out = Run(p, st, b);
    std::memcpy(samples, out, b.n * sizeof(float));
}
