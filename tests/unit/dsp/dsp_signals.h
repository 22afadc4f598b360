// Test signals and block runners shared by the sound-processing tests.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "dsp/dsp.h"
#include "support/default_settings.h"

// Interleaved float signals; every channel gets the same shape unless stated.
inline std::vector<float> Sine(double freq, double amp, uint32_t rate, int frames, int ch) {
    std::vector<float> v(static_cast<size_t>(frames) * ch);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < ch; ++c)
            v[f * ch + c] = static_cast<float>(amp * std::sin(2 * M_PI * freq * f / rate + c));
    return v;
}
inline std::vector<float> Noise(double amp, int frames, int ch, unsigned seed = 7) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(static_cast<size_t>(frames) * ch);
    for (float& x : v) x = static_cast<float>(amp * d(gen));
    return v;
}
inline std::vector<float> Square(double freq, double amp, uint32_t rate, int frames, int ch) {
    std::vector<float> v = Sine(freq, 1.0, rate, frames, ch);
    for (float& x : v) x = static_cast<float>(x >= 0 ? amp : -amp);
    return v;
}
// Silence broken every 0.1 s by a 2 ms full-scale burst.
inline std::vector<float> Clicks(uint32_t rate, int frames, int ch) {
    std::vector<float> v(static_cast<size_t>(frames) * ch, 0.0f);
    for (int f = 0; f < frames; ++f)
        if (f % (rate / 10) < rate / 500)
            for (int c = 0; c < ch; ++c) v[f * ch + c] = (f & 1) ? 1.0f : -1.0f;
    return v;
}

inline std::vector<int16_t> ToPcm(const std::vector<float>& v) {
    std::vector<int16_t> out(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(v[i], -1.0f, 1.0f) * 32767.0f);
    return out;
}

inline float MaxAbs(const float* x, size_t n) {
    float m = 0;
    for (size_t i = 0; i < n; ++i) m = std::max(m, std::fabs(x[i]));
    return m;
}

// Runs a buffer through `process(block, frames)` in blocks of `block` frames.
template <typename T, typename F>
void InBlocks(std::vector<T>& v, int ch, int block, F process) {
    const int frames = static_cast<int>(v.size()) / ch;
    for (int at = 0; at < frames; at += block)
        process(v.data() + static_cast<size_t>(at) * ch, std::min(block, frames - at));
}
