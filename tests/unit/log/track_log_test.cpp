#include "log/track_log.h"

#include <gtest/gtest.h>

#include "base/utf.h"

namespace {

constexpr uint32_t kMin = 60000;

PendingLog Started(uint32_t lengthMs, uint32_t startMs = 0, const wchar_t* path = L"C:\\m\\a.mp3") {
    PendingLog p;
    LogTrackStart(p, startMs, lengthMs, 1000, path, L"Art", L"Alb", L"Tit", L"3");
    return p;
}

const LogLeaveContext kOn{true, false, false};

TEST(TrackLog, WriteRuleAtItsBoundaries) {
    struct Case {
        uint32_t length, start, leftAt;
        LogLeave want;
    } cases[] = {
        {29999, 0, 29999, LogLeave::TooShort},  // never, however long it played
        {30000, 0, 15000, LogLeave::Write},  // half of the shortest length that counts
        {30000, 0, 14999, LogLeave::NotEnough},
        {10 * kMin, 0, 4 * kMin, LogLeave::Write},             // 4:00 of a long track
        {10 * kMin, 0, 4 * kMin - 1, LogLeave::NotEnough},     // 239 999 ms is not more
        {6 * kMin, 0, 3 * kMin, LogLeave::Write},              // half of a 6-minute track
        {6 * kMin, 0, 3 * kMin - 1, LogLeave::NotEnough},
        {6 * kMin + 1, 0, 3 * kMin, LogLeave::Write},          // half rounded down
        {10 * kMin, 2 * kMin, 5 * kMin, LogLeave::NotEnough},  // played is end - start
        {10 * kMin, 5 * kMin, 2 * kMin, LogLeave::NotEnough},  // left before its start
    };
    for (const Case& c : cases) {
        PendingLog p = Started(c.length, c.start);
        EXPECT_EQ(LogTrackLeave(p, kOn, c.leftAt), c.want)
            << c.length << " from " << c.start << " left at " << c.leftAt;
        EXPECT_EQ(p.rec.end, c.leftAt);
    }
}

TEST(TrackLog, NothingIsDecidedWithoutLoggingOrForStreamsOrPendingRestarts) {
    for (LogLeaveContext c :
         {LogLeaveContext{false, false, false}, LogLeaveContext{true, true, false},
          LogLeaveContext{true, false, true}}) {
        PendingLog p = Started(10 * kMin);
        EXPECT_EQ(LogTrackLeave(p, c, 9 * kMin), LogLeave::Ignored);
        EXPECT_EQ(p.rec.end, 0);  // the record is left as it was
    }
    PendingLog written = Started(10 * kMin);
    LogWritten(written);
    EXPECT_EQ(LogTrackLeave(written, kOn, 9 * kMin), LogLeave::Ignored);
}

TEST(TrackLog, AResumeNearWhereItWasLeftContinuesTheRecord) {
    struct Case {
        uint32_t length, resumeAt;
        bool newRecord;
    } cases[] = {
        {5 * kMin, 100000, false},  // paused and resumed where it stopped
        {5 * kMin, 104999, false},  // within five seconds either way
        {5 * kMin, 95001, false},     {5 * kMin, 105000, true}, {5 * kMin, 95000, true},
        {5 * kMin + 1, 100000, true},  // another track (its length differs)
    };
    for (const Case& c : cases) {
        PendingLog p = Started(5 * kMin, 20000);
        LogTrackLeave(p, kOn, 100000);  // 80 s played: not written, still pending
        EXPECT_EQ(LogTrackStart(p, c.resumeAt, c.length, 2000, L"C:\\b.mp3", L"", L"", L"", L""),
                  c.newRecord)
            << c.resumeAt;
        EXPECT_EQ(p.rec.start, c.newRecord ? c.resumeAt : 20000);
        EXPECT_EQ(p.rec.time, c.newRecord ? 2000 : 1000);
    }
    // Continued, the played time adds up: the track is logged once it reaches half.
    PendingLog p = Started(5 * kMin, 0);
    EXPECT_EQ(LogTrackLeave(p, kOn, 100000), LogLeave::NotEnough);
    LogTrackStart(p, 100000, 5 * kMin, 2000, L"C:\\m\\a.mp3", L"", L"", L"", L"");
    EXPECT_EQ(LogTrackLeave(p, kOn, 150000), LogLeave::Write);
}

TEST(TrackLog, RecordBytesAndTagLimits) {
    PendingLog p;
    const std::wstring longTag(150, L'x');
    LogTrackStart(p, 1500, 200000, 1767225600, L"C:\\Music\\Ünï.mp3", longTag, L"Alb", L"",
                  L"1234567890");
    p.rec.end = 180000;
    const std::string bytes = LogRecordBytes(p.rec);
    EXPECT_EQ(bytes,
              WideToUtf16Le(L"C:\\Music\\Ünï.mp3\r\n" + std::wstring(99, L'x') +
                            L"\tAlb\t\t123456789\r\n200000\t1500\t180000\t1767225600\t \r\n\r\n"));
    const LogRead back = LogParse(bytes);
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.skipped, 0u);
    EXPECT_EQ(LogRecordBytes(back.records[0]), bytes);
}

std::string Record(int i) {
    LogRecord r;
    r.path =
        L"C:\\Music\\Folder " + std::to_wstring(i % 7) + L"\\Track " + std::to_wstring(i) + L".mp3";
    r.artist = L"Artist";
    r.title = L"Title " + std::to_wstring(i);
    r.length = 200000 + i;
    r.end = 150000;
    r.time = 1700000000 + i;
    return LogRecordBytes(r);
}

// A record of `path` with every other field empty or zero.
std::string PathRecord(const wchar_t* path) {
    LogRecord r;
    r.path = path;
    return LogRecordBytes(r);
}

TEST(TrackLog, ReaderKeepsEveryReadableRecordOfADamagedLog) {
    const std::string a = Record(1), b = Record(2), c = Record(3);
    const std::string bom = "\xFF\xFE";
    struct Case {
        const char* what;
        std::string bytes;
        size_t records, skipped;
    } cases[] = {
        {"whole", a + b + c, 3, 0},
        {"last record without its empty line", a + b.substr(0, b.size() - 4), 2, 0},
        {"cut inside a line, then appended to", a + b.substr(0, 30) + c, 2, 1},
        {"cut at an odd byte, then appended to", a + b.substr(0, 31) + c, 2, 1},
        {"cut at a line end, then appended to",
         a + b.substr(0, b.find(std::string("\n\0", 2)) + 2) + c, 2, 1},
        {"an odd byte shifts what follows", a + "\x01" + b + c, 3, 1},
        {"extra empty lines", a + WideToUtf16Le(L"\r\n\r\n") + b, 2, 0},
        {"not UTF-16 at all", "C:\\x.mp3\r\nA\tB\tC\t1\r\n1\t2\t3\t4\t \r\n\r\n", 0, 1},
        {"a number that is not one",
         a + WideToUtf16Le(L"C:\\y.mp3\r\n\t\t\t\r\n1\tx\t3\t4\t \r\n\r\n") + c, 2, 1},
        {"empty", "", 0, 0},
        {"two logs joined, the second with its mark", bom + a + bom + b, 2, 0},
        {"a path holding a control character",
         a + WideToUtf16Le(std::wstring(L"C:\\x") + L'\0' + L"y.mp3\r\n\t\t\t\r\n1\t2\t3\t4\t \r\n\r\n") + c,
         2, 1},
        {"damage ending in a mark where the drive letter belongs",
         a + WideToUtf16Le(L"junk\xFEFF:\\x.mp3\r\n\t\t\t\r\n1\t2\t3\t4\t \r\n\r\n"), 2, 1},
    };
    for (const Case& k : cases) {
        const LogRead r = LogParse(k.bytes);
        EXPECT_EQ(r.records.size(), k.records) << k.what;
        EXPECT_EQ(r.skipped, k.skipped) << k.what;
        // Whatever was read is written back as a record that reads again as itself.
        for (const LogRecord& rec : r.records) {
            const std::string again = LogRecordBytes(rec);
            const LogRead back = LogParse(again);
            ASSERT_EQ(back.records.size(), 1u) << k.what;
            EXPECT_EQ(back.skipped, 0u) << k.what;
            EXPECT_EQ(LogRecordBytes(back.records[0]), again) << k.what;
        }
    }
    // What is read is the records themselves, not look-alikes.
    for (const std::string& damaged : {a + "\x01" + b + c, a + b.substr(0, 31) + c, bom + a + bom + c}) {
        const LogRead r = LogParse(damaged);
        ASSERT_GE(r.records.size(), 2u);
        EXPECT_EQ(LogRecordBytes(r.records.front()), a);
        EXPECT_EQ(LogRecordBytes(r.records.back()), c);
    }
}

TEST(TrackLog, TrimmingKeepsAboutThreeQuartersFromARecordStart) {
    std::string log;
    for (int i = 0; log.size() < 103 * 1024; ++i) log += Record(i);
    std::string out;
    ASSERT_TRUE(LogTrimmed(log, 100, out));
    EXPECT_LE(out.size(), 75u * 1024);
    EXPECT_GT(out.size(), 75u * 1024 - Record(0).size() - 64);
    // It is the file's own tail, beginning where a record begins.
    EXPECT_EQ(log.substr(log.size() - out.size()), out);
    const LogRead kept = LogParse(out), all = LogParse(log);
    EXPECT_EQ(kept.skipped, 0u);
    EXPECT_EQ(LogRecordBytes(kept.records.front()),
              LogRecordBytes(all.records[all.records.size() - kept.records.size()]));

    EXPECT_FALSE(LogTrimmed(log, 0, out));    // no limit
    EXPECT_FALSE(LogTrimmed(log, 104, out));  // within the limit
    // A tail that holds no record end stays as it is.
    const std::string oneHuge = WideToUtf16Le(std::wstring(60 * 1024, L'x'));
    EXPECT_FALSE(LogTrimmed(oneHuge, 100, out));
}

TEST(TrackLog, RowTexts) {
    LogRecord r;
    r.path = L"C:\\Music\\A & B\\song.mp3";
    r.artist = L"Art";
    r.track = L"7";
    r.length = 3723000;  // 62:03
    r.start = 5000;
    r.end = 65999;
    const LogRowTexts row = LogRow(r, LocalTime{2026, 3, 4, 0, 9, 5, 7});
    const LogRowTexts want = {
        L"song.mp3", L"C:\\Music\\A & B", L"Art", L"", L"", L"7", L"62:03", L"0:05",
        L"1:00",     L"2026-03-04 09:05"};
    EXPECT_EQ(row, want);

    LogRecord bare = r;
    bare.path = L"noslash.mp3";
    const LogRowTexts b = LogRow(bare, LocalTime{});
    EXPECT_EQ(b[kLogColFile], L"noslash.mp3");
    EXPECT_EQ(b[kLogColPath], L"noslash.mp3");
}

TEST(TrackLog, SortingAndSearch) {
    auto plain = [](const std::wstring& a, const std::wstring& b) { return a.compare(b); };
    LogRowTexts a, b;
    a[kLogColLength] = L"9:59";
    b[kLogColLength] = L"10:00";
    a[kLogColTitle] = L"b";
    b[kLogColTitle] = L"a";
    EXPECT_LT(LogCompareRows(a, b, kLogColLength, plain), 0);  // as numbers, not as text
    EXPECT_GT(LogCompareRows(a, b, kLogColTitle, plain), 0);

    struct Click {
        int column;
        LogSort want;
    } clicks[] = {
        {kLogColDate, {kLogColDate, false}},  // the start is Date descending
        {kLogColDate, {kLogColDate, true}},
        {kLogColFile, {kLogColFile, false}},
        {kLogColFile, {kLogColFile, true}},
        {kLogColTitle, {kLogColTitle, false}},  // another column while descending: ascending
    };
    LogSort s;
    for (const Click& c : clicks) {
        s = LogSortAfterClick(s, c.column);
        EXPECT_EQ(s.column, c.want.column);
        EXPECT_EQ(s.descending, c.want.descending);
    }

    std::vector<LogRowTexts> table(4);
    table[1][kLogColArtist] = L"The Beatles";
    table[2][kLogColTrack] = L"beat";  // not a searched column
    table[3][kLogColPath] = L"C:\\BEATS";
    const std::vector<const LogRowTexts*> rows = {&table[0], &table[1], &table[2], &table[3]};
    EXPECT_EQ(LogFindRow(rows, 0, L"BEAT"), 1);
    EXPECT_EQ(LogFindRow(rows, 2, L"beat"), 3);
    EXPECT_EQ(LogFindRow(rows, 0, L"b"), -1);     // too short
    EXPECT_EQ(LogFindRow(rows, 4, L"beat"), -1);  // no wrapping around
}

TEST(TrackLog, HistoryListsEachPathOnceAtItsNewestPlace) {
    const auto rec = PathRecord;
    const std::string log = rec(L"C:\\A\\1.mp3") + rec(L"C:\\B\\2.mp3") + rec(L"C:\\A\\3.mp3") +
                            rec(L"C:\\A\\1.mp3") + rec(L"C:\\C\\4.mp3");
    EXPECT_EQ(LogHistoryTracks(log, 20),
              (std::vector<std::wstring>{L"C:\\C\\4.mp3", L"C:\\A\\1.mp3", L"C:\\A\\3.mp3",
                                         L"C:\\B\\2.mp3"}));
    EXPECT_EQ(LogHistoryTracks(log, 2).size(), 2u);
    EXPECT_EQ(LogHistoryFolders(log, 20, {L"C:\\A"}),
              (std::vector<std::wstring>{L"C:\\C", L"C:\\B"}));
    EXPECT_EQ(LogHistoryFolders(log, 20, {}),
              (std::vector<std::wstring>{L"C:\\C", L"C:\\A", L"C:\\B"}));

    // Only the last 64 KB count: an old path is forgotten, a cut first record is not misread.
    std::string big = rec(L"C:\\Old\\gone.mp3");
    while (big.size() < 70 * 1024) big += Record(static_cast<int>(big.size()));
    big += rec(L"C:\\New\\last.mp3");
    const auto tracks = LogHistoryTracks(big, 1000);
    EXPECT_EQ(tracks.front(), L"C:\\New\\last.mp3");
    EXPECT_EQ(std::count(tracks.begin(), tracks.end(), L"C:\\Old\\gone.mp3"), 0);
}

TEST(TrackLog, CleanupDropsVanishedFilesAndKeepsWhatItCannotRead) {
    const auto rec = PathRecord;
    auto exists = [](void*, const std::wstring& p) { return p.find(L"gone") == p.npos; };
    const std::string bad = WideToUtf16Le(L"C:\\gone\\x.mp3\r\nno tags\r\n\r\n");
    const std::string log = rec(L"C:\\a.mp3") + rec(L"C:\\gone\\1.mp3") + rec(L"C:\\b.mp3") + bad +
                            rec(L"C:\\gone\\2.mp3");
    const LogCleanup c = LogClean(log, exists, nullptr);
    EXPECT_EQ(c.invalid, 1);
    EXPECT_EQ(c.kept, rec(L"C:\\a.mp3") + rec(L"C:\\b.mp3") + bad + rec(L"C:\\gone\\2.mp3"));

    std::string many;
    for (int i = 0; i < 120; ++i) many += rec(L"C:\\a.mp3");
    std::vector<int> told;
    auto progress = [](void* ctx, int done) {
        static_cast<std::vector<int>*>(ctx)->push_back(done);
    };
    const LogCleanup all = LogClean(
        many, [](void*, const std::wstring&) { return true; }, &told, progress);
    EXPECT_EQ(all.kept, many);
    EXPECT_EQ(told, (std::vector<int>{50, 100}));
}

TEST(TrackLog, CountText) {
    EXPECT_EQ(LogCountText(0), L"0");
    EXPECT_EQ(LogCountText(999), L"999");
    EXPECT_EQ(LogCountText(1000), L"1 000");
    EXPECT_EQ(LogCountText(1234567), L"1 234 567");
}

}  // namespace
