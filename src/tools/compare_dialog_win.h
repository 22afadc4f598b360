// The compare dialog's pieces that its two files share: the control ids, the dialog's state
// and the helpers over its controls. compare_win.cpp holds the dialog, its refresh and
// Prev/Next; compare_files_win.cpp the context menu's file operations. Dialog thread only.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/path.h"
#include "config/settings.h"
#include "tools/compare.h"

namespace compare_win {

// The controls' ids (the tests address them).
enum : int {
    kIdBaseLabel = 100,
    kIdBase = 101,
    kIdBaseBrowse = 102,
    kIdBaseCount = 103,
    kIdCompLabel = 104,
    kIdComp = 105,
    kIdCompBrowse = 106,
    kIdCompCount = 107,
    kIdPrev = 108,
    kIdNext = 109,
    kIdRefresh = 110,
    kIdHideDates = 111,
    kIdNoAutoRefresh = 112,
    kIdSubfolders = 113,
    kIdDiffs = 114,
    kIdHint = 115,
    kIdTable = 120,
};
constexpr int kTopBand = 96;  // pixels of controls above the table
constexpr UINT kMsgRefresh = WM_APP + 40;  // wParam top row, lParam row to select
constexpr DWORD kPumpMs = 50;  // a long refresh lets the dialog run this often

struct Dialog {
    // Copied on the main thread at the start: the dialog reads nothing of the main thread's.
    Settings settings;
    std::wstring base;
    std::wstring ownPath;
    HWND main = nullptr;
    // The dialog's.
    HWND dlg = nullptr, table = nullptr;
    uint32_t bits = 0;
    bool darkDialogs = false;
    HBRUSH darkBrush = nullptr;
    bool busy = false, cancel = false, closeAfter = false;
    DWORD lastPump = 0;
};

std::wstring Cell(HWND table, int row, int column);
std::vector<int> Selected(HWND table);

// RefreshComparison(topRow, selectRow), and the refresh after an operation unless "No auto
// refresh" is on.
void RefreshComparison(Dialog& d, int topRow, int selectRow);
void AutoRefresh(Dialog& d, int selectRow);

// compare_files_win.cpp: a rename that ends with exactly the name asked for.
bool RenameFile(void*, const std::wstring& from, const std::wstring& to, bool replace);
// The context menu and its commands.
void ContextMenu(Dialog& d, POINT pt);
void Transfer(Dialog& d, CompareAction action);
void Launch(Dialog& d, int n);
void ExploreOrOpen(Dialog& d, bool explore);
void EasyRenamer(Dialog& d);
void NameAndDate(Dialog& d);
// The end of an in-place edit of the first cell; true keeps the new text in the cell.
bool EndRename(Dialog& d, const NMLVDISPINFOW& info);

}  // namespace compare_win
