// The entries of the settings dialog's host that its sound pages use: the processing chain and
// its meters, the output devices, bass.dll and the Winamp plug-ins (the hotkeys are the frame's).
#pragma once
#include "settings/settings_host.h"

// Fills the sound pages' entries of `h` (the others are left as they are).
void SoundPagesHostWin(SettingsHost& h);
