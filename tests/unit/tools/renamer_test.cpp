#include <gtest/gtest.h>

#include <map>

#include "tools/renamer.h"

namespace {

// A folder of files by path; renames refuse a taken or listed-as-bad target.
struct FakeFs {
    std::map<std::wstring, std::string> files;  // path -> modification date text
    std::wstring refuse;                        // a target name the file system rejects
    std::vector<std::wstring> order;            // old paths in the order they were touched
};

RenamerFs FsOf(FakeFs& f) {
    RenamerFs fs;
    fs.ctx = &f;
    fs.rename = [](void* ctx, const std::wstring& from, const std::wstring& to) {
        FakeFs& f = *static_cast<FakeFs*>(ctx);
        f.order.push_back(from);
        if (to == f.refuse || !f.files.count(from) || f.files.count(to)) return false;
        f.files[to] = f.files[from];
        f.files.erase(from);
        return true;
    };
    fs.setDate = [](void* ctx, const std::wstring& path, const DateFields& d, bool) {
        FakeFs& f = *static_cast<FakeFs*>(ctx);
        f.order.push_back(path);
        if (!f.files.count(path)) return 0;
        f.files[path] = DateBoxText(d);
        return 1;
    };
    return fs;
}

FakeFs Five() {
    FakeFs f;
    for (const wchar_t* n : {L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3", L"e.mp3"})
        f.files[std::wstring(L"C:\\M\\") + n] = "2020-01-01 00:00";
    return f;
}

const wchar_t kRef[] = L"a.mp3\r\nb.mp3\r\nc.mp3\r\nd.mp3\r\ne.mp3\r\n";
const char kDates[] =
    "2020-01-01 00:00\r\n2020-01-01 00:00\r\n2020-01-01 00:00\r\n"
    "2020-01-01 00:00\r\n2020-01-01 00:00\r\n";

}  // namespace

TEST(Renamer, NameRuns) {
    const std::vector<const wchar_t*> untouched = {L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3",
                                                   L"e.mp3"};
    struct Case {
        const char* what;
        const wchar_t* names;
        const char* dates;
        const wchar_t* refuse;
        RenamerResult result;
        std::vector<const wchar_t*> after;  // file names afterwards
        const wchar_t* failed;
    } cases[] = {
        {"third only", L"a.mp3\r\nb.mp3\r\nX.mp3\r\nd.mp3\r\ne.mp3\r\n", kDates, L"",
         RenamerResult::Done, {L"X.mp3", L"a.mp3", L"b.mp3", L"d.mp3", L"e.mp3"}, L""},
        {"case only", L"A.mp3\r\nb.mp3\r\nc.mp3\r\nd.mp3\r\ne.mp3\r\n", kDates, L"",
         RenamerResult::Done, {L"A.mp3", L"b.mp3", L"c.mp3", L"d.mp3", L"e.mp3"}, L""},
        {"empty line added", L"a.mp3\r\nb.mp3\r\nc.mp3\r\nd.mp3\r\nz.mp3\r\n\r\n", kDates,
         L"", RenamerResult::WrongNameCount, untouched, L""},
        {"line joined", L"a.mp3b.mp3\r\nc.mp3\r\nd.mp3\r\ne.mp3\r\n", kDates, L"",
         RenamerResult::WrongNameCount, untouched, L""},
        {"date line lost", L"v.mp3\r\nb.mp3\r\nc.mp3\r\nd.mp3\r\ne.mp3\r\n",
         "2020-01-01 00:00\r\n", L"", RenamerResult::WrongDateCount, untouched, L""},
        // From the last line up: e and d are renamed, b's bad name stops before a.
        {"bad name stops", L"v.mp3\r\nw?.mp3\r\nc.mp3\r\ny.mp3\r\nz.mp3\r\n", kDates,
         L"C:\\M\\w?.mp3", RenamerResult::RenameFailed,
         {L"a.mp3", L"b.mp3", L"c.mp3", L"y.mp3", L"z.mp3"}, L"C:\\M\\b.mp3"},
        {"swap onto a taken name", L"b.mp3\r\na.mp3\r\nc.mp3\r\nd.mp3\r\ne.mp3\r\n", kDates,
         L"", RenamerResult::RenameFailed, untouched, L"C:\\M\\b.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFs f = Five();
        f.refuse = c.refuse;
        RenamerRun run{L"C:\\M", kRef, c.names, c.dates};
        const RenamerOutcome out = RenamerExecute(run, FsOf(f));
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.failedPath, c.failed);
        std::vector<std::wstring> after;
        for (const auto& [path, date] : f.files) after.push_back(path.substr(5));
        EXPECT_EQ(after, std::vector<std::wstring>(c.after.begin(), c.after.end()));
        if (c.result == RenamerResult::WrongNameCount ||
            c.result == RenamerResult::WrongDateCount) {
            EXPECT_TRUE(f.order.empty());
        }
    }
}

TEST(Renamer, DateRuns) {
    struct Case {
        const char* what;
        const char *third, *fifth;  // the other date lines read 2001-02-03 04:05
        RenamerResult result;
        int changed;
        const char* lastDate;  // e.mp3's date afterwards
    } cases[] = {
        {"all lines", "2001-02-03 04:05", "2021-12-24 18:30", RenamerResult::Done, 5,
         "2021-12-24 18:30"},
        {"short line stops", "2001-2-03 04:05", "2021-12-24 18:30", RenamerResult::DateFailed, 2,
         "2021-12-24 18:30"},
        {"impossible month ends", "2001-02-03 04:05", "2021-13-24 18:30",
         RenamerResult::DateInvalid, 0, "2020-01-01 00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFs f = Five();
        const std::string other = "2001-02-03 04:05\r\n";
        const std::string dates = other + other + c.third + "\r\n" + other + c.fifth + "\r\n";
        RenamerRun run{L"C:\\M\\", kRef, L"q\r\nq\r\nq\r\nq\r\nq\r\n", dates, true};
        const RenamerOutcome out = RenamerExecute(run, FsOf(f));
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.changed, c.changed);
        EXPECT_EQ(f.files[L"C:\\M\\e.mp3"], c.lastDate);
        EXPECT_EQ(f.files.size(), 5u);  // names are never changed in this mode
        if (!f.order.empty()) {
            EXPECT_EQ(f.order.front(), L"C:\\M\\e.mp3");
        }
    }
}

// A list's selected rows or the compare table's lines: about 957 characters a line, so the tenth
// passes 9000 and no eleventh is added.
TEST(Renamer, FillStopsAtTheTextLimit) {
    TrackList list;
    list.kind = folderList;
    list.folder = L"C:\\M";
    std::vector<std::wstring> names, dates;
    const std::wstring longName(950, L'n');
    for (int i = 0; i < 20; ++i) {
        ListRow r;
        r.cell[0] = longName + std::to_wstring(i);
        r.cell[2] = L"mp3";
        r.cell[3] = L"2024-01-0" + std::to_wstring(i % 9 + 1) + L" 10:00";
        r.selected = i != 1;
        list.rows.push_back(r);
        names.push_back(L"sub\\" + r.cell[0]);
        dates.push_back(r.cell[3]);
    }
    const RenamerTexts t = RenamerFill(list, 3);
    EXPECT_EQ(t.rows, 10);
    EXPECT_EQ(EditLineCount(t.names), 11);
    EXPECT_EQ(EditLineCount(t.dates), 11);
    EXPECT_EQ(EditLine(t.names, 1), longName + L"2.mp3");  // row 1 is not selected
    EXPECT_EQ(EditLine(t.dates, 1), "2024-01-03 10:00");
    EXPECT_EQ(EditLine(t.names, 10), L"");
    const RenamerTexts c = RenamerFillLines(names, dates);  // sub-folders kept
    EXPECT_EQ(c.rows, 10);
    EXPECT_EQ(EditLine(c.names, 2), names[2]);
    EXPECT_EQ(EditLine(c.dates, 2), "2024-01-03 10:00");
    EXPECT_EQ(EditLineCount(c.dates), 11);
}
