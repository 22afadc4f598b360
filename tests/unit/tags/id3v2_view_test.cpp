#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/id3_frames.h"
#include "tags/id3v2_view.h"

namespace {

Id3v2View View(const std::string& tag) {
    return Id3v2BuildView(reinterpret_cast<const uint8_t*>(tag.data()), tag.size(),
                          static_cast<uint32_t>(tag.size()));
}

// "ID<tab>line|line" for each shown frame, joined by ";".
std::string Shown(const Id3v2View& v) {
    std::string out;
    for (const Id3v2ViewFrame& f : v.frames) {
        if (!out.empty()) out += ";";
        out += f.id + "\t";
        for (size_t i = 0; i < f.lines.size(); ++i) out += (i ? "|" : "") + f.lines[i];
    }
    return out;
}

TEST(Id3v2View, FrameFilterAndTextStart) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const char* name;
        int version;
        std::string frames;
        std::string shown;
    } cases[] = {
        {"text, comment, lyrics, link", 3,
         Frame(3, "TIT2", std::string("\0Song", 5)) + Frame(3, "COMM", std::string("\0engHi!", 7)) +
             Frame(3, "USLT", std::string("\0engla la", 9)) + Frame(3, "WXXX", "http://x.example"),
         "TIT2\tSong;COMM\tHi!;USLT\tla la;WXXX\thttp://x.example"},
        {"TXXX skips its description", 4, Frame(4, "TXXX", std::string("\0desc\0value", 11)),
         "TXXX\tvalue"},
        {"UTF-8 mark is skipped", 4, Frame(4, "TPE1", std::string("\3") + bom + "Band"), "TPE1\tBand"},
        {"other frames are not shown", 3,
         Frame(3, "PRIV", "owner data") + Frame(3, "GEOB", "object..") + Frame(3, "TALB", std::string("\0Alb", 4)),
         "TALB\tAlb"},
        {"sizes below 4 are not shown", 3, Frame(3, "TIT2", std::string("\0ab", 3)) + Frame(3, "TYER", std::string("\0" "1999", 5)),
         "TYER\t1999"},
        {"version 2: 3-character ids", 2,
         Frame(2, "TT2", std::string("\0Old", 4)) + Frame(2, "COM", std::string("\0engNote", 8)) +
             Frame(2, "ULT", std::string("\0engWords", 9)),
         "TT2\tOld;COM\tNote;ULT\tWords"},
        {"breaks after the third byte, CR LF is one", 3,
         Frame(3, "COMM", std::string("\0eng", 4) + "a\nbcd\r\nef\rg\n"),
         "COMM\tabcd|ef|g|"},
        {"control and top bytes dropped", 3, Frame(3, "TIT2", std::string("\0A\x01" "B\xFE\xFF" "C\xE9", 8)),
         "TIT2\tABC\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2View v = View(Tag(c.version, c.frames));
        EXPECT_EQ(v.version, c.version);
        EXPECT_EQ(Shown(v), c.shown);
    }
}

TEST(Id3v2View, SyncsafeSizesOnlyInVersion4) {
    // Size bytes 00 00 01 00 are 128 when syncsafe (version 4) and 256 as a plain number
    // (version 3): each version finds a different next frame in the same bytes.
    std::string body = std::string(128, 'x') + Frame(4, "TALB", std::string("\0Four", 5));
    body += std::string(256 - body.size(), 'y');
    const std::string frames = "PRIV" + Be(256, 4) + std::string(2, '\0') + body +
                               Frame(3, "TIT2", std::string("\0Three", 6));
    EXPECT_EQ(Shown(View(Tag(4, frames))), "TALB\tFour");
    EXPECT_EQ(Shown(View(Tag(3, frames))), "TIT2\tThree");
}

TEST(Id3v2View, PictureSizeAndTruncatedTags) {
    const std::string pic = Frame(3, "APIC", std::string(5000, 'p'));
    const Id3v2View v = View(Tag(3, Frame(3, "TIT2", std::string("\0S1", 3) + "x") + pic));
    EXPECT_EQ(v.pictureSize, 4990u);
    EXPECT_EQ(Shown(v), "TIT2\tS1x");

    // Only part of a big tag was read: a frame beyond the bytes present is not shown.
    const std::string tag = Tag(3, Frame(3, "TIT2", std::string("\0First", 6)) +
                                       Frame(3, "TALB", std::string("\0") + std::string(500, 'a')));
    const auto* bytes = reinterpret_cast<const uint8_t*>(tag.data());
    const Id3v2View cut = Id3v2BuildView(bytes, 40, static_cast<uint32_t>(tag.size()));
    EXPECT_EQ(Shown(cut), "TIT2\tFirst");

    EXPECT_EQ(Id3v2BuildView(bytes, tag.size(), 0).version, 0);
    EXPECT_TRUE(Id3v2BuildView(bytes, tag.size(), 20).frames.empty());
}

TEST(Id3v2View, TextRoomIsLimited) {
    std::string frames;
    for (int i = 0; i < 10; ++i) frames += Frame(3, "TXT" + std::to_string(i), std::string("\0", 1) + std::string(2000, 'a' + i));
    const Id3v2View v = View(Tag(3, frames));
    size_t chars = 0;
    for (const Id3v2ViewFrame& f : v.frames) chars += f.lines[0].size();
    EXPECT_EQ(v.frames.size(), 4u);  // four of 2,000 fit into 9,900
    EXPECT_LE(chars, 9900u);
}

TEST(Id3v2View, RtfEscapesTagTextAndSumsUp) {
    const std::string tag = Tag(3, Frame(3, "TIT2", std::string("\0{\\rtf evil}\xE9", 14)) +
                                       Frame(3, "APIC", std::string(3000, 'p')));
    const std::string rtf = Id3v2ViewRtf(View(tag));
    EXPECT_NE(rtf.find("ID3v2.3 raw strings"), std::string::npos);
    EXPECT_NE(rtf.find("\\{\\\\rtf evil\\}\\'e9"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Tag size: 3 KB, picture: 2 KB"), std::string::npos) << rtf;
    // Braces balance: the tag's own braces cannot close the document early.
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') { ++i; continue; }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, i + 1 == rtf.size() ? 0 : 1) << i;
    }
    EXPECT_EQ(depth, 0);
    EXPECT_NE(Id3v2ViewRtf(Id3v2View{}).find("No ID3v2 tag"), std::string::npos);
}

TEST(Id3v2View, TagSizeFromHeader) {
    struct Case {
        const char* name;
        std::string head;
        uint32_t size;
    } cases[] = {
        {"v3, syncsafe 257", std::string("ID3\3\0\0\0\0\2\1", 10), 257 + 10},
        {"v4 with a footer", std::string("ID3\4\0\x10\0\0\0\x7F", 10), 127 + 20},
        {"footer flag means nothing in v3", std::string("ID3\3\0\x10\0\0\0\x7F", 10), 127 + 10},
        {"largest", std::string("ID3\4\0\0\x7F\x7F\x7F\x7F", 10), 0x0FFFFFFF + 10},
        {"not syncsafe", std::string("ID3\3\0\0\0\0\x80\0", 10), 0},
        {"version 5", std::string("ID3\5\0\0\0\0\1\0", 10), 0},
        {"no tag", std::string("ID2\3\0\0\0\0\1\0", 10), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Id3v2TagSize(reinterpret_cast<const uint8_t*>(c.head.data())), c.size) << c.name;
}

}  // namespace
