#include "base/file_dialog_win.h"

#include "base/dll_win.h"

namespace {
using FileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
}  // namespace

BOOL SaveFileNameWin(OPENFILENAMEW* ofn) {
    auto fn = SystemDllProc<FileNameFn>(L"comdlg32.dll", "GetSaveFileNameW");
    return fn ? fn(ofn) : FALSE;
}
