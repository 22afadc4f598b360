#include <gtest/gtest.h>

#include "tools/file_date.h"

TEST(FileDate, ParsesByPositionAndChecksTheCalendar) {
    struct Case {
        const char* text;
        bool parses, valid;
        DateFields want;
    } cases[] = {
        {"2024-02-29 23:59", true, true, {2024, 2, 29, 23, 59}},
        {"2023-02-29 10:00", true, false, {}},  // no leap year
        {"1900-02-29 10:00", true, false, {}},  // before the file-time epoch as well
        {"2000-02-29 00:00", true, true, {2000, 2, 29, 0, 0}},
        {"2100-02-29 00:00", true, false, {}},  // centuries leap only by 400
        {"2024-13-01 10:00", true, false, {}},
        {"2024-04-31 10:00", true, false, {}},
        {"2024-01-01 24:00", true, false, {}},
        {"2024-01-01 10:60", true, false, {}},
        {"2024/01/02T03.04", true, true, {2024, 1, 2, 3, 4}},  // separators are not read
        {"2024-1-05 10:00", false, false, {}},                 // 15 characters
        {"2024-01-05 10:00 ", false, false, {}},
        {"2024-0a-05 10:00", false, false, {}},
        {"2024- 1-05 10:00", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DateFields d;
        ASSERT_EQ(ParseDateText(c.text, d), c.parses);
        if (!c.parses) continue;
        EXPECT_EQ(DateFieldsValid(d), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(DateBoxText(d),
                  std::string(c.text).substr(0, 4) + "-" + std::string(c.text).substr(5, 2) + "-" +
                      std::string(c.text).substr(8, 2) + " " + std::string(c.text).substr(11, 2) +
                      ":" + std::string(c.text).substr(14, 2));
        EXPECT_EQ(d.year, c.want.year);
        EXPECT_EQ(d.month, c.want.month);
        EXPECT_EQ(d.day, c.want.day);
        EXPECT_EQ(d.hour, c.want.hour);
        EXPECT_EQ(d.minute, c.want.minute);
    }
}

TEST(FileDate, FileTimesAgreeWithKnownInstants) {
    // Unix seconds of each date, from `date -u -d ... +%s`; a file time counts 100 ns from 1601,
    // 11644473600 s before the Unix epoch.
    struct Case {
        DateFields d;
        int64_t unixSeconds;
    } cases[] = {
        {{1601, 1, 1, 0, 0}, -11644473600}, {{1970, 1, 1, 0, 0}, 0},
        {{2000, 2, 29, 12, 34}, 951827640}, {{2024, 12, 31, 23, 59}, 1735689540},
        {{2038, 1, 19, 3, 14}, 2147483640}, {{2400, 3, 1, 0, 0}, 13574649600},
        {{2100, 3, 1, 0, 0}, 4107542400},  // 2100 has no 29 February
        {{2000, 3, 1, 0, 0}, 951868800},   // 2000 has one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateBoxText(c.d));
        uint64_t ft = 0;
        ASSERT_TRUE(DateToFileTime(c.d, ft));
        EXPECT_EQ(ft, static_cast<uint64_t>(c.unixSeconds + 11644473600LL) * 10000000ULL);
        // Back again, with seconds that the minute layout drops.
        EXPECT_EQ(DateBoxText(FileTimeToDate(ft + 59 * 10000000ULL)), DateBoxText(c.d));
    }
    uint64_t ft = 0;
    EXPECT_FALSE(DateToFileTime({2023, 2, 29, 0, 0}, ft));
}
