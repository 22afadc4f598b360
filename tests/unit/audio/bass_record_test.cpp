// Recording a stream: the file names, the MPEG frame hold-back, and whole recordings through an
// in-memory sink with title changes, a failing file and "No track separation".
#include "audio/bass_record.h"

#include <gtest/gtest.h>

#include <map>

#include "audio/bass_core.h"

namespace {
struct Files {
    std::map<std::wstring, std::vector<uint8_t>> data;
    std::wstring failing;  // a path that cannot be opened
};
RecordSink SinkOf(Files& f) {
    RecordSink s;
    s.ctx = &f;
    s.append = [](void* ctx, const std::wstring& path, const uint8_t* d, size_t n,
                  uint64_t* size) {
        auto* files = static_cast<Files*>(ctx);
        if (path == files->failing) return false;
        auto& v = files->data[path];
        v.insert(v.end(), d, d + n);
        *size = v.size();
        return true;
    };
    return s;
}
// An MPEG-like stream: frames of `len` bytes, each starting FF FB, filled with a byte that never
// starts a frame.
std::vector<uint8_t> Frames(size_t count, size_t len) {
    std::vector<uint8_t> v;
    for (size_t i = 0; i < count; ++i) {
        v.push_back(0xFF);
        v.push_back(0xFB);
        v.insert(v.end(), len - 2, 0x11);
    }
    return v;
}
}  // namespace

TEST(Recording, FileNames) {
    const struct {
        const wchar_t *station, *title;
        uint32_t ctype;
        const wchar_t* want;
    } cases[] = {
        {L"", L"AC/DC: Who? Me", BassCtype::Mp3, L"D:\\rec\\AC DC  Who  Me.mp3"},
        {L"A very long station name indeed", L"x", BassCtype::Ogg,
         L"D:\\rec\\[A very long station ] x.ogg"},
        {L"R|1", L"<a>*\"b\"\\;\t", BassCtype::Wma, L"D:\\rec\\[R 1]  a   b    .wma"},
        {L"", L"t", BassCtype::Aac, L"D:\\rec\\t.aac"},
        {L"", L"t", BassCtype::Mp4, L"D:\\rec\\t.aac"},
        {L"", L"t", 0x50000, L"D:\\rec\\t.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordingFileName(L"D:\\rec\\", c.station, c.title, c.ctype), c.want);
}

TEST(Recording, LastFrameStart) {
    const struct {
        std::vector<uint8_t> buf;
        size_t want;
    } cases[] = {
        {{0x11, 0xFF, 0xE0, 0x22, 0x33}, 1},
        {{0xFF, 0xE0, 0x11, 0xFF, 0xFB, 0x22}, 3},
        {{0x11, 0x22, 0xFF, 0xFB}, 2},        // two bytes before the end is the first candidate
        {{0x11, 0x22, 0x33, 0xFF}, 4},        // a last FF has no second byte: none
        {{0xFF, 0xDF, 0x11}, 3},              // top three bits of the second byte not all set
        {{0xFF}, 1},
        {{}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(LastFrameStart(c.buf.data(), c.buf.size()), c.want);
    std::vector<uint8_t> far(2000, 0x11);
    far[100] = 0xFF;
    far[101] = 0xFB;
    EXPECT_EQ(LastFrameStart(far.data(), far.size()), far.size());  // beyond the 1792-byte search
    far[2000 - 2 - 1792] = 0xFF;
    far[2000 - 2 - 1791] = 0xE0;
    EXPECT_EQ(LastFrameStart(far.data(), far.size()), 2000u - 2 - 1792);
}

TEST(Recording, EachTitleFileStartsWithAWholeFrame) {
    Files files;
    Recorder r;
    RecordStart(r, L"C:\\r\\", L"2026-12-07 15:00", BassCtype::Mp3, false);
    const std::vector<uint8_t> stream = Frames(2200, 417);
    const wchar_t* titles[] = {L"One", L"Two", L"Three"};
    size_t fed = 0;
    for (int t = 0; t < 3; ++t) {
        for (size_t i = 0; i < 300; ++i, fed += 1000)  // 300 blocks of 1000 bytes per title
            ASSERT_TRUE(RecordFeed(r, stream.data() + fed, 1000, L"St", titles[t], SinkOf(files)));
    }
    ASSERT_TRUE(RecordFinish(r, L"St", L"Three", SinkOf(files)));
    EXPECT_FALSE(r.on);
    size_t total = 0;
    for (const auto& [path, bytes] : files.data) {
        EXPECT_EQ(path.rfind(L"C:\\r\\[St] ", 0), 0u);
        ASSERT_GE(bytes.size(), 2u);
        if (path != L"C:\\r\\[St] One.mp3") {  // the first file starts where the stream did
            EXPECT_EQ(bytes[0], 0xFF) << path.c_str();
            EXPECT_EQ(bytes[1], 0xFB);
        }
        total += bytes.size();
    }
    EXPECT_EQ(files.data.size(), 3u);
    EXPECT_EQ(total, fed);  // nothing lost, nothing doubled
    EXPECT_EQ(r.last.fileSize, files.data[L"C:\\r\\[St] Three.mp3"].size());
}

TEST(Recording, NoSeparationAndFailures) {
    Files files;
    Recorder r;
    RecordStart(r, L"C:\\r\\", L"2026-12-07 15:00", BassCtype::Ogg, true);
    std::vector<uint8_t> block(60000, 0x22);  // no frame start: nothing is held back
    ASSERT_TRUE(RecordFeed(r, block.data(), block.size(), L"", L"A", SinkOf(files)));
    ASSERT_TRUE(RecordFeed(r, block.data(), block.size(), L"", L"B", SinkOf(files)));
    const std::vector<uint8_t> big(250000, 0x33);  // more than the buffer holds at once
    ASSERT_TRUE(RecordFeed(r, big.data(), big.size(), L"", L"C", SinkOf(files)));
    ASSERT_TRUE(RecordFinish(r, L"", L"D", SinkOf(files)));
    ASSERT_EQ(files.data.size(), 1u);
    EXPECT_EQ(files.data.begin()->first, L"C:\\r\\2026-12-07 15 00.ogg");
    EXPECT_EQ(files.data.begin()->second.size(), 2 * block.size() + big.size());

    Files bad;
    bad.failing = L"C:\\r\\X.mp3";
    RecordStart(r, L"C:\\r\\", L"", BassCtype::Mp3, false);
    EXPECT_TRUE(RecordFeed(r, block.data(), block.size(), L"", L"X", SinkOf(bad)));
    EXPECT_FALSE(RecordFeed(r, block.data(), block.size(), L"", L"X", SinkOf(bad)));
    EXPECT_FALSE(r.on);
    EXPECT_FALSE(r.last.ok);
    EXPECT_EQ(r.last.path, bad.failing);
    EXPECT_TRUE(RecordFeed(r, block.data(), block.size(), L"", L"X", SinkOf(bad)));  // off: ignored
    EXPECT_TRUE(bad.data.empty());
}
