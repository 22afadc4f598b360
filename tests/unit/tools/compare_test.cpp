#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <set>

#include "config/settings_bits.h"
#include "tools/compare.h"
#include "tools/finder.h"

namespace {

// Letters first without case, then lower before upper: the order of a locale-aware compare.
int LocaleOrder(void*, const std::wstring& a, const std::wstring& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a == b ? 0 : (a < b ? 1 : -1);
}
const CompareText kText{nullptr, LocaleOrder};

struct File {
    const wchar_t* path;  // below the side's root, "\" between folders
    uint64_t size;
    int minutes;  // after 2024-03-10 12:00
};

// A tree per root: every folder's entries, made from the file paths.
struct FakeTree {
    std::map<std::wstring, std::vector<CompareEntry>> folders;
    std::vector<int> reports;  // the fill's progress reports
    size_t stopAt = 0;         // the report that asks to stop, 0 for none
    void Add(const std::wstring& root, const File& f) {
        std::wstring folder = root, rest = f.path;
        for (size_t slash; (slash = rest.find(L'\\')) != std::wstring::npos;) {
            CompareEntry dir;
            dir.name = rest.substr(0, slash);
            dir.directory = true;
            auto& list = folders[folder];
            bool known = false;
            for (const auto& e : list) known = known || e.name == dir.name;
            if (!known) list.push_back(dir);
            folder += dir.name + L'\\';
            rest = rest.substr(slash + 1);
        }
        CompareEntry e;
        e.name = rest;
        e.size = f.size;
        const int m = 12 * 60 + f.minutes;
        e.written = LocalTime{2024, 3, 10 + m / 1440, 0, m % 1440 / 60, m % 60, 0};
        folders[folder].push_back(e);
    }
};

// With `reporting`, the fill reports its progress into the tree.
CompareFs FsOf(FakeTree& t, bool reporting = false) {
    CompareFs fs;
    fs.ctx = &t;
    fs.list = [](void* ctx, const std::wstring& folder, std::vector<CompareEntry>& out) {
        auto& f = static_cast<FakeTree*>(ctx)->folders;
        if (!f.count(folder)) return false;
        out = f[folder];
        return true;
    };
    fs.localToUtc = [](void*, const DateFields& d, uint64_t& t) {
        t = FileTimeOf(d.year, d.month, d.day, d.hour, d.minute, 0);  // the clock at UTC
        return DateFieldsValid(d);
    };
    if (reporting) fs.progress = [](void* ctx, int files) {
        FakeTree& t = *static_cast<FakeTree*>(ctx);
        t.reports.push_back(files);
        return t.stopAt && t.reports.size() >= t.stopAt;
    };
    return fs;
}

struct Compared {
    std::vector<std::wstring> rows;  // "B:" / "C:" and the first cell, in table order
    int base = 0, comp = 0, diffs = 0;
};

Compared CompareTrees(const std::vector<File>& base, const std::vector<File>& comp, uint32_t bits) {
    FakeTree t;
    for (const File& f : base) t.Add(L"C:\\A\\", f);
    for (const File& f : comp) t.Add(L"D:\\B\\", f);
    const CompareFs fs = FsOf(t);
    std::vector<CompareRow> rows;
    Compared c;
    c.base = CompareFillSide(fs, L"C:\\A\\", CompareSide::Base, bits, Settings{}, rows);
    c.comp = CompareFillSide(fs, L"D:\\B\\", CompareSide::Comp, bits, Settings{}, rows);
    c.diffs = CompareRemoveEqualPairs(rows, kText, fs);
    for (const CompareRow& r : rows)
        c.rows.push_back((CompareSideOf(r.located) == CompareSide::Base ? L"B:" : L"C:") + r.file);
    return c;
}

constexpr uint32_t kSub = CompareFlag::ScanSubfolders, kHide = CompareFlag::HideDates;

TEST(ComparePairWalk, LeavesExactlyTheDifferences) {
    struct Case {
        const char* what;
        std::vector<File> base, comp;
        uint32_t bits;
        std::vector<std::wstring> rows;
        int diffs;
    } cases[] = {
        {"same files", {{L"a.mp3", 100, 0}, {L"b.mp3", 200, 5}},
         {{L"b.mp3", 200, 5}, {L"a.mp3", 100, 0}}, 0, {}, 0},
        {"only left", {{L"a.mp3", 100, 0}, {L"x.mp3", 1, 0}}, {{L"a.mp3", 100, 0}}, 0,
         {L"B:x.mp3"}, 1},
        {"other size", {{L"a.mp3", 100, 0}}, {{L"a.mp3", 5 << 20, 0}}, 0,
         {L"B:a.mp3", L"C:a.mp3"}, 2},
        // The date tolerance of the walk itself is checked by the e2e compare test.
        {"two hours, dates hidden", {{L"a.mp3", 100, 0}}, {{L"a.mp3", 100, 120}}, kHide, {}, 0},
        {"case differs", {{L"A.mp3", 100, 0}}, {{L"a.mp3", 100, 0}}, 0,
         {L"C:a.mp3", L"B:A.mp3"}, 2},
        {"sub-folder not scanned", {{L"s\\a.mp3", 1, 0}}, {{L"s\\b.mp3", 1, 0}}, 0, {}, 0},
        {"sub-folders paired by relative path",
         {{L"s\\a.mp3", 1, 0}, {L"s\\t\\c.mp3", 3, 0}, {L"a.mp3", 1, 0}},
         {{L"s\\a.mp3", 1, 0}, {L"s\\t\\c.mp3", 3, 0}, {L"t\\a.mp3", 1, 0}}, kSub,
         {L"B:a.mp3", L"C:t\\a.mp3"}, 2},
    };
    for (const Case& c : cases) {
        const Compared got = CompareTrees(c.base, c.comp, c.bits);
        EXPECT_EQ(got.rows, c.rows) << c.what;
        EXPECT_EQ(got.diffs, c.diffs) << c.what;
    }
    const Compared sub = CompareTrees({{L"s\\t\\a.mp3", 1, 0}, {L"b", 1, 0}}, {}, kSub);
    EXPECT_EQ(sub.base, 2);
    EXPECT_EQ(CompareTrees({{L"s\\t\\a.mp3", 1, 0}, {L"b", 1, 0}}, {}, 0).base, 1);
}

TEST(ComparePairWalk, RowCellsNameTheirFolder) {
    FakeTree t;
    t.Add(L"C:\\Music\\Albums\\", {L"sub\\a.mp3", 1536, 7});
    std::vector<CompareRow> rows;
    Settings kb;
    kb.list_style = ListStyle::SizeInKb;
    ASSERT_EQ(CompareFillSide(FsOf(t), L"C:\\Music\\Albums\\", CompareSide::Comp, kSub, kb, rows),
              1);
    EXPECT_EQ(rows[0].file, L"sub\\a.mp3");
    EXPECT_EQ(rows[0].size, L"1 KB");
    EXPECT_EQ(rows[0].date, L"2024-03-10 12:07");
    EXPECT_EQ(rows[0].located, L"Comp    C:\\Music\\Albums\\...");  // 16 of "...\\sub\\"
}

TEST(CompareDates, ToleranceIsAboutAnHour) {
    FakeTree t;
    const CompareFs fs = FsOf(t);
    struct Case {
        const wchar_t *a, *b;
        bool match;
    } cases[] = {
        {L"2024-03-10 12:00", L"2024-03-10 13:04", true},   // 64 min: always equal
        {L"2024-03-10 12:00", L"2024-03-10 13:20", false},  // 80 min: always differ
        {L"2024-03-10 13:20", L"2024-03-10 12:00", false},
        // Without a zone, 12:00 lies early in its 2^32 x 100 ns unit: 13:15 is 10 units on
        // (the last that matches), 13:16 is 11.
        {L"2024-03-10 12:00", L"2024-03-10 13:15", true},
        {L"2024-03-10 13:16", L"2024-03-10 12:00", false},
        {L"2024-03-10 12:00", L"2024-03-09 12:00", false},
        {L"2024-03-10 12:00", L"garbage", false},
        {L" ", L" ", true},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareDatesMatch(c.a, c.b, fs), c.match) << c.a << c.b;
}

TEST(CompareSiblings, PrevAndNextStepOverSortedSubfolders) {
    struct Case {
        const wchar_t* path;
        std::vector<std::wstring> siblings;
        bool next;
        CompareStep step;
        const wchar_t* out;
    } cases[] = {
        {L"C:\\M\\b", {L"c", L"a", L"b"}, true, CompareStep::Moved, L"C:\\M\\c"},
        {L"C:\\M\\b", {L"c", L"a", L"b"}, false, CompareStep::Moved, L"C:\\M\\a"},
        {L"C:\\M\\c", {L"c", L"a", L"b"}, true, CompareStep::AtEnd, L""},
        {L"C:\\M\\a", {L"C", L"a", L"B"}, false, CompareStep::AtEnd, L""},
        {L"C:\\M\\a", {L"C", L"a", L"B"}, true, CompareStep::Moved, L"C:\\M\\B"},
        {L"C:\\M\\gone", {L"a"}, true, CompareStep::NotFound, L""},
        {L"C:\\M\\", {L"a"}, true, CompareStep::NotFound, L""},
        {L"C:", {L"a"}, true, CompareStep::NoBackslash, L""},
    };
    for (Case& c : cases) {
        std::wstring out;
        EXPECT_EQ(CompareSiblingStep(c.path, c.siblings, c.next, kText, out), c.step) << c.path;
        EXPECT_EQ(out, c.out) << c.path;
    }
    EXPECT_EQ(CompareParentOf(L"C:\\M\\b"), L"C:\\M\\");
}

TEST(CompareTable, ColoursFollowTheSideAndTheRow) {
    struct Case {
        const wchar_t* located;
        int row;
        bool dark;
        uint32_t text, back;
    } cases[] = {
        {L"Base     C:\\...", 0, false, 0x0000FF, 0xFFFFFF},
        {L"Comp    D:\\...", 1, false, 0xFF0000, 0xF0F0F0},
        {L"", 2, true, 0x808080, 0xE0E0E0},
        {L"Comp    D:\\...", 3, true, 0xFF0000, 0xF0F0F0},
    };
    for (const Case& c : cases) {
        const CompareColours got = CompareRowColours(c.located, c.row, c.dark);
        EXPECT_EQ(got.text, c.text) << c.row;
        EXPECT_EQ(got.back, c.back) << c.row;
    }
}

TEST(CompareTable, HeaderClicksChooseMethodAndDirection) {
    struct Step {
        int column;
        uint8_t byte;
    } steps[] = {{0, 1}, {0, 9}, {0, 1}, {2, 12}, {2, 4}, {1, 2}, {3, 3}, {3, 11}, {2, 12}};
    uint8_t byte = 0;
    for (const Step& s : steps) {
        byte = CompareHeaderClick(byte, s.column);
        EXPECT_EQ(byte, s.byte) << s.column;
    }
    const CompareRow small{L"b.mp3", L"9.00 MB", L"2024-01-01 00:00", L"Comp    X"};
    const CompareRow big{L"a.mp3", L"10.00 MB", L"2023-01-01 00:00", L"Base     X"};
    // Sizes right-aligned: 9 MB before 10 MB; dates descending: the newer first; by side:
    // Base before Comp.
    EXPECT_LT(CompareSortRows(2, small, big, kText), 0);
    EXPECT_LT(CompareSortRows(12, small, big, kText), 0);
    EXPECT_GT(CompareSortRows(3, small, big, kText), 0);
    EXPECT_GT(CompareSortRows(1, small, big, kText), 0);
}

TEST(CompareMenuModel, MasksEnableTheItems) {
    const std::wstring none = L"0", program = L"0C:\\Tools\\edit.exe", other = L"1C:\\x.exe";
    const std::wstring* noPrograms[3] = {&none, &none, &none};
    const std::wstring* programs[3] = {&none, &program, &other};
    struct Case {
        int mask, selected;
        const wchar_t* copyText;
        std::set<unsigned> enabled;
    } cases[] = {
        {1, 1, L"Copy to Comp", {851, 852, 853, 854, 858, 861}},
        {2, 2, L"Copy to Base", {851, 852, 853, 859}},
        {3, 2, L"Copy to ...", {860}},
        {3, 3, L"Copy to ...", {}},
        {4, 1, L"Copy to ...", {}},
        {5, 2, L"Copy to ...", {}},
    };
    for (const Case& c : cases) {
        std::set<unsigned> enabled;
        const Menu m = CompareMenu(c.mask, c.selected, noPrograms);
        for (const MenuItem& i : m)
            if (i.kind == MenuItem::Command && !i.greyed) enabled.insert(i.id);
        EXPECT_EQ(enabled, c.enabled) << c.mask << " " << c.selected;
        EXPECT_EQ(m.front().text, c.copyText);
        EXPECT_EQ(m.back().id, kCmpEasyRenamer);
    }
    EXPECT_EQ(CompareMenu(1, 1, noPrograms).size(), 10u);
    const Menu withPrograms = CompareMenu(1, 1, programs);
    ASSERT_EQ(withPrograms.size(), 12u);  // a separator and the one program with option "0"
    EXPECT_EQ(withPrograms[5].kind, MenuItem::Separator);
    EXPECT_EQ(withPrograms[6].id, 856u);
    EXPECT_EQ(withPrograms[6].text, L"edit.exe");
    EXPECT_EQ(CompareSelectionMask({L"Base     x", L"Comp    y", L"a"}), 7);
}

TEST(CompareQuestions, NameTheActionAndFolders) {
    EXPECT_EQ(CompareQuestion(CompareAction::Copy, L"C:\\A\\", L"D:\\B\\", true),
              L"Copy the selected file(s)\n\nfrom C:\\A\\\n\nto D:\\B\\\nand corresponding "
              L"subfolders ?");
    EXPECT_EQ(CompareQuestion(CompareAction::Move, L"C:\\A\\", L"D:\\B\\", false),
              L"Move the selected file(s)\n\nfrom C:\\A\\\n\nto D:\\B\\ ?");
    EXPECT_EQ(CompareQuestion(CompareAction::Delete, L"C:\\A\\", L"D:\\B\\", true),
              L"Delete the selected file(s)\n\nfrom C:\\A\\ ?");
    EXPECT_EQ(CompareNameDateTarget(L"D:\\B\\s\\old.mp3", L"C:\\A\\s\\new.mp3"),
              L"D:\\B\\s\\new.mp3");
}

// Files by path; copies fail for paths named in failCopy, renames fail across "drives".
struct FakeFiles {
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders, failCopy;
};

CompareFileFs FileFsOf(FakeFiles& f) {
    CompareFileFs fs;
    fs.ctx = &f;
    fs.exists = [](void* c, const std::wstring& p) {
        return static_cast<FakeFiles*>(c)->files.count(p) > 0;
    };
    fs.makeFolders = [](void* c, const std::wstring& p) {
        static_cast<FakeFiles*>(c)->folders.insert(p);
        return true;
    };
    fs.copyNew = [](void* c, const std::wstring& from, const std::wstring& to) {
        FakeFiles& f = *static_cast<FakeFiles*>(c);
        if (f.files.count(to) || !f.files.count(from)) return false;
        if (f.failCopy.count(to)) {
            f.files[to] = "part";  // a half-written file, as a full disk leaves it
            return false;
        }
        f.files[to] = f.files[from];
        return true;
    };
    fs.rename = [](void* c, const std::wstring& from, const std::wstring& to, bool replace) {
        FakeFiles& f = *static_cast<FakeFiles*>(c);
        if (from[0] != to[0] || !f.files.count(from) || (!replace && f.files.count(to)))
            return false;
        f.files[to] = f.files[from];
        f.files.erase(from);
        return true;
    };
    fs.remove = [](void* c, const std::wstring& p) {
        return static_cast<FakeFiles*>(c)->files.erase(p) > 0;
    };
    return fs;
}

TEST(CompareTransfer, ReplacesOnlyWithACompleteCopy) {
    FakeFiles f;
    f.files = {{L"C:\\a", "new a"}, {L"C:\\b", "new b"}, {L"C:\\s\\c", "c"},
               {L"D:\\a", "old a"}, {L"D:\\b", "old b"}};
    f.failCopy = {CompareTempName(L"D:\\b")};
    const int failed = CompareTransfer({L"C:\\a", L"C:\\b", L"C:\\s\\c"},
                                       {L"D:\\a", L"D:\\b", L"D:\\s\\c"}, false, FileFsOf(f));
    EXPECT_EQ(failed, 1);
    const std::map<std::wstring, std::string> want = {
        {L"C:\\a", "new a"}, {L"C:\\b", "new b"}, {L"C:\\s\\c", "c"},
        {L"D:\\a", "new a"}, {L"D:\\b", "old b"}, {L"D:\\s\\c", "c"}};
    EXPECT_EQ(f.files, want);  // b kept whole, no temporary left
    EXPECT_TRUE(f.folders.count(L"D:\\s"));
}

TEST(CompareTransfer, MovesRenameOrCopyThenRemove) {
    FakeFiles f;
    f.files = {{L"C:\\a", "a"}, {L"C:\\b", "b"}, {L"E:\\b", "old"}, {L"C:\\x", "x"}};
    f.failCopy = {CompareTempName(L"D:\\x")};
    EXPECT_EQ(CompareTransfer({L"C:\\a", L"C:\\b", L"C:\\x"}, {L"C:\\s\\a", L"E:\\b", L"D:\\x"},
                              true, FileFsOf(f)),
              1);
    const std::map<std::wstring, std::string> want = {
        {L"C:\\s\\a", "a"}, {L"E:\\b", "b"}, {L"C:\\x", "x"}};
    // x: the half-written copy is gone and its source kept.
    EXPECT_EQ(f.files, want);
}

TEST(ComparePairWalk, ProgressCanStopTheFill) {
    for (size_t stopAt : {1u, 3u, 0u}) {
        FakeTree t;
        t.stopAt = stopAt;
        for (const wchar_t* p : {L"a\\1", L"b\\2", L"c\\3", L"4"}) t.Add(L"C:\\A\\", {p, 1, 0});
        std::vector<CompareRow> rows;
        const int got =
            CompareFillSide(FsOf(t, true), L"C:\\A\\", CompareSide::Base, kSub, Settings{}, rows);
        if (stopAt == 0) {
            EXPECT_EQ(got, 4);
            EXPECT_EQ(t.reports, (std::vector<int>{1, 2, 3, 4}));  // after each of four folders
        } else {
            EXPECT_EQ(got, -1) << stopAt;
            EXPECT_EQ(t.reports.size(), stopAt);  // not asked again after it said stop
        }
    }
}

}  // namespace
