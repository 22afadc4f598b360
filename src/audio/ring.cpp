#include "audio/ring.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/decoder.h"
#include "audio/mpeg_scan.h"
#include "audio/resample.h"
#include "audio/track_start.h"
#include "config/settings.h"

namespace {

constexpr int32_t kSlotsPerSecond = 10;  // position slots: one per 1/10 s of ring
constexpr int32_t kSpareSlots = 16;
constexpr int32_t kDefaultRingSeconds = 10;  // overlap2buf low byte when it is 0
constexpr int32_t kPlainRingSeconds = 4;     // the ring without overlap mixing
constexpr uint32_t kLoudEndWindow = 100;     // samples before the end checked for loudness
constexpr int32_t kSilentMax16 = 50;         // a silent sample: magnitude <= 50 (-56 dB)
constexpr uint32_t kOverlapFrames = 40;      // loud frames the overlap may reach into
constexpr int32_t kThresholdUnit = 163;      // 1/200 of full scale in 16-bit units
constexpr uint32_t kTrailingTrimSeconds = 10;

bool OverlapOn(const Settings& s) {
    return GaplessOn(s) && (s.gapless & GaplessFlag::Overlap);
}

int32_t SlotCount(const PlayState& ps) {
    return ps.ringSeconds * kSlotsPerSecond;
}

int32_t SlotOf(const PlayState& ps, int32_t index) {
    if (ps.ovRingSize <= 0) return 0;
    const int32_t slots = SlotCount(ps);
    const auto s = static_cast<int32_t>(int64_t{index} * slots / ps.ovRingSize);
    return std::clamp(s, 0, slots - 1);
}

int32_t Wrap(const PlayState& ps, int64_t index) {
    int64_t i = index % ps.ovRingSize;
    if (i < 0) i += ps.ovRingSize;
    return static_cast<int32_t>(i);
}

uint32_t FileDecoder(const PlayState& ps) {
    return !ps.bassActive && !ps.pluginActive;
}

// Position of the decoder in ms: from the byte position for MPEG files, the position itself
// for BASS and plug-in sources (whose dwPointer counts ms).
uint32_t DecoderPosMs(const Engine& e) {
    const MpegInfo& m = e.track;
    if (!FileDecoder(e.ps)) return m.dwPointer;
    return MpegLengthMs(m, m.dwPointer > m.dwAudioBeg ? m.dwPointer - m.dwAudioBeg : 0);
}

// Step 2 of the fill: the slots from the write index on, for at most one second and not into
// the slot being read, get the decoder's position and the track length.
void StampSlots(Engine& e) {
    PlayState& ps = e.ps;
    const int32_t slots = SlotCount(ps);
    if (ps.posSlotMs.size() < static_cast<size_t>(slots) ||
        ps.posSlotLen.size() < ps.posSlotMs.size()) {
        ps.debugText = "ov pointers NULL";
        return;
    }
    const int32_t w = SlotOf(ps, ps.ovWritePosSamp), r = SlotOf(ps, ps.ovReadPosSamp);
    const bool atStart = ps.ovWritePosSamp == 0 && ps.ovReadPosSamp == 0;
    const uint32_t pos = DecoderPosMs(e), len = e.track.lengthMs;
    int32_t s = w;
    for (int32_t j = 0; j < slots / ps.ringSeconds; ++j, s = (s + 1) % slots) {
        // The write slot itself is always stamped: an empty ring holds nothing else there.
        if (j > 0 && s == r && !atStart) break;
        ps.posSlotMs[s] = pos;
        ps.posSlotLen[s] = len;
    }
    ps.posSlotLast = w;
}

template <typename T>
T* RingData(PlayState& ps);
template <>
int16_t* RingData<int16_t>(PlayState& ps) {
    return ps.ovRing16.data();
}
template <>
float* RingData<float>(PlayState& ps) {
    return ps.ovRingF.data();
}

int16_t MixClamp(int16_t a, int16_t b) {
    return static_cast<int16_t>(std::clamp(int32_t{a} + b, -32767, 32767));
}
float MixClamp(float a, float b) {
    return std::clamp(a + b, -1.0f, 1.0f);
}

// Step 4: n samples at the write index; added to the old track's tail while it lasts.
template <typename T>
void WriteRing(PlayState& ps, const T* src, int32_t n) {
    T* ring = RingData<T>(ps);
    int32_t w = ps.ovWritePosSamp;
    int32_t i = 0;
    while (i < n && ps.ovTrackEndSamp >= 0) {
        if (w == ps.ovTrackEndSamp) {
            ps.ovTrackEndSamp = -1;
            break;
        }
        ring[w] = MixClamp(ring[w], src[i++]);
        if (++w == ps.ovRingSize) w = 0;
    }
    while (i < n) {  // plain copy, in two parts at the wrap
        const int32_t part = std::min(n - i, ps.ovRingSize - w);
        std::memcpy(ring + w, src + i, sizeof(T) * static_cast<size_t>(part));
        i += part;
        w += part;
        if (w == ps.ovRingSize) w = 0;
    }
    ps.ovWritePosSamp = w;
}

template <typename T>
int32_t ReadRing(PlayState& ps, T* dst, uint32_t wanted) {
    if (!ps.ovRing) return -1;
    const int32_t n = static_cast<int32_t>(std::min<uint32_t>(wanted, RingFillSamples(ps)));
    const T* ring = RingData<T>(ps);
    int32_t r = ps.ovReadPosSamp;
    for (int32_t i = 0; i < n;) {
        const int32_t part = std::min(n - i, ps.ovRingSize - r);
        std::memcpy(dst + i, ring + r, sizeof(T) * static_cast<size_t>(part));
        i += part;
        r += part;
        if (r == ps.ovRingSize) r = 0;
    }
    ps.ovReadPosSamp = r;
    return n;
}

// Step 3 of the fill: decodes `chunk` output samples' worth, resampled to a forced format when
// the source differs from it; writes them. False when the decoder delivered nothing.
template <typename T>
bool DecodeIntoRing(Engine& e, int32_t chunk) {
    PlayState& ps = e.ps;
    const uint32_t outRate = ps.outRate, outCh = ps.outChannels;
    const uint32_t srcRate = ps.srcRate ? ps.srcRate : outRate;
    const uint32_t srcCh = ps.srcChannels ? ps.srcChannels : outCh;
    const bool resample = ps.forcedRate != 0 && (srcRate != outRate || srcCh == 1);
    uint32_t want = static_cast<uint32_t>(chunk);
    if (resample) {
        const double ratio = double(srcRate) * srcCh / (double(outRate) * outCh);
        want = static_cast<uint32_t>(ratio * chunk);
        want -= want % srcCh;
    }
    // The low-pass of the "LP" formats only helps when a rate below 44,100 Hz is raised.
    LowPassFilter* lp =
        ps.lowPassOn && srcRate < 44100 && outRate > srcRate ? &ps.lowPass : nullptr;
    if constexpr (sizeof(T) == 2) {
        std::vector<int16_t>& pcm = ps.ovDecoded;
        if (pcm.size() < want) pcm.resize(want);
        const uint32_t got = DecodeBlock(e, reinterpret_cast<uint8_t*>(pcm.data()), want * 2) / 2;
        if (got == 0) return false;
        if (!resample) {
            WriteRing<int16_t>(ps, pcm.data(), static_cast<int32_t>(got));
            return true;
        }
        std::vector<int16_t>& out = ps.ovOut16;
        out.resize(ResampledSamples(got, srcCh, srcRate, outCh, outRate));
        const uint32_t n =
            Resample16(pcm.data(), got, srcCh, srcRate, out.data(), outCh, outRate, lp);
        WriteRing<int16_t>(ps, out.data(), static_cast<int32_t>(n));
    } else {
        std::vector<float>& f = ps.ovOutF;
        f.resize(want);
        const uint32_t got = DecodeBlockFloat(e, f.data(), want);
        if (got == 0) return false;
        f.resize(got);
        if (!resample) {
            WriteRing<float>(ps, f.data(), static_cast<int32_t>(got));
            return true;
        }
        std::vector<float>& out = ps.ovOutF2;
        out.resize(ResampledSamples(got, srcCh, srcRate, outCh, outRate));
        const uint32_t n =
            ResampleFloat(f.data(), got, srcCh, srcRate, out.data(), outCh, outRate, lp);
        WriteRing<float>(ps, out.data(), static_cast<int32_t>(n));
    }
    return true;
}

// Padding at the end of a track: the write index goes back over the samples the encoder added
// (never behind what is still unread).
void CutPadding(Engine& e) {
    PlayState& ps = e.ps;
    MpegInfo& m = e.track;
    if (!FileDecoder(ps) || m.encoderPadded == 0) return;
    const uint32_t padded = m.encoderPadded;
    m.encoderPadded = 0;  // applied once
    // Padding below the decoder delay would move the index forward over audio of no track: the
    // end is left where the decoder stopped.
    if (padded <= kDecoderDelay) return;
    uint64_t frames = padded - kDecoderDelay;
    if (ps.forcedRate && ps.srcRate && ps.srcRate != ps.outRate)
        frames = static_cast<uint64_t>(std::llround(double(frames) * ps.outRate / ps.srcRate));
    const uint64_t back = std::min<uint64_t>(frames * ps.outChannels, RingFillSamples(ps));
    ps.ovWritePosSamp = Wrap(ps, int64_t{ps.ovWritePosSamp} - static_cast<int64_t>(back));
}

template <typename T>
void FadeRingTail(PlayState& ps, uint32_t len, int32_t fadeDecay) {
    T* ring = RingData<T>(ps);
    FadeCurve c = MakeFadeCurve(len, fadeDecay);
    int32_t at = Wrap(ps, int64_t{ps.ovWritePosSamp} - len);
    for (uint32_t i = 0; i < len; ++i) {
        ring[at] = static_cast<T>(ring[at] * c.Next());
        if (++at == ps.ovRingSize) at = 0;
    }
}

// A track that ends loud is kept apart from the next one, or its end is faded.
void LoudEnd(Engine& e) {
    PlayState& ps = e.ps;
    const Settings& s = e.s;
    if (!OverlapOn(s) || ps.ovWritePosSamp <= static_cast<int32_t>(kLoudEndWindow)) return;
    float peak = 0;
    for (uint32_t i = 1; i <= kLoudEndWindow; ++i) {
        const int32_t at = ps.ovWritePosSamp - static_cast<int32_t>(i);
        // The 24-bit ring compares its floats in 16-bit units, so one limit serves both.
        const float v = ps.mode24 ? std::fabs(ps.ovRingF[at]) * 32768.0f
                                  : std::fabs(static_cast<float>(ps.ovRing16[at]));
        peak = std::max(peak, v);
    }
    const float limit = static_cast<float>((s.overlap2 >> 8) * 10);
    if (peak <= limit) return;
    if (s.wave_flags & WaveFlag::LoudEndNoOverlap) {
        ps.noOverlapThisEnd = true;
    } else if (s.wave_flags & WaveFlag::LoudEndFade) {
        const uint64_t len =
            uint64_t{ps.outChannels} * StopFadeMs(s.fadeout) * ps.outRate / 1000;
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(len, uint64_t(ps.ovRingSize)));
        if (ps.mode24)
            FadeRingTail<float>(ps, n, s.fade_decay);
        else
            FadeRingTail<int16_t>(ps, n, s.fade_decay);
    }
}

bool Silent(int16_t v) {
    return v >= -kSilentMax16 && v <= kSilentMax16;
}

bool FrameSilent(const int16_t* f, uint32_t ch) {
    for (uint32_t c = 0; c < ch; ++c)
        if (!Silent(f[c])) return false;
    return true;
}

// Skip silences on a block of n samples: leading silence at the track's start, trailing
// silence in its last ten seconds. Returns the samples kept (0: drop the block).
uint32_t SkipSilences(Engine& e, int16_t* pcm, uint32_t n, uint32_t ch) {
    PlayState& ps = e.ps;
    const MpegInfo& m = e.track;
    const uint32_t frames = n / ch;
    if (ps.trimThreshold == 0) {
        uint32_t lead = 0;
        while (lead < frames && FrameSilent(pcm + lead * ch, ch)) ++lead;
        if (lead == frames) return 0;
        std::memmove(pcm, pcm + lead * ch, (n - lead * ch) * sizeof(int16_t));
        const double tail = kTrailingTrimSeconds * double(m.avgBitrate) / 8.0;
        const double at = double(m.dwAudioEnd) - tail;
        ps.trimThreshold =
            static_cast<uint32_t>(std::clamp(at, 1.0, double(std::max(m.dwAudioEnd, 1u))));
        return n - lead * ch;
    }
    if (m.dwPointer <= ps.trimThreshold) return n;
    uint32_t keep = frames;
    while (keep > 0 && FrameSilent(pcm + (keep - 1) * ch, ch)) --keep;
    return keep * ch;  // cut right after the last frame that is not silent
}

}  // namespace

bool GaplessOn(const Settings& s) {
    return (s.gapless & GaplessFlag::Enable) && !(s.autospace & kAutospaceOn);
}

void RingFree(PlayState& ps) {
    ps.ovRing = nullptr;
    ps.ovRing16 = {};
    ps.ovRingF = {};
    ps.posSlotMs = {};
    ps.posSlotLen = {};
    ps.ovDecoded = {};
    ps.ovOut16 = {};
    ps.ovOutF = {};
    ps.ovOutF2 = {};
    ps.ovRingSize = 0;
    ps.ovReadPosSamp = ps.ovWritePosSamp = 0;
    ps.ovTrackEndSamp = -1;
    ps.ovTrackEndMark = 0;
    ps.posSlotLast = -1;
}

bool RingActive(const PlayState& ps) {
    return ps.ovRing != nullptr && ps.ovRingSize > 0;
}

void RingAllocate(Engine& e, uint32_t& rate, uint32_t& channels) {
    PlayState& ps = e.ps;
    const Settings& s = e.s;
    RingFree(ps);
    ps.forcedRate = 0;
    ps.lowPassOn = false;
    if (!GaplessOn(s) || ps.urlStream) return;
    if (OverlapOn(s)) {
        ps.ringSeconds = (s.overlap2buf & 0xFF) ? (s.overlap2buf & 0xFF) : kDefaultRingSeconds;
        const uint32_t format = s.overlap2buf >> 8;
        if (format == 1 || format == 3) ps.forcedRate = 44100;
        if (format == 2 || format == 4) ps.forcedRate = 48000;
        ps.lowPassOn = format == 3 || format == 4;
    } else {
        ps.ringSeconds = kPlainRingSeconds;
    }
    if (ps.forcedRate) {
        rate = static_cast<uint32_t>(ps.forcedRate);
        channels = 2;
    }
    ps.ovRingSize = static_cast<int32_t>(rate * channels * static_cast<uint32_t>(ps.ringSeconds));
    if (ps.ovRingSize <= 0) return;
    if (ps.mode24) {
        ps.ovRingF.assign(static_cast<size_t>(ps.ovRingSize), 0.0f);
        ps.ovRing = ps.ovRingF.data();
    } else {
        ps.ovRing16.assign(static_cast<size_t>(ps.ovRingSize), 0);
        ps.ovRing = ps.ovRing16.data();
    }
    const size_t slots = static_cast<size_t>(SlotCount(ps) + kSpareSlots);
    ps.posSlotMs.assign(slots, 0);
    ps.posSlotLen.assign(slots, 0);
}

void RingPrepareTrack(PlayState& ps, uint32_t srcRate) {
    ps.lowPass = LowPassFilter{};
    if (ps.forcedRate && srcRate && srcRate < static_cast<uint32_t>(ps.forcedRate))
        LowPassPrepare(ps.lowPass, srcRate / 2.1, ps.forcedRate);
}

void RingFill(Engine& e) {
    PlayState& ps = e.ps;
    if (!RingActive(ps) || ps.trackEnded || ps.outChannels == 0) return;
    int32_t room = ps.ovReadPosSamp - ps.ovWritePosSamp;
    if (room <= 0) room += ps.ovRingSize;
    if (room > 2) room -= 2;  // the write index never catches up with the read index
    int32_t chunk = std::min<int32_t>(room, static_cast<int32_t>(ps.outRate * ps.outChannels));
    chunk -= chunk % static_cast<int32_t>(ps.outChannels);
    if (chunk < std::min(kMinFillSamples, ps.ovRingSize / 2)) return;
    StampSlots(e);
    const bool got =
        ps.mode24 ? DecodeIntoRing<float>(e, chunk) : DecodeIntoRing<int16_t>(e, chunk);
    if (got) return;
    // The decoder has delivered the whole track.
    ps.trackEnded = true;
    ps.ovTrackEndMark = ps.ovWritePosSamp;
    if (OverlapOn(e.s) && !ps.noOverlapThisEnd) RingOverlapSearch(e);
    EngineTrackEnd(e);
    // No track followed at once (the end of the list, a stop after the track, a later start):
    // the overlap is given up, so that the tail it had placed the write index over is heard.
    if (ps.trackEnded && RingActive(ps) && ps.ovTrackEndSamp >= 0) {
        ps.ovWritePosSamp = ps.ovTrackEndSamp;
        ps.ovTrackEndSamp = -1;
    }
}

int32_t RingRead(PlayState& ps, int16_t* dst, uint32_t wanted) {
    if (ps.mode24) return -1;
    return ReadRing(ps, dst, wanted);
}

int32_t RingReadFloat(PlayState& ps, float* dst, uint32_t wanted) {
    if (!ps.mode24) return -1;
    return ReadRing(ps, dst, wanted);
}

uint32_t RingFillSamples(const PlayState& ps) {
    if (!RingActive(ps)) return 0;
    int32_t fill = ps.ovWritePosSamp - ps.ovReadPosSamp;
    if (fill < 0) fill += ps.ovRingSize;
    return static_cast<uint32_t>(fill);
}

uint32_t RingFillMs(const PlayState& ps) {
    const uint64_t perSecond = uint64_t{ps.outRate} * ps.outChannels;
    if (perSecond == 0) return 0;
    return static_cast<uint32_t>(uint64_t{RingFillSamples(ps)} * 1000 / perSecond);
}

void RingRewindToTrackEnd(PlayState& ps) {
    if (!RingActive(ps)) return;
    ps.ovWritePosSamp = Wrap(ps, ps.ovTrackEndMark);
    ps.ovTrackEndSamp = -1;
}

uint32_t RingPositionEstimate(const Engine& e) {
    const PlayState& ps = e.ps;
    const double perSecond = double(ps.outRate) * ps.outChannels;
    const double seconds = perSecond > 0 ? RingFillSamples(ps) / perSecond : 0.0;
    const double back = FileDecoder(ps) ? seconds * e.track.avgBitrate / 8.0 : seconds * 1000.0;
    const double pos = double(e.track.dwPointer) - back;
    return pos > 0 ? static_cast<uint32_t>(pos) : 0;
}

AudioStamp RingStamp(Engine& e) {
    PlayState& ps = e.ps;
    AudioStamp st{RingPositionEstimate(e), ps.playedMs, ps.playedLengthMs};
    const int32_t slot = SlotOf(ps, ps.ovReadPosSamp);
    if (static_cast<size_t>(slot) >= ps.posSlotMs.size() ||
        ps.posSlotLen.size() != ps.posSlotMs.size()) {
        ps.debugText = "ov pointers NULL";
        return st;
    }
    st.posMs = ps.posSlotMs[slot];
    st.lengthMs = ps.posSlotLen[slot];
    return st;
}

uint32_t RingPostProcess(Engine& e, int16_t* dst, uint32_t bytes, uint32_t posBefore,
                         bool& dropped) {
    dropped = false;
    PlayState& ps = e.ps;
    const MpegInfo& m = e.track;
    const uint32_t ch = ps.srcChannels;
    if (!RingActive(ps) || !GaplessOn(e.s) || ch < 1 || ch > 2) return bytes;
    uint32_t n = bytes / 2 / ch * ch;
    if (n == 0) {  // the end of the track
        CutPadding(e);
        LoudEnd(e);
        return 0;
    }
    if (FileDecoder(ps) && posBefore == m.dwAudioBeg && m.encoderDelay > 0) {
        const uint32_t cut = (m.encoderDelay + kDecoderDelay) * ch;
        if (n > cut) {
            std::memmove(dst, dst + cut, (n - cut) * sizeof(int16_t));
            n -= cut;
        }
    }
    if ((e.s.gapless & GaplessFlag::SkipSilences) && !ps.pluginActive && posBefore < m.dwAudioEnd) {
        n = SkipSilences(e, dst, n, ch);
        if (n == 0) {
            dropped = true;  // wholly silent: the caller decodes the next block
            return 0;
        }
    }
    return n * 2;
}

void RingOverlapSearch(Engine& e) {
    PlayState& ps = e.ps;
    if (!RingActive(ps)) return;
    const int32_t ch = static_cast<int32_t>(std::max<uint32_t>(ps.outChannels, 1));
    const uint32_t low = e.s.overlap2 & 0xFF;
    const float threshold = ps.mode24 ? low / 200.0f : static_cast<float>(low * kThresholdUnit);
    // One second next to the read index is never overlapped.
    const int64_t range = int64_t{RingFillSamples(ps)} - int64_t{ps.outRate} * ch;
    int32_t pos = ps.ovWritePosSamp;
    int64_t used = 0;
    uint32_t counted = 0;
    auto mag = [&](int32_t at) {
        return ps.mode24 ? std::fabs(ps.ovRingF[at]) : std::fabs(float(ps.ovRing16[at]));
    };
    while (counted < kOverlapFrames && used + ch <= range) {
        pos = Wrap(ps, int64_t{pos} - ch);
        used += ch;
        if (mag(pos) > threshold || mag(pos + ch - 1) > threshold) ++counted;
    }
    ps.ovTrackEndSamp = ps.ovWritePosSamp;
    ps.ovWritePosSamp = pos;
}
