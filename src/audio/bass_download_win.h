// The "Netstream download" window: records the playing network stream into the folder it was
// opened for, one file per stream title (or one file with "No track separation"). The stream's
// download callback (BASS's network thread) feeds the recorder under a lock; the window's texts
// change on the window thread only, by message.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

// The control ids (the tests press them).
enum : int { kDownloadSave = 101, kDownloadStop = 102, kDownloadNoSeparation = 103,
             kDownloadClose = 104 };

// "Save download stream here...": opens the window for the browsed folder.
void BassDownloadCommandWin(CommandId id, intptr_t lParam);
// Tab and the keys of its controls; true when the message was the window's.
// The stream's download callback (BASS's DOWNLOADPROC).
void CALLBACK BassDownloadProc(const void* buffer, DWORD length, void* user);
// Finishes a running recording (the stream closes or another track opens).
void BassDownloadFinishWin();
// The station and title the next file is named by (window thread, after each change).
void BassDownloadTitleWin(const wchar_t* station, const wchar_t* title, double bps,
                          uint32_t ctype);
