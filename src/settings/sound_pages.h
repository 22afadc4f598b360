// The rules behind the sound pages of the settings dialog ("Audio", "Decoders", "Enhancer 1",
// "Enhancer 2", "Hotkeys"): which value a control shows, what it writes into Settings, the
// device list, the Enhancer 2 sliders over the fixed-position strings, the meters, and the
// hotkey slot editing. Portable; sound_pages_win.cpp puts them on the controls.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/dsp.h"

struct Settings;

// ---- "Audio" ----

struct SliderRange {
    int lo, hi;
};

// One entry of the output device list and the wavedevice value it stands for: wave-out devices
// (the mapper 0, device id d as d + 1) and DirectSound devices (bit 7, plus the number of the
// device in the enumeration; the first reported is the primary driver, 0).
struct OutputDeviceRow {
    std::string text;
    uint8_t wavedevice;
};
// waveOut: the wave-out device names by id; directSound: the texts of the reported devices
// ("DirectSound: " and the description), in reported order.
std::vector<OutputDeviceRow> OutputDeviceRows(const std::vector<std::string>& waveOut,
                                              const std::vector<std::string>& directSound);
// The row that stands for `wavedevice`, -1 when none does (a device that is gone).
int OutputDeviceIndex(const std::vector<OutputDeviceRow>& rows, uint8_t wavedevice);

constexpr int kOutBufMin = 1, kOutBufMax = 20;        // outbuflength in quarter seconds
std::string OutBufLengthText(int quarters);           // "1.00 s"
constexpr int kFileBufMin = 20, kFileBufMax = 500;    // filebufsize in KB
constexpr int kStreamBufMin = 1, kStreamBufMax = 60;  // streambuffer in seconds
// A number typed into a box, limited to lo..hi; `fallback` when the text holds no digits.
int BoxNumber(std::string_view text, int lo, int hi, int fallback);

// The number boxes of "Wave device settings", each a field or a bit range of one, with its
// limits: the file buffer, the overlap level (1/200 of full scale) and loud-end limit (x 10,
// the two bytes of overlap2), the ring seconds with overlap mixing (overlap2buf low byte), the
// "Auto space (ms):" pause, the stop and skip fade times (1/10 s in fadeout) and the fade decay.
enum class AudioBox {
    FileBuf,
    OverlapLevel,
    LoudEnd,
    OverlapSeconds,
    AutospaceMs,
    StopFade,
    SkipFade,
    FadeDecay,
    Count
};
SliderRange AudioBoxRange(AudioBox b);
int AudioBoxValue(const Settings& s, AudioBox b);
void SetAudioBox(Settings& s, AudioBox b, int value);  // within the limits, other bits kept

// The check boxes of the page: gapless 0x01, 0x04, 0x08; wave_flags 0x40, 0x80 (a loud track
// end); autospace 0x8000 (on turns gapless off); fadeout 0x80, 0x8000, 0x10000; wave_flags
// 0x01, 0x02, 0x200, 0x08.
enum class AudioCheck {
    Gapless,
    SkipSilences,
    Overlap,
    LoudNoOverlap,
    LoudFade,
    AutoSpace,
    StopFade,
    SkipFade,
    FadeIn,
    SoftVolume,
    Surround,
    Mode24,
    Mono,
    Count
};
bool AudioCheckOn(const Settings& s, AudioCheck c);
void SetAudioCheck(Settings& s, AudioCheck c, bool on);
// The output format of overlap mixing (overlap2buf high byte, entries 0..4).
constexpr int kOutputFormats = 5;
const char* OutputFormatText(int i);  // "Out: Current track" ...
int OutputFormat(const Settings& s);
void SetOutputFormat(Settings& s, int i);

// ---- "Decoders" ----

// The BASS line: "bass.dll <loadedWord> <version>", or "bass.dll not loaded" without a version.
std::wstring BassStatusText(const std::wstring& loadedWord, const std::string& version);
// An input plug-in's list text from its descriptor "dll/description/ext;ext;":
// "description  (dll: ext;ext;)".
std::string PluginListText(std::string_view descriptor);

// ---- "Enhancer 1" ----

// Enhancer 1's six sliders, in page order.
enum class Enh1Slider { StereoWidth, HpCutoff, MaxGain, Up, Down, Threshold, Count };
SliderRange Enh1SliderRange(Enh1Slider k);
int Enh1SliderValue(const Settings& s, Enh1Slider k);
void Enh1SetSlider(Settings& s, Enh1Slider k, int value);  // limited to the range
// The text beside it; `rate` is the open output's (0: 44100).
std::string Enh1SliderText(const Settings& s, Enh1Slider k, uint32_t rate);

// The preset list: "   [ Restore previous ]" (slot -1), then every filled enh_eq_set slot by
// its name.
struct EnhListRow {
    int slot;  // -1 = restore previous
    std::string text;
};
std::vector<EnhListRow> EnhPresetRows(const Settings& s);

// "Reset": the three equalizer bands flat.
void EqReset(Settings& s);
// The "Enable" boxes: Enhancer 1 on sets enhance 1 (off: 0); the equalizer on while Enhancer 2
// is selected switches Enhancer 2 off; Enhancer 2 on switches the equalizer off.
void SetEnhancer1On(Settings& s, bool on);
void SetEqualizerOn(Settings& s, bool on);
void SetEnhancer2On(Settings& s, bool on);

// ---- "Enhancer 2" ----

// The sliders over the three strings, in page order: per band Max amp, Release, Attack,
// Threshold; then Drive, Stereo; then the limiter's Threshold, Release, Ceiling, Knee, Ratio,
// Attack.
constexpr int kEnh2BandSliders = 4;
constexpr int kEnh2SliderCount = kEnh2Bands * kEnh2BandSliders + 2 + 6;
struct Enh2SliderInfo {
    int string;  // 0 enh2_1, 1 enh2_2, 2 enh2_lim
    size_t pos;  // first digit
    int lo, hi;
};
Enh2SliderInfo Enh2Slider(int index);
int Enh2SliderValue(const Settings& s, int index);
// Writes the value (limited to the slider's range) as three digits at its place; a string too
// short for it is padded with "-" first.
void Enh2SetSlider(Settings& s, int index, int value);
// The text beside slider `index` from parameters parsed at the page's rate.
std::string Enh2SliderText(const Enh2Params& p, int index);

// The three crossover boxes ("Freq (Hz)", "(0 = off)"): five digits each in enh2_1.
constexpr int kEnh2CrossoverBoxes = 3;
int Enh2Crossover(const Settings& s, int k);
void Enh2SetCrossover(Settings& s, int k, int hz);  // limited to 0..99999

// The switches: Multiband ('m' at 0), AGC ('a' at 1) of enh2_1; the limiter ('l' at 0) and the
// clipper (0 none, 1 's', 2 'h' at 2) of enh2_lim.
enum class Enh2Switch { Multiband, Agc, Limiter };
bool Enh2SwitchOn(const Settings& s, Enh2Switch w);
void Enh2SetSwitch(Settings& s, Enh2Switch w, bool on);
int Enh2Clipper(const Settings& s);
void Enh2SetClipper(Settings& s, int mode);

// The meters, read every 20 ms from the chain's monitor outputs: each band's mean gain in dB,
// and how far the limiter pulled the captured block down (0 or negative dB, the peak of its
// output against the peak of its input).
struct Enh2Meters {
    float bandDb[kEnh2Bands];
    float limiterDb;
};
Enh2Meters Enh2MeterValues(const Enh2Monitor& m);
// Where a value of lo..hi dB puts a meter bar: 0..1, limited.
float MeterFraction(float db, float lo, float hi);

// Enhancer 1's "Level / Amp" meter from the peaks of the block heard (0..32767) and the chain's
// gain × 100: the dry level and the output level in dB of full scale, the gain as a factor.
struct LevelMeter {
    float dryDb, gain, outDb;
};
LevelMeter Enh1MeterValues(int dryPeak, int outPeak, int gainX100);

// ---- "Hotkeys" ----

// The key box and the modifier boxes for a slot's entry: the index into HotkeyKeyNames() (0,
// "No key", for an empty or unknown entry) and the modifier sum read back from its text
// (Ctrl 1, Alt 2, Win 4, Shift 8).
struct HotkeyBoxes {
    int keyIndex;
    unsigned modifiers;
};
HotkeyBoxes HotkeyBoxesFor(std::string_view entry);
