// The row a command takes, Select all, and the bounded, stoppable walk of "Show subfolder
// contents".
#include "library/row_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_folders.h"

namespace {

TEST(RowCommands, TheRowAndFileACommandTakes) {
    struct Case {
        uint8_t kind;
        std::vector<bool> selected;
        int focused, row;
        RowTarget target;
        std::wstring path;
    } cases[] = {
        {folderList, {0, 0, 0}, -1, -1, RowTarget::None, L""},
        {folderList, {0, 0, 0}, 2, 2, RowTarget::Track, L"C:\\M\\c.mp3"},
        {folderList, {0, 1, 1}, 2, 1, RowTarget::Track, L"C:\\M\\b.mp3"},  // selection first
        {folderList, {0, 0, 0}, 7, -1, RowTarget::None, L""},              // focus out of range
        {folderList, {1, 0, 0}, -1, 0, RowTarget::None, L""},              // navigation row
        {savedFolderList, {0, 1, 0}, -1, 1, RowTarget::Track, L"D:\\Other\\b.mp3"},
        {playList, {0, 0, 1}, -1, 2, RowTarget::Stream, L"http://radio/x"},
    };
    for (const Case& c : cases) {
        const bool saved = c.kind != folderList;
        TrackList list;
        list.kind = c.kind;
        list.folder = L"C:\\M\\";
        list.rows.resize(3);
        list.rows[0].cell[0] = L" [Sub]";
        list.rows[1].cell[0] = saved ? L"b.mp3" : L"b";
        list.rows[1].cell[2] = saved ? L"D:\\Other" : L"mp3";
        list.rows[2].cell[0] = saved ? L"Radio" : L"c";
        list.rows[2].cell[2] = saved ? L"http://radio/x" : L"mp3";
        for (size_t i = 0; i < 3; ++i) list.rows[i].selected = c.selected[i];
        list.focusedRow = c.focused;
        std::wstring path;
        EXPECT_EQ(CommandRow(list), c.row) << c.path;
        EXPECT_EQ(CommandRowFile(list, path), c.target) << c.path;
        EXPECT_EQ(path, c.path);
        EXPECT_EQ(SelectAllRows(list), 3 - std::count(c.selected.begin(), c.selected.end(), true));
        EXPECT_EQ(CommandRow(list), 0);
    }
}

TEST(RowCommands, SubfolderWalkWithinItsBoundsAndStopped) {
    FakeListMachine m;
    m.fake.AddFile(L"C:\\Root\\top.mp3");
    m.fake.AddFile(L"C:\\Root\\notes.txt");
    m.fake.AddFile(L"C:\\Root\\A\\a1.mp3", 2048);
    m.fake.AddFile(L"C:\\Root\\A\\Deep\\d1.mp2");
    m.fake.AddFile(L"C:\\Root\\B\\b1.mp3");
    m.fake.AddFile(L"C:\\Root\\B\\hidden.mp3", 10, EntryAttr::Hidden);
    m.fake.AddFile(L"C:\\Root\\Secret\\s1.mp3");
    m.fake.AddFolder(L"C:\\Root\\Secret", EntryAttr::Hidden);
    m.fake.AddFile(L"C:\\Root\\Link\\loop.mp3");
    m.fake.AddFolder(L"C:\\Root\\Link", EntryAttr::ReparsePoint);
    struct Case {
        const wchar_t* folder;
        bool showHidden;
        SubfolderLimits limits;
        int stopAfter;         // the flag is set once this many folders are read (-1: never)
        std::wstring paths;    // below C:\Root, joined by "|"
        std::string progress;  // "files/folders" after each folder read
        bool cut, stopped;
    };
    // clang-format off
    const Case cases[] = {
        // A folder's files before its subfolders'; no hidden entries, no junctions.
        {L"C:\\Root\\", false, {}, -1, L"top.mp3|A\\a1.mp3|A\\Deep\\d1.mp2|B\\b1.mp3", "1/1 2/2 3/3 4/4 ", false, false},
        {L"C:\\Root\\B", true, {}, -1, L"B\\b1.mp3|B\\hidden.mp3", "2/1 ", false, false},
        {L"C:\\Root", false, {2, 100}, -1, L"top.mp3|A\\a1.mp3", "1/1 2/2 ", true, false},
        {L"C:\\Root", false, {100, 2}, -1, L"top.mp3|A\\a1.mp3", "1/1 2/2 ", true, false},
        {L"C:\\Root", false, {}, 2, L"top.mp3|A\\a1.mp3", "1/1 2/2 ", false, true},
        {L"C:\\Root", false, {}, 0, L"", "", false, true},
        {L"C:\\Missing", false, {}, -1, L"", "", false, false},
    };
    // clang-format on
    struct Watched {
        std::atomic<bool> stop{false};
        int stopAfter = -1;
        std::string progress;
    };
    for (const Case& c : cases) {
        m.s.list_style = c.showHidden ? static_cast<int32_t>(ListStyle::ShowHidden) : 0;
        Watched w;
        w.stopAfter = c.stopAfter;
        w.stop = c.stopAfter == 0;
        const SubfolderWatch watch{&w.stop,
                                   [](void* ctx, size_t files, size_t folders) {
                                       auto* w = static_cast<Watched*>(ctx);
                                       w->progress += std::to_string(files) + "/" +
                                                      std::to_string(folders) + " ";
                                       if (static_cast<int>(folders) == w->stopAfter)
                                           w->stop = true;
                                   },
                                   &w};
        const SubfolderResult r =
            SubfolderContent(m.ops, c.folder, m.s, m.playable, c.limits, watch);
        std::wstring paths;
        for (const ListStateRow& row : r.rows) {
            paths += (paths.empty() ? L"" : L"|") + (row.cells[2] + L"\\" + row.cells[0]).substr(8);
            EXPECT_TRUE(row.cells[0] != L"a1.mp3" || row.cells[1] == SizeText(2048, m.s));
        }
        EXPECT_EQ(paths, c.paths) << c.folder;
        EXPECT_EQ(w.progress, c.progress) << c.folder;
        EXPECT_EQ(r.cut, c.cut) << c.folder;
        EXPECT_EQ(r.stopped, c.stopped) << c.folder;
    }
}

}  // namespace
