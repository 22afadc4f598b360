// The command logic that belongs to the main window: toolbar tooltips, the
// external program numbers. The numbers themselves are in base/command_ids.h.
#pragma once
#include "base/command_ids.h"

// Toolbar tooltips: the language entry of a button's own tooltip ("...  [keys]"), or -1.
int ToolbarTooltipEntry(CommandId id);
// The menu entry whose text a button without its own tooltip shows (LangMenuTip), or -1.
int ToolbarMenuEntry(CommandId id);
// The external program (1 to 3) of commands 403, 404 and 471, else 0.
int ExternalProgramNumber(CommandId id);
