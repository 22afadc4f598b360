#include "tools/file_date.h"

#include <cstdio>

namespace {

constexpr uint64_t kTicksPerMinute = 600000000ULL;
constexpr int64_t kMinutesPerDay = 1440;

bool Digits(std::string_view text, size_t at, size_t n, int& out) {
    int v = 0;
    for (size_t i = at; i < at + n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

bool Leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : kDays[m - 1];
}

// Days from 1601-01-01 to y-m-d in the proleptic Gregorian calendar (y >= 1601).
int64_t DaysFrom1601(int y, int m, int d) {
    const int64_t years = y - 1601;
    int64_t days = years * 365 + years / 4 - years / 100 + years / 400;
    for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
    return days + d - 1;
}

}  // namespace

std::string DateBoxText(const DateFields& d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4d-%.2d-%.2d %.2d:%.2d", d.year, d.month, d.day, d.hour,
                  d.minute);
    return buf;
}

bool ParseDateText(std::string_view text, DateFields& out) {
    if (text.size() != kDateTextLength) return false;
    DateFields d;
    if (!Digits(text, 0, 4, d.year) || !Digits(text, 5, 2, d.month) || !Digits(text, 8, 2, d.day) ||
        !Digits(text, 11, 2, d.hour) || !Digits(text, 14, 2, d.minute))
        return false;
    out = d;
    return true;
}

bool DateFieldsValid(const DateFields& d) {
    if (d.year < 1601 || d.year > 30827 || d.month < 1 || d.month > 12) return false;
    if (d.day < 1 || d.day > DaysInMonth(d.year, d.month)) return false;
    return d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60;
}

bool DateToFileTime(const DateFields& d, uint64_t& fileTime) {
    if (!DateFieldsValid(d)) return false;
    const int64_t minutes =
        DaysFrom1601(d.year, d.month, d.day) * kMinutesPerDay + d.hour * 60 + d.minute;
    fileTime = static_cast<uint64_t>(minutes) * kTicksPerMinute;
    return true;
}

DateFields FileTimeToDate(uint64_t fileTime) {
    const uint64_t minutes = fileTime / kTicksPerMinute;
    int64_t days = static_cast<int64_t>(minutes / kMinutesPerDay);
    const int rest = static_cast<int>(minutes % kMinutesPerDay);
    DateFields d;
    d.hour = rest / 60;
    d.minute = rest % 60;
    // 400-year cycles have 146097 days; step through the rest year by year and month by month.
    d.year = 1601 + static_cast<int>(days / 146097) * 400;
    days %= 146097;
    for (;;) {
        const int len = Leap(d.year) ? 366 : 365;
        if (days < len) break;
        days -= len;
        ++d.year;
    }
    d.month = 1;
    while (days >= DaysInMonth(d.year, d.month)) days -= DaysInMonth(d.year, d.month++);
    d.day = static_cast<int>(days) + 1;
    return d;
}
