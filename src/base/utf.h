// Text conversions between the program's 8-bit formats and wide strings.
// wchar_t is UTF-16 on Windows and UTF-32 on Linux; both are handled, so the portable core
// behaves the same in native tests and in zuvo.exe.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 to wide text. Malformed bytes become U+FFFD each, as the Windows converter does.
std::wstring Utf8ToWide(std::string_view utf8);

// Wide text to UTF-8. A lone surrogate (UTF-16 builds) becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// Like WideToUtf8, but never longer than maxBytes: the text is cut before the first character
// that would not fit whole.
std::string WideToUtf8Limited(std::wstring_view wide, size_t maxBytes);

// UTF-16 little-endian bytes (an odd last byte is ignored) to wide text.
std::wstring Utf16LeToWide(const uint8_t* data, size_t len);

// Wide text to UTF-16 little-endian bytes.
std::string WideToUtf16Le(std::wstring_view wide);

// Decodes a hex dump (two hex digits per byte, either case) into bytes. Decoding stops at the
// first pair that is not two hex digits.
std::string HexDumpToBytes(std::string_view hex);

// 8-bit text in Windows-1252 to wide text: the stand-in for the system code page where the
// glue has not installed the real converter.
std::wstring Cp1252ToWide(std::string_view text);
