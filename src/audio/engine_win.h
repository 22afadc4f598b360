// The playback engine's Win32 side: the program's engine records, wave-out, DirectSound, the
// ACM codec and "mpglib.dll" behind the engine's tables, and the connection to the main window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "app/hooks.h"
#include "audio/engine_io.h"
#include "dsp/dsp.h"

extern PlayState g_playState;
extern MpegInfo g_track;  // the playing track's record
extern DspState g_dspState;  // the sound-processing chain of the output

// The engine over the program's records.
Engine EngineNow();

// Start-up: loads "dsound.dll" from the system folder, takes the 24-bit mode from the settings,
// fills the engine's tables for `mainWindow` and connects the engine's entries in `hooks`
// (start and stop of playback, the wave-out messages, the engine view, timer 1810).
void EngineStartWin(HWND mainWindow, AppHooks& hooks);

// Shutdown: stops playback, unloads "mpglib.dll" and "dsound.dll".
void EngineShutdownWin();

// The DirectSound devices for the settings page: "DirectSound: " and each description, the
// primary driver first.
std::vector<std::string> DirectSoundDeviceNames();

// The end of the played track: with the ring still playing out it leaves the output open,
// otherwise it stops; then it tells the track sequencing (g_trackEndHandler, when set; its
// argument is true while the ring plays out).
void OnTrackEnd();
extern void (*g_trackEndHandler)(bool ringPlaysOut);
