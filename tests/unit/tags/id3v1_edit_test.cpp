#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "tags/id3v1_edit.h"

namespace {

std::string Raw(const uint8_t* tag) { return std::string(reinterpret_cast<const char*>(tag), 128); }

TEST(Id3v1Edit, BuildPlacesFieldsAndTrack) {
    struct Case {
        const char* name;
        Id3v1Fields in;
        std::string comment;  // bytes 97.. as written (30 bytes, NUL padded)
        uint8_t b125, b126, genre;
    } cases[] = {
        {"30-char comment, no track: written whole", {"T", "A", "B", "1999", std::string(30, 'c'), 0, ""},
         std::string(30, 'c'), 'c', 'c', 255},
        {"track 7 cuts the comment to 28", {"T", "A", "B", "1999", std::string(30, 'c'), 7, "Rock"},
         std::string(28, 'c') + '\0' + '\x07', 0, 7, 17},
        {"track 255, short comment", {"", "", "", "", "hi", 255, "Pop"},
         std::string("hi") + std::string(27, '\0') + '\xFF', 0, 255, 13},
        {"track out of range counts as none", {"", "", "", "", "x", 300, ""},
         std::string("x") + std::string(29, '\0'), 0, 0, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t tag[128];
        Id3v1Build(c.in, tag);
        const std::string raw = Raw(tag);
        EXPECT_EQ(raw.substr(0, 3), "TAG");
        EXPECT_EQ(raw.substr(97, 30), c.comment);
        EXPECT_EQ(tag[125], c.b125);
        EXPECT_EQ(tag[126], c.b126);
        EXPECT_EQ(tag[127], c.genre);
    }
}

TEST(Id3v1Edit, LongFieldsAreCutNotSpilled) {
    Id3v1Fields in{std::string(40, 't'), std::string(40, 'a'), std::string(40, 'b'), "199999", "", 0, ""};
    uint8_t tag[128];
    Id3v1Build(in, tag);
    const std::string raw = Raw(tag);
    EXPECT_EQ(raw.substr(3, 30), std::string(30, 't'));
    EXPECT_EQ(raw.substr(33, 30), std::string(30, 'a'));
    EXPECT_EQ(raw.substr(63, 30), std::string(30, 'b'));
    EXPECT_EQ(raw.substr(93, 4), "1999");
    EXPECT_EQ(raw.substr(97, 30), std::string(30, '\0'));
}

TEST(Id3v1Edit, NothingEnteredIsReported) {
    struct Case {
        Id3v1Fields in;
        bool something;
    } cases[] = {
        {{}, false},
        {{"", "", "", "", "", 0, "Blues"}, true},  // genre 0 is a genre
        {{"", "", "", "", "", 1, ""}, true},
        {{"", "", "", "", "", 0, "No Such Genre"}, false},
        {{"", "", "", "0", "", 0, ""}, true},
    };
    for (const Case& c : cases) {
        uint8_t tag[128];
        EXPECT_EQ(Id3v1Build(c.in, tag), c.something) << c.in.genre << "/" << c.in.track;
    }
}

TEST(Id3v1Edit, GenreNumberOfName) {
    struct Case {
        const char* name;
        int number;
    } cases[] = {
        {"Blues", 0},         {"Pop", 13},          {"Pop/Funk", 62},
        {"Funk", 5},          {"Christian Rap", 61}, {"Rap", 15},
        {"Psybient", 191},    {"Rock & Roll", 78},  {"rock", 255},
        {"", 255},            {"Roc", 255},         {"k/18.Techno", 255},
    };
    for (const Case& c : cases) EXPECT_EQ(Id3GenreNumber(c.name), c.number) << c.name;
}

TEST(Id3v1Edit, FieldsRoundTripThroughTheTag) {
    const Id3v1Fields cases[] = {
        {"Title", "Artist", "Album", "2001", "Comment", 12, "Trip-Hop"},
        {std::string(30, 'x'), "", "", "", std::string(30, 'y'), 0, ""},
        {"", "a", "", "", std::string(28, 'z'), 3, "Psybient"},
    };
    for (const Id3v1Fields& in : cases) {
        uint8_t tag[128];
        Id3v1Build(in, tag);
        Id3v1Fields out;
        ASSERT_TRUE(Id3v1ToFields(tag, out));
        EXPECT_EQ(std::tie(out.title, out.artist, out.album, out.year, out.comment, out.track,
                           out.genre),
                  std::tie(in.title, in.artist, in.album, in.year, in.comment, in.track, in.genre));
    }
}

TEST(Id3v1Edit, ReadingYearTrackAndGenre) {
    struct Case {
        const char* name;
        std::string year;
        uint8_t b125, b126, genre;
        std::string wantYear;
        int wantTrack;
        std::string wantGenre;
    } cases[] = {
        {"year 0000 is no year", "0000", 0, 0, 255, "", 0, ""},
        {"year with letters", "19x9", 0, 0, 255, "", 0, ""},
        {"byte 125 set: no track", "2000", 'c', 5, 0, "2000", 0, "Blues"},
        {"genre beyond the list", "2000", 0, 9, 200, "2000", 9, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t raw[128] = {'T', 'A', 'G'};
        std::memcpy(raw + 93, c.year.data(), 4);
        raw[125] = c.b125;
        raw[126] = c.b126;
        raw[127] = c.genre;
        Id3v1Fields out;
        ASSERT_TRUE(Id3v1ToFields(raw, out));
        EXPECT_EQ(out.year, c.wantYear);
        EXPECT_EQ(out.track, c.wantTrack);
        EXPECT_EQ(out.genre, c.wantGenre);
    }
    uint8_t untagged[128] = {'T', 'A', 'X', 'x'};
    Id3v1Fields out;
    out.title = "stale";
    EXPECT_FALSE(Id3v1ToFields(untagged, out));
    EXPECT_EQ(out.title, "");
}

// A file in memory whose writes can be made to fail.
struct MemFile {
    std::string bytes;
    bool failWrites = false;
    size_t writeLimit = SIZE_MAX;  // bytes a failing write still gets through

    Id3v1File Ops() {
        Id3v1File f;
        f.ctx = this;
        f.size = [](void* c, uint64_t& s) { s = static_cast<MemFile*>(c)->bytes.size(); return true; };
        f.readAt = [](void* c, uint64_t pos, uint8_t* buf, uint32_t len) {
            auto* m = static_cast<MemFile*>(c);
            if (pos + len > m->bytes.size()) return false;
            std::memcpy(buf, m->bytes.data() + pos, len);
            return true;
        };
        f.writeAt = [](void* c, uint64_t pos, const uint8_t* buf, uint32_t len) {
            auto* m = static_cast<MemFile*>(c);
            const size_t n = m->failWrites ? std::min<size_t>(len, m->writeLimit) : len;
            if (m->bytes.size() < pos + n) m->bytes.resize(pos + n);
            std::memcpy(&m->bytes[pos], buf, n);
            return !m->failWrites;
        };
        f.truncate = [](void* c, uint64_t size) {
            static_cast<MemFile*>(c)->bytes.resize(size);
            return true;
        };
        return f;
    }
};

TEST(Id3v1Edit, ApplyKeepsEveryAudioByte) {
    const std::string audio = std::string(1000, '\x55') + "TAGlike-but-not-at-the-end";
    uint8_t tagA[128], tagB[128];
    Id3v1Build({"A", "", "", "", "", 0, ""}, tagA);
    Id3v1Build({"B", "", "", "", "", 0, ""}, tagB);
    struct Case {
        const char* name;
        std::string before;
        const uint8_t* tag;
        bool fail;
        std::string after;
        bool ok;
    } cases[] = {
        {"append to an untagged file", audio, tagA, false, audio + Raw(tagA), true},
        {"replace, never a second tag", audio + Raw(tagA), tagB, false, audio + Raw(tagB), true},
        {"remove cuts exactly 128", audio + Raw(tagA), nullptr, false, audio, true},
        {"remove without a tag changes nothing", audio, nullptr, false, audio, true},
        {"failed append is cut back", audio, tagA, true, audio, false},
        {"short file gets a tag", "ab", tagA, false, "ab" + Raw(tagA), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemFile m;
        m.bytes = c.before;
        m.failWrites = c.fail;
        m.writeLimit = 50;
        EXPECT_EQ(Id3v1Apply(m.Ops(), c.tag), c.ok);
        EXPECT_EQ(m.bytes, c.after);
    }
}

}  // namespace
