#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "tags/id3v1_edit.h"

namespace {

std::string Raw(const uint8_t* tag) { return std::string(reinterpret_cast<const char*>(tag), 128); }

// Fields past their room are cut, never spilled into the next; the comment loses its last two
// bytes to a track; a tag with nothing entered (an unknown genre is none) is reported as empty.
TEST(Id3v1Edit, BuildPlacesFieldsAndTrack) {
    const std::string t40(40, 't'), c30(30, 'c'), z29(29, '\0'), z30(30, '\0'),
        z94(94, '\0');
    struct Case {
        const char* name;
        Id3v1Fields in;
        std::string head;     // bytes 3..96: title, artist, album, year (NUL padded)
        std::string comment;  // bytes 97.. as written (30 bytes, NUL padded)
        uint8_t b125, b126, genre;
        bool something;
    } cases[] = {
        {"30-char comment, no track: written whole", {"T", "A", "B", "1999", c30, 0, ""},
         "T" + z29 + "A" + z29 + "B" + z29 + "1999", c30, 'c', 'c', 255, true},
        {"track 7 cuts the comment to 28", {"", "", "", "", c30, 7, "Rock"}, z94,
         std::string(28, 'c') + '\0' + '\x07', 0, 7, 17, true},
        {"track 255, short comment", {"", "", "", "", "hi", 255, "Pop"}, z94,
         "hi" + std::string(27, '\0') + '\xFF', 0, 255, 13, true},
        {"track out of range counts as none", {"", "", "", "", "x", 300, ""}, z94, "x" + z29, 0, 0,
         255, true},
        {"long fields are cut", {t40, t40, t40, "199999", "", 0, ""},
         std::string(90, 't') + "1999", z30, 0, 0, 255, true},
        {"nothing entered", {}, z94, z30, 0, 0, 255, false},
        {"genre 0 is a genre", {"", "", "", "", "", 0, "Blues"}, z94, z30, 0, 0, 0, true},
        {"track alone", {"", "", "", "", "", 1, ""}, z94, z29 + '\x01', 0, 1, 255, true},
        {"unknown genre is none", {"", "", "", "", "", 0, "No Such Genre"}, z94, z30, 0, 0,
         255, false},
        {"year 0", {"", "", "", "0", "", 0, ""}, z94.substr(4) + std::string("0\0\0\0", 4), z30, 0, 0,
         255, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t tag[128];
        EXPECT_EQ(Id3v1Build(c.in, tag), c.something);
        const std::string raw = Raw(tag);
        EXPECT_EQ(raw.substr(0, 3), "TAG");
        EXPECT_EQ(raw.substr(3, 94), c.head);
        EXPECT_EQ(raw.substr(97, 30), c.comment);
        EXPECT_EQ(tag[125], c.b125);
        EXPECT_EQ(tag[126], c.b126);
        EXPECT_EQ(tag[127], c.genre);
    }
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
    uint8_t tagA[128];
    Id3v1Build({"A", "", "", "", "", 0, ""}, tagA);
    struct Case {
        const char* name;
        std::string before;
        const uint8_t* tag;
        bool fail;
        std::string after;
        bool ok;
    } cases[] = {
        // (Appending, replacing and removing a tag on a real file: tests/win.)
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
