#include "audio/plugin_host.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/play_init.h"
#include "audio/ring.h"
#include "audio/track_start.h"
#include "config/settings.h"
#include "tags/id3.h"

// ---- descriptors and the choice of a plug-in ----

std::string PluginDescriptor(std::string_view dllName, std::string_view description,
                             const char* extensions, size_t limit) {
    std::string exts;
    size_t i = 0;
    bool extensionText = true;  // the texts alternate: extensions, description, ...
    while (extensions && i < limit && extensions[i] != '\0') {
        size_t end = i;
        while (end < limit && extensions[end] != '\0') ++end;
        if (extensionText) {
            std::string_view list(extensions + i, end - i);
            size_t p = 0;
            while (p <= list.size()) {
                size_t q = list.find(';', p);
                if (q == std::string_view::npos) q = list.size();
                // A "/" would end the descriptor's fields early: it is no part of a file
                // extension, so it is dropped.
                size_t kept = 0;
                for (size_t k = p; k < q; ++k) {
                    if (list[k] == '/') continue;
                    exts += static_cast<char>(std::tolower(static_cast<unsigned char>(list[k])));
                    ++kept;
                }
                if (kept > 0) exts += ';';
                p = q + 1;
            }
        }
        extensionText = !extensionText;
        i = end + 1;
    }
    std::string d;
    d.reserve(dllName.size() + description.size() + exts.size() + 2);
    d.append(dllName).append("/").append(description).append("/").append(exts);
    return d;
}

std::string_view PluginExtensions(std::string_view descriptor) {
    const size_t slash = descriptor.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : descriptor.substr(slash + 1);
}

int FindPlugin(const std::vector<std::string>& descriptors, std::wstring_view fileName) {
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos) return -1;
    const size_t sep = fileName.find_last_of(L"\\/");
    if (sep != std::wstring_view::npos && sep > dot) return -1;
    std::string ext;
    for (size_t i = dot + 1; i < fileName.size() && ext.size() < 7; ++i) {
        const wchar_t c = fileName[i];
        if (c > 0x7F) return -1;  // no plug-in lists such an extension
        ext += static_cast<char>(std::towlower(static_cast<wint_t>(c)));
    }
    if (ext.empty()) return -1;
    for (size_t k = 0; k < descriptors.size(); ++k)
        if (PluginExtensions(descriptors[k]).find(ext) != std::string_view::npos)
            return static_cast<int>(k);
    return -1;
}

// ---- the output module ----

uint32_t PluginLatencyMs(uint32_t rate, uint32_t channels, uint32_t bits) {
    if (rate == 0 || channels == 0 || bits == 0) return 0;
    return 4000000u / bits / channels * 1000u / rate;
}

int PluginOutOpen(PluginHost& h, int rate, int channels, int bits) {
    if (rate <= 0 || channels <= 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return -1;
    // The buffer stays from track to track; only the offsets start again.
    if (!h.ring.data) h.ring.data.reset(new uint8_t[kPluginRingBytes]);
    h.ring.read.store(0);
    h.ring.write.store(0);
    h.outTimeMs.store(0);
    h.frameBytes = static_cast<uint32_t>(channels * bits / 8);
    h.bytesPerSec = double(rate) * channels * bits / 8;
    const uint32_t latency = PluginLatencyMs(uint32_t(rate), uint32_t(channels), uint32_t(bits));
    h.latencyMs.store(latency);
    h.bits.store(uint32_t(bits));
    h.channels.store(uint32_t(channels));
    h.rate.store(uint32_t(rate));
    return static_cast<int>(latency);
}

int PluginOutWrite(PluginHost& h, const uint8_t* buf, int len) {
    if (buf && len > 0) PluginRingPut(h.ring, buf, static_cast<uint32_t>(len));
    return 0;
}

int PluginOutCanWrite(PluginHost& h) {
    uint32_t expected = kPluginWaitWrite;
    // The first call moves the start-up on; until it has opened the output, nothing is taken.
    if (h.startState.compare_exchange_strong(expected, kPluginWrote)) return 0;
    if (expected == kPluginWrote || expected == kPluginWaitWrite) return 0;
    if (!h.ring.data) return 0;
    return static_cast<int>(PluginRingCanWrite(h.ring));
}

int PluginOutIsPlaying(PluginHost& h) {
    h.draining.store(true);
    return h.outputOpen.load() ? 1 : 0;
}

int PluginOutTime(const PluginHost& h) {
    return static_cast<int>(h.outTimeMs.load());
}

// ---- playing ----

namespace {

void Log(PluginHost& h, const char* text, int code) {
    if (h.calls.errorLog) h.calls.errorLog(h.calls.ctx, text, code);
}

wchar_t* CopyText(std::wstring_view s) {
    auto* t = new wchar_t[s.size() + 1];
    std::copy(s.begin(), s.end(), t);
    t[s.size()] = L'\0';
    return t;
}


}  // namespace

int PluginPlay(PluginHost& h, Engine& e, int index, const wchar_t* file, uint32_t startMs) {
    MpegInfo& m = e.track;
    PlayState& ps = e.ps;
    // Step 1: the file's ID3 tags (ID3v2 at its start, then ID3v1), the file closed again.
    if (!ReadFileId3(e, file)) return -1;
    h.current = index;
    std::wstring title;
    int length = 0;
    if (h.calls.fileInfo) h.calls.fileInfo(h.calls.ctx, index, file, &title, &length);
    m.dwAudioBeg = 0;
    m.dwAudioEnd = length > 0 ? uint32_t(length) : 0;
    m.fileName = file;
    if (!m.tagText[kTagArtist] && !m.tagText[kTagTitle] && !title.empty()) {
        const size_t dash = title.find(L" - ");
        if (dash == std::wstring::npos) {
            m.tagText[kTagTitle] = CopyText(title);
        } else {
            m.tagText[kTagArtist] = CopyText(std::wstring_view(title).substr(0, dash));
            m.tagText[kTagTitle] = CopyText(std::wstring_view(title).substr(dash + 3));
        }
    }
    h.startState.store(kPluginWaitWrite);
    h.draining.store(false);
    h.outputOpen.store(false);
    ps.pluginActive = true;
    if (!h.calls.play || h.calls.play(h.calls.ctx, index, file) != 0) {
        Log(h, "Input plug-in: Play failed", -2);
        EngineStop(e, true);
        h.startState.store(kPluginIdle);
        return -2;
    }
    if (m.dwAudioEnd == 0 && h.calls.getLength) {
        const int len = h.calls.getLength(h.calls.ctx, index);
        if (len > 0) m.dwAudioEnd = uint32_t(len);
    }
    h.lastTime = 0;
    h.waitTicks = 0;
    h.noAudioLogged = false;
    h.pendingStartMs = startMs;
    if (m.dwAudioEnd == 0) m.dwAudioEnd = 10;
    m.lengthMs = m.dwAudioEnd;
    if (h.calls.startTimer) h.calls.startTimer(h.calls.ctx);
    return 0;
}

int PluginStartTick(PluginHost& h, Engine& e) {
    const uint32_t state = h.startState.load();
    if (state == kPluginIdle) return 0;
    if (state == kPluginWaitWrite) {
        if (++h.waitTicks < kPluginStartTimeoutTicks) return 0;
        Log(h, "Input plug-in: no audio after Play", -3);
        EngineStop(e, true);
        EngineTrackEnd(e);
        return -3;
    }
    if (state == kPluginWrote) {
        if (h.pendingStartMs > 0 && h.pendingStartMs < e.track.dwAudioEnd) {
            PluginSeek(h, static_cast<int>(h.pendingStartMs));
            e.track.dwPointer = h.pendingStartMs;
        }
        h.pendingStartMs = 0;
        h.startState.store(3);
        return 0;
    }
    if (state + 1 < kPluginOpenOutput) {
        h.startState.store(state + 1);
        return 0;
    }
    h.startState.store(kPluginIdle);
    if (h.calls.killTimer) h.calls.killTimer(h.calls.ctx);
    const uint32_t channels = h.channels.load();
    e.track.header.channelMode = channels == 2 ? 1 : 4;
    e.track.header.sampleRate = h.rate.load();
    e.track.lengthMs = e.track.dwAudioEnd;
    // Read block gives 16-bit PCM; the 24-bit output mode reads floats at the plug-in's own
    // resolution instead.
    const uint32_t bits = e.ps.mode24 ? 24 : 16;
    const int r = PlayInit(e, h.rate.load(), channels, bits);
    h.outputOpen.store(r == 0);
    // The track log hears of the start now that it plays (positions of plug-ins are in ms).
    if (r == 0 && e.io.host.logTrackStart)
        e.io.host.logTrackStart(e.io.host.ctx, e.track, e.track.dwPointer);
    if (r == 0 && e.io.host.refreshDisplay) e.io.host.refreshDisplay(e.io.host.ctx);
    return r;
}

namespace {

// Samples of `bits` bits (8 unsigned, 24 and 32 signed little-endian) to 16 bits: their top
// 16 bits.
void To16Bits(const uint8_t* src, uint32_t samples, uint32_t bits, int16_t* dst) {
    const uint32_t step = bits / 8;
    for (uint32_t i = 0; i < samples; ++i, src += step) {
        if (bits == 8)
            dst[i] = static_cast<int16_t>((src[0] - 128) * 256);
        else
            dst[i] = static_cast<int16_t>(src[step - 2] | src[step - 1] << 8);
    }
}

// The same samples as floats in -1..1 at their full resolution: 8 and 16 bits x 1/32768, 24
// bits placed in the top three bytes of a 32-bit value and 32 bits x 2^-31.
void ToFloat(const uint8_t* src, uint32_t samples, uint32_t bits, float* dst) {
    const uint32_t step = bits / 8;
    for (uint32_t i = 0; i < samples; ++i, src += step) {
        if (bits == 8) {
            dst[i] = (src[0] - 128) * (1.0f / 128.0f);
        } else if (bits == 16) {
            dst[i] = static_cast<int16_t>(src[0] | src[1] << 8) * (1.0f / 32768.0f);
        } else {
            uint32_t v = 0;
            for (uint32_t b = 0; b < step; ++b) v |= uint32_t{src[b]} << (8 * (4 - step + b));
            dst[i] = static_cast<float>(static_cast<int32_t>(v) * (1.0 / 2147483648.0));
        }
    }
}

// Whole frames of the ring a block of `outFrame` bytes a frame and `cap` bytes may take.
uint32_t FramesToRead(const PluginHost& h, uint32_t cap, uint32_t outFrame) {
    return std::min({cap / outFrame, kPluginReadMax / h.frameBytes,
                     PluginRingUsed(h.ring) / h.frameBytes});
}

// Nothing to read: 0 (the end) while draining, else the bytes of 16-bit silence that keep the
// stream from ending.
uint32_t SilenceOrEnd(PluginHost& h, Engine& e) {
    if (h.draining.load()) {
        if (h.outTimeMs.load() == 0 && !h.noAudioLogged) {
            Log(h, "Input plug-in: the track ended without audio", -4);
            h.noAudioLogged = true;
        }
        return 0;
    }
    return GaplessOn(e.s) ? kPluginGapSilenceGapless : kPluginGapSilence;
}

// After n bytes were taken: the played time, the plug-in's output time until the end is near,
// then draining; the decoder position behind the output's latency.
void AfterRead(PluginHost& h, Engine& e, uint32_t n) {
    h.outTimeMs.store(h.outTimeMs.load() + n / h.bytesPerSec * 1000);
    MpegInfo& m = e.track;
    if (m.dwAudioEnd > kPluginEndMarginMs && h.lastTime < m.dwAudioEnd - kPluginEndMarginMs) {
        if (h.calls.getOutputTime) {
            const int t = h.calls.getOutputTime(h.calls.ctx, h.current);
            h.lastTime = t > 0 ? uint32_t(t) : 0;
        }
    } else {
        h.draining.store(true);
    }
    const uint32_t latency = h.latencyMs.load();
    m.dwPointer = h.lastTime > latency ? h.lastTime - latency : 0;
}

}  // namespace

uint32_t PluginReadBlock(PluginHost& h, Engine& e, uint8_t* dst, uint32_t cap) {
    if (!h.ring.data || h.frameBytes == 0) return 0;
    // The engine takes 16-bit samples: a block of another width is read whole frames at a
    // time and reduced.
    const uint32_t bits = h.bits.load();
    const uint32_t outFrame = h.frameBytes / (bits / 8) * 2;
    const uint32_t frames = FramesToRead(h, cap, outFrame);
    const uint32_t n = frames * h.frameBytes;
    if (n == 0) {
        const uint32_t gap = std::min(SilenceOrEnd(h, e), cap - cap % outFrame);
        std::memset(dst, 0, gap);
        return gap;
    }
    if (bits == 16) {
        PluginRingTake(h.ring, dst, n);
    } else {
        if (h.scratch.size() < n) h.scratch.resize(n);
        PluginRingTake(h.ring, h.scratch.data(), n);
        To16Bits(h.scratch.data(), n / (bits / 8), bits, reinterpret_cast<int16_t*>(dst));
    }
    AfterRead(h, e, n);
    return frames * outFrame;
}

uint32_t PluginReadFloat(PluginHost& h, Engine& e, float* dst, uint32_t samples) {
    if (!h.ring.data || h.frameBytes == 0) return 0;
    const uint32_t bits = h.bits.load();
    const uint32_t channels = h.frameBytes / (bits / 8);
    const uint32_t frames = FramesToRead(h, samples / channels * channels * sizeof(float),
                                         channels * sizeof(float));
    const uint32_t n = frames * h.frameBytes;
    if (n == 0) {
        // The silence lasts as long as the 16-bit reader's would.
        const uint32_t gap = std::min(SilenceOrEnd(h, e) / 2, samples - samples % channels);
        std::fill(dst, dst + gap, 0.0f);
        return gap;
    }
    if (h.scratch.size() < n) h.scratch.resize(n);
    PluginRingTake(h.ring, h.scratch.data(), n);
    ToFloat(h.scratch.data(), frames * channels, bits, dst);
    AfterRead(h, e, n);
    return frames * channels;
}

void PluginSeek(PluginHost& h, int ms) {
    if (h.current >= 0 && h.calls.setOutputTime) h.calls.setOutputTime(h.calls.ctx, h.current, ms);
    h.outTimeMs.store(ms);
}

void PluginStop(PluginHost& h) {
    if (h.calls.killTimer) h.calls.killTimer(h.calls.ctx);
    h.startState.store(kPluginIdle);
    h.outputOpen.store(false);
    if (h.current >= 0) {
        if (h.calls.stop) h.calls.stop(h.calls.ctx, h.current);
        if (h.calls.pause) h.calls.pause(h.calls.ctx, kPluginStopPauseMs);
    }
    // The plug-in's thread has ended with its Stop: nobody writes any more.
    h.ring.data.reset();
    h.ring.read.store(0);
    h.ring.write.store(0);
    h.frameBytes = 0;
    h.current = -1;
}

// ---- the engine's table ----

PluginSourceOps PluginSourceOpsFor(PluginHost& h) {
    PluginSourceOps o;
    o.ctx = &h;
    o.find = [](void* c, const wchar_t* file) {
        return FindPlugin(static_cast<PluginHost*>(c)->descriptors, file);
    };
    o.play = [](void* c, Engine& e, int index, const wchar_t* file, uint32_t startMs) {
        return PluginPlay(*static_cast<PluginHost*>(c), e, index, file, startMs);
    };
    o.read = [](void* c, Engine& e, uint8_t* dst, uint32_t cap) {
        return PluginReadBlock(*static_cast<PluginHost*>(c), e, dst, cap);
    };
    o.readFloat = [](void* c, Engine& e, float* dst, uint32_t samples) {
        return PluginReadFloat(*static_cast<PluginHost*>(c), e, dst, samples);
    };
    o.stop = [](void* c) { PluginStop(*static_cast<PluginHost*>(c)); };
    return o;
}
