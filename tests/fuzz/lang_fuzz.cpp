// Reads arbitrary bytes as a language file. Besides not crashing: a file that loads has every
// section line at its index, every entry within its limit, and every entry inside the buffer.
#include <cstdlib>
#include <string_view>

#include "config/lang.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LangState st;
    LangParseResult r = LangParse(st, data, size);
    if (r.error != LangError::None) {
        if (st.active == &st.loaded || !st.buffer.empty()) std::abort();
        return 0;
    }
    const wchar_t* begin = st.buffer.data();
    const wchar_t* end = begin + st.buffer.size();
    for (int i = 0; i < kLangEntries; ++i) {
        const wchar_t* e = st.loaded.entry[i];
        if (!e || e < begin || e >= end) std::abort();
        std::wstring_view text(e);
        if (i <= 231 && text.size() > kLangShortLimit) std::abort();
        bool section = text.starts_with(kLangSectionPrefix);
        bool sectionIndex = false;
        for (int s : kLangSectionIndexes) sectionIndex |= s == i;
        if (section != sectionIndex) std::abort();
    }
    (void)LangMenuTip(st, static_cast<int>(size % 240), true);
    return 0;
}
