// The tag editor's raw ID3v2 view over arbitrary bytes as the start of a file, with the tag size
// taken from the input's first bytes (so sizes beyond, within and short of the data all occur).
// The view holds at most its room of text, and its RTF keeps every brace of the tag escaped.
#include <cstdlib>
#include <cstring>
#include <string>

#include "tags/id3v2_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    uint32_t tagSize;
    std::memcpy(&tagSize, data, 4);
    tagSize %= 300000;
    // The header reader: a size only for a real header, never below its own 10 bytes.
    if (size >= 14) {
        const uint32_t declared = Id3v2TagSize(data + 4);
        if (declared != 0 && (declared < 10 || std::memcmp(data + 4, "ID3", 3) != 0)) std::abort();
    }
    const Id3v2View view = Id3v2BuildView(data + 4, size - 4, tagSize);
    size_t chars = 0;
    for (const Id3v2ViewFrame& f : view.frames) {
        for (const std::string& line : f.lines) {
            chars += line.size();
            for (unsigned char c : line)
                if (c < 0x20 || c > 0xFD) std::abort();
        }
    }
    if (chars > 9900) std::abort();
    const std::string rtf = Id3v2ViewRtf(view);
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth == 0 && i + 1 != rtf.size()) std::abort();
    }
    if (depth != 0) std::abort();
    return 0;
}
