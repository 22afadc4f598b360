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

std::wstring DurationText(uint64_t ms, bool colon) {
    const char sep = colon ? ':' : '\'';
    const auto u = [](uint64_t v) { return static_cast<unsigned long long>(v); };
    const uint64_t sec = ms / 1000;
    const std::string text =
        ms < 3600000u ? Format("%llu%c%.2llu", u(sec / 60), sep, u(sec % 60))
                      : Format("%llu:%.2llu%c%.2llu", u(sec / 3600), u(sec / 60 % 60), sep,
                               u(sec % 60));
    return std::wstring(text.begin(), text.end());  // digits and separators only
}
