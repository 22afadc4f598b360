#include <gtest/gtest.h>

#include "audio/mpeg_scan.h"
#include "mpeg_test_streams.h"

namespace {

// The frame lengths and table values that every later computation (sync, average, length)
// rests on; and each kind of header that must not be taken for audio.
TEST(MpegHeader, ParsesTableValuesAndRejectsUnsupportedHeaders) {
    struct Case {
        uint8_t b[4];
        int frameLen, kbps = 0, rate = 0, version = 0, layer = 0, mode = 0, crc = 0, copyright = 0,
                      original = 0;
    } cases[] = {
        {{0xFF, 0xFB, 0x90, 0x40}, 417, 128, 44100, 1, 3, 2, 0, 0, 0},
        {{0xFF, 0xFB, 0x92, 0x40}, 418, 128, 44100, 1, 3, 2, 0, 0, 0},   // padding bit
        {{0xFF, 0xF3, 0x80, 0xC0}, 208, 64, 22050, 2, 3, 4, 0, 0, 0},    // MPEG-2, mono
        {{0xFF, 0xE3, 0x18, 0x00}, 72, 8, 8000, 3, 3, 1, 0, 0, 0},       // MPEG-2.5
        {{0xFF, 0xFD, 0xE4, 0x80}, 1152, 384, 48000, 1, 2, 3, 0, 0, 0},  // Layer II table
        {{0xFF, 0xF5, 0xE4, 0x00}, 960, 160, 24000, 2, 2, 1, 0, 0, 0},   // Layer II is not halved
        {{0xFF, 0xFA, 0xE0, 0x4C}, 1044, 320, 44100, 1, 3, 2, 1, 1, 1},  // CRC, (c), original
        {{0xFF, 0xFB, 0x90, 0x48}, 417, 128, 44100, 1, 3, 2, 0, 1, 0},   // (c) alone
        {{0xFF, 0xFB, 0x00, 0x40}, 0},                                   // free format
        {{0xFF, 0xFB, 0xF0, 0x40}, 0},                                   // bit-rate index 15
        {{0xFF, 0xFB, 0x9C, 0x40}, 0},                                   // sampling-rate index 3
        {{0xFF, 0xEB, 0x90, 0x40}, 0},                                   // reserved version
        {{0xFF, 0xFF, 0x90, 0x40}, 0},                                   // Layer I
        {{0xFF, 0xF9, 0x90, 0x40}, 0},                                   // layer bits 00
        {{0xFE, 0xFB, 0x90, 0x40}, 0},                                   // no sync
        {{0xFF, 0xE5, 0xE8, 0x40}, 0},  // MPEG-2.5 Layer II 160 kbit/s: 2880 bytes, too long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int{c.b[1]} << " " << int{c.b[2]});
        FrameHeader h;
        std::memcpy(h.rawHeader, c.b, 4);
        const bool valid = MpegParseHeader(h);
        EXPECT_EQ(valid, c.frameLen != 0);
        EXPECT_EQ(h.frameLen, c.frameLen);
        if (!valid) {
            EXPECT_EQ(h.rawHeader[0], 0) << "an invalid header leaves an all-zero record";
            EXPECT_EQ(h.versionCode, 0);
            continue;
        }
        // kbit/s, rate, version, layer, mode, CRC, (c), original, the second header byte
        EXPECT_EQ((std::vector<int64_t>{h.bitrateKbps, h.sampleRate, h.versionCode, h.layer,
                                        h.channelMode, h.hasCrc, h.copyright, h.original,
                                        h.headerByte1}),
                  (std::vector<int64_t>{c.kbps, c.rate, c.version, c.layer, c.mode, c.crc,
                                        c.copyright, c.original, c.b[1]}));
    }
}

// A sync in junk is only taken when the next frame's sync follows one frame length later, and
// a search that knows the stream only accepts frames of that stream.
TEST(MpegFindSync, NeedsSecondSyncAndMatchingStream) {
    TracingSource s;
    s.bytes.assign(1000, 0x11);
    const uint8_t fake[4] = {0xFF, 0xFB, 0x90, 0x40};
    std::memcpy(&s.bytes[100], fake, 4);
    AddFrames(s.bytes, kMpeg1L3_128, 20);
    MpegInfo info;
    info.dwAudioEnd = static_cast<uint32_t>(s.bytes.size());
    EXPECT_EQ(MpegFindSync(info, Reader(s), 0), 1000);
    EXPECT_EQ(info.header.sampleRate, 44100u);

    info.header = Parsed(kMpeg1L3_48k);
    EXPECT_EQ(MpegFindSync(info, Reader(s), 0), -1) << "44.1 kHz frames in a 48 kHz stream";

    info.header = Parsed(kMpeg1L3_128);
    EXPECT_EQ(MpegFindSync(info, Reader(s), info.dwAudioEnd - 800), info.dwAudioEnd)
        << "fewer than two frame lengths left";
    info.header = FrameHeader{};
    EXPECT_EQ(MpegFindSync(info, Reader(s), info.dwAudioEnd - 1700), -1) << "short window";
}

struct ScanCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int ok;
    uint32_t audioBeg, id3v2Size;
    int vbrKind, delay, padded;
    double avgBitrate;  // bit/s, checked within 0.5 %; 0: not checked
};

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<uint8_t> Frames(HeaderBytes h, int n) {
    std::vector<uint8_t> out;
    AddFrames(out, h, n);
    return out;
}

// 128 and 192 kbit/s frames alternating in runs of five.
std::vector<uint8_t> VbrFrames(int n) {
    std::vector<uint8_t> out;
    for (int i = 0; i < n; ++i) AddFrame(out, (i / 5) % 2 ? kMpeg1L3_192 : kMpeg1L3_128);
    return out;
}

std::vector<uint8_t> WithXing(HeaderBytes h, const char* magic, std::vector<uint8_t> audio,
                              int frames, int byteError) {
    std::vector<uint8_t> out;
    const uint32_t len = Parsed(h).frameLen;
    AddXingFrame(out, h, magic, frames + 1, uint32_t(len + audio.size() + byteError), 576, 1152);
    return Concat(out, audio);
}

// A tag whose body holds what looks like two frames in a row: only skipping the tag avoids them.
std::vector<uint8_t> TagWithFrames() {
    std::vector<uint8_t> tag = Id3v2Block(4096);
    const uint8_t fake[4] = {0xFF, 0xFB, 0x90, 0x40};
    std::memcpy(&tag[2000], fake, 4);
    std::memcpy(&tag[2417], fake, 4);
    return tag;
}

// Junk with a lone sync that no second sync follows.
std::vector<uint8_t> JunkWithSync() {
    std::vector<uint8_t> junk(1500, 0x20);
    const uint8_t fake[4] = {0xFF, 0xFB, 0x90, 0x40};
    std::memcpy(&junk[300], fake, 4);
    return junk;
}

TEST(MpegScan, FindsAudioStartRateKindAndEncoderData) {
    const double vbrXingAvg = 44100.0 / 144 * (VbrFrames(300).size() + 417) / 301;
    ScanCase cases[] = {
        {"cbr", Frames(kMpeg1L3_128, 300), 1, 0, 0, 0, 0, 0, 128000},
        {"id3v2 of 4096 bytes with frame-like bytes inside",
         Concat(TagWithFrames(), Frames(kMpeg1L3_128, 300)), 1, 4106, 4106, 0, 0, 0, 128000},
        {"junk with a lone sync before the first frame",
         Concat(JunkWithSync(), Frames(kMpeg1L3_128, 300)), 1, 1500, 0, 0, 0, 0, 128000},
        {"info header: constant rate with delay and padding",
         WithXing(kMpeg1L3_128, "Info", Frames(kMpeg1L3_128, 300), 300, 0), 1, 417, 0, 0, 576, 1152,
         128000},
        {"xing header", WithXing(kMpeg1L3_128, "Xing", VbrFrames(300), 300, 0), 1, 417, 0, 2, 576,
         1152, vbrXingAvg},
        {"xing byte count 5000 too high: averaged by walking",
         WithXing(kMpeg1L3_128, "Xing", VbrFrames(300), 300, 5000), 1, 417, 0, 1, 576, 1152, 0},
        {"xing frame count 0", WithXing(kMpeg1L3_128, "Xing", VbrFrames(300), -1, 0), 1, 417, 0, 1,
         576, 1152, 0},
        {"vbr without xing", VbrFrames(400), 1, 0, 0, 1, 0, 0, 0},
        {"mpeg-1 mono info", WithXing(kMpeg1L3Mono, "Info", Frames(kMpeg1L3Mono, 200), 200, 0), 1,
         417, 0, 0, 576, 1152, 128000},
        {"mpeg-2 info", WithXing(kMpeg2L3_64, "Info", Frames(kMpeg2L3_64, 200), 200, 0), 1, 208, 0,
         0, 576, 1152, 64000},
        {"mpeg-2 mono info", WithXing(kMpeg2L3Mono, "Info", Frames(kMpeg2L3Mono, 200), 200, 0), 1,
         208, 0, 0, 576, 1152, 64000},
        {"layer I", Frames(kMpeg1Layer1, 300), 0, 0, 0, 0, 0, 0, 0},
        {"shorter than one search window", Frames(kMpeg1L3_128, 4), 0, 0, 0, 0, 0, 0, 0},
        {"no frames", std::vector<uint8_t>(20000, 0), 0, 0, 0, 0, 0, 0, 0},
    };
    // One record for every file, reused as a caller may (a reused record once bound the search
    // to the previous file's stream).
    MpegInfo info;
    for (ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        TracingSource s{std::move(c.bytes)};
        ASSERT_EQ(ScanBytes(s, info), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(info.dwAudioBeg, c.audioBeg);
        EXPECT_EQ(info.dwPointer, info.dwAudioBeg);
        EXPECT_EQ(info.id3v2Size, c.id3v2Size);
        EXPECT_EQ(info.vbrKind, c.vbrKind);
        EXPECT_EQ(info.encoderDelay, c.delay);
        EXPECT_EQ(info.encoderPadded, c.padded);
        EXPECT_STREQ(info.encoderId, c.delay ? "LAME3.100" : "");
        if (c.avgBitrate > 0) {
            EXPECT_NEAR(info.avgBitrate, c.avgBitrate, c.avgBitrate * 0.005);
        }
        EXPECT_NE(info.header.versionCode, 0);
    }
}

// Bytes that are no MPEG audio (7-bit text: no sync anywhere).
std::vector<uint8_t> NotMpeg(size_t n) {
    std::vector<uint8_t> out(n);
    uint32_t x = 12345;
    for (uint8_t& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>((x >> 16) & 0x7F);
    }
    return out;
}

// The work of a scan is bounded whatever the file: a file without MPEG audio is given up after
// a bounded stretch, the walk stops after 101 frames of constant bit rate or about 2 MB of
// variable, and no stretch is fetched over and over (the search windows overlap, and a tag
// followed by a gap made the first-frame search fetch the window after the tag once for every
// 1,792 bytes of tag). Each case bounds how far the scan reads and the bytes it asks for in all.
TEST(MpegScan, WorkIsBoundedAndEachByteReadAboutOnce) {
    constexpr uint64_t kMB = 1u << 20, kAhead = 16384;  // the scan fetches 16 KB at a time
    constexpr uint64_t kCbrWalk = 102 * 418 + kAhead;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int ok, vbrKind;
        uint64_t maxFurthest, maxRequested;
    } cases[] = {
        {"16 MB without MPEG audio", NotMpeg(16 * kMB), 0, 0, 2000000 + kAhead, 2000000 * 5 / 4},
        {"8 MB tag, a 6,000-byte gap, then audio",
         Concat(Concat(Id3v2Block(8 * kMB), NotMpeg(6000)), Frames(kMpeg1L3_128, 300)), 1, 0,
         8 * kMB + 10 + 6000 + kCbrWalk, 18 + (6000 + kCbrWalk) * 5 / 4},
        {"constant bit rate, 1 MB: 101 frames", Frames(kMpeg1L3_128, 2500), 1, 0, kCbrWalk,
         kCbrWalk * 5 / 4},
        {"variable bit rate, 4.5 MB: ten frames, then a 50,000-byte jump", VbrFrames(9000), 1, 1,
         2000000 + 50000 + kAhead, 40 * kAhead},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        TracingSource s{std::move(c.bytes)};
        MpegInfo info;
        ASSERT_EQ(ScanBytes(s, info), c.ok);
        EXPECT_LE(s.furthest, c.maxFurthest);
        EXPECT_LE(s.requested, c.maxRequested);
        if (!c.ok) continue;
        EXPECT_EQ(info.vbrKind, c.vbrKind);
        // VBR: runs of five 417/627-byte frames, the sampled average lies between the two rates.
        if (c.vbrKind) {
            EXPECT_GT(info.avgBitrate, 128000);
            EXPECT_LT(info.avgBitrate, 192000);
        } else {
            EXPECT_NEAR(info.avgBitrate, 128000, 640);
        }
    }
}

// Bytes and ms at the average bit rate, both ways, within 32 bits even for the averages a
// lying Xing header gives (a tiny one, or a huge one).
TEST(MpegLength, BytesAndMsAtTheAverageBitrate) {
    MpegInfo info;
    EXPECT_EQ(MpegLengthMs(info, 16000), 0u) << "no average yet";
    EXPECT_EQ(MpegBytesOfMs(info, 1000), 0u);
    info.avgBitrate = 128000;
    EXPECT_EQ(MpegLengthMs(info, 16000), 1000u);
    EXPECT_EQ(MpegBytesOfMs(info, 1000), 16000u);
    EXPECT_EQ(MpegLengthMs(info, 4000000000u), 250000000u) << "no 32-bit overflow";
    info.avgBitrate = 1e-6f;
    EXPECT_EQ(MpegLengthMs(info, 4000000000u), 0xFFFFFFFFu);
    info.avgBitrate = 3e12f;
    EXPECT_EQ(MpegBytesOfMs(info, 4000000000u), 0xFFFFFFFFu);
}

}  // namespace
