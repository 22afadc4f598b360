// The row a command takes, Select all, and the bounded walk of "Show subfolder contents".
#include "library/row_commands.h"

#include <gtest/gtest.h>

#include "fake_folders.h"

namespace {

using Strings = std::vector<std::wstring>;

TEST(RowCommands, TheRowAndFileACommandTakes) {
    struct Case {
        const char* what;
        uint8_t kind;
        std::vector<bool> selected;
        int focused;
        int row;
        RowTarget target;
        std::wstring path;
    } cases[] = {
        {"nothing selected or focused", folderList, {0, 0, 0}, -1, -1, RowTarget::None, L""},
        {"the focused row", folderList, {0, 0, 0}, 2, 2, RowTarget::Track, L"C:\\M\\c.mp3"},
        {"the first selected row wins", folderList, {0, 1, 1}, 2, 1, RowTarget::Track,
         L"C:\\M\\b.mp3"},
        {"a focus out of range", folderList, {0, 0, 0}, 7, -1, RowTarget::None, L""},
        {"a navigation row", folderList, {1, 0, 0}, -1, 0, RowTarget::None, L""},
        {"a saved row with its folder", savedFolderList, {0, 1, 0}, -1, 1, RowTarget::Track,
         L"D:\\Other\\b.mp3"},
        {"a stream", playList, {0, 0, 1}, -1, 2, RowTarget::Stream, L"http://radio/x"},
    };
    for (const Case& c : cases) {
        TrackList list;
        list.kind = c.kind;
        list.folder = L"C:\\M\\";
        const bool saved = c.kind != folderList;
        list.rows.resize(3);
        list.rows[0].cell[0] = L" [Sub]";
        list.rows[1].cell[0] = saved ? L"b.mp3" : L"b";
        list.rows[1].cell[2] = saved ? L"D:\\Other" : L"mp3";
        list.rows[2].cell[0] = saved ? L"Radio" : L"c";
        list.rows[2].cell[2] = saved ? L"http://radio/x" : L"mp3";
        for (size_t i = 0; i < 3; ++i) list.rows[i].selected = c.selected[i];
        list.focusedRow = c.focused;
        EXPECT_EQ(CommandRow(list), c.row) << c.what;
        std::wstring path;
        EXPECT_EQ(CommandRowFile(list, path), c.target) << c.what;
        EXPECT_EQ(path, c.path) << c.what;
    }
}

TEST(RowCommands, SelectAllAndExploreArguments) {
    TrackList list;
    list.rows.resize(4);
    list.rows[2].selected = true;
    EXPECT_EQ(SelectAllRows(list), 3);
    for (const ListRow& r : list.rows) EXPECT_TRUE(r.selected);
    EXPECT_EQ(SelectAllRows(list), 0);
    EXPECT_EQ(ExploreSelectArguments(L"C:\\A b\\c.mp3"), L"/select,\"C:\\A b\\c.mp3\"");
}

struct SubfolderFixture : ::testing::Test, FakeListMachine {
    void SetUp() override {
        fake.AddFile(L"C:\\Root\\top.mp3");
        fake.AddFile(L"C:\\Root\\notes.txt");
        fake.AddFile(L"C:\\Root\\A\\a1.mp3", 2048);
        fake.AddFile(L"C:\\Root\\A\\Deep\\d1.mp2");
        fake.AddFile(L"C:\\Root\\B\\b1.mp3");
        fake.AddFile(L"C:\\Root\\B\\hidden.mp3", 10, EntryAttr::Hidden);
        fake.AddFile(L"C:\\Root\\Secret\\s1.mp3");
        fake.AddFolder(L"C:\\Root\\Secret", EntryAttr::Hidden);
        fake.AddFile(L"C:\\Root\\Link\\loop.mp3");
        fake.AddFolder(L"C:\\Root\\Link", EntryAttr::ReparsePoint);
    }
    Strings Paths(const SubfolderResult& r) const {
        Strings out;
        for (const ListStateRow& row : r.rows) out.push_back(row.cells[2] + L"\\" + row.cells[0]);
        return out;
    }
};

TEST_F(SubfolderFixture, WalksEveryPlayableFileWithinItsBounds) {
    struct Case {
        const char* what;
        std::wstring folder;
        bool showHidden;
        SubfolderLimits limits;
        Strings paths;
        bool cut;
    } cases[] = {
        {"depth first, a folder's files before its subfolders; no hidden entries, no junctions",
         L"C:\\Root\\",
         false,
         {},
         {L"C:\\Root\\top.mp3", L"C:\\Root\\A\\a1.mp3", L"C:\\Root\\A\\Deep\\d1.mp2",
          L"C:\\Root\\B\\b1.mp3"},
         false},
        {"hidden files and folders shown by the list style",
         L"C:\\Root\\B",
         true,
         {},
         {L"C:\\Root\\B\\b1.mp3", L"C:\\Root\\B\\hidden.mp3"},
         false},
        {"the file bound", L"C:\\Root", false, {2, 100, 8000},
         {L"C:\\Root\\top.mp3", L"C:\\Root\\A\\a1.mp3"}, true},
        {"the folder bound", L"C:\\Root", false, {100, 2, 8000},
         {L"C:\\Root\\top.mp3", L"C:\\Root\\A\\a1.mp3"}, true},
        {"a folder that cannot be read", L"C:\\Missing", false, {}, {}, false},
    };
    for (const Case& c : cases) {
        s.list_style = c.showHidden ? static_cast<int32_t>(ListStyle::ShowHidden) : 0;
        const SubfolderResult r = SubfolderContent(ops, c.folder, s, playable, c.limits);
        EXPECT_EQ(Paths(r), c.paths) << c.what;
        EXPECT_EQ(r.cut, c.cut) << c.what;
    }
    // The cells are a saved list's: the size as the lists show it, the date cell filled.
    const SubfolderResult r = SubfolderContent(ops, L"C:\\Root\\A", s, playable);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].cells[1], SizeText(2048, s));
    EXPECT_FALSE(r.rows[0].cells[3].empty());
}

TEST_F(SubfolderFixture, AWalkThatTakesTooLongStops) {
    static uint32_t now;
    now = 0;
    ops.tickCount = [](void*) { return now += 3000; };  // every folder costs three seconds
    const SubfolderResult r = SubfolderContent(ops, L"C:\\Root", s, playable, {100, 100, 8000});
    EXPECT_TRUE(r.cut);
    EXPECT_EQ(r.folders, 2u);
}

}  // namespace
