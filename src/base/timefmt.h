// Formatting of clock times for the program's log files, and of durations for the lists and
// the window.
#pragma once
#include <cstdint>
#include <string>

// A broken-down local time as the clock reports it.
struct LocalTime {
    int year;     // e.g. 2026
    int month;    // 1..12
    int day;      // 1..31
    int weekday;  // 0 = Sunday
    int hour, minute, second;
};

// "Sat Dec 05 00:02:54 2026": the C runtime's ctime() layout with a two-digit day.
std::string CtimeText(const LocalTime& t);

// A duration as the lists and the window show it: "m'ss" below an hour, "h:mm'ss" from an hour
// on; with colon the last separator is ':' as well. Milliseconds are dropped.
std::wstring DurationText(uint64_t ms, bool colon);
