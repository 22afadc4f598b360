#include "audio/resample.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kQ = 0.707;  // Butterworth-like section
constexpr double kPi = 3.14159265358979323846;

float Section(BiquadSection& s, float x) {
    const float y = s.b0 * x + s.b1 * s.x1 + s.b2 * s.x2 - s.a1 * s.y1 - s.a2 * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

float Filter(LowPassFilter& f, uint32_t channel, float x) {
    BiquadSection* sec = f.sec[std::min<uint32_t>(channel, 1)];
    return Section(sec[1], Section(sec[0], x));
}

uint32_t OutFrames(uint32_t srcFrames, double step) {
    if (srcFrames < 2 || step <= 0) return 0;
    // Frames k with k × step < srcFrames − 1.
    const double last = static_cast<double>(srcFrames - 1);
    uint32_t n = static_cast<uint32_t>(std::ceil(last / step));
    while (n > 0 && (n - 1) * step >= last) --n;
    return n;
}

// The interpolation loop for either sample type; `store` turns the interpolated value of an
// output channel into the stored sample.
template <typename T, typename Store>
uint32_t Interpolate(const T* src, uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate, T* dst,
                     uint32_t outCh, uint32_t outRate, Store store) {
    if (srcCh == 0 || outCh == 0 || outRate == 0) return 0;
    const uint32_t srcFrames = srcSamples / srcCh;
    const double step = static_cast<double>(srcRate) / outRate;
    const uint32_t frames = OutFrames(srcFrames, step);
    double pos = 0.0;
    for (uint32_t k = 0; k < frames; ++k, pos += step) {
        uint32_t i = static_cast<uint32_t>(pos);
        if (i + 1 >= srcFrames) i = srcFrames - 2;  // rounding of the running position
        const double frac = pos - i;
        for (uint32_t c = 0; c < outCh; ++c) {
            const uint32_t sc = srcCh == 1 ? 0 : std::min(c, srcCh - 1);
            const double a = src[i * srcCh + sc], b = src[(i + 1) * srcCh + sc];
            dst[k * outCh + c] = store(a + (b - a) * frac, c);
        }
    }
    return frames * outCh;
}

}  // namespace

void LowPassPrepare(LowPassFilter& f, double cutoff, double outRate) {
    const double k = std::tan(kPi * cutoff / outRate);
    const double norm = 1.0 / (1.0 + k / kQ + k * k);
    BiquadSection s;
    s.b0 = static_cast<float>(k * k * norm);
    s.b1 = 2 * s.b0;
    s.b2 = s.b0;
    s.a1 = static_cast<float>(2.0 * (k * k - 1.0) * norm);
    s.a2 = static_cast<float>((1.0 - k / kQ + k * k) * norm);
    for (auto& channel : f.sec)
        for (BiquadSection& sec : channel) sec = s;
}

uint32_t ResampledSamples(uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate, uint32_t outCh,
                          uint32_t outRate) {
    if (srcCh == 0 || outRate == 0) return 0;
    return OutFrames(srcSamples / srcCh, static_cast<double>(srcRate) / outRate) * outCh;
}

uint32_t Resample16(const int16_t* src, uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate,
                    int16_t* dst, uint32_t outCh, uint32_t outRate, LowPassFilter* lp) {
    return Interpolate(src, srcSamples, srcCh, srcRate, dst, outCh, outRate,
                       [lp](double v, uint32_t c) -> int16_t {
                           const auto t = static_cast<int16_t>(v);  // toward zero
                           if (!lp) return t;
                           const float y = Filter(*lp, c, t * (1.0f / 32768.0f)) * 32768.0f;
                           return static_cast<int16_t>(std::clamp(y, -32768.0f, 32767.0f));
                       });
}

uint32_t ResampleFloat(const float* src, uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate,
                       float* dst, uint32_t outCh, uint32_t outRate, LowPassFilter* lp) {
    return Interpolate(src, srcSamples, srcCh, srcRate, dst, outCh, outRate,
                       [lp](double v, uint32_t c) -> float {
                           const auto x = static_cast<float>(v);
                           return lp ? Filter(*lp, c, x) : x;
                       });
}
