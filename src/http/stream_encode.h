// The stream encoder's settings and its bulk encoding: the LAME configuration and the ACM
// Layer-3 format for the `httpserv` letters, and the cutting of each cycle's PCM into the
// encoder's chunks with the remainder carried into the next cycle.
#pragma once
#include <cstdint>
#include <vector>

#include "http/http_config.h"
#include "http/lame_be.h"

constexpr uint32_t kStreamOutBytes = 175000;  // encoded bytes one cycle may give

BeConfig StreamLameConfig(const HttpServConfig& c);

// The MPEG Layer-3 destination format of the ACM codec.
struct StreamAcmFormat {
    uint16_t formatTag = 0x0055;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint32_t avgBytesPerSec = 16000;
    uint16_t blockAlign = 0, bitsPerSample = 0, extraBytes = 12;
    uint16_t id = 1;     // MPEG
    uint32_t flags = 2;  // padding off
    uint16_t blockSize = 0;
    uint16_t framesPerBlock = 1;
    uint16_t codecDelay = 1393;
};
StreamAcmFormat StreamAcmFormatFor(const HttpServConfig& c);

// One call of the encoder over `samples` 16-bit samples; appends to out. Returns 0 or the
// encoder's error code.
struct StreamChunkEncoder {
    void* ctx = nullptr;
    int (*encode)(void* ctx, const int16_t* samples, uint32_t count, std::vector<uint8_t>& out) =
        nullptr;
};

// work holds `carry` bytes left from the last cycle followed by `fresh` new ones. Every whole
// chunk of chunkSamples is encoded into out; the rest moves to the start of work and becomes
// the new carry. Returns 0 or the first error code (the stream then ends).
int StreamEncodeChunks(uint8_t* work, uint32_t& carry, uint32_t fresh, uint32_t chunkSamples,
                       const StreamChunkEncoder& enc, std::vector<uint8_t>& out);
