#include <gtest/gtest.h>

#include <tuple>

#include "tools/file_date.h"

TEST(FileDate, ParsesByPositionAndChecksTheCalendar) {
    struct Case {
        const char* text;
        bool parses, valid;
        DateFields want;
        const char* box = "";  // the text the date box shows for it
    } cases[] = {
        {"2024-02-29 23:59", true, true, {2024, 2, 29, 23, 59}, "2024-02-29 23:59"},
        {"2023-02-29 10:00", true, false, {}},  // no leap year
        {"1900-02-29 10:00", true, false, {}},  // before the file-time epoch as well
        {"2000-02-29 00:00", true, true, {2000, 2, 29, 0, 0}, "2000-02-29 00:00"},
        {"2100-02-29 00:00", true, false, {}},  // centuries leap only by 400
        {"2024-13-01 10:00", true, false, {}},
        {"2024-04-31 10:00", true, false, {}},
        {"2024-01-01 24:00", true, false, {}},
        {"2024-01-01 10:60", true, false, {}},
        // The separators are not read.
        {"2024/01/02T03.04", true, true, {2024, 1, 2, 3, 4}, "2024-01-02 03:04"},
        {"2024-1-05 10:00", false, false, {}},  // 15 characters
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
        EXPECT_EQ(std::tie(d.year, d.month, d.day, d.hour, d.minute),
                  std::tie(c.want.year, c.want.month, c.want.day, c.want.hour, c.want.minute));
        EXPECT_EQ(DateBoxText(d), c.box);
    }
}
