// The info scan's thread: one scan at a time over a list, its row changes carried to the window
// thread by synchronous messages to a message-only window, so that only that thread touches
// the rows and the list control. Start and stop are called on the window thread.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

struct TrackList;

// Stops a running scan, then starts one over the list's rows.
void InfoScanStartWin(TrackList& list, bool resortAfterScan);
// Stops the running scan (it ends between two rows); whether one was running.
bool InfoScanStopWin();
bool InfoScanRunningWin();
// "Scan files for times/info": the File view, sorted again afterwards.
void InfoScanCommandWin(CommandId id, intptr_t lParam);
