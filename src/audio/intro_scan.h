// The intro scan: plays the beginning of every track of the list from a chosen point for a
// fixed time, then moves on. The logic of its window (start, tick, next, stop, close) over the
// running engine; the window, its controls and the sequencer are reached through IntroScanOps.
// Main thread only.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"

struct Settings;

constexpr unsigned kIntroScanTimer = 555;   // the window's own timer
constexpr unsigned kIntroScanTickMs = 500;  // the counter counts half seconds
constexpr int kIntroScanMoveOn = 999;       // counter value that makes the next tick move on

struct IntroScan {
    bool running = false;  // the 500 ms timer runs
    int counter = 0;       // half seconds of the current intro heard
};

struct IntroScanOps {
    void* ctx = nullptr;
    // The selected row of the focused list / the next row, at `startPercent` of the track.
    // startNext is false at the end of the list.
    bool (*startSelected)(void* ctx, int startPercent) = nullptr;
    bool (*startNext)(void* ctx, int startPercent) = nullptr;
    void (*startTimer)(void* ctx) = nullptr;  // timer 555, every 500 ms
    void (*stopTimer)(void* ctx) = nullptr;
    void (*progress)(void* ctx, int halfSeconds) = nullptr;  // the progress bar
    void (*enableStart)(void* ctx, bool enabled) = nullptr;  // the start button
    void (*wait)(void* ctx, uint32_t ms) = nullptr;          // lets the fade be heard
    void (*dropWaveMessages)(void* ctx) = nullptr;  // queued buffer-done messages go unprocessed
};

// intro_scan: low byte the intro length in half seconds (2..120), high byte the start in
// percent of the track (0..98). Reading clamps into those ranges; writing sets one byte.
int IntroLength(const Settings& s);
int IntroStartPercent(const Settings& s);
void SetIntroLength(Settings& s, int halfSeconds);
void SetIntroStartPercent(Settings& s, int percent);

// The start button: starts the selected row when nothing plays, else moves on at the next tick.
void IntroScanStart(IntroScan& st, Engine& e, const IntroScanOps& ops);
// Timer 555.
void IntroScanTick(IntroScan& st, Engine& e, const IntroScanOps& ops);
// The next button (and the next-track command and a natural track end while the window is open).
void IntroScanNext(IntroScan& st);
// The stop button: the resume position becomes what is heard; play stops (after a skip fade).
void IntroScanStop(IntroScan& st, Engine& e, const IntroScanOps& ops);
// Closing the window at (x, y): the timer stops; returns the new intro_sc_pos (kept as `saved`
// unless both coordinates are positive).
int32_t IntroScanClose(IntroScan& st, const IntroScanOps& ops, int x, int y, int32_t saved);
