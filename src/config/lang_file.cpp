// Language files: reading one into the loaded table, choosing and loading it at start, the
// lookups with their English fallback, and the template for translators.
#include <algorithm>
#include <cstring>

#include "base/path.h"
#include "base/text.h"
#include "base/utf.h"
#include "config/lang.h"

LangState g_lang;

namespace {

bool IsSectionIndex(int index) {
    for (int i : kLangSectionIndexes)
        if (i == index) return true;
    return false;
}

const LangTable& Active(const LangState& st) {
    return st.active ? *st.active : LangBuiltIn();
}

void UseBuiltIn(LangState& st) {
    st.active = &LangBuiltIn();
    st.loaded = LangTable{};
}

void FreeBuffer(LangState& st) {
    UseBuiltIn(st);
    std::wstring().swap(st.buffer);
}

// Characters up to the line's first CR: the entry's text.
size_t EntryLength(const wchar_t* line, size_t lineLen) {
    const wchar_t* cr = std::find(line, line + lineLen, L'\r');
    return static_cast<size_t>(cr - line);
}

LangParseResult Fail(LangState& st, LangError error, int line) {
    FreeBuffer(st);
    return LangParseResult{error, line};
}

}  // namespace

LangParseResult LangParse(LangState& st, const uint8_t* data, size_t len) {
    FreeBuffer(st);
    st.buffer = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), len));
    std::wstring& buf = st.buffer;
    size_t header = buf.find(kLangHeader);
    if (header == std::wstring::npos) return Fail(st, LangError::NoHeader, 0);

    // The entries start on the line after the header; each line ends at its CR LF.
    size_t crlf = buf.find(L"\r\n", header);
    size_t pos = crlf == std::wstring::npos ? buf.size() : crlf + 2;
    int skipped = 0;
    LangTable table{};
    for (int index = 0; index < kLangEntries;) {
        const int lineNo = index + 2 + skipped;  // the header is line 1
        if (pos >= buf.size()) return Fail(st, LangError::WrongLineCount, lineNo);
        size_t end = buf.find(L"\r\n", pos);
        if (end == std::wstring::npos) end = buf.size();
        wchar_t* line = buf.data() + pos;
        const size_t lineLen = end - pos;
        pos = end == buf.size() ? end : end + 2;
        if (lineLen == 0 || line[0] == L'/') {  // comment or empty line: no index
            ++skipped;
            continue;
        }
        const size_t textLen = EntryLength(line, lineLen);
        const bool section = std::wstring_view(line, textLen).starts_with(kLangSectionPrefix);
        if (section != IsSectionIndex(index)) return Fail(st, LangError::WrongLineCount, lineNo);
        if ((index <= 231 && textLen > kLangShortLimit) ||
            (index >= kLangFirstLong && index <= kLangLastBuiltIn && textLen > kLangLongLimit))
            return Fail(st, LangError::LineTooLong, lineNo);
        line[textLen] = L'\0';  // the entry points into the buffer
        table.entry[index++] = line;
    }
    st.loaded = table;
    st.active = &st.loaded;
    return LangParseResult{};
}

std::wstring LangCodeForLocale(uint16_t primaryLanguage) {
    // LANG_* primary language identifiers of the Windows locale.
    switch (primaryLanguage) {
        case 0x04:
            return L"ZH";
        case 0x06:
            return L"DK";
        case 0x07:
            return L"DE";
        case 0x0A:
            return L"ES";
        case 0x10:
            return L"IT";
        case 0x16:
            return L"PT";
        case 0x19:
            return L"RU";
        case 0x22:
            return L"UA";
        default:
            return L"EN";
    }
}

std::wstring LangFilePath(std::wstring_view programFolder, std::wstring_view code) {
    return PathJoin(programFolder, L"lan" + std::wstring(code) + L".ini");
}

void LoadLanguage(LangState& st, std::wstring& code, const LangEnv& env) {
    if (code.empty()) code = LangCodeForLocale(env.userLanguage);
    UseBuiltIn(st);
    if (code == L"EN") return;
    auto log = [&](const char* text, int number) {
        if (env.errorLog) env.errorLog(env.logCtx, text, number);
    };
    std::string bytes;
    // One byte beyond the limit tells a file that is too large without reading all of it.
    if (!env.fs->readFile(env.fs->ctx, LangFilePath(env.programFolder, code), kLangFileMaxBytes + 1,
                          bytes)) {
        log("Language file open failed", -1);
        code = L"EN";
        return;
    }
    FreeBuffer(st);
    if (bytes.size() < kLangFileMinBytes || bytes.size() > kLangFileMaxBytes) {
        log("Invalid language file size", -1);
        code = L"EN";
        return;
    }
    LangParseResult r = LangParse(st, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    switch (r.error) {
        case LangError::None:
            break;
        case LangError::NoHeader:
            log("No [Zuvo Language File]", -1);
            code = L"EN";
            break;
        case LangError::WrongLineCount:
            log("Language file with wrong line count, exit line:", r.line);
            break;
        case LangError::LineTooLong:
            log("Language file, line too long:", r.line);
            break;
    }
}

const wchar_t* LangText(const LangState& st, int index) {
    if (index < 0 || index > kLangLastBuiltIn) return L"";
    const wchar_t* e = Active(st).entry[index];
    if (e && *e) return e;
    return LangBuiltIn().entry[index];
}

const wchar_t* LangMenuTip(LangState& st, int index, bool withKeys) {
    st.tipBuffer.clear();
    if (index < 0 || index >= 238) return st.tipBuffer.c_str();
    const wchar_t* e = Active(st).entry[index];
    if (!e || !*e) return st.tipBuffer.c_str();
    std::wstring_view entry(e);
    std::wstring text(entry.substr(0, 60));
    for (std::wstring_view cut : {L"\t", L"...", L"  ["}) {
        size_t at = text.find(cut);
        if (at != std::wstring::npos) text.resize(at);
    }
    size_t amp = text.find(L'&');
    if (amp != std::wstring::npos) text.erase(amp, 1);
    size_t tab = entry.find(L'\t');
    if (withKeys && tab != std::wstring_view::npos)
        text += L"  [" + std::wstring(entry.substr(tab + 1)) + L"]";
    st.tipBuffer = std::move(text);
    return st.tipBuffer.c_str();
}

const wchar_t* LangDialogEntry(const LangState& st, int index) {
    if (index < 0 || index >= kLangEntries) return nullptr;
    const wchar_t* e = Active(st).entry[index];
    return e && *e ? e : nullptr;
}

std::string LangTemplateText() {
    std::string out =
        "Zuvo language file template: the built-in English texts.\r\n"
        "Save as lanXX.ini beside zuvo.exe (XX = the language code in the settings) as UTF-8\r\n"
        "with CR LF line ends, 12000 to 30000 bytes. Lines starting with / are comments and\r\n"
        "empty lines are skipped; every other line after the header is the next entry.\r\n"
        "Entries 0 to 231: at most 90 characters; 233 to 237: at most 380, # breaks a line.\r\n"
        "A TAB in a menu text puts the shortcut at the right; & marks the mnemonic.\r\n"
        "A line holding only a CR is an empty entry: English is shown for it. Entries 239 to\r\n"
        "498 (marked control) are texts of dialog controls; left empty, a dialog keeps its "
        "own.\r\n";
    out += WideToUtf8(kLangHeader);
    out += "\r\n";
    const LangTable& t = LangBuiltIn();
    for (int i = 0; i < kLangEntries; ++i) {
        const wchar_t* e = t.entry[i];
        if (IsSectionIndex(i) && !e) {
            out += Format("/ %03d section line\r\n", i);
            out += i == 499 ? "SECTION_END\r\n" : Format("SECTION_CONTROLS_%03d\r\n", i);
        } else if (!e) {
            out += Format("/ %03d control\r\n", i);
            out += "\r\r\n";
        } else {
            std::string text = WideToUtf8(e);
            std::string shown = text;
            std::replace(shown.begin(), shown.end(), '\t', ' ');
            out += Format("/ %03d ", i) + shown.substr(0, 70) + "\r\n" + text + "\r\n";
        }
    }
    return out;
}
