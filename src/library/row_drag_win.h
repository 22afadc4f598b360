// Dragging rows between and within the lists (the file list, the play list and the Insert
// view) with the mouse captured by the main window. Main thread only.
#pragma once
#include <windows.h>

#include "library/library_ops.h"

// A begin-drag in list `source`: the main window captures the mouse until the drop.
void RowDragBeginWin(HWND captureWindow, ListId source);
// The capture window's mouse messages while a drag runs: a move shows whether the point is a
// place to drop, the left button's release drops, the right button or a lost capture ends the
// drag. True when the message was the drag's alone.
bool RowDragMouseWin(UINT msg, LPARAM lParam);
