// The sound-processing chain between the decoders and the output: the Winamp DSP plug-in hook,
// Enhancer 2, the three-band equalizer, Enhancer 1 and the mono down-mix, run in place on
// interleaved blocks. The output engine and the WAV export call it on the main thread; the
// settings pages change Settings between blocks.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/enh2.h"

struct Settings;

constexpr int kEqBands = 3;

// The DSP plug-in as the chain sees it: modifySamples processes `frames` frames of `bits`-bit
// samples in place and returns the plug-in's sample count (the chain keeps its own block size).
// Filled by the plug-in host; a null function means no plug-in is loaded.
struct DspPlugin {
    int (*modifySamples)(void* ctx, void* samples, int frames, int bits, int channels, int rate);
    void* ctx;
};

// Equalizer: per band and channel the last two inputs and outputs; never reset.
struct EqState {
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        int32_t freq = -1, value = -1;  // what the coefficients were computed for
        uint32_t rate = 0;
    };
    std::array<Biquad, kEqBands> coeffs{};
    int32_t x1[kEqBands][2] = {}, x2[kEqBands][2] = {};
    int32_t y1[kEqBands][2] = {}, y2[kEqBands][2] = {};
    std::vector<int32_t> work;  // the block as 32-bit integers; grows, never shrinks
};

// Enhancer 1: gain, per-rate constants and the detector high-pass memory (never reset).
struct Enh1State {
    float g = 1.0f;
    float e1MaxGain = 1.0f, e1UpStep = 0.0f, e1DownStep = 0.0f;
    int32_t hpIn[2] = {}, hpOut[2] = {};
    std::vector<int16_t> detector;  // high-passed copy of the block; grows, never shrinks
};

// Everything the chain keeps between blocks. One instance belongs to the output engine.
struct DspState {
    // Format of the open output, written by the engine whenever it opens one.
    uint32_t outRate = 44100;
    uint32_t outBits = 16;
    // One-shot: the engine sets it (dspKeepStateOnce) before restarting the current track, so
    // that the next dspApplySettings keeps the running gains.
    bool keepOnce = false;
    DspPlugin plugin{};
    Enh2Params enh2;
    Enh2State enh2State;
    EqState eq;
    Enh1State e1;
    std::vector<int32_t> plugin32;  // float blocks as 32-bit integers for the plug-in
    std::vector<int16_t> pcm16;     // float blocks as 16-bit for the equalizer and Enhancer 1
};

// Interleaved 16-bit block in place: plug-in; then, for a 16-bit output of at most 96 kHz and
// 1 or 2 channels, Enhancer 2 or else the equalizer, Enhancer 1, mono.
void dspProcessPcm16(DspState& d, const Settings& s, int16_t* samples, int frames, int channels);
// Interleaved float block (nominal -1..+1) in place: plug-in (as 32-bit); then, for 1 or 2
// channels, Enhancer 2, the equalizer and Enhancer 1 on a 16-bit copy, mono, and a final clamp.
void dspProcessFloat(DspState& d, const Settings& s, float* samples, int frames, int channels);
// Takes the settings: mode 2 configures Enhancer 2 (full reset when `reset` and not kept);
// always recomputes Enhancer 1's constants for `rate` (0 = unscaled). Clears the keep flag.
void dspApplySettings(DspState& d, const Settings& s, int mode, bool reset, uint32_t rate,
                      int channels);
// Enhancer 1's maximum gain and per-frame steps for `rate` (0 = unscaled); the gain is kept.
void enh1SetConstants(Enh1State& e, const Settings& s, uint32_t rate);
inline void dspKeepStateOnce(DspState& d) {
    d.keepOnce = true;
}

// The stages on their own (16-bit, 1 or 2 channels).
void eqProcess(EqState& eq, const Settings& s, uint32_t rate, int16_t* samples, int frames,
               int channels);
void enh1Process(Enh1State& e, const Settings& s, uint32_t rate, int16_t* samples, int frames,
                 int channels);
void monoPcm16(int16_t* samples, int frames);  // stereo frames to (L + R) / 2 on both
void monoFloat(float* samples, int frames);    // stereo frames to (L + R) x 0.5 on both

// Equalizer band coefficients for centre frequency `freq` (limited to rate / 2) and setting v.
EqState::Biquad eqBandCoefficients(int32_t freq, int32_t value, uint32_t rate);

// Combined Enhancer 1 + equalizer presets in enh_eq_set (slots 0..8 built in).
constexpr int kEnhPresetNameMax = 39;
constexpr int kEnhLastUserSlot = 28;
// The values a preset string holds, read at its fixed offsets.
struct EnhPreset {
    int stereo_width, amp_hpcutoff, amp_max, amp_up, amp_dwn, amp_threshold;
    int switches;  // bit 0 Enhancer 1 on, bit 1 equalizer on
    std::array<int32_t, 3> eq_f, eq;
    std::string name;
};
EnhPreset enhParsePreset(std::string_view entry);
std::string enhFormatPreset(const Settings& s, std::string_view name);
// Sets the fields of slot `slot` (enhance becomes 1 or 0) and, when Enhancer 1 is then on, calls
// dspApplySettings(1, no reset, rate 0). False for an empty slot.
bool enhApplyPreset(DspState& d, Settings& s, int slot);
// Stores the current values under `name` in the first empty slot after the built-ins; returns
// the slot, or -1 when it would lie beyond kEnhLastUserSlot.
int enhSavePreset(Settings& s, std::string_view name);
// Removes user slot `slot` (9 or later), moving the later ones down; false otherwise.
bool enhDeletePreset(Settings& s, int slot);

// The Enhancer 1 and equalizer values as the page found them ("[ Restore previous ]").
struct EnhSnapshot {
    uint8_t enhance, stereo_width, amp_hpcutoff, amp_max, amp_up, amp_dwn, amp_threshold;
    int32_t eq_enable;
    std::array<int32_t, 3> eq, eq_f;
};
EnhSnapshot enhTakeSnapshot(const Settings& s);
void enhRestoreSnapshot(Settings& s, const EnhSnapshot& snap);
