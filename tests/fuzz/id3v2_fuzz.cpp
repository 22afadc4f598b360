// Parses arbitrary bytes as a leading ID3v2 tag. The first byte chooses whether pictures are
// read. Every text must stay within the field limit and the picture within the input.
#include <cstdlib>
#include <cwchar>

#include "tags/id3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Id3Options opt{(data[0] & 1) != 0, nullptr};
    Id3Tags info;
    Id3v2Parse(info, data + 1, size - 1, opt);
    for (const wchar_t* text : info.tagText)
        if (text && std::wcslen(text) > kId3MaxText) std::abort();
    if (info.pictureSize > size || (info.pictureData != nullptr) != (info.pictureSize > 0))
        std::abort();
    if (!opt.readPictures && info.pictureData) std::abort();
    if (Id3DisplayTitle(info, L"C:\\fuzz.mp3").size() > 120) std::abort();
    Id3FreeTags(info, nullptr);
    return 0;
}
