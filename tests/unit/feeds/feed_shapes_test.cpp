// The reducer over the feed files the local test server serves (tests/e2e/data/feeds): each
// shape found in the wild, with the channel block worked out by hand from the scan's rules.
// cdata.xml and utf8_plain.xml are compared after a real download by the Big view's end-to-end
// test.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "feeds/rss.h"

namespace {

std::string Feed(const char* name) {
    std::ifstream in(std::string(ZUVO_FEED_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Item(const std::string& title, const std::string& description,
                 const std::string& link = "") {
    std::string s = "<item>\r\n" + title + "\r\n";
    if (!description.empty()) {
        s += description + "\r\n";
        if (!link.empty()) s += link + "\r\n";
        s += "</item>\r\n";
    }
    return s;
}

TEST(RssFeedShapes, ChannelBlockOfEachFile) {
    const std::string bigItem = "<description>" + std::string(337, 'x') + "</description>";
    std::string big = "<channel>\r\n" + Item("<title>Big</title>", "");
    for (int i = 0; i < 249; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "<title>Item %03d</title>", i);
        big += Item(title, bigItem);
    }
    big += Item("<title>Item 249</title>", "") + "</channel>\r\n";  // its description was cut
    const struct {
        const char* file;
        std::string block;
    } cases[] = {
        // "ISO-8859-1" has "-8" at its fourth and fifth characters: its bytes pass unconverted.
        {"latin1.xml",
         "<channel>\r\n" +
             Item("<title>Bergdorf Bote</title>",
                  "<description>Gr\xfc\xdf"
                  "e</description>") +
             Item("<title>M\xe4rz im Tal</title>", "<description>K\xe4se</description>") +
             "</channel>\r\n"},
        // windows-1252 is converted through the code page (the native fallback is 1252).
        {"cp1252.xml", "<channel>\r\n" +
                           Item("<title>Price \xe2\x82\xac"
                                "5</title>",
                                "<description>\xe2\x80\x9cquoted\xe2\x80\x9d</description>") +
                           "</channel>\r\n"},
        {"utf8_bom.xml", "<channel>\r\n" +
                             Item("<title>\xe6\x97\xa5\xe5\xa0\xb1 Daily</title>",
                                  "<description>\xc3\xa9t\xc3\xa9</description>") +
                             Item("<title>Zw\xc3\xb6lf</title>", "<description>ok</description>") +
                             "</channel>\r\n"},
        // Atom: titles only; links without "</link" and summaries are not scanned.
        {"atom.xml", "<channel>\r\n" + Item("<title type=\"text\">Valley Atom Log</title>", "") +
                         Item("<title>Bridge repaired</title>", "") +
                         Item("<title>Market day</title>", "") + "</channel>\r\n"},
        {"big.xml", big},
        // The scan ends at a title without its end.
        {"truncated.xml", "<channel>\r\n" +
                              Item("<title>Cut Short</title>", "<description>first</description>") +
                              Item("<title>Whole item</title>", "<description>fine</description>") +
                              "</channel>\r\n"},
        {"error.html",
         "<channel>\r\n" + Item("<title>502 Bad Gateway</title>", "") + "</channel>\r\n"},
    };
    const CodePage cp{};
    for (const auto& c : cases) {
        const std::string source = Feed(c.file);
        ASSERT_FALSE(source.empty()) << c.file;
        // What a download keeps of the feed.
        EXPECT_EQ(RssChannelBlock(source.substr(0, kRssDownloadLimit), 999, cp), c.block) << c.file;
    }
    EXPECT_GT(Feed("big.xml").size(), 100000u);
}

}  // namespace
