#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwctype>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tools/finder.h"

namespace {

TEST(Finder, DatesRoundTripAndKnownFileTimes) {
    // 2000-01-01 00:00:00 is 125911584000000000 in 100-ns units since 1601.
    EXPECT_EQ(FileTimeOf(2000, 1, 1, 0, 0, 0), 125911584000000000ull);
    EXPECT_EQ(FileTimeOf(1601, 1, 1, 0, 0, 1), 10000000ull);
    const char* dates[] = {"1601-01-01", "1900-02-28", "2000-02-29", "2024-12-31", "2026-03-01"};
    for (const char* d : dates) {
        const std::wstring text(d, d + 10);
        int y, m, day;
        ASSERT_TRUE(FinderParseDate(text, y, m, day)) << d;
        EXPECT_EQ(FinderDateText(FileTimeOf(y, m, day, 23, 59, 59)), text);
    }
    const char* bad[] = {"2023-02-29", "1900-02-29", "2024-13-01", "2024-00-10",
                         "24-1-1",     "abcd-ef-gh", ""};
    for (const char* d : bad) {
        int y, m, day;
        EXPECT_FALSE(FinderParseDate(std::wstring(d, d + std::strlen(d)), y, m, day)) << d;
    }
}

TEST(Finder, QuickButtonsCountShortDays) {
    // A "day" is 201 x 2^32 x 100 ns = 86,330.4 s: 69.6 s short of a real day, so a year back
    // lands about 7 hours later than the same clock time.
    struct Case {
        int hour, days;
        const wchar_t* from;
    } cases[] = {
        {12, 7, L"2026-03-08"},
        {12, 30, L"2026-02-13"},
        {12, 365, L"2025-03-15"},
        {20, 365, L"2025-03-16"},  // 20:00 + 7 h passes midnight
        {0, 1, L"2026-03-14"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FinderQuickFrom(FileTimeOf(2026, 3, 15, c.hour, 0, 0), c.days), c.from)
            << c.hour << "h " << c.days;
    }
}

TEST(Finder, FilterFromFields) {
    FinderFilter f;
    ASSERT_TRUE(FinderBuildFilter(true, L"2026-03-01", L"2026-03-01", true, L"0", L"1024", f));
    // A size of 0 becomes 1: empty files are never found.
    EXPECT_EQ(std::tuple(f.dateLow, f.dateHigh, f.sizeLowKb, f.sizeHighKb),
              std::tuple(uint32_t(FileTimeOf(2026, 3, 1, 0, 0, 0) >> 32),
                         uint32_t(FileTimeOf(2026, 3, 1, 23, 59, 59) >> 32), 1u, 1024u));
    ASSERT_TRUE(FinderBuildFilter(false, L"junk", L"", false, L"x", L"", f));
    EXPECT_EQ(f.dateLow | f.dateHigh | f.sizeLowKb | f.sizeHighKb, 0u);
    EXPECT_FALSE(FinderBuildFilter(true, L"2026-02-30", L"2026-03-01", false, L"", L"", f));
    EXPECT_FALSE(FinderBuildFilter(false, L"", L"", true, L"10", L"99999999999", f));
}

TEST(Finder, TitlePatternTakes) {
    EXPECT_EQ(FinderTitle(L"C:\\"), L"C:\\");
    const std::wstring longRoot = L"C:\\" + std::wstring(43, L'a');  // 46 characters
    EXPECT_EQ(FinderTitle(longRoot), L"..." + longRoot.substr(1));
    EXPECT_EQ(FinderTitle(longRoot.substr(1)), longRoot.substr(1));

    EXPECT_EQ(FinderPattern(L"C:\\Music\\", L"love"), L"C:\\Music\\*love*");
    EXPECT_EQ(FinderPattern(L"C:\\Best LOVE songs\\", L"love"), L"C:\\Best LOVE songs\\*");
    EXPECT_EQ(FinderPattern(L"C:\\Music\\", L""), L"C:\\Music\\*");

    FinderQuery q;
    q.playable = "mp3;mp2;mpa;ogg;";
    q.ignoreLower = L"demo";
    q.filter = {100, 200, 1, 1024};
    const uint64_t inRange = uint64_t{150} << 32;
    struct Case {
        const char* name;
        FinderEntry e;
        bool take;
        std::wstring folder = L"c:\\m\\";
    } cases[] = {
        {"plain hit", {L"a.mp3", 0, 5000, inRange}, true},
        {"ogg is playable too", {L"a.OGG", 0, 5000, inRange}, true},
        {"not playable", {L"a.txt", 0, 5000, inRange}, false},
        {"hidden", {L"a.mp3", kFinderHidden, 5000, inRange}, false},
        {"system", {L"a.mp3", kFinderSystem, 5000, inRange}, false},
        {"folder named like a track", {L"a.mp3", kFinderFolder, 0, inRange}, false},
        {"before the dates", {L"a.mp3", 0, 5000, uint64_t{99} << 32}, false},
        {"last unit of the range", {L"a.mp3", 0, 5000, (uint64_t{200} << 32) | 0xFFFFFFFF}, true},
        {"after the dates", {L"a.mp3", 0, 5000, uint64_t{201} << 32}, false},
        {"empty file under <1M", {L"a.mp3", 0, 0, inRange}, false},
        {"one byte under 1 KB", {L"a.mp3", 0, 1023, inRange}, false},
        {"1 KB exactly", {L"a.mp3", 0, 1024, inRange}, true},
        {"1024 KB exactly", {L"a.mp3", 0, 1024 * 1024, inRange}, true},
        {"one byte over", {L"a.mp3", 0, 1024 * 1024 + 1, inRange}, false},
        {"ignored in the name, any case", {L"My DEMO.mp3", 0, 5000, inRange}, false},
        {"ignored in the folder", {L"a.mp3", 0, 5000, inRange}, false, L"c:\\demos\\x\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(FinderTakes(q, c.folder, c.e), c.take) << c.name;
}

// A tree in memory: folder path (ending "\") -> entries. The listing honours "*" and "*x*"
// patterns ignoring case, as the system's does; it can raise the stop flag on a given folder.
struct Tree {
    std::map<std::wstring, std::vector<FinderEntry>> folders;
    std::vector<std::wstring> listed;
    std::wstring stopAt;
    std::atomic<bool>* stop = nullptr;

    static std::wstring Lower(std::wstring s) {
        for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
        return s;
    }
    FinderFs Ops() {
        FinderFs fs;
        fs.ctx = this;
        fs.list = [](void* c, const std::wstring& pattern, std::vector<FinderEntry>& out) {
            auto* t = static_cast<Tree*>(c);
            const size_t slash = pattern.rfind(L'\\');
            const std::wstring folder = pattern.substr(0, slash + 1);
            std::wstring part = pattern.substr(slash + 1);
            part.erase(std::remove(part.begin(), part.end(), L'*'), part.end());
            t->listed.push_back(pattern);
            if (folder == t->stopAt && t->stop) *t->stop = true;
            for (const FinderEntry& e : t->folders[folder])
                if (Lower(e.name).find(Lower(part)) != std::wstring::npos) out.push_back(e);
        };
        return fs;
    }
};

std::vector<std::wstring> Walk(Tree& t, FinderQuery q, std::atomic<bool>& stop,
                               uint64_t* count = nullptr) {
    std::vector<std::wstring> found;
    FinderSink sink;
    sink.ctx = &found;
    sink.found = [](void* c, const FinderEntry& e, const std::wstring& folder) {
        static_cast<std::vector<std::wstring>*>(c)->push_back(folder + L"|" + e.name);
    };
    const uint64_t n = FinderWalk(q, t.Ops(), sink, stop);
    if (count) *count = n;
    return found;
}

Tree SampleTree() {
    Tree t;
    const auto dir = [](const wchar_t* n, uint32_t attr = 0) {
        return FinderEntry{n, kFinderFolder | attr, 0, 0};
    };
    const auto file = [](const wchar_t* n) { return FinderEntry{n, 0, 4096, 0}; };
    t.folders[L"R:\\"] = {dir(L"Love Songs"), dir(L"Rock"), dir(L"$Hidden", kFinderHidden),
                         file(L"top love.mp3"), file(L"top.mp3")};
    t.folders[L"R:\\Love Songs\\"] = {file(L"one.mp3"), file(L"two.ogg"), file(L"cover.jpg")};
    t.folders[L"R:\\Rock\\"] = {dir(L"Demo"), file(L"lovely.mp3"), file(L"hard.mp3")};
    t.folders[L"R:\\Rock\\Demo\\"] = {file(L"love demo.mp3")};
    t.folders[L"R:\\$Hidden\\"] = {file(L"love.mp3")};
    return t;
}

TEST(Finder, WalkIsDepthFirstWithFolderMatches) {
    struct Case {
        const char* name;
        std::wstring text, ignore;
        std::vector<std::wstring> found;
        std::wstring stopAt = L"";  // the folder whose listing raises the stop flag
    } cases[] = {
        {"empty name: every playable file, subfolders first", L"", L"",
         {L"R:\\Love Songs|one.mp3", L"R:\\Love Songs|two.ogg", L"R:\\Rock\\Demo|love demo.mp3",
          L"R:\\Rock|lovely.mp3", L"R:\\Rock|hard.mp3", L"R:|top love.mp3", L"R:|top.mp3"}},
        {"a folder named after the text gives all its files", L"love", L"",
         {L"R:\\Love Songs|one.mp3", L"R:\\Love Songs|two.ogg", L"R:\\Rock\\Demo|love demo.mp3",
          L"R:\\Rock|lovely.mp3", L"R:|top love.mp3"}},
        {"ignore in a folder path excludes below it", L"love", L"demo",
         {L"R:\\Love Songs|one.mp3", L"R:\\Love Songs|two.ogg", L"R:\\Rock|lovely.mp3",
          L"R:|top love.mp3"}},
        // The folders before the stop keep their rows; nothing is listed after it.
        {"the stop flag ends the walk", L"", L"",
         {L"R:\\Love Songs|one.mp3", L"R:\\Love Songs|two.ogg"}, L"R:\\Rock\\Demo\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t = SampleTree();
        FinderQuery q;
        q.root = L"R:\\";
        q.name = c.text;
        q.ignoreLower = c.ignore;
        q.playable = "mp3;mp2;mpa;ogg;";
        std::atomic<bool> stop{false};
        t.stop = &stop;
        t.stopAt = c.stopAt;
        uint64_t count = 0;
        EXPECT_EQ(Walk(t, q, stop, &count), c.found);
        if (c.stopAt.empty()) {
            EXPECT_EQ(count, c.found.size());
        } else {
            EXPECT_EQ(t.listed.back(), c.stopAt + L"*");
        }
    }
}

TEST(Finder, SavedPosition) {
    struct Case {
        int x, y;
        bool saved;
    } cases[] = {{100, 200, true}, {-4999, -4999, true}, {-5000, 10, false}, {10, -6000, false},
                 {-1920, 0, true}, {27767, 60535, true}};
    for (const Case& c : cases) {
        int32_t saved = 0;
        ASSERT_EQ(FinderPositionTo(c.x, c.y, saved), c.saved) << c.x << "," << c.y;
        if (!c.saved) continue;
        int x = 0, y = 0;
        ASSERT_TRUE(FinderPositionFrom(saved, x, y));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
    int x, y;
    EXPECT_FALSE(FinderPositionFrom(0, x, y));
}

TEST(Finder, ProgressEveryEleventhFolder) {
    Tree t;
    for (int i = 0; i < 30; ++i) {
        const std::wstring name = L"d" + std::to_wstring(i);
        t.folders[L"R:\\"].push_back(FinderEntry{name, kFinderFolder, 0, 0});
        t.folders[L"R:\\" + name + L"\\"] = {FinderEntry{L"x.mp3", 0, 1, 0}};
    }
    FinderQuery q;
    q.root = L"R:\\";
    q.playable = "mp3;";
    std::vector<uint64_t> reports;
    FinderSink sink;
    sink.ctx = &reports;
    sink.progress = [](void* c, uint64_t n) {
        static_cast<std::vector<uint64_t>*>(c)->push_back(n);
    };
    std::atomic<bool> stop{false};
    EXPECT_EQ(FinderWalk(q, t.Ops(), sink, stop), 30u);
    EXPECT_EQ(reports, (std::vector<uint64_t>{11, 22}));
}

}  // namespace
