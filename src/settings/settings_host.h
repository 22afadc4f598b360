// What the settings pages need from the subsystems above them (audio devices, decoders,
// plug-ins, the HTTP server, the window's refreshes). Filled once by the start-up code; a null
// entry is something not built yet, and the page shows the control disabled.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DspState;
struct Settings;

// What the level meters of the sound pages read from the block now heard: the peak per channel
// before and after the processing chain (0..32767) and the chain's gains x 100 (Enhancer 2's
// four bands, its AGC per channel, Enhancer 1's gain).
struct SoundLevels {
    uint16_t before[2] = {}, after[2] = {};
    int32_t gains[8] = {};
};

struct SettingsHost {
    void* ctx = nullptr;
    // Window refreshes after a change: the title and status flags; the focused list rebuilt.
    void (*refreshStatus)(void* ctx) = nullptr;
    void (*rebuildFocusedList)(void* ctx) = nullptr;
    // The dialog closes; `before` is the settings as they were when it opened: the folder tree
    // follows what changed (the roots shown, hidden entries, lists in the tree, the base folder).
    void (*settingsEdited)(void* ctx, const Settings& before) = nullptr;
    // Sound processing after a change on a page (mode, reset as the engine's own call takes).
    void (*applyDsp)(void* ctx, int mode, bool reset) = nullptr;
    // ---- the frame, the quick settings and the general pages ----
    // Restart: whether a track plays (" /r"), whether the settings live beside the program for
    // good (" /localini"), the exit sequence that writes the settings file, and where it is.
    bool (*playing)(void* ctx) = nullptr;
    bool (*portable)(void* ctx) = nullptr;
    void (*shutdown)(void* ctx) = nullptr;
    std::wstring (*settingsPath)(void* ctx) = nullptr;
    std::wstring (*programPath)(void* ctx) = nullptr;
    // "Always be portable": creates the marker file and moves the settings beside the program;
    // false when the program's folder cannot be written.
    bool (*makePortable)(void* ctx) = nullptr;
    // The window's face after a change of colours, theme, toolbar or layout settings.
    void (*refreshFace)(void* ctx) = nullptr;
    // The global hotkeys registered again after hotkeys / hotkey_def changed.
    void (*registerHotkeys)(void* ctx) = nullptr;
    // The HTTP server: start or stop, the status line and the local address.
    void (*httpControl)(void* ctx, bool stop) = nullptr;
    std::string (*httpStatus)(void* ctx) = nullptr;
    std::string (*httpLocalAddress)(void* ctx) = nullptr;
    // ---- the sound pages ("Audio", "Decoders", "Enhancer 1", "Enhancer 2", "Hotkeys") ----
    // The output's processing chain: the Enhancer pages reconfigure it and read its monitor.
    DspState* (*dspState)(void* ctx) = nullptr;
    uint32_t (*outputRate)(void* ctx) = nullptr;  // the open output's rate, 0 when none
    // The meters: precise level metering and the Enhancer 2 monitor on while a page shows them;
    // false from levels when nothing plays.
    void (*meters)(void* ctx, bool on) = nullptr;
    bool (*levels)(void* ctx, SoundLevels& out) = nullptr;
    // Output devices: wave-out names by device id; DirectSound texts ("DirectSound: " ...).
    std::vector<std::string> (*waveOutDevices)(void* ctx) = nullptr;
    std::vector<std::string> (*directSoundDevices)(void* ctx) = nullptr;
    // bass.dll: load (true when loaded), unload (stops a track it decodes), version text
    // ("2.4.17.0", empty when not loaded).
    bool (*bassLoad)(void* ctx) = nullptr;
    void (*bassUnload)(void* ctx) = nullptr;
    std::string (*bassVersionText)(void* ctx) = nullptr;
    // The input plug-ins' descriptors ("dll/description/ext;"), their Config and About boxes;
    // the DSP plug-in's load (true when loaded), unload and Config. parent: the page (HWND).
    std::vector<std::string> (*inputPlugins)(void* ctx) = nullptr;
    void (*pluginConfig)(void* ctx, int index, void* parent) = nullptr;
    void (*pluginAbout)(void* ctx, int index, void* parent) = nullptr;
    bool (*dspPluginLoad)(void* ctx) = nullptr;
    void (*dspPluginUnload)(void* ctx) = nullptr;
    void (*dspPluginConfig)(void* ctx, void* parent) = nullptr;
};
