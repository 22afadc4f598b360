// dsp --ini SETTINGS.ini [--float] IN.wav OUT.wav: runs a 16-bit PCM WAV file through the
// sound-processing chain with the sound settings of a settings file, in blocks of the size the
// wave-out output would render, and writes the result in the same format.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/utf.h"
#include "config/settings_io.h"
#include "dsp/dsp.h"
#include "probe/probe.h"
#include "probe/probe_files.h"
#include "probe/probe_wav.h"

namespace {

// Bytes of one wave-out buffer for this format, as the output engine sizes them.
size_t WaveOutBlockBytes(const Settings& s, uint32_t rate, int channels) {
    size_t size = s.outbuflength > 3 ? 32768 : 16384;
    if (rate < 32000) size /= 2;
    if (channels == 1) size /= 2;
    return size;
}

int Usage() {
    std::fprintf(stderr, "usage: zuvo-probe dsp --ini SETTINGS.ini [--float] IN.wav OUT.wav\n");
    return 2;
}

}  // namespace

int ProbeDsp(int argc, char** argv) {
    const char* ini = nullptr;
    const char* files[2] = {};
    int fileCount = 0;
    bool useFloat = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ini") == 0 && i + 1 < argc)
            ini = argv[++i];
        else if (std::strcmp(argv[i], "--float") == 0)
            useFloat = true;
        else if (fileCount < 2)
            files[fileCount++] = argv[i];
        else
            return Usage();
    }
    if (!ini || fileCount != 2) return Usage();

    Settings s;
    SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
    FileOps fs = StdFileOps();
    if (!ReadSettingsFile(s, fs, Utf8ToWide(ini), nullptr, nullptr)) {
        std::fprintf(stderr, "zuvo-probe: cannot read %s\n", ini);
        return 1;
    }
    std::string bytes, error;
    WavPcm16 wav;
    if (!ReadWholeFile(files[0], bytes)) {
        std::fprintf(stderr, "zuvo-probe: cannot read %s\n", files[0]);
        return 1;
    }
    if (!WavParse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), wav, error)) {
        std::fprintf(stderr, "zuvo-probe: %s: %s\n", files[0], error.c_str());
        return 1;
    }

    DspState d;
    d.outRate = wav.rate;
    d.outBits = 16;
    // As at a track start: the chain's own settings first, then Enhancer 2 when it is chosen.
    dspApplySettings(d, s, 1, true, wav.rate, wav.channels);
    if (s.enhance == 2) dspApplySettings(d, s, 2, true, wav.rate, wav.channels);

    const int ch = wav.channels;
    const size_t blockFrames = WaveOutBlockBytes(s, wav.rate, ch) / (2 * ch);
    const size_t frames = wav.samples.size() / ch;
    std::vector<float> f;
    for (size_t at = 0; at < frames; at += blockFrames) {
        const int n = static_cast<int>(std::min(blockFrames, frames - at));
        int16_t* block = wav.samples.data() + at * ch;
        if (!useFloat) {
            dspProcessPcm16(d, s, block, n, ch);
            continue;
        }
        f.resize(static_cast<size_t>(n) * ch);
        for (size_t i = 0; i < f.size(); ++i) f[i] = block[i] / 32767.0f;
        dspProcessFloat(d, s, f.data(), n, ch);
        for (size_t i = 0; i < f.size(); ++i) block[i] = static_cast<int16_t>(f[i] * 32767.0f);
    }

    const std::string out = WavBuild(wav);
    std::FILE* o = std::fopen(files[1], "wb");
    if (!o || std::fwrite(out.data(), 1, out.size(), o) != out.size()) {
        if (o) std::fclose(o);
        std::fprintf(stderr, "zuvo-probe: cannot write %s\n", files[1]);
        return 1;
    }
    std::fclose(o);
    std::fprintf(stderr, "dsp: %zu frames, %u Hz, %d channel(s), blocks of %zu frames%s\n", frames,
                 wav.rate, ch, blockFrames, useFloat ? ", float chain" : "");
    return 0;
}
