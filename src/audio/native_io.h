// The engine's tables for runs without Windows: a fake sound device that plays nothing but
// keeps what it was given, and the track file over C stdio. Used by the render probe (and so
// later by the WAV export's tests) and by the engine tests.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "audio/engine_io.h"

struct FakeDevice {
    // Wave-out: the buffers written and not yet given back, oldest first.
    std::deque<OutBuffer*> queued;
    bool waveOutOpen = false;
    WaveFormat format;    // of the last open (either device)
    int device = -2;      // device number of the last wave-out open
    uint32_t volume = 0;  // last waveOutSetVolume value
    int writes = 0;
    bool failWaveOutOpen = false;

    // DirectSound: the secondary buffer and its play cursor, moved by the caller.
    std::vector<uint8_t> dsMemory;
    uint32_t dsCursor = 0;
    bool dsPlaying = false;
    int dsFailStep = 0;  // a DsOpenStep to fail at, 0 none
    int dsDevice = -1;
    bool dsTimer = false;
};

// Wave-out and DirectSound tables over the fake.
WaveOutOps FakeWaveOut(FakeDevice& d);
DsOps FakeDirectSound(FakeDevice& d);

// Gives the oldest queued wave-out buffer back to the engine, as the device does when it has
// played it. False when nothing is queued or no wave-out device is open.
bool FakePlayOne(Engine& e, FakeDevice& d);

// Track files through C stdio (UTF-8 names).
TrackFileOps StdioTrackFile();
