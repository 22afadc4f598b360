#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "base/utf.h"
#include "config/settings_io.h"
#include "support/default_settings.h"
#include "support/memfs.h"

namespace {

Settings Read(const std::string& text, AnsiDecoder ansi = nullptr,
              SettingsReadResult* result = nullptr) {
    Settings s = DefaultSettings();
    SettingsReadResult r =
        SettingsFromIni(s, reinterpret_cast<const uint8_t*>(text.data()), text.size(), ansi);
    if (result) *result = r;
    return s;
}

// Sizes scale with the dpi factor unless the screen is smaller; from a factor above 1.0 the
// large bitmaps, sliders and Big view apply, above 1.25 padding too; before Windows 10 the
// search for net servers stays on.
TEST(SettingsDefaults, FollowTheScreen) {
    struct Case {
        ScreenMetrics m;
        int32_t windowW, windowH;
        bool large, padding;
    } cases[] = {
        {{10, 1.0, 1920, 1080}, 900, 640, false, false},
        {{6, 1.0, 1920, 1080}, 900, 640, false, false},
        {{10, 1.25, 1920, 1080}, 1125, 800, true, false},
        {{10, 1.5, 1024, 768}, 1024, 768, true, true},
        {{10, 1.0, 800, 600}, 800, 600, false, false},
    };
    for (const Case& c : cases) {
        Settings s;
        SetDefaults(s, c.m);
        SCOPED_TRACE(testing::Message() << c.m.dpiFactor << " " << c.m.horzRes);
        EXPECT_EQ(s.window_w, c.windowW);
        EXPECT_EQ(s.window_h, c.windowH);
        EXPECT_EQ(s.bmpfile, c.large ? "l" : "n");
        EXPECT_EQ((s.stylez & Style::LargerSliders) != 0, c.large);
        EXPECT_EQ((s.stylez & Style::AddPadding) != 0, c.padding);
        EXPECT_EQ(s.big_embedded > 16512, c.large);
        EXPECT_EQ((s.system_flags & SystemFlag::NoNetServerSearch) != 0, c.m.osMajorVersion >= 10);
    }
}

// Each case: a file body (after the first line) and what the record must hold after reading.
struct ReadCase {
    const char* name;
    std::string body;
    std::function<void(const Settings&)> check;
};

TEST(SettingsRead, LineAndValueRules) {
    const ReadCase cases[] = {
        {"crlf and lf lines", "window_x=12\r\nwindow_y=-7\n",
         [](const Settings& s) {
             EXPECT_EQ(s.window_x, 12);
             EXPECT_EQ(s.window_y, -7);
         }},
        {"last line without lf is not read", "window_x=12\nwindow_y=99",
         [](const Settings& s) { EXPECT_EQ(s.window_y, 30); }},
        {"another section stops reading", "window_x=12\n[Other]\nwindow_y=99\n",
         [](const Settings& s) {
             EXPECT_EQ(s.window_x, 12);
             EXPECT_EQ(s.window_y, 30);
         }},
        {"own section header does not stop", "[Zuvo]\nwindow_y=99\n",
         [](const Settings& s) { EXPECT_EQ(s.window_y, 99); }},
        {"lines without = and unknown keys are ignored", "nonsense\nfoo=1\nmaximized=1\n",
         [](const Settings& s) { EXPECT_EQ(s.maximized, 1); }},
        {"atoi numbers", "window_x=abc\nwindow_y=  42px\ndivider=99999999999\n",
         [](const Settings& s) {
             EXPECT_EQ(s.window_x, 0);
             EXPECT_EQ(s.window_y, 42);
             EXPECT_EQ(s.divider, INT32_MAX);
         }},
        // An 8- or 16-bit key whose number does not fit keeps its value, as a text that is too
        // long does; wrapped, 65536 would be a silent volume and 70000 would set other bits.
        {"numbers wider than their field are ignored",
         "tab_sel=300\nvolume=65536\nfont_size=-1\nmouse_flags=70000\n",
         [](const Settings& s) {
             EXPECT_EQ(s.tab_sel, 0);
             EXPECT_EQ(s.volume, 32767);
             EXPECT_EQ(s.font_size, 0);
             EXPECT_EQ(s.mouse_flags, 7);
         }},
        {"numbers at the ends of their field are taken", "tab_sel=255\nvolume=65535\nhotkeys=0\n",
         [](const Settings& s) {
             EXPECT_EQ(s.tab_sel, 255);
             EXPECT_EQ(s.volume, 65535);
             EXPECT_EQ(s.hotkeys, 0);
         }},
        {"composite values at fixed offsets",
         "list_name=0300,0200\neq=010,020,030\neq_f=00050,02000,12000\n",
         [](const Settings& s) {
             EXPECT_EQ(s.list_name, (std::array<int32_t, 3>{300, 200, 0}));
             EXPECT_EQ(s.eq, (std::array<int32_t, 3>{10, 20, 30}));
             EXPECT_EQ(s.eq_f, (std::array<int32_t, 3>{50, 2000, 12000}));
         }},
        {"all-zero layout becomes 40",
         "list_name=0000,0000,0000\nlist_size=0000,0000,0000\nlist_ext=0000,0005,0000\n"
         "list_date=0000,0000,0000\n",
         [](const Settings& s) {
             EXPECT_EQ(s.list_name[0], 40);
             EXPECT_EQ(s.list_date[0], 40);
             EXPECT_EQ(s.list_name[1], 0);  // layout 1 has a width of 5
             EXPECT_EQ(s.list_ext[1], 5);
             EXPECT_EQ(s.list_size[2], 40);
         }},
        {"filebufsize clamps low (high: tests/e2e)", "filebufsize=5\n",
         [](const Settings& s) { EXPECT_EQ(s.filebufsize, 20); }},
        {"five hotkeys grow to thirteen", "hotkey_def=0x7790x7890x7990x7A90x7B9\n",
         [](const Settings& s) {
             EXPECT_EQ(s.hotkey_def,
                       "0x7790x7890x7990x7A90x7B90x0000x0000x0000x0000x0000x0000x0000x000");
         }},
        {"one skip step for both directions", "skip_times=10\n",
         [](const Settings& s) { EXPECT_EQ(s.skip_times, 2570); }},
        {"two skip steps stay", "skip_times=256\n",
         [](const Settings& s) { EXPECT_EQ(s.skip_times, 256); }},
        {"bitmap i reads as n", "bmpfile=i\n",
         [](const Settings& s) { EXPECT_EQ(s.bmpfile, "n"); }},
        {"embedded top and bottom keeps bottom", "big_embedded=49152\n",
         [](const Settings& s) { EXPECT_EQ(s.big_embedded, 16384); }},
        {"slider split keeps ten bits", "slider_split=1025\n",
         [](const Settings& s) { EXPECT_EQ(s.slider_split, 1); }},
        {"repeat mode out of range", "rpt_mode=7\n",
         [](const Settings& s) { EXPECT_EQ(s.rpt_mode, 0); }},
        {"text limits",
         "font_face=" + std::string(39, 'a') + "\nbmpfile=" + std::string(40, 'b') +
             "\nbig_title=" + std::string(110, 'c') + "\nbig_infoptrn=" + std::string(59, 'd') +
             "\n",
         [](const Settings& s) {
             EXPECT_EQ(s.font_face, std::string(39, 'a'));
             EXPECT_EQ(s.bmpfile, "n");  // 40 characters: too long, kept
             EXPECT_EQ(s.big_title.size(), 66u);
             EXPECT_EQ(s.big_infoptrn, std::string(59, 'd'));
         }},
        {"background sets track background", "color_back=255\n",
         [](const Settings& s) {
             EXPECT_EQ(s.color_back, 255);
             EXPECT_EQ(s.color_trkbg, 255);
         }},
        {"track background after background wins", "color_back=255\ncolor_trkbg=7\n",
         [](const Settings& s) { EXPECT_EQ(s.color_trkbg, 7); }},
        {"utf8 paths", "utf8=1\nlast_folder=C:\\M\xC3\xBCsik\n",
         [](const Settings& s) {
             EXPECT_EQ(s.last_folder, L"C:\\M\u00FCsik");
             EXPECT_EQ(s.utf8Values, 1);
         }},
        {"hex dumped paths without utf8", "last_folder=43003A005C00FC00\n",
         [](const Settings& s) { EXPECT_EQ(s.last_folder, L"C:\\\u00FC"); }},
        {"path of 401 characters is ignored", "utf8=1\nlast_folder=" + std::string(401, 'x') + "\n",
         [](const Settings& s) { EXPECT_TRUE(s.last_folder.empty()); }},
        {"dir history is always utf8", "dir_history=12;C:\\\xC3\xA4\\b.mp3\ndir_history=1;C:\\\n",
         [](const Settings& s) {
             EXPECT_EQ(s.dir_history[0], L"12;C:\\\u00E4\\b.mp3");
             EXPECT_TRUE(s.dir_history[1].empty());  // 8 characters or fewer
         }},
        {"short favourites are dropped",
         "utf8=1\nfav_set=C:\\Music\\\nfav_set=0000000000,C:\\Music\\\n",
         [](const Settings& s) {
             EXPECT_EQ(s.fav_set[0], L"0000000000,C:\\Music\\");
             EXPECT_TRUE(s.fav_set[1].empty());
         }},
        {"user presets go after the built-ins", "enh_eq_set=mine\nenh2_set=a\nenh2_set=b\n",
         [](const Settings& s) {
             EXPECT_EQ(s.enh_eq_set[9], "mine");
             EXPECT_EQ(s.enh_eq_set[0].substr(56), "   [ Night ]");
             EXPECT_EQ(s.enh2_set[1], "b");
         }},
        {"the text ends at a NUL byte", std::string("window_x=5\n\0window_y=6\n", 24),
         [](const Settings& s) {
             EXPECT_EQ(s.window_x, 5);
             EXPECT_EQ(s.window_y, 30);
         }},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.check(Read("[Zuvo]\r\n" + c.body));
    }
}

TEST(SettingsRead, FirstLineIsNeverLookedAt) {
    EXPECT_EQ(Read("window_x=5\nwindow_y=6\n").window_x, 80);
    EXPECT_EQ(Read("[Other]\nwindow_y=6\n").window_y, 6);
}

TEST(SettingsRead, FullListIgnoresFurtherEntries) {
    std::string body = "[Zuvo]\n";
    for (int i = 0; i < 35; ++i) body += "enh2_set=p" + std::to_string(i) + "\n";
    for (int i = 0; i < 25; ++i) body += "enh_eq_set=u" + std::to_string(i) + "\n";
    Settings s = Read(body);
    EXPECT_EQ(s.enh2_set[29], "p29");
    EXPECT_EQ(s.enh_eq_set[29], "u20");
    EXPECT_EQ(s.enh_eq_set[8].substr(56), "   [ Equalizer ]");
}

TEST(SettingsRead, OnlyTheFirst24000BytesAreRead) {
    std::string body = "[Zuvo]\nwindow_x=1\n";
    body += "font_face=" + std::string(kSettingsReadLimit - body.size() - 30, 'x') + "\n";
    std::string inside = body + "window_y=7\n";  // ends below the limit
    ASSERT_LT(inside.size(), kSettingsReadLimit);
    EXPECT_EQ(Read(inside).window_y, 7);
    std::string beyond = body + std::string(40, '\n') + "window_y=7\n";
    EXPECT_EQ(Read(beyond).window_y, 30);
}

TEST(SettingsRead, LaunchValuesUseTheSystemCodePageInOldFiles) {
    AnsiDecoder upper = [](std::string_view t) { return L"ansi:" + Utf8ToWide(t); };
    Settings old = Read("[Zuvo]\napplaunch1=0x.exe\n", upper);
    EXPECT_EQ(old.applaunch1, L"ansi:0x.exe");
    Settings now = Read("[Zuvo]\nutf8=1\napplaunch1=0\xC3\xA9.exe\n", upper);
    EXPECT_EQ(now.applaunch1, L"0\u00E9.exe");
    Settings tooLong = Read("[Zuvo]\nutf8=1\napplaunch2=" + std::string(400, 'a') + "\n", upper);
    EXPECT_EQ(tooLong.applaunch2, L"0");
}

TEST(SettingsRead, StreamLastFile) {
    for (auto [value, stream] : {std::pair{"https://radio/x", true},
                                 {"mms://a", true},
                                 {"HTTP://a", true},
                                 {"C:\\http.mp3", false}}) {
        SettingsReadResult r;
        Read(std::string("[Zuvo]\nutf8=1\nlast_file=") + value + "\n", nullptr, &r);
        EXPECT_EQ(r.lastFileIsStream, stream) << value;
    }
}

TEST(SettingsWrite, LayoutAndLists) {
    Settings s = DefaultSettings();
    s.last_file = L"C:\\\u00C4\\\U0001F3B5.mp3";
    s.enh_eq_set[9] = "user preset";
    s.fav_set[0] = L"0000000000,C:\\Music\\Jazz";
    s.dir_history[0] = L"5;C:\\Music\\a.mp3";
    std::string ini = SettingsToIni(s, "");
    EXPECT_EQ(ini.rfind("[Zuvo]\r\nutf8=1\r\nwindow_x=80\r\nwindow_y=30\r\n", 0), 0u);
    EXPECT_NE(ini.find("\r\neq=050,050,050\r\neq_f=00100,01000,10000\r\nenh_eq_set=user preset\r\n"
                       "fav_set=0000000000,C:\\Music\\Jazz\r\n"),
              std::string::npos);
    EXPECT_NE(ini.find("\r\nlast_file=C:\\\xC3\x84\\\xF0\x9F\x8E\xB5.mp3\r\n"), std::string::npos);
    EXPECT_EQ(ini.find("[ Night ]"), std::string::npos);  // built-ins are never written
    EXPECT_EQ(ini.find("dir_history"), std::string::npos);
    EXPECT_NE(ini.find("\r\ncolor_trkbg="), std::string::npos);
    EXPECT_EQ(ini.substr(ini.size() - 2), "\r\n");

    s.control_flags |= ControlFlag::RememberFolderPos;
    s.trackBackgroundSet = false;
    ini = SettingsToIni(s, "");
    EXPECT_NE(ini.find("\r\ndir_history=5;C:\\Music\\a.mp3\r\n"), std::string::npos);
    EXPECT_EQ(ini.find("color_trkbg"), std::string::npos);
}

TEST(SettingsWrite, KeepsTheTailOfOtherSections) {
    Settings s = DefaultSettings();
    struct Case {
        std::string old;
        std::string tail;
    } cases[] = {
        {"[Zuvo]\r\nwindow_x=1\r\n" + std::string(60, 'x') + "\r\n[Plugin]\r\na=1\r\n",
         "[Plugin]\r\na=1\r\n"},
        // A section header within the first 50 bytes is the settings' own: not kept.
        {"[Zuvo]\r\n[Early]\r\n" + std::string(60, 'x') + "\r\n", ""},
        {"[Zuvo]\r\n[A]\r\n" + std::string(45, 'x') + "\r\n[B]\r\nb=2", "[B]\r\nb=2"},
        {"[Zuvo]\r\nshort\r\n[A]\r\n", ""},  // 50 bytes or less: nothing kept
        {"", ""},
    };
    std::string bare = SettingsToIni(s, "");
    for (const Case& c : cases) {
        std::string ini = SettingsToIni(s, c.old);
        EXPECT_EQ(ini, bare + c.tail);
    }
}

TEST(SettingsWrite, LongPathsAreCutAtACharacterBoundary) {
    Settings s = DefaultSettings();
    s.last_folder = std::wstring(400, L'\u20AC');  // three bytes each in UTF-8
    std::string ini = SettingsToIni(s, "");
    size_t at = ini.find("last_folder=") + 12;
    std::string value = ini.substr(at, ini.find("\r\n", at) - at);
    EXPECT_EQ(value.size(), 996u);
    EXPECT_EQ(Utf8ToWide(value), std::wstring(332, L'\u20AC'));
}

TEST(SettingsWrite, ReadingBackGivesTheSameRecordAndBytes) {
    Settings s = DefaultSettings();
    s.window_x = -1200;
    s.list_date = {1, 22, 333};
    s.eq = {0, 100, 7};
    s.last_file = L"\\\\server\\share\\\u00E9t\u00E9\\01.mp3";
    s.language = L"Deutsch.ini";
    s.applaunch2 = L"1C:\\Tools\\\u00FCber.exe";
    s.big_rssstring = "060,0000000000,004,http://a/b";
    s.enh2_set[0] = "name,values";
    s.fav_set[1] = L"0000000042,D:\\Lists\\Sonntag.m3u8";
    s.fav_set[0] = L"0000000000,D:\\Lists\\Samstag.m3u";
    s.control_flags |= ControlFlag::RememberFolderPos;
    s.dir_history[0] = L"1234;D:\\a\\b.mp3";
    s.stylez = -5;
    s.skip_times = 0x7FFF0A0B;
    std::string first = SettingsToIni(s, "");
    Settings back = Read(first);
    EXPECT_EQ(SettingsToIni(back, ""), first);
    EXPECT_EQ(back.last_file, s.last_file);
    EXPECT_EQ(back.applaunch2, s.applaunch2);
    EXPECT_EQ(back.fav_set, s.fav_set);
    EXPECT_EQ(back.dir_history, s.dir_history);
    EXPECT_EQ(back.stylez, -5);
}

// Every theme keeps the Big view title's font and layout fields and marks the track background
// as set; themes 1 to 3 follow the dpi with their bitmap and slider size, every theme with the
// Big view's embedded size.
TEST(SettingsThemes, EachThemeKeepsTheTitleFontAndFollowsTheDpi) {
    const Settings base = DefaultSettings();  // no dpi bits in stylez
    const double dpis[3] = {1.0, 1.1, 1.5};
    std::set<int32_t> backgrounds;
    for (int index = 1; index <= kColourThemeCount; ++index) {
        const bool variants = index <= 3;
        Settings at[3];
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(testing::Message() << index << " at " << dpis[k]);
            Settings& s = at[k] = base;
            s.trackBackgroundSet = false;
            s.big_t_time = 5;
            ApplyColourTheme(s, index, dpis[k], nullptr);
            EXPECT_TRUE(s.trackBackgroundSet);
            EXPECT_EQ(s.big_t_time, 32768);
            EXPECT_EQ(s.big_title.substr(0, 24), base.big_title.substr(0, 24));
            EXPECT_EQ(s.big_title.substr(60), ",Arial");
            EXPECT_EQ((s.stylez & Style::LargerSliders) != 0, variants && dpis[k] > 1.0);
            EXPECT_EQ((s.stylez & Style::AddPadding) != 0, variants && dpis[k] > 1.25);
        }
        EXPECT_GT(at[1].big_embedded, at[0].big_embedded) << index;
        EXPECT_EQ(at[1].bmpfile != at[0].bmpfile, variants) << index;
        backgrounds.insert(at[0].color_back);
    }
    EXPECT_EQ(backgrounds.size(), size_t(kColourThemeCount));  // each index its own theme
}

TEST(SettingsThemes, CurrentRestoresTheSnapshot) {
    Settings s = DefaultSettings();
    s.color_text = 1;
    s.big_title = "short";
    ThemeSnapshot snap = TakeThemeSnapshot(s);
    ApplyColourTheme(s, 5, 1.0, nullptr);
    EXPECT_EQ(s.big_title, "short");  // too short to be themed
    EXPECT_NE(s.color_text, 1);
    ApplyColourTheme(s, 0, 1.0, &snap);
    EXPECT_EQ(s.color_text, 1);
    EXPECT_EQ(s.stylez, snap.stylez);
    EXPECT_EQ(s.bmpfile, "n");
}

TEST(SettingsFile, ReadAndWriteThroughFileOps) {
    MemFs mem;
    mem.folders = {L"C:\\Zuvo", L"C:\\Locked"};
    mem.readOnlyFolders = {L"C:\\Locked"};
    FileOps fs = MemFsOps(mem);

    Settings s = DefaultSettings();
    EXPECT_FALSE(ReadSettingsFile(s, fs, L"C:\\Zuvo\\zuvo.ini", nullptr, nullptr));
    EXPECT_EQ(s.window_x, 80);

    s.window_x = 3;
    s.fav_set[0] = L"0000000000,C:\\Music\\Jazz";
    ASSERT_TRUE(WriteSettingsFile(s, fs, L"C:\\Zuvo\\zuvo.ini", false));
    EXPECT_TRUE(s.fav_set[0].empty());  // lists freed at exit

    Settings back = DefaultSettings();
    ASSERT_TRUE(ReadSettingsFile(back, fs, L"C:\\Zuvo\\zuvo.ini", nullptr, nullptr));
    EXPECT_EQ(back.window_x, 3);
    EXPECT_EQ(back.fav_set[0], L"0000000000,C:\\Music\\Jazz");

    EXPECT_FALSE(WriteSettingsFile(s, fs, L"C:\\Locked\\zuvo.ini", true));
}

// The old file is read for its tail only up to kSettingsOldFileLimit bytes: a tail that runs
// past them is kept up to its last whole line within them, never as a half line.
TEST(SettingsFile, OldFileIsReadWithASizeBound) {
    MemFs mem;
    mem.folders = {L"C:\\Zuvo"};
    FileOps fs = MemFsOps(mem);
    const Settings s = DefaultSettings();
    const std::string own = SettingsToIni(s, "");
    const std::string line = "key=" + std::string(90, 'v') + "\r\n";  // 96 bytes
    auto tail = [&](size_t lines) {
        std::string t = "[Other]\r\n";
        for (size_t i = 0; i < lines; ++i) t += line;
        return t;
    };
    const size_t fit = (kSettingsOldFileLimit - own.size() - 10) / line.size();
    struct Case {
        const char* name;
        std::string old, keptTail;
    } cases[] = {
        {"tail within the bound", own + tail(fit), tail(fit)},
        {"tail past the bound", own + tail(fit + 5000), tail(fit)},
        {"bound in the middle of a line", own + tail(fit) + "key=" + std::string(200, 'w'),
         tail(fit)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem.files[L"C:\\Zuvo\\zuvo.ini"] = c.old;
        Settings copy = s;
        ASSERT_TRUE(WriteSettingsFile(copy, fs, L"C:\\Zuvo\\zuvo.ini", true));
        const std::string& written = mem.files[L"C:\\Zuvo\\zuvo.ini"];
        EXPECT_EQ(written.size(), own.size() + c.keptTail.size());  // (the texts are too long
        EXPECT_TRUE(written == own + c.keptTail);                   // to print)
    }
}

}  // namespace
