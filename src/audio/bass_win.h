// bass.dll as the decoder of everything that is not plain MPEG audio: loading it with its add-on
// plug-ins from the program's folder, the decoder choice, and the engine's source over one
// decoding channel (files and tracker modules). Main thread.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "audio/bass_core.h"
#include "audio/engine_io.h"

// Loads and initialises bass.dll (version 2.4, the no-sound device), builds the extension lists,
// loads the "bass*.dll" add-ons and sets the configuration. 1 on success.
int BassLoadWin();
void BassUnloadWin();
bool BassLoadedWin();
// "2.4.17.0", or empty when not loaded.
std::string BassVersionTextWin();
// What the lists add to their playable extensions (empty when not loaded).
const std::string& BassPlayableExtensionsWin();
// The engine's source table (filled by the engine's start).
BassSourceOps BassSourceOpsWin();

// A file's facts through BASS alone, for the info scan: opens and frees a channel.
struct BassScanFacts {
    uint32_t lengthMs = 0, rate = 0;
    float bitrateBps = 0;
    uint8_t channelMode = 0;  // 4 mono, else 1
    BassTagFill tags;
};
bool BassScanInfoWin(const wchar_t* path, BassScanFacts& out);

// The playing network stream: whether one plays, its now-playing text and station address.
bool BassStreamPlayingWin();
std::wstring BassNowPlayingWin();
std::wstring BassStationUrlWin();
std::wstring BassStationNameWin();
