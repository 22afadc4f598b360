// Fast play: the speed-up of each level, blocks too short to cut, the cross-fade tail carried
// from one block into the next, the kept part copied untouched, and where it applies.
#include "audio/fast_play.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int16_t> Ramp(uint32_t n) {
    std::vector<int16_t> v(n);
    for (uint32_t i = 0; i < n; ++i) v[i] = static_cast<int16_t>(i % 20000);
    return v;
}

TEST(FastPlay, LevelsShortenSixteenKilosampleBlocks) {
    // 16,384-sample blocks of 44.1 kHz stereo play about 1.4, 1.6 and 2.0 times as fast.
    const struct {
        uint8_t level;
        double speed;
    } cases[] = {{1, 1.4}, {2, 1.6}, {3, 2.0}};
    for (const auto& c : cases) {
        PlayState ps;
        ps.fastPlayLevel = c.level;
        std::vector<int16_t> s = Ramp(16384);
        const uint32_t n = FastPlay16(ps, s.data(), 16384, 44100, 2);
        EXPECT_NEAR(16384.0 / n, c.speed, 0.06) << int{c.level};
        EXPECT_EQ(n % 2, 0u) << "whole frames";
        std::vector<float> f(16384, 0.25f);
        PlayState pf;
        pf.fastPlayLevel = c.level;
        EXPECT_EQ(FastPlayFloat(pf, f.data(), 16384, 44100, 2), n) << "float layout differs";
    }
}

TEST(FastPlay, ShortBlocksPassUnchanged) {
    // One segment needs 2 × 150 + 400 frames (doubled from 32 kHz on).
    const struct {
        uint32_t n, rate, channels;
        bool cut;
    } cases[] = {{2799, 44100, 2, false},
                 {2800, 44100, 2, true},
                 {699, 22050, 1, false},
                 {700, 22050, 1, true},
                 {1399, 32000, 1, false}};
    for (const auto& c : cases) {
        PlayState ps;
        ps.fastPlayLevel = 3;
        std::vector<int16_t> s = Ramp(c.n);
        const std::vector<int16_t> before = s;
        const uint32_t n = FastPlay16(ps, s.data(), c.n, c.rate, c.channels);
        EXPECT_EQ(n < c.n, c.cut) << c.n << " at " << c.rate;
        if (!c.cut) {
            EXPECT_EQ(s, before);
        }
    }
}

TEST(FastPlay, TailCarriesIntoTheNextBlock) {
    // A steady level comes out steady once a tail exists: the faded-out tail and the faded-in
    // start of the next segment add up to the input. The first block after a cleared tail fades
    // in from silence; the kept part after the cross-fade is the input itself.
    PlayState ps;
    ps.fastPlayLevel = 2;
    const uint32_t x = 600;  // cross-fade samples, 44.1 kHz stereo
    for (int block = 0; block < 3; ++block) {
        if (block == 2) FastPlayClearTail(ps);
        std::vector<int16_t> s(16384, 10000);
        s[x] = 1234;  // first kept sample
        const uint32_t n = FastPlay16(ps, s.data(), 16384, 44100, 2);
        ASSERT_GT(n, x + 1);
        EXPECT_EQ(s[x], 1234) << block;
        const bool fromSilence = block != 1;
        EXPECT_EQ(s[0], fromSilence ? 0 : 10000) << block;
        EXPECT_NEAR(s[x / 2], fromSilence ? 5000 : 10000, 2) << block;
        // Later segments of the block always have a tail.
        EXPECT_NEAR(s[n - 1], 10000, 2) << block;
    }
}

TEST(FastPlay, AppliesOnlyToSixteenBitOrTheTwentyFourBitMode) {
    const struct {
        uint8_t level;
        bool url, mode24;
        uint32_t bits;
        bool applies;
    } cases[] = {{0, false, false, 16, false}, {1, false, false, 16, true},
                 {3, true, false, 16, false},  {2, false, true, 24, true},
                 {2, false, false, 24, false}, {2, false, false, 8, false}};
    for (const auto& c : cases) {
        PlayState ps;
        ps.fastPlayLevel = c.level;
        ps.urlStream = c.url;
        ps.mode24 = c.mode24;
        ps.outBits = c.bits;
        EXPECT_EQ(FastPlayApplies(ps), c.applies) << int{c.level} << c.url << c.mode24 << c.bits;
    }
}

}  // namespace
