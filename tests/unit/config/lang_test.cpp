#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "config/lang.h"
#include "support/memfs.h"

namespace {

bool IsSection(int i) {
    for (int s : kLangSectionIndexes)
        if (s == i) return true;
    return false;
}

// The 500 entry lines of a well-formed file: "T<index>" or a section line.
std::vector<std::string> GoodLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < kLangEntries; ++i)
        lines.push_back(IsSection(i) ? "SECTION_" + std::to_string(i) : "T" + std::to_string(i));
    return lines;
}

// Header plus lines, padded in front of the header to minBytes (text there is ignored).
std::string FileText(const std::vector<std::string>& lines, size_t minBytes = 0) {
    std::string body = "[Zuvo Language File]\r\n";
    for (const std::string& l : lines) body += l + "\r\n";
    std::string pad;
    while (pad.size() + body.size() < minBytes) pad += "ignored text before the header\r\n";
    return pad + body;
}

LangParseResult Parse(LangState& st, const std::string& text) {
    return LangParse(st, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(LangTable, BuiltInEntriesKeepTheFileRules) {
    const LangTable& t = LangBuiltIn();
    for (int i = 0; i < kLangEntries; ++i) {
        if (i > kLangLastBuiltIn) {
            EXPECT_EQ(t.entry[i], nullptr) << i;
            continue;
        }
        ASSERT_NE(t.entry[i], nullptr) << i;
        std::wstring_view e = t.entry[i];
        EXPECT_FALSE(e.empty()) << i;
        EXPECT_EQ(e.starts_with(L"SECTION_"), IsSection(i)) << i;
        EXPECT_LE(e.size(), i >= kLangFirstLong ? kLangLongLimit : kLangShortLimit) << i;
        EXPECT_EQ(e.find(L'\r'), std::wstring_view::npos) << i;
    }
}

TEST(LangTable, TemplateLoadsBackAsTheBuiltInTable) {
    std::string text = LangTemplateText();
    EXPECT_GE(text.size(), kLangFileMinBytes);
    EXPECT_LE(text.size(), kLangFileMaxBytes);
    LangState st;
    ASSERT_EQ(Parse(st, text).error, LangError::None);
    ASSERT_EQ(st.active, &st.loaded);
    for (int i = 0; i <= kLangLastBuiltIn; ++i)
        EXPECT_STREQ(st.loaded.entry[i], LangBuiltIn().entry[i]) << i;
    for (int i = kLangLastBuiltIn + 1; i < kLangEntries; ++i) {
        ASSERT_NE(st.loaded.entry[i], nullptr) << i;
        EXPECT_EQ(IsSection(i), *st.loaded.entry[i] != 0) << i;  // empty unless a section
    }
    EXPECT_EQ(LangDialogEntry(st, 239), nullptr);
}

TEST(LangFile, LineRules) {
    auto with = [](int index, std::string text) {
        std::vector<std::string> l = GoodLines();
        l[index] = std::move(text);
        return l;
    };
    std::vector<std::string> comment = GoodLines();
    comment.insert(comment.begin() + 6, "/ a comment between entries 5 and 6");
    comment.insert(comment.begin() + 100, "");
    std::vector<std::string> short499 = GoodLines();
    short499.pop_back();
    std::vector<std::string> shortAfterComment = comment;
    shortAfterComment.pop_back();
    struct Case {
        const char* what;
        std::string text;
        LangError error;
        int line;
    } cases[] = {
        {"good", FileText(GoodLines()), LangError::None, 0},
        {"comment and empty line", FileText(comment), LangError::None, 0},
        {"499 entries", FileText(short499), LangError::WrongLineCount, 501},
        {"499 entries after two skipped lines", FileText(shortAfterComment),
         LangError::WrongLineCount, 503},
        {"91-char menu entry", FileText(with(20, std::string(91, 'm'))), LangError::LineTooLong,
         22},
        {"90-char menu entry", FileText(with(20, std::string(90, 'm'))), LangError::None, 0},
        {"381-char long text", FileText(with(235, std::string(381, 'l'))), LangError::LineTooLong,
         237},
        {"dialog texts are not limited", FileText(with(300, std::string(2000, 'd'))),
         LangError::None, 0},
        {"missing section line", FileText(with(91, "TOOLTIPS")), LangError::WrongLineCount, 93},
        {"section line off its index", FileText(with(5, "SECTION_X")), LangError::WrongLineCount,
         7},
        {"no header", "T0\r\nT1\r\n", LangError::NoHeader, 0},
        {"header without entries", "[Zuvo Language File]", LangError::WrongLineCount, 2},
        {"text after 499 is ignored", FileText(GoodLines()) + "SECTION_MORE\r\n", LangError::None,
         0},
    };
    for (const Case& c : cases) {
        LangState st;
        LangParseResult r = Parse(st, c.text);
        EXPECT_EQ(r.error, c.error) << c.what;
        EXPECT_EQ(r.line, c.line) << c.what;
        if (c.error != LangError::None) {
            EXPECT_TRUE(st.buffer.empty()) << c.what;
            EXPECT_STREQ(LangText(st, 57), L"&Quit") << c.what;
        }
    }
    LangState st;
    ASSERT_EQ(Parse(st, FileText(comment)).error, LangError::None);
    EXPECT_STREQ(LangText(st, 5), L"T5");
    EXPECT_STREQ(LangText(st, 6), L"T6");
    EXPECT_STREQ(LangText(st, 237), L"T237");
    EXPECT_STREQ(LangText(st, 238), L"");  // loaded, but above the built-in range
    // Entries point into the one decoded buffer.
    const wchar_t* b = st.buffer.data();
    EXPECT_TRUE(st.loaded.entry[300] > b && st.loaded.entry[300] < b + st.buffer.size());
}

TEST(LangFile, EmptyEntryFallsBackToEnglish) {
    std::vector<std::string> l = GoodLines();
    l[57] = "\r";  // a line holding a lone CR: an entry with no text
    l[58] =
        "\xC3\x9C"
        "ber";  // UTF-8 decoded
    LangState st;
    ASSERT_EQ(Parse(st, FileText(l)).error, LangError::None);
    EXPECT_STREQ(LangText(st, 57), L"&Quit");
    EXPECT_STREQ(LangText(st, 58), L"\u00DCber");
    EXPECT_STREQ(LangText(st, 56), L"T56");
    EXPECT_STREQ(LangMenuTip(st, 57, true), L"");  // tips use the active entry only
    EXPECT_EQ(LangDialogEntry(st, 57), nullptr);
    EXPECT_STREQ(LangDialogEntry(st, 300), L"T300");
}

struct Logged {
    std::vector<std::string> lines;
};
void CaptureLog(void* ctx, const char* text, int code) {
    static_cast<Logged*>(ctx)->lines.push_back(code >= 0 ? text + (" " + std::to_string(code))
                                                         : std::string(text));
}

// A good file becomes the table; a failed load resets the code to English, logs why and keeps
// the built-in table. (A wrong line count, which keeps the code: tests/e2e/test_settings_file.py.)
TEST(LangFile, LoadLanguageChoosesLogsAndResets) {
    const std::string good = FileText(GoodLines(), kLangFileMinBytes);
    struct Case {
        const char* what;
        std::wstring code;
        uint16_t locale;
        std::string content;  // of lanDE.ini; empty: no file
        const char* log;      // null: nothing logged
        bool loaded = false;
    } cases[] = {
        {"good file", L"DE", 0, good, nullptr, true},
        {"German locale, no file", L"", 0x07, "", "Language file open failed"},
        {"English is built in", L"EN", 0x07, good, nullptr},
        {"unknown locale", L"", 0x09, "", nullptr},
        {"too small", L"DE", 0, std::string(kLangFileMinBytes - 1, 'a'), "Invalid language file size"},
        {"too large", L"DE", 0, good + std::string(kLangFileMaxBytes, 'a'),
         "Invalid language file size"},
        {"no header", L"DE", 0, std::string(kLangFileMinBytes, 'a'), "No [Zuvo Language File]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemFs mem;
        if (!c.content.empty()) mem.files[L"C:\\Zuvo\\lanDE.ini"] = c.content;
        FileOps fs = MemFsOps(mem);
        Logged logged;
        LangEnv env{&fs, L"C:\\Zuvo", c.locale, CaptureLog, &logged};
        LangState st;
        std::wstring code = c.code;
        LoadLanguage(st, code, env);
        EXPECT_EQ(code, c.loaded ? c.code : L"EN");
        EXPECT_EQ(logged.lines, c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{});
        EXPECT_EQ(st.active == &st.loaded, c.loaded);
        EXPECT_STREQ(LangText(st, 0), c.loaded ? L"T0" : L"EN / English / Default");
    }
}

TEST(LangLookups, MenuTips) {
    LangState st;
    EXPECT_STREQ(LangMenuTip(st, 52, true), L"Settings  [F6]");
    EXPECT_STREQ(LangMenuTip(st, 52, false), L"Settings");
    EXPECT_STREQ(LangMenuTip(st, 57, true), L"Quit");
    EXPECT_STREQ(LangMenuTip(st, 238, true), L"");
    std::vector<std::string> l = GoodLines();
    l[30] = std::string(58, 'a') + "&&b\tKeys";  // cut to 60 before the TAB is seen
    ASSERT_EQ(Parse(st, FileText(l)).error, LangError::None);
    EXPECT_EQ(std::wstring(LangMenuTip(st, 30, true)), std::wstring(58, L'a') + L"&  [Keys]");
}

}  // namespace
