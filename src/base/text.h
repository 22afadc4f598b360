// Small text helpers shared by the parsers and writers of the 8-bit formats.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The leading decimal integer of a text, as C's atoi reads it: optional blanks, an optional
// sign, digits; no digits gives 0. Values beyond the 32-bit range saturate (as the Windows
// runtime does) instead of being undefined.
int32_t ParseLeadingInt(std::string_view text);

// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// ASCII-only case-insensitive comparisons (file extensions, URL schemes, switches).
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
