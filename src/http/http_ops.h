// What the HTTP server offers the rest of the program (HttpOps), and what it needs from the
// subsystems above it (HttpHost). Both filled once by the start-up code (app/wiring_win.cpp).
#pragma once
#include <cstdint>
#include <string>

#include "http/http_page.h"

struct HttpOps {
    void* ctx = nullptr;
    // stop false with no server running: starts it when the settings enable it and give an
    // address; in every other case stops everything (listener, stream, their threads).
    void (*serverControl)(void* ctx, bool stop) = nullptr;
    bool (*running)(void* ctx) = nullptr;
    bool (*streaming)(void* ctx) = nullptr;  // the stream's sender thread exists
    // The first IPv4 address of the local host name, empty on failure.
    std::string (*localAddress)(void* ctx) = nullptr;
};

// What the stream reads of the engine, and sets while it sends silence.
struct StreamEngineState {
    bool playing = false;
    uint32_t rate = 0, channels = 0;  // the current output format
};

// Every entry runs on the window thread: the server's threads carry each call there.
struct HttpHost {
    void* ctx = nullptr;
    std::string (*settings)(void* ctx) = nullptr;  // the `httpserv` text
    void (*snapshot)(void* ctx, HttpPageState& out) = nullptr;
    void (*command)(void* ctx, unsigned id) = nullptr;       // as WM_COMMAND with the id
    void (*setVolume)(void* ctx, int volume) = nullptr;      // the field, the output, its display
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;
    void (*showMessage)(void* ctx, const wchar_t* text, int ms) = nullptr;
    void (*engineState)(void* ctx, StreamEngineState& out) = nullptr;
    void (*setOutputFormat)(void* ctx, uint32_t rate, uint32_t channels) = nullptr;
    void (*setStreamTap)(void* ctx, bool on) = nullptr;  // the engine feeds the stream
};

// The settings page's status line.
std::string HttpStatusText(bool enabled, bool running, const std::string& localAddress);
