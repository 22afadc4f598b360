#include "base/path.h"
#include "base/text.h"

#include <gtest/gtest.h>

TEST(Text, ParseLeadingIntReadsLikeAtoi) {
    struct Case {
        const char* in;
        int32_t out;
    } cases[] = {{"123abc", 123}, {"  -45", -45}, {"+7", 7}, {"abc", 0}, {"", 0},
                 {"0300,0200", 300}, {"99999999999", 2147483647}, {"-99999999999", INT32_MIN},
                 {"4294967295", 2147483647}, {"- 5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(ParseLeadingInt(c.in), c.out);
    }
}

TEST(Path, ExtensionsAndFolders) {
    EXPECT_EQ(PathWithExtension(L"C:\\Prog\\Zuvo.exe", L".ini"), L"C:\\Prog\\Zuvo.ini");
    EXPECT_EQ(PathWithExtension(L"C:\\a.b\\Zuvo", L".ini"), L"C:\\a.b\\Zuvo.ini");
    EXPECT_EQ(PathWithExtension(L"C:\\x\\Zuvo.ini", L".log"), L"C:\\x\\Zuvo.log");
    EXPECT_EQ(PathFolder(L"C:\\x\\y.mp3"), L"C:\\x");
    EXPECT_EQ(PathFolder(L"y.mp3"), L"");
    EXPECT_EQ(PathJoin(L"C:\\", L"a"), L"C:\\a");
    EXPECT_EQ(PathJoin(L"C:\\x", L"a"), L"C:\\x\\a");
    EXPECT_EQ(PathExtension(L"C:\\x.y\\list.M3U"), L"M3U");
    EXPECT_EQ(PathExtension(L"C:\\x.y\\noext"), L"");
    EXPECT_TRUE(IsUrl(L"HTTP://radio"));
    EXPECT_TRUE(IsUrl(L"mms:x"));
    EXPECT_FALSE(IsUrl(L"C:\\http:"));
}
