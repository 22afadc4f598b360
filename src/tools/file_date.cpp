#include "tools/file_date.h"

#include <cstdio>

namespace {

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

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// Both ways through days counted from 0000-03-01 in 400-year eras of 146097 days, with March
// as the first month so that a leap day falls at the end of a year.
int64_t DaysFrom1601(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 584694;  // 1601-01-01 is day 584694 from 0000-03-01
}

void DateOfDays(int64_t days, int& y, int& m, int& d) {
    const int64_t z = days + 584694;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
