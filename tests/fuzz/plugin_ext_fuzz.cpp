// Reads arbitrary bytes as an input plug-in's extension list (pairs of zero-terminated texts).
// Besides not crashing or reading past the limit: the descriptor's extension part holds only
// lower-case texts each ended by ";", and a file with one of them is found by it.
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/plugin_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy: a read beyond `size` is reported by the sanitizer.
    std::vector<char> bytes(data, data + size);
    const std::string d =
        PluginDescriptor("in_f.dll", "F", size ? bytes.data() : nullptr, bytes.size());
    const std::string_view exts = PluginExtensions(d);
    if (!exts.empty() && exts.back() != ';') std::abort();
    size_t p = 0;
    while (p < exts.size()) {
        const size_t q = exts.find(';', p);
        if (q == p) std::abort();  // no empty entry
        const std::string ext(exts.substr(p, q - p));
        for (char c : ext)
            if (c >= 'A' && c <= 'Z') std::abort();
        if (ext.find('/') == std::string::npos && ext.find('.') == std::string::npos &&
            ext.find('\\') == std::string::npos && ext.size() <= 7) {
            std::wstring file = L"x.";
            bool ascii = true;
            for (char c : ext) {
                ascii = ascii && static_cast<unsigned char>(c) < 0x80;
                file += static_cast<wchar_t>(static_cast<unsigned char>(c));
            }
            if (ascii && FindPlugin({d}, file) != 0) std::abort();
        }
        p = q + 1;
    }
    return 0;
}
