#include "settings/sound_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "config/settings.h"
#include "ui/hotkeys.h"

namespace {

const char kEnh2_1[] = "m---f00300f04000f00000------------l020s020";
const char kEnh2_2[] =
    "----m044u051d088t046m045u051d085t051m045u047d085t020m022u058d085t009----------------";
const char kEnh2Lim[] = "l-s---th240re040ce300kn055ra201at025ho000";

Settings Enh2Settings() {
    Settings s;
    s.enh2_1 = kEnh2_1;
    s.enh2_2 = kEnh2_2;
    s.enh2_lim = kEnh2Lim;
    return s;
}

Enh2Params Parse(const Settings& s) {
    return enh2ParseParams(s.enh2_1, s.enh2_2, s.enh2_lim, 0);
}

// Each device row selects the wavedevice value the engine opens, and back.
TEST(SoundPages, OutputDevices) {
    const auto rows = OutputDeviceRows({"Speakers", "Headset"},
                                       {"DirectSound: Primary", "DirectSound: Speakers"});
    const struct {
        const char* text;
        uint8_t value;
    } want[] = {{"Wave mapper", 0},
                {"Wave: Speakers", 1},
                {"Wave: Headset", 2},
                {"DirectSound: Primary", 0x80},
                {"DirectSound: Speakers", 0x81}};
    ASSERT_EQ(rows.size(), std::size(want));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].text, want[i].text);
        EXPECT_EQ(rows[i].wavedevice, want[i].value);
        EXPECT_EQ(OutputDeviceIndex(rows, want[i].value), static_cast<int>(i));
    }
    EXPECT_EQ(OutputDeviceIndex(rows, 0x83), -1);  // a DirectSound device that is gone
    EXPECT_EQ(OutputDeviceIndex(rows, 3), -1);
}

TEST(SoundPages, SmallTexts) {
    EXPECT_EQ(OutBufLengthText(4), "1.00 s");
    EXPECT_EQ(OutBufLengthText(1), "0.25 s");
    EXPECT_EQ(OutBufLengthText(kOutBufMax), "5.00 s");
    const struct {
        const char* text;
        int want;
    } boxes[] = {{"", 7},     {"abc", 7}, {"-5", 7},    {"600", 500},
                 {" 30", 30}, {"5", 20},  {"250x", 250}};
    for (const auto& b : boxes) EXPECT_EQ(BoxNumber(b.text, 20, 500, 7), b.want) << b.text;
    EXPECT_EQ(BassStatusText(L"version", "2.4.17.0"), L"bass.dll version 2.4.17.0");
    EXPECT_EQ(BassStatusText(L"version", ""), L"bass.dll not loaded");
    EXPECT_EQ(PluginListText("in_zuvo.dll/Zuvo sndfile input/flac;ogg;"),
              "Zuvo sndfile input  (in_zuvo.dll: flac;ogg;)");
    EXPECT_EQ(PluginListText("in_a.dll/A/B plug-in/mp3;"), "A/B plug-in  (in_a.dll: mp3;)");
}

// Each box of "Wave device settings" writes its bits within its limits and keeps the rest.
TEST(SoundPages, AudioBoxesKeepTheOtherBits) {
    const struct {
        AudioBox box;
        int value;
        int32_t Settings::*i32;
        uint16_t Settings::*u16;
        int64_t want;
    } cases[] = {
        {AudioBox::FileBuf, 5, nullptr, &Settings::filebufsize, 20},
        {AudioBox::OverlapLevel, 47, nullptr, &Settings::overlap2, 0x1A2F},
        {AudioBox::LoudEnd, 30, nullptr, &Settings::overlap2, 0x1E32},
        {AudioBox::OverlapSeconds, 99, nullptr, &Settings::overlap2buf, 0x023C},
        {AudioBox::AutospaceMs, 40000, nullptr, &Settings::autospace, 0x8000 | 30000},
        {AudioBox::StopFade, 15, &Settings::fadeout, nullptr, 0x1850F},
        {AudioBox::SkipFade, 25, &Settings::fadeout, nullptr, 0x1940A},
        {AudioBox::FadeDecay, 9, &Settings::fade_decay, nullptr, 8},
    };
    for (const auto& c : cases) {
        Settings s;
        s.overlap2 = 0x1A32, s.overlap2buf = 0x020A, s.autospace = 0x8000 | 2000;
        s.fadeout = 0x1850A, s.fade_decay = 6;
        SetAudioBox(s, c.box, c.value);
        EXPECT_EQ(c.i32 ? int64_t{s.*c.i32} : int64_t{s.*c.u16}, c.want) << c.value;
        const SliderRange r = AudioBoxRange(c.box);
        EXPECT_EQ(AudioBoxValue(s, c.box), std::clamp(c.value, r.lo, r.hi));
    }
}

TEST(SoundPages, AudioChecksFlipOneBit) {
    const struct {
        AudioCheck check;
        int gapless, wave, autospace, fadeout;
    } cases[] = {
        {AudioCheck::Gapless, 0x01, 0, 0, 0},   {AudioCheck::SkipSilences, 0x04, 0, 0, 0},
        {AudioCheck::Overlap, 0x08, 0, 0, 0},   {AudioCheck::LoudNoOverlap, 0, 0x40, 0, 0},
        {AudioCheck::LoudFade, 0, 0x80, 0, 0},  {AudioCheck::AutoSpace, 0, 0, 0x8000, 0},
        {AudioCheck::StopFade, 0, 0, 0, 0x80},  {AudioCheck::SkipFade, 0, 0, 0, 0x8000},
        {AudioCheck::FadeIn, 0, 0, 0, 0x10000}, {AudioCheck::SoftVolume, 0, 0x01, 0, 0},
        {AudioCheck::Surround, 0, 0x02, 0, 0},  {AudioCheck::Mode24, 0, 0x200, 0, 0},
        {AudioCheck::Mono, 0, 0x08, 0, 0},
    };
    for (const auto& c : cases) {
        Settings s;
        SetAudioCheck(s, c.check, true);
        EXPECT_TRUE(AudioCheckOn(s, c.check));
        EXPECT_EQ((std::array<int, 4>{s.gapless, s.wave_flags, s.autospace, s.fadeout}),
                  (std::array<int, 4>{c.gapless, c.wave, c.autospace, c.fadeout}));
        SetAudioCheck(s, c.check, false);
        EXPECT_EQ(s.gapless + s.wave_flags + s.autospace + s.fadeout, 0);
    }
    Settings s;
    s.gapless = 13;
    SetAudioCheck(s, AudioCheck::AutoSpace, true);  // the pause replaces the gapless join
    EXPECT_EQ(s.gapless, 12);
    SetOutputFormat(s, 9);
    EXPECT_EQ(OutputFormat(s), kOutputFormats - 1);
    EXPECT_STREQ(OutputFormatText(OutputFormat(s)), "Out: 48.000 Hz, Stereo, LP");
}

// Every Enhancer 2 slider writes the field the processing reads: set to its top, the parsed
// parameter moves, and no other slider's value changes.
TEST(SoundPages, Enhancer2SlidersHitTheirFields) {
    const struct {
        int index;
        double Enh2Params::*field;  // null: checked through the band table
        double want;
    } cases[] = {
        {16, &Enh2Params::drive, 1.5},        {18, &Enh2Params::limThresholdDb, 0.0},
        {20, &Enh2Params::limCeilingDb, 0.0}, {21, &Enh2Params::kneeDb, 40.0},
        {22, &Enh2Params::ratio, 20.1},       {23, &Enh2Params::attackMs, 10.0},
    };
    for (const auto& c : cases) {
        Settings s = Enh2Settings();
        Enh2SetSlider(s, c.index, Enh2Slider(c.index).hi);
        EXPECT_DOUBLE_EQ(Parse(s).*c.field, c.want) << c.index;
    }
    for (int i = 0; i < kEnh2SliderCount; ++i) {
        Settings s = Enh2Settings();
        const Enh2SliderInfo k = Enh2Slider(i);
        const int other = Enh2SliderValue(s, (i + 1) % kEnh2SliderCount);
        Enh2SetSlider(s, i, k.hi + 50);  // limited
        EXPECT_EQ(Enh2SliderValue(s, i), k.hi) << i;
        EXPECT_EQ(Enh2SliderValue(s, (i + 1) % kEnh2SliderCount), other) << i;
        EXPECT_EQ(s.enh2_1.size() + s.enh2_2.size() + s.enh2_lim.size(),
                  sizeof kEnh2_1 + sizeof kEnh2_2 + sizeof kEnh2Lim - 3);
    }
    Settings s = Enh2Settings();
    Enh2SetSlider(s, 2 * kEnh2BandSliders + 0, 100);  // band 3 Max amp
    Enh2SetSlider(s, 3 * kEnh2BandSliders + 3, 0);    // band 4 Threshold
    Enh2SetSlider(s, 17, 40);                         // Stereo
    Enh2SetSlider(s, 19, 800);                        // limiter Release
    const Enh2Params p = Parse(s);
    EXPECT_DOUBLE_EQ(p.band[2].maxAmp, 10.0);
    EXPECT_DOUBLE_EQ(p.band[3].threshold, 0.25);
    EXPECT_EQ(p.stereoAmount, 40);
    EXPECT_EQ(p.releaseMs, 800);
    EXPECT_EQ(Enh2SliderText(p, 2 * kEnh2BandSliders), "10.0 x");
    EXPECT_EQ(Enh2SliderText(p, 17), "+40 %");
    EXPECT_EQ(Enh2SliderText(p, 19), "800 ms");
    EXPECT_EQ(Enh2SliderText(p, 22), "inf : 1");
}

TEST(SoundPages, Enhancer2SwitchesAndCrossovers) {
    Settings s = Enh2Settings();
    Enh2SetSwitch(s, Enh2Switch::Agc, true);
    Enh2SetSwitch(s, Enh2Switch::Multiband, false);
    Enh2SetSwitch(s, Enh2Switch::Limiter, false);
    Enh2SetClipper(s, 2);
    Enh2SetCrossover(s, 2, 123456);
    Enh2SetCrossover(s, 0, 150);
    Enh2Params p = Parse(s);
    // Crossover 2 is untouched.
    EXPECT_EQ(std::tuple(p.agc, p.multiband, p.limiterOn, p.clipMode, p.crossover[0],
                         p.crossover[1], Enh2Crossover(s, 2)),
              std::tuple(true, false, false, 2, 150, 4000, 99999));
    for (Enh2Switch w : {Enh2Switch::Multiband, Enh2Switch::Agc, Enh2Switch::Limiter}) {
        Enh2SetSwitch(s, w, true);
        EXPECT_TRUE(Enh2SwitchOn(s, w));
    }
    // An empty string (a hand-edited file) is padded so that the fields land in place.
    Settings e;
    Enh2SetSlider(e, 18, 250);
    Enh2SetSwitch(e, Enh2Switch::Limiter, true);
    p = enh2ParseParams(e.enh2_1, e.enh2_2, e.enh2_lim, 0);
    EXPECT_DOUBLE_EQ(p.limThresholdDb, -5.0);
    EXPECT_TRUE(p.limiterOn);
}

TEST(SoundPages, EnhancerSwitchesExcludeEachOther) {
    const struct {
        int enhance, eq;
        void (*set)(Settings&, bool);
        bool on;
        int wantEnhance, wantEq;
    } cases[] = {
        {0, 1, SetEnhancer2On, true, 2, 0},  {2, 0, SetEqualizerOn, true, 0, 1},
        {1, 0, SetEqualizerOn, true, 1, 1},  {2, 0, SetEnhancer1On, true, 1, 0},
        {2, 0, SetEnhancer1On, false, 2, 0}, {1, 1, SetEnhancer2On, false, 1, 1},
        {1, 1, SetEnhancer1On, false, 0, 1},
    };
    for (const auto& c : cases) {
        Settings s;
        s.enhance = static_cast<uint8_t>(c.enhance);
        s.eq_enable = c.eq;
        c.set(s, c.on);
        EXPECT_EQ(s.enhance, c.wantEnhance);
        EXPECT_EQ(s.eq_enable, c.wantEq);
    }
}

TEST(SoundPages, Enhancer1SlidersAndPresets) {
    Settings s;
    const int tops[] = {100, 100, 100, 120, 100, 100};
    for (int k = 0; k < static_cast<int>(Enh1Slider::Count); ++k) {
        Enh1SetSlider(s, static_cast<Enh1Slider>(k), 500);
        EXPECT_EQ(Enh1SliderValue(s, static_cast<Enh1Slider>(k)), tops[k]);
    }
    EXPECT_EQ(s.amp_up, 120);
    EXPECT_EQ(s.amp_threshold, 100);
    EXPECT_EQ(Enh1SliderText(s, Enh1Slider::Threshold, 0), "off");
    EXPECT_EQ(Enh1SliderText(s, Enh1Slider::HpCutoff, 0), "200 Hz");
    s.eq = {0, 90, 33};
    EqReset(s);
    EXPECT_EQ(s.eq, (std::array<int32_t, 3>{50, 50, 50}));
    s.enh_eq_set[0] = "040,040,056,092,079,019,1,00100,01000,10000,050,050,050,   [ Night ]";
    s.enh_eq_set[1] = "000,000,078,029,082,026,2,00100,01000,10000,050,080,050,mine";
    std::vector<std::string> rows;
    for (const EnhListRow& r : EnhPresetRows(s)) rows.push_back(std::to_string(r.slot) + r.text);
    EXPECT_EQ(rows,
              (std::vector<std::string>{"-1   [ Restore previous ]", "0   [ Night ]", "1mine"}));
}

TEST(SoundPages, Meters) {
    Enh2Monitor m;
    m.bandAverage = {1.0f, 2.0f, 0.5f, 1.0f};
    m.captureCount = {3, 3, 3};
    m.capture[1][0] = 0.2f, m.capture[1][1] = -1.0f, m.capture[1][2] = 0.4f;  // input
    m.capture[0][0] = 0.1f, m.capture[0][1] = -0.5f, m.capture[0][2] = 0.2f;  // output
    Enh2Meters v = Enh2MeterValues(m);
    EXPECT_NEAR(v.bandDb[0], 0.0, 1e-6);
    EXPECT_NEAR(v.bandDb[1], 6.02, 0.01);
    EXPECT_NEAR(v.bandDb[2], -6.02, 0.01);
    EXPECT_NEAR(v.limiterDb, -6.02, 0.01);
    m.captureCount = {0, 0, 0};  // nothing captured: no reduction shown
    EXPECT_EQ(Enh2MeterValues(m).limiterDb, 0.0f);
    EXPECT_FLOAT_EQ(MeterFraction(-6, -12, 0), 0.5f);
    EXPECT_FLOAT_EQ(MeterFraction(3, -12, 0), 1.0f);
    EXPECT_FLOAT_EQ(MeterFraction(-40, -12, 0), 0.0f);
    const LevelMeter l = Enh1MeterValues(16384, 32767, 250);
    EXPECT_NEAR(l.dryDb, -6.02, 0.01);
    EXPECT_NEAR(l.outDb, 0.0, 1e-3);
    EXPECT_FLOAT_EQ(l.gain, 2.5f);
}

// What "Set" writes, the boxes read back when the slot is selected again.
TEST(SoundPages, HotkeyBoxesRoundTrip) {
    const auto& keys = HotkeyKeyNames();
    for (size_t i = 1; i < keys.size(); ++i) {
        for (unsigned mods : {0u, 1u, 6u, 9u, 15u}) {
            std::string def;
            ASSERT_TRUE(HotkeySetSlot(def, 4, keys[i].code, mods));
            const HotkeyBoxes b = HotkeyBoxesFor(HotkeyEntry(def, 4));
            EXPECT_EQ(b.keyIndex, static_cast<int>(i)) << keys[i].name << " " << mods;
            EXPECT_EQ(b.modifiers, mods) << keys[i].name;
        }
    }
    const struct {
        const char* entry;
        int keyIndex;
        unsigned mods;
    } cases[] = {{"0x000", 0, 0}, {"0x0A3", 0, 0}, {"0x74A", -1, 1}, {"", 0, 0}};
    for (const auto& c : cases) {
        const HotkeyBoxes b = HotkeyBoxesFor(c.entry);
        if (c.keyIndex >= 0) {
            EXPECT_EQ(b.keyIndex, c.keyIndex) << c.entry;
        }
        EXPECT_EQ(b.modifiers, c.mods) << c.entry;
    }
}

}  // namespace
