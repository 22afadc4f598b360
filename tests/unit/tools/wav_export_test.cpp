#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/wav_export.h"

namespace {

uint32_t Le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// A decoder delivering blocks of given sizes; sample k of the track is (k * 7) & 0x7FFF.
struct FakeDecoder {
    std::vector<uint32_t> blocks;
    size_t next = 0;
    uint32_t sample = 0;
    uint64_t sourcePos = 0;

    WavDecoder Ops() {
        WavDecoder d;
        d.ctx = this;
        d.next = [](void* c, uint8_t* buf, uint32_t cap) -> uint32_t {
            auto* f = static_cast<FakeDecoder*>(c);
            if (f->next == f->blocks.size()) return 0;
            const uint32_t n = std::min(f->blocks[f->next++], cap);
            for (uint32_t i = 0; i + 1 < n; i += 2) {
                const uint16_t v = (f->sample++ * 7) & 0x7FFF;
                buf[i] = uint8_t(v);
                buf[i + 1] = uint8_t(v >> 8);
            }
            f->sourcePos += 1000;
            return n;
        };
        d.position = [](void* c) { return static_cast<FakeDecoder*>(c)->sourcePos; };
        d.total = [](void* c) {
            return uint64_t{static_cast<FakeDecoder*>(c)->blocks.size() * 1000};
        };
        return d;
    }
};

struct FakeFile {
    std::string bytes;
    WavFile Ops() {
        WavFile f;
        f.ctx = this;
        f.append = [](void* c, const uint8_t* d, size_t n) {
            static_cast<FakeFile*>(c)->bytes.append(reinterpret_cast<const char*>(d), n);
            return true;
        };
        f.writeAt = [](void* c, uint64_t pos, const uint8_t* d, size_t n) {
            std::memcpy(&static_cast<FakeFile*>(c)->bytes[pos], d, n);
            return true;
        };
        f.length = [](void* c) { return uint64_t{static_cast<FakeFile*>(c)->bytes.size()}; };
        return f;
    }
};

// Processing that marks what it saw: negates every sample.
int g_processedFrames = 0;
void Negate(int16_t* s, int frames, int channels) {
    g_processedFrames += frames;
    for (int i = 0; i < frames * channels; ++i) s[i] = int16_t(-s[i]);
}

TEST(WavExport, ChannelsAndDataByRule) {
    struct Case {
        const char* name;
        int decoderChannels;
        bool processing, downmix;
        int fileChannels;
        size_t dataBytes;  // of 3 blocks of 4000 bytes
        int processed;     // frames the chain saw
    } cases[] = {
        {"mono source, plain", 1, false, false, 1, 12000, 0},
        {"mono source, processed", 1, true, true, 1, 12000, 6000},
        {"stereo, plain, downmix on: still 2", 2, false, true, 2, 12000, 0},
        {"stereo, processed, downmix: left only", 2, true, true, 1, 6000, 3000},
        {"stereo, processed, no downmix", 2, true, false, 2, 12000, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_processedFrames = 0;
        FakeDecoder dec;
        dec.blocks = {4000, 4000, 4000};
        FakeFile file;
        WavExportSetup setup{c.decoderChannels, c.processing, c.downmix, Negate};
        WavExport ex(setup, dec.Ops(), file.Ops());
        ex.Begin(44100);
        EXPECT_EQ(ex.Tick(), WavTick::kDone);
        EXPECT_EQ(ex.FileChannels(), c.fileChannels);
        // The header describes what the file holds, not what the decoder gave.
        EXPECT_EQ(Le16(file.bytes, 22), c.fileChannels);
        EXPECT_EQ(Le32(file.bytes, 28), 44100u * 2 * c.fileChannels);
        EXPECT_EQ(Le16(file.bytes, 32), 2 * c.fileChannels);
        EXPECT_EQ(file.bytes.size(), kWavHeaderBytes + c.dataBytes);
        EXPECT_EQ(Le32(file.bytes, 4), file.bytes.size() - 8);
        EXPECT_EQ(Le32(file.bytes, 40), file.bytes.size() - 44);
        EXPECT_EQ(g_processedFrames, c.processed);
        // The first data sample: sample 0 is 0; check sample 1 (second frame's left in the
        // downmix case, else the first frame's right).
        const int16_t second = int16_t(Le16(file.bytes, 46));
        const int16_t expect = c.decoderChannels == 2 && c.processing && c.downmix ? 14 : 7;
        EXPECT_EQ(second, c.processing ? -expect : expect);
    }
}

TEST(WavExport, TicksOfAHundredBlocksWithProgress) {
    FakeDecoder dec;
    dec.blocks.assign(250, 1024);
    FakeFile file;
    WavExport ex(WavExportSetup{}, dec.Ops(), file.Ops());
    ex.Begin(32000);
    std::vector<int> progress;
    int ticks = 0;
    while (ex.Tick() == WavTick::kMore) {
        progress.push_back(ex.Progress());
        ASSERT_LT(++ticks, 10);
    }
    EXPECT_EQ(progress, (std::vector<int>{40, 80}));
    EXPECT_EQ(file.bytes.size(), kWavHeaderBytes + 250 * 1024);
    EXPECT_EQ(Le32(file.bytes, 40), 250u * 1024);
}

TEST(WavExport, KeepLeftAndDestination) {
    uint8_t block[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // two frames and a stray half
    EXPECT_EQ(WavKeepLeft(block, sizeof block), 4u);
    EXPECT_EQ(std::string(block, block + 4), std::string("\1\2\5\6", 4));
    EXPECT_EQ(WavDefaultDestination(L"C:\\m\\song.mp3"), L"C:\\m\\song.mp3.wav");
    EXPECT_EQ(WavDefaultDestination(std::wstring(398, L'a')).size(), kWavPathMax);
}

}  // namespace
