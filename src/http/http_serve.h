// Serving one connection of the control server: one receive, the router's decision, the
// command or volume on the window thread, the reply, and a graceful close. Sockets are reached
// through HttpSocketOps (Winsock in zuvo.exe, BSD sockets in the native tests); the player
// through HttpServeHost, whose entries run on the window thread.
#pragma once
#include <cstdint>
#include <string>

#include "http/http_page.h"
#include "http/http_router.h"

constexpr uint32_t kHttpCommandPauseMs = 300;  // lets the page show the command's effect
constexpr uint32_t kHttpCloseWaitMs = 500;     // the most a client is given to close first

struct HttpSocketOps {
    void* ctx = nullptr;
    // One receive into buf: bytes received, 0 when the peer closed, < 0 on an error or timeout.
    int (*recv)(void* ctx, intptr_t sock, uint8_t* buf, int room) = nullptr;
    // Sends all of data; false on an error.
    bool (*send)(void* ctx, intptr_t sock, const void* data, int bytes) = nullptr;
    // The reply is out: shut the sending side, wait at most waitMs for the peer to close, close.
    void (*closeGraceful)(void* ctx, intptr_t sock, uint32_t waitMs) = nullptr;
    void (*close)(void* ctx, intptr_t sock) = nullptr;  // at once, nothing sent
};

struct HttpServeHost {
    void* ctx = nullptr;
    void (*command)(void* ctx, unsigned id) = nullptr;  // returns when the window has done it
    void (*setVolume)(void* ctx, int volume) = nullptr;
    void (*snapshot)(void* ctx, HttpPageState& out) = nullptr;
    // The stream takes the socket (true) or refuses it: all listener slots are busy.
    bool (*streamAttach)(void* ctx, intptr_t sock) = nullptr;
    void (*sleepMs)(void* ctx, uint32_t ms) = nullptr;
    std::string address;  // the server address part of the settings
};

// Serves the connection and disposes of the socket (closed, or handed to the stream).
// Returns what the router decided.
HttpRoute HttpServeConnection(const HttpSocketOps& net, const HttpServeHost& host, intptr_t sock);
