// Throughput of the sound-processing chain in times real time on one 16-bit WAV file: each
// stage alone and the whole chain with each Enhancer 2 preset, through the 16-bit and the float
// entry, in blocks of the wave-out size (8192 frames at 44.1 kHz stereo).
// Usage: dsp_bench IN.wav
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "config/settings_io.h"
#include "dsp/dsp.h"
#include "probe/probe_wav.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Config {
    std::string name;
    std::function<void(Settings&)> set;
};

// Seconds of processing per second of audio, best of three passes over the file.
double TimesRealTime(const WavPcm16& wav, const Settings& s, bool useFloat) {
    const int ch = wav.channels;
    const size_t block = (wav.rate < 32000 ? 16384 : 32768) / (ch == 1 ? 2 : 1) / (2 * ch);
    const size_t frames = wav.samples.size() / ch;
    double best = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<int16_t> pcm = wav.samples;
        std::vector<float> flt(pcm.size());
        for (size_t i = 0; i < pcm.size(); ++i) flt[i] = pcm[i] / 32767.0f;
        DspState d;
        d.outRate = wav.rate;
        dspApplySettings(d, s, 2, true, wav.rate, ch);
        const auto t0 = Clock::now();
        for (size_t at = 0; at < frames; at += block) {
            const int n = static_cast<int>(std::min(block, frames - at));
            if (useFloat)
                dspProcessFloat(d, s, flt.data() + at * ch, n, ch);
            else
                dspProcessPcm16(d, s, pcm.data() + at * ch, n, ch);
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return static_cast<double>(frames) / wav.rate / best;
}

void Enh2(Settings& s, const char* a, const char* b, const char* c) {
    s.enhance = 2;
    s.enh2_1 = a, s.enh2_2 = b, s.enh2_lim = c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dsp_bench IN.wav\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavPcm16 wav;
    std::string error;
    if (!WavParse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), wav, error)) {
        std::fprintf(stderr, "dsp_bench: %s\n", error.c_str());
        return 1;
    }
    const char* bands = enh2BuiltInPreset(2).enh2_2;
    std::vector<Config> configs = {
        {"equalizer (3 bands)",
         [](Settings& s) {
             s.eq_enable = 1, s.eq = {30, 60, 70};
         }},
        {"enhancer 1", [](Settings& s) { s.enhance = 1; }},
        {"mono", [](Settings& s) { s.wave_flags = WaveFlag::MonoOutput; }},
        {"enh2 AGC only",
         [&](Settings& s) {
             Enh2(s, "-a--f00000f00000f00000------------l020s020", bands, "------th300");
         }},
        {"enh2 4 bands only",
         [&](Settings& s) {
             Enh2(s, "m---f00250f02000f05000------------l020s020", bands, "------th300");
         }},
        {"enh2 drive+stereo+clip",
         [&](Settings& s) {
             Enh2(s, "----f00000f00000f00000------------l030s030", bands, "--s---th300");
         }},
        {"enh2 limiter only",
         [&](Settings& s) {
             Enh2(s, "----f00000f00000f00000------------l020s020", bands,
                  "l-----th270re050ce300kn025ra201at030ho000");
         }},
    };
    for (int k = 0; k < kEnh2BuiltInPresets; ++k) {
        const Enh2Preset& p = enh2BuiltInPreset(k);
        configs.push_back({std::string("enh2 \"") + p.name + "\" + mono", [p](Settings& s) {
                               Enh2(s, p.enh2_1, p.enh2_2, p.enh2_lim);
                               s.wave_flags = WaveFlag::MonoOutput;
                           }});
    }
    std::printf("%u Hz, %d channel(s), %.1f s of audio\n", wav.rate, wav.channels,
                static_cast<double>(wav.samples.size()) / wav.channels / wav.rate);
    std::printf("%-34s %12s %12s\n", "stage", "16-bit x RT", "float x RT");
    for (const Config& c : configs) {
        Settings s;
        SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
        c.set(s);
        std::printf("%-34s %12.0f %12.0f\n", c.name.c_str(), TimesRealTime(wav, s, false),
                    TimesRealTime(wav, s, true));
    }
    return 0;
}
