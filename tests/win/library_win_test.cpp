// The library's Win32 side over real folders with non-ASCII names: the folder table, a folder
// listed into rows, a path located in the tree, and the two controls mirroring their models.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <set>

#include "config/lang.h"
#include "config/settings_io.h"
#include "library/folder_ops_win.h"
#include "library/folder_tree.h"
#include "library/list_text.h"
#include "library/list_view_win.h"
#include "library/track_list.h"
#include "library/tree_view_win.h"
#include "win_test_util.h"

namespace {

const wchar_t kMusik[] = L"M\u00FCsik", kJapan[] = L"\u65E5\u672C",
              kGreek[] = L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC";

void MakeFile(const std::wstring& path, size_t bytes, int minute = 7, DWORD attrs = 0) {
    WriteBytes(path, std::string(bytes, 'x'));
    // A known local write time: 2026-03-05 14:mm.
    SYSTEMTIME st{2026, 3, 4, 5, 14, static_cast<WORD>(minute), 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    if (attrs) SetFileAttributesW(path.c_str(), attrs);
}

// scratch\Müsik\日本 with tracks, a play list and a hidden track; scratch\Müsik\Ελληνικά empty.
std::wstring MakeMusic(const wchar_t* name) {
    const std::wstring root = ScratchFolder(name);
    const std::wstring musik = root + L"\\" + kMusik;
    CreateDirectoryW(musik.c_str(), nullptr);
    CreateDirectoryW((musik + L"\\" + kJapan).c_str(), nullptr);
    CreateDirectoryW((musik + L"\\" + kGreek).c_str(), nullptr);
    const std::wstring jp = musik + L"\\" + kJapan;
    MakeFile(jp + L"\\Track 9.mp3", 1263616, 7);
    MakeFile(jp + L"\\Track 10.mp3", 2048, 8);
    MakeFile(jp + L"\\\u00C4rger.MP3", 10, 9);
    MakeFile(jp + L"\\cover.jpg", 10);
    MakeFile(jp + L"\\clip.mpeg", 10);
    MakeFile(jp + L"\\list.m3u8", 10);
    MakeFile(jp + L"\\hidden.mp3", 10, 7, FILE_ATTRIBUTE_HIDDEN);
    return musik;
}

void ResetSettings() {
    SetDefaults(g_settings, ScreenMetrics{10, 1.0, 1920, 1080});
}

struct Collected {
    std::vector<DirEntry> entries;
};
bool Collect(void* ctx, const DirEntry& e) {
    static_cast<Collected*>(ctx)->entries.push_back(e);
    return true;
}

const DirEntry* Find(const Collected& c, const std::wstring& name) {
    for (const DirEntry& e : c.entries)
        if (e.name == name) return &e;
    return nullptr;
}

TEST(LibraryWin, EnumeratesWideNamesWithLocalTimesAndSizes) {
    const std::wstring musik = MakeMusic(L"enum");
    const FolderOps fs = Win32FolderOps();
    Collected c;
    ASSERT_TRUE(fs.enumerate(fs.ctx, musik + L"\\" + kJapan, L"*.*", Collect, &c));
    struct Case {
        std::wstring name;
        uint64_t size;
        int minute;
        bool hidden;
    };
    const Case cases[] = {{L"Track 9.mp3", 1263616, 7, false},
                          {L"Track 10.mp3", 2048, 8, false},
                          {L"\u00C4rger.MP3", 10, 9, false},
                          {L"hidden.mp3", 10, 7, true}};
    for (const Case& k : cases) {
        const DirEntry* e = Find(c, k.name);
        ASSERT_NE(e, nullptr) << "missing entry";
        EXPECT_EQ(e->size, k.size);
        EXPECT_EQ(e->written.year, 2026);
        EXPECT_EQ(e->written.month, 3);
        EXPECT_EQ(e->written.day, 5);
        EXPECT_EQ(e->written.hour, 14);
        EXPECT_EQ(e->written.minute, k.minute);
        EXPECT_EQ((e->attributes & EntryAttr::Hidden) != 0, k.hidden);
        EXPECT_EQ(e->attributes & EntryAttr::Directory, 0u);
    }
    Collected top;
    ASSERT_TRUE(fs.enumerate(fs.ctx, musik, L"*.*", Collect, &top));
    ASSERT_NE(Find(top, kGreek), nullptr);
    EXPECT_NE(Find(top, kGreek)->attributes & EntryAttr::Directory, 0u);

    // Pattern, early stop, a folder that is not there.
    Collected lists;
    ASSERT_TRUE(fs.enumerate(fs.ctx, musik + L"\\" + kJapan, L"*.m3u8", Collect, &lists));
    ASSERT_EQ(lists.entries.size(), 1u);
    EXPECT_EQ(lists.entries[0].name, L"list.m3u8");
    int seen = 0;
    fs.enumerate(
        fs.ctx, musik + L"\\" + kJapan, L"*.*",
        [](void* n, const DirEntry&) { return ++*static_cast<int*>(n) < 2; }, &seen);
    EXPECT_EQ(seen, 2);
    Collected none;
    EXPECT_FALSE(fs.enumerate(fs.ctx, musik + L"\\missing", L"*.*", Collect, &none));

    struct PathCase {
        std::wstring path;
        int type;
        bool enters;
    };
    const PathCase paths[] = {{musik, 2, true},
                              {musik + L"\\" + kGreek, 2, true},
                              {musik + L"\\" + kJapan + L"\\list.m3u8", 1, false},
                              {musik + L"\\nothing", 0, false}};
    for (const PathCase& p : paths) {
        EXPECT_EQ(fs.pathType(fs.ctx, p.path), p.type);
        EXPECT_EQ(fs.setCurrent(fs.ctx, p.path), p.enters);
    }
    EXPECT_LT(fs.collate(fs.ctx, L"Track 10", L"Track 9"), 0);
}

TEST(LibraryWin, DrivesAndShellFolders) {
    const FolderOps fs = Win32FolderOps();
    std::vector<DriveInfo> drives = fs.drives(fs.ctx);
    auto c = std::find_if(drives.begin(), drives.end(),
                          [](const DriveInfo& d) { return d.letter == L'C'; });
    ASSERT_NE(c, drives.end());
    EXPECT_EQ(c->type, 3);  // a fixed drive
    std::wstring path, name;
    // The folders the tree's special roots open, each with its path read from the shell.
    for (ShellFolder which :
         {ShellFolder::Documents, ShellFolder::Music, ShellFolder::SharedDocuments}) {
        ASSERT_TRUE(fs.shellFolder(fs.ctx, which, path, name)) << static_cast<int>(which);
        EXPECT_EQ(fs.pathType(fs.ctx, path), 2) << static_cast<int>(which);
    }
    ASSERT_TRUE(fs.shellFolder(fs.ctx, ShellFolder::Documents, path, name));
    EXPECT_FALSE(name.empty());  // the Documents root shows the shell's name
    EXPECT_TRUE(fs.shellFolder(fs.ctx, ShellFolder::Computer, path, name));
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(path.empty());
}

// The network libraries load on the first look at the network, not with the program, and the
// calls then reach them.
TEST(LibraryWin, NetworkLibrariesLoadOnFirstUse) {
    const FolderOps fs = Win32FolderOps();
    ASSERT_EQ(GetModuleHandleW(L"netapi32.dll"), nullptr);
    ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr);
    std::vector<std::wstring> servers;
    EXPECT_NE(fs.netServers(fs.ctx, servers), ERROR_PROC_NOT_FOUND);
    EXPECT_NE(GetModuleHandleW(L"netapi32.dll"), nullptr);
    std::vector<ShareEntry> shares;
    fs.netShares(fs.ctx, L"\\\\NOSUCHSERVER", shares);
    EXPECT_NE(GetModuleHandleW(L"mpr.dll"), nullptr);
    EXPECT_TRUE(shares.empty());
}

// LoadList over the real folder table, with MPEG files playable.
int Load(TrackList& list, const std::wstring& path) {
    static const FolderOps fs = Win32FolderOps();
    static const std::string playable(kMpegExtensions);
    static int window = 0;
    if (!list.window) list.window = &window;
    ListEnv env;
    env.s = &g_settings;
    env.fs = &fs;
    env.playable = &playable;
    return LoadList(list, path, env);
}

std::vector<std::wstring> Names(const TrackList& list) {
    std::vector<std::wstring> out;
    for (const ListRow& r : list.rows) out.push_back(r.cell[0]);
    return out;
}

TEST(LibraryWin, ListsARealFolderIntoRows) {
    const std::wstring jp = MakeMusic(L"list") + L"\\" + kJapan;
    ResetSettings();
    g_settings.list_style = static_cast<int32_t>(ListStyle::ShowHidden);
    g_settings.control_flags = static_cast<int32_t>(ControlFlag::FoldersInFileView);
    TrackList list;
    ASSERT_EQ(Load(list, jp), 1);
    const std::vector<std::wstring> names = Names(list);
    ASSERT_EQ(list.navRowCount, 2);
    EXPECT_EQ(names[0], std::wstring(L" [..]  [.\\") + kJapan + L"]");
    EXPECT_EQ(names[1], L" [#]  list.m3u8");
    // Where "\u00C4rger" falls is the platform collation's business; without natural order it
    // puts "Track 10" before "Track 9".
    EXPECT_EQ(std::set<std::wstring>(names.begin() + 2, names.end()),
              (std::set<std::wstring>{L"hidden", L"Track 9", L"Track 10", L"\u00C4rger"}));
    EXPECT_LT(std::find(names.begin(), names.end(), L"Track 10"),
              std::find(names.begin(), names.end(), L"Track 9"));
    EXPECT_GE(FindRow(list, jp + L"\\\u00C4RGER.mp3"), 0);
    EXPECT_EQ(Load(list, jp + L"\\missing"), 0);
    EXPECT_TRUE(list.rows.empty());
}

// ---- the tree over the machine's drives ----

struct TreeFixture {
    FolderOps fs = Win32FolderOps();
    FolderTree tree;
    TreeEnv env{&g_settings, &fs};
    TreeFixture() {
        ResetSettings();
        g_settings.system_flags = static_cast<int32_t>(SystemFlag::HideNetwork);
        g_settings.last_hti = 0;
    }
};

std::vector<std::wstring> Chain(const FolderTree& t, TreeItem item) {
    std::vector<std::wstring> out;
    for (; item; item = t.nodes[static_cast<size_t>(item)].parent)
        out.insert(out.begin(), t.nodes[static_cast<size_t>(item)].text);
    return out;
}

TEST(LibraryWin, LocatesWidePathsThroughTheDrives) {
    const std::wstring musik = MakeMusic(L"locate");
    TreeFixture f;
    BuildRoots(f.tree, f.env);
    ASSERT_FALSE(f.tree.top.empty());
    EXPECT_EQ(f.tree.nodes[static_cast<size_t>(f.tree.top[0])].nodeFlags,
              uint32_t{NodeFlag::Computer});
    struct Case {
        std::wstring path;
        std::wstring text;  // empty: not found
        int image;
    };
    const Case cases[] = {
        {musik + L"\\" + kJapan + L"\\list.m3u8", L"list.m3u8", kImgPlayList},
        {musik + L"\\" + kGreek, kGreek, kImgFolder},
        {musik, kMusik, kImgFolder},
        {musik + L"\\nothing", L"", 0},
    };
    for (const Case& k : cases) {
        TreeItem item = LocateTreePath(f.tree, k.path, true, f.env);
        if (k.text.empty()) {
            EXPECT_EQ(item, 0);
            continue;
        }
        ASSERT_NE(item, 0);
        const TreeNode& n = f.tree.nodes[static_cast<size_t>(item)];
        EXPECT_EQ(n.text, k.text);
        EXPECT_EQ(n.image, k.image);
        std::wstring back;
        ASSERT_TRUE(ItemFolderPath(f.tree, item, g_settings, back));
        EXPECT_TRUE(SameTextNoCase(back, k.path));
    }
    // The empty folder has no expand button with pre-scan on; the folder with tracks and a list
    // shows its list.
    TreeItem greek = LocateTreePath(f.tree, musik + L"\\" + kGreek, true, f.env);
    EXPECT_TRUE(f.tree.nodes[static_cast<size_t>(greek)].children.empty());
}

// ---- the controls ----

ListViewWin* g_testList = nullptr;
TreeViewWin* g_testTree = nullptr;
TreeEnv* g_testTreeEnv = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        auto* h = reinterpret_cast<NMHDR*>(lParam);
        LRESULT r = 0;
        if (g_testList && h->hwndFrom == g_testList->hwnd && ListViewNotify(*g_testList, h, r))
            return r;
        if (g_testTree && h->hwndFrom == g_testTree->hwnd && h->code == TVN_ITEMEXPANDINGW) {
            TreeViewExpanding(*g_testTree, *reinterpret_cast<NMTREEVIEWW*>(h), *g_testTreeEnv);
            return FALSE;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeHost() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZuvoLibraryTestHost";
        RegisterClassW(&wc);
        InitCommonControls();
        registered = true;
    }
    return CreateWindowExW(0, L"ZuvoLibraryTestHost", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::wstring ItemText(HWND lv, int row, int col) {
    wchar_t buf[260] = {};
    LVITEMW it{};
    it.iSubItem = col;
    it.pszText = buf;
    it.cchTextMax = 260;
    SendMessageW(lv, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return buf;
}

std::wstring HeaderText(HWND lv, int col) {
    wchar_t buf[100] = {};
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT;
    c.pszText = buf;
    c.cchTextMax = 100;
    SendMessageW(lv, LVM_GETCOLUMNW, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&c));
    return buf;
}

TEST(LibraryWin, OwnerDataListShowsTheModel) {
    const std::wstring musik = MakeMusic(L"listview");
    ResetSettings();
    g_settings.list_style = static_cast<int32_t>(ListStyle::NaturalOrder);
    const FolderOps fs = Win32FolderOps();
    std::string playable(kMpegExtensions);
    HWND host = MakeHost();
    TrackList list;
    ListViewWin v;
    v.list = &list;
    v.s = &g_settings;
    list.view = ListViewOpsOf(v);
    ASSERT_NE(ListViewCreateWin(v, host, GetModuleHandleW(nullptr), 1), nullptr);
    g_testList = &v;
    list.window = v.hwnd;
    ListEnv env;
    env.s = &g_settings;
    env.fs = &fs;
    env.playable = &playable;
    ASSERT_EQ(LoadList(list, musik + L"\\" + kJapan, env), 1);

    ASSERT_EQ(SendMessageW(v.hwnd, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(list.rows.size()));
    for (int row = 0; row < static_cast<int>(list.rows.size()); ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(ItemText(v.hwnd, row, col), list.rows[static_cast<size_t>(row)].cell[col]);
    EXPECT_EQ(HeaderText(v.hwnd, 0), L"Filename  \u25B2 ");
    EXPECT_EQ(HeaderText(v.hwnd, 3), L"Modified");

    // Header clicks re-sort and move the marker; the rows shown follow.
    auto shownNames = [&] {
        std::vector<std::wstring> out;
        for (int row = 0; row < static_cast<int>(list.rows.size()); ++row)
            out.push_back(ItemText(v.hwnd, row, 0));
        return out;
    };
    ASSERT_TRUE(OnHeaderClick(list, env, 0));
    EXPECT_EQ(HeaderText(v.hwnd, 0), L"Filename  \u25BC ");
    EXPECT_EQ(shownNames(), Names(list));
    const auto names = Names(list);
    EXPECT_LT(std::find(names.begin(), names.end(), L"Track 10"),
              std::find(names.begin(), names.end(), L"Track 9"));
    ASSERT_TRUE(OnHeaderClick(list, env, 1));
    EXPECT_EQ(HeaderText(v.hwnd, 1), L"  \u25B2 Size");
    EXPECT_EQ(shownNames(), Names(list));

    // Selection travels both ways: the model's is pushed, the control's is reported at once.
    SelectOnly(list, 1);
    EXPECT_EQ(SendMessageW(v.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    LVITEMW st{};
    st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    st.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(v.hwnd, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(SelectedCount(list), 2);
    EXPECT_TRUE(list.rows[2].selected);
    EXPECT_EQ(list.focusedRow, 2);
    EXPECT_TRUE(ListViewKey(v, 939));  // End
    EXPECT_EQ(SendMessageW(v.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
              static_cast<LRESULT>(list.rows.size() - 1));

    // Widths go to the settings of the list's category.
    SendMessageW(v.hwnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(222, 0));
    SaveListWidths(list, g_settings);
    EXPECT_EQ(g_settings.list_name[0], 222);
    g_testList = nullptr;
    DestroyWindow(host);
}

// A new list's columns carry the settings' widths and the headers' texts from the start.
TEST(LibraryWin, NewListColumnsHaveTheirWidthsAndHeaders) {
    for (const int32_t infoRow : {0, 0x400 | 97}) {  // without and with the info column
        ResetSettings();
        g_settings.info_row = infoRow;
        TrackList list;
        const int stored[kListColumns] = {131, 72, 53, 144, 97};
        StoreColumnWidths(list, g_settings, stored);
        HWND host = MakeHost();
        ListViewWin v;
        v.list = &list;
        v.s = &g_settings;
        ASSERT_NE(ListViewCreateWin(v, host, GetModuleHandleW(nullptr), 1), nullptr);
        const int columns = infoRow ? 5 : 4;
        EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(v.hwnd)), columns);
        for (int col = 0; col < columns; ++col)
            EXPECT_EQ(ListView_GetColumnWidth(v.hwnd, col), stored[col]) << col;
        EXPECT_EQ(HeaderText(v.hwnd, columns - 1), infoRow ? L"Bitrate" : L"Modified");
        DestroyWindow(host);
    }
}

std::wstring ItemText(HWND tv, HTREEITEM h) {
    wchar_t buf[260] = {};
    TVITEMW it{};
    it.mask = TVIF_TEXT;
    it.hItem = h;
    it.pszText = buf;
    it.cchTextMax = 260;
    TreeView_GetItem(tv, &it);
    return buf;
}

int CountItems(HWND tv, HTREEITEM first) {
    int n = 0;
    for (HTREEITEM h = first; h; h = TreeView_GetNextSibling(tv, h))
        n += 1 + CountItems(tv, TreeView_GetChild(tv, h));
    return n;
}

TEST(LibraryWin, TreeControlMirrorsTheNodes) {
    const std::wstring musik = MakeMusic(L"treeview");
    TreeFixture f;
    HWND host = MakeHost();
    TreeViewWin v;
    v.tree = &f.tree;
    bool filling = false;
    v.filling = &filling;
    ASSERT_NE(TreeViewCreateWin(v, host, GetModuleHandleW(nullptr), g_settings, 2), nullptr);
    f.tree.view = TreeViewOpsOf(v);
    g_testTree = &v;
    g_testTreeEnv = &f.env;
    BuildRoots(f.tree, f.env);
    TreeItem item = LocateTreePath(f.tree, musik + L"\\" + kJapan, true, f.env);
    ASSERT_NE(item, 0);
    SelectItem(f.tree, item);

    auto alive = [&] {
        return static_cast<int>(std::count_if(f.tree.nodes.begin() + 1, f.tree.nodes.end(),
                                              [](const TreeNode& n) { return n.alive; }));
    };
    EXPECT_EQ(CountItems(v.hwnd, TreeView_GetRoot(v.hwnd)), alive());
    // The selected control item is the located one, and its chain of texts is the model's.
    HTREEITEM sel = TreeView_GetSelection(v.hwnd);
    EXPECT_EQ(TreeViewItemOf(v, sel), item);
    std::vector<std::wstring> texts;
    for (HTREEITEM h = sel; h; h = TreeView_GetParent(v.hwnd, h))
        texts.insert(texts.begin(), ItemText(v.hwnd, h));
    EXPECT_EQ(texts, Chain(f.tree, item));
    // Children appear in the model's order.
    TreeItem musikItem = f.tree.nodes[static_cast<size_t>(item)].parent;
    HTREEITEM h = TreeView_GetChild(v.hwnd, v.handles[static_cast<size_t>(musikItem)]);
    for (TreeItem child : f.tree.nodes[static_cast<size_t>(musikItem)].children) {
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(TreeViewItemOf(v, h), child);
        h = TreeView_GetNextSibling(v.hwnd, h);
    }
    // Keys walk the control: Left on a collapsed item selects its parent.
    EXPECT_TRUE(TreeViewKey(v, 804));
    EXPECT_EQ(TreeViewItemOf(v, TreeView_GetSelection(v.hwnd)), musikItem);
    // Bold follows the playing folder; a refresh rebuilds and selects the same path.
    MarkPlayingFolder(f.tree, musik + L"\\" + kJapan);
    EXPECT_NE(
        TreeView_GetItemState(v.hwnd, v.handles[static_cast<size_t>(item)], TVIS_BOLD) & TVIS_BOLD,
        0u);
    // Setting the base folder rebuilds like a refresh: the base folder root (the second) shows
    // its new name.
    for (bool setBase : {false, true}) {
        if (setBase)
            ASSERT_TRUE(SetBaseFolder(f.tree, musik, f.env));
        else
            RefreshTree(f.tree, f.env);
        EXPECT_EQ(CountItems(v.hwnd, TreeView_GetRoot(v.hwnd)), alive());
        std::wstring path;
        ASSERT_TRUE(ItemFolderPath(f.tree, TreeViewItemOf(v, TreeView_GetSelection(v.hwnd)),
                                   g_settings, path));
        EXPECT_TRUE(SameTextNoCase(path, musik + L"\\" + kJapan));
    }
    EXPECT_EQ(ItemText(v.hwnd, TreeView_GetNextSibling(v.hwnd, TreeView_GetRoot(v.hwnd))), kMusik);
    EXPECT_FALSE(filling);
    g_testTree = nullptr;
    TreeViewDestroyWin(v);
    DestroyWindow(host);
}

}  // namespace
