#include <gtest/gtest.h>

#include "config/settings.h"
#include "dsp/dsp_texts.h"

// The slider value texts of the sound-processing pages, against values worked out by hand.
// Enhancer 2's band at 48 kHz: 100 ms up, 2.5 ms down. Enhancer 1's times follow the output
// rate's step scaling, so they read the same at any rate (0: not yet known).
TEST(DspTexts, ValueTexts) {
    Enh2Params p;
    p.rate = 48000;
    p.band[1] = Enh2Band{2.5, 1.0 / 4800, 1.0 / 120, 0.5};
    Enh2State st;
    st.agcGain = {2.0, 0.5};
    Settings s;
    s.amp_max = 10;
    s.amp_up = 100;   // step 0.000404 per frame at 44.1 kHz: 56 ms
    s.amp_dwn = 100;  // step 0.004: 5.7 ms
    struct Case {
        std::string got, want;
    } cases[] = {
        {Enh2DriveText(1.0), "0.0 dB"},   {Enh2DriveText(1.5), "+3.5 dB"},
        {Enh2DriveText(0.5), "-6.0 dB"},  {Enh2StereoText(20), "+20 %"},
        {Enh2StereoText(-10), "-10 %"},   {Enh2StereoText(0), "0 %"},
        {Enh2RatioText(20.1), "inf : 1"}, {Enh2RatioText(20), "20.0 : 1"},
        {StereoWidthText(0), "Normal"},   {StereoWidthText(41), "20 %"},
        {HpCutoffText(0), "Off"},         {HpCutoffText(100), "200 Hz"},
        {AmpThresholdText(100), "off"},   {AmpThresholdText(99), "-0.0 dB"},
        {AmpThresholdText(0), "-6.0 dB"}, {EqBandText(50), "0"},
        {EqBandText(38), "12"},           {EqBandText(58), "-8"},
        {Enh2MaxAmpText(p, 1), "2.5 x"},  {Enh2ReleaseText(p, 1), "100 ms"},
        {Enh2AttackText(p, 1), "2.5 ms"}, {Enh2ThresholdText(p, 1), "-6.0 dB"},
        {Enh2AgcText(st), "AGC 6.0 / -6.0 dB"},
        {AmpMaxText(s), "1.9 x"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
    for (uint32_t rate : {0u, 44100u, 88200u, 22050u}) {
        EXPECT_EQ(AmpUpText(s, rate), "56 ms") << rate;
        EXPECT_EQ(AmpDownText(s, rate), "5.7 ms") << rate;
    }
}
