// "Save uncompressed WAV file": exports the focused track of the File view as 16-bit PCM, with
// or without the sound processing, driven by a dialog timer.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

// "Save to &WAV file...": opens the dialog for the File view's focused row when no output is
// open and the row is a playable file (not a folder, list row or internet address).
void SaveToWavCommandWin(CommandId id, intptr_t lParam);
