// The RSS reader's rules: the plan string, the stamps, reducing a feed to its channel block, the
// title hand-out and the viewer's rich text.
#include <gtest/gtest.h>

#include "feeds/rss.h"

namespace {

LocalTime At(int y, int mo, int d, int h, int mi) {
    return LocalTime{y, mo, d, 0, h, mi, 0};
}

}  // namespace

TEST(RssPlan, ReadByPositionAndPlannedWrittenInPlace) {
    RssPlan p = ReadRssPlan("060,2124935234,004,http://a/x.xml https://b/y.rss");
    EXPECT_EQ(p.intervalMinutes, 60);
    EXPECT_EQ(p.planned, 2124935234u);
    EXPECT_EQ(p.maxAgeHours, 4);
    EXPECT_EQ(p.urls, (std::vector<std::string>{"http://a/x.xml", "https://b/y.rss"}));
    EXPECT_TRUE(ReadRssPlan("060,0000000000,004,").urls.empty());
    EXPECT_EQ(ReadRssPlan("12").intervalMinutes, 12);

    std::string s = "060,0000000000,004,http://a/x.xml";
    WriteRssPlanned(s, 2124935234u);
    EXPECT_EQ(s, "060,2124935234,004,http://a/x.xml");
    WriteRssPlanned(s, 7);
    EXPECT_EQ(s, "060,0000000007,004,http://a/x.xml");
    std::string shortOne = "030";
    WriteRssPlanned(shortOne, 5);
    EXPECT_EQ(shortOne, "030,0000000005,000,");
}

TEST(RssPlan, StampsCompareByTimeAndGiveTheirClock) {
    const uint32_t s = RssStamp(At(2026, 12, 7, 13, 45));
    EXPECT_EQ(RssStampHour(s), 13);
    EXPECT_EQ(RssStampMinute(s), 45);
    EXPECT_EQ(RssStampHour(s + 60), 14);
    EXPECT_LT(RssStamp(At(2026, 11, 30, 23, 59)), RssStamp(At(2026, 12, 1, 0, 0)));
    EXPECT_LT(RssStamp(At(2026, 12, 31, 23, 59)), RssStamp(At(2027, 1, 1, 0, 0)));
    // From 2048 on a stamp no longer fits a signed 32-bit number; it stays comparable.
    EXPECT_LT(RssStamp(At(2047, 12, 31, 23, 59)), RssStamp(At(2048, 1, 1, 0, 0)));
    std::string plan = "060,0000000000,004,";
    WriteRssPlanned(plan, RssStamp(At(2050, 6, 1, 12, 0)));
    EXPECT_EQ(ReadRssPlan(plan).planned, RssStamp(At(2050, 6, 1, 12, 0)));
    EXPECT_EQ(RssUpdateNowText(L"RSS update now (planned:", s), L"RSS update now (planned: 13:45)");

    RssPlan fourHours;
    fourHours.maxAgeHours = 4;
    EXPECT_TRUE(RssFileTooOld(fourHours, At(2026, 12, 7, 8, 0), At(2026, 12, 7, 13, 0)));
    EXPECT_FALSE(RssFileTooOld(fourHours, At(2026, 12, 7, 9, 0), At(2026, 12, 7, 13, 0)));
    EXPECT_FALSE(RssFileTooOld(RssPlan{}, At(2020, 1, 1, 0, 0), At(2026, 12, 7, 13, 0)));
}

TEST(RssBigTitle, ItemsPerFeed) {
    std::string t(40, 'x');
    const struct {
        char c;
        int items;
    } cases[] = {{'-', 999}, {'0', 3}, {'7', 10}, {'_', 50}};
    for (const auto& c : cases) {
        t[28] = c.c;
        EXPECT_EQ(RssItemsPerFeed(t), c.items) << c.c;
    }
    EXPECT_EQ(RssItemsPerFeed("short"), 999);
}

TEST(RssText, EntitiesDecodeOnceAndTheEncodingDeclaration) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"a &amp;lt; b", "a &lt; b"},  // decoded once
        {"&apos;&quot;&lt;&gt;&amp;", "'\"<>&"},
        {"AT&T &copy; &", "AT&T &copy; &"},
        {"&amp", "&amp"},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        RssDecodeEntities(s);
        EXPECT_EQ(s, c.out) << c.in;
    }
    EXPECT_TRUE(RssSourceIsUtf8("<rss>"));
    EXPECT_TRUE(RssSourceIsUtf8("<?xml version=\"1.0\"?><rss>"));
    EXPECT_TRUE(RssSourceIsUtf8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(RssSourceIsUtf8("<?xml version='1.0' encoding='utf-8'?>"));
    EXPECT_TRUE(RssSourceIsUtf8("<?xml encoding=\"ISO-8859-1\"?>"));  // "-8" at 4 and 5
    EXPECT_FALSE(RssSourceIsUtf8("<?xml version=\"1.0\" encoding=\"windows-1252\"?>"));
    EXPECT_FALSE(RssSourceIsUtf8("<?xml encoding=\"UTF8\"?>"));
}

TEST(RssChannel, ItemsOfAFeed) {
    const std::string feed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel>"
        "<title>News</title><link>http://n/</link><description>All &amp;amp; more</description>"
        "<item><title type=\"t\">One &lt;b&gt;</title><link>http://n/1?a=1&amp;b=2</link>"
        "<description>First</description></item>"
        "<item><title><![CDATA[Two]]></title><description>" +
        std::string(3000, 'x') +
        "</description></item>"
        "<item><title>Three</title><link>http://n/3<description>no end"
        "</item></channel></rss>";
    const CodePage cp{};
    EXPECT_EQ(RssChannelBlock(feed, 999, cp),
              "<channel>\r\n"
              "<item>\r\n<title>News</title>\r\n<description>All &amp; more</description>\r\n"
              "<link>http://n/</link>\r\n</item>\r\n"
              "<item>\r\n<title type=\"t\">One <b></title>\r\n<description>First</description>\r\n"
              "<link>http://n/1?a=1&b=2</link>\r\n</item>\r\n"
              "<item>\r\n<title><![CDATA[Two]]></title>\r\n</item>\r\n"
              "<item>\r\n<title>Three</title>\r\n"
              "</channel>\r\n");
    // The limit counts items (the channel's own title is the first); a zero byte ends the feed.
    EXPECT_EQ(RssChannelBlock(feed, 1, cp),
              "<channel>\r\n"
              "<item>\r\n<title>News</title>\r\n<description>All &amp; more</description>\r\n"
              "<link>http://n/</link>\r\n</item>\r\n</channel>\r\n");
    EXPECT_EQ(RssChannelBlock(std::string("<title>A</title>\0<title>B</title>", 33), 9, cp),
              "<channel>\r\n<item>\r\n<title>A</title>\r\n</channel>\r\n");
    // A title element longer than 500 bytes is cut.
    const std::string longTitle = "<title>" + std::string(600, 'y') + "</title>";
    EXPECT_EQ(RssChannelBlock(longTitle, 9, cp),
              "<channel>\r\n<item>\r\n" + longTitle.substr(0, 500) + "\r\n</channel>\r\n");
    EXPECT_EQ(RssFailedChannel("http://x/"),
              "<channel>\r\n<title>RSS download failed</title>\r\n"
              "<description>http://x/</description>\r\n</channel>\r\n");
}

namespace {
bool FakeFetch(void*, const std::string& url, std::string& out) {
    if (url.find("down") != std::string::npos) return false;
    out = "<title>" + url + "</title>";
    return true;
}
}  // namespace

TEST(RssFile, FeedsInOrderWithFailuresInPlace) {
    const RssPlan p = ReadRssPlan("060,0000000000,000,http://a http://down http://b");
    EXPECT_EQ(RssBuildFile(p, 999, FakeFetch, nullptr, CodePage{}),
              std::string(kRssFileHead) + "<channel>\r\n<item>\r\n<title>http://a</title>\r\n" +
                  "</channel>\r\n" + RssFailedChannel("http://down") +
                  "<channel>\r\n<item>\r\n<title>http://b</title>\r\n</channel>\r\n" +
                  kRssFileTail);
}

TEST(RssTitles, HandedOutInTurnThenFromTheStart) {
    const std::string file = std::string(kRssFileHead) +
                             "<channel>\r\n<item>\r\n<title>Feed</title>\r\n"
                             "<item>\r\n<title type=\"x\"><![CDATA[Caf\xc3\xa9]]></title>\r\n"
                             "<item>\r\n<title>" +
                             std::string(189, 'a') + "\xc3\xa9</title>\r\n</channel>\r\n" +
                             kRssFileTail;
    RssTitleState st;
    const char* expected[] = {"Feed", "Caf\xc3\xa9", nullptr, "", "Feed"};
    for (const char* e : expected) {
        RssNextTitle(st, file);
        if (e)
            EXPECT_EQ(st.title, e);
        else  // 191 bytes: cut before the two-byte character, never inside it
            EXPECT_EQ(st.title, std::string(189, 'a'));
    }
    EXPECT_EQ(st.index, 1);
    RssNextTitle(st, "");
    EXPECT_EQ(st.title, "");
    EXPECT_EQ(st.index, 0);
}

TEST(RssViewer, RichTextOfTheFileEscapesWhatItQuotes) {
    const std::string file = std::string(kRssFileHead) +
                             "<channel>\r\n<item>\r\n<title>A {b} \\c</title>\r\n"
                             "<description>Caf\xc3\xa9 \xf0\x9f\x8e\xb5</description>\r\n"
                             "<link>http://x/</link>\r\n</item>\r\n"
                             "<item>\r\n<title><![CDATA[Z]]></title>\r\n<description></description>\r\n"
                             "</item>\r\n</channel>\r\n" +
                             kRssFileTail;
    const LocalTime written = At(2026, 3, 4, 5, 6);
    EXPECT_EQ(RssRichText(file, written, false),
              "{\\rtf{\\fonttbl{\\f0\\fswiss Arial;}}\\fs22\r\n"
              "\\par\\b 2026-03-04 05:06\\b0\\par\r\n"
              "{\\par\\b\\fs26 A \\{b\\} \\\\c}\\b0\\par\r\n"
              "Caf\\u233? \\u-10180?\\u-8267?\\par\r\n"
              "{\\fs18 http://x/}\\par\r\n"
              "{\\par\\b\\fs26 Z}\\b0\\par\r\n"
              "\\par___________________________\\par\\par\r\n}");
    const std::string dark = RssRichText("", written, true);
    EXPECT_EQ(dark.substr(0, dark.find("\\par")),
              "{\\rtf{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red224\\green224\\blue224;}"
              "\\fs22\\cf1\r\n");
}
