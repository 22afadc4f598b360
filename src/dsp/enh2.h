// Enhancer 2, the "4 band dynamics and limiter": wide-band AGC, up to four bands with an
// automatic gain each, drive, stereo width, two soft clippers and a look-ahead limiter. Its
// configuration is the three fixed-position strings enh2_1, enh2_2 and enh2_lim of Settings.
// Everything runs on the main thread over the records passed in; nothing here is global.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Settings;

constexpr int kEnh2Bands = 4;
constexpr int kEnh2Crossovers = 4;  // the fourth sits in filler positions and always reads 0
constexpr int kEnh2Channels = 2;
// Frames the band gain looks ahead of the frame it scales; fixed, whatever the rate.
constexpr int kEnh2BandLookAhead = 150;
// Floats each delay line holds at least: 10 ms of stereo up to 100 kHz.
constexpr int kEnh2TailRoom = 2000;
constexpr int kEnh2CaptureLen = 4000;  // monitor capture, channel-0 samples per row

// One band's automatic gain, derived from its m, u, d and t fields.
struct Enh2Band {
    double maxAmp;     // 1.0..10.0
    double upStep;     // gain rise per frame, scaled to the rate
    double downStep;   // gain fall per frame, scaled to the rate
    double threshold;  // linear peak level, full scale 1.0
};

// Second-order low-pass, transposed direct form II; one set serves both channels.
struct Enh2Biquad {
    double b0, b1, b2, a1, a2;
};

// The values enh2Configure derives from the three strings.
struct Enh2Params {
    uint32_t rate = 44100;  // output rate the steps and filters were computed for
    std::array<uint16_t, kEnh2Crossovers> crossover{};  // Hz, 0 = off (ends the band list)
    std::array<Enh2Band, kEnh2Bands> band{};
    double drive = 1.0;    // 0.5..1.5
    int stereoAmount = 0;  // percent, -40..+40; 0 = neutral
    bool multiband = false, agc = false, limiterOn = false;
    int clipMode = 0;  // 0 none, 1 "Soft clip 1", 2 "Soft clip 2"
    double limThresholdDb = 0, limCeilingDb = 0, kneeDb = 0, ratio = 1, attackMs = 0;
    int releaseMs = 0, holdMs = 0;
    std::array<Enh2Biquad, kEnh2Crossovers> filter{};  // one per crossover
};

// What the settings page reads while it is open. Written by enh2Process only while `on` is set.
struct Enh2Monitor {
    bool on = false;  // set by the page when it opens, cleared when it closes
    std::array<float, kEnh2Bands> bandAverage{1.0f, 1.0f, 1.0f, 1.0f};  // mean gain, last block
    // Rows: limiter output, limiter input, limiter envelope (channel 0 only).
    std::array<std::array<float, kEnh2CaptureLen>, 3> capture{};
    std::array<int, 3> captureCount{};  // samples of each row written by the last block
};

// State kept between blocks, and the work buffers that the blocks share.
struct Enh2State {
    std::array<double, kEnh2Channels> agcGain{1.0, 1.0};
    std::array<double, kEnh2Bands> bandGain{1.0, 1.0, 1.0, 1.0};
    float z1[kEnh2Crossovers][kEnh2Channels] = {};  // crossover filter memory, never reset
    float z2[kEnh2Crossovers][kEnh2Channels] = {};
    // Last 10 ms of each band and of the limiter input (rate/100 frames x channels samples).
    std::array<std::vector<float>, kEnh2Bands> bandTail;
    std::vector<float> limTail;
    // Limiter per channel: envelope E, hold counter h, current decay coefficient r.
    float limEnv[kEnh2Channels] = {};
    uint16_t limHold[kEnh2Channels] = {};
    float limDecay[kEnh2Channels] = {};
    uint16_t soloBand = 0;  // 0 = all bands, 1..4 = that band alone ("Solo")
    Enh2Monitor monitor;
    // Work buffers: they grow when a block is larger than any before and are never shrunk, so a
    // block of a known size allocates nothing.
    std::array<std::vector<float>, kEnh2Bands> work;
    std::vector<float> input;
};

// enh2Configure flags.
namespace Enh2Reset {
enum : unsigned {
    BandGains = 1u << 0,   // band gains and the monitor averages back to 1.0
    DelayLines = 1u << 1,  // band and limiter delay lines silent
};
}

// Reads a numeric field from exactly its digit positions: leading decimal digits, anything else
// ends it; positions past the end of the text read as nothing. No digits gives 0.
int Enh2Field(std::string_view text, size_t pos, size_t width);

// The parameters of the three strings for an output of `rate` Hz (0 = 44100).
Enh2Params enh2ParseParams(std::string_view enh2_1, std::string_view enh2_2,
                           std::string_view enh2_lim, uint32_t rate);

// Parses the strings of `s` into p, sizes the delay lines for the rate and resets state by flags
// (Enh2Reset bits; any non-zero flags also put both AGC gains back to 1.0). Filter memory, the
// limiter envelope and hold counters are kept.
void enh2Configure(Enh2Params& p, Enh2State& st, const Settings& s, unsigned flags, uint32_t rate);

// Processes one interleaved block of 1 or 2 channels in place. 16-bit samples are scaled by
// 1/32767 on entry and come back truncated and clamped to -32767..32767; float samples come
// back unclamped.
void enh2Process(const Enh2Params& p, Enh2State& st, int16_t* samples, int frames, int channels);
void enh2Process(const Enh2Params& p, Enh2State& st, float* samples, int frames, int channels);

// Built-in presets, "3 band enhance" first.
struct Enh2Preset {
    const char* name;
    const char* enh2_1;
    const char* enh2_2;
    const char* enh2_lim;
};
constexpr int kEnh2BuiltInPresets = 9;
const Enh2Preset& enh2BuiltInPreset(int index);  // index 0..8

// Copies built-in preset `index` into the three strings; false for an unknown index.
bool enh2ApplyBuiltIn(Settings& s, int index);

// The three strings as the page found them when it opened ("Restore previous").
struct Enh2Snapshot {
    std::string enh2_1, enh2_2, enh2_lim;
};
Enh2Snapshot enh2TakeSnapshot(const Settings& s);
void enh2RestoreSnapshot(Settings& s, const Enh2Snapshot& snap);

constexpr int kEnh2NameMax = 89;       // characters of a user preset's name
constexpr int kEnh2LastUserSlot = 28;  // at most 29 user presets

// Stores the three strings under `name` in the first empty enh2_set slot. Returns the slot, or
// -1 when that slot would be beyond kEnh2LastUserSlot.
int enh2SaveUserPreset(Settings& s, std::string_view name);
// Copies the first three "##"-separated pieces of slot `slot`; false for an empty slot.
bool enh2ApplyUserPreset(Settings& s, int slot);
// Frees slot `slot` and moves the later ones down; false for an empty slot.
bool enh2DeleteUserPreset(Settings& s, int slot);
// The name a user preset shows: the text after the last '#'.
std::string_view enh2UserPresetName(std::string_view entry);

// The preset list of the page: "Presets:", "   Restore previous", the built-ins, then (when
// there are user presets) "User settings:" and their names, each entry indented by three blanks.
struct Enh2ListRow {
    enum Kind { Heading, Restore, BuiltIn, User } kind;
    int index;  // built-in index or enh2_set slot; -1 for the others
    std::string text;
};
std::vector<Enh2ListRow> enh2PresetList(const Settings& s);
