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
