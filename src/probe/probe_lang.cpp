// lang-template OUT.ini: writes the built-in English table as a language file, the starting
// point for a translation. Prints the file's size and whether it reads back unchanged.
#include <cstdio>
#include <string>

#include "config/lang.h"
#include "probe/probe.h"

int ProbeLangTemplate(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zuvo-probe lang-template OUT.ini\n");
        return 2;
    }
    const std::string text = LangTemplateText();
    LangState st;
    LangParseResult r = LangParse(st, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    bool same = r.error == LangError::None;
    for (int i = 0; same && i <= kLangLastBuiltIn; ++i)
        same = std::wstring(LangText(st, i)) == LangBuiltIn().entry[i];
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) return 1;
    std::printf("%s: %zu bytes, %s\n", argv[1], text.size(),
                same ? "reads back as the built-in table" : "DOES NOT read back");
    return same && text.size() >= kLangFileMinBytes && text.size() <= kLangFileMaxBytes ? 0 : 1;
}
