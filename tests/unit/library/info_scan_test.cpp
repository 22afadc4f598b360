// The info scan: the texts of each info kind, the length of an MPEG file from its audio bytes,
// and the walk over fake rows (skipped rows, plug-in and BASS answers, stopping, the finish).
#include "library/info_scan.h"

#include <gtest/gtest.h>

#include <map>

namespace {
Settings WithInfo(uint32_t infoRow, int32_t stylez = 0) {
    Settings s;
    s.info_row = static_cast<int32_t>(infoRow);
    s.stylez = stylez;
    return s;
}

InfoFacts Mpeg() {
    InfoFacts f;
    f.lengthMs = 245000;
    f.bitrateBps = 96000;
    f.sampleRate = 44100;
    f.channelMode = 2;
    f.id3v2 = true;
    f.artist = L"Art";
    f.title = L"Song";
    f.album = L"Alb";
    return f;
}

// A list of rows: size cells and paths ("" = a navigation row); each path's facts by type.
struct Rows {
    std::vector<std::wstring> size, path, info;
    std::map<std::wstring, int> pluginMs;
    std::vector<int> setRows;
    std::atomic<bool>* stopAfterFirst = nullptr;
    int finishes = 0;
    bool lengthHeader = false, resort = false;
};
InfoScanOps OpsOf(Rows& r, bool withBass) {
    InfoScanOps o;
    o.ctx = &r;
    o.sizeCell = [](void* c, int row) { return static_cast<Rows*>(c)->size[row]; };
    o.rowPath = [](void* c, int row, std::wstring& p) {
        p = static_cast<Rows*>(c)->path[row];
        return !p.empty();
    };
    o.kind = [](void*, const std::wstring& p) { return p.find(L".mp3") != p.npos ? 1 : 2; };
    o.scanMpeg = [](void*, const std::wstring& p, bool, InfoFacts& f) {
        if (p.find(L"bad") != p.npos) return false;
        f = Mpeg();
        return true;
    };
    o.pluginLengthMs = [](void* c, const std::wstring& p) {
        auto& m = static_cast<Rows*>(c)->pluginMs;
        return m.count(p) ? m[p] : 0;
    };
    if (withBass)
        o.bassScan = [](void*, const std::wstring& p, InfoFacts& f) {
            if (p.find(L".ogg") == p.npos) return false;
            f.lengthMs = 61000;
            f.bitrateBps = 160000;
            f.sampleRate = 48000;
            f.channelMode = 1;
            return true;
        };
    o.setRow = [](void* c, int row, const std::wstring* size, const std::wstring* info) {
        auto* r = static_cast<Rows*>(c);
        if (size) r->size[row] = *size;
        if (info) r->info[row] = *info;
        r->setRows.push_back(row);
        if (r->stopAfterFirst) r->stopAfterFirst->store(true);
    };
    o.finish = [](void* c, bool header, bool resort) {
        auto* r = static_cast<Rows*>(c);
        ++r->finishes;
        r->lengthHeader = header;
        r->resort = resort;
    };
    return o;
}
}  // namespace

TEST(InfoScan, CellTextByKind) {
    InfoFacts noTags = Mpeg();
    noTags.artist = noTags.title = noTags.album = L"";
    InfoFacts albumOnly = noTags;
    albumOnly.album = L"Alb";
    InfoFacts bassMono = Mpeg();
    bassMono.fromBass = true;
    bassMono.channelMode = 4;
    InfoFacts bassStereo = bassMono;
    bassStereo.channelMode = 1;
    const struct {
        uint32_t infoRow;
        InfoFacts f;
        const wchar_t* want;  // null: no text
    } cases[] = {
        {0x400 | 80, Mpeg(), L"096"},
        {0x1000 | 80, Mpeg(), L"4'05"},
        {0x1400 | 80, Mpeg(), L"096, 44, JS"},
        {0x1400 | 80, bassMono, L"096, 44, M "},
        {0x1400 | 9, bassStereo, L"096, 44, S"},
        {0x1800 | 80, Mpeg(), L"096, ID3v2"},
        {0x800 | 80, Mpeg(), L"Art - Song"},
        {0x800 | 80, noTags, nullptr},
        {0x1C00 | 80, albumOnly, L"Alb"},
        {0xC00 | 80, Mpeg(), nullptr},
        {0x2000 | 80, Mpeg(), nullptr},  // notes are not the scan's
        {0x400, Mpeg(), nullptr},        // no info column
    };
    for (const auto& c : cases) {
        const auto t = InfoCellText(c.infoRow, c.f, WithInfo(c.infoRow));
        if (!c.want) EXPECT_FALSE(t.has_value()) << std::hex << c.infoRow;
        else EXPECT_EQ(t.value_or(L"<none>"), c.want) << std::hex << c.infoRow;
    }
}

TEST(InfoScan, MpegLengthFromAudioBytesOnly) {
    // Four minutes at 128 kbit/s after a 10000-byte tag.
    EXPECT_EQ(ScanLengthMs(10000 + 240 * 16000, 10000, 128000), 240000u);
    EXPECT_EQ(ScanLengthMs(500, 1000, 128000), 0u);
    EXPECT_EQ(ScanLengthMs(50000, 0, 0), 0u);
}

TEST(InfoScan, WalkFillsOnlyUnscannedTrackRows) {
    Rows r;
    r.size = {L"1.00 MB", L"3:10", L"", L"1.00 MB", L"1.00 MB", L"1.00 MB", L"1.00 MB"};
    r.path = {L"a.mp3", L"b.mp3", L"", L"c.wav", L"d.ogg", L"e.xyz", L"bad.mp3"};
    r.info.assign(r.size.size(), L"-");
    r.pluginMs[L"c.wav"] = 1500;
    const Settings s = WithInfo(0x1400 | 50, 1);  // colon minutes: "3:10" counts as scanned
    std::atomic<bool> stop{false};
    EXPECT_EQ(RunInfoScan(OpsOf(r, true), 7, s, true, 2, stop), 3);
    EXPECT_EQ(r.size, (std::vector<std::wstring>{L"4:05", L"3:10", L"", L"0:01", L"1:01",
                                                 L"1.00 MB", L"1.00 MB"}));
    EXPECT_EQ(r.info, (std::vector<std::wstring>{L"096, 44, JS", L"-", L"-", L"-", L"160, 48, S",
                                                 L"-", L"-"}));
    EXPECT_EQ(r.finishes, 1);
    EXPECT_TRUE(r.lengthHeader);
    EXPECT_TRUE(r.resort);
}

TEST(InfoScan, KeepSizeWithoutBassAndResortRule) {
    Rows r;
    r.size = {L"2 KB", L"3 KB"};
    r.path = {L"a.mp3", L"d.ogg"};
    r.info.assign(2, L"-");
    std::atomic<bool> stop{false};
    const uint32_t infoRow = kInfoRowNoLength | 0x400 | 40;
    EXPECT_EQ(RunInfoScan(OpsOf(r, false), 2, WithInfo(infoRow), true, 1, stop), 1);
    EXPECT_EQ(r.size, (std::vector<std::wstring>{L"2 KB", L"3 KB"}));
    EXPECT_EQ(r.info, (std::vector<std::wstring>{L"096", L"-"}));
    EXPECT_FALSE(r.lengthHeader);  // the header keeps "Size"
    EXPECT_FALSE(r.resort);        // method 1 (name) does not depend on the cells
}

TEST(InfoScan, StopsBetweenRowsWithoutFinishing) {
    Rows r;
    r.size.assign(5, L"1 KB");
    r.path.assign(5, L"a.mp3");
    r.info.assign(5, L"");
    std::atomic<bool> stop{false};
    r.stopAfterFirst = &stop;
    EXPECT_EQ(RunInfoScan(OpsOf(r, true), 5, WithInfo(0), true, 2, stop), 1);
    EXPECT_EQ(r.setRows, std::vector<int>{0});
    EXPECT_EQ(r.finishes, 0);
}
