// The folder tree over an in-memory machine: roots, lazy children with their expand buttons,
// item paths, locating paths, the network root and the walk of the folder search.
#include <gtest/gtest.h>

#include <functional>

#include "fake_folders.h"
#include "library/folder_tree.h"

namespace {
struct TreeFixture : ::testing::Test {
    FakeFolders fake;
    FolderOps ops = FakeFolderOps(fake);
    Settings s;
    FolderTree tree;
    TreeEnv env;

    void SetUp() override {
        env.s = &s;
        env.fs = &ops;
        fake.drives = {
            {L'd', 3, L"Data"}, {L'C', 3, L""}, {L'A', 2, L""}, {L'E', 5, L"CD"}, {L'Z', 1, L""}};
        fake.shell[ShellFolder::Computer] = {L"", L"This PC"};
        fake.shell[ShellFolder::Documents] = {L"C:\\Users\\me\\Documents", L""};
        fake.shell[ShellFolder::Music] = {L"C:\\Users\\me\\Music", L"Music"};
        fake.shell[ShellFolder::Network] = {L"", L"Network"};
        fake.AddFile(L"C:\\Audio\\Rock\\Album\\list.m3u8");
        fake.AddFile(L"C:\\Audio\\Rock\\Album\\a.mp3");
        fake.AddFile(L"C:\\Audio\\Rock\\Only audio\\b.mp3");
        fake.AddFile(L"C:\\Audio\\Rock\\sheet.cue");
        fake.AddFolder(L"C:\\Audio\\Rock\\Empty");
        fake.AddFolder(L"C:\\Audio\\Rock\\Hidden", EntryAttr::Hidden);
        fake.AddFolder(L"C:\\Audio\\Rock\\Sys", EntryAttr::Hidden | EntryAttr::System);
        fake.AddFolder(L"C:\\Audio\\Pop\\Dance");
        fake.AddFolder(L"D:\\Other");
    }
    // The texts of the children ("|" between them); 0 for the roots.
    std::wstring Texts(TreeItem parent) const {
        std::wstring out;
        for (TreeItem i : parent ? tree.nodes[static_cast<size_t>(parent)].children : tree.top)
            out += (out.empty() ? L"" : L"|") + tree.nodes[static_cast<size_t>(i)].text;
        return out;
    }
    const TreeNode& N(TreeItem i) const { return tree.nodes[static_cast<size_t>(i)]; }
    bool HasButton(TreeItem i) const { return !N(i).children.empty(); }
    TreeItem Child(TreeItem parent, const wchar_t* text) const {
        for (TreeItem i : N(parent).children)
            if (N(i).text == text) return i;
        return 0;
    }
    TreeItem Rock() { return LocateTreePath(tree, L"C:\\Audio\\Rock", true, env); }
};
}  // namespace

TEST_F(TreeFixture, RootsInOrderAndTheSettingsThatHideThem) {
    constexpr int32_t kHideSome = SystemFlag::HideDriveA | SystemFlag::HideDriveC |
                                  SystemFlag::HideMyDocs | SystemFlag::HideNetwork;
    struct Case {
        int32_t systemFlags;
        const wchar_t *home, *roots, *drives;
    } cases[] = {
        {0, L"", L"This PC|Base Folder|My documents|My music|Favorites|Network",
         L"C: (...)|D: (Data)|E: (CD)|Z: (...)"},
        {kHideSome, L"C:\\Audio\\Rock", L"This PC|Rock|My music|Favorites",
         L"A: (...)|D: (Data)|E: (CD)|Z: (...)"},
        {SystemFlag::HideMyMusic | SystemFlag::HideFavorites, L"Rock",
         L"This PC|Base Folder|My documents|Network", L"C: (...)|D: (Data)|E: (CD)|Z: (...)"},
    };
    for (const Case& c : cases) {
        TreeClear(tree);
        s.system_flags = c.systemFlags;
        s.home_folder = c.home;
        BuildRoots(tree, env);
        EXPECT_EQ(Texts(0), c.roots);
        EXPECT_EQ(Texts(tree.top[0]), c.drives);
    }
    // A drive's image is its drive type (fixed 3, CD 5); an unknown type gets the folder's.
    const std::vector<TreeItem>& drives = N(tree.top[0]).children;
    EXPECT_EQ(N(drives[0]).image, 3);
    EXPECT_EQ(N(drives[2]).image, 5);
    EXPECT_EQ(N(drives[3]).image, kImgFolder);
}

TEST_F(TreeFixture, ChildrenAndTheirExpandButtons) {
    BuildRoots(tree, env);
    struct Case {
        int32_t listStyle, controlFlags;
        const wchar_t* children;
        bool onlyAudioButton, emptyButton;
    } cases[] = {
        {0, 0, L"Album|Empty|Only audio|sheet.cue", false, false},
        {0, ControlFlag::NoSubfolderPrescan, L"Album|Empty|Only audio|sheet.cue", true, true},
        {ListStyle::ShowHidden, 0, L"Album|Empty|Hidden|Only audio|sheet.cue", false, false},
        {ListStyle::HideCueInTree, 0, L"Album|Empty|Only audio", false, false},
    };
    for (const Case& c : cases) {
        s.list_style = c.listStyle;
        s.control_flags = c.controlFlags;
        RefreshTree(tree, env);
        TreeItem rock = Rock();
        ASSERT_NE(rock, 0);
        EXPECT_EQ(Texts(rock), c.children);
        EXPECT_TRUE(HasButton(Child(rock, L"Album")));
        EXPECT_EQ(HasButton(Child(rock, L"Only audio")), c.onlyAudioButton);
        EXPECT_EQ(HasButton(Child(rock, L"Empty")), c.emptyButton);
    }
    s.list_style = 0;
    RefreshTree(tree, env);
    TreeItem album = LocateTreePath(tree, L"C:\\Audio\\Rock\\Album", true, env);
    EXPECT_EQ(Texts(album), L"list.m3u8");
    EXPECT_EQ(N(N(album).children[0]).image, kImgPlayList);
    EXPECT_EQ(N(Child(Rock(), L"sheet.cue")).image, kImgCueSheet);
    s.list_style = ListStyle::HidePlaylistsInTree;
    RefreshTree(tree, env);
    // Its play list is hidden and its track is no child: no button.
    EXPECT_FALSE(HasButton(Child(Rock(), L"Album")));
}

TEST_F(TreeFixture, LocatingPathsThroughDrivesAndRememberedRoots) {
    BuildRoots(tree, env);
    TreeItem list = LocateTreePath(tree, L"C:\\Audio\\Rock\\Album\\list.m3u8", true, env);
    ASSERT_NE(list, 0);
    EXPECT_EQ(N(list).text, L"list.m3u8");
    std::wstring path;
    EXPECT_EQ(ItemPath(tree, list, path, env), 1);
    EXPECT_EQ(path, L"C:\\Audio\\Rock\\Album\\list.m3u8");
    EXPECT_EQ(LocateTreePath(tree, L"c:\\audio\\ROCK", false, env), Rock());  // case ignored
    EXPECT_EQ(LocateTreePath(tree, L"D:\\Other\\Deeper", false, env), 0);  // D: never read
    TreeItem drive = LocateTreePath(tree, L"D:", true, env);
    EXPECT_EQ(ItemPath(tree, drive, path, env), 1);
    EXPECT_EQ(path, L"D:");
    EXPECT_EQ(fake.current, L"D:\\");

    s.home_folder = L"C:\\Audio";
    RefreshTree(tree, env);
    s.last_hti = 1;
    TreeItem pop = LocateTreePath(tree, L"C:\\Audio\\Pop\\Dance", true, env);
    ASSERT_NE(pop, 0);
    EXPECT_EQ(N(N(pop).parent).parent, tree.top[1]);  // below the base folder, not below C:
    EXPECT_EQ(ItemPath(tree, pop, path, env), 1);
    EXPECT_EQ(path, L"C:\\Audio\\Pop\\Dance");
    EXPECT_EQ(LocateTreePath(tree, L"C:\\Audio", true, env), tree.top[1]);
    EXPECT_EQ(s.last_hti, 1);
    ASSERT_NE(LocateTreePath(tree, L"D:\\Other", true, env), 0);
    EXPECT_EQ(s.last_hti, 0);  // forgotten: the path is not inside the base folder

    s.last_hti = 5;
    fake.AddFolder(L"C:\\Users\\me\\Music\\Jazz");
    TreeItem jazz = LocateTreePath(tree, L"C:\\Users\\me\\Music\\Jazz", true, env);
    EXPECT_EQ(N(N(jazz).parent).text, L"My music");
}

TEST_F(TreeFixture, FavoritesAndBaseFolderCommands) {
    s.fav_set[0] = L"0000000001,C:\\Audio\\Rock";
    s.fav_set[1] = L"0000000002,C:\\Audio\\Rock\\Album\\a.mp3";  // tracks are not shown
    s.fav_set[2] = L"0000000003,C:\\Audio\\Rock\\sheet.cue";
    s.fav_set[3] = L"0000000004,C:\\Gone";
    BuildRoots(tree, env);
    TreeItem favs = tree.top[4];
    ExpandItem(tree, favs, env);
    EXPECT_EQ(Texts(favs), L"Rock|sheet.cue");
    s.last_hti = 4;
    TreeItem album = LocateTreePath(tree, L"C:\\Audio\\Rock\\Album", true, env);
    ASSERT_NE(album, 0);
    EXPECT_EQ(N(album).parent, N(favs).children[0]);
    std::wstring path;
    EXPECT_EQ(ItemPath(tree, album, path, env), 1);
    EXPECT_EQ(path, L"C:\\Audio\\Rock\\Album");

    EXPECT_FALSE(SetBaseFolder(tree, L"Rock", env));
    EXPECT_EQ(N(tree.top[1]).text, L"Base Folder");
    EXPECT_TRUE(SetBaseFolder(tree, L"C:\\Audio\\Pop", env));
    EXPECT_EQ(N(tree.top[1]).text, L"Pop");  // the root shows it at once
    TreeItem base = GoToBaseFolder(tree, env);
    EXPECT_EQ(tree.selected, base);
    EXPECT_EQ(N(N(base).parent).text, L"Audio");  // located through the drive
    EXPECT_EQ(s.browsed_folder, L"C:\\Audio\\Pop");
    // A folder selected below the base folder root stays selected when the root goes.
    s.last_hti = 1;
    SelectItem(tree, LocateTreePath(tree, L"C:\\Audio\\Pop\\Dance", true, env));
    ASSERT_EQ(N(tree.selected).parent, tree.top[1]);
    ChangeBaseFolder(tree, L"", env);
    EXPECT_EQ(N(tree.top[1]).text, L"Base Folder");
    ASSERT_TRUE(ItemFolderPath(tree, tree.selected, s, path));
    EXPECT_EQ(path, L"C:\\Audio\\Pop\\Dance");
}

// Every setting bit that changes what a rebuilt tree shows is one the settings dialog's rebuild
// rule sees: a bit the rule missed would leave the tree as it was until the next start.
TEST_F(TreeFixture, RebuildRuleSeesEverySettingTheTreeShows) {
    fake.servers = {L"NAS"};
    auto shown = [&] {
        TreeClear(tree);
        BuildRoots(tree, env);
        std::wstring out = Texts(0) + L"/" + Texts(tree.top[0]);
        ExpandItem(tree, tree.top.back(), env);
        out += L"/" + Texts(tree.top.back()) + L"/" + Texts(Rock());
        for (TreeItem i : N(Rock()).children) out += HasButton(i) ? L"+" : L"-";
        return out;
    };
    const std::pair<const char*, int32_t Settings::*> fields[] = {
        {"system_flags", &Settings::system_flags},
        {"list_style", &Settings::list_style},
        {"control_flags", &Settings::control_flags}};
    int seen = 0;
    for (const auto& [name, field] : fields) {
        for (int bit = 0; bit < 31; ++bit) {
            const Settings before = s;
            const std::wstring was = shown();
            s.*field ^= int32_t{1} << bit;
            if (shown() != was) {
                ++seen;
                EXPECT_TRUE(TreeSettingsDiffer(before, s)) << name << " bit " << bit;
            }
            s = before;
        }
    }
    EXPECT_GE(seen, 10);  // the fake machine shows the roots, the entries and the buttons
    Settings other = s;
    other.home_folder = L"C:\\Audio";
    EXPECT_TRUE(TreeSettingsDiffer(s, other));
    other = s;
    other.volume ^= 1;
    EXPECT_FALSE(TreeSettingsDiffer(s, other));
}

TEST_F(TreeFixture, NetworkRoot) {
    BuildRoots(tree, env);
    TreeItem net = tree.top.back();
    fake.serverStatus = 53;
    std::wstring path;
    EXPECT_EQ(ItemPath(tree, net, path, env), 0);
    EXPECT_EQ(fake.errorLog, std::vector<std::string>{"NetServerEnum failed, error: 53"});
    EXPECT_TRUE(N(net).children.empty());

    fake.serverStatus = kNetMoreData;
    fake.servers = {L"NAS", L"box"};
    fake.shares[L"\\\\NAS"] = {{L"\\\\NAS\\music", kShareDisplayType}, {L"\\\\NAS\\IPC$", 0}};
    ExpandItem(tree, net, env);
    EXPECT_EQ(Texts(net), L"\\\\box|\\\\NAS");
    TreeItem nas = N(net).children[1];
    EXPECT_EQ(Texts(nas), L"music");
    EXPECT_EQ(N(N(nas).children[0]).nodeFlags, uint32_t{NodeFlag::Share});
    EXPECT_EQ(ItemPath(tree, N(nas).children[0], path, env), 1);
    EXPECT_EQ(path, L"\\\\NAS\\music");

    fake.shares[L"\\\\other"] = {{L"\\\\other\\pub", kShareDisplayType}};
    fake.AddFolder(L"\\\\other\\pub\\Live");
    TreeItem live = LocateTreePath(tree, L"\\\\other\\pub\\Live", true, env);
    ASSERT_NE(live, 0);
    TreeItem added = N(N(live).parent).parent;  // the server named by the path
    EXPECT_EQ(N(added).nodeFlags, uint32_t{NodeFlag::PathTop});
    EXPECT_EQ(N(added).parent, net);
    EXPECT_EQ(ItemPath(tree, live, path, env), 1);
    EXPECT_EQ(path, L"\\\\other\\pub\\Live");
}

TEST_F(TreeFixture, PreOrderWalkOfTheFolderSearch) {
    BuildRoots(tree, env);
    // The folder paths of the walk from `from` on, until it ends.
    auto walk = [&](const wchar_t* from, TreeItem (*step)(FolderTree&, TreeItem, const TreeEnv&)) {
        std::vector<std::wstring> out;
        for (TreeItem i = LocateTreePath(tree, from, true, env); (i = step(tree, i, env));)
            ItemFolderPath(tree, i, s, out.emplace_back());
        return out;
    };
    EXPECT_EQ(walk(L"C:", TreeWalkNext),
              (std::vector<std::wstring>{L"C:\\Audio", L"C:\\Audio\\Pop", L"C:\\Audio\\Pop\\Dance",
                                         L"C:\\Audio\\Rock", L"C:\\Audio\\Rock\\Album",
                                         L"C:\\Audio\\Rock\\Album\\list.m3u8",
                                         L"C:\\Audio\\Rock\\Empty", L"C:\\Audio\\Rock\\Only audio",
                                         L"C:\\Audio\\Rock\\sheet.cue"}));  // never on to D:
    EXPECT_EQ(walk(L"C:\\Audio\\Rock\\Only audio", TreeWalkPrev), (std::vector<std::wstring>{
                            L"C:\\Audio\\Rock\\Empty", L"C:\\Audio\\Rock\\Album\\list.m3u8",
                            L"C:\\Audio\\Rock\\Album", L"C:\\Audio\\Rock", L"C:\\Audio\\Pop\\Dance",
                            L"C:\\Audio\\Pop", L"C:\\Audio"}));  // never up to C: itself

    s.home_folder = L"C:\\Audio\\Pop";
    RefreshTree(tree, env);
    TreeItem base = tree.top[1];
    EXPECT_EQ(TreeWalkNext(tree, TreeWalkNext(tree, base, env), env),
              tree.top[2]);  // on to documents
    EXPECT_EQ(TreeParent(tree, TreeFirstChild(tree, base)), base);
    EXPECT_EQ(TreePrevSibling(tree, tree.top[2]), base);
    EXPECT_EQ(TreeNextSibling(tree, tree.top.back()), 0);
}

TEST_F(TreeFixture, PlayingFolderInBold) {
    BuildRoots(tree, env);
    TreeItem album = LocateTreePath(tree, L"C:\\Audio\\Rock\\Album", true, env);
    MarkPlayingFolder(tree, L"C:\\Audio\\Rock");
    EXPECT_TRUE(N(LocateTreePath(tree, L"C:\\Audio\\Rock", false, env)).bold);
    EXPECT_TRUE(N(LocateTreePath(tree, L"C:\\Audio", false, env)).bold);
    EXPECT_FALSE(N(album).bold);
    MarkPlayingFolder(tree, L"C:\\Audio\\Rock\\Album");
    EXPECT_TRUE(N(album).bold);
}

TEST_F(TreeFixture, ItemsOfAFolderFollowAMoveIntoOrOutOfIt) {
    const std::wstring rock = L"C:\\Audio\\Rock", album = rock + L"\\Album", empty = rock + L"\\Empty";
    auto erase = [&](std::wstring path) {
        for (wchar_t& c : path) c = static_cast<wchar_t>(towlower(c));
        fake.entries.erase(path);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::wstring> refreshed;
        const wchar_t* rockChildren;
        bool albumButton, emptyButton;
    } cases[] = {
        {"nothing changed", [] {}, {rock, album, empty}, L"Album|Empty|Only audio|sheet.cue", true,
         false},
        {"a folder made in the save dialog",
         [&] { fake.AddFile(rock + L"\\New\\x.cue"); },
         {rock}, L"Album|Empty|New|Only audio|sheet.cue", true, false},
        {"the cue sheet moved into Empty",
         [&] { erase(rock + L"\\sheet.cue"); fake.AddFile(empty + L"\\sheet.cue"); },
         {rock, empty}, L"Album|Empty|Only audio", true, true},
        {"the play list moved out of Album",
         [&] { erase(album + L"\\list.m3u8"); fake.AddFile(rock + L"\\list.m3u8"); },
         {album, rock}, L"Album|Empty|list.m3u8|Only audio|sheet.cue", false, false},
        {"a folder renamed", [&] { erase(empty); fake.AddFolder(rock + L"\\Vacant"); },
         {rock}, L"Album|Only audio|sheet.cue|Vacant", true, false},
        {"a folder the tree does not show", [&] { fake.AddFile(L"D:\\Other\\y.m3u"); },
         {L"D:\\Other", L"Q:\\Nowhere"}, L"Album|Empty|Only audio|sheet.cue", true, false},
    };
    for (const Case& c : cases) {
        fake = FakeFolders{};
        SetUp();
        TreeClear(tree);
        BuildRoots(tree, env);
        ASSERT_NE(Rock(), 0) << c.what;
        c.change();
        for (const std::wstring& f : c.refreshed) RefreshFolderItems(tree, f, env);
        EXPECT_EQ(Texts(Rock()), c.rockChildren) << c.what;
        if (TreeItem a = Child(Rock(), L"Album")) {
            EXPECT_EQ(HasButton(a), c.albumButton) << c.what;
        }
        if (TreeItem e = Child(Rock(), L"Empty")) {
            EXPECT_EQ(HasButton(e), c.emptyButton) << c.what;
        }
    }
}
