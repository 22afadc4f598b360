#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/byte_reader.h"
#include "base/utf.h"
#include "support/id3_frames.h"
#include "tags/id3.h"

namespace {

const auto Utf16Le = WideToUtf16Le;
std::string Utf16Be(const std::wstring& w) {
    std::string s = Utf16Le(w);
    for (size_t i = 0; i + 1 < s.size(); i += 2) std::swap(s[i], s[i + 1]);
    return s;
}

struct Parsed {
    Id3Tags info;
    ~Parsed() { Id3FreeTags(info, nullptr); }
    std::wstring Text(int slot) const {
        return info.tagText[slot] ? info.tagText[slot] : L"<null>";
    }
    std::string Picture() const {
        return std::string(reinterpret_cast<const char*>(info.pictureData), info.pictureSize);
    }
};

void Parse(Parsed& p, const std::string& tag, Id3Options opt = {}) {
    Id3v2Parse(p.info, reinterpret_cast<const uint8_t*>(tag.data()), tag.size(), opt);
}

TEST(Id3v2, TextEncodings) {
    const std::wstring zoe = L"Zo\u00eb";
    struct Case {
        const char* name;
        std::string body;
        std::wstring artist;
    } cases[] = {
        {"utf-16 little-endian mark", "\x01\xFF\xFE" + Utf16Le(zoe), zoe},
        {"utf-16 big-endian mark", "\x01\xFE\xFF" + Utf16Be(zoe), zoe},
        {"utf-16 with terminator", "\x01\xFF\xFE" + Utf16Le(zoe) + std::string(2, '\0'), zoe},
        {"utf-16 surrogate pair", "\x01\xFF\xFE" + Utf16Le(L"\U0001F3B5"), L"\U0001F3B5"},
        {"utf-16be without mark", "\x02" + Utf16Be(zoe), zoe},
        {"utf-8", "\x03Zo\xC3\xAB", zoe},
        {"iso-8859-1 via the code page", std::string("\x00Zo\xEB", 4), zoe},
        {"text ends at its nul", std::string("\0Abc\0junk", 9), L"Abc"},
        {"empty latin text is kept", std::string(1, '\0'), L""},
        {"utf-16 shorter than 4 bytes", "\x01\xFF\xFE", L"<null>"},
        {"utf-16be shorter than 4 bytes", "\x02\x00Z", L"<null>"},
        {"empty utf-8", "\x03", L"<null>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p;
        Parse(p, Tag(3, Frame(3, "TPE1", c.body)));
        EXPECT_EQ(p.Text(kTagArtist), c.artist);
    }
}

TEST(Id3v2, FramesOfEachVersionFillTheirSlotsFirstOneWins) {
    auto latin = [](const char* s) { return std::string(1, '\0') + s; };
    struct Case {
        int version;
        const char *artist, *album, *title, *track, *year;
    } cases[] = {
        {3, "TPE1", "TALB", "TIT2", "TRCK", "TYER"},
        {4, "TPE1", "TALB", "TIT2", "TRCK", "TDRC"},
        {2, "TP1", "TAL", "TT2", "TRK", "TYE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const int v = c.version;
        const std::string frames =
            Frame(v, c.title, latin("First")) + Frame(v, v == 2 ? "COM" : "COMM", latin("xx")) +
            Frame(v, c.artist, latin("Band")) + Frame(v, c.title, latin("Second")) +
            Frame(v, c.album, latin("Record")) + Frame(v, c.track, latin("3/12")) +
            Frame(v, c.year, latin("1999")) + Frame(v, c.artist, latin("Other band"));
        Parsed p;
        Parse(p, Tag(v, frames));
        EXPECT_EQ(p.Text(kTagTitle), L"First");
        EXPECT_EQ(p.Text(kTagArtist), L"Band");
        EXPECT_EQ(p.Text(kTagAlbum), L"Record");
        EXPECT_EQ(p.Text(kTagTrack), L"3/12");
        EXPECT_EQ(p.Text(kTagYear), L"1999");
        EXPECT_EQ(p.Text(kTagComment), L"<null>") << "comments come from ID3v1 only";
    }
}

// A 200-byte frame before the title: read with the wrong size rule, the title is lost.
TEST(Id3v2, SyncsafeSizesIn24PlainSizesIn23) {
    const std::string big = std::string(1, '\0') + std::string(199, 'a');
    for (int v : {3, 4}) {
        SCOPED_TRACE(v);
        Parsed p;
        Parse(p, Tag(v, Frame(v, "TALB", big) + Frame(v, "TIT2", std::string("\0Title", 6))));
        EXPECT_EQ(p.Text(kTagAlbum).size(), 199u);
        EXPECT_EQ(p.Text(kTagTitle), L"Title");
    }
}

TEST(Id3v2, WalkEndsAtZeroSizeOrOverlongFrame) {
    const std::string title = Frame(3, "TIT2", std::string("\0T", 2));
    const std::string artist = Frame(3, "TPE1", std::string("\0A", 2));
    std::string overlong = Frame(3, "TALB", std::string("\0B", 2));
    overlong.replace(4, 4, Be(5000, 4));
    struct Case {
        const char* name;
        std::string tag;
        bool artist;
    } cases[] = {
        {"zero size", Tag(3, title + "TALB" + std::string(6, '\0') + artist), false},
        {"size past the end", Tag(3, title + overlong + artist), false},
        {"unknown version", std::string("ID3\x05", 4) + Tag(3, title + artist).substr(4), false},
        {"nothing in the way", Tag(3, title + artist), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p;
        Parse(p, c.tag);
        EXPECT_EQ(p.Text(kTagArtist) == L"A", c.artist);
    }
}

TEST(Id3v2, LongTextsKeep499Characters) {
    Parsed p;
    Parse(p, Tag(3, Frame(3, "TIT2", std::string(1, '\0') + std::string(600, 'x'))));
    EXPECT_EQ(p.Text(kTagTitle), std::wstring(kId3MaxText, L'x'));
}

TEST(Id3v2, PictureBytesAfterTheFrameFields) {
    const std::string jpeg = std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10);
    struct Case {
        const char* name;
        int version;
        std::string body;
    } cases[] = {
        {"latin description", 3, std::string("\0image/jpeg\0\3Cover\0", 19) + jpeg},
        {"utf-16 description", 3,
         std::string("\x01image/png\0\x03\xFF\xFE", 14) + Utf16Le(L"C") + std::string(2, '\0') +
             jpeg},
        {"utf-16 empty description without mark", 4,
         std::string("\x01image/png\0\x03\0\0", 14) + jpeg},
        {"utf-16be description", 4,
         std::string("\x02image/png\0\x00", 12) + Utf16Be(L"Cv") + std::string(2, '\0') + jpeg},
        {"version 2 image format", 2, std::string("\0JPG\3d\0", 7) + jpeg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string id = c.version == 2 ? "PIC" : "APIC";
        const std::string second = Frame(c.version, id, std::string("\0a\0\0b", 5));
        const std::string tag = Tag(c.version, Frame(c.version, id, c.body) + second);
        Parsed p;
        Parse(p, tag);
        EXPECT_EQ(p.Picture(), jpeg) << "the first picture, without its header fields";
        Parsed off;
        Parse(off, tag, Id3Options{false, nullptr});
        EXPECT_EQ(off.info.pictureData, nullptr);
    }
}

// A file in memory that counts the bytes asked of it.
struct CountingFile {
    std::string bytes;
    uint64_t requested = 0;
    static int ReadAt(void* ctx, uint32_t offset, void* dst, int n) {
        auto* f = static_cast<CountingFile*>(ctx);
        f->requested += static_cast<uint64_t>(n);
        if (offset >= f->bytes.size()) return 0;
        const size_t count = std::min(static_cast<size_t>(n), f->bytes.size() - offset);
        std::memcpy(dst, f->bytes.data() + offset, count);
        return static_cast<int>(count);
    }
};

// Only a real tag is read, and only as far as its declared size, the audio start and the file
// allow: bytes before the audio that are no tag, or a header whose size is no syncsafe number,
// must not be walked as frames nor make the reader fetch (and allocate) the whole prefix.
TEST(Id3v2, ReadTakesOnlyARealTagWithinItsBounds) {
    const std::string title = Frame(3, "TIT2", std::string("\0T", 2));
    const std::string artist = Frame(3, "TPE1", std::string("\0A", 2));
    const std::string tag = Tag(3, title);
    const std::string noPadding =
        "ID3\x03" + std::string(2, '\0') + Syncsafe(static_cast<uint32_t>(title.size())) + title;
    std::string notSyncsafe = tag;
    notSyncsafe.replace(6, 4, "\x7F\xFF\xFF\xFF");
    const std::string big(8u << 20, '\x55');
    struct Case {
        const char* name;
        std::string file;
        uint32_t audioStart;  // 0: the file's size
        const wchar_t *title, *artist;
        uint64_t maxRequested;
    } cases[] = {
        {"a tag", tag + big, static_cast<uint32_t>(tag.size()), L"T", L"<null>", tag.size()},
        {"frames after the declared size are not the tag's", noPadding + artist + big, 0, L"T",
         L"<null>", noPadding.size()},
        {"no ID3 marker", "XYZ" + tag.substr(3) + big, 0, L"<null>", L"<null>", 10},
        {"size not syncsafe", notSyncsafe + big, 0, L"<null>", L"<null>", 10},
        {"version 5", "ID3\x05" + tag.substr(4) + big, 0, L"<null>", L"<null>", 10},
        {"declared size past the audio start", tag, 14, L"<null>", L"<null>", 14},
        {"declared size past the end of the file", tag.substr(0, 30), 0, L"T", L"<null>", 30},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingFile f{std::move(c.file)};
        const auto size = static_cast<uint32_t>(f.bytes.size());
        Parsed p;
        Id3v2Read(p.info, ByteReader{CountingFile::ReadAt, &f}, c.audioStart ? c.audioStart : size,
                  size, Id3Options{});
        EXPECT_EQ(p.Text(kTagTitle), c.title);
        EXPECT_EQ(p.Text(kTagArtist), c.artist);
        EXPECT_LE(f.requested, c.maxRequested);
    }
}

}  // namespace
