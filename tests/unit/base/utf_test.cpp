#include "base/utf.h"

#include <gtest/gtest.h>

// Round trips and the replacement rule protect every path value of the settings file.
TEST(Utf, Utf8RoundTripsAcrossPlanes) {
    const std::wstring samples[] = {L"", L"C:\\Music\\a.mp3", L"D:\\M\u00fcsik\\\u00e9t\u00e9",
                                    L"\u65e5\u672c\u8a9e\\\u266b", L"x\U0001F3B5y"};
    for (const auto& w : samples) {
        SCOPED_TRACE(WideToUtf8(w));
        EXPECT_EQ(Utf8ToWide(WideToUtf8(w)), w);
        EXPECT_EQ(Utf16LeToWide(reinterpret_cast<const uint8_t*>(WideToUtf16Le(w).data()),
                                WideToUtf16Le(w).size()),
                  w);
    }
    EXPECT_EQ(WideToUtf8(L"\U0001F3B5"), "\xF0\x9F\x8E\xB5");
}

TEST(Utf, MalformedUtf8BecomesReplacementCharacters) {
    struct Case {
        const char* in;
        std::wstring out;
    } cases[] = {
        {"a\xFF" "b", L"a\uFFFDb"},        // invalid lead byte
        {"a\xC3", L"a\uFFFD"},             // truncated sequence at the end
        {"\xC0\xAF", L"\uFFFD\uFFFD"},     // overlong lead bytes are invalid
        {"\xE0\x80\xAF", L"\uFFFD"},       // overlong three-byte form
        {"\xED\xA0\x80", L"\uFFFD"},       // encoded surrogate
        {"\xE2\x82" "x", L"\uFFFDx"},      // sequence cut by an ASCII byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Utf8ToWide(c.in), c.out);
    }
}

TEST(Utf, LimitedConversionCutsOnCharacterBoundaries) {
    std::wstring w = L"ab\u00e9\u65e5";  // 1 + 1 + 2 + 3 bytes
    EXPECT_EQ(WideToUtf8Limited(w, 7), WideToUtf8(w));
    EXPECT_EQ(WideToUtf8Limited(w, 6), "ab\xC3\xA9");
    EXPECT_EQ(WideToUtf8Limited(w, 3), "ab");
}

TEST(Utf, HexDumpDecodesUntilTheFirstBadPair) {
    EXPECT_EQ(HexDumpToBytes("43003a005c00"), std::string("C\0:\0\\\0", 6));
    EXPECT_EQ(HexDumpToBytes("4A4a"), "JJ");
    EXPECT_EQ(HexDumpToBytes("41zz42"), "A");
    EXPECT_EQ(HexDumpToBytes("414"), "A");  // odd digit left over
}

TEST(Utf, Cp1252MapsTheWindowsRange) {
    EXPECT_EQ(Cp1252ToWide("\x80\xE9\x9F\x81"), L"\u20AC\u00e9\u0178\u0081");
}
