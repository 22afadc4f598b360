#include "library/insert_view.h"

#include <gtest/gtest.h>

#include "fake_folders.h"

namespace {

TEST(InsertView, SliderIntervals) {
    const int cases[][2] = {{0, 1}, {1, 1}, {14, 14}, {15, 15}, {16, 20}, {29, 85}, {30, 90}};
    for (const auto& c : cases) EXPECT_EQ(InsertInterval(c[0]), c[1]) << c[0];
}

TEST(InsertView, CountdownLivesInTheStatusText) {
    const std::wstring fmt = L"Insert every %02d minutes, next in %02d minutes";
    // N = 5: the first timed insert comes on the fifth tick, then every five ticks.
    int n = 5, m = 5;
    std::wstring text = InsertStatusText(fmt, n, m);
    std::vector<int> due;
    for (int tick = 1; tick <= 15; ++tick) {
        ASSERT_TRUE(ReadInsertStatus(text, n, m)) << text;
        if (InsertMinuteTick(n, m)) due.push_back(tick);
        text = InsertStatusText(fmt, n, m);
    }
    EXPECT_EQ(due, (std::vector<int>{5, 10, 15}));
    EXPECT_EQ(InsertStatusText(fmt, 90, 7), L"Insert every 90 minutes, next in 07 minutes");
    // A translated text with the numbers elsewhere still reads back; one without numbers not.
    ASSERT_TRUE(ReadInsertStatus(L"Alle 12 Min., nächste in 03", n, m));
    EXPECT_EQ(n, 12);
    EXPECT_EQ(m, 3);
    EXPECT_FALSE(ReadInsertStatus(L"no numbers", n, m));
    // A format with other conversions is not trusted with the numbers.
    EXPECT_EQ(InsertStatusText(L"%s every %02d", 5, 4), L"05 04");
}

TEST(InsertView, LayoutTextRoundTrip) {
    InsertLayout l = ReadInsertLayout("00010,00010,00500,00400,0300,0060,0060,0060,010");
    EXPECT_EQ(l.width, 500);
    EXPECT_EQ(l.widths[0], 300);
    EXPECT_EQ(l.slider, 10);
    l.x = -20;  // left of the screen: stored modulo 65536
    l.slider = 30;
    const std::string text = InsertLayoutText(l);
    EXPECT_EQ(text, "65516,00010,00500,00400,0300,0060,0060,0060,030");
    EXPECT_EQ(ReadInsertLayout(text).x, -20);
    EXPECT_EQ(ReadInsertLayout("00010,00010,00500,00400,0300,0060,0060,0060,000").slider, 1);
    EXPECT_EQ(ReadInsertLayout("garbage").width, InsertLayout{}.width);
}

ListRow Row(const wchar_t* name, const wchar_t* type = L"mp3", bool selected = false) {
    ListRow r;
    r.cell[0] = name;
    r.cell[2] = type;
    r.selected = selected;
    return r;
}

struct Lists {
    FakeFolders fake;
    FolderOps ops = FakeFolderOps(fake);
    Settings s;
    TrackList view, target;
    Lists() {
        view.kind = folderList;
        view.folder = L"C:\\Jingles";
        view.role = ListRole::InsertView;
        for (const wchar_t* n : {L"j1", L"j2", L"j3", L"j4"}) view.rows.push_back(Row(n));
        target.kind = folderList;
        target.folder = L"C:\\Music";
        for (const wchar_t* n : {L"a", L"b", L"c"}) target.rows.push_back(Row(n));
        target.currentRow = 1;  // "b" plays
    }
};

TEST(InsertView, ManualInsertOfSelectedRowsFollowsTheCurrentTrackInOrder) {
    Lists l;
    l.view.rows[0].selected = l.view.rows[2].selected = l.view.rows[3].selected = true;
    EXPECT_EQ(InsertTracks(l.view, l.target, false, InsertMode::Manual, l.ops, l.s), 3);
    EXPECT_EQ(Cells(l.target),
              (std::vector<std::wstring>{L"a", L"b", L"C:\\Jingles\\j1.mp3", L"C:\\Jingles\\j3.mp3",
                                         L"C:\\Jingles\\j4.mp3", L"c"}));
    EXPECT_EQ(l.target.currentRow, 1);
    // A selected target row decides the place instead; the current row is found again.
    Lists m;
    m.target.rows[0].selected = true;
    m.target.currentRow = 2;
    EXPECT_EQ(InsertTracks(m.view, m.target, false, InsertMode::Manual, m.ops, m.s),
              1);  // first row only
    EXPECT_EQ(Cells(m.target)[1], L"C:\\Jingles\\j1.mp3");
    EXPECT_EQ(m.target.currentRow, 3);
    // A selected folder or list row ends the run.
    Lists d;
    d.view.rows.insert(d.view.rows.begin() + 1, Row(L" [ Sub ]", L"DIR ", true));
    d.view.rows[0].selected = d.view.rows[2].selected = true;
    EXPECT_EQ(InsertTracks(d.view, d.target, false, InsertMode::Manual, d.ops, d.s), 1);
}

TEST(InsertView, TimedInsertsWalkTheViewAndWrap) {
    Lists l;
    l.view.rows[2].selected = true;
    std::vector<std::wstring> inserted;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(InsertTracks(l.view, l.target, false, InsertMode::Timed, l.ops, l.s), 1);
        inserted.push_back(l.target.rows[static_cast<size_t>(l.target.currentRow + 1)].cell[0]);
        // The inserted track plays, then the one after it, so the next insert has room.
        l.target.currentRow += 2;
        l.target.rows.push_back(Row(L"z"));
        l.target.rows.push_back(Row(L"y"));
    }
    EXPECT_EQ(inserted, (std::vector<std::wstring>{L"C:\\Jingles\\j3.mp3", L"C:\\Jingles\\j4.mp3",
                                                   L"C:\\Jingles\\j1.mp3"}));
    EXPECT_TRUE(l.view.rows[1].selected);
    EXPECT_EQ(SelectedCount(l.view), 1);
}

TEST(InsertView, ATimedInsertIsSkippedWhileAnInsertedTrackPlaysOrIsNext) {
    for (int offset : {0, 1}) {
        Lists l;
        l.target.rows[static_cast<size_t>(1 + offset)].cell[0] = L"C:\\Jingles\\j9.mp3";
        l.view.rows[0].selected = true;
        EXPECT_EQ(InsertTracks(l.view, l.target, false, InsertMode::Timed, l.ops, l.s), -1);
        EXPECT_EQ(l.target.rows.size(), 3u);
        EXPECT_TRUE(l.view.rows[0].selected);  // the selection stays
    }
}

TEST(InsertView, APlaylistTargetGetsFullRows) {
    Lists l;
    l.fake.AddFile(L"C:\\Jingles\\j1.mp3", 4000);
    l.target.kind = savedFolderList;
    l.target.rows = {Row(L"a", L"C:\\Music"), Row(L"b", L"C:\\Music")};
    l.target.currentRow = 0;
    EXPECT_EQ(InsertTracks(l.view, l.target, true, InsertMode::Manual, l.ops, l.s), 1);
    std::wstring path;
    ASSERT_EQ(RowPath(l.target, 1, path, false), 1);
    EXPECT_EQ(path, L"C:\\Jingles\\j1.mp3");
}

}  // namespace
