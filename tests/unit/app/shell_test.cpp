#include <gtest/gtest.h>

#include <set>

#include "app/shell.h"
#include "support/default_settings.h"
#include "support/memfs.h"

namespace {

TEST(CommandLine, ArgumentTextFollowsTheProgramName) {
    struct Case {
        const wchar_t* line;
        const wchar_t* args;
    } cases[] = {
        {L"C:\\Zuvo\\zuvo.exe D:\\a.mp3", L"D:\\a.mp3"},
        {L"\"C:\\Program Files\\Zuvo\\zuvo.exe\" /r", L"/r"},
        {L"\"C:\\PROGRA~1\\ZUVO.EXE\" /hide", L"/hide"},
        {L"Zuvo /close", L"/close"},
        {L"C:\\Zuvo\\zuvo.exe", L""},
        {L"\"C:\\Zuvo\\zuvo.exe\"", L""},
        // The first ".exe " wins, even inside a folder name.
        {L"C:\\a.exe b\\zuvo.exe x", L"b\\zuvo.exe x"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExtractArgs(c.line), c.args) << c.line;
    std::wstring longLine = L"zuvo.exe " + std::wstring(1000, L'x');
    EXPECT_EQ(ExtractArgs(longLine).size(), 799u);
}

TEST(CommandLine, PathRules) {
    struct Case {
        const wchar_t* args;
        const wchar_t* path;
    } cases[] = {
        {L"D:\\Music\\a.mp3", L"D:\\Music\\a.mp3"},
        {L"  D:\\Music /close", L"D:\\Music"},
        {L"\"D:\\My Music\\a b.mp3\" /enqueue", L"D:\\My Music\\a b.mp3"},
        {L"/enqueue \"D:\\x.mp3\"", L"D:\\x.mp3"},
        {L"/r", L""},
        {L"   /newinst D:\\x", L""},
        {L"music\\a.mp3", L"C:\\Users\\me\\music\\a.mp3"},
        {L"\\\\server\\share\\a.mp3", L"\\\\server\\share\\a.mp3"},
        {L".\\a.mp3", L".\\a.mp3"},
        {L"\"unterminated.mp3", L"C:\\Users\\me\\unterminated.mp3"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(FindArgPath(c.args, L"C:\\Users\\me"), c.path) << c.args;
    EXPECT_EQ(FindArgPath(L"a.mp3", L"C:\\"), L"C:\\a.mp3");                  // no doubled "\"
    EXPECT_EQ(FindArgPath(L"D:\\" + std::wstring(397, L'x'), L"C:\\"), L"");  // 400: too long
    EXPECT_EQ(FindArgPath(L"D:\\" + std::wstring(396, L'x'), L"C:\\").size(), 399u);
}

TEST(Handover, WhenToContactTheRunningInstance) {
    Settings single, multi;
    single.control_flags = ControlFlag::SingleInstance;
    multi.control_flags = 0;
    EXPECT_TRUE(ShouldContactRunning(single, L"D:\\a.mp3"));
    EXPECT_FALSE(ShouldContactRunning(single, L"/newinst D:\\a.mp3"));
    EXPECT_TRUE(ShouldContactRunning(single, L"/newinst /enqueue D:\\a.mp3"));
    EXPECT_FALSE(ShouldContactRunning(multi, L"D:\\a.mp3"));
    EXPECT_TRUE(ShouldContactRunning(multi, L"/enqueue D:\\a.mp3"));
}

TEST(Handover, MessageAndReceivingSide) {
    HandoverMessage m = MakeHandover(L"/enqueue D:\\\u00E4.mp3", L"D:\\\u00E4.mp3");
    EXPECT_EQ(m.dwData, 1u);
    EXPECT_EQ(m.path, u"D:\\\u00E4.mp3" + std::u16string(1, u'\0'));
    EXPECT_EQ(MakeHandover(L"D:\\a.mp3", L"D:\\a.mp3").dwData, 0u);
    EXPECT_EQ(HandoverPath(m.path.data(), m.path.size() * 2), L"D:\\\u00E4.mp3");

    EXPECT_EQ(DecideHandover(L"D:\\a.mp3", 0), HandoverAction::Play);
    EXPECT_EQ(DecideHandover(L"D:\\a.mp3", 1), HandoverAction::Enqueue);
    EXPECT_EQ(DecideHandover(L"\\\\srv\\a.mp3", 1), HandoverAction::ShowWindow);
    EXPECT_EQ(DecideHandover(L"", 0), HandoverAction::ShowWindow);
}

TEST(SettingsLocation, ChoiceOrder) {
    const std::wstring exe = L"C:\\Apps\\Zuvo\\zuvo.exe";
    EXPECT_EQ(ChooseIniLocation(exe, L"C:\\AppData", true, false, true).location, kPortable);
    EXPECT_EQ(ChooseIniLocation(exe, L"C:\\AppData", false, true, true).path,
              L"C:\\Apps\\Zuvo\\zuvo.ini");
    IniChoice profile = ChooseIniLocation(exe, L"C:\\AppData", false, false, true);
    EXPECT_EQ(profile.location, kProfile);
    EXPECT_EQ(profile.path, L"C:\\AppData\\Zuvo\\Zuvo.ini");
    EXPECT_EQ(ChooseIniLocation(exe, L"C:\\AppData", false, false, false).location, kBesideProgram);
    EXPECT_EQ(MarkerFilePath(exe), L"C:\\Apps\\Zuvo\\Zuvolocal.ini");
}

// A machine with a few folders that can be entered.
struct Folders {
    std::set<std::wstring> dirs;
    StartFolders Probe() {
        return StartFolders{[](void* ctx, const std::wstring& p) {
                                return static_cast<Folders*>(ctx)->dirs.count(p) > 0;
                            },
                            this, L"C:\\Apps\\Zuvo", L"C:\\Users\\me\\Music"};
    }
};

TEST(StartCommandLine, PathsAndSwitches) {
    Folders f{{L"D:\\Music", L"D:\\Music\\Jazz", L"C:\\Users\\me\\Music"}};
    struct Case {
        const wchar_t* args;
        bool autoplay, enqueue;
        const wchar_t* lastFile;
        const wchar_t* browsed;
    } cases[] = {
        {L"D:\\Music\\Jazz\\a.mp3", true, false, L"D:\\Music\\Jazz\\a.mp3", L"D:\\Music\\Jazz"},
        {L"D:\\Music\\Jazz", true, false, L"", L"D:\\Music\\Jazz"},
        {L"D:\\Music\\Jazz /newinst", false, false, L"", L"D:\\Music\\Jazz"},
        {L"D:\\Lists\\best.M3U /newinst", false, false, L"", L"D:\\Lists\\best.M3U"},
        {L"D:\\Music\\a.mp3 /newinst", true, false, L"D:\\Music\\a.mp3", L"D:\\Music"},
        {L"/enqueue \"D:\\Music\\b.mp3\"", false, true, L"D:\\Music\\b.mp3", L"D:\\Music"},
        {L"D:\\Music /enqueue", false, false, L"", L"D:\\Music"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        ShellState sh;
        Settings s = DefaultSettings();
        s.list_style |= ListStyle::RestoreFileList;
        s.last_pos = 99;
        StartPlan p = ApplyCommandLine(sh, s, c.args, FindArgPath(c.args, L"C:\\"), f.Probe());
        EXPECT_EQ(p.autoplay, c.autoplay);
        EXPECT_EQ(p.enqueue, c.enqueue);
        EXPECT_EQ(s.last_file, c.lastFile);
        EXPECT_EQ(s.browsed_folder, c.browsed);
        EXPECT_EQ(s.last_folder, c.browsed);
        EXPECT_EQ(s.last_pos, 0);
        EXPECT_TRUE(sh.startedWithPath);
        EXPECT_FALSE(sh.restoreSavedList);
    }
}

// "Open in new Zuvo Window": what the new instance reads back from the line it is given.
TEST(StartCommandLine, NewWindowLineReadsBack) {
    for (const wchar_t* folder : {L"D:\\My Music", L"D:\\"}) {
        for (bool portable : {false, true}) {
            const std::wstring args =
                ExtractArgs(NewWindowCommandLine(L"C:\\Zuvo dir\\zuvo.exe", folder, portable));
            EXPECT_EQ(FindArgPath(args, L"C:\\"), folder) << args;
            EXPECT_EQ(HasSwitch(args, L"/localini"), portable) << args;
            EXPECT_TRUE(HasSwitch(args, L"/newinst") && !HasSwitch(args, L"/r")) << args;
        }
    }
}

TEST(StartCommandLine, ResumeVariants) {
    struct Case {
        const wchar_t* args;
        int32_t pos;
        const wchar_t* lastFile;
    } cases[] = {
        {L"/r", 1234, L"D:\\x\\y.mp3"},
        {L"/rt", 0, L"D:\\x\\y.mp3"},
        {L"/rd", 0, L"D:\\x\\"},
    };
    Folders f;
    for (const Case& c : cases) {
        ShellState sh;
        Settings s = DefaultSettings();
        s.last_file = L"D:\\x\\y.mp3";
        s.last_pos = 1234;
        StartPlan p = ApplyCommandLine(sh, s, c.args, L"", f.Probe());
        EXPECT_TRUE(p.autoplay) << c.args;
        EXPECT_EQ(s.last_pos, c.pos) << c.args;
        EXPECT_EQ(s.last_file, c.lastFile) << c.args;
    }
}

TEST(StartCommandLine, StartFolderFallbacks) {
    struct Case {
        const char* name;
        std::set<std::wstring> dirs;
        const wchar_t* home;
        uint32_t listStyle;
        const wchar_t* browsed;
        uint16_t hti;
        bool expandRoot;
    } cases[] = {
        // clang-format off
        {"folder of the last file", {L"D:\\x"}, L"", 0, L"D:\\x", 0, false},
        {"parent of a vanished folder", {L"D:"}, L"", 0, L"D:", 0, false},
        {"home folder", {L"E:\\Home"}, L"E:\\Home", 0, L"E:\\Home", 1, false},
        {"music folder at last", {}, L"E:\\Home", 0, L"C:\\Users\\me\\Music", 5, true},
        {"start in base folder", {L"E:\\Home"}, L"E:\\Home", ListStyle::StartInBaseFolder,
         L"E:\\Home", 0, false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folders f{c.dirs};
        ShellState sh;
        Settings s = DefaultSettings();
        s.last_file = L"D:\\x\\y.mp3";
        s.home_folder = c.home;
        s.list_style = static_cast<int32_t>(c.listStyle);
        StartPlan p = ApplyCommandLine(sh, s, L"", L"", f.Probe());
        EXPECT_FALSE(p.autoplay);
        EXPECT_EQ(s.browsed_folder, c.browsed);
        EXPECT_EQ(s.last_hti, c.hti);
        EXPECT_EQ(p.expandTreeRoot, c.expandRoot);
    }
    // A list shown at exit stays, whatever else is set.
    Folders none;
    ShellState sh;
    Settings s = DefaultSettings();
    s.browsed_folder = L"D:\\Lists\\a.m3u";
    ApplyCommandLine(sh, s, L"", L"", none.Probe());
    EXPECT_EQ(s.browsed_folder, L"D:\\Lists\\a.m3u");
    // Portable, base folder wanted but not set: the program's folder.
    Folders prog{{L"C:\\Apps\\Zuvo"}};
    ShellState portable;
    portable.iniLocation = kPortable;
    portable.programPath = L"C:\\Apps\\Zuvo\\zuvo.exe";
    s = DefaultSettings();
    s.list_style = ListStyle::StartInBaseFolder;
    ApplyCommandLine(portable, s, L"", L"", prog.Probe());
    EXPECT_EQ(s.browsed_folder, L"C:\\Apps\\Zuvo");
}

TEST(StartCommandLine, HideAndClose) {
    Folders f{{L"D:\\x"}};
    ShellState sh;
    sh.startupPending = true;
    Settings s = DefaultSettings();
    s.last_file = L"D:\\x\\y.mp3";
    StartPlan p = ApplyCommandLine(sh, s, L"/hide /close", L"", f.Probe());
    EXPECT_TRUE(p.showHidden);
    EXPECT_TRUE(p.addTrayIcon);
    EXPECT_FALSE(sh.startupPending);
    EXPECT_TRUE(sh.quitAfterTrack);
    EXPECT_TRUE(s.control_flags & ControlFlag::TrayIcon);
    p = ApplyCommandLine(sh, s, L"/hide", L"", f.Probe());
    EXPECT_FALSE(p.addTrayIcon);  // already on
}

TEST(MainWindow, PlacementWithinTheVirtualScreen) {
    const Rect screen{-1920, 0, 3840, 1080};
    struct Case {
        bool compact;
        int x, y, wantX, wantY;
    } cases[] = {
        {false, -1941, -7, -1920, 0},   {false, -1940, -6, -1940, -6},
        {false, 1821, 981, 1820, 980},  {false, 1820, 980, 1820, 980},
        {true, 1900, 1011, 1820, 1010}, {true, 10, 1010, 10, 1010},
    };
    for (const Case& c : cases) {
        Settings s = DefaultSettings();
        s.window_w = 700;
        s.window_h = 500;
        if (c.compact) {
            s.compact_view |= CompactView::On;
            s.compact_x = c.x;
            s.compact_y = c.y;
        } else {
            s.window_x = c.x;
            s.window_y = c.y;
        }
        const Rect r = PlaceMainWindow(s, screen);
        EXPECT_EQ(std::make_pair(r.x, r.y), std::make_pair(c.wantX, c.wantY)) << c.x << "," << c.y;
        // The stored size less the 2 pixels of height; the compact view sizes itself.
        EXPECT_EQ(std::make_pair(r.w, r.h),
                  c.compact ? std::make_pair(0, 0) : std::make_pair(700, 498));
    }
}

struct SaveFixture {
    MemFs mem;
    ShellState sh;
    Settings s = DefaultSettings();
    SaveFixture() {
        mem.folders = {L"C:\\Apps\\Zuvo", L"C:\\AppData"};
        sh.programPath = L"C:\\Apps\\Zuvo\\zuvo.exe";
        sh.appDataFolder = L"C:\\AppData";
    }
};

TEST(SaveAll, SettingsLocations) {
    {
        SaveFixture f;
        SaveAll(f.sh, f.s, MemFsOps(f.mem), ListSources{}, true);
        EXPECT_TRUE(f.mem.files.count(L"C:\\Apps\\Zuvo\\zuvo.ini"));
        EXPECT_EQ(f.sh.iniLocation, kBesideProgram);
    }
    {
        // The program's folder is read-only: the profile folder is created and used.
        SaveFixture f;
        f.mem.readOnlyFolders = {L"C:\\Apps\\Zuvo"};
        f.s.fav_set[0] = L"0000000000,C:\\Music\\Jazz";
        SaveAll(f.sh, f.s, MemFsOps(f.mem), ListSources{}, false);
        EXPECT_EQ(f.sh.iniLocation, kProfile);
        EXPECT_EQ(f.sh.iniPath, L"C:\\AppData\\Zuvo\\Zuvo.ini");
        ASSERT_TRUE(f.mem.files.count(L"C:\\AppData\\Zuvo\\Zuvo.ini"));
        EXPECT_NE(
            f.mem.files[L"C:\\AppData\\Zuvo\\Zuvo.ini"].find("fav_set=0000000000,C:\\Music\\Jazz"),
            std::string::npos);
        EXPECT_TRUE(f.s.fav_set[0].empty());
    }
    {
        // Portable never moves to the profile.
        SaveFixture f;
        f.mem.readOnlyFolders = {L"C:\\Apps\\Zuvo"};
        f.sh.iniLocation = kPortable;
        SaveAll(f.sh, f.s, MemFsOps(f.mem), ListSources{}, true);
        EXPECT_EQ(f.sh.iniLocation, kPortable);
        EXPECT_TRUE(f.mem.files.empty());
    }
}

TEST(SaveAll, ListStateFiles) {
    SaveFixture f;
    f.s.playlist_win |= kPlaylistOpen;
    f.s.list_style |= ListStyle::RestoreFileList;
    f.s.info_row = 1;
    ListSources lists{
        [](void*, std::vector<ListStateRow>& rows) {
            rows.push_back({{L"\u00C4rger.mp3", L"3.2 MB", L"D:\\M\u00FCsik", L"mp3", L"info"}});
            return true;
        },
        [](void*, std::vector<ListStateRow>&) { return false; },  // nothing restorable
        nullptr};
    SaveAll(f.sh, f.s, MemFsOps(f.mem), lists, true);
    EXPECT_EQ(f.mem.files[L"C:\\Apps\\Zuvo\\zuvo.inp"],
              "\xC3\x84rger.mp3|3.2 MB|D:\\M\xC3\xBCsik|mp3|info\r\n");
    EXPECT_FALSE(f.mem.files.count(L"C:\\Apps\\Zuvo\\zuvo.ind"));
    EXPECT_EQ(ListStatePath(L"C:\\AppData\\Zuvo\\Zuvo.ini", L'd'), L"C:\\AppData\\Zuvo\\Zuvo.ind");
}

TEST(ErrorLog, LineFormatAndRotation) {
    EXPECT_EQ(ErrorLogLine({2026, 12, 5, 6, 0, 2, 54}, "HTTP bind error:", 10048),
              "Sat Dec 05 00:02:54 2026\tHTTP bind error: 10048\r\n");
    EXPECT_EQ(ErrorLogLine({2027, 1, 31, 0, 23, 59, 9}, "No [Zuvo Language File]", -1),
              "Sun Jan 31 23:59:09 2027\tNo [Zuvo Language File]\r\n");

    MemFs mem;
    mem.folders = {L"C:\\Z"};
    FileOps fs = MemFsOps(mem);
    const std::wstring log = L"C:\\Z\\error.log";
    std::string line(10, 'a');
    mem.files[log] = std::string(20480 - 10, 'x');
    AppendErrorLog(fs, L"C:\\Z\\zuvo.ini", line);  // exactly 20480: kept whole
    EXPECT_EQ(mem.files[log].size(), 20480u);
    AppendErrorLog(fs, L"C:\\Z\\zuvo.ini", "b");  // 20481: the last 10241 bytes stay
    EXPECT_EQ(mem.files[log].size(), 10241u);
    EXPECT_EQ(mem.files[log].substr(10241 - 11), "aaaaaaaaaab");
}

TEST(Confirm, WhichGovernsTheQuestion) {
    struct Case {
        int32_t lock;
        int which;
        bool asks;
    } cases[] = {
        {0, 256, false}, {0x100, 256, true}, {0x1, 256, false}, {0, 1, false},
        {0x1, 1, true},  {0x100, 1, false},  {0, 2, true},      {0, 0, true},
    };
    for (const Case& c : cases) {
        Settings s = DefaultSettings();
        s.control_lock = c.lock;
        EXPECT_EQ(ConfirmationNeeded(s, c.which), c.asks) << c.lock << " " << c.which;
    }
}

}  // namespace
