// The log viewer: a modal dialog (built from an in-memory template) with a search field, an
// entry counter, buttons and a virtual list view over the rows the portable core made of the
// log, newest first. The list control asks for the cells of the rows it shows, so a log of
// ten thousand records opens as fast as it can be read and parsed.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <numeric>

#include "base/dialog_win.h"
#include "base/file_dialog_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "base/text.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "log/log_win.h"
#include "log/track_log.h"
#include "tags/id3_edit_win.h"

namespace {

enum : int {
    kIdSearch = 100,
    kIdFind = IDOK,  // Return in the search field finds
    kIdExport = 101,
    kIdOpenFolder = 102,
    kIdCleanup = 103,
    kIdClose = IDCANCEL,
    kIdCounter = 104,
    kIdProgress = 105,
    kIdList = 106,
    kIdMenuPlay = 200,
    kIdMenuEnqueue,
    kIdMenuExplore,
    kIdMenuOpenWith,  // + 0..2
    kIdMenuTrackInfo = kIdMenuOpenWith + 3,
};

constexpr COLORREF kShade = RGB(0xF0, 0xF0, 0xF0);
constexpr int kStripHeight = 30;

const wchar_t* const kColumnNames[kLogColumnCount] = {L"File",   L"Path",  L"Artist", L"Album",
                                                      L"Title",  L"Track", L"Length", L"Start",
                                                      L"Played", L"Date"};

struct Viewer {
    HWND dlg = nullptr, list = nullptr, search = nullptr, counter = nullptr, progress = nullptr;
    std::vector<LogRowTexts> rows;  // newest first
    std::vector<int> order;         // shown row -> rows index
    LogSort sort;                   // Date descending: the rows' own order
} g_view;

LocalTime LocalTimeOfUnix(int64_t seconds) {
    const uint64_t t =
        static_cast<uint64_t>(std::max<int64_t>(seconds, 0) + 11644473600ll) * 10000000ull;
    FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}, local;
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&ft, &local);
    FileTimeToSystemTime(&local, &st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

bool ReadLog(std::string& bytes) {
    const FileOps fs = Win32FileOps();
    return fs.readFile(fs.ctx, LogPathWin(), static_cast<size_t>(1) << 30, bytes);
}

void ErrorLine(const std::string& text, int code) {
    const LogHost& h = LogHostWin();
    if (h.errorLog) h.errorLog(h.ctx, text.c_str(), code);
}

// Reads the log into rows, newest first. A damaged stretch is counted in error.log.
bool Load(Viewer& v) {
    std::string bytes;
    v.rows.clear();
    if (ReadLog(bytes)) {
        const LogRead read = LogParse(bytes);
        v.rows.reserve(read.records.size());
        for (auto it = read.records.rbegin(); it != read.records.rend(); ++it)
            v.rows.push_back(LogRow(*it, LocalTimeOfUnix(it->time)));
        if (read.skipped)
            ErrorLine("Track log: damaged stretches skipped while reading the log",
                      static_cast<int>(read.skipped));
    }
    v.order.resize(v.rows.size());
    std::iota(v.order.begin(), v.order.end(), 0);
    v.sort = LogSort{};
    SetWindowTextW(v.counter, LogCountText(v.rows.size()).c_str());
    SendMessageW(v.list, LVM_SETITEMCOUNT, v.rows.size(), 0);
    InvalidateRect(v.list, nullptr, TRUE);
    return !v.rows.empty();
}

int Collate(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void Sort(Viewer& v, int column) {
    v.sort = LogSortAfterClick(v.sort, column);
    const LogSort s = v.sort;
    std::stable_sort(v.order.begin(), v.order.end(), [&](int a, int b) {
        const int c = LogCompareRows(v.rows[a], v.rows[b], s.column, Collate);
        return s.descending ? c > 0 : c < 0;
    });
    InvalidateRect(v.list, nullptr, FALSE);
}

const LogRowTexts& Shown(const Viewer& v, int i) {
    return v.rows[v.order[i]];
}

std::wstring RowPath(const Viewer& v, int i) {
    const LogRowTexts& r = Shown(v, i);
    if (r[kLogColPath] == r[kLogColFile]) return r[kLogColFile];
    return r[kLogColPath] + L"\\" + r[kLogColFile];
}

int Focused(const Viewer& v) {
    return static_cast<int>(
        SendMessageW(v.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Highlight(Viewer& v, int row) {
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(v.list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    LVITEMW it{};
    it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(v.list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&it));
    SendMessageW(v.list, LVM_ENSUREVISIBLE, row, FALSE);
}

// From the highlighted row (typing) or the row after it (the find button) onwards.
void Find(Viewer& v, bool next) {
    wchar_t text[400] = {};
    GetWindowTextW(v.search, text, 400);
    std::vector<const LogRowTexts*> shown(v.order.size());
    for (size_t i = 0; i < shown.size(); ++i) shown[i] = &v.rows[v.order[i]];
    const int at = Focused(v);
    const int row = LogFindRow(shown, at < 0 ? 0 : at + (next ? 1 : 0), text);
    if (row >= 0) Highlight(v, row);
}

// "File" a quarter, "Path" 15 %, artist, album and title a tenth each, the rest to their
// contents.
void SizeColumns(Viewer& v) {
    RECT r{};
    GetClientRect(v.list, &r);
    const int w = r.right - GetSystemMetrics(SM_CXVSCROLL);
    const int share[] = {25, 15, 10, 10, 10};
    for (int c = 0; c < 5; ++c) SendMessageW(v.list, LVM_SETCOLUMNWIDTH, c, w * share[c] / 100);
    for (int c = kLogColTrack; c < kLogColumnCount; ++c) {
        size_t longest = 0;
        const std::wstring* text = nullptr;
        for (const LogRowTexts& row : v.rows)
            if (row[c].size() > longest) longest = row[c].size(), text = &row[c];
        const int header = static_cast<int>(SendMessageW(
            v.list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(kColumnNames[c])));
        const int cell =
            text ? static_cast<int>(SendMessageW(v.list, LVM_GETSTRINGWIDTHW, 0,
                                                 reinterpret_cast<LPARAM>(text->c_str())))
                 : 0;
        SendMessageW(v.list, LVM_SETCOLUMNWIDTH, c, std::max(header, cell) + 16);
    }
}

void Layout(Viewer& v) {
    RECT r{};
    GetClientRect(v.dlg, &r);
    const int y = 4, h = kStripHeight - 8;
    MoveWindow(v.search, 4, y, 200, h, TRUE);
    int x = 208;
    for (int id : {kIdFind, kIdExport, kIdOpenFolder, kIdCleanup, kIdClose}) {
        MoveWindow(GetDlgItem(v.dlg, id), x, y, 90, h, TRUE);
        x += 94;
    }
    MoveWindow(v.counter, x + 4, y + 3, 100, h, TRUE);
    MoveWindow(v.progress, x + 108, y, std::max(0, static_cast<int>(r.right) - x - 112), h, TRUE);
    MoveWindow(v.list, 0, kStripHeight, r.right,
               std::max(0, static_cast<int>(r.bottom) - kStripHeight), TRUE);
    SizeColumns(v);
}

// Placed by the layout when the viewer is sized.
HWND Control(Viewer& v, const wchar_t* cls, const wchar_t* text, DWORD style, int id,
             DWORD ex = 0) {
    return DialogControlWin(v.dlg, cls, text, style, 0, 0, 10, 10, id, ex);
}

void Create(Viewer& v) {
    v.search = Control(v, L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, kIdSearch, WS_EX_CLIENTEDGE);
    Control(v, L"Button", L"&Find", WS_TABSTOP | BS_DEFPUSHBUTTON, kIdFind);
    Control(v, L"Button", L"&Export...", WS_TABSTOP, kIdExport);
    Control(v, L"Button", L"Open f&older", WS_TABSTOP, kIdOpenFolder);
    Control(v, L"Button", L"Clean&up", WS_TABSTOP, kIdCleanup);
    Control(v, L"Button", L"&Close", WS_TABSTOP, kIdClose);
    v.counter = Control(v, L"Static", L"", 0, kIdCounter);
    v.progress = Control(v, PROGRESS_CLASSW, L"", 0, kIdProgress);
    v.list = Control(v, WC_LISTVIEWW, L"Track log",
                     WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, kIdList,
                     WS_EX_CLIENTEDGE);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (static_cast<uint32_t>(g_settings.list_style) & ListStyle::Gridlines) ex |= LVS_EX_GRIDLINES;
    SendMessageW(v.list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SendMessageW(v.list, LVM_SETBKCOLOR, 0, kShade);
    for (int c = 0; c < kLogColumnCount; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        col.fmt = c >= kLogColTrack && c <= kLogColPlayed ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = 80;
        col.pszText = const_cast<wchar_t*>(kColumnNames[c]);
        SendMessageW(v.list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
}

void Export(Viewer& v) {
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = v.dlg;
    ofn.lpstrFilter = L"*.csv\0*.csv\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Export log to CSV file";
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!SaveFileNameWin(&ofn)) return;
    std::vector<const LogRowTexts*> shown(v.order.size());
    for (size_t i = 0; i < shown.size(); ++i) shown[i] = &v.rows[v.order[i]];
    const FileOps fs = Win32FileOps();
    (void)fs.replaceFile(fs.ctx, file, LogCsvBytes(shown));  // no file: nothing, no message
}

bool FileThere(void*, const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void Cleanup(Viewer& v) {
    std::string bytes;
    if (!ReadLog(bytes)) return;
    SendMessageW(v.progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(v.rows.size()));
    SendMessageW(v.progress, PBM_SETPOS, 0, 0);
    const LogCleanup c = LogClean(bytes, FileThere, nullptr, [](void*, int done) {
        SendMessageW(g_view.progress, PBM_SETPOS, done, 0);
    });
    wchar_t text[128];
    swprintf(text, 128, L"Found %d invalid filename(s).%ls", c.invalid,
             c.invalid ? L"\nOverwrite old logfile?" : L"");
    const int answer =
        MessageBoxW(v.dlg, text, L"Logfile cleanup",
                    c.invalid ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONINFORMATION);
    if (c.invalid && answer == IDYES) {
        const FileOps fs = Win32FileOps();
        if (!fs.replaceFile(fs.ctx, LogPathWin(), c.kept))
            ErrorLine("Track log: cannot rewrite the log after the cleanup",
                      static_cast<int>(GetLastError()));
    }
    SendMessageW(v.progress, PBM_SETPOS, 0, 0);
    Load(v);
    SizeColumns(v);
}

// "0" and a program path: started with the track as its argument.
std::wstring LaunchProgram(const std::wstring& entry) {
    return entry.size() > 1 && entry[0] == L'0' ? entry.substr(1) : std::wstring();
}

void OpenWith(const std::wstring& program, const std::wstring& path) {
    const std::wstring arg = L"\"" + path + L"\"";
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", program.c_str(), arg.c_str(),
                                                nullptr, SW_SHOWNORMAL)) > 32)
        return;
    // Once more with the drive letter of this program's own location.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (program.size() < 2 || program[1] != L':' || self[1] != L':') return;
    std::wstring other = program;
    other[0] = self[0];
    ShellExecuteW(nullptr, L"open", other.c_str(), arg.c_str(), nullptr, SW_SHOWNORMAL);
}

void ContextMenu(Viewer& v, POINT pt) {
    const int row = Focused(v);
    if (row < 0) return;
    const std::wstring* launch[] = {&g_settings.applaunch1, &g_settings.applaunch2,
                                    &g_settings.applaunch3};
    HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, kIdMenuPlay, L"Play");
    AppendMenuW(m, MF_STRING, kIdMenuEnqueue, L"Enqueue");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < 3; ++i) {
        const std::wstring program = LaunchProgram(*launch[i]);
        if (program.empty()) continue;
        const size_t slash = program.rfind(L'\\');
        const std::wstring text =
            L"Open with " + (slash == program.npos ? program : program.substr(slash + 1));
        AppendMenuW(m, MF_STRING, kIdMenuOpenWith + i, text.c_str());
    }
    AppendMenuW(m, MF_STRING, kIdMenuExplore, L"Explore folder");
    // The tag editor edits the ID3v1 tag of MPEG files.
    const std::wstring ext = PathExtension(RowPath(v, row));
    const bool mpeg = EqualsNoCase(ext, L"mp3") || EqualsNoCase(ext, L"mp2") ||
                      EqualsNoCase(ext, L"mpa");
    AppendMenuW(m, MF_STRING | (mpeg ? 0 : MF_GRAYED), kIdMenuTrackInfo, L"Track info");
    if (pt.x == -1 && pt.y == -1) {  // from the keyboard: at the row
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(v.list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        pt = {r.left + 16, r.bottom};
        ClientToScreen(v.list, &pt);
    }
    const int id =
        TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, v.dlg, nullptr);
    DestroyMenu(m);
    const LogHost& h = LogHostWin();
    const std::wstring path = RowPath(v, row);
    if (id == kIdMenuPlay && h.playPath) {
        h.playPath(h.ctx, path);
    } else if (id == kIdMenuEnqueue && h.enqueue) {
        std::vector<std::wstring> paths;
        for (int i = row; i >= 0;
             i = static_cast<int>(SendMessageW(v.list, LVM_GETNEXTITEM, i, LVNI_SELECTED)))
            paths.push_back(RowPath(v, i));
        h.enqueue(h.ctx, paths);
    } else if (id == kIdMenuExplore) {
        ShellExecuteW(nullptr, L"explore", PathFolder(path).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
    } else if (id >= kIdMenuOpenWith && id < kIdMenuOpenWith + 3) {
        OpenWith(LaunchProgram(*launch[id - kIdMenuOpenWith]), path);
    } else if (id == kIdMenuTrackInfo) {
        Id3TagDialogWin(v.dlg, path.c_str(), nullptr);
    }
}

LRESULT Notify(Viewer& v, NMHDR* n) {
    if (n->hwndFrom != v.list) return 0;
    switch (n->code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& it = reinterpret_cast<NMLVDISPINFOW*>(n)->item;
            if ((it.mask & LVIF_TEXT) && it.iItem >= 0 &&
                static_cast<size_t>(it.iItem) < v.order.size() && it.iSubItem >= 0 &&
                it.iSubItem < kLogColumnCount) {
                const std::wstring& s = Shown(v, it.iItem)[it.iSubItem];
                lstrcpynW(it.pszText, s.c_str(), it.cchTextMax);
            }
            return 0;
        }
        case LVN_COLUMNCLICK:
            Sort(v, reinterpret_cast<NMLISTVIEW*>(n)->iSubItem);
            return 0;
        case NM_CUSTOMDRAW: {
            auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(n);
            if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                cd->clrTextBk = cd->nmcd.dwItemSpec % 2 ? kShade : RGB(0xFF, 0xFF, 0xFF);
                return CDRF_NEWFONT;
            }
            return CDRF_DODEFAULT;
        }
    }
    return 0;
}

INT_PTR CALLBACK ViewerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Viewer& v = g_view;
    switch (msg) {
        case WM_INITDIALOG: {
            v.dlg = dlg;
            SetWindowTextW(dlg, L"Track log");
            Create(v);
            const int w = GetSystemMetrics(SM_CXSCREEN) * 8 / 10;
            const int h = GetSystemMetrics(SM_CYSCREEN) * 8 / 10;
            SetWindowPos(dlg, nullptr, 20, 20, w, h, SWP_NOZORDER);
            if (!Load(v)) {
                MessageBoxW(
                    LogOwnerWin(),
                    L"Unable to load log file. Possible reasons: not found, too large, or empty.",
                    L"Error", MB_OK | MB_ICONWARNING);
                EndDialog(dlg, 0);
                return TRUE;
            }
            Layout(v);
            if (!v.rows.empty()) Highlight(v, 0);
            SetFocus(v.list);
            return FALSE;
        }
        case WM_SIZE:
            Layout(v);
            return TRUE;
        case WM_NOTIFY:
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, Notify(v, reinterpret_cast<NMHDR*>(lParam)));
            return TRUE;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == v.list)
                ContextMenu(v, POINT{static_cast<short>(LOWORD(lParam)),
                                     static_cast<short>(HIWORD(lParam))});
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kIdSearch:
                    if (HIWORD(wParam) == EN_CHANGE) Find(v, false);
                    return TRUE;
                case kIdFind:
                    Find(v, true);
                    return TRUE;
                case kIdExport:
                    Export(v);
                    return TRUE;
                case kIdOpenFolder:
                    ShellExecuteW(dlg, L"explore", PathFolder(LogPathWin()).c_str(), nullptr,
                                  nullptr, SW_SHOWNORMAL);
                    return TRUE;
                case kIdCleanup:
                    Cleanup(v);
                    return TRUE;
                case kIdClose:
                    EndDialog(dlg, 0);
                    return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            v = Viewer{};
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void LogViewerCommandWin(CommandId, intptr_t) {
    if (g_view.dlg || LogPathWin().empty()) return;
    // An empty resizable dialog; its controls are made in WM_INITDIALOG.
    RunDialogWin(DialogTemplateWin(L"", 400, 300,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                       WS_MAXIMIZEBOX | DS_MODALFRAME),
                 LogOwnerWin(), ViewerProc);
}
