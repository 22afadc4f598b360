// Fades on stop and skip over the queued output, and the mix of a manually chosen track into
// that fading queue.
#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/fast_play.h"
#include "audio/output.h"
#include "audio/ring.h"
#include "config/settings.h"

namespace {

// DirectSound keeps this much after the play cursor untouched: the device may already have
// taken it.
uint32_t DsMargin(const PlayState& ps) {
    return ps.outRate >= 32000 ? 16384 : 8192;
}

uint32_t BytesPerSample(const PlayState& ps) {
    return ps.mode24 ? 3 : 2;
}

int32_t Unpack24(const uint8_t* p) {
    const int32_t v = p[0] | p[1] << 8 | p[2] << 16;
    return v & 0x800000 ? v - 0x1000000 : v;
}

void Pack24(uint8_t* p, int32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

// Multiplies `bytes` of output samples by the curve, continuing where it stopped.
void FadeBytes(uint8_t* data, uint32_t bytes, bool mode24, FadeCurve& c) {
    if (!data) return;
    if (!mode24) {
        auto* s = reinterpret_cast<int16_t*>(data);
        for (uint32_t i = 0; i < bytes / 2; ++i) s[i] = static_cast<int16_t>(s[i] * c.Next());
        return;
    }
    for (uint32_t i = 0; i + 3 <= bytes; i += 3) {
        const double x = Unpack24(data + i) / 8388607.0 * c.Next();
        Pack24(data + i, static_cast<int32_t>(std::lround(std::clamp(x, -1.0, 1.0) * 8388607.0)));
    }
}

// The wave-out buffers from the oldest queued one to lastWritten (write order: the buffers are
// refilled in the order the device gives them back).
std::vector<OutBuffer*> QueueOrder(PlayState& ps) {
    std::vector<OutBuffer*> order;
    const size_t n = ps.buffers.size();
    const size_t first = ps.lastWritten ? (static_cast<size_t>(ps.lastWritten->index) + 1) % n : 0;
    for (size_t k = 0; k < n; ++k) order.push_back(&ps.buffers[(first + k) % n]);
    return order;
}

bool SoftwareVolume(const Engine& e) {
    return (e.s.wave_flags & WaveFlag::InternalVolume) && !e.ps.mode24;
}

// Reads up to n samples of the new track from the ring and runs them through fast play, the
// processing chain and software volume, as the block pipeline does. Returns the samples ready.
uint32_t NextMixBlock(Engine& e, uint32_t n, std::vector<int16_t>& pcm, std::vector<float>& f) {
    PlayState& ps = e.ps;
    const uint32_t ch = std::max<uint32_t>(ps.outChannels, 1);
    n = n / ch * ch;
    if (!ps.mode24) {
        pcm.resize(n);
        int32_t got = RingRead(ps, pcm.data(), n);
        if (got <= 0) return 0;
        auto m = static_cast<uint32_t>(got);
        if (FastPlayApplies(ps)) m = FastPlay16(ps, pcm.data(), m, ps.outRate, ch);
        if (e.io.dsp.processPcm16)
            e.io.dsp.processPcm16(e.io.dsp.ctx, pcm.data(), static_cast<int>(m / ch),
                                  static_cast<int>(ch));
        if (SoftwareVolume(e)) ApplySoftwareVolume(pcm.data(), m, ps.swGain);
        return m;
    }
    f.resize(n);
    const int32_t got = RingReadFloat(ps, f.data(), n);
    if (got <= 0) return 0;
    auto m = static_cast<uint32_t>(got);
    if (FastPlayApplies(ps)) m = FastPlayFloat(ps, f.data(), m, ps.outRate, ch);
    if (e.io.dsp.processFloat)
        e.io.dsp.processFloat(e.io.dsp.ctx, f.data(), static_cast<int>(m / ch),
                              static_cast<int>(ch));
    return m;
}

// Adds m prepared samples into queued output bytes (16-bit, or 24-bit in the top three bytes of
// a 32-bit value).
void AddInto(uint8_t* data, uint32_t bytes, bool mode24, const int16_t* pcm, const float* f,
             uint32_t& at, uint32_t m) {
    if (!data) return;
    if (!mode24) {
        auto* s = reinterpret_cast<int16_t*>(data);
        for (uint32_t i = 0; i < bytes / 2 && at < m; ++i, ++at)
            s[i] = static_cast<int16_t>(std::clamp(int32_t{s[i]} + pcm[at], -32767, 32767));
        return;
    }
    for (uint32_t i = 0; i + 3 <= bytes && at < m; i += 3, ++at) {
        const double sum = std::clamp(Unpack24(data + i) / 8388608.0 + f[at], -1.0, 0.999);
        const auto v = static_cast<int32_t>(sum * 2147483648.0);
        Pack24(data + i, v >> 8);
    }
}

void MixWaveOut(Engine& e) {
    PlayState& ps = e.ps;
    const uint32_t bps = BytesPerSample(ps);
    std::vector<int16_t> pcm;
    std::vector<float> f;
    for (OutBuffer* b : QueueOrder(ps)) {
        const AudioStamp st = RingStamp(e);
        const uint32_t m = NextMixBlock(e, b->bytes / bps, pcm, f);
        if (m == 0) break;
        uint32_t at = 0;
        AddInto(b->data.data(), b->bytes, ps.mode24, pcm.data(), f.data(), at, m);
        b->stamp = st;  // a silence buffer of the old end now carries the new track
    }
}

void MixDirectSound(Engine& e, uint32_t cursor) {
    PlayState& ps = e.ps;
    const uint32_t bps = BytesPerSample(ps), margin = DsMargin(ps);
    if (ps.dsBufferBytes <= 2 * margin || !e.io.ds.lock) return;
    uint32_t fadeStart = (cursor + margin) % ps.dsBufferBytes;
    if (ps.mode24) fadeStart -= fadeStart % 3;
    ps.dsWritePos = (fadeStart + margin) % ps.dsBufferBytes;
    uint32_t seg = ps.dsSegmentBytes;
    if (ps.mode24) seg = seg * 3 / 4 / 3 * 3;
    const uint32_t segments =
        (ps.dsBufferBytes - 2 * margin) / std::max<uint32_t>(ps.dsSegmentBytes, 1);
    std::vector<int16_t> pcm;
    std::vector<float> f;
    for (uint32_t k = 0; k < segments; ++k) {
        const AudioStamp st = RingStamp(e);
        const uint32_t m = NextMixBlock(e, seg / bps, pcm, f);
        if (m == 0) break;
        DsRegion r;
        if (!e.io.ds.lock(e.io.ds.ctx, ps, ps.dsWritePos, m * bps, r)) break;
        uint32_t at = 0;
        AddInto(r.p1, r.n1, ps.mode24, pcm.data(), f.data(), at, m);
        AddInto(r.p2, r.n2, ps.mode24, pcm.data(), f.data(), at, m);
        if (e.io.ds.unlock) e.io.ds.unlock(e.io.ds.ctx, ps, r);
        DsStampSlots(ps, ps.dsWritePos, m * bps, st);
        ps.dsWritePos = (ps.dsWritePos + m * bps) % ps.dsBufferBytes;
    }
}

}  // namespace

double FadeCurve::Next() {
    if (i >= n) return 0.0;
    const double g = factor - offset;
    factor *= step;
    offset += offsetStep;
    ++i;
    return std::max(0.0, g);
}

FadeCurve MakeFadeCurve(uint64_t n, int32_t fadeDecay) {
    FadeCurve c;
    c.n = n;
    if (n == 0) return c;
    const double k = (8 - std::clamp(fadeDecay, 0, 8)) * 5.0;
    const double floor = 1.0 / (k * k + 1.0);  // c: 1 (linear) down to 1/1,601
    c.step = std::pow(floor, 1.0 / double(n));
    c.offsetStep = floor / double(n);
    return c;
}

uint32_t FadeQueuedAudio(Engine& e, uint32_t ms) {
    PlayState& ps = e.ps;
    const uint64_t len =
        static_cast<uint64_t>(std::llround(double(ms) * ps.outRate * ps.outChannels / 1000.0));
    const uint32_t bps = BytesPerSample(ps);
    if (ps.hWaveOut && !ps.buffers.empty()) {
        const uint64_t cap =
            uint64_t{ps.waveOutBufs > 0 ? ps.waveOutBufs - 1 : 0} * (ps.waveOutBufSize / bps);
        const bool capped = len > cap;
        FadeCurve c = MakeFadeCurve(capped ? cap : len, e.s.fade_decay);
        for (OutBuffer* b : QueueOrder(ps)) FadeBytes(b->data.data(), b->bytes, ps.mode24, c);
        return capped ? ps.queuedMs : ms;
    }
    if (ps.dsBuffer && e.io.ds.playCursor && e.io.ds.lock && ps.dsBufferBytes > DsMargin(ps)) {
        uint32_t cursor = 0;
        if (!e.io.ds.playCursor(e.io.ds.ctx, ps, &cursor)) return 0;
        const uint32_t margin = DsMargin(ps);
        uint32_t start = (cursor % ps.dsBufferBytes + margin) % ps.dsBufferBytes;
        if (ps.mode24) start -= start % 3;
        const uint32_t bytes = (ps.dsBufferBytes - margin) / bps * bps;
        const auto cap = static_cast<uint64_t>(bytes / 2.5);
        const bool capped = len > cap;
        DsRegion r;
        if (!e.io.ds.lock(e.io.ds.ctx, ps, start, bytes, r)) return 0;
        FadeCurve c = MakeFadeCurve(capped ? cap : len, e.s.fade_decay);
        FadeBytes(r.p1, r.n1, ps.mode24, c);
        FadeBytes(r.p2, r.n2, ps.mode24, c);
        if (e.io.ds.unlock) e.io.ds.unlock(e.io.ds.ctx, ps, r);
        return capped ? ps.queuedMs : ms;
    }
    return 0;
}

void RingMixIntoQueue(Engine& e) {
    PlayState& ps = e.ps;
    if (!RingActive(ps) || !OutputOpen(ps)) return;
    uint32_t cursor = 0;
    const bool ds =
        ps.dsBuffer && e.io.ds.playCursor && e.io.ds.playCursor(e.io.ds.ctx, ps, &cursor);
    // The new track from its start, one queue length of it.
    ps.ovReadPosSamp = ps.ovWritePosSamp = 0;
    ps.ovTrackEndSamp = -1;
    ps.posSlotLast = -1;
    const int64_t queue = int64_t{ps.outRate} * ps.outChannels * e.s.outbuflength / 4;
    while (!ps.trackEnded && ps.ovWritePosSamp < queue) {
        const int32_t before = ps.ovWritePosSamp;
        RingFill(e);
        if (ps.ovWritePosSamp == before) break;  // the ring is full
    }
    if (!OutputOpen(ps)) return;  // the end of a short track may have stopped everything
    if (ds)
        MixDirectSound(e, cursor % std::max<uint32_t>(ps.dsBufferBytes, 1));
    else if (ps.hWaveOut && !ps.buffers.empty())
        MixWaveOut(e);
}
