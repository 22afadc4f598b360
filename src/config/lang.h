// The interface texts by number: the built-in English table and the table of a language file
// ("lan" + code + ".ini" beside the program). Every visible text is looked up here; lookups fall
// back to English for every entry that a loaded file leaves empty.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/fileops.h"

constexpr int kLangEntries = 500;
constexpr int kLangLastBuiltIn = 237;  // entries above this have no built-in text

// Section lines: the entries at these indexes must begin with "SECTION_", no other may.
constexpr int kLangSectionIndexes[] = {1, 91, 113, 172, 232, 238, 260, 499};
constexpr std::wstring_view kLangSectionPrefix = L"SECTION_";

// Longest entry texts, in characters up to the line's CR.
constexpr size_t kLangShortLimit = 90;  // indexes 0 to 231
constexpr size_t kLangLongLimit = 380;  // indexes 233 to 237
constexpr int kLangFirstLong = 233;

// A language file is 12000 to 30000 bytes of UTF-8.
constexpr size_t kLangFileMinBytes = 12000;
constexpr size_t kLangFileMaxBytes = 30000;
constexpr std::wstring_view kLangHeader = L"[Zuvo Language File]";

// 500 entries; null means the entry is not present.
struct LangTable {
    const wchar_t* entry[kLangEntries];
};

// The language state of the program (one instance, g_lang). The loaded table's strings point
// into `buffer`, the whole decoded file, which lives until the next load.
struct LangState {
    LangTable loaded{};
    std::wstring buffer;
    const LangTable* active = nullptr;  // null or &LangBuiltIn(): the built-in table
    std::wstring tipBuffer;             // LangMenuTip's result, overwritten by the next call

    LangState() = default;
    LangState(const LangState&) = delete;  // the entries point into this record's buffer
    LangState& operator=(const LangState&) = delete;
};

extern LangState g_lang;

// The built-in English table: entries 0 to 237, the rest null.
const LangTable& LangBuiltIn();

// ---- parsing ----

enum class LangError {
    None,
    NoHeader,        // "[Zuvo Language File]" does not occur
    WrongLineCount,  // a section rule broken, or the file ends before index 499
    LineTooLong,     // an entry beyond its length limit
};
struct LangParseResult {
    LangError error = LangError::None;
    int line = 0;  // the offending line (header = line 1) for the two line errors
};

// Decodes a language file's bytes (UTF-8) and reads its entries into st.loaded. On success the
// loaded table becomes active; on any error the buffer is freed and the built-in table is active.
LangParseResult LangParse(LangState& st, const uint8_t* data, size_t len);

// ---- loading ----

// What LoadLanguage needs of the machine.
struct LangEnv {
    const FileOps* fs;
    std::wstring programFolder;  // language files are looked for here only
    uint16_t userLanguage;       // primary language of the user's default locale (LANG_*)
    // Appends "text code" to error.log (a negative code is not printed).
    void (*errorLog)(void* ctx, const char* text, int code);
    void* logCtx;
};

// The language code chosen for an empty setting from the locale's primary language.
std::wstring LangCodeForLocale(uint16_t primaryLanguage);
// "lan" + code + ".ini" in the program's folder.
std::wstring LangFilePath(std::wstring_view programFolder, std::wstring_view code);

// Loads the language named by code (the `language` setting), choosing it from the locale when
// empty. A file that cannot be opened, has a wrong size or lacks the header sets code to "EN";
// a file that fails the line checks keeps its code. English stays active on every failure.
void LoadLanguage(LangState& st, std::wstring& code, const LangEnv& env);

// ---- lookups ----

// The entry's text: for index above 237 the empty string; else the active entry when present
// and not empty, else the built-in one.
const wchar_t* LangText(const LangState& st, int index);

// A tooltip made from a menu entry: at most 60 characters, cut at the first TAB, "..." and
// "  [", the first "&" removed; withKeys appends "  [keys]" with the text after the TAB.
// Empty for index 238 and above and for an empty active entry. Lives in st.tipBuffer.
const wchar_t* LangMenuTip(LangState& st, int index, bool withKeys);

// The active entry for a dialog control, or null when the control keeps its template text
// (index 500 or above, entry not present or empty). The glue's LangDialogText sets it.
const wchar_t* LangDialogEntry(const LangState& st, int index);

// ---- template ----

// The built-in table as a language file (UTF-8, CR LF): a note before the header, the header,
// then every index 0 to 499 with a comment line naming it. Entries without built-in text are
// written as a line holding a lone CR, which reads back as an empty entry.
std::string LangTemplateText();
