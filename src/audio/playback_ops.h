// What the playback engine offers the rest of the program: one table, filled once by the
// start-up code (app/wiring_win.cpp) with the engine's glue, faked by the dispatcher's tests.
// Main thread only.
#pragma once
#include <cstdint>

// What the engine reports about the current track.
struct EngineView {
    bool trackLoaded = false;         // a track is open (playing, or stopped with a known position)
    bool outputOpen = false;          // playback runs
    bool busy = false;                // a stop fade or the intro scan runs
    bool stoppedLengthKnown = false;  // the engine still knows the stopped track's length
    int64_t stopPosition = 0;         // where the stopped track was left
    int64_t position = 0;  // the current position (file bytes, ms for streams): what is heard
    uint32_t queuedMs = 0;            // output already queued
};

// How a seek ended (see Seek in audio/control.h).
enum class SeekResult { NotLoaded, Moved, Restarted, NextTrack, PastEnd };

struct PlaybackOps {
    void* ctx = nullptr;
    void (*view)(void* ctx, EngineView& out) = nullptr;
    // Stops output and decoder and closes the file.
    void (*stop)(void* ctx) = nullptr;
    // Stop/Resume's stop: with fadeMs > 0 the queued audio fades first and the deferred stop
    // keeps the resume position; false when that fade could not start (nothing plays, or an
    // action pends). Without a fade it stops at once and keeps the resume position.
    bool (*fadeOutStop)(void* ctx, int fadeMs) = nullptr;
    void (*stopAtOnce)(void* ctx) = nullptr;
    // Moves the track by `seconds` (restarting through timer 1809 after restartDelayMs while
    // playing); nextAtEnd: the next track when the target lies past the end.
    SeekResult (*seek)(void* ctx, double seconds, uint32_t restartDelayMs,
                       bool nextAtEnd) = nullptr;
    void (*applyVolume)(void* ctx, bool clearMute) = nullptr;
    // Soft mute (0 off, 1 mute, 2 a quarter) and fast play (0 off, 1..3): the engine's fields.
    uint8_t (*softMute)(void* ctx) = nullptr;
    void (*setSoftMute)(void* ctx, uint8_t value) = nullptr;
    uint8_t (*fastPlay)(void* ctx) = nullptr;
    void (*setFastPlay)(void* ctx, uint8_t level) = nullptr;
    void (*restartQueue)(void* ctx) = nullptr;  // a fast-play change heard at once
    void (*markManualSkip)(void* ctx) = nullptr;
    void (*resetEnhancer2)(void* ctx) = nullptr;
    void (*pendingAction)(void* ctx) = nullptr;  // timer 1810
    bool (*introScanNext)(void* ctx) = nullptr;  // true when the running intro scan took "next"
};
