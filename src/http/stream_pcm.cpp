#include "http/stream_pcm.h"

#include <algorithm>

uint32_t StreamPcm24To16(const uint8_t* in, uint32_t bytes, int16_t* out) {
    const uint32_t samples = bytes / 3;
    for (uint32_t i = 0; i < samples; ++i) {
        const uint8_t* p = in + 3 * i;
        const uint32_t top = static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                             static_cast<uint32_t>(p[2]) << 24;
        out[i] = static_cast<int16_t>(static_cast<int32_t>(top) / 65536);
    }
    return samples * 2;
}

uint32_t StreamConvert(const int16_t* in, uint32_t bytes, StreamFormat from, StreamFormat to,
                       int16_t* out, uint32_t outRoom, uint32_t* used) {
    const uint32_t cin = from.channels == 1 ? 1 : 2, cout = to.channels == 1 ? 1 : 2;
    if (used) *used = 0;
    if (from.rate == 0 || to.rate == 0) return 0;
    const double ratio = static_cast<double>(to.rate) / from.rate;
    const uint32_t n = std::min(bytes, StreamConvertInputLimit(from, to));
    if (used) *used = n;
    const uint32_t inSamples = n / 2;
    uint32_t outSamples = static_cast<uint32_t>(ratio * inSamples * cout / cin);
    outSamples = std::min(outSamples, outRoom / 2);
    const uint32_t frames = outSamples / cout;
    const double step = cin / ratio;  // source samples per output frame
    double p = 0.0;
    for (uint32_t f = 0; f < frames; ++f) {
        const uint32_t i = static_cast<uint32_t>(p);
        const uint32_t b = i - i % cin;
        if (b + cin > inSamples) return f * cout * 2;  // past the last whole frame
        int v[2] = {0, 0};
        for (uint32_t k = 0; k < cin; ++k) {
            const double a = in[b + k];
            // The last frame has no successor: it is held.
            const double next = b + cin + k < inSamples ? in[b + cin + k] : a;
            const double x = a + (p - b) * (next - a) / step;
            v[k] = x < -32768.0 || x > 32767.0 ? -32768 : static_cast<int>(x);
        }
        int16_t* o = out + static_cast<size_t>(f) * cout;
        if (cin == cout) {
            for (uint32_t k = 0; k < cout; ++k) o[k] = static_cast<int16_t>(v[k]);
        } else if (cout == 1) {
            o[0] = static_cast<int16_t>((v[0] + v[1]) / 2);
        } else {
            o[0] = o[1] = static_cast<int16_t>(v[0]);
        }
        p += step;
    }
    return frames * cout * 2;
}

uint32_t StreamConvertInputLimit(StreamFormat from, StreamFormat to) {
    const uint32_t cin = from.channels == 1 ? 1 : 2, cout = to.channels == 1 ? 1 : 2;
    if (from.rate == 0 || to.rate == 0) return 0;
    const double growth = static_cast<double>(to.rate) / from.rate * cout / cin;
    uint32_t n = std::min<uint32_t>(kStreamTakeBytes, static_cast<uint32_t>(kStreamTakeBytes / growth));
    return n - n % (2 * cin);  // whole input frames
}

uint32_t StreamSilenceBytes(uint32_t elapsedMs, StreamFormat f) {
    const uint64_t samples = static_cast<uint64_t>(elapsedMs) * f.rate / 1000;
    const uint64_t bytes = samples * 2 * (f.channels == 1 ? 1 : 2);
    return static_cast<uint32_t>(std::min<uint64_t>(bytes, kStreamSilenceMax));
}
