// The "Find" dialog and its worker. The worker never touches a list: it collects rows under a
// lock and reports progress to the dialog by messages; the dialog (GUI thread) fills the File
// view when the walk ends or is cancelled, so the rows found so far are kept either way.
#include "tools/finder_win.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/engine_win.h"
#include "audio/file_info.h"
#include "base/dialog_win.h"
#include "base/timefmt.h"
#include "config/lang.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "library/insert_view_win.h"
#include "library/library_win.h"
#include "library/list_text.h"
#include "library/track_list.h"
#include "tools/finder.h"
#include "tools/tools_win.h"
#include "ui/face_win.h"

namespace {

enum : int {
    kIdName = 301,
    kIdIgnore,
    kIdDates,
    kIdFrom,
    kIdTo,
    kIdSizes,
    kIdLow,
    kIdHigh,
    kIdSearch,
    kIdStatus,
    kIdToInsert,
    kIdDayButton = 320,   // + index into kFinderDayButtons
    kIdSizeButton = 330,  // + index into kFinderSizeButtons
};
constexpr UINT kMsgProgress = WM_APP + 1;  // wParam: files found
constexpr UINT kMsgDone = WM_APP + 2;
constexpr wchar_t kStopTimeProp[] = L"ZuvoFinderStopUs";
constexpr int kTextFound = 129;
constexpr uint32_t kToInsertFlag = 0x2000;  // control_flags: the last search went to the Insert view

struct FoundRow {
    std::wstring name, folder;
    uint64_t size;
    uint64_t time;  // local file time
};

struct Search {
    FinderQuery query;
    HWND dlg = nullptr;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<FoundRow> rows;
    std::thread worker;
};

struct DialogState {
    std::wstring root;
    std::unique_ptr<Search> search;
    bool searched = false;        // a search ran: its rows go to the target list
    bool toInsert = false;        // the target is the Insert view, else the File view
    std::vector<FoundRow> found;  // what it found, complete or up to the cancel
};

// What the dialog keeps for its next opening during this run of the program.
std::wstring g_lastName, g_lastIgnore;

// --- the worker ---

void ListFolder(void* ctx, const std::wstring& pattern, std::vector<FinderEntry>& out) {
    const bool created = (static_cast<uint32_t>(g_settings.stylez) & Style::CreatedDate) != 0;
    (void)ctx;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.cFileName[0] == L'.' &&
            (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0)))
            continue;
        FILETIME local;
        FileTimeToLocalFileTime(created ? &fd.ftCreationTime : &fd.ftLastWriteTime, &local);
        FinderEntry e;
        e.name = fd.cFileName;
        e.attributes = fd.dwFileAttributes;
        e.size = (uint64_t{fd.nFileSizeHigh} << 32) | fd.nFileSizeLow;
        e.time = (uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime;
        out.push_back(std::move(e));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

void Found(void* ctx, const FinderEntry& e, const std::wstring& folder) {
    auto* s = static_cast<Search*>(ctx);
    std::lock_guard<std::mutex> hold(s->lock);
    s->rows.push_back(FoundRow{e.name, folder, e.size, e.time});
}

void Progress(void* ctx, uint64_t found) {
    auto* s = static_cast<Search*>(ctx);
    Sleep(1);  // the dialog's thread gets its turn
    PostMessageW(s->dlg, kMsgProgress, static_cast<WPARAM>(found), 0);
}

void Walk(Search* s) {
    const FinderFs fs{nullptr, ListFolder};
    const FinderSink sink{s, Found, Progress};
    FinderWalk(s->query, fs, sink, s->stop);
    PostMessageW(s->dlg, kMsgDone, 0, 0);
}

// --- the File view ---

LocalTime LocalTimeOf(uint64_t fileTime) {
    FILETIME ft{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

void FillList(TrackList& list, std::vector<FoundRow>& found, bool focus) {
    const ListEnv env = LibraryListEnvWin();
    std::vector<ListStateRow> rows;
    for (FoundRow& r : found) {
        const LocalTime t = LocalTimeOf(r.time);
        rows.push_back({{std::move(r.name), SizeText(r.size, g_settings), std::move(r.folder),
                         DateText(t, t, g_settings), L""}});
    }
    SetSavedFolderRows(list, std::move(rows), g_settings);
    list.sortByte = SortByteOf(list, g_settings);
    Resort(list, env);
    ApplyListWidths(list, g_settings);
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    if (focus) {
        // The main list: the playing track's row is selected when the results hold it.
        const int playing = g_track.fileName ? FindRow(list, g_track.fileName) : -1;
        if (playing >= 0) SetCurrentRow(list, playing, true);
        if (list.window) SetFocus(static_cast<HWND>(list.window));
    }
    if ((static_cast<uint32_t>(g_settings.list_style) & ListStyle::AlwaysScanInfo) &&
        env.hooks.startInfoScan)
        env.hooks.startInfoScan(env.hooks.ctx, list);
}

// Stops the worker (cooperatively), waits for it and keeps what it found for the File view,
// which is filled once the dialog is gone.
void EndSearch(DialogState& st) {
    if (!st.search) return;
    Search& s = *st.search;
    s.stop = true;
    if (s.worker.joinable()) s.worker.join();
    st.found = std::move(s.rows);
    st.searched = true;
    st.search.reset();
}

// --- the dialog ---

uint64_t NowFileTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FileTimeOf(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

void EnableRange(HWND dlg, int check, int a, int b, bool on) {
    CheckDlgButton(dlg, check, on ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dlg, a), on);
    EnableWindow(GetDlgItem(dlg, b), on);
}

void CreateControls(HWND dlg) {
    constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    DialogControlWin(dlg, L"STATIC", L"Name", 0, 10, 13, 60, 18, -1);
    SendMessageW(
        DialogControlWin(dlg, L"EDIT", g_lastName.c_str(), kEdit, 80, 10, 300, 22, kIdName),
        EM_LIMITTEXT, 50, 0);
    DialogControlWin(dlg, L"STATIC", L"Ignore", 0, 10, 41, 60, 18, -1);
    SendMessageW(
        DialogControlWin(dlg, L"EDIT", g_lastIgnore.c_str(), kEdit, 80, 38, 300, 22, kIdIgnore),
        EM_LIMITTEXT, 40, 0);
    const bool created = (static_cast<uint32_t>(g_settings.stylez) & Style::CreatedDate) != 0;
    const wchar_t* dateLabel =
        created ? LangText(g_lang, LibText::Created) : LangText(g_lang, LibText::Modified);
    DialogControlWin(dlg, L"BUTTON", dateLabel && *dateLabel ? dateLabel : L"Modified",
                     BS_AUTOCHECKBOX | WS_TABSTOP, 10, 70, 80, 20, kIdDates);
    const uint64_t now = NowFileTime();
    SendMessageW(DialogControlWin(dlg, L"EDIT", FinderQuickFrom(now, 30).c_str(), kEdit, 95, 68, 85,
                                  22, kIdFrom),
                 EM_LIMITTEXT, 10, 0);
    SendMessageW(
        DialogControlWin(dlg, L"EDIT", FinderDateText(now).c_str(), kEdit, 185, 68, 85, 22, kIdTo),
        EM_LIMITTEXT, 10, 0);
    for (int i = 0; i < 5; ++i)
        DialogControlWin(dlg, L"BUTTON", std::to_wstring(kFinderDayButtons[i]).c_str(), WS_TABSTOP,
                         275 + i * 42, 68, 40, 22, kIdDayButton + i);
    DialogControlWin(dlg, L"BUTTON", L"Size", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 100, 80, 20,
                     kIdSizes);
    SendMessageW(DialogControlWin(dlg, L"EDIT", L"2000", kEdit, 95, 98, 85, 22, kIdLow),
                 EM_LIMITTEXT, 10, 0);
    SendMessageW(DialogControlWin(dlg, L"EDIT", L"20000", kEdit, 185, 98, 85, 22, kIdHigh),
                 EM_LIMITTEXT, 10, 0);
    for (int i = 0; i < 4; ++i)
        DialogControlWin(dlg, L"BUTTON", kFinderSizeButtons[i].label, WS_TABSTOP, 275 + i * 52, 98,
                         50, 22, kIdSizeButton + i);
    // The default button follows where the last search went.
    const bool lastToInsert = static_cast<uint32_t>(g_settings.control_flags) & kToInsertFlag;
    DialogControlWin(dlg, L"BUTTON", L"&Search", (lastToInsert ? 0 : BS_DEFPUSHBUTTON) | WS_TABSTOP,
                     10, 132, 90, 26, kIdSearch);
    DialogControlWin(dlg, L"BUTTON", L"To &Insert view",
                     (lastToInsert ? BS_DEFPUSHBUTTON : 0) | WS_TABSTOP, 105, 132, 110, 26,
                     kIdToInsert);
    SendMessageW(dlg, DM_SETDEFID, lastToInsert ? kIdToInsert : kIdSearch, 0);
    DialogControlWin(dlg, L"BUTTON", L"Cancel", WS_TABSTOP, 220, 132, 80, 26, IDCANCEL);
    DialogControlWin(dlg, L"STATIC", L"", SS_LEFT, 310, 138, 180, 18, kIdStatus);
    EnableRange(dlg, kIdDates, kIdFrom, kIdTo, false);
    EnableRange(dlg, kIdSizes, kIdLow, kIdHigh, false);
}

void StartSearch(HWND dlg, DialogState& st, bool toInsert) {
    if (st.search) return;
    FinderFilter filter;
    if (!FinderBuildFilter(
            IsDlgButtonChecked(dlg, kIdDates) == BST_CHECKED, DialogItemTextWin(dlg, kIdFrom),
            DialogItemTextWin(dlg, kIdTo), IsDlgButtonChecked(dlg, kIdSizes) == BST_CHECKED,
            DialogItemTextWin(dlg, kIdLow), DialogItemTextWin(dlg, kIdHigh), filter)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    g_lastName = DialogItemTextWin(dlg, kIdName);
    g_lastIgnore = DialogItemTextWin(dlg, kIdIgnore);
    auto s = std::make_unique<Search>();
    s->dlg = dlg;
    s->query.root = st.root;
    s->query.name = g_lastName;
    for (wchar_t c : g_lastIgnore) s->query.ignoreLower += static_cast<wchar_t>(towlower(c));
    s->query.filter = filter;
    s->query.playable = g_playableExtensions;
    EnableWindow(GetDlgItem(dlg, kIdSearch), FALSE);
    EnableWindow(GetDlgItem(dlg, kIdToInsert), FALSE);
    st.toInsert = toInsert;
    if (toInsert) g_settings.control_flags |= static_cast<int32_t>(kToInsertFlag);
    else g_settings.control_flags &= ~static_cast<int32_t>(kToInsertFlag);
    st.search = std::move(s);
    st.search->worker = std::thread(Walk, st.search.get());
}

INT_PTR CALLBACK FindProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dlg, DWLP_USER, lParam);
            st = reinterpret_cast<DialogState*>(lParam);
            SizeDialogClientWin(dlg, 500, 170);
            SetWindowTextW(dlg, FinderTitle(st->root).c_str());
            int x, y;
            if (FinderPositionFrom(static_cast<int32_t>(g_settings.find_sc_pos), x, y))
                SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            CreateControls(dlg);
            ApplyDarkModeToDialog(dlg, nullptr);
            PaintDialogDarkWin(dlg, DialogLook::Dark);
            SetFocus(GetDlgItem(dlg, kIdName));
            SendDlgItemMessageW(dlg, kIdName, EM_SETSEL, 0, -1);
            return FALSE;
        }
        case kMsgProgress: {
            const wchar_t* found = LangText(g_lang, kTextFound);
            const std::wstring text = std::wstring(found && *found ? found : L"Found") + L": " +
                                      GroupedDigits(static_cast<uint64_t>(wParam));
            SetDlgItemTextW(dlg, kIdStatus, text.c_str());
            return TRUE;
        }
        case kMsgDone:
            EndSearch(*st);
            EndDialog(dlg, IDOK);
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == kIdSearch || id == kIdToInsert || id == IDOK) {
                const bool toInsert = id == kIdToInsert ||
                    (id == IDOK && (static_cast<uint32_t>(g_settings.control_flags) & kToInsertFlag));
                StartSearch(dlg, *st, toInsert);
            } else if (id == IDCANCEL) {
                // How long the walk took to stop, in microseconds from Cancel to the worker's
                // end, kept on the main window for whoever measures it (the e2e test prints it).
                LARGE_INTEGER freq, a, b;
                QueryPerformanceFrequency(&freq);
                QueryPerformanceCounter(&a);
                const bool searching = st->search != nullptr;
                EndSearch(*st);
                QueryPerformanceCounter(&b);
                if (searching)
                    SetPropW(ToolsMainWindowWin(), kStopTimeProp,
                             reinterpret_cast<HANDLE>(static_cast<uintptr_t>(
                                 (b.QuadPart - a.QuadPart) * 1000000 / freq.QuadPart)));
                EndDialog(dlg, IDCANCEL);
            } else if (id == kIdDates) {
                EnableRange(dlg, kIdDates, kIdFrom, kIdTo, IsDlgButtonChecked(dlg, kIdDates) == BST_CHECKED);
            } else if (id == kIdSizes) {
                EnableRange(dlg, kIdSizes, kIdLow, kIdHigh, IsDlgButtonChecked(dlg, kIdSizes) == BST_CHECKED);
            } else if (id >= kIdDayButton && id < kIdDayButton + 5) {
                const uint64_t now = NowFileTime();
                EnableRange(dlg, kIdDates, kIdFrom, kIdTo, true);
                SetDlgItemTextW(dlg, kIdFrom, FinderQuickFrom(now, kFinderDayButtons[id - kIdDayButton]).c_str());
                SetDlgItemTextW(dlg, kIdTo, FinderDateText(now).c_str());
            } else if (id >= kIdSizeButton && id < kIdSizeButton + 4) {
                const FinderSizeButton& b = kFinderSizeButtons[id - kIdSizeButton];
                EnableRange(dlg, kIdSizes, kIdLow, kIdHigh, true);
                SetDlgItemInt(dlg, kIdLow, b.lowKb, FALSE);
                SetDlgItemInt(dlg, kIdHigh, b.highKb, FALSE);
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_CLOSE:
            EndSearch(*st);
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case WM_DESTROY: {
            if (st) EndSearch(*st);
            RECT r;
            int32_t pos;
            if (GetWindowRect(dlg, &r) && FinderPositionTo(r.left, r.top, pos)) g_settings.find_sc_pos = pos;
            return FALSE;
        }
    }
    return FALSE;
}

// The root made the current directory, cutting the last component while that fails; with a
// trailing "\". Empty when no part of it can be entered.
std::wstring EnterRoot(std::wstring root) {
    while (!root.empty()) {
        if (SetCurrentDirectoryW(root.c_str())) {
            if (root.back() != L'\\') root += L'\\';
            return root;
        }
        const size_t slash = root.find_last_of(L'\\', root.size() - 2);
        if (slash == std::wstring::npos) break;
        root.resize(slash + 1);
    }
    return {};
}

}  // namespace

void FindFilesCommandWin(CommandId id, intptr_t) {
    std::wstring root = g_settings.browsed_folder;
    if (id == kCmdFileFinderDrive) root = root.substr(0, root.find(L'\\'));
    root = EnterRoot(root);
    if (root.empty()) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    DialogState st{root, nullptr, false, false, {}};
    RunDialogWin(DialogTemplateWin(L"Find", 300, 100), GetActiveWindow(), FindProc,
                 reinterpret_cast<LPARAM>(&st));
    if (!st.searched) return;
    if (st.toInsert) {
        if (TrackList* insert = InsertViewListForRowsWin(root)) FillList(*insert, st.found, false);
    } else {
        FillList(LibraryFileView(), st.found, true);
    }
}
