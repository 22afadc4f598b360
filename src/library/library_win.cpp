// The library's window side: the tree and the File view as children of the main window, the
// ListOps through which the dispatcher reaches the tree and the lists (the Playlist view's part
// is asked of playlist_view_win.cpp), their notifications, and the File view's commands.
#include "library/library_win.h"

#include <algorithm>

#include "base/fileops_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "library/folder_ops_win.h"
#include "library/folder_tree.h"
#include "library/info_scan_win.h"
#include "library/insert_view_win.h"
#include "library/list_rename_win.h"
#include "library/list_text.h"
#include "library/list_view_win.h"
#include "library/playlist_view_win.h"
#include "library/row_commands.h"
#include "library/row_drag_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/subfolder_walk_win.h"
#include "library/track_list.h"
#include "library/tree_view_win.h"

std::string g_playableExtensions(kMpegExtensions);

namespace {

constexpr int kTreeControlId = 1100, kListControlId = 1101;
constexpr size_t kMaxStateBytes = 64u << 20;  // a larger saved list is not read

LibraryHost g_host;
HWND g_mainWindow = nullptr;  // captures the mouse while rows are dragged
std::wstring g_iniPath;
bool* g_restoreSavedList = nullptr;  // the shell's start-up decision, taken by a listing
FolderOps g_ops;
FolderTree g_tree;
TrackList g_files;
TreeViewWin g_treeView;
ListViewWin g_listView;
bool g_treeFilling = false;  // the control's selection changes meanwhile are not the user's
bool g_gotoCurrent = false;  // the next listing selects the current track in mid-view

void LogError(void*, const char* text, int code) {
    if (g_host.errorLog) g_host.errorLog(g_host.ctx, text, code);
}

// The saved file list, once, when the start asked for it.
bool TakeSavedList(void*, std::string& bytes) {
    if (!g_restoreSavedList || !*g_restoreSavedList) return false;
    *g_restoreSavedList = false;
    FileOps fs = Win32FileOps();
    return fs.readFile(nullptr, ListStatePath(g_iniPath, L'd'), kMaxStateBytes, bytes) &&
           !bytes.empty();
}

ListEnv FileListEnv() {
    ListEnv env;
    env.s = &g_settings;
    env.fs = &g_ops;
    env.playable = &g_playableExtensions;
    env.hooks.takeSavedList = TakeSavedList;
    env.hooks.readPlayList = SequenceReadPlayListWin;
    env.hooks.readCueSheet = SequenceReadCueSheetWin;
    // A load, a sort or the info scan's times change what comes next and what the list sums
    // up to: the upcoming texts, the title and the list summary follow.
    env.hooks.listChanged = [](void*, TrackList&) {
        SequenceRefreshUpcomingWin();
        const LibraryHost& h = LibraryHostWin();
        if (h.listShown) h.listShown(h.ctx);
    };
    // A listing of the File view also replaces what a subfolder walk would have shown.
    env.hooks.stopInfoScan = [](void*, TrackList& l) {
        (void)InfoScanStopWin();
        if (&l == &g_files) (void)SubfolderWalkStopWin();
    };
    env.hooks.startInfoScan = [](void*, TrackList& l) { InfoScanStartWin(l, true); };
    return env;
}

TreeEnv TreeEnvOf() {
    return TreeEnv{&g_settings, &g_ops};
}

void SelectTreeItem(TreeItem item) {
    if (item) SelectItem(g_tree, item);  // its selection change lists the folder
}

void SelectParentFolder() {
    SelectTreeItem(TreeParent(g_tree, g_tree.selected));
}

// ---- ListOps ----

void TreeKey(void*, CommandId key) {
    if (key == kCmdReturn) {  // Return in the tree plays the list's first row
        SelectOnly(g_files, 0);
        return;
    }
    TreeViewKey(g_treeView, key);
}

void ListKey(void*, ListId list, CommandId key) {
    if (list == kListPlaylist) return PlaylistViewKeyWin(key);
    if (list != kListFiles) return;
    switch (key) {
        case kCmdBackspace:
            SelectParentFolder();
            return;
        case kCmdSortBackward:
            (void)OnShuffle(g_files, FileListEnv());
            return;
        case kCmdSortForward:
            (void)OnCycleSort(g_files, FileListEnv());
            return;
        default:
            ListViewKey(g_listView, key);
    }
}

bool OpenRow(void*, ListId list) {
    if (list != kListFiles) return false;
    std::wstring path;
    switch (OpenNavigationRow(g_files, path)) {
        case NavTarget::None:
            return false;
        case NavTarget::Parent:
            SelectParentFolder();
            return true;
        case NavTarget::Path:
            SelectTreeItem(LocateListTarget(g_tree, path, TreeEnvOf()));
            return true;
    }
    return false;
}

bool HasSelection(void*, ListId list) {
    if (list == kListPlaylist)
        return PlaylistViewIsOpenWin() && SelectedCount(PlaylistViewModelWin()) > 0;
    return list == kListFiles && SelectedCount(g_files) > 0;
}

bool FileViewShowsFolder(void*) {
    return g_files.kind == folderList || g_files.kind == playList;
}

void FocusTree(void*) {
    if (g_treeView.hwnd) SetFocus(g_treeView.hwnd);
}

void FocusList(void*, ListId list) {
    if (list == kListPlaylist) return PlaylistViewFocusWin();
    if (list != kListFiles || !g_listView.hwnd) return;
    SequencerWin().focusedList = &g_files;
    SetFocus(g_listView.hwnd);
}

void ScrollToCurrent(void*, ListId list) {
    if (list == kListPlaylist) return PlaylistViewScrollToCurrentWin();
    if (list != kListFiles || g_files.currentRow < 0) return;
    SendMessageW(g_listView.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(g_files.currentRow),
                 FALSE);
}

void StoreWidths(void*) {
    if (g_files.window) SaveListWidths(g_files, g_settings);
    PlaylistViewStoreWidthsWin();  // category 1, after the File view's
}

void ListBrowsedFolder(void*) {
    LibraryListBrowsedFolderWin();
}

void ScrollTreeSelection(void*) {
    TreeViewEnsureVisible(g_treeView, g_tree.selected);
}

void ScrollAllIntoView(void*) {
    TreeViewEnsureVisible(g_treeView, TreeFirstRoot(g_tree));
    TreeViewEnsureVisible(g_treeView, g_tree.selected);
    ScrollToCurrent(nullptr, kListFiles);
}

void WindowShown(void*) {
    TreeViewAddTipsWin(g_treeView);
}

bool IsPlayable(void*, const std::wstring& path) {
    return PathPlayableKind(path, g_playableExtensions) != 0;
}

LocalTime LocalTimeOf(const FILETIME& ft) {
    FILETIME lt;
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&ft, &lt);
    FileTimeToSystemTime(&lt, &st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

// Dropped files go into the File view at row (the end for -1), with the cells a folder
// listing would give them.
void InsertFileRows(const std::vector<std::wstring>& files, int row) {
    int at = row < 0 ? static_cast<int>(g_files.rows.size()) : row;
    for (const std::wstring& f : files) {
        WIN32_FILE_ATTRIBUTE_DATA fa;
        if (!GetFileAttributesExW(f.c_str(), GetFileExInfoStandard, &fa)) continue;
        const uint64_t size = (uint64_t{fa.nFileSizeHigh} << 32) | fa.nFileSizeLow;
        const size_t slash = f.find_last_of(L'\\');
        const std::wstring folder =
            slash == std::wstring::npos ? std::wstring() : f.substr(0, slash);
        std::wstring name = f.substr(slash == std::wstring::npos ? 0 : slash + 1);
        const std::wstring date =
            DateText(LocalTimeOf(fa.ftCreationTime), LocalTimeOf(fa.ftLastWriteTime), g_settings);
        if (g_files.kind == folderList) {
            const size_t dot = name.find_last_of(L'.');
            AddRow(g_files, at, name.substr(0, dot), SizeText(size, g_settings),
                   name.substr(dot + 1), date, g_settings);
        } else {
            AddRow(g_files, at, name, SizeText(size, g_settings), folder, L"", g_settings);
        }
        ++at;
    }
    // The current row moves with the rows above it; find it again by its file.
    g_files.currentRow = -1;
    const int current = CurrentRowOf(g_files, g_settings);
    if (current >= 0) {
        SetCurrentRow(g_files, current, false);
        SelectOnly(g_files, current);
    } else if (g_files.view.rowsChanged) {
        g_files.view.rowsChanged(g_files.view.ctx);
    }
}

void InsertRows(void*, ListId list, const std::vector<std::wstring>& files, int row) {
    if (list == kListPlaylist) return PlaylistViewInsertWin(files, row);
    if (list == kListFiles && !files.empty()) InsertFileRows(files, row);
}

void SortByColumn(void*, ListId list, int column) {
    if (list != kListFiles) return;
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    (void)OnHeaderClick(g_files, FileListEnv(), column);
    SetCursor(old);
}

bool RenameRow(void*, const std::wstring& newName) {
    return ListRenameWin(newName);
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

// ---- start ----

void LibraryStartWin(const LibraryStart& start) {
    g_host = start.host;
    g_iniPath = start.iniPath;
    g_restoreSavedList = start.restoreSavedList;
    g_ops = Win32FolderOps();
    g_ops.errorLog = LogError;

    g_files.role = ListRole::FileView;
    g_files.sortByte = SortByteOf(g_files, g_settings);
    g_listView.list = &g_files;
    g_listView.s = &g_settings;
    g_listView.lang = &g_lang;
    g_files.view = ListViewOpsOf(g_listView);
    g_mainWindow = start.mainWindow;
    if (!ListViewCreateWin(g_listView, start.mainWindow, start.instance, kListControlId)) return;
    g_files.window = g_listView.hwnd;

    g_treeView.tree = &g_tree;
    g_treeView.filling = &g_treeFilling;
    if (TreeViewCreateWin(g_treeView, start.mainWindow, start.instance, g_settings,
                          kTreeControlId)) {
        g_tree.view = TreeViewOpsOf(g_treeView);
        g_treeFilling = true;
        // The roots' drives and special folders were read ahead while the window was made.
        FolderOps first = Win32FolderOpsForFirstRoots();
        first.errorLog = LogError;
        BuildRoots(g_tree, TreeEnv{&g_settings, &first});
        g_treeFilling = false;
    }
}

void LibrarySelectStartWin(bool expandRoot) {
    if (!g_treeView.hwnd) return;
    const TreeEnv env = TreeEnvOf();
    const std::wstring path = g_settings.browsed_folder;
    TreeItem item = path.empty() ? 0 : LocateTreePath(g_tree, path, true, env);
    if (!item && !path.empty()) {
        g_settings.last_hti = 0;
        item = LocateTreePath(g_tree, path, true, env);
    }
    if (!item) item = TreeFirstRoot(g_tree);
    if (expandRoot) TreeViewExpand(g_treeView, TreeFirstRoot(g_tree));
    SelectItem(g_tree, item);
    MarkPlayingFolder(g_tree, g_settings.last_folder);
}

ListOps ListOpsWin() {
    ListOps o;
    o.treeKey = TreeKey;
    o.listKey = ListKey;
    o.openRow = OpenRow;
    o.hasSelection = HasSelection;
    o.fileViewShowsFolder = FileViewShowsFolder;
    o.focusTree = FocusTree;
    o.focusList = FocusList;
    o.scrollToCurrent = ScrollToCurrent;
    o.storeColumnWidths = StoreWidths;
    o.listWorkRunning = [](void*) { return InfoScanRunningWin() || SubfolderWalkRunningWin(); };
    o.stopListWork = [](void*) {
        (void)InfoScanStopWin();
        if (SubfolderWalkStopWin() && g_host.showMessage)
            g_host.showMessage(g_host.ctx, L" Subfolder listing stopped.", 2000);
    };
    o.listBrowsedFolder = ListBrowsedFolder;
    o.scrollTreeSelection = ScrollTreeSelection;
    o.scrollAllIntoView = ScrollAllIntoView;
    o.windowShown = WindowShown;
    o.isPlayable = IsPlayable;
    o.insertRows = InsertRows;
    o.sortByColumn = SortByColumn;
    o.renameRow = RenameRow;
    o.beginRowDrag = [](void*, ListId list) { RowDragBeginWin(g_mainWindow, list); };
    // The info scan comes with its own part.
    return o;
}

const LibraryHost& LibraryHostWin() {
    return g_host;
}

// ---- notifications ----

bool LibraryListOfWindowWin(HWND window, ListId& list) {
    if (!window) return false;
    if (window == g_listView.hwnd) {
        list = kListFiles;
        return true;
    }
    if (window == PlaylistViewWindowWin()) {
        list = kListPlaylist;
        return true;
    }
    return false;
}

bool LibraryIsTreeWindowWin(HWND window) {
    return window && window == g_treeView.hwnd;
}

bool LibraryListAtWin(POINT screen, ListId& list, int& row) {
    for (HWND w : {PlaylistViewWindowWin(), g_listView.hwnd}) {
        RECT r;
        if (!w || !IsWindowVisible(w) || !GetWindowRect(w, &r) || !PtInRect(&r, screen)) continue;
        if (!LibraryListOfWindowWin(w, list)) continue;
        LVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(w, &hit.pt);
        row = static_cast<int>(SendMessageW(w, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return true;
    }
    return false;
}

bool LibraryTreeSelectionWin(const NMTREEVIEWW& change, std::wstring& folder) {
    if (g_treeFilling) return false;
    const TreeItem item = static_cast<TreeItem>(change.itemNew.lParam);
    if (item <= 0 || static_cast<size_t>(item) >= g_tree.nodes.size()) return false;
    g_tree.selected = item;
    (void)SubfolderWalkStopWin();  // another folder chosen: its listing follows
    folder.clear();
    return ItemPath(g_tree, item, folder, TreeEnvOf()) && !folder.empty();
}

bool LibraryTreeSelectionHasChildrenWin() {
    HTREEITEM sel = TreeView_GetSelection(g_treeView.hwnd);
    return sel && TreeView_GetChild(g_treeView.hwnd, sel);
}

bool LibraryNotifyWin(NMHDR* h, LRESULT& result) {
    if (h->hwndFrom == g_treeView.hwnd) {
        if (h->code != TVN_ITEMEXPANDINGW) return false;
        TreeViewExpanding(g_treeView, *reinterpret_cast<NMTREEVIEWW*>(h), TreeEnvOf());
        result = FALSE;
        return true;
    }
    if (h->hwndFrom == PlaylistViewWindowWin()) return PlaylistViewNotifyWin(h, result);
    if (h->hwndFrom != g_listView.hwnd) return false;
    if (h->code == NM_SETFOCUS) {
        SequencerWin().focusedList = &g_files;
        result = 0;
        return true;
    }
    return ListViewNotify(g_listView, h, result);
}

// ---- commands ----

void LibraryReloadCommandWin(CommandId, intptr_t) {
    LibraryListBrowsedFolderWin();
}

// The cycle half of "(Re-)Shuffle": the next sort method.
void LibraryCycleSortCommandWin(CommandId, intptr_t) {
    if (static_cast<uint32_t>(g_settings.control_lock) & ControlLock::TrackPlacement) return;
    (void)OnCycleSort(g_files, FileListEnv());
}

namespace {
// The tree rebuilt under a busy cursor; the File view keeps the folder it shows, which stays
// selected.
template <class Rebuild>
void RebuildTree(Rebuild rebuild) {
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    g_treeFilling = true;
    rebuild(TreeEnvOf());
    g_treeFilling = false;
    SetCursor(old);
}
// A new base folder. set: "Set as Base folder" (a path without a backslash is not taken).
void RebuildForBaseFolder(const std::wstring& path, bool set) {
    RebuildTree([&](const TreeEnv& env) {
        if (set)
            (void)SetBaseFolder(g_tree, path, env);
        else
            ChangeBaseFolder(g_tree, path, env);
    });
}
}  // namespace

void LibraryTreeSettingsEditedWin(const Settings& before) {
    if (!g_treeView.hwnd || !TreeSettingsDiffer(before, g_settings)) return;
    RebuildTree([&](const TreeEnv& env) { RefreshTree(g_tree, env, &before); });
}

// The tree menu's base folder commands act on the selected item.
void LibraryBaseFolderCommandWin(CommandId id, intptr_t) {
    if (id == kCmdSetBaseFolder) {
        std::wstring path;
        if (ItemFolderPath(g_tree, g_tree.selected, g_settings, path))
            RebuildForBaseFolder(path, true);
    } else if (id == kCmdClearBaseFolder) {
        RebuildForBaseFolder(std::wstring(), false);
    } else if (id == kCmdGoToBaseFolder) {
        GoToBaseFolder(g_tree, TreeEnvOf());
    }
}

// "Go to current track": the folder or list the playing track came from is shown, with the
// track selected in the middle of the view.
void LibraryGoToCurrentCommandWin(CommandId, intptr_t) {
    Settings& s = g_settings;
    if (s.last_file.empty() || !g_listView.hwnd) return;
    const std::wstring where =
        WithoutTrailingSlash(s.last_folder.empty() ? PathFolder(s.last_file) : s.last_folder);
    if (SameTextNoCase(WithoutTrailingSlash(g_files.folder), where)) {
        const int row = FindRow(g_files, s.last_file);
        if (row < 0) return;
        SetCurrentRow(g_files, row, false);
        SelectOnly(g_files, row);
        if (g_files.view.ensureVisible) g_files.view.ensureVisible(g_files.view.ctx, row, true);
        return;
    }
    s.browsed_folder = where;
    g_gotoCurrent = true;
    const TreeItem item = LocateTreePath(g_tree, where, true, TreeEnvOf());
    if (item && item != g_tree.selected) {
        SelectItem(g_tree, item);  // its selection change lists the folder
        return;
    }
    LibraryListBrowsedFolderWin();
}

// "Select all": every row of the focused list, in the model and in its control.
void LibrarySelectAllCommandWin(CommandId, intptr_t) {
    TrackList* list = SequencerWin().focusedList;
    if (!list) list = &g_files;
    if (SelectAllRows(*list) == 0 || !list->window) return;
    LVITEMW it{};
    it.stateMask = LVIS_SELECTED;
    it.state = LVIS_SELECTED;
    SendMessageW(static_cast<HWND>(list->window), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&it));
}

// "Show subfolder contents": the playable files of the tree's selected folder and of all its
// subfolders, as one list of rows that carry their folders, read on a worker
// (subfolder_walk_win.cpp) while the window goes on; the File view keeps what it shows until
// the walk ends.
void LibrarySubfoldersCommandWin(CommandId, intptr_t) {
    std::wstring folder;
    if (!g_listView.hwnd || !g_tree.selected ||
        !ItemFolderPath(g_tree, g_tree.selected, g_settings, folder) || folder.empty() ||
        IsListFileName(folder))
        return;
    SubfolderWalkStartWin(folder);
}

// ---- for the other glue files ----

TrackList& LibraryFileView() {
    return g_files;
}
FolderTree& LibraryTree() {
    return g_tree;
}
TreeEnv LibraryTreeEnvWin() {
    return TreeEnvOf();
}
ListEnv LibraryListEnvWin() {
    return FileListEnv();
}

void LibraryListBrowsedFolderWin() {
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(g_listView.hwnd, WM_SETREDRAW, FALSE, 0);
    (void)LoadList(g_files, g_settings.browsed_folder, FileListEnv(), g_gotoCurrent);
    g_gotoCurrent = false;
    SendMessageW(g_listView.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_listView.hwnd, nullptr, TRUE);
    SetCursor(old);
    const LibraryHost& h = LibraryHostWin();
    if (h.listShown) h.listShown(h.ctx);
}

void LibraryPlayableChangedWin() {
    // Rows move or go: a running scan ends first. The reloads may start their own.
    (void)InfoScanStopWin();
    TrackList* lists[] = {&g_files, &PlaylistViewModelWin(), &InsertViewModelWin()};
    for (TrackList* list : lists) {
        if (PlayableChangeFollow(*list) != PlayableFollow::Reload) continue;
        if (list == &g_files)
            LibraryListBrowsedFolderWin();
        else
            (void)LoadList(*list, list->folder, LibraryListEnvWin());
    }
    SequenceRefreshUpcomingWin();
}

void LibraryRepaintListsWin() {
    for (HWND w : {g_listView.hwnd, PlaylistViewWindowWin()})
        if (w) InvalidateRect(w, nullptr, FALSE);
}

bool LibraryFileRowsWin(void*, std::vector<ListStateRow>& rows) {
    return g_files.window && ListStateRowsOf(g_files, rows);
}

LibraryWindows LibraryWindowsWin() {
    return LibraryWindows{g_treeView.hwnd, g_listView.hwnd, PlaylistViewWindowWin()};
}
