#include "base/codepage.h"

#include <cstdint>

#include "base/utf.h"

namespace {

// Windows-1252 for code points it can hold, "?" for the rest.
std::string WideToCp1252(std::wstring_view text) {
    static const std::wstring high =
        Cp1252ToWide(std::string("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f"
                                 "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f",
                                 32));
    std::string out;
    for (wchar_t c : text) {
        const auto u = static_cast<uint32_t>(c);
        size_t at = high.find(c);
        if (at != std::wstring::npos && (u < 0x80 || u > 0x9F)) {
            out += static_cast<char>(0x80 + at);
        } else if (u < 0x100 && (u < 0x80 || u > 0x9F)) {
            out += static_cast<char>(u);
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace

std::wstring AnsiToWide(const CodePage& cp, std::string_view text) {
    return cp.toWide ? cp.toWide(cp.ctx, text) : Cp1252ToWide(text);
}

std::string WideToAnsi(const CodePage& cp, std::wstring_view text) {
    return cp.fromWide ? cp.fromWide(cp.ctx, text) : WideToCp1252(text);
}
