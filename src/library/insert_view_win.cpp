#include "library/insert_view_win.h"

#include <commctrl.h>

#include <algorithm>

#include "base/dialog_win.h"
#include "config/lang.h"
#include "library/folder_tree.h"
#include "library/insert_view.h"
#include "library/library_win.h"
#include "library/list_view_win.h"
#include "library/playlist_view_win.h"
#include "library/row_drag_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"

namespace {

enum : int {
    kIdInsert = 1201,
    kIdSkip,
    kIdShuffle,
    kIdScan,
    kIdSlider,
    kIdStatus,
    kIdList,
};
constexpr UINT_PTR kMinuteTimer = 1;
constexpr int kStrip = 56;  // the control strip above the list

HWND g_main = nullptr;
HINSTANCE g_instance = nullptr;
HWND g_dlg = nullptr, g_slider = nullptr, g_status = nullptr;
TrackList g_list;
ListViewWin g_view;

Settings& S() {
    return g_settings;
}

const wchar_t* Text(int index, const wchar_t* fallback) {
    const wchar_t* t = LangText(g_lang, index);
    return t && *t ? t : fallback;
}

void ShowStatus(int interval, int next) {
    SetWindowTextW(g_status,
                   InsertStatusText(Text(212, L"Insert every %02d minutes, next in %02d minutes"),
                                    interval, next)
                       .c_str());
}

int SliderInterval() {
    return InsertInterval(static_cast<int>(SendMessageW(g_slider, TBM_GETPOS, 0, 0)));
}

void Changed(TrackList& list) {
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
}

// Manual (Insert, double click) or timed: into the playing list, then its current row shown.
void Insert(InsertMode mode) {
    Sequencer& q = SequencerWin();
    TrackList* target = q.playingList;
    if (!target || target == &g_list) return;
    const bool playlist = target->role == ListRole::PlaylistView;
    const int n = InsertTracks(g_list, *target, playlist, mode, *LibraryListEnvWin().fs, S());
    if (mode == InsertMode::Timed) {
        ListViewPushSelection(g_view);
        if (g_list.focusedRow >= 0 && g_list.view.ensureVisible)
            g_list.view.ensureVisible(g_list.view.ctx, g_list.focusedRow, false);
    }
    if (n <= 0) return;
    Changed(*target);
    if (target->currentRow >= 0 && target->view.ensureVisible)
        target->view.ensureVisible(target->view.ctx, target->currentRow, false);
    SequenceRefreshUpcomingWin();
    const LibraryHost& h = LibraryHostWin();
    if (h.updateFlags) h.updateFlags(h.ctx);
    // With "always scan" the Insert view's own times are scanned again.
    const ListEnv env = LibraryListEnvWin();
    if ((static_cast<uint32_t>(S().list_style) & ListStyle::AlwaysScanInfo) &&
        env.hooks.startInfoScan)
        env.hooks.startInfoScan(env.hooks.ctx, g_list);
}

void Tick() {
    int interval = 0, next = 0;
    wchar_t text[256] = {};
    GetWindowTextW(g_status, text, 256);
    if (!ReadInsertStatus(text, interval, next)) interval = next = SliderInterval();
    if (InsertMinuteTick(interval, next)) Insert(InsertMode::Timed);
    ShowStatus(interval, next);
}

void Layout() {
    RECT r{};
    GetClientRect(g_dlg, &r);
    int x = 4;
    for (int id : {kIdInsert, kIdSkip, kIdShuffle, kIdScan}) {
        MoveWindow(GetDlgItem(g_dlg, id), x, 4, 84, 24, TRUE);
        x += 88;
    }
    MoveWindow(g_slider, x, 4, std::max(60, static_cast<int>(r.right) - x - 4), 24, TRUE);
    MoveWindow(g_status, 6, 32, r.right - 12, 20, TRUE);
    MoveWindow(g_view.hwnd, 0, kStrip, r.right, std::max(0, static_cast<int>(r.bottom) - kStrip),
               TRUE);
}

void StoreGeometry() {
    InsertLayout l = ReadInsertLayout(S().autoinsert);
    RECT r{};
    GetWindowRect(g_dlg, &r);
    l.x = r.left;
    l.y = r.top;
    l.width = r.right - r.left;
    l.height = r.bottom - r.top;
    S().autoinsert = InsertLayoutText(l);
}

void Close() {
    if (!g_dlg) return;
    KillTimer(g_dlg, kMinuteTimer);
    InsertLayout l = ReadInsertLayout(S().autoinsert);
    for (int c = 0; c < 4; ++c)
        l.widths[c] = static_cast<int>(SendMessageW(g_view.hwnd, LVM_GETCOLUMNWIDTH, c, 0));
    l.slider = static_cast<int>(SendMessageW(g_slider, TBM_GETPOS, 0, 0));
    S().autoinsert = InsertLayoutText(l);
    Sequencer& q = SequencerWin();
    const bool hadFocus = q.focusedList == &g_list;
    if (q.playingList == &g_list) q.playingList = q.fileView;
    if (hadFocus) {
        q.focusedList = q.fileView;
        if (TrackList& files = LibraryFileView(); files.window)
            SetFocus(static_cast<HWND>(files.window));
    }
    q.insertView = nullptr;
    HWND dlg = g_dlg;
    g_dlg = nullptr;
    ModelessClosedWin(dlg);
    g_list.view = ListViewOps{};
    g_list.window = nullptr;
    g_list.rows.clear();
    g_view.hwnd = nullptr;
    DestroyWindow(dlg);
}

HWND Button(int id, const wchar_t* text) {
    HWND h =
        CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, g_dlg,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return h;
}

bool Create(const std::wstring& path) {
    Settings& s = S();
    const InsertLayout l = ReadInsertLayout(s.autoinsert);
    SetWindowTextW(g_dlg, path.c_str());
    SetWindowPos(g_dlg, nullptr, l.x, l.y, l.width, l.height, SWP_NOZORDER);
    Button(kIdInsert, Text(130, L"Insert"));
    Button(kIdSkip, Text(131, L"Skip"));
    Button(kIdShuffle, Text(132, L"Shuffle"));
    Button(kIdScan, Text(133, L"Scan lengths"));
    g_slider = CreateWindowExW(
        0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ, 0, 0, 10, 10, g_dlg,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSlider)), g_instance, nullptr);
    SendMessageW(g_slider, TBM_SETRANGE, TRUE, MAKELPARAM(1, kInsertSliderMax));
    SendMessageW(g_slider, TBM_SETLINESIZE, 0, 1);
    SendMessageW(g_slider, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(g_slider, TBM_SETPOS, TRUE, l.slider);
    g_status = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, g_dlg,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatus)), g_instance,
                               nullptr);
    SendMessageW(g_status, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    ShowStatus(InsertInterval(l.slider), InsertInterval(l.slider));

    // The list: the File view's control over the third list object, focused, its sort byte.
    g_list = TrackList{};
    g_list.role = ListRole::InsertView;
    g_list.sortByte = LibraryFileView().sortByte;
    g_view = ListViewWin{};
    g_view.list = &g_list;
    g_view.s = &s;
    g_view.lang = &g_lang;
    g_list.view = ListViewOpsOf(g_view);
    if (!ListViewCreateWin(g_view, g_dlg, g_instance, kIdList)) return false;
    SetWindowLongPtrW(g_view.hwnd, GWL_STYLE,
                      GetWindowLongPtrW(g_view.hwnd, GWL_STYLE) & ~LONG_PTR{LVS_EDITLABELS});
    SetWindowTextW(g_view.hwnd, L"Insert view");
    ListViewApplyColours(g_view);
    g_list.window = g_view.hwnd;
    Sequencer& q = SequencerWin();
    q.insertView = &g_list;
    q.focusedList = &g_list;
    if (LoadList(g_list, path, LibraryListEnvWin()) == 0 || g_list.rows.empty() ||
        g_list.kind == cueList || g_list.kind == cueListIdle) {
        g_list.rows.clear();
        Changed(g_list);
    }
    for (int c = 0; c < 4; ++c) SendMessageW(g_view.hwnd, LVM_SETCOLUMNWIDTH, c, l.widths[c]);
    SetTimer(g_dlg, kMinuteTimer, kInsertTickMs, nullptr);
    Layout();
    SetFocus(g_view.hwnd);
    return true;
}

INT_PTR CALLBACK InsertProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            g_dlg = dlg;
            ModelessOpenedWin(dlg);
            if (!Create(*reinterpret_cast<const std::wstring*>(lParam))) {
                Close();
                return TRUE;
            }
            ShowWindow(dlg, SW_SHOWNORMAL);
            return FALSE;
        case WM_SIZE:
            Layout();
            if (g_dlg) StoreGeometry();
            return TRUE;
        case WM_MOVE:
            if (g_dlg) StoreGeometry();
            return TRUE;
        case WM_TIMER:
            if (wParam == kMinuteTimer) Tick();
            return TRUE;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == g_slider)
                ShowStatus(SliderInterval(), SliderInterval());
            return TRUE;
        case WM_CONTEXTMENU:
            // The track menu is the main window's: it acts on the focused list, this one.
            if (reinterpret_cast<HWND>(wParam) != g_view.hwnd || g_list.focusedRow < 0) return FALSE;
            SetFocus(g_view.hwnd);
            SequencerWin().focusedList = &g_list;
            SendMessageW(g_main, WM_CONTEXTMENU, wParam, lParam);
            return TRUE;
        case WM_NOTIFY: {
            NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
            if (h->hwndFrom != g_view.hwnd) return FALSE;
            LRESULT result = 0;
            if (h->code == NM_DBLCLK) {
                Insert(InsertMode::Manual);
            } else if (h->code == LVN_COLUMNCLICK) {
                (void)OnHeaderClick(g_list, LibraryListEnvWin(),
                                    reinterpret_cast<NMLISTVIEW*>(h)->iSubItem);
            } else if (h->code == NM_SETFOCUS) {
                SequencerWin().focusedList = &g_list;
            } else if (h->code == LVN_BEGINDRAG) {
                if (!(static_cast<uint32_t>(g_settings.control_lock) & ControlLock::TrackPlacement))
                    RowDragBeginWin(g_main, kListInsert);
            } else if (!ListViewNotify(g_view, h, result)) {
                return FALSE;
            }
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, result);
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kIdInsert:
                    Insert(InsertMode::Manual);
                    return TRUE;
                case kIdSkip: {
                    (void)SkipRows(SequencerWin(), g_list);
                    int interval = 0, next = 0;
                    wchar_t text[256] = {};
                    GetWindowTextW(g_status, text, 256);
                    if (ReadInsertStatus(text, interval, next)) ShowStatus(interval, next);
                    return TRUE;
                }
                case kIdShuffle:
                    (void)OnShuffle(g_list, LibraryListEnvWin());
                    return TRUE;
                case kIdScan: {
                    const ListEnv env = LibraryListEnvWin();
                    if (!(static_cast<uint32_t>(S().list_style) & ListStyle::AlwaysScanInfo) &&
                        env.hooks.startInfoScan)
                        env.hooks.startInfoScan(env.hooks.ctx, g_list);
                    return TRUE;
                }
                case IDCANCEL:
                    Close();
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

// Opens the (modeless, sizeable tool) window on path, a folder or the title of given rows.
void CreateInsertView(const std::wstring& path) {
    OpenDialogWin(DialogTemplateWin(L"", 0, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                    WS_EX_TOOLWINDOW),
                  g_main, InsertProc, reinterpret_cast<LPARAM>(&path));
}

}  // namespace

void InsertViewStartWin(HWND mainWindow, HINSTANCE instance) {
    g_main = mainWindow;
    g_instance = instance;
}

void InsertViewOpenCommandWin(CommandId, intptr_t) {
    if (g_dlg) {  // only one: a second request closes it
        Close();
        return;
    }
    FolderTree& tree = LibraryTree();
    std::wstring path;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, S(), path) || path.empty()) return;
    CreateInsertView(path);
}

TrackList* InsertViewListForRowsWin(const std::wstring& title) {
    if (!g_dlg) {
        CreateInsertView(title);
    } else {
        SetWindowTextW(g_dlg, title.c_str());
    }
    return g_dlg ? &g_list : nullptr;
}

HWND InsertViewListWin() {
    return static_cast<HWND>(g_list.window);
}

TrackList& InsertViewModelWin() {
    return g_list;
}

bool InsertViewIsOpenWin() {
    return g_dlg != nullptr;
}

void InsertViewCloseWin() {
    Close();
}

