// Sort rules, the header-click and cycle rules, headers with markers and column widths.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_folders.h"
#include "library/list_text.h"
#include "library/track_list.h"

namespace {
struct SortFixture : ::testing::Test, FakeListMachine {
    void Row(const wchar_t* name, const wchar_t* size = L"1.00 MB",
             const wchar_t* date = L"2026-03-05 14:07", const wchar_t* type = L"mp3") {
        AddRow(list, static_cast<int>(list.rows.size()), name, size, type, date, s);
    }
    void Nav(const wchar_t* folder) {
        AddRow(list, static_cast<int>(list.rows.size()), std::wstring(L" [+]  ") + folder, L" ",
               L"DIR ", L" ", s);
    }
    std::vector<std::wstring> SortedBy(uint8_t byte) {
        list.sortByte = byte;
        Resort(list, env);
        return Cells(list);
    }
};

using Strings = std::vector<std::wstring>;
}  // namespace

TEST_F(SortFixture, NumericNamesOnlyWithNaturalOrder) {
    for (const wchar_t* n :
         {L"Track 10", L"Track 9", L"Track 1", L"Track 100b", L"Track 100a", L"Track"})
        Row(n);
    EXPECT_EQ(SortedBy(kSortName), (Strings{L"Track", L"Track 1", L"Track 10", L"Track 100a",
                                            L"Track 100b", L"Track 9"}));
    s.list_style = ListStyle::NaturalOrder;
    EXPECT_EQ(SortedBy(kSortName), (Strings{L"Track", L"Track 1", L"Track 9", L"Track 10",
                                            L"Track 100a", L"Track 100b"}));
    EXPECT_EQ(
        SortedBy(kSortName | SortBits::Descending),
        (Strings{L"Track 100b", L"Track 100a", L"Track 10", L"Track 9", L"Track 1", L"Track"}));
}

TEST_F(SortFixture, KeysOfEachMethod) {
    Row(L"b", L"10.00 MB", L"2026-01-02 10:00", L"ogg");
    Row(L"a", L"9.00 MB", L"2025-12-30 10:00", L"ogg");
    Row(L"c", L"9.50 MB", L"2026-01-02 10:00", L"mp3");
    list.currentRow = 0;                                           // "b"
    EXPECT_EQ(SortedBy(kSortSize), (Strings{L"a", L"c", L"b"}));   // right-aligned: 9 before 10
    EXPECT_EQ(list.currentRow, 2);                                 // the current row follows
    EXPECT_EQ(SortedBy(kSortType), (Strings{L"c", L"a", L"b"}));   // type, then name
    EXPECT_EQ(SortedBy(kSortDate), (Strings{L"a", L"b", L"c"}));   // date, then name
    EXPECT_EQ(SortedBy(kSortMonth), (Strings{L"b", L"c", L"a"}));  // January before December
    list.sortByte = kSortNone;
    const Strings before = Cells(list);
    EXPECT_FALSE(Resort(list, env));
    EXPECT_EQ(Cells(list), before);
}

TEST_F(SortFixture, MonthGroupPutsTheThreeMonthsAroundTodayLast) {
    s.list_style = ListStyle::GroupThreeMonths;
    struct Case {
        int month;
        Strings order;
    } cases[] = {
        {3, {L"jan", L"jun", L"dec", L"feb", L"mar", L"apr"}},
        {1, {L"jun", L"mar", L"apr", L"jan", L"dec", L"feb"}},  // across the year end: Dec to Feb
        {12, {L"jun", L"feb", L"mar", L"apr", L"jan", L"dec"}},
    };
    for (const Case& c : cases) {
        list.rows.clear();
        Row(L"apr", L"", L"2026-04-01 00:00");
        Row(L"dec", L"", L"2025-12-01 00:00");
        Row(L"jun", L"", L"2025-06-01 00:00");
        Row(L"feb", L"", L"2026-02-01 00:00");
        Row(L"mar", L"", L"2026-03-01 00:00");
        Row(L"jan", L"", L"2025-01-01 00:00");
        fake.month = c.month;
        EXPECT_EQ(SortedBy(kSortMonth), c.order) << "month " << c.month;
    }
}

TEST_F(SortFixture, NavigationRowsStayOnTopAndEveryOrderKeepsEveryRow) {
    s.control_flags = ControlFlag::FoldersInFileView;
    s.info_row = 0x800 | 100;
    Nav(L"b");
    Nav(L"a");
    for (int i = 0; i < 40; ++i)
        Row((L"t" + std::to_wstring(i)).c_str(), L"1 KB", L"2026-05-01 00:00");
    const std::vector<uint8_t> bytes = {
        1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, SortBits::Shuffled};
    for (uint8_t b : bytes) {
        const Strings prior = Cells(list);
        Strings before = prior;
        std::sort(before.begin(), before.end());
        Strings after = SortedBy(b);
        EXPECT_EQ(after[0], L" [+]  b") << int(b);  // stable: their own order kept
        EXPECT_EQ(after[1], L" [+]  a") << int(b);
        if (b == SortBits::Shuffled) {
            EXPECT_NE(after, prior) << "shuffling moves the rows";
        }
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before) << int(b);
    }
}

TEST(SortRules, HeaderClicks) {
    Settings plain, month;
    month.list_style = ListStyle::SortByMonth;
    constexpr uint8_t D = SortBits::Descending, S = SortBits::Shuffled;
    struct Case {
        uint8_t from;
        int column;
        bool monthOn;
        uint8_t to;
    } cases[] = {
        {1, 0, false, 1 | D}, {1 | D, 0, false, 1}, {2, 0, false, 1},     {S, 0, false, 1},
        {1, 1, false, 2},     {2, 1, false, 2 | D}, {1, 2, false, 3},     {1, 4, false, 6},
        {6, 4, false, 6 | D}, {1, 3, false, 4 | D}, {4 | D, 3, false, 4}, {4, 3, false, 4 | D},
        {4, 3, true, 5 | D},  {5 | D, 3, true, 5},  {5, 3, true, 4 | D},  {S, 3, true, 4 | D},
        {4 | D, 3, true, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeaderClickSortByte(c.from, c.column, c.monthOn ? month : plain), c.to)
            << int(c.from) << " col " << c.column;
}

TEST(SortRules, CycleCommand) {
    constexpr uint8_t D = SortBits::Descending, S = SortBits::Shuffled;
    struct Case {
        int32_t listStyle, infoRow;
        std::vector<int> steps;  // from method 1
    } cases[] = {
        {0, 0, {2, 3, 4 | D, S, 1}},
        {0, 0x400 | 80, {2, 3, 4 | D, 6, S, 1}},
        {ListStyle::GroupThreeMonths, 0, {2, 3, 4 | D, 5 | D, S, 1}},
        {ListStyle::SortByMonth, 0x400 | 80, {2, 3, 4 | D, 5 | D, 6, S, 1}},
    };
    for (const Case& c : cases) {
        Settings s;
        s.list_style = c.listStyle;
        s.info_row = c.infoRow;
        uint8_t b = 1 | D;
        std::vector<int> seen;
        for (size_t i = 0; i < c.steps.size(); ++i) seen.push_back(b = CycleSortByte(b, s));
        EXPECT_EQ(seen, c.steps);
    }
}

TEST_F(SortFixture, SortChangesAreStoredPerKindAndRefusedWhenLocked) {
    s.file_sort = 0x030201;
    list.kind = savedFolderList;
    EXPECT_EQ(SortByteOf(list, s), 2);
    EXPECT_TRUE(OnHeaderClick(list, env, 2));
    EXPECT_EQ(s.file_sort, 0x030301);
    list.kind = cueList;
    EXPECT_FALSE(OnHeaderClick(list, env, 0));
    list.kind = folderList;
    s.control_lock = ControlLock::TrackPlacement;
    EXPECT_FALSE(OnShuffle(list, env));
    s.control_lock = 0;
    EXPECT_TRUE(OnShuffle(list, env));
    EXPECT_EQ(s.file_sort, 0x030310);
    list.role = ListRole::InsertView;
    EXPECT_TRUE(OnCycleSort(list, env));
    EXPECT_EQ(list.sortByte, kSortName);
    EXPECT_EQ(s.file_sort, 0x030310);  // the insert view keeps its own byte
}

// The headers in the built-in English texts: which title each column gets per list kind, and
// where the sort marker goes (in front of the right-aligned size column, none when shuffled).
TEST_F(SortFixture, HeadersPerKindWithMarkers) {
    const LangState english;
    auto headers = [&] {
        std::wstring h[kListColumns];
        ListHeaders(list, s, english, h);
        return h[0] + L"|" + h[1] + L"|" + h[2] + L"|" + h[3] + L"|" + h[4];
    };
    constexpr uint8_t D = SortBits::Descending;
    struct Case {
        uint8_t kind, byte;
        int32_t infoRow;
        uint32_t timeColumn;
        const wchar_t* headers;  // "|" between the columns
    } cases[] = {
        {folderList, kSortSize | D, 0, 1, L"Filename|  \u25BC Length|Type|Modified|"},
        {folderList, kSortMonth, 0xC00 | 50, 0, L"Filename|Size|Type|Month  \u25B2 |Track #"},
        {playList, kSortInfo, 0x1C00, 0, L"Filename| |Path|(List order)|Year, Album  \u25B2 "},
        {savedFolderList, SortBits::Shuffled, 0x2000, 0, L"Filename|Size|Path|Modified|Notes"},
        {cueList, kSortName, 0x400, 0, L"Filename|Start|Length|Track name|Track #"},
    };
    for (const Case& c : cases) {
        list.kind = c.kind;
        list.sortByte = c.byte;
        list.timeColumn = c.timeColumn;
        s.info_row = c.infoRow;
        EXPECT_EQ(headers(), c.headers) << int(c.kind) << "/" << int(c.byte);
    }
    s.info_row = 0;
    s.stylez = Style::CreatedDate;
    s.list_style = ListStyle::GroupThreeMonths;
    s.playlist_win = static_cast<uint16_t>(kPlaylistOpen);
    list.role = ListRole::PlaylistView;
    list.kind = folderList;
    list.sortByte = kSortDate;
    EXPECT_EQ(headers(), L" [ PLAYLIST ]    Filename|Size|Type|Created  \u25B2 |");
    list.sortByte = kSortMonth;
    EXPECT_EQ(headers(), L" [ PLAYLIST ]    Filename|Size|Type|Month group  \u25B2 |");
    list.sortByte = kSortName | D;
    EXPECT_EQ(headers(), L" [ PLAYLIST ]    Filename  \u25BC |Size|Type|Created|");
}

TEST_F(SortFixture, WidthsPerCategory) {
    s.list_name = {100, 200, 300};
    s.list_date = {110, 210, 310};
    s.info_row = 0x800 | 90;
    struct Case {
        uint8_t kind;
        ListRole role;
        int name, date;
    } cases[] = {{folderList, ListRole::FileView, 100, 110},
                 {savedFolderList, ListRole::InsertView, 200, 210},
                 {cueListIdle, ListRole::FileView, 300, 310},
                 {cueList, ListRole::PlaylistView, 200, 210}};  // the view's category wins
    for (const Case& c : cases) {
        list.kind = c.kind;
        list.role = c.role;
        int w[kListColumns];
        ColumnWidths(list, s, w);
        EXPECT_EQ(w[0], c.name);
        EXPECT_EQ(w[3], c.date);
        EXPECT_EQ(w[4], 90);
    }
    list.kind = folderList;
    list.role = ListRole::FileView;
    int w[kListColumns] = {1, 2, 3, 4, 1024};
    StoreColumnWidths(list, s, w);
    EXPECT_EQ(s.list_name, (settings_detail::COLS{1, 200, 300}));
    EXPECT_EQ(s.info_row, 0x800 | 90);  // 1024 does not fit the ten bits
    w[4] = 11;
    StoreColumnWidths(list, s, w);
    EXPECT_EQ(s.info_row, 0x800 | 11);
}
