// What the window's face offers the rest of the program: layout, title and status texts, the
// toolbar's state, passing messages, the picture and the Big view. One table, filled once by the
// start-up code (app/wiring_win.cpp); a null entry is a part of the face that is not built yet,
// and its step is skipped. Main thread only.
#pragma once
#include <cstdint>

// Bits of the toolbar refresh mask: which buttons follow a changed state.
namespace ToolbarMask {
constexpr uint32_t Repeat = 1u << 0;
constexpr uint32_t ListButtons = (1u << 1) | (1u << 2);  // next, skip, shuffle enabled
constexpr uint32_t Shuffle = 1u << 3;
constexpr uint32_t Scan = 1u << 4;
constexpr uint32_t QuitAfterTrack = 1u << 5;
constexpr uint32_t Playlist = 1u << 6;
constexpr uint32_t IntroScan = 1u << 7;
constexpr uint32_t Mute = 1u << 8;
constexpr uint32_t WebServer = 1u << 9;
constexpr uint32_t Sound = 1u << 10;
}  // namespace ToolbarMask

struct ViewOps {
    void* ctx = nullptr;
    void (*layout)(void* ctx) = nullptr;      // places the child windows in the client area
    void (*showVolume)(void* ctx) = nullptr;  // the volume slider follows the settings
    void (*applyWindowFrame)(void* ctx) = nullptr;
    void (*updateFlags)(void* ctx) = nullptr;  // the status bar's option flags
    void (*updateTitle)(void* ctx) = nullptr;
    void (*updateToolbar)(void* ctx, uint32_t mask) = nullptr;  // ToolbarMask bits
    void (*showPlayButton)(void* ctx, bool pressed) = nullptr;
    void (*showMessage)(void* ctx, const wchar_t* text, int ms) = nullptr;
    void (*updatePicture)(void* ctx) = nullptr;
    int (*bigViewState)(void* ctx) = nullptr;  // 0 closed, 1 shown until the next command
    void (*focusToolbar)(void* ctx) = nullptr;
    void (*toolbarKey)(void* ctx, int virtualKey) = nullptr;  // a key the toolbar takes itself
    void (*storePlacement)(void* ctx) = nullptr;  // the window's place into the settings
    // The main window has become visible: what could wait until then (the sliders' tooltips).
    void (*windowShown)(void* ctx) = nullptr;
    // A status pane's text (0 left, 1 middle, 2 right).
    void (*setStatusText)(void* ctx, int pane, const wchar_t* text) = nullptr;
};
