// render [--ini SETTINGS.ini] [--bench] FILE... OUT.wav: plays the files one after the other
// through the playback engine into the fake wave-out device, as the program would with the
// settings read from the INI file, and writes every block the device played to OUT.wav. The
// silence written after a track's end (which only tells the engine that playback has ended)
// is not part of the output. With gapless play the next file is started as soon as the
// decoder has delivered the last one (as the sequencer does), so that it joins on the open
// output. The native decoder is the mpglib adapter over libmpg123; DirectSound settings are
// played through wave-out. --bench prints the speed to stderr.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/dsp_hooks.h"
#include "audio/mpglib_posix.h"
#include "audio/native_io.h"
#include "audio/output.h"
#include "audio/play_init.h"
#include "base/utf.h"
#include "config/settings_io.h"
#include "probe/probe.h"
#include "probe/probe_files.h"
#include "tags/id3.h"

namespace {

struct WavOut {
    std::FILE* f = nullptr;
    uint64_t bytes = 0;
    bool formatSet = false;
    uint32_t rate = 0, channels = 0, bits = 0;
    bool mismatch = false;
    bool trackEnded = false;
};

void PutLe(std::FILE* f, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) std::fputc(static_cast<int>(v >> (8 * i) & 0xFF), f);
}

// The RIFF header for `bytes` of PCM (rewritten at the end with the real size).
void WriteWavHeader(const WavOut& w) {
    std::fseek(w.f, 0, SEEK_SET);
    const uint32_t data = static_cast<uint32_t>(w.bytes);
    const uint32_t align = w.channels * w.bits / 8;
    std::fwrite("RIFF", 1, 4, w.f);
    PutLe(w.f, 36 + data, 4);
    std::fwrite("WAVEfmt ", 1, 8, w.f);
    PutLe(w.f, 16, 4);
    PutLe(w.f, 1, 2);
    PutLe(w.f, w.channels, 2);
    PutLe(w.f, w.rate, 4);
    PutLe(w.f, w.rate * align, 4);
    PutLe(w.f, align, 2);
    PutLe(w.f, w.bits, 2);
    std::fwrite("data", 1, 4, w.f);
    PutLe(w.f, data, 4);
}

// The files to play and where the run stands.
struct Render {
    WavOut w;
    Engine* e = nullptr;
    std::vector<const char*> files;
    size_t next = 0;
    bool ok = true;
};

void Played(void* ctx, const uint8_t* pcm, uint32_t bytes, bool) {
    WavOut& w = static_cast<Render*>(ctx)->w;
    w.bytes += std::fwrite(pcm, 1, bytes, w.f);
}

void RecordFormat(WavOut& w, const PlayState& ps) {
    if (!w.formatSet) {
        w.formatSet = true;
        w.rate = ps.outRate;
        w.channels = ps.outChannels;
        w.bits = ps.outBits;
    } else if (w.rate != ps.outRate || w.channels != ps.outChannels || w.bits != ps.outBits) {
        w.mismatch = true;
    }
}

// Opens the next playable file and runs play init on it (continuing on an open output when it
// fits). False when no file is left, or when the open output does not fit the file: it is then
// started again once the output has closed.
bool StartNext(Render& r) {
    Engine& e = *r.e;
    while (r.next < r.files.size()) {
        const char* path = r.files[r.next++];
        const std::wstring name = Utf8ToWide(path);
        if (!OpenTrack(e, name.c_str())) {
            std::fprintf(stderr, "zuvo-probe: %s: not playable\n", path);
            r.ok = false;
            continue;
        }
        const uint32_t bits = (e.s.wave_flags & WaveFlag::Output24Bit) ? 24 : 16;
        const bool continuing = OutputOpen(e.ps);
        const int res = PlayInit(e, e.track.header.sampleRate, TrackChannels(e.track), bits);
        if (res != 0) {
            std::fprintf(stderr, "zuvo-probe: %s: play init failed (%d)\n", path, res);
            CloseTrackFile(e);
            r.ok = false;
            continue;
        }
        if (continuing && e.ps.trackEnded) {  // another format: after the queue has drained
            CloseTrackFile(e);
            --r.next;
            return false;
        }
        RecordFormat(r.w, e.ps);
        return true;
    }
    return false;
}

void TrackEnded(void* ctx, const TrackEndInfo&) {
    Render& r = *static_cast<Render*>(ctx);
    r.w.trackEnded = true;
    // With the output still open the decoder has delivered the whole track and the ring
    // drains: the next file is decoded into it at once.
    if (!OutputOpen(r.e->ps)) return;
    EngineStop(*r.e, false);  // the decoders; the output plays on
    StartNext(r);
}

void ShowMessage(void*, const char* caption, const char* text) {
    std::fprintf(stderr, "zuvo-probe: [%s] %s\n", caption, text);
}

bool LoadSettings(Settings& s, const char* ini) {
    SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
    if (!ini) return true;
    FileOps fs = StdFileOps();
    return ReadSettingsFile(s, fs, Utf8ToWide(ini), nullptr, nullptr);
}

// Plays from the next file until the output closes (at the end of the last file that joined
// it). False when the device never reported the end.
bool RenderRun(Render& r, FakeDevice& dev) {
    Engine& e = *r.e;
    r.w.trackEnded = false;
    WaveOutStart(e);  // the device-open message
    while (FakePlayOne(e, dev)) {
    }
    const bool ended = r.w.trackEnded;
    if (OutputOpen(e.ps)) EngineStop(e, true);
    CloseTrackFile(e);
    return ended;
}

}  // namespace

int ProbeRender(int argc, char** argv) {
    const char* ini = nullptr;
    bool bench = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        if (std::strcmp(argv[i], "--ini") == 0 && i + 1 < argc)
            ini = argv[++i];
        else if (std::strcmp(argv[i], "--bench") == 0)
            bench = true;
        else
            break;
    }
    if (argc - i < 2) {
        std::fprintf(stderr,
                     "usage: zuvo-probe render [--ini SETTINGS.ini] [--bench] FILE... OUT.wav\n");
        return 2;
    }
    Settings s;
    if (!LoadSettings(s, ini)) {
        std::fprintf(stderr, "zuvo-probe: cannot read %s\n", ini);
        return 1;
    }
    s.use_mpglib = 1;      // natively the only decoder is the mpglib adapter
    s.wavedevice &= 0x7F;  // the fake device is a wave-out device

    Render run;
    WavOut& w = run.w;
    w.f = std::fopen(argv[argc - 1], "wb");
    if (!w.f) {
        std::fprintf(stderr, "zuvo-probe: cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    FakeDevice dev;
    EngineIo io;
    io.waveOut = FakeWaveOut(dev);
    io.file = StdioTrackFile();
    io.lib = MpglibPosixLibrary();
    io.window.messageBox = ShowMessage;
    io.host.ctx = &run;
    io.host.trackEnded = TrackEnded;
    io.host.streamFeed = Played;
    PlayState ps;
    DspState dsp;
    DspBinding dspBinding{&dsp, &s, &ps};
    io.dsp = DspHooksFor(dspBinding);
    ps.streamTap = true;  // the played blocks come to the WAV file through the stream tap
    MpegInfo track;
    ByteReader in{};
    Engine e{ps, track, s, io, in};
    run.e = &e;
    for (int f = i; f < argc - 1; ++f) run.files.push_back(argv[f]);

    WriteWavHeader(w);
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = true;
    while (StartNext(run)) ok = RenderRun(run, dev) && ok;
    ok = ok && run.ok;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    MpglibUnload(e);
    Id3FreeTags(track, nullptr);
    if (w.formatSet) WriteWavHeader(w);
    ok = std::fclose(w.f) == 0 && ok;
    if (w.mismatch) {
        std::fprintf(stderr, "zuvo-probe: the files have different output formats\n");
        ok = false;
    }
    if (bench && w.formatSet) {
        const double audio = double(w.bytes) / (w.rate * w.channels * w.bits / 8.0);
        std::fprintf(stderr, "render: %.2f s of audio in %.3f s: %.1f x real time\n", audio,
                     seconds, seconds > 0 ? audio / seconds : 0.0);
    }
    return ok ? 0 : 1;
}
