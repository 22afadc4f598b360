// Dates as the file tools type and show them: "YYYY-MM-DD HH:MM" (16 characters, local time),
// read by character position, and the calendar counted from 1601-01-01, the origin of a file
// time (100-ns intervals, the unit of a Windows FILETIME).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct DateFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

constexpr size_t kDateTextLength = 16;

// "%.4d-%.2d-%.2d %.2d:%.2d".
std::string DateBoxText(const DateFields& d);

// Year, month, day, hour and minute from characters 0-3, 5-6, 8-9, 11-12 and 14-15. False
// when the text is not exactly 16 characters or a field holds anything but digits; the
// separators are not looked at. The calendar is not checked here (DateFieldsValid).
bool ParseDateText(std::string_view text, DateFields& out);

// The dates a file time can hold and the clock can name: years 1601 to 30827, months 1-12,
// the day within its month (leap years counted), hours 0-23, minutes 0-59.
bool DateFieldsValid(const DateFields& d);

// The proleptic Gregorian calendar counted in days from 1601-01-01 (day 0), the origin of a
// file time: the day number of a date, and the date of a day number (both ways for any day
// from 1601 on).
int64_t DaysFrom1601(int year, int month, int day);
void DateOfDays(int64_t days, int& year, int& month, int& day);
// The days of month (1 to 12) in year, leap years counted.
int DaysInMonth(int year, int month);
