// What the settings pages need from the subsystems above them (audio devices, decoders,
// plug-ins, the HTTP server, the window's refreshes). Filled once by the start-up code; a null
// entry is something not built yet, and the page shows the control disabled.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SettingsHost {
    void* ctx = nullptr;
    // Window refreshes after a change: the title and status flags; the focused list rebuilt.
    void (*refreshStatus)(void* ctx) = nullptr;
    void (*rebuildFocusedList)(void* ctx) = nullptr;
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
};
