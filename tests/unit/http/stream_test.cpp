// The stream's PCM path: 24-bit reduction, rate and channel conversion, silence, the hand-off
// between feeder and sender under load and when full, and the encoder's chunks and carry.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "http/stream_buffer.h"
#include "http/stream_encode.h"
#include "http/stream_pcm.h"

namespace {
TEST(StreamPcm, TwentyFourBitSamplesTruncateTowardZero) {
    struct Case {
        uint32_t in24;
        int16_t out;
    };
    const Case cases[] = {{0x7fffff, 32767}, {0x800000, -32768}, {0xffffff, 0},
                          {0xffff00, -1},    {0x000100, 1},      {0x0000ff, 0}};
    for (const Case& c : cases) {
        const uint8_t bytes[6] = {uint8_t(c.in24), uint8_t(c.in24 >> 8), uint8_t(c.in24 >> 16),
                                  0xff, 0xff, 0xff};
        int16_t out[2] = {};
        EXPECT_EQ(StreamPcm24To16(bytes, 5, out), 2u);  // the broken last sample is left out
        EXPECT_EQ(out[0], c.out) << std::hex << c.in24;
    }
}

std::vector<int16_t> Sine(uint32_t rate, uint32_t channels, double hz, double seconds) {
    std::vector<int16_t> v;
    const uint32_t frames = static_cast<uint32_t>(rate * seconds);
    for (uint32_t i = 0; i < frames; ++i)
        for (uint32_t c = 0; c < channels; ++c)
            v.push_back(static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / rate)));
    return v;
}

// Frequency of one channel from its upward zero crossings.
double Frequency(const std::vector<int16_t>& v, uint32_t channels, uint32_t rate) {
    int crossings = 0, first = -1, last = -1;
    for (size_t i = channels; i < v.size(); i += channels)
        if (v[i - channels] < 0 && v[i] >= 0) {
            if (first < 0) first = static_cast<int>(i / channels);
            last = static_cast<int>(i / channels);
            ++crossings;
        }
    return crossings > 1 ? (crossings - 1) * double(rate) / (last - first) : 0;
}

TEST(StreamPcm, ConversionKeepsPitchAndLengthAtEveryRateAndChannelCount) {
    for (uint32_t rate : {32000u, 44100u, 48000u})
        for (uint32_t cin : {1u, 2u})
            for (uint32_t cout : {1u, 2u}) {
                const std::vector<int16_t> in = Sine(rate, cin, 1000, 0.5);
                std::vector<int16_t> out(kStreamBufferBytes / 2);
                uint32_t used = 0;
                const uint32_t bytes =
                    StreamConvert(in.data(), in.size() * 2, {rate, cin}, {44100, cout}, out.data(),
                                  kStreamBufferBytes, &used);
                out.resize(bytes / 2);
                SCOPED_TRACE(testing::Message() << rate << " Hz " << cin << " -> " << cout);
                EXPECT_EQ(used, in.size() * 2);
                EXPECT_NEAR(out.size() / double(cout), 44100 * 0.5, 2);
                EXPECT_NEAR(Frequency(out, cout, 44100), 1000, 5);
                if (cout == 2) {
                    for (size_t i = 0; i + 1 < out.size(); i += 2) {
                        ASSERT_EQ(out[i], out[i + 1]);
                    }
                }
                if (rate == 44100 && cin == cout) {
                    EXPECT_EQ(out, in);
                }
            }
}

TEST(StreamPcm, StereoToMonoAveragesAndLargeInputIsLimited) {
    const std::vector<int16_t> in = {1000, 3000, -1001, -2000, 7, 8};
    std::vector<int16_t> out(3);
    EXPECT_EQ(StreamConvert(in.data(), 12, {44100, 2}, {44100, 1}, out.data(), 6, nullptr), 6u);
    EXPECT_EQ(out, (std::vector<int16_t>{2000, -1500, 7}));

    // Mono to stereo at a higher rate may not make more than the sender's buffer takes.
    std::vector<int16_t> big(kStreamTakeBytes / 2), dst(kStreamBufferBytes / 2);
    uint32_t used = 0;
    const uint32_t made = StreamConvert(big.data(), kStreamTakeBytes, {44100, 1}, {48000, 2},
                                        dst.data(), kStreamBufferBytes, &used);
    EXPECT_LT(used, kStreamTakeBytes);
    EXPECT_LE(made, kStreamTakeBytes);
    EXPECT_EQ(made % 4, 0u);
}

TEST(StreamPcm, SilenceFollowsTheClockUpToItsLimit) {
    EXPECT_EQ(StreamSilenceBytes(200, {44100, 2}), 8820u * 4);
    EXPECT_EQ(StreamSilenceBytes(100, {24000, 1}), 2400u * 2);
    EXPECT_EQ(StreamSilenceBytes(60000, {48000, 2}), kStreamSilenceMax);
}

TEST(StreamBuffer, FeederAndSenderNeverTearABlock) {
    StreamBuffer b;
    b.pcm.resize(kStreamBufferBytes);
    constexpr uint32_t kBlocks = 3000, kBlockBytes = 1764;
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        std::vector<uint8_t> block(kBlockBytes);
        for (uint32_t id = 0; id < kBlocks; ++id) {
            for (uint32_t i = 0; i < kBlockBytes; ++i) block[i] = uint8_t(id * 7 + i);
            StreamBufferAppend(b, block.data(), kBlockBytes,
                               [](uint32_t) { std::this_thread::yield(); });
        }
        done = true;
    });
    std::vector<uint8_t> taken, dst(kStreamTakeBytes);
    while (!done || b.fill) {
        const uint32_t n = StreamBufferTake(b, dst.data(), kStreamTakeBytes);
        taken.insert(taken.end(), dst.begin(), dst.begin() + n);
    }
    feeder.join();
    ASSERT_EQ(taken.size() % kBlockBytes, 0u);
    EXPECT_EQ(taken.size() / kBlockBytes + b.dropped, kBlocks);
    int last = -1;
    for (size_t at = 0; at < taken.size(); at += kBlockBytes) {
        int id = -1;  // the block whose pattern this is
        for (uint32_t c = 0; c < kBlocks && id < 0; ++c)
            if (taken[at] == uint8_t(c * 7) && taken[at + 1] == uint8_t(c * 7 + 1) && int(c) > last)
                id = int(c);
        ASSERT_GE(id, 0);
        for (uint32_t i = 0; i < kBlockBytes; ++i) ASSERT_EQ(taken[at + i], uint8_t(id * 7 + i));
        last = id;
    }
}

TEST(StreamBuffer, FullBufferDropsTheBlockAfterTenTries) {
    static int sleeps;
    sleeps = 0;
    StreamBuffer b;
    b.pcm.resize(1000);
    const std::vector<uint8_t> block(600, 1);
    EXPECT_TRUE(StreamBufferAppend(b, block.data(), 600, [](uint32_t) { ++sleeps; }));
    EXPECT_FALSE(StreamBufferAppend(b, block.data(), 400, [](uint32_t) { ++sleeps; }));
    EXPECT_EQ(sleeps, 10);
    EXPECT_EQ(b.dropped, 1u);
    EXPECT_EQ(b.fill, 600u);
    EXPECT_TRUE(StreamBufferFillSilence(b, 300));
    std::vector<uint8_t> dst(1000, 9);
    EXPECT_EQ(StreamBufferTake(b, dst.data(), 1000), 300u);
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(StreamBufferTake(b, dst.data(), 1000), 0u);
}

TEST(StreamEncode, WholeChunksAreEncodedAndTheRestCarried) {
    struct Calls {
        std::vector<int16_t> seen;
        int failAt = -1;
        int calls = 0;
    } calls;
    StreamChunkEncoder enc;
    enc.ctx = &calls;
    enc.encode = [](void* c, const int16_t* s, uint32_t n, std::vector<uint8_t>& out) {
        auto* k = static_cast<Calls*>(c);
        if (k->calls++ == k->failAt) return 5;
        k->seen.insert(k->seen.end(), s, s + n);
        out.push_back(uint8_t(n));
        return 0;
    };
    std::vector<int16_t> work(4000);
    for (size_t i = 0; i < work.size(); ++i) work[i] = int16_t(i);
    uint32_t carry = 0;
    std::vector<uint8_t> out;
    auto* bytes = reinterpret_cast<uint8_t*>(work.data());
    EXPECT_EQ(StreamEncodeChunks(bytes, carry, 2500 * 2, 1000, enc, out), 0);
    EXPECT_EQ(out.size(), 2u);
    EXPECT_EQ(carry, 500u * 2);
    EXPECT_EQ(work[0], 2000);  // the carry moved to the front
    for (size_t i = 0; i < 1500; ++i) work[500 + i] = int16_t(2500 + i);
    EXPECT_EQ(StreamEncodeChunks(bytes, carry, 1500 * 2, 1000, enc, out), 0);
    EXPECT_EQ(carry, 0u);
    ASSERT_EQ(calls.seen.size(), 4000u);
    for (size_t i = 0; i < calls.seen.size(); ++i) ASSERT_EQ(calls.seen[i], int16_t(i));

    calls.failAt = calls.calls;
    EXPECT_EQ(StreamEncodeChunks(bytes, carry, 3000 * 2, 1000, enc, out), 5);
}

TEST(StreamEncode, LameSettingsFollowTheLetters) {
    struct Case {
        const char* letters;
        int mode;
        uint32_t rate, bitrate;
        int vbr, quality;
    };
    const Case cases[] = {{"lfca", 1, 44100, 128, 0, 4}, {"lhcb", 0, 44100, 192, 0, 4},
                          {"labc", 3, 32000, 32, 0, 4},  {"lmca", 1, 44100, 32, 1, 2},
                          {"ljda", 1, 48000, 32, 1, 8},  {"lzza", 1, 44100, 128, 0, 4}};
    for (const Case& c : cases) {
        const BeConfig b = StreamLameConfig(HttpServParse(std::string("a---") + c.letters));
        EXPECT_EQ(b.format.LHV1.nMode, c.mode) << c.letters;
        EXPECT_EQ(b.format.LHV1.dwSampleRate, c.rate) << c.letters;
        EXPECT_EQ(b.format.LHV1.dwBitrate, c.bitrate) << c.letters;
        EXPECT_EQ(b.format.LHV1.bEnableVBR, c.vbr) << c.letters;
        EXPECT_EQ(b.format.LHV1.nVBRQuality, c.quality) << c.letters;
    }
    // The ACM gives VBR letters 128 kbps.
    EXPECT_EQ(StreamAcmFormatFor(HttpServParse("a---amca")).avgBytesPerSec, 16000u);
    EXPECT_EQ(StreamAcmFormatFor(HttpServParse("a---accc")).channels, 1);
}
}  // namespace
