// The Playlist view pane's window side: the list control (the File view's owner-data list with
// the pane's header and widths), opening and closing it with its saved rows, its place in the
// main window, and the commands and hooks that reach it. The rules live in playlist_view.cpp
// and sequence_pane.cpp; this file connects them to the control and the dispatcher.
#include "library/playlist_view_win.h"

#include <algorithm>

#include "app/app_win.h"
#include "base/fileops_win.h"
#include "library/folder_tree.h"
#include "library/library_win.h"
#include "library/list_view_win.h"
#include "library/playlist_file.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"

namespace {

constexpr int kPaneControlId = 1102;
constexpr int kPaneGap = 3;         // pixels between the two lists
constexpr int kStackedMargin = 90;  // stacked: the divider stays this far from top and bottom
constexpr int kSideMargin = 100;    // side by side: this far from the left and right edges
constexpr size_t kMaxStateBytes = 64u << 20;

HWND g_main = nullptr;
HINSTANCE g_instance = nullptr;
TrackList g_pane;  // the pane's model; the sequencer points at it from the first opening on
ListViewWin g_view;

// The hooks this file wraps: the previous holder answers for the other lists.
AppHooks g_prev;

Settings& S() {
    return g_settings;
}

// The library's folder operations (filled when the library started).
const FolderOps& Fs() {
    return *LibraryListEnvWin().fs;
}

bool IsOpen() {
    return g_view.hwnd != nullptr;
}

void Relayout() {
    if (g_hooks.layout) g_hooks.layout(g_hooks.ctx);
}

void RefreshUpcoming() {
    if (g_hooks.refreshUpcoming) g_hooks.refreshUpcoming(g_hooks.ctx);
}

void HeadersChanged() {
    if (g_pane.view.headersChanged) g_pane.view.headersChanged(g_pane.view.ctx);
}

std::wstring StatePath() {
    return ListStatePath(g_shell.iniPath, L'p');
}

std::vector<ListStateRow> SavedRows() {
    std::string bytes;
    FileOps fs = Win32FileOps();
    if (!fs.readFile(nullptr, StatePath(), kMaxStateBytes, bytes)) return {};
    return ReadListStateText(bytes);
}

void SaveRows(const std::vector<ListStateRow>& rows) {
    FileOps fs = Win32FileOps();
    (void)fs.replaceFile(nullptr, StatePath(), ListStateText(rows, S().info_row != 0));
}

void FocusPane() {
    if (!IsOpen()) return;
    g_dispatch.focusedPane = kPanePlaylist;
    g_dispatch.focusedList = kListPlaylist;
    SequencerWin().focusedList = &g_pane;
    SetFocus(g_view.hwnd);
}

// Opening: the control with the File view's columns, the header " [ PLAYLIST ]    Filename"
// and the widths of category 1, the rows of the last close with the row of last_file marked,
// and (unless "Continue in focused list") the pane as the playing list.
bool OpenPane(bool focus) {
    if (IsOpen()) {
        if (focus) FocusPane();
        return true;
    }
    Settings& s = S();
    s.playlist_win = static_cast<uint16_t>(s.playlist_win | kPlaylistOpen);  // header text
    g_pane.role = ListRole::PlaylistView;
    g_pane.kind = savedFolderList;
    g_pane.sortByte = SortByteOf(g_pane, s);
    g_pane.rows.clear();
    g_view.list = &g_pane;
    g_view.s = &s;
    g_view.columns = 0;
    g_pane.view = ListViewOpsOf(g_view);
    if (!ListViewCreateWin(g_view, g_main, g_instance, kPaneControlId)) {
        g_pane.view = ListViewOps{};
        s.playlist_win = static_cast<uint16_t>(s.playlist_win & ~kPlaylistOpen);
        return false;
    }
    // Its rows are not files of the shown folder: no in-place renaming here.
    SetWindowLongPtrW(g_view.hwnd, GWL_STYLE,
                      GetWindowLongPtrW(g_view.hwnd, GWL_STYLE) & ~LONG_PTR{LVS_EDITLABELS});
    SetWindowTextW(g_view.hwnd, L"Playlist view");
    g_pane.window = g_view.hwnd;
    g_win.playList = g_view.hwnd;

    Sequencer& q = SequencerWin();
    OpenPlaylistPane(q, g_pane, SavedRows());
    if (g_pane.currentRow >= 0) {
        SelectOnly(g_pane, g_pane.currentRow);
        if (g_pane.view.ensureVisible)
            g_pane.view.ensureVisible(g_pane.view.ctx, g_pane.currentRow, false);
    }
    if (q.playingList == &g_pane) g_dispatch.playingList = kListPlaylist;
    Relayout();
    if (focus) FocusPane();
    return true;
}

// Closing: rows and widths saved, the control destroyed, the File view focused and playing.
void ClosePane() {
    Settings& s = S();
    if (!IsOpen()) {
        s.playlist_win = static_cast<uint16_t>(s.playlist_win & ~kPlaylistOpen);
        return;
    }
    if (g_hooks.stopInfoScan) g_hooks.stopInfoScan(g_hooks.ctx);
    PlaylistViewPullSelectionWin();
    SaveListWidths(g_pane, s);
    SaveRows(ClosePlaylistPane(SequencerWin()));
    HWND old = g_view.hwnd;
    g_view.hwnd = nullptr;
    g_view.columns = 0;
    g_pane.window = nullptr;
    g_pane.view = ListViewOps{};
    g_win.playList = nullptr;
    DestroyWindow(old);
    g_dispatch.focusedList = g_dispatch.playingList = kListFiles;
    g_dispatch.focusedPane = kPaneFiles;
    Relayout();
    if (g_hooks.focusPane) g_hooks.focusPane(g_hooks.ctx, kPaneFiles);
}

// Inserts paths at row (the end for -1), each row built from the file itself.
void InsertPaths(const std::vector<std::wstring>& paths, int row) {
    int at = row < 0 ? static_cast<int>(g_pane.rows.size()) : row;
    for (const std::wstring& p : paths) at = EnqueuePath(g_pane, p, at, Fs(), S());
    HeadersChanged();
    RefreshUpcoming();
}

// ---- commands ----

void ToggleCommand(void*, CommandId, intptr_t) {
    if (IsOpen())
        ClosePane();
    else
        OpenPane(false);
}

void EnqueueCommand(void*, CommandId, intptr_t) {
    LibraryPullSelectionWin();  // the File view's rows to enqueue (and the pane's focus row)
    if (!IsOpen() && !OpenPane(true)) return;
    (void)EnqueueSelection(g_pane, LibraryFileView(), -1, Fs(), S());
    HeadersChanged();
    RefreshUpcoming();
}

void ClearCommand(void*, CommandId, intptr_t) {
    if (!IsOpen()) return;
    ClearPlaylistView(g_pane);
    RefreshUpcoming();
}

// "Content to playlist": the playable files of the folder selected in the tree.
void ContentCommand(void*, CommandId, intptr_t) {
    FolderTree& tree = LibraryTree();
    std::wstring folder;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, S(), folder) || folder.empty())
        return;
    if (!IsOpen() && !OpenPane(true)) return;
    PlaylistViewPullSelectionWin();
    if (ContentToPlaylist(g_pane, folder, Fs(), S(), g_playableExtensions) > 0) {
        HeadersChanged();
        RefreshUpcoming();
    }
}

// ---- hooks: the pane answers for kListPlaylist / kPanePlaylist, the rest goes on ----

void Navigate(void* ctx, Pane pane, CommandId key) {
    if (pane == kPanePlaylist) {
        if (IsOpen()) ListViewKey(g_view, key);
        return;
    }
    if (g_prev.navigate) g_prev.navigate(ctx, pane, key);
}

bool ListHasSelection(void* ctx, ListId list) {
    if (list == kListPlaylist) {
        if (!IsOpen()) return false;
        PlaylistViewPullSelectionWin();
        return SelectedCount(g_pane) > 0;
    }
    return g_prev.listHasSelection && g_prev.listHasSelection(ctx, list);
}

void FocusPaneHook(void* ctx, Pane pane) {
    if (pane == kPanePlaylist) {
        if (IsOpen()) SetFocus(g_view.hwnd);
        return;
    }
    if (g_prev.focusPane) g_prev.focusPane(ctx, pane);
}

void ScrollToCurrent(void* ctx, ListId list) {
    if (list == kListPlaylist) {
        if (IsOpen() && g_pane.currentRow >= 0 && g_pane.view.ensureVisible)
            g_pane.view.ensureVisible(g_pane.view.ctx, g_pane.currentRow, false);
        return;
    }
    if (g_prev.scrollToCurrent) g_prev.scrollToCurrent(ctx, list);
}

void StoreWidths(void* ctx) {
    if (g_prev.storeColumnWidths) g_prev.storeColumnWidths(ctx);
    if (IsOpen()) SaveListWidths(g_pane, S());  // category 1, after the File view's
}

void InsertRows(void* ctx, ListId list, const std::vector<std::wstring>& files, int row) {
    if (list != kListPlaylist) {
        if (g_prev.insertRows) g_prev.insertRows(ctx, list, files, row);
        return;
    }
    if (!IsOpen() && !OpenPane(true)) return;
    PlaylistViewPullSelectionWin();
    InsertPaths(files, row);
}

bool IsOpenHook(void* ctx, AppWindow w) {
    if (w == AppWindow::Playlist) return IsOpen();
    return g_prev.isOpen && g_prev.isOpen(ctx, w);
}

void CloseWindowHook(void* ctx, AppWindow w) {
    if (w == AppWindow::Playlist) {
        ClosePane();
        return;
    }
    if (g_prev.closeWindow) g_prev.closeWindow(ctx, w);
}

bool OnMessage(void* ctx, AppMessage which, uintptr_t wParam, intptr_t lParam, intptr_t* result) {
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (which == AppMessage::ListNotify && h && IsOpen() && h->hwndFrom == g_view.hwnd) {
        if (h->code == NM_SETFOCUS) {
            g_dispatch.focusedPane = kPanePlaylist;
            g_dispatch.focusedList = kListPlaylist;
            return true;
        }
        LRESULT r = 0;
        if (ListViewNotify(g_view, h, r)) {
            *result = r;
            return true;
        }
        return false;
    }
    return g_prev.message && g_prev.message(ctx, which, wParam, lParam, result);
}

bool PlaylistRows(void*, std::vector<ListStateRow>& rows) {
    if (!IsOpen()) return false;
    rows = PlaylistStateRows(g_pane);
    return true;
}

void ConnectHooks(AppHooks& h) {
    g_prev = h;
    h.navigate = Navigate;
    h.listHasSelection = ListHasSelection;
    h.focusPane = FocusPaneHook;
    h.scrollToCurrent = ScrollToCurrent;
    h.storeColumnWidths = StoreWidths;
    h.insertRows = InsertRows;
    h.isOpen = IsOpenHook;
    h.closeWindow = CloseWindowHook;
    h.message = OnMessage;
    h.command[kCmdPlaylistView] = ToggleCommand;
    h.command[kCmdEnqueue] = EnqueueCommand;
    h.command[kCmdClearList] = ClearCommand;
    h.command[kCmdContentToPlaylist] = ContentCommand;
    g_listSources.playlistRows = PlaylistRows;
}

}  // namespace

void PlaylistViewStartWin(HWND mainWindow, HINSTANCE instance) {
    g_main = mainWindow;
    g_instance = instance;
    g_pane.role = ListRole::PlaylistView;
    ConnectHooks(g_hooks);
    if (S().playlist_win & kPlaylistOpen) OpenPane(false);
}

void PlaylistViewEnqueuePendingWin() {
    std::vector<std::wstring> paths;
    for (std::wstring& p : g_shell.pendingEnqueue)
        if (!p.empty()) paths.push_back(std::move(p));
    g_shell.pendingEnqueue.clear();
    const bool wasOpen = IsOpen();
    // Without a path the pane still opens when the hand-over asked for it (the bit is set).
    if (paths.empty() && (wasOpen || !(S().playlist_win & kPlaylistOpen))) return;
    if (!OpenPane(!wasOpen)) return;
    PlaylistViewPullSelectionWin();
    if (!paths.empty()) InsertPaths(paths, -1);
}

void PlaylistViewPullSelectionWin() {
    if (IsOpen()) ListViewPullSelection(g_view);
}

RECT PlaylistViewLayoutWin(const RECT& area) {
    if (!IsOpen()) return area;
    const uint32_t pw = S().playlist_win;
    const int pos = static_cast<int>(pw & kPlaylistDividerMask);
    RECT pane = area, files = area;
    if (pw & kPlaylistRight) {
        const int lo = area.left + kSideMargin, hi = area.right - kSideMargin;
        const int x = lo <= hi ? std::clamp(pos, lo, hi) : (area.left + area.right) / 2;
        files.right = x;
        pane.left = std::min<LONG>(x + kPaneGap, area.right);
    } else {
        const int lo = area.top + kStackedMargin, hi = area.bottom - kStackedMargin;
        const int y = lo <= hi ? std::clamp(pos, lo, hi) : (area.top + area.bottom) / 2;
        const LONG split = std::min<LONG>(y + kPaneGap, area.bottom);
        if (pw & kPlaylistBelow) {
            files.bottom = y;
            pane.top = split;
        } else {
            pane.bottom = y;
            files.top = split;
        }
    }
    MoveWindow(g_view.hwnd, pane.left, pane.top, std::max<LONG>(0, pane.right - pane.left),
               std::max<LONG>(0, pane.bottom - pane.top), TRUE);
    return files;
}
