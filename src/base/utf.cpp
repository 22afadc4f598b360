#include "base/utf.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

size_t Utf8Length(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp < 0x800) return 2;
    if (cp < 0x10000) return 3;
    return 4;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Reads one code point of wide text at i and advances i past it.
char32_t NextWide(std::wstring_view w, size_t& i) {
    char32_t c = static_cast<char32_t>(w[i++]);
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0xD800 && c < 0xDC00 && i < w.size()) {
            char32_t lo = static_cast<char32_t>(w[i]);
            if (lo >= 0xDC00 && lo < 0xE000) {
                ++i;
                return 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
            }
        }
        if (c >= 0xD800 && c < 0xE000) return kReplacement;
    } else {
        if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) return kReplacement;
    }
    return c;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<uint8_t>(s[i]);
        size_t need;
        char32_t cp;
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            need = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3, cp = b & 0x07;
        } else {
            AppendCodePoint(out, kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < s.size() && j <= i + need && (static_cast<uint8_t>(s[j]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<uint8_t>(s[j]) & 0x3F);
            ++j;
        }
        bool complete = (j == i + need + 1);
        bool overlong = complete && Utf8Length(cp) != need + 1;
        bool invalid = cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000);
        if (!complete || overlong || invalid) {
            AppendCodePoint(out, kReplacement);
            i = j;  // a broken sequence is replaced as one unit
            continue;
        }
        AppendCodePoint(out, cp);
        i = j;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view w) { return WideToUtf8Limited(w, std::string::npos); }

std::string WideToUtf8Limited(std::wstring_view w, size_t maxBytes) {
    std::string out;
    out.reserve(w.size());
    size_t i = 0;
    while (i < w.size()) {
        char32_t cp = NextWide(w, i);
        if (out.size() + Utf8Length(cp) > maxBytes) break;
        AppendUtf8(out, cp);
    }
    return out;
}

std::wstring Utf16LeToWide(const uint8_t* data, size_t len) {
    std::wstring units;
    units.reserve(len / 2);
    for (size_t i = 0; i + 1 < len; i += 2)
        units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    if constexpr (sizeof(wchar_t) == 2) {
        return units;
    } else {
        // Join surrogate pairs into single UTF-32 code points.
        std::wstring out;
        out.reserve(units.size());
        for (size_t i = 0; i < units.size(); ++i) {
            char32_t c = static_cast<char32_t>(units[i]);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
                char32_t lo = static_cast<char32_t>(units[i + 1]);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    out.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00)));
                    ++i;
                    continue;
                }
            }
            out.push_back(static_cast<wchar_t>((c >= 0xD800 && c < 0xE000) ? kReplacement : c));
        }
        return out;
    }
}

std::string WideToUtf16Le(std::wstring_view w) {
    std::string out;
    auto put = [&out](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    size_t i = 0;
    while (i < w.size()) {
        char32_t cp = NextWide(w, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::string HexDumpToBytes(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

std::wstring Cp1252ToWide(std::string_view text) {
    // 0x80..0x9F differ from Latin-1; unassigned ones map to themselves as Windows does.
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::wstring out;
    out.reserve(text.size());
    for (char ch : text) {
        auto b = static_cast<uint8_t>(ch);
        out.push_back(static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b));
    }
    return out;
}
