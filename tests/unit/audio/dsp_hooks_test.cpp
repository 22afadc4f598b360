#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/dsp_hooks.h"
#include "engine_fakes.h"

// The chain connected through the binding runs on the blocks the device gets, at the format
// of the open output, between the two level meters, and each buffer record carries the
// chain's gains after its block.
TEST(DspBinding, ChainRunsOnTheOutputBlocksAtTheOutputFormat) {
    struct Case {
        int enhance, stereoWidth;
        int16_t first;  // first sample of the first buffer (the fake decodes L = R = 1000)
    } cases[] = {
        {0, 100, 1000},  // chain off: untouched
        {1, 100, 500},   // Enhancer 1 narrows by R x 100 / 200, its gain starts at 1.0
        {1, 40, 800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stereoWidth);
        TestEngine t;
        t.s.enhance = static_cast<uint8_t>(c.enhance);
        t.s.stereo_width = static_cast<uint8_t>(c.stereoWidth);
        t.Stream(300, kMpeg2L3_64);  // 22,050 Hz
        DspState d;
        d.outRate = 0;
        DspBinding b{&d, &t.s, &t.ps};
        t.io.dsp = DspHooksFor(b);
        ASSERT_EQ(t.Start(), 0);
        WaveOutStart(t.e);
        const OutBuffer& first = t.ps.buffers[0];
        const auto* pcm = reinterpret_cast<const int16_t*>(first.data.data());
        EXPECT_EQ(pcm[0], c.first);
        // The meters see the decoded block before the chain and the chain's block after it:
        // the peak of the left channel in the first 1/25 s (882 frames) is one of its samples.
        bool seen = false;
        for (int i = 0; i < 882; ++i) seen |= std::abs(pcm[2 * i]) == first.peaks[1][0];
        EXPECT_EQ(first.peaks[0][0], 1000);
        EXPECT_TRUE(seen) << first.peaks[1][0];
        EXPECT_EQ(d.outRate, 22050u);
        EXPECT_EQ(d.outBits, 16u);
        const int32_t* g = t.ps.buffers[0].gains;
        for (int k = 0; k < 6; ++k) EXPECT_EQ(g[k], 100) << k;  // Enhancer 2 is off: unity
        if (c.enhance == 1) {
            EXPECT_GT(g[6], 100);  // Enhancer 1's gain has risen over the quiet block
        } else {
            EXPECT_EQ(g[6], 100);
        }
    }
}
