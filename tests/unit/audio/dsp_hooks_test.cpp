#include <gtest/gtest.h>

#include "audio/dsp_hooks.h"
#include "engine_fakes.h"

// The chain connected through the binding runs on the blocks the device gets, at the format
// of the open output, and each buffer record carries the chain's gains after its block.
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
        EXPECT_EQ(reinterpret_cast<const int16_t*>(t.ps.buffers[0].data.data())[0], c.first);
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
