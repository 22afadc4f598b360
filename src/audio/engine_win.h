// The playback engine's Win32 side: the program's engine records, wave-out, DirectSound, the
// ACM codec and "mpglib.dll" behind the engine's tables, the main window's services it uses,
// and the PlaybackOps through which the rest of the program reaches it. Main thread only.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "audio/engine_io.h"
#include "audio/playback_ops.h"
#include "dsp/dsp.h"

extern PlayState g_playState;
extern MpegInfo g_track;     // the playing track's record
extern DspState g_dspState;  // the sound-processing chain of the output

// The engine over the program's records.
Engine EngineNow();

// Start-up: loads "dsound.dll" from the system folder, takes the 24-bit mode from the
// settings and fills the engine's tables for `mainWindow`; `host` is what the engine tells
// and asks of the subsystems above it.
void EngineStartWin(HWND mainWindow, const EngineHost& host);

// Shutdown: stops playback, unloads "mpglib.dll" and "dsound.dll".
void EngineShutdownWin();

// The engine for the rest of the program (control_win.cpp).
PlaybackOps PlaybackOpsWin();

// The main window's wave-out messages (MM_WOM_OPEN, MM_WOM_DONE): the device started, or
// gave a played buffer back.
void EngineWaveMessageWin(UINT msg, WPARAM wParam, LPARAM lParam);

// The DirectSound devices for the settings page: "DirectSound: " and each description, the
// primary driver first.
std::vector<std::string> DirectSoundDeviceNames();
