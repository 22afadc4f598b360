// Entry points of the processing chain: which stages run, in which order, for 16-bit and float
// blocks, and how the settings are taken over.
#include <algorithm>

#include "config/settings.h"
#include "dsp/dsp.h"

namespace {

constexpr uint32_t kMaxPcm16Rate = 96000;  // the 16-bit chain stops above this output rate
constexpr double kInt32Scale = 2147483647.0;
constexpr float kPcm16Scale = 32767.0f;

bool Mono(const Settings& s, int channels) {
    return (s.wave_flags & WaveFlag::MonoOutput) && channels == 2;
}

bool PluginOn(const DspState& d, const Settings& s) {
    return (s.wave_flags & WaveFlag::WinampDsp) && d.plugin.modifySamples;
}

template <typename T>
T* Grown(std::vector<T>& v, size_t n) {
    if (v.size() < n) v.resize(n);
    return v.data();
}

// The float block through the plug-in as 32-bit integers.
void PluginFloat(DspState& d, float* x, size_t n, int frames, int channels) {
    int32_t* w = Grown(d.plugin32, n);
    for (size_t i = 0; i < n; ++i)
        w[i] = static_cast<int32_t>(std::clamp(static_cast<double>(x[i]), -1.0, 1.0) * kInt32Scale);
    d.plugin.modifySamples(d.plugin.ctx, w, frames, 32, channels, static_cast<int>(d.outRate));
    for (size_t i = 0; i < n; ++i) x[i] = static_cast<float>(w[i] / kInt32Scale);
}

}  // namespace

void dspProcessPcm16(DspState& d, const Settings& s, int16_t* samples, int frames, int channels) {
    if (frames <= 0) return;
    if (PluginOn(d, s))
        d.plugin.modifySamples(d.plugin.ctx, samples, frames, static_cast<int>(d.outBits), channels,
                               static_cast<int>(d.outRate));
    if (d.outBits != 16 || d.outRate > kMaxPcm16Rate || channels < 1 || channels > 2) return;
    if (s.enhance == 2)
        enh2Process(d.enh2, d.enh2State, samples, frames, channels);
    else if (s.eq_enable)
        eqProcess(d.eq, s, d.outRate, samples, frames, channels);
    if (s.enhance == 1) enh1Process(d.e1, s, d.outRate, samples, frames, channels);
    if (Mono(s, channels)) monoPcm16(samples, frames);
}

void dspProcessFloat(DspState& d, const Settings& s, float* samples, int frames, int channels) {
    if (frames <= 0 || channels < 1) return;
    const size_t n = static_cast<size_t>(frames) * channels;
    if (PluginOn(d, s)) PluginFloat(d, samples, n, frames, channels);
    if (channels > 2) return;
    if (s.enhance == 2) enh2Process(d.enh2, d.enh2State, samples, frames, channels);
    if (s.enhance == 1 || s.eq_enable) {
        int16_t* pcm = Grown(d.pcm16, n);
        for (size_t i = 0; i < n; ++i)
            pcm[i] = static_cast<int16_t>(std::clamp(samples[i], -1.0f, 1.0f) * kPcm16Scale);
        if (s.eq_enable) eqProcess(d.eq, s, d.outRate, pcm, frames, channels);
        if (s.enhance == 1) enh1Process(d.e1, s, d.outRate, pcm, frames, channels);
        for (size_t i = 0; i < n; ++i) samples[i] = pcm[i] / kPcm16Scale;
    }
    if (Mono(s, channels)) monoFloat(samples, frames);
    for (size_t i = 0; i < n; ++i) samples[i] = std::clamp(samples[i], -1.0f, 1.0f);
}

void dspApplySettings(DspState& d, const Settings& s, int mode, bool reset, uint32_t rate,
                      int channels) {
    (void)channels;  // the chain sizes itself per block
    const bool kept = d.keepOnce;
    d.keepOnce = false;
    const bool fullReset = reset && !kept;
    if (mode == 2)
        enh2Configure(
            d.enh2, d.enh2State, s,
            fullReset ? Enh2Reset::BandGains | Enh2Reset::DelayLines : Enh2Reset::DelayLines, rate);
    enh1SetConstants(d.e1, s, rate);
    if (fullReset) d.e1.g = 1.0f;
}

void enh1SetConstants(Enh1State& e, const Settings& s, uint32_t rate) {
    const double up = s.amp_up / 100.0;
    double upStep = 0.0004 * up * up * up * up + 0.000004;
    double downStep = 0.004 + 0.001 * (100 - s.amp_dwn);
    if (rate > 0) {
        upStep *= 44100.0 / rate;
        downStep *= 44100.0 / rate;
    }
    e.e1MaxGain = static_cast<float>(1.0 + 0.09 * s.amp_max);
    e.e1UpStep = static_cast<float>(upStep);
    e.e1DownStep = static_cast<float>(downStep);
}
