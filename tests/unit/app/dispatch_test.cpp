#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dispatch.h"
#include "config/settings_bits.h"
#include "config/settings_io.h"

namespace {

// A fake OS and engine that record what the dispatcher asked for.
struct Fake {
    std::vector<std::string> calls;
    bool confirmAnswer = true;
    EngineView engine;
    bool startOk = true;
    bool playlistOpen = false;

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
    os.passKey = [](void* c, int vk) { Fake::Of(c).calls.push_back("key " + std::to_string(vk)); };
    os.saveAll = [](void* c, bool) { Fake::Of(c).calls.push_back("save"); };
    os.showError = [](void*, const wchar_t*, const wchar_t*) {};
    return os;
}

AppHooks FakeEngine(Fake& f) {
    AppHooks h;
    h.ctx = &f;
    h.engineView = [](void* c, EngineView& v) { v = Fake::Of(c).engine; };
    h.startPlayback = [](void* c, const std::wstring&, int32_t pos) {
        Fake::Of(c).calls.push_back("start " + std::to_string(pos));
        return Fake::Of(c).startOk;
    };
    h.stopPlayback = [](void* c) { Fake::Of(c).calls.push_back("stop"); };
    h.fadeOutStop = [](void* c, int ms) {
        Fake::Of(c).calls.push_back("fade " + std::to_string(ms));
    };
    h.playRow = [](void* c, ListId, int row, bool, bool) {
        Fake::Of(c).calls.push_back("row " + std::to_string(row));
        return Fake::Of(c).startOk;
    };
    h.navigate = [](void* c, Pane p, CommandId k) {
        Fake::Of(c).calls.push_back("nav " + std::to_string(p) + " " + std::to_string(k));
    };
    h.isOpen = [](void* c, AppWindow w) {
        return w == AppWindow::Playlist && Fake::Of(c).playlistOpen;
    };
    return h;
}

struct Fixture {
    Settings s;
    ShellState sh;
    DispatchState d;
    Fake fake;
    AppOs os = FakeOs(fake);
    AppHooks hooks = FakeEngine(fake);
    Fixture() { SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080}); }
    void Run(unsigned id) {
        CommandContext c{s, sh, d, os, hooks};
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
    EXPECT_EQ(VolumeStep(64000, true, true), 65280);

    const uint8_t showTimes[] = {0, 1, 2, 3, 7, 8, 0};
    for (int i = 0; i + 1 < 7; ++i) EXPECT_EQ(NextShowTime(showTimes[i]), showTimes[i + 1]);
    EXPECT_EQ(NextShowTime(5), 0);
    EXPECT_EQ(NextShowTime(255), 0);
    const uint8_t repeats[] = {0, 1, 2, 3, 0};
    for (int i = 0; i + 1 < 5; ++i) EXPECT_EQ(NextRepeatMode(repeats[i]), repeats[i + 1]);

    EXPECT_EQ(NextSoftMute(0, kCmdMute), 1);
    EXPECT_EQ(NextSoftMute(0, kCmdSoftMute), 2);
    EXPECT_EQ(NextSoftMute(1, kCmdSoftMute), 0);  // mute, then soft mute: off
    EXPECT_EQ(NextFastPlayLevel(0, 2), 2);
    EXPECT_EQ(NextFastPlayLevel(2, 2), 0);
    EXPECT_EQ(NextFastPlayLevel(1, 3), 3);

    const int32_t defaults = 32771855;  // 15 s both ways, 500 ms back on resume
    EXPECT_EQ(SkipSeconds(defaults, true), 16);
    EXPECT_EQ(SkipSeconds(defaults, false), 15);
    EXPECT_EQ(SkipSeconds(70 << 8, false), 80);
    EXPECT_EQ(SkipSeconds(61, true), 63);
}

TEST(Commands, SeekAndResumePositions) {
    EngineView mp3;
    mp3.builtInMpeg = true;
    mp3.sampleRate = 44100;
    mp3.avgFrameLen = 417.96;  // 128 kbps
    mp3.bitRate = 128000;
    mp3.audioStart = 1000;
    mp3.audioEnd = 5000000;
    mp3.position = 1000000;
    EXPECT_NEAR(SeekTarget(mp3, 10), 1000000 + 160000, 10);  // 10 s at 16000 bytes/s
    EXPECT_EQ(SeekTarget(mp3, -100), 1000);                  // not before the audio start
    EXPECT_EQ(SeekTarget(mp3, 400), -1);                     // beyond the end: not applied
    EngineView mpeg2 = mp3;
    mpeg2.mpeg1 = false;
    mpeg2.sampleRate = 22050;
    EXPECT_NEAR(SeekTarget(mpeg2, 10), 1000000 + 160000, 10);
    EXPECT_EQ(ResumePosition(mp3, 500 << 16), 1000000 - 8000);
    EngineView stream;
    stream.position = 300;
    EXPECT_EQ(SeekTarget(stream, 2), 2300);
    EXPECT_EQ(ResumePosition(stream, 500 << 16), 0);
    mp3.position = mp3.audioEnd + 100000;
    EXPECT_EQ(ResumePosition(mp3, 500 << 16), 0);  // at the end: from the start next time
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
    EXPECT_EQ(f.d.fastPlayLevel, 0);
    f.Run(kCmdMute);
    f.Run(kCmdSoftMute);
    EXPECT_EQ(f.d.softMute, 0);

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
        EXPECT_EQ(f.d.softMute + f.d.fastPlayLevel, 0) << c.id;
        f.s.control_lock = 0;
        f.Run(c.id);  // the same command works once unlocked
        EXPECT_TRUE(f.s.volume != before.volume || f.s.enhance != before.enhance ||
                    f.s.wave_flags != before.wave_flags || f.s.eq_enable != before.eq_enable ||
                    f.d.softMute + f.d.fastPlayLevel != 0)
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
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"timer 1809 200"});
    EXPECT_EQ(f.s.last_pos, 15000);
}

TEST(Commands, StopAndResume) {
    Fixture f;
    f.fake.engine = EngineView{};
    f.fake.engine.trackLoaded = f.fake.engine.outputOpen = true;
    f.fake.engine.position = 60000;
    f.fake.engine.audioEnd = 200000;
    f.s.fadeout = 0;
    f.Run(kCmdStopResume);
    EXPECT_EQ(f.s.last_pos, 59500);  // 500 ms back on resume
    f.fake.engine.outputOpen = false;
    f.fake.calls.clear();
    f.Run(kCmdStopResume);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 1", "start 59500"}));

    f.s.last_pos = 0;  // nothing stopped: the focused list's first selected row plays
    f.fake.calls.clear();
    f.Run(kCmdSpace);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 1", "row -1"}));

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
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"nav 0 805"});
    f.d.focusedPane = kPaneToolbar;
    f.fake.calls.clear();
    f.Run(kCmdSpace);
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"key 32"});

    f.fake.calls.clear();
    f.Run(kCmdEscape);  // nothing open, started without a path
    EXPECT_TRUE(f.fake.calls.empty());
    f.s.control_flags |= ControlFlag::QuitByEscape;
    f.sh.startedWithPath = true;
    f.Run(kCmdEscape);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"confirm 256", "quit"}));

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
    CommandContext c{f.s, f.sh, f.d, f.os, f.hooks};
    f.sh.startupPending = true;
    RunTimer(c, kTimerShowLatest);
    RunTimer(c, kTimerShowWindow);
    EXPECT_FALSE(f.sh.startupPending);
    RunTimer(c, kTimerAutosave);  // not playing: no save
    f.fake.engine.outputOpen = true;
    RunTimer(c, kTimerAutosave);
    EXPECT_EQ(f.fake.calls, (std::vector<std::string>{"timer 2681 100", "show", "save"}));

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
    EXPECT_EQ(f.fake.calls, std::vector<std::string>{"timer 2983 400"});

    EXPECT_EQ(HotkeySlotCommand(1), kCmdStopResume);
    EXPECT_EQ(HotkeySlotCommand(13), kCmdFastPlay3);
    EXPECT_EQ(HotkeySlotCommand(14), CommandId{});
}

TEST(Commands, ToolbarTooltips) {
    Settings s;
    SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
    LangState lang;
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdPlayFromStart), L"Play track from beginning  [Return]");
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdSettings), L"Settings  [F6]");
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdFavorites), L"Favorites");
    s.applaunch2 = L"0C:\\Tools\\edit.exe";
    EXPECT_EQ(ToolbarTooltip(lang, s, kCmdExternal2), L"edit.exe  [Ctrl+2]");
}

}  // namespace
