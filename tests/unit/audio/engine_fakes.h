// An engine over memory for the tests: the track file is a byte vector, the decoder a fake
// mpglib that turns every 417 bytes of input into one frame of a counting signal (and fails
// on a byte 0xEE, like a library meeting a broken frame), the device the fake device.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "audio/decoder.h"
#include "audio/native_io.h"
#include "audio/output.h"
#include "audio/play_init.h"
#include "config/settings_io.h"
#include "mpeg_test_streams.h"

struct FakeMpglibState {
    uint32_t fed = 0;
    int16_t value = 0;
};
inline int g_fakeInits = 0, g_fakeExits = 0, g_fakeInitResult = 1;

inline FakeMpglibState& FakeState(void* s) {
    return *static_cast<FakeMpglibState*>(s);
}
inline int FakeInit(void* s) {
    FakeState(s).fed = 0;
    ++g_fakeInits;
    return g_fakeInitResult;
}
inline void FakeExit(void*) {
    ++g_fakeExits;
}
inline int FakeDecode(void* s, const uint8_t* in, int n, uint8_t* out, int room, int* produced) {
    *produced = 0;
    if (std::memchr(in, 0xEE, static_cast<size_t>(n))) return -1;
    FakeMpglibState& st = FakeState(s);
    st.fed += static_cast<uint32_t>(n);
    if (st.fed < 417) return 1;
    st.fed -= 417;
    auto* pcm = reinterpret_cast<int16_t*>(out);
    const int bytes = std::min(room, 4608);
    for (int i = 0; i < bytes / 2; ++i) pcm[i] = static_cast<int16_t>(1000 + st.value);
    ++st.value;
    *produced = bytes;
    return 0;
}

inline int g_fakeModule;
inline bool g_fakeLibMissing = false;
inline void* FakeLoad(void*, const char* name) {
    return !g_fakeLibMissing && std::string(name) == "mpglib.dll" ? &g_fakeModule : nullptr;
}
inline void* FakeSymbol(void*, void*, const char* name) {
    const std::string n = name;
    if (n == "_InitMP3") return reinterpret_cast<void*>(&FakeInit);
    if (n == "_ExitMP3") return reinterpret_cast<void*>(&FakeExit);
    if (n == "_decodeMP3") return reinterpret_cast<void*>(&FakeDecode);
    return nullptr;
}

// The track file: a growing byte vector; reads are recorded.
struct MemTrack {
    TracingSource src;
    std::vector<std::pair<uint32_t, int>> reads;  // offset, bytes asked
};
inline int MemReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    auto* t = static_cast<MemTrack*>(ctx);
    t->reads.emplace_back(offset, n);
    return TracingReadAt(&t->src, offset, dst, n);
}
inline bool MemOpen(void* ctx, MpegInfo& info, const wchar_t*, ByteReader& r) {
    auto* t = static_cast<MemTrack*>(ctx);
    info.hFile = t;
    info.dwAudioEnd = static_cast<uint32_t>(t->src.bytes.size());
    r = ByteReader{MemReadAt, t};
    return true;
}
inline void MemClose(void*, MpegInfo& info) {
    info.hFile = nullptr;
}
inline uint32_t MemSize(void* ctx, const MpegInfo&) {
    return static_cast<uint32_t>(static_cast<MemTrack*>(ctx)->src.bytes.size());
}

struct Messages {
    std::vector<std::string> boxes;  // "caption|text"
    int trackEnds = 0;
};
inline void RecordBox(void* ctx, const char* caption, const char* text) {
    static_cast<Messages*>(ctx)->boxes.push_back(std::string(caption) + "|" + text);
}
inline void RecordTrackEnd(void* ctx, const TrackEndInfo&) {
    static_cast<Messages*>(ctx)->trackEnds++;
}

// One engine with its own records.
struct TestEngine {
    Settings s;
    PlayState ps;
    MpegInfo track;
    ByteReader in{};
    FakeDevice dev;
    MemTrack file;
    Messages msg;
    EngineIo io;
    Engine e{ps, track, s, io, in};

    TestEngine() {
        SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
        s.use_mpglib = 1;
        s.wavedevice = 0;
        io.waveOut = FakeWaveOut(dev);
        io.ds = FakeDirectSound(dev);
        io.lib = LibraryOps{nullptr, FakeLoad, FakeSymbol, nullptr};
        io.file = TrackFileOps{&file, MemOpen, MemClose, MemSize};
        io.window.ctx = &msg;
        io.window.messageBox = RecordBox;
        io.host.ctx = &msg;
        io.host.trackEnded = RecordTrackEnd;
        g_fakeInits = g_fakeExits = 0;
        g_fakeInitResult = 1;
        g_fakeLibMissing = false;
    }
    // An MPEG-1 Layer III stream of `frames` frames at 128 kbit/s.
    void Stream(int frames, HeaderBytes h = kMpeg1L3_128) {
        file.src.bytes.clear();
        AddFrames(file.src.bytes, h, frames);
    }
    int Start() {
        if (!OpenTrack(e, L"t.mp3")) return -100;
        return PlayInit(e, track.header.sampleRate, TrackChannels(track), 16);
    }
};

// Plays the track to the end through wave-out: the samples of the buffers that carried audio
// (silence after the end has no stamp), and their stamps.
inline std::vector<int16_t> PlayToEnd(TestEngine& t, std::vector<AudioStamp>& stamps) {
    WaveOutStart(t.e);
    std::vector<int16_t> heard;
    while (!t.dev.queued.empty() && t.ps.hWaveOut) {
        OutBuffer* b = t.dev.queued.front();
        if (b->stamp.bytePos >= 0) {
            const auto* s = reinterpret_cast<const int16_t*>(b->data.data());
            heard.insert(heard.end(), s, s + b->bytes / 2);
            stamps.push_back(b->stamp);
        }
        FakePlayOne(t.e, t.dev);
    }
    return heard;
}

// What passes the DirectSound play cursor (EngineHost::streamFeed with PlayState::streamTap).
inline std::vector<int16_t> g_tapped;
inline void CollectTapped(void*, const uint8_t* pcm, uint32_t bytes, bool) {
    const auto* s = reinterpret_cast<const int16_t*>(pcm);
    g_tapped.insert(g_tapped.end(), s, s + bytes / 2);
}
