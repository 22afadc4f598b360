#include "audio/output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/decoder.h"
#include "audio/fast_play.h"
#include "audio/mpeg_scan.h"
#include "audio/out_format.h"
#include "audio/ring.h"
#include "audio/track_start.h"
#include "config/settings.h"

namespace {

bool SoftwareVolumeOn(const Engine& e) {
    return (e.s.wave_flags & WaveFlag::InternalVolume) && !e.ps.mode24;
}

uint32_t BytesPerSample(const PlayState& ps) {
    return ps.mode24 ? 3 : 2;
}

AudioStamp StampFromDecoder(const Engine& e) {
    const MpegInfo& m = e.track;
    const uint32_t played = m.dwPointer > m.dwAudioBeg ? m.dwPointer - m.dwAudioBeg : 0;
    const uint32_t ms = e.ps.pluginActive || e.ps.bassActive ? m.dwPointer : MpegLengthMs(m, played);
    return AudioStamp{m.dwPointer, ms, m.lengthMs};
}

void SetPlayed(PlayState& ps, const AudioStamp& st) {
    ps.playedBytePos = static_cast<uint32_t>(st.bytePos);
    ps.playedMs = st.posMs;
    ps.playedLengthMs = st.lengthMs;
}

template <typename T>
void MeterSamples(uint16_t (*peaks)[kMeterEntries], int pass, const T* s, uint32_t n, uint32_t rate,
                  uint32_t channels, bool precise, float scale) {
    if (!peaks || channels == 0) return;
    if (pass == 0) std::memset(peaks, 0, sizeof(uint16_t) * 2 * kMeterEntries);
    const uint32_t segment = std::max<uint32_t>(rate * channels / 25, channels);  // 1/25 s
    const uint32_t step = (precise ? 2 : 64) * channels;  // every k-th frame
    for (uint32_t i = 0; i + channels <= n; i += step) {
        const uint32_t entryBase = i / segment * channels;
        for (uint32_t c = 0; c < channels; ++c) {
            const uint32_t entry = entryBase + c;
            if (entry >= kMeterEntries) return;
            const float v = std::fabs(static_cast<float>(s[i + c]) * scale);
            const uint16_t mag = static_cast<uint16_t>(std::min(v, 32767.0f));
            peaks[pass][entry] = std::max(peaks[pass][entry], mag);
        }
    }
}

template <typename T>
void FadeIn(T* s, uint32_t n, uint32_t rate, uint32_t channels) {
    const double len = 0.15 * rate * channels;  // "Short fade in on resume"
    for (uint32_t i = 0; i < n && i < len; ++i) s[i] = static_cast<T>(s[i] * (i / len));
}

// The 16-bit pipeline on a decoded block of n samples, in place.
void Process16(Engine& e, int16_t* pcm, uint32_t n, uint16_t (*peaks)[kMeterEntries]) {
    PlayState& ps = e.ps;
    const uint32_t ch = ps.outChannels;
    MeterPass(peaks, 0, pcm, n, ps.outRate, ch, ps.preciseMeters);
    if (e.io.dsp.processPcm16)
        e.io.dsp.processPcm16(e.io.dsp.ctx, pcm, static_cast<int>(n / ch), static_cast<int>(ch));
    MeterPass(peaks, 1, pcm, n, ps.outRate, ch, ps.preciseMeters);
    if (SoftwareVolumeOn(e)) ApplySoftwareVolume(pcm, n, ps.swGain);
}

// Writes buffer b through the pipeline and hands it to the device.
void FillAndWrite(Engine& e, OutBuffer& b) {
    PlayState& ps = e.ps;
    b.bytes =
        RenderBlock(e, b.data.data(), ps.waveOutBufSize / BytesPerSample(ps), b.stamp, b.peaks);
    if (e.io.dsp.gains) e.io.dsp.gains(e.io.dsp.ctx, b.gains);
    b.prev = ps.lastWritten;
    const WaveOutOps& w = e.io.waveOut;
    if (!b.prepared && w.prepare) b.prepared = w.prepare(w.ctx, ps.hWaveOut, b);
    if (w.write) (void)w.write(w.ctx, ps.hWaveOut, b);
    ps.lastWritten = &b;
    // The pipeline has taken a block: the ring is topped up (at the end of a track this may
    // start the next one, or stop everything).
    if (RingActive(ps)) RingFill(e);
}

// The end of playback reached the listener: stop, and let the sequencer choose what follows.
void PlaybackEnded(Engine& e) {
    if (e.ps.pendingAction == 8) return;
    EngineStop(e, true);
    CloseTrackFile(e);
    e.ps.trackEnded = true;
    EngineTrackEnd(e);
}

const char* const kDsOpenTexts[] = {
    "",
    "DirectSound: Create",
    "DirectSound: SetCooperativeLevel",
    "DirectSound: CreateSoundBuffer (prim)",
    "DirectSound: SetFormat",
    "DirectSound: CreateSoundBuffer (work)",
};

void MessageBoxText(Engine& e, const char* caption, const char* text) {
    if (e.io.window.messageBox) e.io.window.messageBox(e.io.window.ctx, caption, text);
}

void DsStart(Engine& e);

int OpenDirectSound(Engine& e) {
    PlayState& ps = e.ps;
    const WaveFormat fmt = MakeWaveFormat(ps.outChannels, ps.outRate, ps.outBits,
                                          e.s.wave_flags & WaveFlag::Surround51);
    const DsSizing d = SizeDirectSound(ps.outRate, ps.outChannels, ps.outBits, ps.mode24,
                                       e.s.outbuflength, ps.urlStream);
    const int step = e.io.ds.open(e.io.ds.ctx, ps, e.s.wavedevice & 0x7F, fmt, d.bufferBytes);
    if (step != kDsOpenOk) {
        MessageBoxText(e, "Error", kDsOpenTexts[std::clamp(step, 1, 5)]);
        return -2;
    }
    ps.dsBufferBytes = d.bufferBytes;
    ps.dsSegmentBytes = d.segmentBytes;
    ps.dsSlotCount = d.slotCount;
    ps.dsSlotBytes = d.slotBytes;
    ps.dsWritePos = ps.dsPlayPos = ps.dsCurrentSlot = 0;
    ps.dsEndSilence = -1;
    for (DsSlot& slot : ps.dsSlots) slot = DsSlot{};
    ps.queuedMs = d.queuedMs;
    DsStart(e);
    return OutputOpen(ps) ? 0 : -2;
}

void DsStart(Engine& e) {
    PlayState& ps = e.ps;
    ApplyVolume(e);  // the device volume, or the software gain of the new blocks
    ps.dsWritePos = 0;
    RingFill(e);  // prime the ring
    if (!OutputOpen(ps)) return;
    for (int i = 0; i < 4; ++i) DsTick(e, false);
    if (!e.io.ds.play || !e.io.ds.play(e.io.ds.ctx, ps)) {
        CloseOutput(e);  // a play failure releases everything without a message
        return;
    }
    if (e.io.host.showPlayButton) e.io.host.showPlayButton(e.io.host.ctx, OutputOpen(ps));
    if (e.io.ds.startTimer) e.io.ds.startTimer(e.io.ds.ctx);
    ps.dsTimerRunning = true;
}

// The play cursor runs ahead of what is heard by the device's own queue: Wine reports the
// position up to which its mixer has read the buffer, some 30 ms before that reaches the
// sound card, and closing the buffer as soon as the cursor met the silence after the end cut
// off the last of the track. The end waits until this much silence has passed the cursor.
constexpr uint32_t kDsEndSilenceMs = 100;

// Counts the cursor's travel (bytes since the last tick) through the silence after the end;
// true once the end is heard. The travel of the tick that first finds the silence under the
// cursor is not counted: part of it may have been audio.
bool DsEndHeard(PlayState& ps, uint32_t travel) {
    if (ps.dsSlots[ps.dsCurrentSlot].stamp.bytePos != -1) {
        ps.dsEndSilence = -1;
        return false;
    }
    ps.dsEndSilence = ps.dsEndSilence < 0 ? 0 : ps.dsEndSilence + static_cast<int32_t>(travel);
    const uint64_t byteRate = uint64_t{ps.outRate} * ps.outChannels * BytesPerSample(ps);
    return uint64_t(ps.dsEndSilence) * 1000 >= byteRate * kDsEndSilenceMs;
}

// Copies bytes into the DirectSound buffer at pos (two parts at the wrap).
void DsWrite(Engine& e, uint32_t pos, const uint8_t* src, uint32_t bytes) {
    DsRegion r;
    if (!e.io.ds.lock || !e.io.ds.lock(e.io.ds.ctx, e.ps, pos, bytes, r)) return;
    const uint32_t n1 = std::min(r.n1, bytes);
    if (r.p1) std::memcpy(r.p1, src, n1);
    if (r.p2 && bytes > n1) std::memcpy(r.p2, src + n1, std::min(r.n2, bytes - n1));
    if (e.io.ds.unlock) e.io.ds.unlock(e.io.ds.ctx, e.ps, r);
}

void DsFeedPlayed(Engine& e, uint32_t from, uint32_t to) {
    PlayState& ps = e.ps;
    const uint32_t bytes = to >= from ? to - from : ps.dsBufferBytes - from + to;
    DsRegion r;
    if (bytes == 0 || !e.io.ds.lock || !e.io.ds.lock(e.io.ds.ctx, ps, from, bytes, r)) return;
    if (r.p1 && r.n1) e.io.host.streamFeed(e.io.host.ctx, r.p1, r.n1, ps.mode24);
    if (r.p2 && r.n2) e.io.host.streamFeed(e.io.host.ctx, r.p2, r.n2, ps.mode24);
    if (e.io.ds.unlock) e.io.ds.unlock(e.io.ds.ctx, ps, r);
}

}  // namespace

void DsStampSlots(PlayState& ps, uint32_t pos, uint32_t bytes, const AudioStamp& st) {
    if (ps.dsSlotBytes == 0 || ps.dsBufferBytes == 0) return;
    for (uint32_t off = 0; off < bytes;) {
        const uint32_t at = (pos + off) % ps.dsBufferBytes;
        const uint32_t slot = std::min(at / ps.dsSlotBytes, ps.dsSlotCount - 1);
        // Silence after the end marks only the slots it fills from their start: the slot in
        // which the audio ends keeps the audio's stamp, so that the end is seen (and the
        // buffer stopped) only once the cursor has passed the last of the audio.
        if (st.bytePos != -1 || at == slot * ps.dsSlotBytes) ps.dsSlots[slot].stamp = st;
        const uint32_t slotEnd =
            slot + 1 == ps.dsSlotCount ? ps.dsBufferBytes : (slot + 1) * ps.dsSlotBytes;
        off += slotEnd - at;
    }
}

void DsMeterSlots(PlayState& ps, uint32_t pos, uint32_t bytes,
                  const uint16_t (*peaks)[kMeterEntries], const int32_t* gains) {
    const uint32_t bps = BytesPerSample(ps);
    const uint32_t ch = ps.outChannels;
    if (ps.dsSlotBytes == 0 || ps.dsBufferBytes == 0 || ch == 0 || bps == 0) return;
    const uint32_t segment = std::max<uint32_t>(ps.outRate * ch / 25, ch);  // as MeterSamples
    for (uint32_t off = 0; off < bytes;) {
        const uint32_t at = (pos + off) % ps.dsBufferBytes;
        const uint32_t slot = std::min(at / ps.dsSlotBytes, ps.dsSlotCount - 1);
        const uint32_t slotEnd =
            slot + 1 == ps.dsSlotCount ? ps.dsBufferBytes : (slot + 1) * ps.dsSlotBytes;
        const uint32_t part = std::min(slotEnd - at, bytes - off);
        DsSlot& d = ps.dsSlots[slot];
        const bool fresh = at == slot * ps.dsSlotBytes;
        const uint32_t first = off / bps / segment, last = (off + part - 1) / bps / segment;
        for (uint32_t c = 0; c < std::min<uint32_t>(ch, 2); ++c) {
            for (int pass = 0; pass < 2; ++pass) {
                uint16_t peak = 0;
                for (uint32_t seg = first; seg <= last && seg * ch + c < kMeterEntries; ++seg)
                    peak = std::max(peak, peaks[pass][seg * ch + c]);
                d.peaks[pass][c] = fresh ? peak : std::max(d.peaks[pass][c], peak);
            }
        }
        std::copy(gains, gains + kOutGains, d.gains);
        off += part;
    }
}

bool HeardLevelsNow(const PlayState& ps, HeardLevels& out) {
    out = HeardLevels{};
    const uint32_t ch = ps.outChannels;
    if (ch == 0) return false;
    if (ps.dsBuffer) {
        if (ps.dsSlotCount == 0) return false;
        const DsSlot& d = ps.dsSlots[std::min(ps.dsCurrentSlot, ps.dsSlotCount - 1)];
        for (int c = 0; c < 2; ++c) out.before[c] = d.peaks[0][c], out.after[c] = d.peaks[1][c];
        std::copy(std::begin(d.gains), std::end(d.gains), out.gains);
        return true;
    }
    if (!ps.hWaveOut || ps.buffers.empty()) return false;
    const OutBuffer& b =
        ps.buffers[std::clamp<size_t>(static_cast<size_t>(std::max(ps.currentBuffer, 0)), 0,
                                      ps.buffers.size() - 1)];
    for (int e = 0; e < kMeterEntries; ++e) {
        const uint32_t c = static_cast<uint32_t>(e) % ch;
        if (c >= 2) continue;
        out.before[c] = std::max(out.before[c], b.peaks[0][e]);
        out.after[c] = std::max(out.after[c], b.peaks[1][e]);
    }
    std::copy(std::begin(b.gains), std::end(b.gains), out.gains);
    return true;
}

bool OutputOpen(const PlayState& ps) {
    return ps.hWaveOut != nullptr || ps.dsBuffer != nullptr;
}

void SizeOutputBuffers(Engine& e) {
    PlayState& ps = e.ps;
    const WaveOutSizing w = SizeWaveOut(ps.outRate, ps.outChannels, ps.outBits, ps.mode24,
                                        e.s.outbuflength, ps.urlStream);
    ps.waveOutBufs = w.bufs;
    ps.waveOutBufSize = w.size;
    ps.queuedMs = w.queuedMs;
}

uint32_t RenderBlock(Engine& e, uint8_t* dst, uint32_t samples, AudioStamp& stamp,
                     uint16_t (*peaks)[kMeterEntries]) {
    PlayState& ps = e.ps;
    const uint32_t ch = std::max<uint32_t>(ps.outChannels, 1);
    samples = samples / ch * ch;
    uint32_t got = 0;
    std::vector<float> f;          // 24-bit mode: the float block
    int16_t* pcm = reinterpret_cast<int16_t*>(dst);
    const bool ring = RingActive(ps);
    if (ps.mode24 && !ring) f.resize(samples);  // the ring gives its float block directly
    if (ring) {
        // Gapless: the block comes from the ring, stamped from the slot it is read at.
        stamp = RingStamp(e);
        if (ps.mode24) f.resize(samples);
        const int32_t n =
            ps.mode24 ? RingReadFloat(ps, f.data(), samples) : RingRead(ps, pcm, samples);
        got = n > 0 ? static_cast<uint32_t>(n) / ch * ch : 0;
        if (ps.mode24) f.resize(got);
    } else {
        // Without the ring the block is decoded straight into place.
        got = ps.mode24 ? DecodeBlockFloat(e, f.data(), samples)
                        : DecodeBlock(e, reinterpret_cast<uint8_t*>(pcm), samples * 2) / 2;
        got = got / ch * ch;
        if (ps.mode24) f.resize(got);
        stamp = StampFromDecoder(e);
    }
    const bool fade = ps.fadeInPending;
    ps.fadeInPending = false;
    if (ps.pendingAction == 8 || got == 0) {
        const uint32_t n = std::min(kSilenceSamples, samples);
        std::memset(dst, 0, n * BytesPerSample(ps));
        // An empty ring while the track is still being decoded is a gap, not the end: the
        // silence keeps the stamps so that playback goes on.
        if (!(ring && got == 0 && !ps.trackEnded && ps.pendingAction != 8)) stamp = AudioStamp{};
        return n * BytesPerSample(ps);
    }
    if (!ps.mode24) {
        if (fade) FadeInBlock(pcm, got, ps.outRate, ch);
        if (FastPlayApplies(ps)) got = FastPlay16(ps, pcm, got, ps.outRate, ch);
        Process16(e, pcm, got, peaks);
        return got * 2;
    }
    // 24-bit mode: processing in float, written as packed 24-bit PCM.
    if (fade) FadeInBlock(f.data(), got, ps.outRate, ch);
    if (FastPlayApplies(ps)) got = FastPlayFloat(ps, f.data(), got, ps.outRate, ch);
    MeterSamples(peaks, 0, f.data(), got, ps.outRate, ch, ps.preciseMeters, 32767.0f);
    if (e.io.dsp.processFloat)
        e.io.dsp.processFloat(e.io.dsp.ctx, f.data(), static_cast<int>(got / ch),
                              static_cast<int>(ch));
    MeterSamples(peaks, 1, f.data(), got, ps.outRate, ch, ps.preciseMeters, 32767.0f);
    PackFloat24(f.data(), got, dst);
    return got * 3;
}

int OpenOutput(Engine& e) {
    PlayState& ps = e.ps;
    const bool directSound = (e.s.wavedevice & 0x80) && e.io.ds.open &&
                             (ps.dsoundModule || (e.io.ds.load && e.io.ds.load(e.io.ds.ctx, ps)));
    if (directSound) return OpenDirectSound(e);
    const int n = e.s.wavedevice & 0x7F;
    const WaveFormat fmt = MakeWaveFormat(ps.outChannels, ps.outRate, ps.outBits,
                                          e.s.wave_flags & WaveFlag::Surround51);
    ps.hWaveOut = e.io.waveOut.open ? e.io.waveOut.open(e.io.waveOut.ctx, n - 1, fmt) : nullptr;
    if (!ps.hWaveOut) {
        MessageBoxText(e, "Play init error", "waveOutOpen");
        return -2;
    }
    return 0;  // the device-open message starts the buffers (WaveOutStart)
}

void WaveOutStart(Engine& e) {
    PlayState& ps = e.ps;
    if (!ps.hWaveOut) return;
    if (e.io.host.showPlayButton) e.io.host.showPlayButton(e.io.host.ctx, OutputOpen(ps));
    ps.buffers.clear();
    // The device volume, or with software volume the gain the new blocks get.
    ApplyVolume(e);
    ps.buffers.resize(ps.waveOutBufs);
    for (uint32_t i = 0; i < ps.waveOutBufs; ++i) {
        OutBuffer& b = ps.buffers[i];
        b.data.assign(ps.waveOutBufSize, 0);
        b.index = static_cast<int>(i);
        b.stamp = AudioStamp{e.track.dwPointer, 0, 0};
    }
    ps.lastWritten = nullptr;
    RingFill(e);  // prime the ring
    if (!ps.hWaveOut) return;
    for (OutBuffer& b : ps.buffers) {
        b.bytes = ps.waveOutBufSize;
        if (e.io.waveOut.prepare)
            b.prepared = e.io.waveOut.prepare(e.io.waveOut.ctx, ps.hWaveOut, b);
        FillAndWrite(e, b);
        if (!ps.hWaveOut) return;
    }
}

void WaveOutCompletion(Engine& e, OutBuffer& b) {
    PlayState& ps = e.ps;
    if (!ps.hWaveOut) return;
    if (b.prepared && e.io.waveOut.unprepare)
        e.io.waveOut.unprepare(e.io.waveOut.ctx, ps.hWaveOut, b);
    b.prepared = false;
    if (b.stamp.bytePos < 0) {
        PlaybackEnded(e);  // a silence buffer came back: everything has been heard
        return;
    }
    SetPlayed(ps, b.stamp);
    ps.currentBuffer = b.index;
    if (ps.streamTap && e.io.host.streamFeed)
        e.io.host.streamFeed(e.io.host.ctx, b.data.data(), b.bytes, ps.mode24);
    if (e.io.host.refreshDisplay) e.io.host.refreshDisplay(e.io.host.ctx);
    if (ps.hWaveOut) FillAndWrite(e, b);
}

void DsTick(Engine& e, bool takeStamps) {
    PlayState& ps = e.ps;
    if (!ps.dsBuffer || !e.io.ds.playCursor || ps.dsBufferBytes == 0) return;
    uint32_t cursor = 0;
    if (!e.io.ds.playCursor(e.io.ds.ctx, ps, &cursor)) return;
    cursor %= ps.dsBufferBytes;
    if (takeStamps && ps.streamTap && e.io.host.streamFeed) DsFeedPlayed(e, ps.dsPlayPos, cursor);
    const uint32_t travel =
        (cursor + ps.dsBufferBytes - ps.dsPlayPos % ps.dsBufferBytes) % ps.dsBufferBytes;
    ps.dsPlayPos = cursor;
    ps.dsCurrentSlot = std::min(cursor / ps.dsSlotBytes, ps.dsSlotCount - 1);
    if (takeStamps && DsEndHeard(ps, travel)) {
        PlaybackEnded(e);  // only silence is left, and what was before it has been heard
        return;
    }
    // Room from the write position up to the cursor. A segment is written only when it leaves
    // room before the cursor, so the write position meets the cursor only while nothing is
    // queued: before the first write (priming). A buffer written full would look the same
    // and be written over before it was heard (a buffer of exactly three segments, primed by
    // four ticks, lost its first lap).
    int64_t space = int64_t{cursor} - ps.dsWritePos;
    if (space <= 0) space += ps.dsBufferBytes;
    if (space <= ps.dsSegmentBytes) return;
    if (ps.dsWritePos >= ps.dsBufferBytes) ps.dsWritePos = 0;
    const AudioStamp heard = ps.dsSlots[ps.dsCurrentSlot].stamp;
    if (takeStamps && heard.bytePos != -1) {
        SetPlayed(ps, heard);
        if (e.io.host.refreshDisplay) e.io.host.refreshDisplay(e.io.host.ctx);
    }
    const uint32_t bps = BytesPerSample(ps);
    const uint32_t samples = ps.dsSegmentBytes / bps;
    std::vector<uint8_t> block(samples * bps);
    AudioStamp st;
    // The level meters of the segment go into the slots it fills (silence clears them).
    uint16_t peaks[2][kMeterEntries]{};
    int32_t gains[kOutGains]{};
    uint32_t bytes = RenderBlock(e, block.data(), samples, st, peaks);
    if (e.io.dsp.gains) e.io.dsp.gains(e.io.dsp.ctx, gains);
    if (st.bytePos < 0) {
        // Silence after the end fills a whole segment, so that nothing old is heard again.
        bytes = samples / std::max<uint32_t>(ps.outChannels, 1) * ps.outChannels * bps;
        std::memset(block.data(), 0, bytes);
    }
    DsWrite(e, ps.dsWritePos, block.data(), bytes);
    DsStampSlots(ps, ps.dsWritePos, bytes, st);
    DsMeterSlots(ps, ps.dsWritePos, bytes, peaks, gains);
    ps.dsWritePos = (ps.dsWritePos + bytes) % ps.dsBufferBytes;
    if (RingActive(ps)) RingFill(e);  // the segment was taken: top the ring up
}

void CloseOutput(Engine& e) {
    PlayState& ps = e.ps;
    if (ps.dsBuffer || ps.dsound) {
        if (e.io.ds.close) e.io.ds.close(e.io.ds.ctx, ps);
        if (ps.dsTimerRunning && e.io.ds.killTimer) e.io.ds.killTimer(e.io.ds.ctx);
        ps.dsTimerRunning = false;
        ps.dsBuffer = ps.dsPrimary = ps.dsound = nullptr;
    }
    if (ps.hWaveOut) {
        const WaveOutOps& w = e.io.waveOut;
        void* hwo = ps.hWaveOut;
        ps.hWaveOut = nullptr;  // completions that arrive from now on are ignored
        if (w.reset) w.reset(w.ctx, hwo);
        for (OutBuffer& b : ps.buffers)
            if (b.prepared && w.unprepare) w.unprepare(w.ctx, hwo, b), b.prepared = false;
        if (w.close) w.close(w.ctx, hwo);
        for (OutBuffer& b : ps.buffers)
            if (b.header && w.freeHeader) w.freeHeader(w.ctx, b);
    }
    ps.buffers.clear();
    ps.lastWritten = nullptr;
    RingFree(ps);
}

void FadeInBlock(int16_t* samples, uint32_t n, uint32_t rate, uint32_t channels) {
    FadeIn(samples, n, rate, channels);
}
void FadeInBlock(float* samples, uint32_t n, uint32_t rate, uint32_t channels) {
    FadeIn(samples, n, rate, channels);
}

void MeterPass(uint16_t (*peaks)[kMeterEntries], int pass, const int16_t* samples, uint32_t n,
               uint32_t rate, uint32_t channels, bool precise) {
    MeterSamples(peaks, pass, samples, n, rate, channels, precise, 1.0f);
}

void PackFloat24(const float* samples, uint32_t n, uint8_t* out) {
    for (uint32_t i = 0; i < n; ++i) {
        const float x = std::clamp(samples[i], -1.0f, 1.0f);
        const int32_t v = static_cast<int32_t>(std::lround(x * 8388607.0));
        out[3 * i] = static_cast<uint8_t>(v);
        out[3 * i + 1] = static_cast<uint8_t>(v >> 8);
        out[3 * i + 2] = static_cast<uint8_t>(v >> 16);
    }
}

uint32_t EngineBytePos(const Engine& e) {
    return OutputOpen(e.ps) ? e.ps.playedBytePos : e.track.dwPointer;
}

std::string EngineDebugText(const Engine& e, double dpiFactor) {
    const PlayState& ps = e.ps;
    const MpegInfo& m = e.track;
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "dsound map pos: %d\ndsound write pos: %d\novReadPosSamp: %d\n"
                  "ovWritePosSamp: %d\novTrackEndSamp: %d\ndwPointer: %d\ndwAudioBeg: %d\n"
                  "dwAudioEnd: %d\nencoderDelay: %d\nencoderPadded: %d\n"
                  "waveOutBufs: %d x %d KB\ndpiFactor: %.2f \n\nDebug string:\n%s",
                  static_cast<int>(ps.dsCurrentSlot), static_cast<int>(ps.dsWritePos),
                  ps.ovReadPosSamp, ps.ovWritePosSamp, ps.ovTrackEndSamp,
                  static_cast<int>(m.dwPointer), static_cast<int>(m.dwAudioBeg),
                  static_cast<int>(m.dwAudioEnd), int{m.encoderDelay}, int{m.encoderPadded},
                  static_cast<int>(ps.waveOutBufs), static_cast<int>(ps.waveOutBufSize / 1024),
                  dpiFactor, ps.debugText.c_str());
    return buf;
}
