#include "http/stream_encode.h"

#include <cstring>

BeConfig StreamLameConfig(const HttpServConfig& c) {
    BeConfig b;
    std::memset(&b, 0, sizeof b);
    b.dwConfig = BE_CONFIG_LAME;
    auto& l = b.format.LHV1;
    l.dwStructVersion = 1;
    l.dwStructSize = sizeof(BeConfig);
    l.dwSampleRate = l.dwReSampleRate = c.streamRate;
    l.nMode = c.mode == 'b'   ? BE_MP3_MODE_STEREO
              : c.mode == 'c' ? BE_MP3_MODE_MONO
                              : BE_MP3_MODE_JSTEREO;
    l.dwBitrate = static_cast<uint32_t>(HttpStreamKbps(c.bitrate));
    l.dwMaxBitrate = 320;
    l.nPreset = 2;
    l.dwMpegVersion = 1;
    const int q = HttpStreamVbrQuality(c.bitrate);
    if (q >= 0) {
        l.bEnableVBR = 1;
        l.nVbrMethod = 2;
        l.nVBRQuality = q;
        l.dwBitrate = 32;  // the smallest rate VBR may choose
    } else {
        l.nVbrMethod = -1;
        l.nVBRQuality = 4;
    }
    return b;
}

StreamAcmFormat StreamAcmFormatFor(const HttpServConfig& c) {
    static const uint32_t kBytesPerSec[] = {4000, 6000, 8000, 10000, 12000, 16000, 20000, 24000,
                                            32000};
    StreamAcmFormat f;
    f.channels = static_cast<uint16_t>(c.streamChannels);
    f.rate = c.streamRate;
    f.avgBytesPerSec = c.bitrate >= 'a' && c.bitrate <= 'i' ? kBytesPerSec[c.bitrate - 'a'] : 16000;
    f.blockSize = static_cast<uint16_t>(1152ull * f.avgBytesPerSec / f.rate);
    return f;
}

int StreamEncodeChunks(uint8_t* work, uint32_t& carry, uint32_t fresh, uint32_t chunkSamples,
                       const StreamChunkEncoder& enc, std::vector<uint8_t>& out) {
    const uint32_t total = carry + fresh;
    const uint32_t chunkBytes = chunkSamples * 2;
    uint32_t at = 0;
    std::vector<int16_t> samples(chunkSamples);  // aligned: work holds bytes at any offset
    for (; chunkBytes > 0 && at + chunkBytes <= total; at += chunkBytes) {
        std::memcpy(samples.data(), work + at, chunkBytes);
        if (const int err = enc.encode(enc.ctx, samples.data(), chunkSamples, out)) {
            carry = 0;
            return err;
        }
    }
    carry = total - at;
    std::memmove(work, work + at, carry);
    return 0;
}
