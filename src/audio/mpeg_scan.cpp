#include "audio/mpeg_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Bit rates in kbit/s by index (ISO/IEC 11172-3 and 13818-3); 0 marks the invalid indexes
// (free format and 15).
constexpr uint16_t kBitrateMpeg1Layer3[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                              112, 128, 160, 192, 224, 256, 320, 0};
constexpr uint16_t kBitrateMpeg1Layer2[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                              128, 160, 192, 224, 256, 320, 384, 0};
constexpr uint16_t kBitrateLowRates[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                           64, 80, 96, 112, 128, 144, 160, 0};
// Sampling rates by version code (1..3) and index; index 3 is reserved.
constexpr uint32_t kSampleRates[4][3] = {
    {0, 0, 0}, {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

// A Xing header whose byte count misses the file by more than this is not trusted.
constexpr int64_t kXingSizeTolerance = 3000;
// The frame walk reads at most this far past the first frame.
constexpr uint32_t kWalkLimit = 2000000;
// Frames counted before constant bit rate (or a Xing average) ends the walk.
constexpr uint32_t kWalkFrames = 100;
// Variable bit rate without Xing: after every ten frames the walk jumps this far ahead.
constexpr uint32_t kVbrJump = 50000;
// The first frame must begin within this many bytes of the audio start (the end of the ID3v2
// tag); a file without one by then is not MPEG audio. Like kWalkLimit, it bounds the reading.
constexpr uint32_t kFirstFrameLimit = 2000000;
// The scan's reads are served from one buffer this large. Its searches read windows of two
// frame lengths a frame length (walk) or 1,792 bytes (first frame) apart; through the buffer
// each byte is fetched about once. Small enough that a VBR jump does not fetch the stretch it
// jumps over.
constexpr int kScanCacheBytes = 16384;

// A ByteReader in front of another that keeps the last kScanCacheBytes it fetched. One scan's
// own, on its stack: answers are exactly those of the reader behind it (for a file that does
// not change during the scan).
struct ScanCache {
    ByteReader in;
    uint32_t offset = 0;    // file offset of data[0]
    int filled = 0;         // valid bytes in data
    bool fileEnds = false;  // the last fetch was short: the file ends at offset + filled
    uint8_t data[kScanCacheBytes];
};

int CachedReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    auto* c = static_cast<ScanCache*>(ctx);
    if (n < 0 || n > kScanCacheBytes) return c->in.readAt(c->in.ctx, offset, dst, n);
    const uint64_t from = uint64_t{offset} - c->offset;  // huge when offset lies before
    const bool held = offset >= c->offset &&
                      (from + static_cast<uint64_t>(n) <= static_cast<uint64_t>(c->filled) ||
                       (c->fileEnds && from <= uint64_t(c->filled)));
    if (!held) {
        const int got = c->in.readAt(c->in.ctx, offset, c->data, kScanCacheBytes);
        c->offset = offset;
        c->filled = std::clamp(got, 0, kScanCacheBytes);
        c->fileEnds = got >= 0 && got < kScanCacheBytes;
        if (got < 0) return -1;
    }
    const size_t at = offset - c->offset;
    const size_t count = std::min(static_cast<size_t>(n), static_cast<size_t>(c->filled) - at);
    std::memcpy(dst, c->data + at, count);
    return static_cast<int>(count);
}

bool IsSync(const uint8_t* p) {
    return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0;
}

bool IsAsciiLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Moves a file position forward, stopping at the largest offset rather than wrapping.
void Advance(uint32_t& pos, uint32_t bytes) {
    pos = bytes > UINT32_MAX - pos ? UINT32_MAX : pos + bytes;
}

bool Invalid(FrameHeader& h) {
    h = FrameHeader{};
    return false;
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool SameStream(const FrameHeader& a, const FrameHeader& b) {
    return MpegVersionLayer(a) == MpegVersionLayer(b) && a.sampleRate == b.sampleRate;
}

}  // namespace

bool MpegParseHeader(FrameHeader& h) {
    const uint8_t b0 = h.rawHeader[0], b1 = h.rawHeader[1], b2 = h.rawHeader[2],
                  b3 = h.rawHeader[3];
    if (b0 != 0xFF || (b1 & 0xE0) != 0xE0) return Invalid(h);

    static constexpr uint8_t kVersionByBits[4] = {3, 0, 2, 1};  // 00 2.5, 01 reserved, 10 2, 11 1
    static constexpr uint8_t kLayerByBits[4] = {0, 3, 2, 0};    // 01 III, 10 II; I and 00 invalid
    const uint8_t version = kVersionByBits[(b1 >> 3) & 3];
    const uint8_t layer = kLayerByBits[(b1 >> 1) & 3];
    if (version == 0 || layer == 0) return Invalid(h);

    const uint16_t* bitrates = version != 1 ? kBitrateLowRates
                               : layer == 3 ? kBitrateMpeg1Layer3
                                            : kBitrateMpeg1Layer2;
    const uint16_t kbps = bitrates[b2 >> 4];
    const int rateIndex = (b2 >> 2) & 3;
    if (kbps == 0 || rateIndex == 3) return Invalid(h);
    const uint32_t rate = kSampleRates[version][rateIndex];

    if (rate < 8000 || rate > 48000 || kbps < 8 || kbps > 384 || layer < 1 || layer > 3 ||
        version > 3)
        return Invalid(h);

    // 144 bytes per kbit/s at 1 kHz is 1152 samples a frame; Layer III of the lower sampling
    // rates carries 576 samples, half of that.
    int len = static_cast<int>(144.0 * kbps * 1000 / rate);
    if (layer == 3 && version >= 2) len >>= 1;
    const uint8_t padding = (b2 >> 1) & 1;
    len += padding;
    if (len < 20 || len > kMpegMaxFrameLen) return Invalid(h);

    h.frameLen = static_cast<uint16_t>(len);
    h.bitrateKbps = kbps;
    h.sampleRate = rate;
    h.channelMode = static_cast<uint8_t>((b3 >> 6) + 1);
    h.paddingBit = padding;
    h.versionCode = version;
    h.layer = layer;
    h.headerByte1 = b1;
    h.hasCrc = (b1 & 1) == 0;
    h.copyright = (b3 >> 3) & 1;
    h.original = (b3 >> 2) & 1;
    return true;
}

int64_t MpegFindSync(MpegInfo& info, const ByteReader& in, uint32_t pos) {
    const uint32_t start = std::max(pos, info.dwAudioBeg);
    if (int64_t{info.dwAudioEnd} - 2 * int64_t{info.header.frameLen} <= int64_t{start})
        return info.dwAudioEnd;

    const FrameHeader remembered = info.header;
    uint8_t buf[kMpegSyncWindow];
    const int got = in.readAt(in.ctx, start, buf, kMpegSyncWindow);
    if (got < kMpegMaxFrameLen) return -1;

    for (int i = 0; i < got - kMpegMaxFrameLen; ++i) {
        if (!IsSync(buf + i)) continue;
        std::memcpy(info.header.rawHeader, buf + i, 4);
        if (!MpegParseHeader(info.header)) continue;
        const int next = i + info.header.frameLen;
        if (next + 1 >= got || !IsSync(buf + next)) continue;
        if (remembered.versionCode != 0 && !SameStream(remembered, info.header)) continue;
        return int64_t{start} + i;
    }
    return -1;
}

void MpegSkipId3v2(MpegInfo& info, const ByteReader& in) {
    info.id3v2Size = 0;
    uint8_t b[18];
    const int got = in.readAt(in.ctx, 0, b, sizeof b);
    if (got < 10 || std::memcmp(b, "ID3", 3) != 0) return;
    // The size bytes are taken as they stand, without checking that they are syncsafe.
    info.id3v2Size = 10 + (uint32_t{b[6]} << 21) + (uint32_t{b[7]} << 14) + (uint32_t{b[8]} << 7) +
                     uint32_t{b[9]};
    info.dwAudioBeg = info.id3v2Size;
}

void MpegReadXing(MpegInfo& info, const ByteReader& in) {
    info.encoderDelay = 0;
    info.encoderPadded = 0;
    std::memset(info.encoderId, 0, sizeof info.encoderId);

    uint8_t buf[300];
    const int got = in.readAt(in.ctx, info.dwAudioBeg, buf, sizeof buf);
    if (got < 4) return;
    FrameHeader h;
    std::memcpy(h.rawHeader, buf, 4);
    if (!MpegParseHeader(h)) return;

    // The tag follows the side information, whose size depends on version and channels.
    const bool mono = h.channelMode == 4;
    const int tag = h.versionCode == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
    if (got < tag + 4) return;
    const bool xing = std::memcmp(buf + tag, "Xing", 4) == 0;
    if (!xing && std::memcmp(buf + tag, "Info", 4) != 0) return;

    // The flags word is not consulted: frame count, byte count, table of contents and quality
    // are taken as present, which puts the LAME extension at tag + 120.
    const int lame = tag + 120;
    if (got >= lame + 9 && IsAsciiLetter(buf[lame])) std::memcpy(info.encoderId, buf + lame, 9);
    if (got >= lame + 24 && std::memcmp(buf + lame, "LAME", 4) == 0) {
        info.encoderDelay = static_cast<uint16_t>((buf[lame + 21] << 4) + (buf[lame + 22] >> 4));
        info.encoderPadded = static_cast<uint16_t>(((buf[lame + 22] & 0x0F) << 8) + buf[lame + 23]);
    }

    // The Xing/Info frame itself carries no audio.
    const int64_t after = MpegFindSync(info, in, info.dwAudioBeg + h.frameLen);
    if (after >= 0) info.dwAudioBeg = static_cast<uint32_t>(after);

    if (!xing || got < tag + 16) return;
    const uint32_t frames = BigEndian32(buf + tag + 8);
    const uint32_t bytes = BigEndian32(buf + tag + 12);
    if (frames == 0) return;
    if (std::llabs(int64_t{info.dwAudioBeg} + bytes - int64_t{info.dwAudioEnd}) >
        kXingSizeTolerance)
        return;
    info.vbrKind = 2;
    info.avgFrameLen = static_cast<float>(static_cast<double>(bytes) / frames);
}

namespace {

// The first frame: searches from 0 in steps of 1,792 bytes, each from max(step, dwAudioBeg).
// The steps before the tag's end would all search the window at dwAudioBeg again, with the same
// result, so after that window the search goes on at the first step past dwAudioBeg. Returns
// the frame's offset, or -1 when none begins within kFirstFrameLimit of dwAudioBeg.
int64_t FindFirstFrame(MpegInfo& info, const ByteReader& in) {
    constexpr uint64_t kStep = kMpegMaxFrameLen;
    const uint64_t end =
        std::min<uint64_t>(info.dwAudioEnd, uint64_t{info.dwAudioBeg} + kFirstFrameLimit);
    for (uint64_t p = 0; p < end;) {
        const int64_t found = MpegFindSync(info, in, static_cast<uint32_t>(p));
        if (found != -1) return found;
        p = p < info.dwAudioBeg ? (info.dwAudioBeg / kStep + 1) * kStep : p + kStep;
    }
    return -1;
}

}  // namespace

int MpegScan(MpegInfo& info, const ByteReader& file) {
    ScanCache cache;
    cache.in = file;
    const ByteReader in{CachedReadAt, &cache};
    info.dwPointer = 0;
    info.dwAudioBeg = 0;
    info.header = FrameHeader{};  // a reused record must not bind the search to its old stream
    info.vbrKind = 0;
    info.avgBitrate = 0;
    info.avgFrameLen = 0;
    MpegSkipId3v2(info, file);  // 18 bytes: not worth fetching the buffer at 0 before a tag

    const int64_t first = FindFirstFrame(info, in);
    if (first == -1) return 0;
    info.dwAudioBeg = static_cast<uint32_t>(first);

    const FrameHeader firstHeader = info.header;
    info.dwPointer = info.dwAudioBeg;
    MpegReadXing(info, in);

    uint32_t n = 0;
    uint64_t total = 0;
    for (;;) {
        if (int64_t{info.dwPointer} >= int64_t{info.dwAudioEnd} - kMpegMaxFrameLen ||
            uint64_t{info.dwPointer} >= uint64_t{info.dwAudioBeg} + kWalkLimit) {
            if (n == 0) return 0;
            break;
        }
        if (n > kWalkFrames && (info.vbrKind == 0 || info.avgFrameLen != 0)) break;
        const int64_t found = MpegFindSync(info, in, info.dwPointer);
        if (found == -1 || !SameStream(info.header, firstHeader)) {
            Advance(info.dwPointer, kMpegMaxFrameLen);
            continue;
        }
        if (info.vbrKind == 0 && std::abs(info.header.bitrateKbps - firstHeader.bitrateKbps) > 2)
            info.vbrKind = 1;
        ++n;
        total += info.header.frameLen;
        // The next search starts one frame length past this search's start.
        Advance(info.dwPointer, info.header.frameLen);
        if (info.vbrKind != 0 && n % 10 == 0) Advance(info.dwPointer, kVbrJump);
    }

    if (info.avgFrameLen == 0)
        info.avgFrameLen = static_cast<float>(static_cast<double>(total) / n);
    const bool halfFrames = firstHeader.layer == 3 && firstHeader.versionCode >= 2;
    info.avgBitrate = static_cast<float>(static_cast<double>(firstHeader.sampleRate) *
                                         info.avgFrameLen / 144 * (halfFrames ? 2 : 1));
    if (info.header.versionCode == 0) info.header = firstHeader;
    info.dwPointer = info.dwAudioBeg;
    return 1;
}

uint32_t MpegLengthMs(const MpegInfo& info, uint32_t bytes) {
    if (info.avgBitrate <= 0) return 0;
    // A Xing header with a huge frame count gives a tiny average: keep the result in range.
    const double ms = static_cast<double>(bytes) * 8000 / info.avgBitrate;
    return ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

uint32_t MpegBytesOfMs(const MpegInfo& info, uint32_t ms) {
    if (info.avgBitrate <= 0) return 0;
    const double bytes = static_cast<double>(ms) * info.avgBitrate / 8000;
    return bytes >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}
