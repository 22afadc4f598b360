#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tags/id3.h"

namespace {

struct Record {
    Id3Tags info;
    ~Record() { Id3FreeTags(info, nullptr); }
    std::wstring Text(int slot) const {
        return info.tagText[slot] ? info.tagText[slot] : L"<null>";
    }
};

// An ID3v1 tag with fields padded as their writer pads them (pad byte given).
std::string V1(const std::string& title, const std::string& artist, const std::string& comment,
               char pad = '\0') {
    std::string raw = "TAG";
    auto field = [&](const std::string& s, size_t n) {
        raw += (s + std::string(n, pad)).substr(0, n);
    };
    field(title, 30);
    field(artist, 30);
    field("Album", 30);
    field("1987", 4);
    field(comment, 30);
    raw += '\x0C';  // genre
    return raw;
}

void ParseRaw(Record& r, const std::string& raw, Id3AnsiDecoder ansi = nullptr) {
    std::memcpy(r.info.id3v1Raw, raw.data(), 128);
    EXPECT_EQ(Id3v1Parse(r.info, ansi), 1);
}

// (How the 128 bytes are read, a 30-byte comment and a missing "TAG" among them, is shared with
// the tag editor and checked in id3v1_edit_test.cpp.)
TEST(Id3v1, FieldsTrackAndPadding) {
    struct Case {
        const char* name;
        std::string raw;
        std::wstring title, comment, track;
    } cases[] = {
        {"v1.1 track 7", V1("Song", "Band", std::string(28, 'c') + '\0' + '\x07'), L"Song",
         std::wstring(28, L'c'), L"7"},
        {"space padding is cut; 30 spaces leave no title", V1("", "Band", "Hi  ", ' '), L"<null>",
         L"Hi", L"<null>"},
        {"track 200 is unsigned", V1("Song", "Band", std::string(29, '\0') + '\xC8'), L"Song",
         L"<null>", L"200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Record r;
        ParseRaw(r, c.raw);
        EXPECT_EQ(r.Text(kTagTitle), c.title);
        EXPECT_EQ(r.Text(kTagComment), c.comment);
        EXPECT_EQ(r.Text(kTagTrack), c.track);
        EXPECT_EQ(r.Text(kTagArtist), L"Band");
        EXPECT_EQ(r.Text(kTagAlbum), L"Album");
        EXPECT_EQ(r.Text(kTagYear), L"1987");
    }
}

// A stand-in code page that marks what it converted.
std::wstring Marked(std::string_view s) {
    std::wstring out = L"<";
    for (char c : s) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out + L">";
}

TEST(Id3v1, CompletesOnlyEmptySlotsThroughTheCodePage) {
    Record r;
    wchar_t title[] = L"From v2";
    r.info.tagText[kTagTitle] = new wchar_t[8];
    std::wmemcpy(r.info.tagText[kTagTitle], title, 8);
    ParseRaw(r, V1("Song", "Caf\xE9", "c"), Marked);
    EXPECT_EQ(r.Text(kTagTitle), L"From v2");
    EXPECT_EQ(r.Text(kTagArtist), L"<Caf\xE9>");

    Record cp1252;
    ParseRaw(cp1252, V1("Song", "Caf\xE9 \x80", "c"));
    EXPECT_EQ(cp1252.Text(kTagArtist), L"Caf\u00e9 \u20ac");
}

}  // namespace
