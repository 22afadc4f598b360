// Reads arbitrary bytes as the sound settings the chain takes from the settings file: the three
// Enhancer 2 strings and one combined Enhancer 1 preset, one a line after two bytes that pick the
// rate, the channel count and the stages. Every value must configure and process a block without
// undefined behaviour, and the 16-bit output keeps its documented range.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "config/settings_io.h"
#include "dsp/dsp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const uint32_t kRates[] = {8000, 11025, 22050, 44100, 48000, 96000, 192000, 0};
    static const Settings kDefaults = [] {
        Settings s;
        SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
        return s;
    }();
    const uint32_t rate = kRates[data[0] & 7];
    const int ch = 1 + (data[1] & 1);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string_view parts[4];
    for (auto& p : parts) {
        const size_t nl = rest.find('\n');
        p = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    }
    Settings s = kDefaults;
    // The settings reader accepts each string only within its length limit.
    if (parts[0].size() <= 49) s.enh2_1 = parts[0];
    if (parts[1].size() <= 89) s.enh2_2 = parts[1];
    if (parts[2].size() < 60) s.enh2_lim = parts[2];
    s.enh_eq_set[9] = parts[3];

    auto d = std::make_unique<DspState>();
    d->outRate = rate ? rate : 44100;
    d->enh2State.monitor.on = data[1] & 2;
    d->enh2State.soloBand = (data[1] >> 2) & 7;
    dspApplySettings(*d, s, 2, true, rate, ch);
    if (!parts[3].empty()) enhApplyPreset(*d, s, 9);
    if (data[1] & 0x20) s.enhance = 2;
    if (data[1] & 0x40) s.wave_flags = 8;

    int16_t pcm[2 * 700];
    float flt[2 * 700];
    uint32_t x = 12345;
    for (int i = 0; i < 2 * 700; ++i) {
        x = x * 1103515245u + 12345u;
        pcm[i] = static_cast<int16_t>(x >> 16);
        flt[i] = pcm[i] / 32768.0f;
    }
    for (int frames : {700, 1, 333}) {
        dspProcessPcm16(*d, s, pcm, frames, ch);
        dspProcessFloat(*d, s, flt, frames, ch);
    }
    if (d->outRate <= 96000 && (s.enhance == 2 || s.eq_enable || s.enhance == 1))
        for (int i = 0; i < 700 * ch; ++i)
            if (pcm[i] == -32768) std::abort();  // every stage clamps to at least -32767
    for (float v : flt)
        if (!(v >= -1.0f && v <= 1.0f)) std::abort();  // the float chain ends with a clamp
    return 0;
}
