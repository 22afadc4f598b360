// The common file dialogs, with comdlg32 loaded from the system folder on their first use:
// linked, it and the printing libraries it imports would load at every start of the program.
// New callers use these instead of calling comdlg32 directly.
#pragma once
#include <windows.h>

#include <commdlg.h>

// GetSaveFileNameW; FALSE also when comdlg32 cannot be loaded.
BOOL SaveFileNameWin(OPENFILENAMEW* ofn);
