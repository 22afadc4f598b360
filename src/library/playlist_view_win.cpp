// The Playlist view pane's window side: the list control (the File view's owner-data list with
// the pane's header and widths), opening and closing it with its saved rows, and the commands
// and list operations that reach it. The rules live in playlist_view.cpp and
// sequence_pane.cpp; this file connects them to the control. Its place in the main window is
// the window layout's.
#include "library/playlist_view_win.h"

#include "base/fileops_win.h"
#include "config/lang.h"
#include "config/settings.h"
#include "library/folder_tree.h"
#include "library/info_scan_win.h"
#include "library/library_win.h"
#include "library/list_view_win.h"
#include "library/playlist_file.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"

namespace {

constexpr int kPaneControlId = 1102;
constexpr size_t kMaxStateBytes = 64u << 20;

HWND g_main = nullptr;
HINSTANCE g_instance = nullptr;
std::wstring g_statePath;  // the list state file "p"
TrackList g_pane;          // the pane's model; the sequencer points at it from the first opening on
ListViewWin g_view;

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
    const LibraryHost& h = LibraryHostWin();
    if (h.layout) h.layout(h.ctx);
}

void HeadersChanged() {
    if (g_pane.view.headersChanged) g_pane.view.headersChanged(g_pane.view.ctx);
}

std::vector<ListStateRow> SavedRows() {
    std::string bytes;
    FileOps fs = Win32FileOps();
    if (!fs.readFile(nullptr, g_statePath, kMaxStateBytes, bytes)) return {};
    return ReadListStateText(bytes);
}

void SaveRows(const std::vector<ListStateRow>& rows) {
    FileOps fs = Win32FileOps();
    (void)fs.replaceFile(nullptr, g_statePath, ListStateText(rows, S().info_row != 0));
}

// Opening: the control with the File view's columns, the header " [ PLAYLIST ]    Filename"
// and the widths of category 1, the rows of the last close with the row of last_file marked,
// and (unless "Continue in focused list") the pane as the playing list.
bool OpenPane(bool focus) {
    if (IsOpen()) {
        if (focus) PlaylistViewFocusWin();
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
    g_view.lang = &g_lang;
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

    OpenPlaylistPane(SequencerWin(), g_pane, SavedRows());
    if (g_pane.currentRow >= 0) {
        SelectOnly(g_pane, g_pane.currentRow);
        if (g_pane.view.ensureVisible)
            g_pane.view.ensureVisible(g_pane.view.ctx, g_pane.currentRow, false);
    }
    Relayout();
    if (focus) PlaylistViewFocusWin();
    return true;
}

// Closing: rows and widths saved, the control destroyed, the File view focused and playing.
void ClosePane() {
    Settings& s = S();
    if (!IsOpen()) {
        s.playlist_win = static_cast<uint16_t>(s.playlist_win & ~kPlaylistOpen);
        return;
    }
    // A scan of these rows ends before they go.
    (void)InfoScanStopWin();
    SaveListWidths(g_pane, s);
    SaveRows(ClosePlaylistPane(SequencerWin()));
    HWND old = g_view.hwnd;
    g_view.hwnd = nullptr;
    g_view.columns = 0;
    g_pane.window = nullptr;
    g_pane.view = ListViewOps{};
    DestroyWindow(old);
    Relayout();
    if (TrackList& files = LibraryFileView(); files.window)
        SetFocus(static_cast<HWND>(files.window));
}

// Enqueued rows get their times and info when the lists always scan; the order the user
// made stays (no re-sort).
void ScanEnqueued() {
    if (static_cast<uint32_t>(S().list_style) & ListStyle::AlwaysScanInfo)
        InfoScanStartWin(g_pane, false);
}

// Inserts paths at row (the end for -1), each row built from the file itself.
void InsertPaths(const std::vector<std::wstring>& paths, int row) {
    int at = row < 0 ? static_cast<int>(g_pane.rows.size()) : row;
    for (const std::wstring& p : paths) at = EnqueuePath(g_pane, p, at, Fs(), S());
    HeadersChanged();
    SequenceRefreshUpcomingWin();
    ScanEnqueued();
}

}  // namespace

void PlaylistViewStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath) {
    g_main = mainWindow;
    g_instance = instance;
    g_statePath = ListStatePath(iniPath, L'p');
    g_pane.role = ListRole::PlaylistView;
    if (S().playlist_win & kPlaylistOpen) OpenPane(false);
}

void PlaylistViewEnqueueWin(std::vector<std::wstring> paths) {
    std::erase_if(paths, [](const std::wstring& p) { return p.empty(); });
    const bool wasOpen = IsOpen();
    // Without a path the pane still opens when the hand-over asked for it (the bit is set).
    if (paths.empty() && (wasOpen || !(S().playlist_win & kPlaylistOpen))) return;
    if (!OpenPane(!wasOpen)) return;
    if (!paths.empty()) InsertPaths(paths, -1);
}

bool PlaylistViewIsOpenWin() {
    return IsOpen();
}

void PlaylistViewCloseWin() {
    ClosePane();
}

// ---- commands ----

void PlaylistViewToggleCommandWin(CommandId, intptr_t) {
    if (IsOpen())
        ClosePane();
    else
        OpenPane(false);
}

void PlaylistViewEnqueueCommandWin(CommandId, intptr_t) {
    if (!IsOpen() && !OpenPane(true)) return;
    (void)EnqueueSelection(g_pane, LibraryFileView(), -1, Fs(), S());
    HeadersChanged();
    SequenceRefreshUpcomingWin();
    ScanEnqueued();
}

void PlaylistViewClearCommandWin(CommandId, intptr_t) {
    if (!IsOpen()) return;
    ClearPlaylistView(g_pane);
    SequenceRefreshUpcomingWin();
}

// "Content to playlist": the playable files of the folder selected in the tree.
void PlaylistViewContentCommandWin(CommandId, intptr_t) {
    FolderTree& tree = LibraryTree();
    std::wstring folder;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, S(), folder) || folder.empty())
        return;
    if (!IsOpen() && !OpenPane(true)) return;
    if (ContentToPlaylist(g_pane, folder, Fs(), S(), g_playableExtensions) > 0) {
        HeadersChanged();
        SequenceRefreshUpcomingWin();
    }
}

// ---- the library's list operations ----

HWND PlaylistViewWindowWin() {
    return g_view.hwnd;
}

TrackList& PlaylistViewModelWin() {
    return g_pane;
}

void PlaylistViewFocusWin() {
    if (!IsOpen()) return;
    SequencerWin().focusedList = &g_pane;
    SetFocus(g_view.hwnd);
}

void PlaylistViewKeyWin(CommandId key) {
    if (IsOpen()) (void)ListViewKey(g_view, key);
}

void PlaylistViewScrollToCurrentWin() {
    if (IsOpen() && g_pane.currentRow >= 0 && g_pane.view.ensureVisible)
        g_pane.view.ensureVisible(g_pane.view.ctx, g_pane.currentRow, false);
}

void PlaylistViewStoreWidthsWin() {
    if (IsOpen()) SaveListWidths(g_pane, S());
}

void PlaylistViewInsertWin(const std::vector<std::wstring>& files, int row) {
    if (!IsOpen() && !OpenPane(true)) return;
    InsertPaths(files, row);
}

bool PlaylistViewNotifyWin(NMHDR* h, LRESULT& result) {
    if (!IsOpen() || h->hwndFrom != g_view.hwnd) return false;
    if (h->code == NM_SETFOCUS) {
        SequencerWin().focusedList = &g_pane;
        result = 0;
        return true;
    }
    return ListViewNotify(g_view, h, result);
}

bool PlaylistViewRowsWin(void*, std::vector<ListStateRow>& rows) {
    if (!IsOpen()) return false;
    rows = PlaylistStateRows(g_pane);
    return true;
}
