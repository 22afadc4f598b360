// "Track info" (Alt+Return, Ctrl+I, the toolbar's "File info"): the "File info" dialog of the
// focused list's current row, modal over the main window; a file a Winamp input plug-in plays
// shows that plug-in's own InfoBox instead. Main thread only.
#pragma once
#include <windows.h>

#include "base/command_ids.h"

void TrackInfoCommandWin(CommandId id, intptr_t lParam);
