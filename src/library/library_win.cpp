// The library's window side: the tree and the File view as children of the main window, the
// provisional layout (tree left, list right, divider from the settings), the hooks through
// which the dispatcher reaches them, and the File view's rows for the exit save.
#include "library/library_win.h"

#include <algorithm>

#include "app/app_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "library/folder_ops_win.h"
#include "library/folder_tree.h"
#include "library/list_rename_win.h"
#include "library/list_text.h"
#include "library/list_view_win.h"
#include "library/playlist_view_win.h"
#include "library/sequence_win.h"
#include "library/track_list.h"
#include "library/tree_view_win.h"

std::string g_playableExtensions(kMpegExtensions);

namespace {

ListEnv LibraryListEnv();
TreeEnv LibraryTreeEnv();

constexpr int kTreeControlId = 1100, kListControlId = 1101;
constexpr int kDividerGap = 3;  // pixels between tree and list

FolderOps g_ops;
FolderTree g_tree;
TrackList g_files;
TreeViewWin g_treeView;
ListViewWin g_listView;
bool g_savedListTaken = false;
bool (*g_previousMessage)(void*, AppMessage, uintptr_t, intptr_t, intptr_t*) = nullptr;

const wchar_t* LangEntry(int index) {
    return LangText(g_lang, index);
}

void LogError(void*, const char* text, int code) {
    WriteErrorLog(text, code);
}

// The saved file list, once, when the start asked for it.
bool TakeSavedList(void*, std::string& bytes) {
    if (g_savedListTaken || !g_shell.restoreSavedList) return false;
    g_savedListTaken = true;
    g_shell.restoreSavedList = false;
    FileOps fs = Win32FileOps();
    return fs.readFile(nullptr, ListStatePath(g_shell.iniPath, L'd'), 64u << 20, bytes) &&
           !bytes.empty();
}

bool FileListRows(void*, std::vector<ListStateRow>& rows) {
    return g_files.window && ListStateRowsOf(g_files, rows);
}

// ---- layout ----

int ChildHeight(HWND h) {
    RECT r;
    return h && IsWindowVisible(h) && GetWindowRect(h, &r) ? r.bottom - r.top : 0;
}

void Layout(void*) {
    RECT rc;
    if (!GetClientRect(g_win.mainWindow, &rc)) return;
    const int top = ChildHeight(g_win.toolbar);
    const int bottom = rc.bottom - ChildHeight(g_win.statusBar);
    const int height = std::max(0, bottom - top);
    const bool treeShown = !(static_cast<uint32_t>(g_settings.stylez) & Style::TreeHidden);
    const int divider =
        treeShown ? std::clamp(g_settings.divider, 0, std::max(0, static_cast<int>(rc.right) - 20))
                  : 0;
    ShowWindow(g_treeView.hwnd, treeShown ? SW_SHOWNA : SW_HIDE);
    if (treeShown) MoveWindow(g_treeView.hwnd, 0, top, divider, height, TRUE);
    const int listX = treeShown ? divider + kDividerGap : 0;
    // The open Playlist view takes its part of the list area; the File view keeps the rest.
    const RECT area{listX, top, std::max(listX, static_cast<int>(rc.right)), top + height};
    const RECT files = PlaylistViewLayoutWin(area);
    MoveWindow(g_listView.hwnd, files.left, files.top, files.right - files.left,
               files.bottom - files.top, TRUE);
}

// ---- hooks ----

void Navigate(void*, Pane pane, CommandId key) {
    if (pane == kPaneTree) {
        if (key == kCmdReturn) {  // Return in the tree plays the list's first row
            ListViewPullSelection(g_listView);
            SelectOnly(g_files, 0);
            return;
        }
        TreeViewKey(g_treeView, key);
        return;
    }
    if (pane != kPaneFiles) return;
    if (key == kCmdBackspace) {
        TreeItem parent = TreeParent(g_tree, g_tree.selected);
        if (parent) SelectItem(g_tree, parent);
        return;
    }
    if (key == kCmdSortBackward || key == kCmdSortForward) {
        ListViewPullSelection(g_listView);
        ListEnv env = LibraryListEnv();
        if (key == kCmdSortBackward)
            OnShuffle(g_files, env);
        else
            OnCycleSort(g_files, env);
        return;
    }
    ListViewKey(g_listView, key);
}

bool OpenRow(void*, ListId list) {
    if (list != kListFiles) return false;
    ListViewPullSelection(g_listView);
    std::wstring path;
    switch (OpenNavigationRow(g_files, path)) {
        case NavTarget::None:
            return false;
        case NavTarget::Parent:
            if (TreeItem parent = TreeParent(g_tree, g_tree.selected)) SelectItem(g_tree, parent);
            return true;
        case NavTarget::Path:
            if (TreeItem item = LocateListTarget(g_tree, path, LibraryTreeEnv()))
                SelectItem(g_tree, item);
            return true;
    }
    return false;
}

bool ListHasSelection(void*, ListId list) {
    if (list != kListFiles) return false;
    ListViewPullSelection(g_listView);
    return SelectedCount(g_files) > 0;
}

bool FileListShowsFolder(void*) {
    return g_files.kind == folderList || g_files.kind == playList;
}

void FocusPane(void*, Pane pane) {
    if (pane == kPaneTree && g_treeView.hwnd)
        SetFocus(g_treeView.hwnd);
    else if (pane == kPaneFiles && g_listView.hwnd)
        SetFocus(g_listView.hwnd);
    else if (pane == kPaneToolbar && g_win.toolbar)
        SetFocus(g_win.toolbar);
}

void ScrollToCurrent(void*, ListId list) {
    if (list != kListFiles || g_files.currentRow < 0) return;
    SendMessageW(g_listView.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(g_files.currentRow),
                 FALSE);
}

void StoreWidths(void*) {
    if (g_files.window) SaveListWidths(g_files, g_settings);
}

std::wstring TreeItemPath(void*, intptr_t param) {
    const TreeItem item = static_cast<TreeItem>(param);
    std::wstring out;
    if (item <= 0 || static_cast<size_t>(item) >= g_tree.nodes.size()) return out;
    g_tree.selected = item;
    if (!ItemPath(g_tree, item, out, LibraryTreeEnv())) out.clear();
    return out;
}

bool g_gotoCurrent = false;  // the next listing selects the current track in mid-view

void ListBrowsedFolder(void*) {
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(g_listView.hwnd, WM_SETREDRAW, FALSE, 0);
    LoadList(g_files, g_settings.browsed_folder, LibraryListEnv(), g_gotoCurrent);
    g_gotoCurrent = false;
    SendMessageW(g_listView.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_listView.hwnd, nullptr, TRUE);
    SetCursor(old);
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

// "Go to current track": the folder or list the playing track came from is shown, with the
// track selected in the middle of the view.
void GoToCurrentCommand(void*, CommandId, intptr_t) {
    Settings& s = g_settings;
    if (s.last_file.empty() || !g_listView.hwnd) return;
    const std::wstring where =
        WithoutTrailingSlash(s.last_folder.empty() ? PathFolder(s.last_file) : s.last_folder);
    if (SameTextNoCase(WithoutTrailingSlash(g_files.folder), where)) {
        const int row = FindRow(g_files, s.last_file);
        if (row < 0) return;
        SetCurrentRow(g_files, row, false);
        SelectOnly(g_files, row);
        ListViewPushSelection(g_listView);
        if (g_files.view.ensureVisible) g_files.view.ensureVisible(g_files.view.ctx, row, true);
        return;
    }
    s.browsed_folder = where;
    g_gotoCurrent = true;
    const TreeItem item = LocateTreePath(g_tree, where, true, LibraryTreeEnv());
    if (item && item != g_tree.selected) {
        SelectItem(g_tree, item);  // its selection change lists the folder
        return;
    }
    ListBrowsedFolder(nullptr);
}

void ScrollTreeSelection(void*) {
    TreeViewEnsureVisible(g_treeView, g_tree.selected);
}

void ScrollAllIntoView(void*) {
    TreeViewEnsureVisible(g_treeView, TreeFirstRoot(g_tree));
    TreeViewEnsureVisible(g_treeView, g_tree.selected);
    ScrollToCurrent(nullptr, kListFiles);
}

bool IsPlayable(void*, const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || path.find(L'\\', dot) != std::wstring::npos) return false;
    const int kind = PlayableKind(std::wstring_view(path).substr(dot + 1), g_playableExtensions);
    return kind == 1 || kind == 2;
}

void SortByColumn(void*, ListId list, int column) {
    if (list != kListFiles) return;
    ListViewPullSelection(g_listView);
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    OnHeaderClick(g_files, LibraryListEnv(), column);
    SetCursor(old);
}

bool OnMessage(void* ctx, AppMessage which, uintptr_t wParam, intptr_t lParam, intptr_t* result) {
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (which == AppMessage::ListNotify && h && h->hwndFrom == g_listView.hwnd) {
        if (h->code == NM_SETFOCUS) {
            g_dispatch.focusedPane = kPaneFiles;
            g_dispatch.focusedList = kListFiles;
            return true;
        }
        LRESULT r = 0;
        if (ListViewNotify(g_listView, h, r)) {
            *result = r;
            return true;
        }
    } else if (which == AppMessage::TreeNotify && h && h->hwndFrom == g_treeView.hwnd) {
        if (h->code == TVN_ITEMEXPANDINGW) {
            TreeViewExpanding(g_treeView, *reinterpret_cast<NMTREEVIEWW*>(h), LibraryTreeEnv());
            *result = FALSE;
            return true;
        }
        if (h->code == NM_DBLCLK) {
            HTREEITEM sel = TreeView_GetSelection(g_treeView.hwnd);
            CommandContext c = AppContext();
            OnTreeDoubleClick(c, sel && TreeView_GetChild(g_treeView.hwnd, sel));
            *result = 0;
            return true;
        }
    }
    return g_previousMessage && g_previousMessage(ctx, which, wParam, lParam, result);
}

// Reload (F5): the shown folder again.
void ReloadCommand(void*, CommandId, intptr_t) {
    ListBrowsedFolder(nullptr);
}

// The cycle half of "(Re-)Shuffle": the next sort method.
void CycleSortCommand(void*, CommandId, intptr_t) {
    if (static_cast<uint32_t>(g_settings.control_lock) & ControlLock::TrackPlacement) return;
    ListViewPullSelection(g_listView);
    OnCycleSort(g_files, LibraryListEnv());
}

// The tree menu's base folder commands act on the selected item.
void BaseFolderCommand(void*, CommandId id, intptr_t) {
    const TreeEnv env = LibraryTreeEnv();
    std::wstring path;
    if (id == kCmdSetBaseFolder) {
        if (ItemFolderPath(g_tree, g_tree.selected, g_settings, path))
            (void)SetBaseFolder(g_settings, path);
    } else if (id == kCmdClearBaseFolder) {
        ClearBaseFolder(g_settings);
    } else if (id == kCmdGoToBaseFolder) {
        GoToBaseFolder(g_tree, env);
    }
}

// Dropped files go into the File view at row (the end for -1), with the cells a folder
// listing would give them.
void InsertRows(void*, ListId list, const std::vector<std::wstring>& files, int row) {
    if (list != kListFiles || files.empty()) return;
    ListViewPullSelection(g_listView);
    int at = row < 0 ? static_cast<int>(g_files.rows.size()) : row;
    for (const std::wstring& f : files) {
        WIN32_FILE_ATTRIBUTE_DATA fa;
        if (!GetFileAttributesExW(f.c_str(), GetFileExInfoStandard, &fa)) continue;
        auto local = [](const FILETIME& ft) {
            FILETIME lt;
            SYSTEMTIME st{};
            FileTimeToLocalFileTime(&ft, &lt);
            FileTimeToSystemTime(&lt, &st);
            return LocalTime{st.wYear, st.wMonth,  st.wDay,   st.wDayOfWeek,
                             st.wHour, st.wMinute, st.wSecond};
        };
        const uint64_t size = (uint64_t{fa.nFileSizeHigh} << 32) | fa.nFileSizeLow;
        const size_t slash = f.find_last_of(L'\\');
        const std::wstring folder =
            slash == std::wstring::npos ? std::wstring() : f.substr(0, slash);
        std::wstring name = f.substr(slash == std::wstring::npos ? 0 : slash + 1);
        const std::wstring date =
            DateText(local(fa.ftCreationTime), local(fa.ftLastWriteTime), g_settings);
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

void ConnectHooks(AppHooks& h) {
    h.navigate = Navigate;
    h.openRow = OpenRow;
    h.listHasSelection = ListHasSelection;
    h.fileListShowsFolder = FileListShowsFolder;
    h.focusPane = FocusPane;
    h.scrollToCurrent = ScrollToCurrent;
    h.storeColumnWidths = StoreWidths;
    h.treeItemPath = TreeItemPath;
    h.listBrowsedFolder = ListBrowsedFolder;
    h.scrollTreeSelection = ScrollTreeSelection;
    h.scrollAllIntoView = ScrollAllIntoView;
    h.isPlayable = IsPlayable;
    h.sortByColumn = SortByColumn;
    if (!h.layout) h.layout = Layout;  // until the window layout takes over
    h.insertRows = InsertRows;
    auto own = [&h](CommandId id, void (*fn)(void*, CommandId, intptr_t)) {
        if (!h.command[id]) h.command[id] = fn;
    };
    own(kCmdReloadList, ReloadCommand);
    own(kCmdShuffle, CycleSortCommand);
    own(kCmdSetBaseFolder, BaseFolderCommand);
    own(kCmdClearBaseFolder, BaseFolderCommand);
    own(kCmdGoToBaseFolder, BaseFolderCommand);
    own(kCmdGoToCurrent, GoToCurrentCommand);
    ListRenameStartWin(h);
    g_previousMessage = h.message;
    h.message = OnMessage;
}

}  // namespace

namespace {
ListEnv LibraryListEnv() {
    ListEnv env;
    env.s = &g_settings;
    env.fs = &g_ops;
    env.playable = &g_playableExtensions;
    env.hooks.takeSavedList = TakeSavedList;
    env.hooks.readPlayList = SequenceReadPlayListWin;
    env.hooks.readCueSheet = SequenceReadCueSheetWin;
    return env;
}

TreeEnv LibraryTreeEnv() {
    return TreeEnv{&g_settings, &g_ops};
}
}  // namespace

TrackList& LibraryFileView() {
    return g_files;
}
FolderTree& LibraryTree() {
    return g_tree;
}
TreeEnv LibraryTreeEnvWin() {
    return LibraryTreeEnv();
}
ListEnv LibraryListEnvWin() {
    return LibraryListEnv();
}
void LibraryPullSelectionWin() {
    if (g_listView.hwnd) ListViewPullSelection(g_listView);
    PlaylistViewPullSelectionWin();
}

void LibraryStartWin(HWND mainWindow, HINSTANCE instance) {
    g_libraryLangText = LangEntry;
    g_ops = Win32FolderOps();
    g_ops.errorLog = LogError;

    g_files.role = ListRole::FileView;
    g_files.sortByte = SortByteOf(g_files, g_settings);
    g_listView.list = &g_files;
    g_listView.s = &g_settings;
    g_files.view = ListViewOpsOf(g_listView);
    if (!ListViewCreateWin(g_listView, mainWindow, instance, kListControlId)) return;
    g_files.window = g_listView.hwnd;
    g_win.fileList = g_listView.hwnd;

    g_treeView.tree = &g_tree;
    g_treeView.filling = &g_dispatch.treeFilling;
    if (TreeViewCreateWin(g_treeView, mainWindow, instance, g_settings, kTreeControlId)) {
        g_tree.view = TreeViewOpsOf(g_treeView);
        g_win.folderTree = g_treeView.hwnd;
        g_dispatch.treeFilling = true;
        BuildRoots(g_tree, LibraryTreeEnv());
        g_dispatch.treeFilling = false;
    }
    g_listSources = ListSources{nullptr, FileListRows, nullptr};
    ConnectHooks(g_hooks);
    Layout(nullptr);
}

void LibrarySelectStartWin(bool expandRoot) {
    if (!g_treeView.hwnd) return;
    const TreeEnv env = LibraryTreeEnv();
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

void LibraryRefreshTreeWin() {
    if (!g_treeView.hwnd) return;
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RefreshTree(g_tree, LibraryTreeEnv());
    SetCursor(old);
}

void LibraryMarkPlayingFolderWin() {
    MarkPlayingFolder(g_tree, g_settings.last_folder);
}
