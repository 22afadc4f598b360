#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "config/settings_io.h"
#include "support/default_settings.h"
#include "settings/control_table.h"
#include "settings/settings_pages.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool Keyed(const ControlRow& c) {
    return c.key != nullptr && c.kind != Ctl::Action && c.kind != Ctl::Static;
}

// Every key of the settings file is edited by a control or named with its page or reason; a
// key added later without either fails here. A key is never both.
TEST(ControlTable, CoversEveryKey) {
    for (int k = 0; k < SettingsKeyCount(); ++k) {
        const std::string key = SettingsKeyName(k);
        int controls = 0, notes = 0;
        for (int i = 0; i < kControlCount; ++i)
            controls += kControlTable[i].key && key == kControlTable[i].key;
        for (int i = 0; i < kKeyNoteCount; ++i) notes += key == kKeyNotes[i].key;
        EXPECT_TRUE(controls > 0 || notes == 1) << key;
        EXPECT_FALSE(controls > 0 && notes > 0) << key;
    }
    // And nothing names a key the record does not have.
    std::set<std::string> keys;
    for (int k = 0; k < SettingsKeyCount(); ++k) keys.insert(SettingsKeyName(k));
    for (int i = 0; i < kControlCount; ++i)
        if (kControlTable[i].key) {
            EXPECT_TRUE(keys.count(kControlTable[i].key)) << kControlTable[i].id;
        }
    for (int i = 0; i < kKeyNoteCount; ++i) EXPECT_TRUE(keys.count(kKeyNotes[i].key)) << kKeyNotes[i].key;
}

TEST(ControlTable, IdsAreUniqueAndOnTheirPages) {
    std::set<int> ids;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& c = kControlTable[i];
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        EXPECT_GE(c.id, 3100);
        EXPECT_LT(c.id, 3990);
        EXPECT_GE(c.page, 0);
        EXPECT_LT(c.page, kSettingsPageCount);
        // The sound pages' controls are theirs.
        EXPECT_TRUE(c.page != 1 && c.page != 2 && c.page != 3 && c.page != 4 && c.page != 8) << c.id;
    }
}

// Every check box, list and number box of the table writes what it shows and nothing else:
// a fault in a mask, a shift, a position or a field width shows up as a value that does not
// come back, or as another bit or character that moved.
TEST(ControlTable, EveryControlWritesOnlyItsPart) {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& c = kControlTable[i];
        if (!Keyed(c) || c.kind == Ctl::Text || c.kind == Ctl::TextFrom || c.kind == Ctl::Font)
            continue;
        SCOPED_TRACE(c.id);
        std::vector<int64_t> values;
        switch (c.kind) {
        case Ctl::Bit:
        case Ctl::Switch:
        case Ctl::CharFlag:
            values = {1, 0, 1};
            break;
        case Ctl::Choice:
        case Ctl::CharChoice:
            for (int e = ControlEntryCount(c) - 1; e >= 0; --e) values.push_back(e);
            EXPECT_GT(ControlEntryCount(c), 1);
            break;
        case Ctl::Colour:
            values = {0x123456, 0xFEDCBA};
            break;
        case Ctl::SkipStep:  // seconds the step coding can hold
            values = {1, 60, 90, SkipStepSeconds(c.max)};
            break;
        default:
            values = {c.min, c.max, (c.min + c.max) / 2};
        }
        for (int64_t v : values) {
            Settings s = DefaultSettings();
            ASSERT_TRUE(SetControlValue(s, c, v)) << v;
            EXPECT_EQ(ControlValue(s, c), v);
            // The other controls of the same key keep their values.
            Settings base = DefaultSettings();
            for (int j = 0; j < kControlCount; ++j) {
                const ControlRow& o = kControlTable[j];
                if (j == i || !Keyed(o) || std::string(o.key) != c.key) continue;
                if (o.kind == Ctl::Text || o.kind == Ctl::TextFrom) continue;
                const auto masked = [](Ctl k) {
                    return k == Ctl::Bit || k == Ctl::Number || k == Ctl::Choice;
                };
                if (!(masked(o.kind) && masked(c.kind) && (o.mask & c.mask))) {
                    EXPECT_EQ(ControlValue(s, o), ControlValue(base, o)) << o.id;
                }
            }
        }
    }
}

// Numbers stay within the control's limits whatever is typed; texts beyond the field's length
// are refused and leave the field as it was.
TEST(ControlTable, Limits) {
    struct Case {
        int id;
        int64_t typed, shown;
    } cases[] = {
        {3167, 99999, 10000},  // Back on Resume
        {3701, 5000, 1000},    // log size
        {3363, 3, 16},         // picture height
        {3662, 80, 50},        // RSS max items
        {3165, 600, 250},      // rewind: 250 is the largest step code, 440 seconds
        {3166, 0, 1},          // fast forward: at least 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const ControlRow* row = FindControl(c.id);
        ASSERT_NE(row, nullptr);
        Settings s = DefaultSettings();
        SetControlValue(s, *row, c.typed);
        if (row->kind == Ctl::SkipStep)
            EXPECT_EQ((static_cast<uint32_t>(s.skip_times) >> row->shift & 0xFF), c.shown);
        else
            EXPECT_EQ(ControlValue(s, *row), c.shown);
    }
    Settings s = DefaultSettings();
    const ControlRow* proxy = FindControl(3510);
    EXPECT_TRUE(SetControlText(s, *proxy, "proxy:3128"));
    EXPECT_FALSE(SetControlText(s, *proxy, std::string(80, 'x')));
    EXPECT_EQ(s.inet, "proxy:3128");
    // A text after fixed positions keeps the letters before it.
    const ControlRow* address = FindControl(3601);
    EXPECT_TRUE(SetControlText(s, *address, "192.168.0.1:8080"));
    EXPECT_EQ(s.httpserv, "----lfca-b192.168.0.1:8080");
    EXPECT_EQ(ControlText(s, *address), "192.168.0.1:8080");
    const ControlRow* program = FindControl(3560);
    EXPECT_TRUE(SetControlText(s, *program, "C:\\Tools\\\xC3\xA9" "dit.exe"));
    EXPECT_EQ(s.applaunch1, L"0C:\\Tools\\\u00e9dit.exe");
}

// The step coding of the skip times, both ways.
TEST(ControlTable, SkipSteps) {
    struct Case {
        int seconds, code, back;
    } cases[] = {{1, 1, 1}, {60, 60, 60}, {62, 61, 62}, {90, 75, 90}, {91, 75, 90}, {400, 230, 400}};
    for (const Case& c : cases) {
        EXPECT_EQ(SkipStepCode(c.seconds, 250), c.code) << c.seconds;
        EXPECT_EQ(SkipStepSeconds(c.code), c.back) << c.seconds;
    }
    Settings s = DefaultSettings();
    s.skip_times = (1234 << 16) | (20 << 8) | 10;
    SetControlValue(s, *FindControl(3166), 90);
    EXPECT_EQ(s.skip_times, (1234 << 16) | (75 << 8) | 10);
}

// Each control of the table stands in its page's template with a matching control type; the
// resource script comes from the table (scripts/make_settings_rc.py).
TEST(ControlTable, ResourceScriptAgrees) {
    const std::map<Ctl, std::string> kRcType = {
        {Ctl::Bit, "AUTOCHECKBOX"}, {Ctl::Switch, "AUTOCHECKBOX"}, {Ctl::CharFlag, "AUTOCHECKBOX"},
        {Ctl::Choice, "COMBOBOX"},  {Ctl::CharChoice, "COMBOBOX"}, {Ctl::Number, "EDITTEXT"},
        {Ctl::Digits, "EDITTEXT"},  {Ctl::CharCount, "EDITTEXT"},  {Ctl::SkipStep, "EDITTEXT"},
        {Ctl::Text, "EDITTEXT"},    {Ctl::TextFrom, "EDITTEXT"},   {Ctl::Colour, "PUSHBUTTON"},
        {Ctl::Font, "PUSHBUTTON"}};
    const std::string rc = ReadFile(ZUVO_SOURCE_DIR "/src/settings/settings_pages.rc");
    ASSERT_FALSE(rc.empty());
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& c = kControlTable[i];
        const std::string head = std::to_string(3000 + c.page) + " DIALOGEX";
        const size_t start = rc.find(head);
        ASSERT_NE(start, std::string::npos) << c.page;
        const std::string body = rc.substr(start, rc.find("\nEND", start) - start);
        const std::string id = std::to_string(c.id);
        std::smatch m;
        const std::regex line("\\n  (\\w+) [^\\n]*?\\b" + id + ",");
        ASSERT_TRUE(std::regex_search(body, m, line)) << c.id;
        const auto want = kRcType.find(c.kind);
        if (want != kRcType.end()) {
            EXPECT_EQ(m[1].str(), want->second) << c.id;
        }
    }
}

// docs/settings.md holds the table made from the control table, unchanged.
TEST(ControlTable, DocumentationAgrees) {
    const std::string doc = ReadFile(ZUVO_SOURCE_DIR "/docs/settings.md");
    EXPECT_NE(doc.find(SettingsKeyDoc()), std::string::npos)
        << "docs/settings.md is out of date; its table should read:\n"
        << SettingsKeyDoc();
}

}  // namespace
