#include "settings/sound_pages.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/text.h"
#include "config/settings.h"
#include "dsp/dsp_texts.h"
#include "ui/hotkeys.h"

namespace {

constexpr uint8_t kDirectSound = 0x80;
constexpr int kDeviceNumberMax = 0x7F;

std::string& Enh2String(Settings& s, int which) {
    return which == 0 ? s.enh2_1 : which == 1 ? s.enh2_2 : s.enh2_lim;
}
const std::string& Enh2String(const Settings& s, int which) {
    return which == 0 ? s.enh2_1 : which == 1 ? s.enh2_2 : s.enh2_lim;
}

// Writes `text` at `pos`, padding a short string with dashes first.
void PutAt(std::string& s, size_t pos, std::string_view text) {
    if (s.size() < pos + text.size()) s.resize(pos + text.size(), '-');
    s.replace(pos, text.size(), text);
}

float Db(double linear) {
    return static_cast<float>(20.0 * std::log10(std::max(linear, 1e-9)));
}

// Where each limiter slider's three digits stand in enh2_lim, with its range.
constexpr Enh2SliderInfo kLimiter[6] = {
    {2, 8, 0, 300},    // Threshold
    {2, 13, 1, 800},   // Release
    {2, 18, 0, 300},   // Ceiling
    {2, 23, 0, 400},   // Knee
    {2, 28, 11, 201},  // Ratio x 10
    {2, 33, 1, 100},   // Attack, tenths of ms
};
constexpr size_t kCrossoverPos[kEnh2CrossoverBoxes] = {5, 11, 17};

}  // namespace

// ---- "Audio" ----

std::vector<OutputDeviceRow> OutputDeviceRows(const std::vector<std::string>& waveOut,
                                              const std::vector<std::string>& directSound) {
    std::vector<OutputDeviceRow> rows;
    rows.push_back({"Wave mapper", 0});
    for (size_t i = 0; i < waveOut.size() && i + 1 <= kDeviceNumberMax; ++i)
        rows.push_back({"Wave: " + waveOut[i], static_cast<uint8_t>(i + 1)});
    for (size_t i = 0; i < directSound.size() && i <= kDeviceNumberMax; ++i)
        rows.push_back({directSound[i], static_cast<uint8_t>(kDirectSound | i)});
    return rows;
}

int OutputDeviceIndex(const std::vector<OutputDeviceRow>& rows, uint8_t wavedevice) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].wavedevice == wavedevice) return static_cast<int>(i);
    return -1;
}

std::string OutBufLengthText(int quarters) {
    return Format("%.2f s", quarters / 4.0);
}

int BoxNumber(std::string_view text, int lo, int hi, int fallback) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9') return fallback;
    return std::clamp(ParseLeadingInt(text), lo, hi);
}

namespace {

// Where a box or check box keeps its value: a field and the bits of it.
enum class Field { FileBuf, Overlap2, Overlap2Buf, Autospace, Fadeout, FadeDecay, Gapless, Wave };

uint32_t Get(const Settings& s, Field f) {
    switch (f) {
        case Field::FileBuf:
            return s.filebufsize;
        case Field::Overlap2:
            return s.overlap2;
        case Field::Overlap2Buf:
            return s.overlap2buf;
        case Field::Autospace:
            return s.autospace;
        case Field::Fadeout:
            return static_cast<uint32_t>(s.fadeout);
        case Field::FadeDecay:
            return static_cast<uint32_t>(s.fade_decay);
        case Field::Gapless:
            return s.gapless;
        default:
            return s.wave_flags;
    }
}

void Put(Settings& s, Field f, uint32_t v) {
    switch (f) {
        case Field::FileBuf:
            s.filebufsize = static_cast<uint16_t>(v);
            break;
        case Field::Overlap2:
            s.overlap2 = static_cast<uint16_t>(v);
            break;
        case Field::Overlap2Buf:
            s.overlap2buf = static_cast<uint16_t>(v);
            break;
        case Field::Autospace:
            s.autospace = static_cast<uint16_t>(v);
            break;
        case Field::Fadeout:
            s.fadeout = static_cast<int32_t>(v);
            break;
        case Field::FadeDecay:
            s.fade_decay = static_cast<int32_t>(v);
            break;
        case Field::Gapless:
            s.gapless = static_cast<uint8_t>(v);
            break;
        default:
            s.wave_flags = static_cast<uint16_t>(v);
            break;
    }
}

struct BoxSpec {
    Field field;
    uint32_t mask;
    int lo, hi;
};
constexpr BoxSpec kBoxes[] = {
    {Field::FileBuf, 0xFFFF, kFileBufMin, kFileBufMax},
    {Field::Overlap2, 0x00FF, 0, 200},
    {Field::Overlap2, 0xFF00, 0, 255},
    {Field::Overlap2Buf, 0x00FF, 2, 60},
    {Field::Autospace, 0x7FFF, 0, 30000},
    {Field::Fadeout, 0x007F, 0, 100},
    {Field::Fadeout, 0x7F00, 0, 20},
    {Field::FadeDecay, 0xFFFFFFFF, 0, 8},
};
static_assert(std::size(kBoxes) == static_cast<size_t>(AudioBox::Count));

struct CheckSpec {
    Field field;
    uint32_t bit;
};
constexpr CheckSpec kChecks[] = {
    {Field::Gapless, 0x01}, {Field::Gapless, 0x04},   {Field::Gapless, 0x08},
    {Field::Wave, 0x40},    {Field::Wave, 0x80},      {Field::Autospace, 0x8000},
    {Field::Fadeout, 0x80}, {Field::Fadeout, 0x8000}, {Field::Fadeout, 0x10000},
    {Field::Wave, 0x01},    {Field::Wave, 0x02},      {Field::Wave, 0x200},
    {Field::Wave, 0x08},
};
static_assert(std::size(kChecks) == static_cast<size_t>(AudioCheck::Count));

int Shift(uint32_t mask) {
    int n = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++n;
    return n;
}

constexpr const char* kFormats[kOutputFormats] = {
    "Out: Current track", "Out: 44.100 Hz, Stereo", "Out: 48.000 Hz, Stereo",
    "Out: 44.100 Hz, Stereo, LP", "Out: 48.000 Hz, Stereo, LP"};

}  // namespace

SliderRange AudioBoxRange(AudioBox b) {
    const BoxSpec& k = kBoxes[static_cast<int>(b)];
    return {k.lo, k.hi};
}

int AudioBoxValue(const Settings& s, AudioBox b) {
    const BoxSpec& k = kBoxes[static_cast<int>(b)];
    return static_cast<int>((Get(s, k.field) & k.mask) >> Shift(k.mask));
}

void SetAudioBox(Settings& s, AudioBox b, int value) {
    const BoxSpec& k = kBoxes[static_cast<int>(b)];
    const uint32_t v = static_cast<uint32_t>(std::clamp(value, k.lo, k.hi));
    Put(s, k.field, (Get(s, k.field) & ~k.mask) | ((v << Shift(k.mask)) & k.mask));
}

bool AudioCheckOn(const Settings& s, AudioCheck c) {
    const CheckSpec& k = kChecks[static_cast<int>(c)];
    return (Get(s, k.field) & k.bit) != 0;
}

void SetAudioCheck(Settings& s, AudioCheck c, bool on) {
    const CheckSpec& k = kChecks[static_cast<int>(c)];
    const uint32_t v = Get(s, k.field);
    Put(s, k.field, on ? v | k.bit : v & ~k.bit);
    // The pause between tracks and the gapless join exclude each other.
    if (c == AudioCheck::AutoSpace && on) SetAudioCheck(s, AudioCheck::Gapless, false);
}

const char* OutputFormatText(int i) {
    return kFormats[std::clamp(i, 0, kOutputFormats - 1)];
}

int OutputFormat(const Settings& s) {
    return std::min<int>(s.overlap2buf >> 8, kOutputFormats - 1);
}

void SetOutputFormat(Settings& s, int i) {
    s.overlap2buf =
        static_cast<uint16_t>((s.overlap2buf & 0xFF) | (std::clamp(i, 0, kOutputFormats - 1) << 8));
}

// ---- "Decoders" ----

std::wstring BassStatusText(const std::wstring& loadedWord, const std::string& version) {
    if (version.empty()) return L"bass.dll not loaded";
    return L"bass.dll " + loadedWord + L" " + std::wstring(version.begin(), version.end());
}

std::string PluginListText(std::string_view d) {
    const size_t first = d.find('/');
    const size_t last = d.rfind('/');
    if (first == std::string_view::npos || last == first) return std::string(d);
    return std::string(d.substr(first + 1, last - first - 1)) + "  (" +
           std::string(d.substr(0, first)) + ": " + std::string(d.substr(last + 1)) + ")";
}

// ---- "Enhancer 1" ----

SliderRange Enh1SliderRange(Enh1Slider k) {
    return k == Enh1Slider::Up ? SliderRange{0, 120} : SliderRange{0, 100};
}

int Enh1SliderValue(const Settings& s, Enh1Slider k) {
    switch (k) {
        case Enh1Slider::StereoWidth:
            return s.stereo_width;
        case Enh1Slider::HpCutoff:
            return s.amp_hpcutoff;
        case Enh1Slider::MaxGain:
            return s.amp_max;
        case Enh1Slider::Up:
            return s.amp_up;
        case Enh1Slider::Down:
            return s.amp_dwn;
        default:
            return s.amp_threshold;
    }
}

void Enh1SetSlider(Settings& s, Enh1Slider k, int value) {
    const SliderRange r = Enh1SliderRange(k);
    const uint8_t v = static_cast<uint8_t>(std::clamp(value, r.lo, r.hi));
    switch (k) {
        case Enh1Slider::StereoWidth:
            s.stereo_width = v;
            break;
        case Enh1Slider::HpCutoff:
            s.amp_hpcutoff = v;
            break;
        case Enh1Slider::MaxGain:
            s.amp_max = v;
            break;
        case Enh1Slider::Up:
            s.amp_up = v;
            break;
        case Enh1Slider::Down:
            s.amp_dwn = v;
            break;
        default:
            s.amp_threshold = v;
            break;
    }
}

std::string Enh1SliderText(const Settings& s, Enh1Slider k, uint32_t rate) {
    switch (k) {
        case Enh1Slider::StereoWidth:
            return StereoWidthText(s.stereo_width);
        case Enh1Slider::HpCutoff:
            return HpCutoffText(s.amp_hpcutoff);
        case Enh1Slider::MaxGain:
            return AmpMaxText(s);
        case Enh1Slider::Up:
            return AmpUpText(s, rate ? rate : 44100);
        case Enh1Slider::Down:
            return AmpDownText(s, rate ? rate : 44100);
        default:
            return AmpThresholdText(s.amp_threshold);
    }
}

std::vector<EnhListRow> EnhPresetRows(const Settings& s) {
    std::vector<EnhListRow> rows{{-1, "   [ Restore previous ]"}};
    for (int slot = 0; slot < kPresetSlots && !s.enh_eq_set[slot].empty(); ++slot)
        rows.push_back({slot, enhParsePreset(s.enh_eq_set[slot]).name});
    return rows;
}

void EqReset(Settings& s) {
    s.eq = {50, 50, 50};
}

void SetEnhancer1On(Settings& s, bool on) {
    if (on)
        s.enhance = 1;
    else if (s.enhance == 1)
        s.enhance = 0;
}

void SetEqualizerOn(Settings& s, bool on) {
    s.eq_enable = on ? 1 : 0;
    if (on && s.enhance == 2) s.enhance = 0;
}

void SetEnhancer2On(Settings& s, bool on) {
    if (on) {
        s.enhance = 2;
        s.eq_enable = 0;
    } else if (s.enhance == 2) {
        s.enhance = 0;
    }
}

// ---- "Enhancer 2" ----

Enh2SliderInfo Enh2Slider(int index) {
    constexpr int kBandSliders = kEnh2Bands * kEnh2BandSliders;
    if (index < kBandSliders) {
        const int band = index / kEnh2BandSliders, field = index % kEnh2BandSliders;
        return {1, static_cast<size_t>(4 + 16 * band + 4 * field + 1), 0, 100};
    }
    if (index == kBandSliders) return {0, 35, 0, 40};      // Drive
    if (index == kBandSliders + 1) return {0, 39, 0, 40};  // Stereo
    return kLimiter[std::clamp(index - kBandSliders - 2, 0, 5)];
}

int Enh2SliderValue(const Settings& s, int index) {
    const Enh2SliderInfo k = Enh2Slider(index);
    return std::clamp(Enh2Field(Enh2String(s, k.string), k.pos, 3), k.lo, k.hi);
}

void Enh2SetSlider(Settings& s, int index, int value) {
    const Enh2SliderInfo k = Enh2Slider(index);
    PutAt(Enh2String(s, k.string), k.pos, Format("%.3d", std::clamp(value, k.lo, k.hi)));
}

std::string Enh2SliderText(const Enh2Params& p, int index) {
    constexpr int kBandSliders = kEnh2Bands * kEnh2BandSliders;
    if (index < kBandSliders) {
        const int band = index / kEnh2BandSliders;
        switch (index % kEnh2BandSliders) {
            case 0:
                return Enh2MaxAmpText(p, band);
            case 1:
                return Enh2ReleaseText(p, band);
            case 2:
                return Enh2AttackText(p, band);
            default:
                return Enh2ThresholdText(p, band);
        }
    }
    switch (index - kBandSliders) {
        case 0:
            return Enh2DriveText(p.drive);
        case 1:
            return Enh2StereoText(p.stereoAmount);
        case 2:
            return DbText(p.limThresholdDb);
        case 3:
            return WholeMsText(p.releaseMs);
        case 4:
            return DbText(p.limCeilingDb);
        case 5:
            return DbText(p.kneeDb);
        case 6:
            return Enh2RatioText(p.ratio);
        default:
            return MsText(p.attackMs);
    }
}

int Enh2Crossover(const Settings& s, int k) {
    return Enh2Field(s.enh2_1, kCrossoverPos[std::clamp(k, 0, kEnh2CrossoverBoxes - 1)], 5);
}

void Enh2SetCrossover(Settings& s, int k, int hz) {
    PutAt(s.enh2_1, kCrossoverPos[std::clamp(k, 0, kEnh2CrossoverBoxes - 1)],
          Format("%.5d", std::clamp(hz, 0, 99999)));
}

bool Enh2SwitchOn(const Settings& s, Enh2Switch w) {
    const std::string& t = w == Enh2Switch::Limiter ? s.enh2_lim : s.enh2_1;
    const size_t pos = w == Enh2Switch::Agc ? 1 : 0;
    if (t.size() <= pos) return false;
    switch (w) {
        case Enh2Switch::Multiband:
            return t[pos] == 'm';
        case Enh2Switch::Agc:
            return t[pos] == 'a';
        default:
            return t[pos] == 'l' || t[pos] == 'L';
    }
}

void Enh2SetSwitch(Settings& s, Enh2Switch w, bool on) {
    static constexpr char kLetter[] = {'m', 'a', 'l'};
    std::string& t = w == Enh2Switch::Limiter ? s.enh2_lim : s.enh2_1;
    const char c = on ? kLetter[static_cast<int>(w)] : '-';
    PutAt(t, w == Enh2Switch::Agc ? 1 : 0, std::string_view(&c, 1));
}

int Enh2Clipper(const Settings& s) {
    if (s.enh2_lim.size() < 3) return 0;
    return s.enh2_lim[2] == 's' ? 1 : s.enh2_lim[2] == 'h' ? 2 : 0;
}

void Enh2SetClipper(Settings& s, int mode) {
    const char c = mode == 1 ? 's' : mode == 2 ? 'h' : '-';
    PutAt(s.enh2_lim, 2, std::string_view(&c, 1));
}

Enh2Meters Enh2MeterValues(const Enh2Monitor& m) {
    Enh2Meters out{};
    for (int k = 0; k < kEnh2Bands; ++k) out.bandDb[k] = Db(m.bandAverage[k]);
    // Rows 0 (limiter output) and 1 (limiter input) of the last block.
    const int n = std::min(m.captureCount[0], m.captureCount[1]);
    float inPeak = 0, outPeak = 0;
    for (int i = 0; i < n; ++i) {
        inPeak = std::max(inPeak, std::fabs(m.capture[1][i]));
        outPeak = std::max(outPeak, std::fabs(m.capture[0][i]));
    }
    out.limiterDb = inPeak > 0 && outPeak < inPeak ? Db(outPeak / inPeak) : 0.0f;
    return out;
}

float MeterFraction(float db, float lo, float hi) {
    if (!(hi > lo)) return 0;
    return std::clamp((db - lo) / (hi - lo), 0.0f, 1.0f);
}

LevelMeter Enh1MeterValues(int dryPeak, int outPeak, int gainX100) {
    return {Db(dryPeak / 32767.0), gainX100 / 100.0f, Db(outPeak / 32767.0)};
}

// ---- "Hotkeys" ----

HotkeyBoxes HotkeyBoxesFor(std::string_view entry) {
    const std::string text = HotkeyText(entry);
    HotkeyBoxes b{0, 0};
    if (text.empty()) return b;
    static constexpr const char* kMods[] = {"Ctrl +", "Alt +", "Win +", "Shift +"};
    for (unsigned i = 0; i < 4; ++i)
        if (text.find(kMods[i]) != std::string::npos) b.modifiers |= 1u << i;
    // The key by its name after the modifiers; the names are unique.
    const size_t plus = text.rfind("+ ");
    const std::string name = plus == std::string::npos ? text : text.substr(plus + 2);
    const std::vector<KeyName>& keys = HotkeyKeyNames();
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i].name.substr(0, 20) == name) b.keyIndex = static_cast<int>(i);
    return b;
}
