// Reading folders into lists, row paths and lookup per kind, the current row, the saved list.
#include <gtest/gtest.h>

#include "fake_folders.h"
#include "library/list_text.h"
#include "library/track_list.h"

namespace {
struct LoadFixture : ::testing::Test, FakeListMachine {
    std::string saved;  // the pending saved list, handed over once

    void SetUp() override {
        env.hooks.ctx = this;
        env.hooks.takeSavedList = [](void* ctx, std::string& bytes) {
            auto* f = static_cast<LoadFixture*>(ctx);
            bytes.swap(f->saved);
            return !bytes.empty();
        };
        s.file_sort = kSortName;
        fake.AddFile(L"C:\\Music\\Track 10.mp3", 2 * 1048576);
        fake.AddFile(L"C:\\Music\\Track 9.MP3");
        fake.AddFile(L"C:\\Music\\song.mpeg");
        fake.AddFile(L"C:\\Music\\radio.ogg");
        fake.AddFile(L"C:\\Music\\README");
        fake.AddFile(L"C:\\Music\\secret.mp3", 10, EntryAttr::Hidden);
        fake.AddFile(L"C:\\Music\\mix.m3u8");
        fake.AddFile(L"C:\\Music\\album.CUE");
        fake.AddFolder(L"C:\\Music\\Beta");
        fake.AddFolder(L"C:\\Music\\Alpha");
        fake.AddFolder(L"C:\\Music\\System", EntryAttr::Hidden | EntryAttr::System);
        fake.AddFolder(L"C:\\Music\\Link", EntryAttr::ReparsePoint);
    }
};
using Strings = std::vector<std::wstring>;
}  // namespace

TEST_F(LoadFixture, TrackRowsFollowTheFilterRules) {
    struct Case {
        int32_t listStyle;
        std::string playable;
        Strings names;
    } cases[] = {
        {0, "mp3;mp2;mpa;", {L"Track 10", L"Track 9"}},
        {ListStyle::ShowHidden, "mp3;mp2;mpa;", {L"secret", L"Track 10", L"Track 9"}},
        {0, "mp3;mp2;mpa;ogg;mpeg;", {L"radio", L"song", L"Track 10", L"Track 9"}},
    };
    for (const Case& c : cases) {
        s.list_style = c.listStyle;
        playable = c.playable;
        ASSERT_EQ(LoadList(list, L"C:\\Music", env), 1);
        EXPECT_EQ(Cells(list), c.names);
        EXPECT_EQ(list.navRowCount, 0);
    }
    const ListRow& r = list.rows[2];
    EXPECT_EQ(r.cell[1], L"2.00 MB");
    EXPECT_EQ(r.cell[2], L"mp3");
    EXPECT_EQ(r.cell[3], L"2026-03-05 14:07");
    EXPECT_EQ(list.rows[3].cell[2], L"MP3");  // as spelled on disk
}

// Every listing tells the view its row count, whatever the order and however few the rows (a
// folder of one track, sorted, once left the view empty under "1 tracks").
TEST_F(LoadFixture, TheViewIsToldEveryListingsRowCount) {
    struct View {
        const TrackList* list;
        int shown;
    } view{&list, -1};
    list.view.ctx = &view;
    list.view.rowsChanged = [](void* ctx) {
        auto* v = static_cast<View*>(ctx);
        v->shown = static_cast<int>(v->list->rows.size());
    };
    fake.AddFile(L"C:\\One\\only.mp3");
    fake.AddFile(L"C:\\Two\\a.mp3");
    fake.AddFile(L"C:\\Two\\b.mp3");
    fake.AddFolder(L"C:\\None");
    const uint8_t sorts[] = {kSortNone, kSortName, kSortSize | SortBits::Descending,
                             SortBits::Shuffled};
    // The folder, the playing track (the row made current), the rows.
    const struct {
        const wchar_t* folder;
        const wchar_t* playing;
        int rows;
    } folders[] = {{L"C:\\One", L"C:\\One\\only.mp3", 1},
                   {L"C:\\Two", L"C:\\Two\\b.mp3", 2},
                   {L"C:\\None", L"", 0},
                   {L"C:\\One", L"", 1}};
    for (const uint8_t sort : sorts) {
        s.file_sort = sort;
        for (const auto& [folder, playing, rows] : folders) {
            s.last_file = playing;
            ASSERT_EQ(LoadList(list, folder, env), 1);
            EXPECT_EQ(view.shown, rows) << int(sort) << " " << folder;
        }
    }
}

TEST_F(LoadFixture, NavigationRowsAndTheWayToThePlayingTrack) {
    s.control_flags = ControlFlag::FoldersInFileView;
    s.last_file = L"C:\\Music\\Beta\\x\\a.mp3";
    s.list_style = ListStyle::NaturalOrder;
    s.file_sort = kSortName | SortBits::Descending;
    ASSERT_EQ(LoadList(list, L"C:\\Music", env), 1);
    EXPECT_EQ(Cells(list), (Strings{L" [..]  [.\\Music]", L" [#]  album.CUE", L" [#]  mix.m3u8",
                                    L" [+]  Alpha", L" [+]  Beta", L"Track 10", L"Track 9"}));
    EXPECT_EQ(list.navRowCount, 5);
    EXPECT_EQ(list.rows[1].cell[2], L"LIST ");
    EXPECT_EQ(list.rows[4].cell[2], L"DIR ");
    EXPECT_EQ(list.currentRow, 4);  // the folder on the way to the playing track
    EXPECT_EQ(list.kind, folderList);
    std::wstring path;
    list.focusedRow = 0;
    EXPECT_EQ(OpenNavigationRow(list, path), NavTarget::Parent);
    list.focusedRow = 3;
    EXPECT_EQ(OpenNavigationRow(list, path), NavTarget::Path);
    EXPECT_EQ(path, L"C:\\Music\\Alpha");
    list.focusedRow = 5;
    EXPECT_EQ(OpenNavigationRow(list, path), NavTarget::None);  // a track row
    list.rows[1].selected = list.rows[2].selected = true;
    list.focusedRow = 1;
    EXPECT_EQ(OpenNavigationRow(list, path), NavTarget::None);  // more than one selected

    list.role = ListRole::PlaylistView;
    EXPECT_EQ(LoadList(list, L"C:\\Music", env), 0);
}

TEST_F(LoadFixture, RowPathsAndFindRowPerKind) {
    list.folder = L"C:\\Music\\";
    auto add = [&](const wchar_t* n, const wchar_t* t) { AddRow(list, 99, n, L"", t, L"", s); };
    add(L" [+]  Sub", L"DIR ");
    add(L"Song", L"mp3");
    add(L"Radio X", L"http://radio/x");
    add(L"D:\\Other\\b.mp3", L"mp3");
    struct Case {
        uint8_t kind;
        int row;
        bool nameOnly;
        int answer;
        const wchar_t* path;
    } cases[] = {
        {folderList, 0, false, 2, L""},
        {folderList, 1, false, 1, L"C:\\Music\\Song.mp3"},
        {folderList, 1, true, 1, L"Song.mp3"},
        {folderList, 2, false, 1, L"http://radio/x"},
        {folderList, 3, false, 1, L"D:\\Other\\b.mp3"},
        {folderList, 4, false, 0, L""},
        {playList, 1, false, 1, L"mp3\\Song"},
        {playList, 1, true, 1, L"Song"},
    };
    for (const Case& c : cases) {
        list.kind = c.kind;
        std::wstring out;
        EXPECT_EQ(RowPath(list, c.row, out, c.nameOnly), c.answer) << c.row;
        if (c.answer == 1) {
            EXPECT_EQ(out, c.path);
        }
    }
    list.kind = folderList;
    EXPECT_EQ(FindRow(list, L"c:\\music\\SONG.MP3"), 1);
    EXPECT_EQ(FindRow(list, L"C:\\Elsewhere\\Song.mp3"), -1);
    EXPECT_EQ(FindRow(list, L"d:\\other\\B.mp3"), 3);  // the whole name cell

    TrackList pl;
    pl.kind = playList;
    AddRow(pl, 0, L"a.mp3", L"", L"C:\\One", L"", s);
    AddRow(pl, 1, L"a.mp3", L"", L"C:\\Two", L"", s);
    AddRow(pl, 2, L"Radio X", L"", L"http://radio/x", L"", s);
    EXPECT_EQ(FindRow(pl, L"C:\\two\\A.MP3"), 1);
    EXPECT_EQ(FindRow(pl, L"http://radio/x"), 2);
    EXPECT_EQ(FindRow(pl, L"http://radio/X"), -1);  // addresses compare exactly
    TrackList cue;
    cue.kind = cueList;
    AddRow(cue, 0, L"C:\\Album\\disc.mp3", L"00:00:00", L"3'00", L"One", s);
    AddRow(cue, 1, L"C:\\Album\\disc.mp3", L"03:00:00", L"3'00", L"Two", s);
    EXPECT_EQ(FindRow(cue, L"C:\\Album\\disc.mp3"), 0);
    cue.currentRow = -1;
    s.last_file = L"C:\\Album\\disc.mp3";
    EXPECT_EQ(CurrentRowOf(cue, s), -1);  // a cue list keeps its own current row
    s.last_file = L"C:\\Two\\a.mp3";
    EXPECT_EQ(CurrentRowOf(pl, s), 1);
    s.last_file.clear();
    EXPECT_EQ(CurrentRowOf(pl, s), -1);
}

TEST_F(LoadFixture, CurrentRowSelectionAndColours) {
    s.last_file = L"C:\\Music\\Track 9.MP3";
    ASSERT_EQ(LoadList(list, L"C:\\Music", env), 1);
    EXPECT_EQ(list.currentRow, 1);
    EXPECT_FALSE(SetCurrentRow(list, 2, false));
    SelectOnly(list, 50);
    EXPECT_EQ(list.focusedRow, 1);
    EXPECT_EQ(SelectedCount(list), 1);
    s.color_track = 0x0000FF;
    s.color_text = 0x111111;
    s.color_trkbg = 0x222222;
    EXPECT_EQ(RowColoursOf(list, 1, s).text, 0x0000FF);
    EXPECT_FALSE(RowColoursOf(list, 1, s).customBack);
    s.trackBackgroundSet = true;
    EXPECT_EQ(RowColoursOf(list, 1, s).back, 0x222222);
    EXPECT_EQ(RowColoursOf(list, 0, s).text, 0x111111);
}

TEST_F(LoadFixture, SavedListRoundTrip) {
    s.control_flags = ControlFlag::FoldersInFileView;
    s.file_sort = 0x0400 | kSortName;
    ASSERT_EQ(LoadList(list, L"C:\\Music", env), 1);
    list.rows.back().cell[4] = L"Ärger";
    std::vector<ListStateRow> rows;
    ASSERT_TRUE(ListStateRowsOf(list, rows));
    ASSERT_EQ(rows.size(), 2u);  // navigation rows are not saved
    EXPECT_EQ(rows[0].cells[0], L"Track 10.mp3");
    EXPECT_EQ(rows[0].cells[2], L"C:\\Music");
    saved = ListStateText(rows, true);

    ASSERT_EQ(LoadList(list, L"C:\\Music", env), 1);
    EXPECT_EQ(list.kind, savedFolderList);
    EXPECT_EQ(list.sortByte, 4);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[1].cell[4], L"Ärger");
    std::wstring path;
    EXPECT_EQ(RowPath(list, 1, path, false), 1);
    EXPECT_EQ(path, L"C:\\Music\\Track 9.MP3");
    list.kind = cueList;
    EXPECT_FALSE(ListStateRowsOf(list, rows));

    auto back = ReadListStateText("a|1 KB|C:\\x|d\r\nb|\r\ncut|off");
    ASSERT_EQ(back.size(), 2u);  // the line without CR LF is not read
    EXPECT_EQ(back[0].cells[2], L"C:\\x");
    EXPECT_EQ(back[1].cells[0], L"b");
    EXPECT_EQ(back[1].cells[3], L"");
}

TEST(PlayableChange, EachOpenListFollowsByWhatItWasReadFrom) {
    const struct {
        bool open;
        ListRole role;
        uint8_t kind;
        const wchar_t* folder;
        PlayableFollow follow;
    } cases[] = {
        {false, ListRole::FileView, folderList, L"C:\\Music", PlayableFollow::Keep},
        {true, ListRole::FileView, folderList, L"C:\\Music", PlayableFollow::Reload},
        {true, ListRole::FileView, folderList, L"", PlayableFollow::Keep},
        {true, ListRole::FileView, savedFolderList, L"C:\\Music", PlayableFollow::Keep},
        {true, ListRole::PlaylistView, savedFolderList, L"", PlayableFollow::Keep},
        {true, ListRole::InsertView, playList, L"C:\\Music\\mix.m3u8", PlayableFollow::Reload},
        {true, ListRole::InsertView, cueList, L"C:\\Music\\a.cue", PlayableFollow::Keep},
    };
    for (const auto& c : cases) {
        TrackList list;
        list.window = c.open ? &list : nullptr;
        list.role = c.role;
        list.kind = c.kind;
        list.folder = c.folder;
        EXPECT_EQ(PlayableChangeFollow(list), c.follow)
            << static_cast<int>(c.role) << " " << static_cast<int>(c.kind) << " " << c.open;
    }
}
