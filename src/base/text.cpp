#include "base/text.h"

#include <cstdarg>
#include <cstdio>
#include <limits>

int32_t ParseLeadingInt(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int64_t v = 0;
    const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                   : int64_t{std::numeric_limits<int32_t>::max()};
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        v = v * 10 + (t[i] - '0');
        if (v > limit) {
            v = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -v : v);
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

namespace {
template <typename C>
C Lower(C c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<C>(c - 'A' + 'a') : c;
}
template <typename C>
bool PrefixNoCase(std::basic_string_view<C> text, std::basic_string_view<C> prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}
}  // namespace

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && PrefixNoCase(a, b);
}
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return PrefixNoCase(text, prefix);
}
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return PrefixNoCase(text, prefix);
}
