#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/dispatch.h"
#include "config/settings_bits.h"
#include "support/default_settings.h"

namespace {

// A fake OS and engine that record what the dispatcher asked for.
struct Fake {
    std::vector<std::string> calls;
    bool confirmAnswer = true;
    EngineView engine;
    bool startOk = true;
    bool playlistOpen = false;
    bool listWork = false;  // an info scan or a subfolder walk is running
    uint8_t softMute = 0, fastPlay = 0;

    static Fake& Of(void* ctx) { return *static_cast<Fake*>(ctx); }
};

AppOs FakeOs(Fake& f) {
    AppOs os{};
    os.ctx = &f;
    os.setTimer = [](void* c, unsigned id, unsigned ms) {
        Fake::Of(c).calls.push_back("timer " + std::to_string(id) + " " + std::to_string(ms));
    };
    os.killTimer = [](void*, unsigned) {};
    os.tickCount = [](void*) { return 4242u; };
    os.confirm = [](void* c, int which) {
        Fake::Of(c).calls.push_back("confirm " + std::to_string(which));
        return Fake::Of(c).confirmAnswer;
    };
    os.quit = [](void* c) { Fake::Of(c).calls.push_back("quit"); };
    os.minimize = [](void* c) { Fake::Of(c).calls.push_back("minimize"); };
    os.hide = [](void* c) { Fake::Of(c).calls.push_back("hide"); };
    os.showMainWindow = [](void* c, bool max) {
        Fake::Of(c).calls.push_back(max ? "show max" : "show");
    };
    os.saveAll = [](void* c, bool) { Fake::Of(c).calls.push_back("save"); };
    os.showError = [](void*, const wchar_t*, const wchar_t*) {};
    return os;
}

AppWiring FakeWiring(Fake& f) {
    AppWiring w;
    PlaybackOps& p = w.playback;
    p.ctx = &f;
    p.view = [](void* c, EngineView& v) { v = Fake::Of(c).engine; };
    p.stopAtOnce = [](void* c) { Fake::Of(c).calls.push_back("stop now"); };
    p.fadeOutStop = [](void* c, int ms) {
        Fake::Of(c).calls.push_back("fade " + std::to_string(ms));
        return true;
    };
    p.seek = [](void* c, double seconds, uint32_t delay, bool nextAtEnd) {
        Fake::Of(c).calls.push_back("seek " + std::to_string(static_cast<int>(seconds)) + " " +
                                    std::to_string(delay) + (nextAtEnd ? " next" : ""));
        return SeekResult::Restarted;
    };
    p.softMute = [](void* c) { return Fake::Of(c).softMute; };
    p.setSoftMute = [](void* c, uint8_t v) { Fake::Of(c).softMute = v; };
    p.fastPlay = [](void* c) { return Fake::Of(c).fastPlay; };
    p.setFastPlay = [](void* c, uint8_t v) { Fake::Of(c).fastPlay = v; };
    TrackOps& t = w.tracks;
    t.ctx = &f;
    t.startFile = [](void* c, const std::wstring&, int32_t pos) {
        Fake::Of(c).calls.push_back("start " + std::to_string(pos));
        return Fake::Of(c).startOk;
    };
    t.playRow = [](void* c, ListId, int row, bool, bool) {
        Fake::Of(c).calls.push_back("row " + std::to_string(row));
        return Fake::Of(c).startOk;
    };
    ListOps& l = w.lists;
    l.ctx = &f;
    l.treeKey = [](void* c, CommandId k) {
        Fake::Of(c).calls.push_back("tree " + std::to_string(k));
    };
    l.windowShown = [](void* c) { Fake::Of(c).calls.push_back("shown"); };
    l.listWorkRunning = [](void* c) { return Fake::Of(c).listWork; };
    l.stopListWork = [](void* c) { Fake::Of(c).calls.push_back("stop list work"); };
    l.listBrowsedFolder = [](void* c) { Fake::Of(c).calls.push_back("listed"); };
    l.listKey = [](void* c, ListId list, CommandId k) {
        Fake::Of(c).calls.push_back("list " + std::to_string(list) + " " + std::to_string(k));
    };
    w.view.ctx = &f;
    w.view.toolbarKey = [](void* c, int vk) {
        Fake::Of(c).calls.push_back("key " + std::to_string(vk));
    };
    WindowOps& playlist = w.windows[static_cast<size_t>(AppWindow::Playlist)];
    playlist.ctx = &f;
    playlist.isOpen = [](void* c) { return Fake::Of(c).playlistOpen; };
    return w;
}

struct Fixture {
    Settings s = DefaultSettings();
    ShellState sh;
    DispatchState d;
    Fake fake;
    AppOs os = FakeOs(fake);
    AppWiring w = FakeWiring(fake);
    CommandContext Context() { return CommandContext{s, sh, d, os, w}; }
    void Run(unsigned id) {
        CommandContext c = Context();
        RunCommand(c, id, 0);
    }
};

TEST(Commands, StepsAndCycles) {
    EXPECT_EQ(VolumeStep(63000, true, false), 65535);
    EXPECT_EQ(VolumeStep(1000, false, false), 0);
    EXPECT_EQ(VolumeStep(32767, true, false), 35327);
    EXPECT_EQ(VolumeStep(32767, false, true), 31487);
    EXPECT_EQ(VolumeStep(64255, true, true), 65535);
    EXPECT_EQ(VolumeStep(64254, true, true), 65534);

    const uint8_t showTimes[] = {0, 1, 2, 3, 7, 8, 0};
    for (int i = 0; i + 1 < 7; ++i) EXPECT_EQ(NextShowTime(showTimes[i]), showTimes[i + 1]);
    EXPECT_EQ(NextShowTime(5), 0);
    EXPECT_EQ(NextShowTime(255), 0);
    // Toggling off and back is the commands' test; a switch from one level to another is here.
    EXPECT_EQ(NextSoftMute(0, kCmdSoftMute), 2);
    EXPECT_EQ(NextFastPlayLevel(1, 3), 3);

    const int32_t defaults = 32771855;  // 15 s both ways, 500 ms back on resume
    EXPECT_EQ(SkipSeconds(defaults, true), 16);
    EXPECT_EQ(SkipSeconds(defaults, false), 15);
    EXPECT_EQ(SkipSeconds(70 << 8, false), 80);
    EXPECT_EQ(SkipSeconds(61, true), 63);
}

TEST(Commands, OptionToggles) {
    Fixture f;
    f.s.autospace = kAutospaceOn | 2000;
    f.Run(kCmdGapless);
    EXPECT_EQ(f.s.gapless & GaplessFlag::Enable, 1);
    EXPECT_EQ(f.s.autospace, 2000);  // Autospace goes off, its time stays
    f.Run(kCmdAutospace);
    EXPECT_EQ(f.s.gapless & GaplessFlag::Enable, 0);
    EXPECT_EQ(f.s.autospace, kAutospaceOn | 2000);

    f.s.eq_enable = 1;
    f.Run(kCmdEnhancer2);
    EXPECT_EQ(f.s.enhance, 2);
    EXPECT_EQ(f.s.eq_enable, 0);
    f.Run(kCmdEqualizer);
    EXPECT_EQ(f.s.enhance, 0);
    EXPECT_EQ(f.s.eq_enable, 1);
    f.Run(kCmdEnhancer1);
    f.Run(kCmdEnhancer2);
    EXPECT_EQ(f.s.enhance, 2);
    f.Run(kCmdEnhancer2);
    EXPECT_EQ(f.s.enhance, 0);

    f.Run(kCmdFastPlay2);
    f.Run(kCmdFastPlay2);
    EXPECT_EQ(f.fake.fastPlay, 0);
    f.Run(kCmdMute);
    f.Run(kCmdSoftMute);
    EXPECT_EQ(f.fake.softMute, 0);

    f.d.trackOneShot = 1;
    f.s.rpt_mode = 3;
    f.Run(kCmdCycleRepeat);
    EXPECT_EQ(f.s.rpt_mode, 0);
    EXPECT_EQ(f.d.trackOneShot, 0);
    f.Run(kCmdStopAfterTrack);
    EXPECT_EQ(f.d.trackOneShot, 2);
    f.Run(kCmdRepeatTrackOnce);
    EXPECT_EQ(f.d.trackOneShot, 1);
    f.Run(kCmdRepeatTrackOnce);
    EXPECT_EQ(f.d.trackOneShot, 0);
}

// Each press of a toggle: the setting it leaves and what it asked of the toolbar, the HTTP
// server (whose control starts a stopped server the settings enable, else stops it) and the
// scan (only when the option goes on).
TEST(Commands, ScanOptionAndWebServerButton) {
    static std::vector<std::string>* calls;
    static bool running;
    Fixture f;
    calls = &f.fake.calls;
    f.w.view.updateToolbar = [](void*, uint32_t m) { calls->push_back(std::to_string(m)); };
    f.w.commands[kCmdScanInfo] = [](CommandId, intptr_t) { calls->push_back("scan"); };
    f.w.http.running = [](void*) { return running; };
    f.w.http.serverControl = [](void*, bool stop) { calls->push_back(stop ? "stop" : "start"); };
    struct Step {
        CommandId id;
        const char *before, *after;
        bool runningBefore;
        std::vector<std::string> calls;
    } steps[] = {
        {kCmdAlwaysScanInfo, "-b", "-b", false, {"16", "scan"}},
        {kCmdAlwaysScanInfo, "-b", "-b", false, {"16"}},
        {kCmdWebServer, "--b1:80", "a-b1:80", false, {"start", "512"}},
        {kCmdWebServer, "a-b1:80", "--b1:80", true, {"stop", "512"}},
        {kCmdWebServer, "a-", "--", false, {"512"}},  // it had failed to start: nothing to stop
        {kCmdWebServer, "", "a", false, {"start", "512"}},
    };
    for (const Step& st : steps) {
        f.fake.calls.clear();
        f.s.httpserv = st.before;
        running = st.runningBefore;
        f.Run(st.id);
        EXPECT_EQ(f.s.httpserv, st.after) << st.id;
        EXPECT_EQ(f.fake.calls, st.calls) << st.id;
    }
}

TEST(Commands, LocksSilenceTheirCommands) {
    struct Case {
        uint32_t lock;
        unsigned id;
    } cases[] = {
        {ControlLock::Volume, kCmdVolumeUp},      {ControlLock::Volume, kCmdMute},
        {ControlLock::DspChanges, kCmdEnhancer1}, {ControlLock::DspChanges, kCmdMono},
        {ControlLock::DspChanges, kCmdFastPlay1}, {ControlLock::DspChanges, kCmdEqualizer},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.s.control_lock = static_cast<int32_t>(c.lock);
        Settings before = f.s;
        f.Run(c.id);
        EXPECT_EQ(f.s.volume, before.volume) << c.id;
        EXPECT_EQ(f.s.enhance, before.enhance) << c.id;
        EXPECT_EQ(f.s.wave_flags, before.wave_flags) << c.id;
        EXPECT_EQ(f.s.eq_enable, before.eq_enable) << c.id;
        EXPECT_EQ(f.fake.softMute + f.fake.fastPlay, 0) << c.id;
        f.s.control_lock = 0;
        f.Run(c.id);  // the same command works once unlocked
        EXPECT_TRUE(f.s.volume != before.volume || f.s.enhance != before.enhance ||
                    f.s.wave_flags != before.wave_flags || f.s.eq_enable != before.eq_enable ||
                    f.fake.softMute + f.fake.fastPlay != 0)
            << c.id;
    }
    // Seeking is locked by "Track position", also through the arrow keys of a list.
    Fixture f;
    f.fake.engine.trackLoaded = true;
    f.fake.engine.outputOpen = true;
    f.s.control_lock = ControlLock::TrackPosition;
    f.Run(kCmdKeyRight);
    EXPECT_TRUE(f.fake.calls.empty());
    f.s.control_lock = 0;
    f.Run(kCmdKeyRight);
    // 15 s forward (skip_times byte 1), restarting after 200 ms; the option for the end.
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"seek 15 200"});
    f.s.control_flags |= ControlFlag::NextAtFastForwardEnd;
    f.d.focusedPane = kPaneFiles;
    f.fake.calls.clear();
    f.Run(kCmdKeyLeft);
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"seek -16 200 next"});
}

TEST(Commands, StopAndResume) {
    Fixture f;
    f.fake.engine.trackLoaded = f.fake.engine.outputOpen = true;
    f.s.fadeout = 0;
    f.Run(kCmdStopResume);  // the engine stops and keeps the resume position
    f.fake.engine.outputOpen = false;
    f.s.last_pos = 59500;
    f.Run(kCmdStopResume);
    EXPECT_EQ(f.fake.calls,
              (std::vector<std::string>{"confirm 1", "stop now", "confirm 1", "start 59500"}));

    // Nothing stopped and the track's length gone: the focused list's row plays.
    f.s.last_pos = 0;
    f.fake.calls.clear();
    f.Run(kCmdSpace);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 1", "row -1"}));
    // A stopped track whose length is known resumes where it was left.
    f.fake.engine.stoppedLengthKnown = true;
    f.fake.engine.stopPosition = 4321;
    f.fake.calls.clear();
    f.Run(kCmdSpace);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 1", "start 4321"}));

    f.fake.engine.outputOpen = true;
    f.s.fadeout = FadeFlag::OnStop | 10;
    f.fake.calls.clear();
    f.Run(kCmdStopResume);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 1", "fade 1000"}));

    f.fake.confirmAnswer = false;  // refused: nothing happens
    f.fake.calls.clear();
    f.Run(kCmdPlayFromStart);
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"confirm 1"});
}

// Every command number reaches exactly one place: the dispatcher's own answer or the routed
// handler; the route table refuses numbers the dispatcher answers and numbers routed twice.
TEST(Commands, EveryCommandHasOneOwner) {
    static std::vector<unsigned> routed;
    Fixture f;
    for (unsigned id = 0; id < kCommandSlots; ++id)
        f.w.commands[id] = [](CommandId id, intptr_t) { routed.push_back(id); };
    for (unsigned id = 0; id < kCommandSlots; ++id) {
        routed.clear();
        f.fake.confirmAnswer = false;  // nothing quits or plays
        f.Run(id);
        const bool reachedRoute = routed.size() == 1 && routed[0] == id;
        EXPECT_NE(reachedRoute, DispatcherAnswers(static_cast<CommandId>(id))) << id;
    }

    AppWiring w;
    auto handler = [](CommandId, intptr_t) {};
    const CommandRoute ok[] = {{kCmdReloadList, handler}, {kCmdIntroScan, handler}};
    EXPECT_EQ(RouteCommands(w, ok, 2), nullptr);
    EXPECT_EQ(w.commands[kCmdIntroScan], +handler);
    const CommandRoute twice[] = {{kCmdRename, handler}, {kCmdReloadList, handler}};
    EXPECT_EQ(RouteCommands(w, twice, 2), &twice[1]);
    const CommandRoute own[] = {{kCmdNextTrack, handler}};
    EXPECT_EQ(RouteCommands(w, own, 1), &own[0]);
}

TEST(Commands, PanesEscapeAndTree) {
    PaneSet none{false, false, false, false};
    EXPECT_EQ(NextPane(kPaneTree, none), kPaneFiles);
    EXPECT_EQ(NextPane(kPaneFiles, none), kPaneTree);
    EXPECT_EQ(NextPane(kPaneFiles, PaneSet{true, false, true, false}), kPanePlaylist);
    EXPECT_EQ(NextPane(kPanePlaylist, PaneSet{true, false, true, false}), kPaneToolbar);
    EXPECT_EQ(NextPane(kPaneInsert, PaneSet{false, true, false, true}), kPaneFiles);

    Fixture f;
    f.d.focusedPane = kPaneTree;
    f.Run(kCmdKeyRight);  // the tree expands; a list would seek
    f.Run(kCmdSortForward);  // the sort keys sort the File view from the tree too
    f.d.focusedPane = kPanePlaylist;
    f.Run(kCmdSortBackward);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"tree 805", "list 0 952", "list 1 951"}));
    f.d.focusedPane = kPaneToolbar;
    f.fake.calls.clear();
    f.Run(kCmdSpace);
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"key 32"});

    f.fake.calls.clear();
    f.Run(kCmdEscape);  // nothing open, started without a path
    EXPECT_TRUE(f.fake.calls.empty());
    f.s.control_flags |= ControlFlag::QuitByEscape;
    f.sh.startedWithPath = true;
    f.fake.listWork = true;  // Esc stops the lists' work first, and only that
    f.Run(kCmdEscape);
    f.fake.listWork = false;
    f.Run(kCmdEscape);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"stop list work", "confirm 256", "quit"}));

    f.s.divider = 200;
    f.s.list_name = {300, 310, 320};
    f.s.list_date = {100, 110, 120};
    f.d.focusedPane = kPaneTree;
    f.Run(kCmdTreeToggle);
    EXPECT_EQ(f.s.list_name, (std::array<int32_t, 3>{501, 511, 320}));
    EXPECT_EQ(f.s.list_date, (std::array<int32_t, 3>{100, 110, 321}));
    EXPECT_TRUE(f.s.control_flags & ControlFlag::FoldersInFileView);
    EXPECT_EQ(f.d.focusedPane, kPaneFiles);
    f.Run(kCmdTreeToggle);
    EXPECT_EQ(f.s.list_name, (std::array<int32_t, 3>{300, 310, 320}));
    EXPECT_FALSE(f.s.control_flags & ControlFlag::FoldersInFileView);
    EXPECT_FALSE(f.s.stylez & Style::TreeHidden);
}

TEST(Commands, TimersCloseAndTreeSelection) {
    Fixture f;
    CommandContext c = f.Context();
    f.sh.startupPending = true;
    RunTimer(c, kTimerShowLatest);
    RunTimer(c, kTimerShowWindow);
    EXPECT_FALSE(f.sh.startupPending);
    RunTimer(c, kTimerShowWindow);  // shown once
    RunTimer(c, kTimerWindowShown);
    RunTimer(c, kTimerAutosave);  // not playing: no save
    f.fake.engine.outputOpen = true;
    RunTimer(c, kTimerAutosave);
    // What waits until the window is visible comes after its first paint, by a timer.
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"timer 2681 100", "show", "timer 2682 0",
                                                      "shown", "save"}));

    f.fake.calls.clear();
    f.s.system_flags |= SystemFlag::CloseMinimizes;
    OnCloseRequest(c);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 256", "minimize"}));

    f.fake.calls.clear();
    f.d.listingDelayMs = 400;
    OnTreeSelectionChanged(c, L"D:\\Music");
    EXPECT_EQ(f.s.browsed_folder, L"D:\\Music");
    RunTimer(c, kTimerListFolder);
    EXPECT_EQ(f.d.listingDelayMs, kListingDelayMs);
    f.s.control_lock = ControlLock::ListChange;  // back to the current track instead
    OnTreeSelectionChanged(c, L"E:\\");
    EXPECT_EQ(f.s.browsed_folder, L"D:\\Music");
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"timer 2983 400", "listed"}));
}

// A size message lays the panes out only when the client area changed since the last pass;
// minimizing hides to the tray when the tray icon is on, and any other size leaves the tray.
TEST(Commands, SizeMessages) {
    struct Case {
        bool minimized, resized, tray;
        std::vector<std::string> calls;
        bool hiddenToTray;
    } cases[] = {
        {false, true, false, {"layout"}, false},
        {false, false, false, {}, false},
        {true, true, true, {"hide"}, true},
        {true, true, false, {}, true},
    };
    for (const Case& k : cases) {
        Fixture f;
        f.w.view.layout = [](void* c) { Fake::Of(c).calls.push_back("layout"); };
        f.sh.hiddenToTray = !k.hiddenToTray;
        if (k.tray) f.s.control_flags |= ControlFlag::TrayIcon;
        else f.s.control_flags &= ~static_cast<int32_t>(ControlFlag::TrayIcon);
        CommandContext c = f.Context();
        OnSized(c, k.minimized, k.resized);
        EXPECT_EQ(f.fake.calls, k.calls) << k.minimized << k.resized << k.tray;
        EXPECT_EQ(f.sh.hiddenToTray, k.hiddenToTray) << k.minimized << k.resized << k.tray;
    }
}

// A hotkey runs its slot's command; slots outside 1 to 13 run nothing.
TEST(Commands, HotkeySlots) {
    for (auto [slot, fastPlay] : {std::pair<int, int>{13, 3}, {11, 1}, {14, 0}, {0, 0}}) {
        Fixture f;
        CommandContext ctx = f.Context();
        OnHotkey(ctx, slot);
        EXPECT_EQ(f.fake.fastPlay, fastPlay) << slot;
    }
}

// The start-up's end lists the start folder and shows the window in the same step, the
// listing first; a start with "/hide" leaves both to the tree's timer and shows nothing.
TEST(Commands, StartupListsThenShowsAtOnce) {
    struct Case {
        bool pending;
        int32_t maximized;
        uint8_t compact;
        std::vector<std::string> calls;
    } cases[] = {
        {true, 0, 0, {"listed", "show", "timer 2682 0"}},
        {true, 1, 0, {"listed", "show max", "timer 2682 0"}},
        {true, 1, CompactView::On, {"listed", "show", "timer 2682 0"}},
        {false, 0, 0, {}},
    };
    for (const Case& k : cases) {
        Fixture f;
        CommandContext c = f.Context();
        f.sh.startupPending = k.pending;
        f.s.maximized = k.maximized;
        f.s.compact_view = k.compact;
        f.d.listingDelayMs = kStartListingDelayMs;
        OnStartupDone(c);
        EXPECT_EQ(f.fake.calls, k.calls) << k.pending << k.maximized;
        EXPECT_FALSE(f.sh.startupPending);
        // Later tree selections wait for typing again; the window is not shown twice.
        EXPECT_EQ(f.d.listingDelayMs, k.pending ? kListingDelayMs : kStartListingDelayMs);
        f.fake.calls.clear();
        RunTimer(c, kTimerListFolder);
        EXPECT_EQ(f.fake.calls, std::vector<std::string>{"listed"});
    }
}

TEST(Commands, ToolbarTooltips) {
    Settings s = DefaultSettings();
    LangState lang;
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdPlayFromStart), L"Play track from beginning  [Return]");
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdFavorites), L"Favorites");
    s.applaunch2 = L"0C:\\Tools\\edit.exe";
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdExternal2), L"edit.exe  [Ctrl+2]");
}

}  // namespace
