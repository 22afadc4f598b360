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
};
