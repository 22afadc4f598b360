#include "base/timefmt.h"

#include "base/text.h"

std::string CtimeText(const LocalTime& t) {
    static const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = kDays[(t.weekday % 7 + 7) % 7];
    const char* month = kMonths[(t.month >= 1 && t.month <= 12) ? t.month - 1 : 0];
    return Format("%s %s %.2d %.2d:%.2d:%.2d %d", day, month, t.day, t.hour, t.minute, t.second,
                  t.year);
}
