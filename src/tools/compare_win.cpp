// The "Compare folders" dialog on its own thread. The rules (rows, pair walk, Prev/Next,
// colours, sort, menu, questions, safe copies) are tools/compare.h, the context menu's file
// operations compare_files_win.cpp; here are the thread, the controls, the folder listing,
// the pickers, the header sort and the message loop's turns during a long refresh:
// the refresh runs on the dialog's thread and lets the dialog handle its messages every
// 50 ms, showing how many files it has read; Escape cancels it.
#include "tools/compare_win.h"

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "base/path.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "tools/compare.h"
#include "tools/compare_dialog_win.h"
#include "tools/tools_win.h"
#include "ui/face_win.h"
#include "ui/texts.h"
#include "ui/ui_glue_win.h"

namespace compare_win {

// Set on the main thread when the dialog's thread starts, cleared by that thread at its end.
std::atomic<bool> g_open{false};
// The dialog's window (written by its thread, read by any).
// The dialog thread's own values, kept between openings while the program runs.
std::wstring g_rememberedComp;
uint8_t g_sortByte = 0;

// ---- the system's side of the comparison ----

int TextCompare(void*, const std::wstring& a, const std::wstring& b) {
    return lstrcmpW(a.c_str(), b.c_str());
}
const CompareText kText{nullptr, TextCompare};

bool ListFolder(void*, const std::wstring& folder, std::vector<CompareEntry>& out) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + L"*.*").c_str(), FindExInfoBasic, &fd,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return false;
    do {
        if (fd.cFileName[0] == L'.' &&
            (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0)))
            continue;
        CompareEntry e;
        e.name = fd.cFileName;
        e.directory = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        e.size = (uint64_t{fd.nFileSizeHigh} << 32) | fd.nFileSizeLow;
        FILETIME local;
        SYSTEMTIME st{};
        if (FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local)) FileTimeToSystemTime(&local, &st);
        e.written = LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute,
                              st.wSecond};
        out.push_back(std::move(e));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return true;
}

bool LocalToUtc(void*, const DateFields& d, uint64_t& out) {
    FILETIME utc;
    if (!LocalToFileTimeWin(d, utc)) return false;
    out = (uint64_t{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
    return true;
}

void Pump(Dialog& d) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            d.cancel = true;
            return;
        }
        if (!IsDialogMessageW(d.dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}

bool Progress(void* ctx, int files) {
    Dialog& d = *static_cast<Dialog*>(ctx);
    const DWORD now = GetTickCount();
    if (now - d.lastPump >= kPumpMs) {
        d.lastPump = now;
        SetDlgItemTextW(d.dlg, kIdDiffs, (L"Reading  " + std::to_wstring(files)).c_str());
        Pump(d);
    }
    return d.cancel;
}

// ---- the controls ----

std::wstring Cell(HWND table, int row, int column) {
    wchar_t buf[kMaxPath + 64] = {};
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = static_cast<int>(std::size(buf));
    SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return buf;
}

int RowCount(HWND table) {
    return static_cast<int>(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0));
}

std::vector<int> Selected(HWND table) {
    std::vector<int> rows;
    for (int i = -1; (i = static_cast<int>(SendMessageW(table, LVM_GETNEXTITEM,
                                                        static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;)
        rows.push_back(i);
    return rows;
}

void AddRow(HWND table, int at, const CompareRow& r) {
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = at;
    it.pszText = const_cast<wchar_t*>(r.file.c_str());
    const int row = static_cast<int>(SendMessageW(table, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    const std::wstring* cells[] = {&r.size, &r.date, &r.located};
    for (int c = 1; c < 4; ++c) {
        it.iSubItem = c;
        it.pszText = const_cast<wchar_t*>(cells[c - 1]->c_str());
        SendMessageW(table, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    }
}

// ---- RefreshComparison ----

void RefreshComparison(Dialog& d, int topRow, int selectRow) {
    if (d.busy) return;
    d.busy = true;
    d.cancel = false;
    d.lastPump = GetTickCount();
    SendMessageW(d.table, LVM_DELETEALLITEMS, 0, 0);
    const CompareFs fs{&d, ListFolder, LocalToUtc, Progress};
    std::vector<CompareRow> rows;
    const std::wstring base = CompareFolderOf(DialogItemTextWin(d.dlg, kIdBase));
    const std::wstring comp = CompareFolderOf(DialogItemTextWin(d.dlg, kIdComp));
    const int nBase = CompareFillSide(fs, base, CompareSide::Base, d.bits, d.settings, rows);
    const int nComp =
        nBase < 0 ? -1 : CompareFillSide(fs, comp, CompareSide::Comp, d.bits, d.settings, rows);
    if (nBase < 0 || nComp < 0) {
        SetDlgItemTextW(d.dlg, kIdDiffs, L"Cancelled");
    } else {
        const int diffs = CompareRemoveEqualPairs(rows, kText, fs);
        SendMessageW(d.table, WM_SETREDRAW, FALSE, 0);
        for (size_t i = 0; i < rows.size(); ++i) AddRow(d.table, static_cast<int>(i), rows[i]);
        SendMessageW(d.table, WM_SETREDRAW, TRUE, 0);
        SetDlgItemTextW(d.dlg, kIdBaseCount, CompareFilesText(nBase).c_str());
        SetDlgItemTextW(d.dlg, kIdCompCount, CompareFilesText(nComp).c_str());
        SetDlgItemTextW(d.dlg, kIdDiffs, CompareDiffsText(diffs).c_str());
        const int count = RowCount(d.table);
        if (topRow > 0 && count > 0) {
            SendMessageW(d.table, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
            SendMessageW(d.table, LVM_ENSUREVISIBLE, static_cast<WPARAM>(std::min(topRow, count - 1)), FALSE);
        }
        if (selectRow >= 0 && selectRow < count) {
            LVITEMW it{};
            it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(d.table, LVM_SETITEMSTATE, static_cast<WPARAM>(selectRow),
                         reinterpret_cast<LPARAM>(&it));
        }
    }
    InvalidateRect(d.table, nullptr, TRUE);
    d.busy = false;
    if (d.closeAfter) EndDialog(d.dlg, IDCANCEL);
}

// Refresh after an operation, unless "No auto refresh" is on.
void AutoRefresh(Dialog& d, int selectRow) {
    if (d.bits & CompareFlag::NoAutoRefresh) return;
    RefreshComparison(d, static_cast<int>(SendMessageW(d.table, LVM_GETTOPINDEX, 0, 0)), selectRow);
}

}  // namespace compare_win

namespace {

using namespace compare_win;

constexpr intptr_t kStoreBits = 0x5A430000;  // lParam of command 442: store the bits below it

void SetBits(Dialog& d, uint32_t bit, bool on) {
    d.bits = on ? d.bits | bit : d.bits & ~bit;
    // The setting belongs to the main thread: it stores it when this message arrives.
    PostMessageW(d.main, WM_COMMAND, kCmdCompareFolders,
                 static_cast<LPARAM>(kStoreBits | static_cast<intptr_t>(d.bits & 0xFFFF)));
}

// ---- Prev and Next ----

std::vector<std::wstring> SubfolderNames(const std::wstring& parent) {
    std::vector<CompareEntry> entries;
    std::vector<std::wstring> names;
    if (ListFolder(nullptr, parent, entries))
        for (CompareEntry& e : entries)
            if (e.directory) names.push_back(std::move(e.name));
    return names;
}

// One box's step; false when it stopped.
bool StepBox(Dialog& d, int box, bool next) {
    const std::wstring path = DialogItemTextWin(d.dlg, box);
    const std::wstring parent = CompareParentOf(path);
    if (parent.empty()) return false;
    std::vector<std::wstring> names = SubfolderNames(parent);
    std::wstring moved;
    const CompareStep step = CompareSiblingStep(path, names, next, kText, moved);
    // The table shows the sibling folders (grey) until the refresh.
    SendMessageW(d.table, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < names.size(); ++i)
        AddRow(d.table, static_cast<int>(i), CompareRow{names[i], L"", L"", L""});
    if (step != CompareStep::Moved) return false;
    SetDlgItemTextW(d.dlg, box, moved.c_str());
    return true;
}

void PrevNext(Dialog& d, bool next) {
    if (d.busy) return;
    if (StepBox(d, kIdBase, next) && StepBox(d, kIdComp, next))
        g_rememberedComp = DialogItemTextWin(d.dlg, kIdComp);
    RefreshComparison(d, 0, -1);
}

// ---- the folder pickers ----

int CALLBACK PickerStart(HWND w, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) SendMessageW(w, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

void Browse(Dialog& d, int box) {
    const std::wstring start =
        box == kIdBase ? DialogItemTextWin(d.dlg, kIdBase) : g_rememberedComp;
    BROWSEINFOW bi{};
    bi.hwndOwner = d.dlg;
    bi.lpszTitle = L"Select folder";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = PickerStart;
    bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    if (PIDLIST_ABSOLUTE id = SHBrowseForFolderW(&bi)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(id, path)) {
            SetDlgItemTextW(d.dlg, box, path);
            if (box == kIdComp) g_rememberedComp = path;
        }
        ILFree(id);
    }
    RefreshComparison(d, 0, -1);
}

// ---- the dialog ----

void CreateControls(Dialog& d) {
    HWND dlg = d.dlg;
    SizeDialogClientWin(dlg, 900, 600);
    constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
    DialogControlWin(dlg, L"STATIC", L"Base (red):", 0, 8, 11, 95, 18, kIdBaseLabel);
    SendMessageW(
        DialogControlWin(dlg, L"EDIT", L"", kEdit, 105, 8, 560, 22, kIdBase, WS_EX_CLIENTEDGE),
        EM_LIMITTEXT, kMaxPath, 0);
    DialogControlWin(dlg, L"BUTTON", L"...", WS_TABSTOP, 670, 8, 30, 22, kIdBaseBrowse);
    DialogControlWin(dlg, L"STATIC", L"", 0, 710, 11, 180, 18, kIdBaseCount);
    DialogControlWin(dlg, L"STATIC", L"Compare (blue):", 0, 8, 39, 95, 18, kIdCompLabel);
    SendMessageW(
        DialogControlWin(dlg, L"EDIT", L"", kEdit, 105, 36, 560, 22, kIdComp, WS_EX_CLIENTEDGE),
        EM_LIMITTEXT, kMaxPath, 0);
    DialogControlWin(dlg, L"BUTTON", L"...", WS_TABSTOP, 670, 36, 30, 22, kIdCompBrowse);
    DialogControlWin(dlg, L"STATIC", L"", 0, 710, 39, 180, 18, kIdCompCount);
    wchar_t prev[32], next[32];
    _snwprintf(prev, 31, L"%lc  &Prev", static_cast<wint_t>(0x25B2));
    _snwprintf(next, 31, L"%lc  &Next", static_cast<wint_t>(0x25BC));
    prev[31] = next[31] = 0;
    DialogControlWin(dlg, L"BUTTON", prev, WS_TABSTOP, 8, 66, 70, 24, kIdPrev);
    DialogControlWin(dlg, L"BUTTON", next, WS_TABSTOP, 82, 66, 70, 24, kIdNext);
    DialogControlWin(dlg, L"BUTTON", L"&Refresh", WS_TABSTOP, 156, 66, 70, 24, kIdRefresh);
    DialogControlWin(dlg, L"BUTTON", L"Hide dates/times", BS_AUTOCHECKBOX | WS_TABSTOP, 232, 68,
                     115, 20, kIdHideDates);
    DialogControlWin(dlg, L"BUTTON", L"No auto refresh", BS_AUTOCHECKBOX | WS_TABSTOP, 350, 68, 105,
                     20, kIdNoAutoRefresh);
    DialogControlWin(dlg, L"BUTTON", L"Scan subfolders", BS_AUTOCHECKBOX | WS_TABSTOP, 458, 68, 110,
                     20, kIdSubfolders);
    DialogControlWin(dlg, L"STATIC", L"(Right button in the list for file tools)",
                     SS_LEFTNOWORDWRAP, 572, 71, 232, 18, kIdHint);
    DialogControlWin(dlg, L"STATIC", L"", 0, 810, 71, 85, 18, kIdDiffs);
    // The hidden default button: Enter refreshes.
    DialogControlWin(dlg, L"BUTTON", L"", BS_DEFPUSHBUTTON, 0, 0, 0, 0, IDOK);
    ShowWindow(GetDlgItem(dlg, IDOK), SW_HIDE);
    d.table = DialogControlWin(dlg, WC_LISTVIEWW, L"",
                               LVS_REPORT | LVS_SORTASCENDING | LVS_EDITLABELS | LVS_SHOWSELALWAYS |
                                   WS_TABSTOP | WS_BORDER,
                               0, kTopBand, 900, 600 - kTopBand, kIdTable);
    SendMessageW(d.table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const COLORREF back = d.darkDialogs ? 0xD0D0D0 : 0xF9F9F9;
    SendMessageW(d.table, LVM_SETBKCOLOR, 0, back);
    SendMessageW(d.table, LVM_SETTEXTBKCOLOR, 0, back);
    SendMessageW(d.table, LVM_SETTEXTCOLOR, 0, 0);
    RECT client;
    GetClientRect(d.table, &client);
    const int width = client.right;
    const struct {
        const wchar_t* header;
        int per100;
        int align;
    } columns[] = {{L"File", 50, LVCFMT_LEFT},
                   {L"Size", 12, LVCFMT_RIGHT},
                   {L"Modified", 13, LVCFMT_LEFT},
                   {L"Located", 21, LVCFMT_LEFT}};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        c.fmt = columns[i].align;
        c.cx = width * columns[i].per100 / 100;
        c.pszText = const_cast<wchar_t*>(columns[i].header);
        c.iSubItem = i;
        SendMessageW(d.table, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
}

void Opening(Dialog& d) {
    d.darkDialogs = (static_cast<uint32_t>(d.settings.stylez) & Style::DarkMode) &&
                    d.settings.more_dark != 0;
    if (d.darkDialogs) d.darkBrush = CreateSolidBrush(0xD0D0D0);
    CreateControls(d);
    if (d.darkDialogs) ApplyDarkModeToDialog(d.dlg, d.table);
    d.bits = static_cast<uint16_t>(d.settings.compare);
    CheckDlgButton(d.dlg, kIdHideDates, d.bits & CompareFlag::HideDates ? BST_CHECKED : 0);
    CheckDlgButton(d.dlg, kIdNoAutoRefresh, d.bits & CompareFlag::NoAutoRefresh ? BST_CHECKED : 0);
    CheckDlgButton(d.dlg, kIdSubfolders, d.bits & CompareFlag::ScanSubfolders ? BST_CHECKED : 0);
    std::wstring base = d.base.substr(0, kMaxPath);
    if (base.find(L'\\') == std::wstring::npos) base += L'\\';  // a bare drive "C:"
    if (g_rememberedComp.empty()) g_rememberedComp = base;
    SetDlgItemTextW(d.dlg, kIdBase, base.c_str());
    SetDlgItemTextW(d.dlg, kIdComp, g_rememberedComp.c_str());
    ShowWindow(d.dlg, SW_SHOW);
    UpdateWindow(d.dlg);
    if (base != g_rememberedComp) RefreshComparison(d, 0, -1);
}

// The header sort compares a snapshot of the rows, found by the index each row carries in
// its item data: the table's contents are not to be read while it sorts.
struct SortSnapshot {
    std::vector<CompareRow> rows;
    uint8_t sortByte;
};

int CALLBACK SortRows(LPARAM a, LPARAM b, LPARAM ctx) {
    const auto& s = *reinterpret_cast<const SortSnapshot*>(ctx);
    return CompareSortRows(s.sortByte, s.rows[static_cast<size_t>(a)],
                           s.rows[static_cast<size_t>(b)], kText);
}

void SortTable(Dialog& d) {
    SortSnapshot s{{}, g_sortByte};
    const int count = RowCount(d.table);
    for (int r = 0; r < count; ++r) {
        s.rows.push_back(CompareRow{Cell(d.table, r, 0), Cell(d.table, r, 1), Cell(d.table, r, 2),
                                    Cell(d.table, r, 3)});
        LVITEMW it{};
        it.mask = LVIF_PARAM;
        it.iItem = r;
        it.lParam = r;
        SendMessageW(d.table, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    }
    SendMessageW(d.table, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&s),
                 reinterpret_cast<LPARAM>(SortRows));
}

LRESULT Notify(Dialog& d, NMHDR& h) {
    if (h.hwndFrom != d.table) return 0;
    switch (h.code) {
        case NM_CUSTOMDRAW: {
            auto& cd = reinterpret_cast<NMLVCUSTOMDRAW&>(h);
            if (cd.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (cd.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
            const int row = static_cast<int>(cd.nmcd.dwItemSpec);
            const CompareColours c = CompareRowColours(Cell(d.table, row, 3), row, d.darkDialogs);
            cd.clrText = c.text;
            cd.clrTextBk = c.back;
            return CDRF_NEWFONT;
        }
        case LVN_COLUMNCLICK: {
            if (d.busy) return 0;
            g_sortByte = CompareHeaderClick(g_sortByte, reinterpret_cast<NMLISTVIEW&>(h).iSubItem);
            SortTable(d);
            return 0;
        }
        case NM_DBLCLK:
            ExploreOrOpen(d, false);
            return 0;
        case LVN_KEYDOWN:
            // F2 renames from the keyboard, as "Rename" of the menu (Shift+F10 opens it).
            if (reinterpret_cast<NMLVKEYDOWN&>(h).wVKey == VK_F2 && !d.busy)
                PostMessageW(d.dlg, WM_COMMAND, kCmpRename, 0);
            return 0;
        case LVN_BEGINLABELEDITW:
            return d.busy;  // TRUE refuses the edit
        case LVN_ENDLABELEDITW:
            return EndRename(d, reinterpret_cast<NMLVDISPINFOW&>(h));
    }
    return 0;
}

bool Command(Dialog& d, int id, int code) {
    if (d.busy) {
        // A long refresh lets the dialog run: Escape and closing stop it, the rest waits.
        if (id == IDCANCEL) d.cancel = true;
        return true;
    }
    switch (id) {
        case IDOK:
            if (GetFocus() == GetDlgItem(d.dlg, kIdComp))
                g_rememberedComp = DialogItemTextWin(d.dlg, kIdComp);
            [[fallthrough]];
        case kIdRefresh:
            RefreshComparison(d, 0, -1);
            return true;
        case IDCANCEL:
            EndDialog(d.dlg, IDCANCEL);
            return true;
        case kIdComp:
            if (code == EN_KILLFOCUS) g_rememberedComp = DialogItemTextWin(d.dlg, kIdComp);
            return true;
        case kIdBaseBrowse:
        case kIdCompBrowse:
            Browse(d, id == kIdBaseBrowse ? kIdBase : kIdComp);
            return true;
        case kIdPrev:
        case kIdNext:
            PrevNext(d, id == kIdNext);
            return true;
        case kIdHideDates:
        case kIdNoAutoRefresh:
        case kIdSubfolders: {
            const uint32_t bit = id == kIdHideDates       ? CompareFlag::HideDates
                                 : id == kIdNoAutoRefresh ? CompareFlag::NoAutoRefresh
                                                          : CompareFlag::ScanSubfolders;
            SetBits(d, bit, IsDlgButtonChecked(d.dlg, id) == BST_CHECKED);
            return true;
        }
        case kCmpCopy:
            Transfer(d, CompareAction::Copy);
            return true;
        case kCmpMove:
            Transfer(d, CompareAction::Move);
            return true;
        case kCmpDelete:
            Transfer(d, CompareAction::Delete);
            return true;
        case kCmpRename: {
            const std::vector<int> rows = Selected(d.table);
            if (rows.size() == 1) {
                SetFocus(d.table);
                SendMessageW(d.table, LVM_EDITLABELW, static_cast<WPARAM>(rows.front()), 0);
            }
            return true;
        }
        case kCmpExternal1:
        case kCmpExternal1 + 1:
        case kCmpExternal1 + 2:
            Launch(d, id - kCmpExternal1);
            return true;
        case kCmpExplore:
        case kCmpOpen:
            ExploreOrOpen(d, id == kCmpExplore);
            return true;
        case kCmpEasyRenamer:
            EasyRenamer(d);
            return true;
        case kCmpNameAndDate:
            NameAndDate(d);
            return true;
    }
    return false;
}

INT_PTR CALLBACK CompareProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            d = reinterpret_cast<Dialog*>(lp);
            d->dlg = dlg;
            Opening(*d);
            return FALSE;
        case WM_COMMAND:
            return d && Command(*d, LOWORD(wp), HIWORD(wp));
        case WM_NOTIFY:
            if (!d) return FALSE;
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, Notify(*d, *reinterpret_cast<NMHDR*>(lp)));
            return TRUE;
        case WM_CONTEXTMENU:
            if (!d || reinterpret_cast<HWND>(wp) != d->table || d->busy) return FALSE;
            ContextMenu(*d, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return TRUE;
        case kMsgRefresh:
            if (d) RefreshComparison(*d, static_cast<int>(wp), static_cast<int>(lp));
            return TRUE;
        case WM_SIZE:
            if (d && d->table)
                MoveWindow(d->table, 0, kTopBand, LOWORD(lp), std::max(0, HIWORD(lp) - kTopBand), TRUE);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            if (!d || !d->darkBrush) return FALSE;
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(d->darkBrush);
        case WM_CLOSE:
            if (d && d->busy) {
                d->cancel = d->closeAfter = true;
                return TRUE;
            }
            EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

void DialogThread(std::unique_ptr<Dialog> d) {
    // The folder picker needs COM on this thread; ole32 is loaded on first use, not linked.
    const auto comInit = SystemDllProc<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    const HRESULT com = comInit ? comInit(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    RunDialogWin(DialogTemplateWin(L"Compare folders", 450, 300,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                       WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER),
                 nullptr, CompareProc, reinterpret_cast<LPARAM>(d.get()));
    if (d->darkBrush) DeleteObject(d->darkBrush);
    if (SUCCEEDED(com)) SystemDllProc<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize")();
    g_open = false;
}

}  // namespace

void CompareFoldersCommandWin(CommandId, intptr_t lParam) {
    if ((lParam & ~intptr_t{0xFFFF}) == kStoreBits) {
        g_settings.compare = static_cast<uint16_t>(lParam & 0xFFFF);
        return;
    }
    if (g_open.exchange(true)) return;  // one dialog at a time
    auto d = std::make_unique<Dialog>();
    d->settings = g_settings;
    d->base = g_settings.browsed_folder;
    d->main = ToolsMainWindowWin();
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    d->ownPath = own;
    std::thread(DialogThread, std::move(d)).detach();
}
