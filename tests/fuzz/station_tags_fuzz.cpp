// Reads arbitrary bytes as BASS tag lists: comments, ICY/HTTP headers, WMA header tags and an
// add-on's extension patterns. Besides not crashing or reading past the bound: the texts found
// lie inside the input, a known bit rate fits 16 bits, and each extension taken from the
// patterns is a short lower-case entry ended by ";".
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/bass_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    const char* base = size ? bytes.data() : nullptr;
    const std::vector<std::string_view> texts = BassTagTexts(base, bytes.size());
    for (std::string_view t : texts)
        if (t.empty() || t.data() < base || t.data() + t.size() > base + size) std::abort();
    BassTagFill fill;
    FillFromBassComments(texts, fill);
    StationInfo info;
    PickWmaTags(texts, info);
    PickIcyHeaders(texts, CodePage{}, info);
    if (info.kbps > 0xFFFF) std::abort();
    std::wstring now = L"now";
    ConnectNowPlaying(info, now);
    if (now.size() > 336 + 3 + 96) std::abort();

    const std::string exts = PluginFormatExtensions(std::string_view(bytes.data(), bytes.size()));
    size_t p = 0;
    while (p < exts.size()) {
        const size_t q = exts.find(';', p);
        if (q == std::string::npos || q == p || q - p > 5) std::abort();
        for (size_t i = p; i < q; ++i)
            if ((exts[i] >= 'A' && exts[i] <= 'Z') || exts[i] == '.') std::abort();
        p = q + 1;
    }
    std::string once = "mp2;";
    AppendMissingExtensions(once, exts);
    std::string twice = once;
    AppendMissingExtensions(twice, exts);  // a second time adds nothing
    if (twice != once) std::abort();
    return 0;
}
