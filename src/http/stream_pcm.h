// The PCM side of the live stream: 24-bit blocks reduced to 16 bits, the rate and channel
// conversion from the output format to the stream's, and the length of the silence sent while
// nothing plays. All on interleaved signed 16-bit samples.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kStreamBufferBytes = 700000;  // each of the two PCM buffers
constexpr uint32_t kStreamTakeBytes = 690000;    // taken from the shared buffer per cycle
constexpr uint32_t kStreamSilenceMax = 345000;

// 3-byte little-endian samples to 16 bits: each one in the top three bytes of a signed 32-bit
// value, divided by 65536 (toward zero). out has room for bytes / 3 samples; returns the bytes
// written (two thirds of the whole samples in).
uint32_t StreamPcm24To16(const uint8_t* in, uint32_t bytes, int16_t* out);

struct StreamFormat {
    uint32_t rate = 44100;
    uint32_t channels = 2;  // 1 or 2
};

// The most input bytes one conversion takes: neither the rate ratio nor the channel ratio may
// make more than kStreamTakeBytes of output. Whole input frames.
uint32_t StreamConvertInputLimit(StreamFormat from, StreamFormat to);

// Converts `bytes` of `in` (format `from`) to `to` into `out`, which has room for `outRoom`
// bytes. At most StreamConvertInputLimit bytes are taken; *used receives how many. Returns the bytes
// written: whole frames of `to`.
uint32_t StreamConvert(const int16_t* in, uint32_t bytes, StreamFormat from, StreamFormat to,
                       int16_t* out, uint32_t outRoom, uint32_t* used);

// Bytes of silence for `elapsedMs` at the stream format, at most kStreamSilenceMax.
uint32_t StreamSilenceBytes(uint32_t elapsedMs, StreamFormat f);
