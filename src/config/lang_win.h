// Dialog texts from the language table (Win32).
#pragma once
#include <windows.h>

#include "config/lang.h"

// Sets the dialog control's text (or the window's title for controlId 0) from the active
// table's entry index; false, leaving the template's text, when that entry is empty.
bool LangDialogText(int index, HWND window, int controlId);
