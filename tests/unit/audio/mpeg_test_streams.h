// Synthetic MPEG streams in memory for the scanner tests.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/mpeg_scan.h"
#include "support/id3_frames.h"

// Header bytes 2..4 of some formats (byte 1 is always 0xFF).
struct HeaderBytes {
    uint8_t b1, b2, b3;
};
constexpr HeaderBytes kMpeg1L3_128{0xFB, 0x90, 0x40};  // 44.1 kHz joint stereo
constexpr HeaderBytes kMpeg1L3_192{0xFB, 0xB0, 0x40};  // 44.1 kHz joint stereo
constexpr HeaderBytes kMpeg1L3_48k{0xFB, 0x94, 0x40};  // 128 kbit/s at 48 kHz
constexpr HeaderBytes kMpeg1L3Mono{0xFB, 0x90, 0xC0};  // 128 kbit/s mono
constexpr HeaderBytes kMpeg2L3_64{0xF3, 0x80, 0x40};   // 22.05 kHz
constexpr HeaderBytes kMpeg2L3Mono{0xF3, 0x80, 0xC0};  // 22.05 kHz mono
constexpr HeaderBytes kMpeg1Layer1{0xFF, 0x40, 0x40};  // 128 kbit/s, a rejected layer

inline FrameHeader Parsed(HeaderBytes h, bool padding = false) {
    FrameHeader f;
    const uint8_t raw[4] = {0xFF, h.b1, static_cast<uint8_t>(h.b2 | (padding ? 2 : 0)), h.b3};
    std::memcpy(f.rawHeader, raw, 4);
    (void)MpegParseHeader(f);
    return f;
}

// Appends one frame whose body is zero (so that it holds no false sync).
inline void AddFrame(std::vector<uint8_t>& out, HeaderBytes h, bool padding = false) {
    const FrameHeader f = Parsed(h, padding);
    const size_t at = out.size();
    // A header the parser rejects gets the length of a Layer I frame at 128 kbit/s, 44.1 kHz.
    out.resize(at + (f.frameLen ? f.frameLen : 136));
    out[at] = 0xFF;
    out[at + 1] = h.b1;
    out[at + 2] = static_cast<uint8_t>(h.b2 | (padding ? 2 : 0));
    out[at + 3] = h.b3;
}

inline void AddFrames(std::vector<uint8_t>& out, HeaderBytes h, int count) {
    for (int i = 0; i < count; ++i) AddFrame(out, h, i % 3 == 1);
}

// Appends a Xing ("Xing") or Info ("Info") frame of format h with a LAME extension.
inline void AddXingFrame(std::vector<uint8_t>& out, HeaderBytes h, const char* magic,
                         uint32_t frames, uint32_t bytes, int delay, int padding) {
    const size_t at = out.size();
    AddFrame(out, h);
    const FrameHeader f = Parsed(h);
    const bool mono = f.channelMode == 4;
    const size_t tag = at + (f.versionCode == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21));
    std::memcpy(&out[tag], magic, 4);
    const std::string fields = Be(0x0F, 4) + Be(frames, 4) + Be(bytes, 4);  // flags: all four fields
    std::memcpy(&out[tag + 4], fields.data(), fields.size());
    std::memcpy(&out[tag + 120], "LAME3.100", 9);
    out[tag + 141] = static_cast<uint8_t>(delay >> 4);
    out[tag + 142] = static_cast<uint8_t>((delay & 0x0F) << 4 | padding >> 8);
    out[tag + 143] = static_cast<uint8_t>(padding & 0xFF);
}

// An ID3v2.3 tag header declaring `size` bytes after it, followed by those bytes (zero).
inline std::vector<uint8_t> Id3v2Block(uint32_t size) {
    const std::string tag = Tag(3, "", size);
    return {tag.begin(), tag.end()};
}

// A reader over memory that records how far and how much it was asked to read.
struct TracingSource {
    std::vector<uint8_t> bytes;
    uint64_t furthest = 0;
    uint64_t requested = 0;  // bytes asked for, summed over all reads
};

inline int TracingReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    auto* s = static_cast<TracingSource*>(ctx);
    s->requested += static_cast<uint64_t>(n);
    s->furthest = std::max<uint64_t>(s->furthest, uint64_t{offset} + n);
    if (offset >= s->bytes.size()) return 0;
    const size_t count = std::min<size_t>(n, s->bytes.size() - offset);
    std::memcpy(dst, s->bytes.data() + offset, count);
    return static_cast<int>(count);
}

inline ByteReader Reader(TracingSource& s) {
    return ByteReader{TracingReadAt, &s};
}

// Scans bytes into a fresh record.
inline int ScanBytes(TracingSource& s, MpegInfo& info) {
    info.dwAudioEnd = static_cast<uint32_t>(s.bytes.size());
    return MpegScan(info, Reader(s));
}
