// Parses arbitrary bytes as the last 128 bytes of a file. Fields are at most 30 characters and
// the track is the decimal number of one byte.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "tags/id3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Id3Tags info;
    std::memcpy(info.id3v1Raw, data, size < 128 ? size : 128);
    const int tagged = Id3v1Parse(info, nullptr);
    if (tagged != (std::memcmp(info.id3v1Raw, "TAG", 3) == 0)) std::abort();
    for (int slot = 0; slot < kTagSlotCount; ++slot) {
        const wchar_t* text = info.tagText[slot];
        if (!text) continue;
        if (!tagged || std::wcslen(text) == 0 || std::wcslen(text) > 30) std::abort();
        if (slot == kTagTrack && std::stoi(std::wstring(text)) != info.id3v1Raw[126]) std::abort();
    }
    (void)Id3GenreName(info.id3v1Raw[127]);
    Id3FreeTags(info, nullptr);
    return 0;
}
