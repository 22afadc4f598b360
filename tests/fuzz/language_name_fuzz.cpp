// Reads arbitrary bytes as the head of a language file for the settings' language list. Besides
// not crashing: the name is one line, never holds " (", and comes from the first 200 bytes.
#include <cstdlib>
#include <string>

#include "settings/quick_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring name = LanguageListName(data, size);
    if (name.find_first_of(L"\r\n") != std::wstring::npos) std::abort();
    if (name.find(L" (") != std::wstring::npos) std::abort();
    if (name.size() > kLanguageNameBytes) std::abort();
    // Bytes after the first 200 never change the name.
    if (size > kLanguageNameBytes && LanguageListName(data, kLanguageNameBytes) != name) std::abort();
    return 0;
}
