#include "ui/menus.h"

#include <gtest/gtest.h>

#include "base/command_ids.h"
#include "config/settings_bits.h"

namespace {

const LangState& English() {
    static LangState st;  // no language file: the built-in table
    return st;
}

const MenuItem* Find(const Menu& m, unsigned id) {
    for (const MenuItem& i : m) {
        if (i.kind == MenuItem::Command && i.id == id) return &i;
        if (const MenuItem* s = Find(i.items, id)) return s;
    }
    return nullptr;
}

std::vector<unsigned> Ids(const Menu& m) {
    std::vector<unsigned> out;
    for (const MenuItem& i : m) out.push_back(i.kind == MenuItem::Command ? i.id : 0);
    return out;
}

// Whether the menu has the item, and its checked and greyed states.
struct Expect {
    unsigned id;
    bool present, checked = false, greyed = false;
};

void Check(const Menu& m, const Expect* e, size_t n, const char* what) {
    for (size_t k = 0; k < n; ++k) {
        const MenuItem* i = Find(m, e[k].id);
        ASSERT_EQ(i != nullptr, e[k].present) << what << " " << e[k].id;
        if (!i) continue;
        EXPECT_EQ(i->checked, e[k].checked) << what << " " << e[k].id;
        EXPECT_EQ(i->greyed, e[k].greyed) << what << " " << e[k].id;
    }
}

TEST(MainMenu, ItemsFollowTheState) {
    struct Case {
        const char* what;
        void (*set)(MenuFacts&);
        std::vector<Expect> expect;
    } cases[] = {
        {"defaults", [](MenuFacts&) {},
         {{kCmdQuit, false}, {kCmdEqualizer, false}, {kCmdCompactOnTop, true, 0, 1},
          {kCmdCopyNowPlaying, false}, {kCmdViewTrackLog, false}, {kCmdOpenPicture, false},
          {kCmdBigView, true}}},
        {"close minimises", [](MenuFacts& f) { f.systemFlags = SystemFlag::CloseMinimizes; },
         {{kCmdQuit, true}}},
        {"compact on top",
         [](MenuFacts& f) { f.compactView = CompactView::On | CompactView::AlwaysOnTop; },
         {{kCmdQuit, true}, {kCmdCompactView, true, 1}, {kCmdCompactOnTop, true, 1},
          {kCmdCompactNoTitleBar, true}}},
        {"on top outside compact", [](MenuFacts& f) { f.compactView = CompactView::AlwaysOnTop; },
         {{kCmdCompactOnTop, true, 1, 1}}},
        {"enhancer 1 with eq", [](MenuFacts& f) { f.enhance = 1; f.eqEnable = true; },
         {{kCmdEnhancer1, true, 1}, {kCmdEqualizer, true, 1}, {kCmdEnhancer2, true}}},
        {"enhancer 2", [](MenuFacts& f) { f.enhance = 2; f.eqEnable = true; },
         {{kCmdEqualizer, false}, {kCmdEnhancer2, true, 1}}},
        {"playing, logging, picture, big view",
         [](MenuFacts& f) {
             f.trackLoaded = f.trackPlaying = f.pictureShown = f.bigViewOpen = true;
             f.logfile = kLogfileOn, f.fastPlayLevel = 2, f.introScanRunning = true;
         },
         {{kCmdCopyNowPlaying, true}, {kCmdViewTrackLog, true}, {kCmdOpenPicture, true},
          {kCmdBigView, true, 1}, {kCmdFastPlay2, true, 1}, {kCmdFastPlay1, true},
          {kCmdIntroScan, true, 1}}},
        {"option bits",
         [](MenuFacts& f) {
             f.gapless = GaplessFlag::Enable, f.autospace = kAutospaceOn;
             f.waveFlags = WaveFlag::MonoOutput, f.quitAfterList = f.quitAfterTrack = true;
             f.controlFlags = ControlFlag::AutoSearchDirs | ControlFlag::ContinueInFocused;
             f.listStyle = ListStyle::AlwaysScanInfo, f.stylez = Style::ShowPictures;
         },
         {{kCmdGapless, true, 1}, {kCmdAutospace, true, 1}, {kCmdMono, true, 1},
          {kCmdAutoSearchDirs, true, 1}, {kCmdContinueInFocused, true, 1},
          {kCmdQuitAfterList, true, 1}, {kCmdQuitAfterTrack, true, 1},
          {kCmdAlwaysScanInfo, true, 1}, {kCmdShowPictures, true, 1}}},
    };
    for (const Case& c : cases) {
        MenuFacts f;
        c.set(f);
        Check(MainMenu(f, English()), c.expect.data(), c.expect.size(), c.what);
    }
}

TEST(MainMenu, TipsOnlyOnAStatusBarClickWithoutTrack) {
    MenuFacts f;
    f.statusBarClick = true;
    EXPECT_EQ(Ids(MainMenu(f, English())), std::vector<unsigned>{kCmdShowAllTips});
    f.trackLoaded = true;
    EXPECT_GT(MainMenu(f, English()).size(), 1u);
}

TEST(MainMenu, HistorySubmenusByLoggingAndRememberedFolders) {
    struct Case {
        int history;
        uint32_t logfile, controlFlags;
        size_t submenus;  // options, favourites, then the histories
    } cases[] = {
        {0, kLogfileOn, 0, 2},
        {5, 0, 0, 2},
        {5, kLogfileOn, 0, 4},
        {0, 0, ControlFlag::RememberFolderPos, 3},
    };
    for (const Case& c : cases) {
        MenuFacts f;
        f.history = c.history;
        f.logfile = c.logfile;
        f.controlFlags = c.controlFlags;
        size_t subs = 0;
        for (const MenuItem& i : MainMenu(f, English())) subs += i.kind == MenuItem::Submenu;
        EXPECT_EQ(subs, c.submenus) << c.history << " " << c.logfile;
    }
}

TEST(MainMenu, FavouritesFollowTheFixedEntries) {
    MenuFacts f;
    MenuItem fav;
    fav.id = 2000;
    fav.text = L"01  Music";
    f.favourites.push_back(fav);
    const Menu m = MainMenu(f, English());
    const MenuItem& sub = m[m.size() - 1];
    ASSERT_EQ(sub.kind, MenuItem::Submenu);
    EXPECT_EQ(sub.text, L"Favorites");
    EXPECT_EQ(Ids(sub.items),
              (std::vector<unsigned>{kCmdFavAddPosition, kCmdFavAddTrack, kCmdFavRemove, 0, 2000}));
}

TEST(RepeatMenu, ChecksModeAndOneShot) {
    for (int mode = 0; mode < 4; ++mode)
        for (int shot = 0; shot < 3; ++shot) {
            MenuFacts f;
            f.rptMode = mode;
            f.trackOneShot = shot;
            const Menu m = RepeatMenu(f, English());
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(Find(m, kCmdRepeatOff + static_cast<unsigned>(k))->checked, k == mode);
            EXPECT_EQ(Find(m, kCmdRepeatTrackOnce)->checked, shot == 1);
            EXPECT_EQ(Find(m, kCmdStopAfterTrack)->checked, shot == 2);
        }
}

TEST(RowMenu, StreamRow) {
    RowFacts f;
    f.playingStream = true;
    f.streamTitle = L"Live";
    EXPECT_EQ(Ids(RowMenu(f, English())),
              (std::vector<unsigned>{0, 0, 0, kCmdLogTitle, kCmdCopyTitle}));
    f.streamHasWebsite = true;
    const Menu m = RowMenu(f, English());
    EXPECT_EQ(m[1].text, L"Live");
    EXPECT_TRUE(m[1].greyed);
    EXPECT_TRUE(Find(m, kCmdCopyWebsite));
}

TEST(RowMenu, ItemsByListKind) {
    struct Case {
        const char* what;
        void (*set)(RowFacts&);
        std::vector<Expect> expect;
    } cases[] = {
        {"folder view, one track",
         [](RowFacts& f) { f.fileListShowsFolder = f.singleTrack = f.playableFile = true; },
         {{kCmdDelete, true}, {kCmdRename, true}, {kCmdFindCueSheet, true}, {kCmdSaveToWav, true},
          {kCmdSkipRows, true}, {kCmdClearList, false}, {kCmdEnqueue, false}}},
        {"no label edit",
         [](RowFacts& f) { f.fileListShowsFolder = true; f.listStyle = ListStyle::NoLabelEdit; },
         {{kCmdRename, false}, {kCmdMoveRename, true}, {kCmdSaveToWav, true, 0, 1}}},
        {"play list pane",
         [](RowFacts& f) { f.listKind = 1; f.inPlaylistPane = true; f.singleTrack = true; },
         {{kCmdDelete, false}, {kCmdClearList, true}, {kCmdSkipRows, false}, {kCmdRename, false},
          {kCmdFindCueSheet, false}}},
        {"play list with auto reload",
         [](RowFacts& f) { f.listKind = 1; f.controlFlags = ControlFlag::AutoReloadDir; },
         {{kCmdSkipRows, true}, {kCmdMoveRowsNext, true}}},
        {"enqueue", [](RowFacts& f) { f.playlistExists = f.fileListFocused = true; },
         {{kCmdEnqueue, true}}},
        {"cue sheet", [](RowFacts& f) { f.listKind = 3; },
         {{kCmdTrackInfo, true}, {kCmdCopyTo, false}, {kCmdBrowserWithTitle, false},
          {kCmdPlaylistCreate, false}}},
        {"notes column", [](RowFacts& f) { f.infoRow = 8 << 10; }, {{kCmdRowNotes, true}}},
        {"open with",
         [](RowFacts& f) { f.launch[0] = L"0C:\\T\\ed.exe", f.launch[1] = L"1C:\\T\\noarg.exe"; },
         {{kCmdExternal1, true}, {kCmdExternal2, false}, {kCmdExternal3, false}}},
    };
    for (const Case& c : cases) {
        RowFacts f;
        c.set(f);
        Check(RowMenu(f, English()), c.expect.data(), c.expect.size(), c.what);
    }
    RowFacts f;
    f.launch[0] = L"0C:\\T\\ed.exe";
    EXPECT_EQ(Find(RowMenu(f, English()), kCmdExternal1)->text, L"Open with ed.exe");
}

TEST(TreeMenu, FolderListFileAndBase) {
    TreeFacts f;
    f.itemPath = L"C:\\Music";
    Menu m = TreeMenu(f, English());
    EXPECT_TRUE(Find(m, kCmdFindFiles));
    EXPECT_EQ(Find(m, kCmdSetBaseFolder)->text, L"Set as &Base folder: C:\\Music");
    EXPECT_FALSE(Find(m, kCmdGoToBaseFolder));
    EXPECT_FALSE(Find(m, kCmdSaveDownloadStream));
    f.baseFolder = L"D:\\Base";
    f.streamPlaying = true;
    m = TreeMenu(f, English());
    EXPECT_EQ(Find(m, kCmdGoToBaseFolder)->text, L"Go to Base folder: D:\\Base");
    EXPECT_TRUE(Find(m, kCmdSaveDownloadStream));
    f.downloadRunning = true;
    EXPECT_FALSE(Find(TreeMenu(f, English()), kCmdSaveDownloadStream));
    f.folder = false;
    f.listFile = true;
    m = TreeMenu(f, English());
    EXPECT_TRUE(Find(m, kCmdPlaylistEdit));
    EXPECT_EQ(Find(m, kCmdFavAddFolder)->text, L"&Add list to favorites");
    EXPECT_FALSE(Find(m, kCmdFindFiles));
    EXPECT_FALSE(Find(m, kCmdSetBaseFolder));
}

TEST(TrayMenu, ReusesTheSubmenus) {
    MenuFacts f;
    f.rptMode = 2;
    const Menu m = TrayMenu(f, English());
    EXPECT_EQ(m.front().text, L"&Settings...");
    EXPECT_EQ(m.back().id, kCmdQuit);
    EXPECT_TRUE(Find(m, kCmdRepeatTrack)->checked);
    EXPECT_TRUE(Find(m, kCmdGapless));
    EXPECT_TRUE(MenusLocked(ControlLock::Menus));
    EXPECT_FALSE(MenusLocked(ControlLock::Menus - 1));
}

}  // namespace
