// The live stream: up to five listeners, the sender thread that drains the played PCM, converts
// it to the stream's format, encodes it with lame_enc.dll or the ACM Layer-3 codec and sends the
// bytes to every listener. The listener slots, the thread handle and the buffers are guarded by
// one lock (the accept thread adds listeners, the sender drops them, the window thread stops
// all); the PCM itself crosses through StreamBuffer.
#include "http/http_win.h"  // winsock2.h before windows.h

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/command_ids.h"
#include "base/dll_win.h"
#include "base/mmsystem_win.h"
#include "http/http_config.h"
#include "http/http_router.h"
#include "http/http_win.h"
#include "http/stream_buffer.h"
#include "http/stream_encode.h"
#include "http/stream_pcm.h"
#include "http/stream_text.h"
#include "http/winsock_win.h"

namespace {
constexpr int kListeners = 5;
constexpr int kSendBufferBytes = 131072;
constexpr int kIdleChecks = 9;  // of 100 ms each: the stream ends a second after playback
constexpr DWORD kRateTextEveryMs = 10000;
constexpr DWORD kStopWaitMs = 2000;

using BeInitStreamFn = uint32_t(__cdecl*)(BeConfig*, uint32_t*, uint32_t*, uint32_t*);
using BeEncodeChunkFn = uint32_t(__cdecl*)(uint32_t, uint32_t, int16_t*, uint8_t*, uint32_t*);
using BeDeinitStreamFn = uint32_t(__cdecl*)(uint32_t, uint8_t*, uint32_t*);
using BeCloseStreamFn = uint32_t(__cdecl*)(uint32_t);
using BeWriteVbrHeaderFn = uint32_t(__cdecl*)(const char*);

struct Lame {
    HMODULE module = nullptr;  // loaded once, kept until exit
    BeInitStreamFn init = nullptr;
    BeEncodeChunkFn encode = nullptr;
    BeDeinitStreamFn deinit = nullptr;  // resolved, never called: the stream has no end
    BeCloseStreamFn close = nullptr;
    BeWriteVbrHeaderFn vbrHeader = nullptr;  // resolved, never called: there is no file
};

struct Encoder {
    bool lame = true;
    uint32_t handle = 0;
    uint32_t chunkSamples = 0, outBytes = 0;
    HACMSTREAM acm = nullptr;
    std::vector<uint8_t> scratch;  // one chunk's output
};

std::mutex g_lock;  // g_slots, g_thread, g_buffer.pcm's allocation, g_work
SOCKET g_slots[kListeners] = {INVALID_SOCKET, INVALID_SOCKET, INVALID_SOCKET, INVALID_SOCKET,
                              INVALID_SOCKET};
HANDLE g_thread = nullptr;
std::atomic<bool> g_threadRunning{false};
std::atomic<bool> g_stop{false};
StreamBuffer g_buffer;
std::vector<uint8_t> g_work;
Lame g_lameDll;
std::vector<uint8_t> g_feed16;  // window thread: a 24-bit block reduced to 16 bits

bool LoadLame() {
    if (g_lameDll.module) return true;
    HMODULE m = LoadProgramDll(L"lame_enc.dll");
    if (!m) return false;
    Lame l;
    l.module = m;
    l.init = reinterpret_cast<BeInitStreamFn>(reinterpret_cast<void*>(GetProcAddress(m, "beInitStream")));
    l.encode = reinterpret_cast<BeEncodeChunkFn>(reinterpret_cast<void*>(GetProcAddress(m, "beEncodeChunk")));
    l.deinit = reinterpret_cast<BeDeinitStreamFn>(reinterpret_cast<void*>(GetProcAddress(m, "beDeinitStream")));
    l.close = reinterpret_cast<BeCloseStreamFn>(reinterpret_cast<void*>(GetProcAddress(m, "beCloseStream")));
    l.vbrHeader = reinterpret_cast<BeWriteVbrHeaderFn>(reinterpret_cast<void*>(GetProcAddress(m, "beWriteVBRHeader")));
    if (!l.init || !l.encode || !l.close) {
        FreeLibrary(m);
        return false;
    }
    g_lameDll = l;
    return true;
}

// 0 or the code that is logged with "HTTP stream encoder init error:".
int OpenEncoder(const HttpServConfig& c, Encoder& e) {
    e.lame = c.encoder == 'l';
    if (e.lame) {
        if (!LoadLame()) return static_cast<int>(ERROR_MOD_NOT_FOUND);
        BeConfig cfg = StreamLameConfig(c);
        uint32_t samples = 0, outBytes = 0, handle = 0;
        if (const uint32_t err = g_lameDll.init(&cfg, &samples, &outBytes, &handle))
            return static_cast<int>(err);
        if (samples == 0 || samples > 1 << 16 || outBytes == 0) {
            g_lameDll.close(handle);
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        }
        e.handle = handle;
        e.chunkSamples = samples;
        e.outBytes = outBytes;
        e.scratch.resize(outBytes);
        return 0;
    }
    const StreamAcmFormat f = StreamAcmFormatFor(c);
    WAVEFORMATEX src{};
    src.wFormatTag = WAVE_FORMAT_PCM;
    src.nChannels = f.channels;
    src.nSamplesPerSec = f.rate;
    src.wBitsPerSample = 16;
    src.nBlockAlign = static_cast<WORD>(2 * f.channels);
    src.nAvgBytesPerSec = f.rate * src.nBlockAlign;
    MPEGLAYER3WAVEFORMAT dst{};
    dst.wfx.wFormatTag = f.formatTag;
    dst.wfx.nChannels = f.channels;
    dst.wfx.nSamplesPerSec = f.rate;
    dst.wfx.nAvgBytesPerSec = f.avgBytesPerSec;
    dst.wfx.nBlockAlign = f.blockAlign;
    dst.wfx.wBitsPerSample = f.bitsPerSample;
    dst.wfx.cbSize = f.extraBytes;
    dst.wID = f.id;
    dst.fdwFlags = f.flags;
    dst.nBlockSize = f.blockSize;
    dst.nFramesPerBlock = f.framesPerBlock;
    dst.nCodecDelay = f.codecDelay;
    const MMRESULT r = AcmStreamOpenWin(&e.acm, &src, reinterpret_cast<WAVEFORMATEX*>(&dst), 0);
    if (r) e.acm = nullptr;
    return static_cast<int>(r);
}

void CloseEncoder(Encoder& e) {
    if (e.lame && e.chunkSamples) g_lameDll.close(e.handle);
    if (e.acm) AcmStreamCloseWin(e.acm);
    e = Encoder{};
}

// Encodes the cycle's PCM (the carry and `fresh` new bytes in g_work). 0 or the error code.
int Encode(Encoder& e, uint32_t& carry, uint32_t fresh, std::vector<uint8_t>& out) {
    if (e.lame) {
        StreamChunkEncoder chunk;
        chunk.ctx = &e;
        chunk.encode = [](void* ctx, const int16_t* samples, uint32_t n, std::vector<uint8_t>& o) {
            auto* k = static_cast<Encoder*>(ctx);
            uint32_t made = 0;
            const uint32_t err = g_lameDll.encode(k->handle, n, const_cast<int16_t*>(samples),
                                                  k->scratch.data(), &made);
            if (err) return static_cast<int>(err);
            if (made > k->scratch.size()) return BE_ERR_BUFFER_TOO_SMALL;
            if (o.size() + made > kStreamOutBytes) return BE_ERR_BUFFER_TOO_SMALL;
            o.insert(o.end(), k->scratch.begin(), k->scratch.begin() + made);
            return 0;
        };
        return StreamEncodeChunks(g_work.data(), carry, fresh, e.chunkSamples, chunk, out);
    }
    if (fresh == 0) return 0;
    out.resize(kStreamOutBytes);
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = g_work.data();
    h.cbSrcLength = fresh;
    h.pbDst = out.data();
    h.cbDstLength = kStreamOutBytes;
    MMRESULT r = AcmStreamPrepareHeaderWin(e.acm, &h);
    if (!r) {
        r = AcmStreamConvertWin(e.acm, &h, ACM_STREAMCONVERTF_BLOCKALIGN);
        AcmStreamUnprepareHeaderWin(e.acm, &h);
    }
    out.resize(r ? 0 : h.cbDstLengthUsed);
    carry = 0;
    return static_cast<int>(r);
}

StreamEngineState EngineState() {
    StreamEngineState st;
    HttpOnWindowThread(
        [](void* a) {
            const HttpHost& h = HttpHostWin();
            if (h.engineState) h.engineState(h.ctx, *static_cast<StreamEngineState*>(a));
        },
        &st);
    return st;
}

void SetTap(bool on) {
    HttpOnWindowThread(
        [](void* a) {
            const HttpHost& h = HttpHostWin();
            if (h.setStreamTap) h.setStreamTap(h.ctx, *static_cast<bool*>(a));
        },
        &on);
}

void SetOutputFormat(StreamFormat f) {
    HttpOnWindowThread(
        [](void* a) {
            const HttpHost& h = HttpHostWin();
            const StreamFormat* k = static_cast<StreamFormat*>(a);
            if (h.setOutputFormat) h.setOutputFormat(h.ctx, k->rate, k->channels);
        },
        &f);
}

// Sends to every listener; one whose send fails is closed. Returns the listeners left.
int SendToAll(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> hold(g_lock);
    int left = 0;
    for (SOCKET& s : g_slots) {
        if (s == INVALID_SOCKET) continue;
        if (!bytes.empty() && Ws().send(s, reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<int>(bytes.size()), 0) == SOCKET_ERROR) {
            Ws().closesocket(s);
            s = INVALID_SOCKET;
            continue;
        }
        ++left;
    }
    return left;
}

// Closes the listeners and frees the buffers (the feed is already off); the sender's last step
// marks the thread ended under the same lock, so a listener that comes now starts a new one.
void ReleaseAll(bool threadEnds = false) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (threadEnds) g_threadRunning = false;
    for (SOCKET& s : g_slots) {
        if (s != INVALID_SOCKET) Ws().closesocket(s);
        s = INVALID_SOCKET;
    }
    g_buffer.fill = 0;
    std::vector<uint8_t>().swap(g_buffer.pcm);
    std::vector<uint8_t>().swap(g_work);
}

void SenderLoop(const HttpServConfig& c, Encoder& enc) {
    const StreamFormat stream{c.streamRate, c.streamChannels};
    int idle = 0;
    DWORD last = GetTickCount(), lastText = last;
    uint64_t sentSinceText = 0;
    bool converted = false;
    uint32_t carry = 0;
    std::vector<uint8_t> out;
    out.reserve(kStreamOutBytes);
    std::vector<uint8_t> taken(kStreamTakeBytes);
    while (!g_stop) {
        StreamEngineState st = EngineState();
        if (!st.playing && !c.silence) {
            if (++idle > kIdleChecks) return;
            Sleep(100);
            continue;
        }
        const DWORD now = GetTickCount();
        if (c.silence && !st.playing) {
            const uint32_t bytes = StreamSilenceBytes(now - last, stream);
            if (bytes >= 1001 && StreamBufferFillSilence(g_buffer, bytes)) {
                SetOutputFormat(stream);
                st.rate = stream.rate;
                st.channels = stream.channels;
            }
        }
        last = now;
        const StreamFormat output{st.rate, st.channels};
        const bool same = !st.playing || (st.rate == stream.rate && st.channels == stream.channels);
        const uint32_t limit = same ? kStreamTakeBytes : StreamConvertInputLimit(output, stream);
        const uint32_t n = StreamBufferTake(g_buffer, taken.data(), limit);
        uint32_t fresh = 0;
        if (same) {
            std::memcpy(g_work.data() + carry, taken.data(), n);
            fresh = n;
        } else if (n) {
            fresh = StreamConvert(reinterpret_cast<const int16_t*>(taken.data()), n, output, stream,
                                  reinterpret_cast<int16_t*>(g_work.data() + carry),
                                  static_cast<uint32_t>(g_work.size() - carry), nullptr);
            converted = true;
        }
        out.clear();
        if (const int err = Encode(enc, carry, fresh, out)) {
            HttpErrorLog(enc.lame ? "HTTP stream Lame encode error:" : "HTTP stream ACM encode error:",
                         err);
            return;
        }
        if (!out.empty()) {
            const int left = SendToAll(out);
            if (left == 0) return;
            sentSinceText += out.size();
            if (now - lastText >= kRateTextEveryMs) {
                const double kb = sentSinceText / 1024.0 / ((now - lastText) / 1000.0);
                HttpShowMessage(StreamRateText(kb, left, converted).c_str(), 5000);
                lastText = now;
                sentSinceText = 0;
            }
        }
        Sleep(c.intervalMs);
        idle = 0;
    }
}

DWORD WINAPI SenderThread(void*) {
    const HttpHost& h = HttpHostWin();
    const HttpServConfig c = HttpServParse(h.settings ? h.settings(h.ctx) : "");
    Encoder enc;
    if (const int err = OpenEncoder(c, enc)) {
        HttpErrorLog("HTTP stream encoder init error:", err);
        ReleaseAll(true);
        return 0;
    }
    SetTap(true);
    HttpShowMessage(kStreamStarting, 15000);
    SenderLoop(c, enc);
    SetTap(false);  // the window thread feeds no more once this returns
    CloseEncoder(enc);
    if (!g_stop) HttpShowMessage(kStreamStopped, 5000);
    ReleaseAll(true);
    return 0;
}
}  // namespace

bool HttpStreamAttachWin(SOCKET s) {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        int slot = -1;
        for (int i = 0; i < kListeners && slot < 0; ++i)
            if (g_slots[i] == INVALID_SOCKET) slot = i;
        if (slot < 0) return false;
        if (!g_threadRunning && g_thread) {  // the previous stream has ended
            WaitForSingleObject(g_thread, INFINITE);
            CloseHandle(g_thread);
            g_thread = nullptr;
        }
        if (g_buffer.pcm.empty()) g_buffer.pcm.resize(kStreamBufferBytes);
        if (g_work.empty()) g_work.resize(kStreamBufferBytes);
        u_long nonBlocking = 1;
        if (Ws().ioctlsocket(s, FIONBIO, &nonBlocking) == SOCKET_ERROR)
            HttpErrorLog("HTTP stream ioctlsocket error:", Ws().WSAGetLastError());
        const int sndbuf = kSendBufferBytes;
        if (Ws().setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sndbuf),
                            sizeof sndbuf) == SOCKET_ERROR)
            HttpErrorLog("HTTP stream setsockopt error:", Ws().WSAGetLastError());
        bool first = true;
        for (SOCKET other : g_slots) first = first && other == INVALID_SOCKET;
        g_slots[slot] = s;
        Ws().send(s, kHttpStreamHeader, static_cast<int>(std::strlen(kHttpStreamHeader)), 0);
        // A new stream starts from what plays now. A listener who joins a running stream
        // takes it where it is: emptying the buffer then would cut a gap into everyone's.
        if (first) StreamBufferReset(g_buffer);
    }
    const HttpHost& h = HttpHostWin();
    const HttpServConfig c = HttpServParse(h.settings ? h.settings(h.ctx) : "");
    if (!c.silence) {
        StreamEngineState st;
        HttpOnWindowThread(
            [](void* a) {
                const HttpHost& k = HttpHostWin();
                if (k.engineState) k.engineState(k.ctx, *static_cast<StreamEngineState*>(a));
            },
            &st);
        if (!st.playing) {  // the listener came to hear something: play
            if (h.command) {
                HttpOnWindowThread(
                    [](void*) {
                        const HttpHost& k = HttpHostWin();
                        k.command(k.ctx, kCmdStopResume);
                    },
                    nullptr);
            }
            Sleep(500);
        }
    }
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_threadRunning) {
        g_stop = false;
        g_threadRunning = true;
        g_thread = CreateThread(nullptr, 0, SenderThread, nullptr, 0, nullptr);
        if (!g_thread) g_threadRunning = false;
    }
    return true;
}

void HttpStreamStopWin() {
    g_stop = true;
    HANDLE thread = nullptr;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        thread = g_thread;
        g_thread = nullptr;
    }
    if (thread) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kStopWaitMs &&
               MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG m;
            PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) {
            TerminateThread(thread, 1);  // stuck in the encoder: the last resort
            g_threadRunning = false;
        }
        CloseHandle(thread);
    }
    const HttpHost& h = HttpHostWin();
    if (h.setStreamTap) h.setStreamTap(h.ctx, false);  // on the window thread already
    ReleaseAll();
}

bool HttpStreamRunningWin() {
    return g_threadRunning;
}

void HttpStreamFeedWin(const uint8_t* pcm, uint32_t bytes, bool mode24) {
    if (g_buffer.pcm.empty()) return;
    if (mode24) {
        g_feed16.resize(bytes / 3 * 2 + 2);
        bytes = StreamPcm24To16(pcm, bytes, reinterpret_cast<int16_t*>(g_feed16.data()));
        pcm = g_feed16.data();
    }
    StreamBufferAppend(g_buffer, pcm, bytes, [](uint32_t ms) { Sleep(ms); });
}
