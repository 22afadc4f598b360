// Sequencing over an in-memory machine, a real folder tree and a fake engine: what follows the
// end of a track, failed starts, the folder search, row edits, upcoming texts, folder positions.
#include <gtest/gtest.h>

#include <set>

#include "fake_folders.h"
#include "library/list_text.h"
#include "library/sequence.h"

namespace {
struct SeqFixture : ::testing::Test {
    FakeFolders fake;
    FolderOps ops = FakeFolderOps(fake);
    Settings s;
    std::string playable{kMpegExtensions};
    FolderTree tree;
    TrackList files, pane;
    ListEnv listEnv;
    Sequencer q;
    // The engine: what was started, which deferred actions were asked for.
    std::vector<std::wstring> started;
    std::vector<uint32_t> delays;
    std::vector<EndAction> actions;
    std::set<std::wstring> broken;
    int inputAfter = -1;  // the search sees a key press after this many checks
    int logs = 0;
    bool playing = false;  // gapless: still running when the track end is reported

    void SetUp() override {
        for (const wchar_t* f :
             {L"C:\\Base\\X\\x.mp3", L"C:\\Music\\A\\a.mp3", L"C:\\Music\\A\\b.mp3",
              L"C:\\Music\\A\\c.mp3", L"C:\\Music\\B\\d.mp3", L"C:\\Music\\B\\e.mp3",
              L"C:\\Zed\\z.mp3", L"C:\\Users\\me\\Documents\\doc.mp3", L"D:\\Other\\o.mp3"})
            fake.AddFile(f);
        fake.AddFolder(L"C:\\Music\\Empty");
        fake.drives = {{L'C', 3, L""}, {L'D', 3, L""}};
        fake.shell[ShellFolder::Documents] = {L"C:\\Users\\me\\Documents", L"Docs"};
        s.home_folder = L"C:\\Base";
        s.file_sort = kSortName;
        q.s = listEnv.s = &s;
        q.treeEnv = TreeEnv{&s, &ops};
        listEnv.fs = &ops;
        q.playable = listEnv.playable = &playable;
        BuildRoots(tree, q.treeEnv);
        q.tree = &tree;
        files.window = &files;
        pane.role = ListRole::PlaylistView;
        pane.kind = savedFolderList;
        q.fileView = q.focusedList = q.playingList = &files;
        q.playlistView = &pane;
        q.ops.ctx = this;
        q.ops.isPlaying = [](void* c) { return F(c).playing; };
        q.ops.position = [](void*) { return int64_t{777}; };
        q.ops.startTrack = [](void* c, const StartRequest& r) {
            F(c).started.push_back(r.file);
            return F(c).playing = F(c).broken.count(r.file) == 0;
        };
        q.ops.delayedStart = [](void* c, const StartRequest& r, uint32_t ms) {
            F(c).started.push_back(r.file);
            F(c).delays.push_back(ms);
        };
        q.ops.endAction = [](void* c, EndAction a) { F(c).actions.push_back(a); };
        q.ops.logTrack = [](void* c) { ++F(c).logs; };
        q.ops.inputWaiting = [](void* c) { return F(c).inputAfter >= 0 && F(c).inputAfter-- == 0; };
        q.ops.showFolder = [](void* c, const std::wstring& p) {
            LoadList(F(c).files, p, F(c).listEnv);
        };
    }
    static SeqFixture& F(void* c) { return *static_cast<SeqFixture*>(c); }
    void Show(const std::wstring& folder) {
        s.browsed_folder = folder;
        LoadList(files, folder, listEnv);
    }
    // Starts row `row` of the folder as the user would, then forgets that start.
    void Playing(const std::wstring& folder, int row) {
        Show(folder);
        ASSERT_EQ(PlayRow(q, files, row, true, true), 1);
        started.clear();
        logs = 0;
    }
};
using Strings = std::vector<std::wstring>;
constexpr auto Stop = EndAction::Stop, Quit = EndAction::Quit, FromTop = EndAction::PlayFromTop;
}  // namespace

TEST_F(SeqFixture, EndOfTrackFollowsRepeatModesOneShotsAndQuitFlags) {
    const uint32_t kAuto = ControlFlag::AutoSearchDirs;
    // clang-format off
    struct Case {
        const char* what;
        uint8_t rpt, oneShot;
        bool quitTrack, quitList;
        uint32_t flags;
        int row;                     // playing row of C:\Music\A
        std::wstring next;           // started next (below C:\Music, no ".mp3"), "" none
        std::vector<EndAction> act;  // deferred actions asked for
        std::wstring browsed;        // shown folder afterwards, below C:\Music
    } cases[] = {
        {"next row", 0, 0, false, false, 0, 0, L"A\\b", {}, L"A"},
        {"end, no repeat", 0, 0, false, false, 0, 2, L"", {Stop}, L"A"},
        {"end, repeat all", 1, 0, false, false, 0, 2, L"", {FromTop}, L"A"},
        {"repeat track", 2, 0, false, false, 0, 0, L"A\\a", {}, L"A"},
        {"play one track", 3, 0, false, false, 0, 0, L"", {Stop}, L"A"},
        {"repeat current once", 0, 1, false, false, 0, 1, L"A\\b", {}, L"A"},
        {"stop after current", 0, 2, false, false, 0, 0, L"", {Stop}, L"A"},
        {"quit wins over repeat", 2, 1, true, false, 0, 0, L"", {Quit}, L"A"},
        {"quit at list end", 0, 0, false, true, kAuto, 2, L"", {Quit}, L"A"},
        {"quit list, not at end", 0, 0, false, true, kAuto, 1, L"A\\c", {}, L"A"},
        {"auto search", 0, 0, false, false, kAuto, 2, L"", {FromTop}, L"B"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s.rpt_mode = c.rpt;
        s.control_flags = static_cast<int32_t>(c.flags);
        QuitAfterTrack(q) = c.quitTrack;
        QuitAfterList(q) = c.quitList;
        actions.clear();
        Playing(L"C:\\Music\\A", c.row);
        OneShot(q) = c.oneShot;
        OnTrackEnd(q);
        EXPECT_EQ(logs, 1);
        EXPECT_EQ(started, c.next.empty() ? Strings{} : Strings{L"C:\\Music\\" + c.next + L".mp3"});
        EXPECT_EQ(actions, c.act);
        EXPECT_EQ(s.browsed_folder, L"C:\\Music\\" + c.browsed);
        // A one-shot stop is used up; a one-shot repeat lasts until another row starts.
        EXPECT_EQ(OneShot(q), c.oneShot == 1 ? 1 : 0);
    }
}

TEST_F(SeqFixture, AutoSearchRestartsAtTheDriveRootAndTheBackgroundListRules) {
    const uint32_t kOn = ControlFlag::PlaylistEndToFolder;
    // clang-format off
    struct Case {
        const char* what;
        std::wstring folder;
        bool fromPane;
        uint32_t flags;
        std::vector<EndAction> act;
        std::wstring browsed;
    } cases[] = {
        {"last folder of the drive: root restart", L"C:\\Zed", false, 0, {FromTop}, L"C:\\Base\\X"},
        {"playlist view ends: stop", L"C:\\Music\\A", true, 0, {Stop}, L"C:\\Music\\A"},
        {"playlist view ends: go on", L"C:\\Music\\A", true, kOn, {FromTop}, L"C:\\Music\\A"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s.control_flags = static_cast<int32_t>(ControlFlag::AutoSearchDirs | c.flags);
        actions.clear();
        Show(c.folder);
        TrackList& list = c.fromPane ? pane : files;
        if (c.fromPane) {
            pane.rows.clear();
            EnqueuePath(pane, L"C:\\Music\\B\\e.mp3", -1, ops, s);
            q.focusedList = &pane;
        }
        ASSERT_EQ(PlayRow(q, list, static_cast<int>(list.rows.size()) - 1, true, false), 1);
        started.clear();
        OnTrackEnd(q);
        EXPECT_EQ(actions, c.act);
        EXPECT_EQ(s.browsed_folder, c.browsed);
        EXPECT_TRUE(started.empty());
        if (c.act == std::vector<EndAction>{FromTop}) {
            SeqPlayFromTop(q);
            ASSERT_EQ(delays.size(), 1u);
            EXPECT_EQ(delays.back(), kFromTopDelay);
            EXPECT_EQ(started, Strings{c.browsed + (c.fromPane ? L"\\a.mp3" : L"\\x.mp3")});
            delays.clear();
        }
        q.focusedList = &files;
    }
}

TEST_F(SeqFixture, ContinueInFocusedListAndRemovalOfPlayedRows) {
    std::vector<ListStateRow> saved(2);
    saved[0].cells[0] = L"d.mp3", saved[1].cells[0] = L"e.mp3";
    saved[0].cells[2] = saved[1].cells[2] = L"C:\\Music\\B";
    OpenPlaylistPane(q, pane, saved);
    EXPECT_EQ(q.playingList, &pane);
    Show(L"C:\\Music\\A");
    ASSERT_EQ(PlayRow(q, pane, 0, true, false), 1);
    EXPECT_EQ(s.last_file, L"C:\\Music\\B\\d.mp3");
    EXPECT_EQ(files.currentRow, -1);  // the File view marks the row of the same track: none
    s.control_flags = static_cast<int32_t>(ControlFlag::ContinueInFocused);
    q.focusedList = &files;
    SelectOnly(files, 1);
    started.clear();
    OnTrackEnd(q);
    EXPECT_EQ(started, Strings{L"C:\\Music\\A\\b.mp3"});
    EXPECT_EQ(q.playingList, &files);

    s.control_flags = static_cast<int32_t>(ControlFlag::RemovePlayed);
    OnTrackEnd(q);
    EXPECT_EQ(Cells(files), (Strings{L"a", L"c"}));
    EXPECT_EQ(files.currentRow, 1);
    EXPECT_EQ(s.last_file, L"C:\\Music\\A\\c.mp3");
    q.focusedList = &pane;
    EXPECT_EQ(ClosePlaylistPane(q).size(), 2u);
    EXPECT_EQ(q.focusedList, &files);
    EXPECT_EQ(s.playlist_win & kPlaylistOpen, 0);
}

TEST_F(SeqFixture, FailedStartsSkipAtMostTenTracks) {
    for (int i = 0; i < 14; ++i) fake.AddFile(L"C:\\Many\\t" + std::to_wstring(10 + i) + L".mp3");
    struct Case {
        int brokenCount;  // the first n tracks fail
        size_t attempts;
        int result;
    } cases[] = {{0, 1, 1}, {3, 4, 1}, {10, 11, 1}, {11, 11, 0}, {14, 11, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.brokenCount);
        broken.clear();
        for (int i = 0; i < c.brokenCount; ++i)
            broken.insert(L"C:\\Many\\t" + std::to_wstring(10 + i) + L".mp3");
        started.clear();
        q.failedStarts = 0;
        Show(L"C:\\Many");
        EXPECT_EQ(PlayRow(q, files, 0, true, true), c.result);
        EXPECT_EQ(started.size(), c.attempts);
        EXPECT_EQ(q.failedStarts, c.result ? 0 : 11);
    }
}

// The engine reports a gapless end twice: when the decoder is done (the ring plays out) and
// when playback ends. Only the first chooses what follows; a deferred action decides alone;
// without the ring a plain end chooses.
TEST_F(SeqFixture, EngineEndReportsChooseTheNextTrackOnce) {
    const struct {
        const char* what;
        std::vector<std::pair<bool, bool>> reports;  // ringPlaysOut, actionDecides
        size_t starts;
    } cases[] = {
        {"gapless: decoder end, then playback end", {{true, false}, {false, false}}, 1},
        {"plain end", {{false, false}}, 1},
        {"a deferred action decides", {{false, true}}, 0},
        {"two gapless tracks", {{true, false}, {true, false}, {false, false}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Playing(L"C:\\Music\\A", 0);
        q.endHandled = false;
        for (auto [ring, action] : c.reports) SeqEngineTrackEnd(q, ring, action, 180000);
        EXPECT_EQ(started.size(), c.starts);
    }
    // A delayed start of the sequencer that fails is reported and skips on to the next row; a
    // start that was not the sequencer's (a seek restart) reports nothing.
    Playing(L"C:\\Music\\A", 0);
    q.delayedPending = true;
    EXPECT_FALSE(SeqFileStarted(q, false));
    EXPECT_EQ(started, Strings{L"C:\\Music\\A\\b.mp3"});
    started.clear();
    EXPECT_FALSE(SeqFileStarted(q, false));
    EXPECT_TRUE(started.empty());
}

TEST_F(SeqFixture, FolderSearchWalksTheTreeWithinItsBoundaries) {
    // clang-format off
    struct Case {
        std::wstring from;
        uint16_t root;  // remembered special root (1 base folder)
        bool forward;
        int interruptAfter;
        int result;
        std::wstring browsed;
    } cases[] = {
        {L"C:\\Music\\A", 0, true, -1, 1, L"C:\\Music\\B"},
        {L"C:\\Music", 0, true, -1, 1, L"C:\\Music\\A"},
        {L"C:\\Music\\B", 0, true, -1, 1, L"C:\\Users\\me\\Documents"},  // over empty folders
        {L"C:\\Zed", 0, true, -1, 0, L"C:\\Zed"},                        // a drive is never left
        {L"C:\\Music\\B", 0, false, -1, 1, L"C:\\Music\\A"},
        {L"C:\\Music\\A", 0, false, -1, 1, L"C:\\Base\\X"},             // via the parent, then down
        {L"C:\\Base\\X", 0, false, -1, 0, L"C:\\Base\\X"},              // never up to the drive
        {L"C:\\Base\\X", 1, true, -1, 1, L"C:\\Users\\me\\Documents"},  // into the next root
        {L"C:\\Music\\B", 0, true, 0, 0, L"C:\\Music\\B"},              // a key press stops it
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.from.begin(), c.from.end()) << c.forward);
        s.browsed_folder = c.from;
        s.last_hti = c.root;
        inputAfter = c.interruptAfter;
        s.control_flags = static_cast<int32_t>(ControlFlag::NoSubfolderPrescan);
        EXPECT_EQ(DirSearch(q, c.forward), c.result);
        EXPECT_EQ(s.browsed_folder, c.browsed);
        EXPECT_EQ(s.control_flags, static_cast<int32_t>(ControlFlag::NoSubfolderPrescan));
    }
}

TEST_F(SeqFixture, SkipNextAndMovesKeepThePlayingRow) {
    for (const wchar_t* n : {L"p", L"r", L"t", L"u", L"w"})
        fake.AddFile(std::wstring(L"C:\\Edit\\") + n + L".mp3");
    enum Op { Skip, Next, Up2, Down9, Drop };
    // clang-format off
    struct Case {
        Op op;
        std::vector<int> selected;
        int focus;
        Strings names;
        std::wstring current;  // name of the marked row, "" none
        Strings selectedAfter;
    } cases[] = {
        {Skip, {}, -1, {L"p", L"t", L"u", L"w"}, L"", {L"t"}},  // the playing row itself
        {Skip, {0, 3}, -1, {L"r", L"t", L"w"}, L"r", {L"w"}},
        {Next, {3, 4, 0}, -1, {L"r", L"p", L"u", L"w", L"t"}, L"r", {L"p", L"u", L"w"}},
        {Up2, {4}, -1, {L"p", L"r", L"w", L"t", L"u"}, L"r", {L"w"}},
        {Down9, {0}, -1, {L"r", L"t", L"u", L"w", L"p"}, L"r", {L"p"}},
        {Drop, {0, 1}, 4, {L"t", L"u", L"p", L"r", L"w"}, L"r", {L"p", L"r"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        Playing(L"C:\\Edit", 1);  // r plays
        for (ListRow& r : files.rows) r.selected = false;
        for (int i : c.selected) files.rows[static_cast<size_t>(i)].selected = true;
        files.focusedRow = c.focus;
        bool done = false;
        // clang-format off
        switch (c.op) {
            case Skip: done = SkipRows(q, files); break;
            case Next: done = MoveRowsNext(q, files); break;
            case Up2: done = MoveRows(q, files, -2); break;
            case Down9: done = MoveRows(q, files, 9); break;
            case Drop: done = MoveRowsToFocus(q, files); break;
        }
        // clang-format on
        EXPECT_TRUE(done);
        EXPECT_EQ(Cells(files), c.names);
        EXPECT_EQ(
            files.currentRow < 0 ? L"" : files.rows[static_cast<size_t>(files.currentRow)].cell[0],
            c.current);
        Strings sel;
        for (const ListRow& r : files.rows)
            if (r.selected) sel.push_back(r.cell[0]);
        EXPECT_EQ(sel, c.selectedAfter);
    }
    // After Skip on the playing row the next track is the row that followed it.
    Playing(L"C:\\Edit", 1);
    for (ListRow& r : files.rows) r.selected = false;
    SkipRows(q, files);
    NextTrack(q, files, true, false);
    EXPECT_EQ(started, Strings{L"C:\\Edit\\t.mp3"});
    // Folder lists refuse edits while they reload at every track end.
    s.control_flags = static_cast<int32_t>(ControlFlag::AutoReloadDir);
    EXPECT_FALSE(SkipRows(q, files));
}

TEST_F(SeqFixture, UpcomingTexts) {
    // clang-format off
    struct Case {
        uint8_t rpt, oneShot;
        bool quit;
        uint32_t flags;
        int row;  // playing row of C:\Music\A, -1 nothing played (row 1 selected)
        std::wstring one, two;
    } cases[] = {
        {0, 0, true, 0, 0, L"[Quit]", L""},     {3, 0, false, 0, 0, L"[Stop]", L""},
        {0, 2, false, 0, 0, L"[Stop]", L""},    {0, 1, false, 0, 0, L"[Repeat]", L""},
        {2, 0, false, 0, 0, L"[Repeat]", L""},  {0, 0, false, 0, 0, L"b", L"c"},
        {0, 0, false, 0, 1, L"c", L""},
        {0, 0, false, ControlFlag::AutoSearchDirs, 2, L"[Seek]", L""},
        {1, 0, false, 0, 2, L"[Repeat all]", L""},
        {0, 0, false, 0, 2, L"[-?-]", L""},
        {0, 0, false, 0, -1, L"b", L"c"},
    };
    // clang-format on
    for (const Case& c : cases) {
        s.rpt_mode = c.rpt;
        s.control_flags = static_cast<int32_t>(c.flags);
        QuitAfterTrack(q) = c.quit;
        if (c.row >= 0) {
            Playing(L"C:\\Music\\A", c.row);
        } else {
            s.last_file.clear();
            Show(L"C:\\Music\\A");
            SelectOnly(files, 1);
        }
        OneShot(q) = c.oneShot;
        UpcomingTexts(q);
        EXPECT_EQ(q.upcoming1, c.one) << c.row;
        EXPECT_EQ(q.upcoming2, c.two) << c.row;
    }
}

TEST_F(SeqFixture, FolderPositionsRememberTenFoldersMostRecentFirst) {
    s.control_flags = static_cast<int32_t>(ControlFlag::RememberFolderPos);
    for (int i = 0; i < 11; ++i) {
        s.last_file = L"C:\\F" + std::to_wstring(i) + L"\\t.mp3";
        s.last_folder = L"C:\\F" + std::to_wstring(i);
        RememberFolderPosition(q, 100 + i);
    }
    EXPECT_EQ(s.dir_history[0], L"110;C:\\F10\\t.mp3");
    EXPECT_EQ(s.dir_history[9], L"101;C:\\F1\\t.mp3");  // the oldest went out
    s.last_file = L"C:\\F5\\u.mp3";
    s.last_folder = L"C:\\F5";
    RememberFolderPosition(q, 55);
    EXPECT_EQ(s.dir_history[0], L"55;C:\\F5\\u.mp3");
    EXPECT_EQ(s.dir_history[9], L"101;C:\\F1\\t.mp3");  // the old F5 entry made room
    EXPECT_EQ(
        std::count_if(s.dir_history.begin(), s.dir_history.end(),
                      [](const std::wstring& e) { return e.find(L"F5\\") != std::wstring::npos; }),
        1);

    // Coming back to a remembered folder: its track is the current row and resumes there once.
    s.dir_history[0] = L"4321;C:\\Music\\A\\b.mp3";
    s.last_file = L"C:\\Zed\\z.mp3";
    s.last_folder = L"C:\\Zed";
    listEnv.hooks.ctx = &q;
    listEnv.hooks.recallFolderPosition = [](void* c, TrackList& l) {
        return RecallFolderPosition(*static_cast<Sequencer*>(c), l);
    };
    Show(L"C:\\Music\\A");
    EXPECT_EQ(files.currentRow, 1);
    q.ops.startTrack = [](void* c, const StartRequest& r) {
        F(c).started.push_back(r.file + L"@" + std::to_wstring(r.position));
        return true;
    };
    PlayRow(q, files, 1, true, false);
    PlayRow(q, files, 1, true, false);
    EXPECT_EQ(started, (Strings{L"C:\\Music\\A\\b.mp3@4321", L"C:\\Music\\A\\b.mp3@0"}));
    EXPECT_EQ(RecallFolderPosition(q, files), -1);  // the playing folder itself
}

TEST_F(SeqFixture, PreviousAndNextAtTheEdges) {
    s.control_flags = static_cast<int32_t>(ControlFlag::FoldersInFileView);
    Show(L"C:\\Music");  // only navigation rows: nothing to play
    EXPECT_EQ(PlayRow(q, files, 0, true, true), 0);
    Show(L"C:\\Music\\A");  // parent row on top, then a, b, c
    ASSERT_EQ(files.navRowCount, 1);
    ASSERT_EQ(PlayRow(q, files, 1, true, true), 1);
    EXPECT_EQ(PrevTrack(q, files, true), 1);  // the parent row above: the same track again
    EXPECT_EQ(s.last_file, L"C:\\Music\\A\\a.mp3");
    ASSERT_EQ(PlayRow(q, files, 3, true, true), 1);
    EXPECT_EQ(NextTrack(q, files, true, true), 0);
    EXPECT_EQ(PlayRowGuarded(q, pane, 0, true, true), 0);  // an empty pane does not play
}
