#include "audio/decoder.h"

#include <algorithm>
#include <cstring>

#include "audio/mpeg_scan.h"
#include "audio/out_format.h"
#include "audio/ring.h"
#include "config/settings.h"
#include "tags/id3.h"

const char kMpglibInstallNote[] =
    "Installing the \"mpglib.dll\":\n\n"
    "   - Download it from Zuvo's homepage\n"
    "   - Unzip the DLL file (\"mpglib.dll\")\n"
    "   - Copy it into the program folder\n"
    "   - \"Settings...\" (F6) => \"Decoders\"\n"
    "   - \"Standard MPEG decoder\" > \"mpglib.dll\"";

namespace {

// A decoder error is bridged by resynchronising this far after the bytes passed, so that the
// broken frame's own header is not found again.
constexpr uint32_t kResyncSkip = 10;
// The stream counts as ended when the decoder stops this close before the audio end ...
constexpr uint32_t kEndSlackBefore = 200;
// ... or up to one longest frame of junk after it.
constexpr uint32_t kEndSlackAfter = 1792;
// A file this close to its known end is asked for its size again (it may still grow).
constexpr uint32_t kGrowMargin = 5000;

// Fills fileBuf from dwPointer when fewer than inputChunk unread bytes are left. False when
// the file cannot be read.
bool FillInput(Engine& e) {
    PlayState& ps = e.ps;
    if (ps.fileBufFilled - ps.fileBufPos >= ps.inputChunk) return true;
    const uint32_t want = uint32_t{e.s.filebufsize} * 1024;
    if (ps.fileBuf.size() < want + 4) ps.fileBuf.resize(want + 4);
    ps.fileBufFilled = ps.fileBufPos = 0;
    if (!e.in.readAt) return false;
    const int got =
        e.in.readAt(e.in.ctx, e.track.dwPointer, ps.fileBuf.data(), static_cast<int>(want));
    if (got < 0) return false;
    ps.fileBufFilled = static_cast<uint32_t>(got);
    return true;
}

// After an mpglib error at file position p: the next frame, or the end.
void MpglibResync(Engine& e, uint32_t p, uint32_t passed, uint8_t* dst, uint32_t& produced,
                  uint32_t cap) {
    PlayState& ps = e.ps;
    MpegInfo probe = e.track;  // the search leaves the last header it examined behind
    const int64_t found = MpegFindSync(probe, e.in, p + kResyncSkip);
    if (found < 0 || found >= e.track.dwAudioEnd) {
        e.track.dwPointer = e.track.dwAudioEnd;
        return;
    }
    const uint32_t start = e.track.dwPointer;  // where this block's input began
    ps.fileBufPos = ps.fileBufPos - passed + static_cast<uint32_t>(found - start);
    if (ps.fileBufPos > ps.fileBufFilled) ps.fileBufPos = ps.fileBufFilled = 0;  // read again
    e.track.dwPointer = static_cast<uint32_t>(found);
    // The frames around the error are replaced by silence, and one frame more is added.
    const uint32_t clear = std::min<uint32_t>(produced, kMpglibFrameBytes);
    std::memset(dst + produced - clear, 0, clear);
    if (cap - produced >= static_cast<uint32_t>(kMpglibFrameBytes)) {
        std::memset(dst + produced, 0, kMpglibFrameBytes);
        produced += kMpglibFrameBytes;
    }
    ps.mpglibExit(ps.mpglibState.data());
    (void)ps.mpglibInit(ps.mpglibState.data());
}

}  // namespace

void ResetTrack(Engine& e) {
    MpegInfo& m = e.track;
    if (m.hFile) CloseTrackFile(e);
    Id3FreeTags(m, nullptr);
    m = MpegInfo{};
    e.ps.bassActive = e.ps.pluginActive = false;
    e.ps.urlStream = false;
    if (e.io.window.enterBrowsedFolder) e.io.window.enterBrowsedFolder(e.io.window.ctx);
}

int OpenTrack(Engine& e, const wchar_t* path) {
    MpegInfo& m = e.track;
    ResetTrack(e);
    // BASS streams and plug-ins choose their own path; without them only MPEG files play.
    if (!e.io.file.open || !e.io.file.open(e.io.file.ctx, m, path, e.in)) {
        m.header.versionCode = 0;
        m.dwPointer = 0;
        return 0;
    }
    if (!MpegScan(m, e.in)) {
        m.header.versionCode = 0;
        m.dwPointer = 0;
        CloseTrackFile(e);
        return 0;
    }
    if (m.dwAudioBeg > 0) Id3v2Read(m, e.in, m.dwAudioBeg, m.dwAudioEnd, Id3Options{});
    Id3v1Read(m, e.in, m.dwAudioEnd, nullptr);
    return 1;
}

bool ReadFileId3(Engine& e, const wchar_t* path) {
    MpegInfo& m = e.track;
    if (!e.io.file.open || !e.io.file.open(e.io.file.ctx, m, path, e.in)) return false;
    const uint32_t size = m.dwAudioEnd;
    Id3v2Read(m, e.in, size, size, Id3Options{});
    Id3v1Read(m, e.in, size, nullptr);
    CloseTrackFile(e);
    return true;
}

void CloseTrackFile(Engine& e) {
    if (e.track.hFile && e.io.file.close) e.io.file.close(e.io.file.ctx, e.track);
    e.track.hFile = nullptr;
}

int AcmOpen(Engine& e, uint32_t rate, uint32_t channels, uint32_t outBufBytes) {
    if (e.track.header.layer != 3) return 1;
    if (!e.io.acm.open) return 2;
    uint32_t src = 0;
    const int r = e.io.acm.open(e.io.acm.ctx, e.ps, MakeAcmFormats(e.track, rate, channels),
                                outBufBytes, &src);
    if (r != 0) return r;
    if (src == 0) {
        // No decoder counts as open (inputChunk stays 0), so the stream is closed here.
        if (e.io.acm.close) e.io.acm.close(e.io.acm.ctx, e.ps);
        e.ps.hAcmStream = nullptr;
        return 3;
    }
    e.ps.inputChunk = std::max(src, kMinInputChunk);
    e.ps.acmInBytes = e.ps.acmOutBytes = 0;
    return 0;
}

namespace {
// Bytes of 16-bit PCM one Layer III frame of the track decodes to.
uint32_t PcmFrameBytes(const PlayState& ps, const MpegInfo& t) {
    const uint32_t channels = ps.srcChannels ? ps.srcChannels : 2;
    return (t.header.versionCode == 1 ? 1152u : 576u) * channels * 2;
}
}  // namespace

uint32_t AcmFeedLimit(const PlayState& ps, const MpegInfo& t, uint32_t n, uint32_t cap) {
    const double frameLen = t.avgFrameLen;
    const uint32_t frameOut = PcmFrameBytes(ps, t);
    // The first conversion gets everything: the first block must be long enough for the
    // gapless delay cut, whatever the codec holds back at its start.
    if (n < 2 || frameLen <= 0 || ps.acmOutBytes == 0) return n;
    // The input that the audio given so far and this call's room stand for, a frame ahead,
    // less what the codec has already taken.
    const double room = double(ps.acmOutBytes + cap) / frameOut + kAcmLeadFrames;
    const double want = room * frameLen - double(ps.acmInBytes);
    const double floor = frameLen / 2;  // a codec that holds a backlog still gets fed a little
    const double limit = want > floor ? want : floor;
    return limit < n ? static_cast<uint32_t>(limit) : n;
}

bool MpglibLoad(Engine& e) {
    PlayState& ps = e.ps;
    if (ps.mpglibModule) return true;
    const LibraryOps& lib = e.io.lib;
    if (!lib.load || !lib.symbol) return false;
    void* module = lib.load(lib.ctx, "mpglib.dll");
    if (!module) return false;
    auto init = reinterpret_cast<MpglibInitFn>(lib.symbol(lib.ctx, module, "_InitMP3"));
    auto exit = reinterpret_cast<MpglibExitFn>(lib.symbol(lib.ctx, module, "_ExitMP3"));
    auto decode = reinterpret_cast<MpglibDecodeFn>(lib.symbol(lib.ctx, module, "_decodeMP3"));
    if (!init || !exit || !decode) {
        if (lib.unload) lib.unload(lib.ctx, module);
        return false;
    }
    ps.mpglibModule = module;
    ps.mpglibInit = init;
    ps.mpglibExit = exit;
    ps.mpglibDecode = decode;
    ps.mpglibState.assign(kMpglibStateBytes, 0);
    return true;
}

void MpglibUnload(Engine& e) {
    PlayState& ps = e.ps;
    if (ps.mpglibModule && e.io.lib.unload) e.io.lib.unload(e.io.lib.ctx, ps.mpglibModule);
    ps.mpglibModule = nullptr;
    ps.mpglibInit = nullptr;
    ps.mpglibExit = nullptr;
    ps.mpglibDecode = nullptr;
    ps.mpglibState.clear();
}

namespace {
// One conversion of len bytes at fileBufPos into dst; of the input, at most `counted` bytes
// are the file's (the rest is the flush header).
uint32_t AcmConvertOnce(Engine& e, uint32_t len, uint32_t counted, uint8_t* dst, uint32_t cap) {
    PlayState& ps = e.ps;
    uint32_t used = 0;
    const uint32_t out =
        e.io.acm.convert(e.io.acm.ctx, ps, ps.fileBuf.data() + ps.fileBufPos, len, dst, cap, &used);
    used = std::min(used, counted);
    ps.acmInBytes += used;
    ps.acmOutBytes += out;
    e.track.dwPointer += used;
    ps.fileBufPos += used;
    return out;
}
}  // namespace

uint32_t AcmDecode(Engine& e, uint32_t n, uint8_t* dst, uint32_t cap) {
    PlayState& ps = e.ps;
    if (n < 2) {
        // The end of the file: one more frame start makes the codec give out its last frame.
        if (ps.fileBuf.size() < 4) ps.fileBuf.resize(4);
        std::memcpy(ps.fileBuf.data(), e.track.header.rawHeader, 4);
        ps.fileBufPos = 0;
        return AcmConvertOnce(e, n + 4, n, dst, cap);
    }
    // Codecs differ in what they take: one converts only what fits the output and reports
    // that much as used, another takes the whole input and keeps what it has not decoded yet.
    // With the second, dwPointer, and with it every position shown, stored and resumed from,
    // would run ahead of the audio delivered; handing over only about what the room holds
    // keeps both kinds on the audio. A codec handed part of the input is asked again while
    // the room has space for a frame, so that every block comes out full.
    const uint32_t frameOut = PcmFrameBytes(ps, e.track);
    uint32_t produced = 0;
    while (n >= 2) {
        const uint32_t len = AcmFeedLimit(ps, e.track, n, cap - produced);
        const uint32_t before = ps.fileBufPos;
        produced += AcmConvertOnce(e, len, len, dst + produced, cap - produced);
        const uint32_t used = ps.fileBufPos - before;
        n -= used;
        if (len == n + used || used == 0 || cap - produced < frameOut) break;
    }
    return produced;
}

uint32_t MpglibDecode(Engine& e, uint32_t n, uint8_t* dst, uint32_t cap) {
    PlayState& ps = e.ps;
    const uint32_t piece = e.track.header.versionCode == 1 ? 100 : 50;
    if (n < piece) return 0;
    const uint8_t* src = ps.fileBuf.data() + ps.fileBufPos;
    uint32_t passed = 0, produced = 0;
    bool error = false;
    // Pieces smaller than a frame make the library give at most one frame per call, so the
    // output never overruns the room of one frame.
    while (static_cast<int64_t>(produced) < static_cast<int64_t>(cap) - kMpglibFrameBytes &&
           passed < n) {
        const uint32_t len = std::min(piece, n - passed);
        int got = 0;
        const int r = ps.mpglibDecode(ps.mpglibState.data(), src + passed, static_cast<int>(len),
                                      dst + produced, kMpglibFrameBytes, &got);
        passed += len;
        if (got > 0) produced += static_cast<uint32_t>(got);
        if (r == -1) {
            error = true;
            break;
        }
    }
    ps.fileBufPos += passed;
    const uint32_t p = e.track.dwPointer + passed;
    const uint32_t end = e.track.dwAudioEnd;
    if (p + kEndSlackBefore >= end && p <= end + kEndSlackAfter)
        e.track.dwPointer = end;
    else if (!error || p == end)
        e.track.dwPointer = p;
    if (error && e.track.dwPointer != end) MpglibResync(e, p, passed, dst, produced, cap);
    return produced;
}

namespace {

// One block from the track's decoder, before any gapless post-processing.
uint32_t DecodeRaw(Engine& e, uint8_t* dst, uint32_t cap) {
    PlayState& ps = e.ps;
    // BASS streams and Winamp plug-ins deliver through their own readers.
    if (ps.pluginActive) return e.io.plugin.read ? e.io.plugin.read(e.io.plugin.ctx, e, dst, cap) : 0;
    if (ps.bassActive) return e.io.bass.read ? e.io.bass.read(e.io.bass.ctx, e, dst, cap) : 0;
    if (ps.inputChunk == 0 || !e.track.hFile) return 0;
    if (!FillInput(e)) return 0;
    const uint32_t n = std::min(ps.inputChunk, ps.fileBufFilled - ps.fileBufPos);
    uint32_t out = 0;
    if (ps.hAcmStream && e.io.acm.convert)
        out = AcmDecode(e, n, dst, cap);
    else if (ps.mpglibDecode)
        out = MpglibDecode(e, n, dst, cap);
    if (out > 0 && e.track.dwAudioEnd < e.track.dwPointer + kGrowMargin && e.io.file.size) {
        // A file that is still being written plays on past the size seen when it was opened.
        const uint32_t size = e.io.file.size(e.io.file.ctx, e.track);
        if (size > e.track.dwAudioEnd) {
            e.track.dwAudioEnd = size;
            e.track.lengthMs = MpegLengthMs(e.track, e.track.dwAudioEnd - e.track.dwAudioBeg);
            if (e.io.host.refreshDisplay) e.io.host.refreshDisplay(e.io.host.ctx);
        }
    }
    return out;
}

}  // namespace

uint32_t DecodeBlock(Engine& e, uint8_t* dst, uint32_t cap) {
    for (;;) {
        const uint32_t posBefore = e.track.dwPointer;
        const uint32_t out = DecodeRaw(e, dst, cap);
        // Gapless play cuts delay, padding and silences here; a wholly silent block is
        // dropped and the next one decoded in its place.
        bool dropped = false;
        const uint32_t kept =
            RingPostProcess(e, reinterpret_cast<int16_t*>(dst), out, posBefore, dropped);
        if (!dropped) return kept;
    }
}

uint32_t DecodeBlockFloat(Engine& e, float* dst, uint32_t samples) {
    PlayState& ps = e.ps;
    // Plug-ins and BASS deliver floats at their own resolution, beyond what 16 bits keep.
    uint32_t (*readFloat)(void*, Engine&, float*, uint32_t) = nullptr;
    void* ctx = nullptr;
    if (ps.pluginActive && e.io.plugin.readFloat) {
        readFloat = e.io.plugin.readFloat;
        ctx = e.io.plugin.ctx;
    } else if (ps.bassActive && e.io.bass.readFloat) {
        readFloat = e.io.bass.readFloat;
        ctx = e.io.bass.ctx;
    }
    if (readFloat) {
        const uint32_t posBefore = e.track.dwPointer;
        const uint32_t got = readFloat(ctx, e, dst, samples);
        bool dropped = false;
        // The end of such a track takes the same end steps as a 16-bit one.
        if (got == 0) (void)RingPostProcess(e, nullptr, 0, posBefore, dropped);
        return got;
    }
    std::vector<int16_t>& pcm = ps.ovDecoded;
    if (pcm.size() < samples) pcm.resize(samples);
    const uint32_t got = DecodeBlock(e, reinterpret_cast<uint8_t*>(pcm.data()), samples * 2) / 2;
    for (uint32_t i = 0; i < got; ++i) dst[i] = pcm[i] * (1.0f / 32768.0f);
    return got;
}

void CloseDecoders(Engine& e) {
    PlayState& ps = e.ps;
    if (ps.inputChunk == 0) return;
    ps.inputChunk = 0;
    if (ps.hAcmStream) {
        if (e.io.acm.close) e.io.acm.close(e.io.acm.ctx, ps);
        ps.hAcmStream = nullptr;
    } else if (ps.mpglibExit) {
        ps.mpglibExit(ps.mpglibState.data());
    }
}
