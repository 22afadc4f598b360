// The command dispatch: what each command, timer and notification of the main window does.
// Steps that belong to other subsystems go through the tables of AppWiring and are skipped
// while those are not built.
#include "app/dispatch.h"

#include "app/commands.h"
#include "base/path.h"
#include "base/text.h"
#include "config/settings_bits.h"
#include "ui/hotkeys.h"

namespace {

uint32_t Bits(int32_t v) {
    return static_cast<uint32_t>(v);
}

// ---- table helpers: a null entry is a step that is not there yet ----

EngineView Engine(const CommandContext& c) {
    EngineView v;
    if (c.w.playback.view) c.w.playback.view(c.w.playback.ctx, v);
    return v;
}

uint8_t SoftMute(const CommandContext& c) {
    const PlaybackOps& p = c.w.playback;
    return p.softMute ? p.softMute(p.ctx) : 0;
}
uint8_t FastPlay(const CommandContext& c) {
    const PlaybackOps& p = c.w.playback;
    return p.fastPlay ? p.fastPlay(p.ctx) : 0;
}
void SetSoftMute(CommandContext& c, uint8_t value) {
    if (c.w.playback.setSoftMute) c.w.playback.setSoftMute(c.w.playback.ctx, value);
}

ListId FocusedList(const CommandContext& c) {
    return c.w.tracks.focusedList ? c.w.tracks.focusedList(c.w.tracks.ctx) : kListFiles;
}
ListId PlayingList(const CommandContext& c) {
    return c.w.tracks.playingList ? c.w.tracks.playingList(c.w.tracks.ctx) : kListFiles;
}

void Flags(CommandContext& c) {
    if (c.w.view.updateFlags) c.w.view.updateFlags(c.w.view.ctx);
}
void Title(CommandContext& c) {
    if (c.w.view.updateTitle) c.w.view.updateTitle(c.w.view.ctx);
}
void Layout(CommandContext& c) {
    if (c.w.view.layout) c.w.view.layout(c.w.view.ctx);
}
void Picture(CommandContext& c) {
    if (c.w.view.updatePicture) c.w.view.updatePicture(c.w.view.ctx);
}
void Toolbar(CommandContext& c, uint32_t mask) {
    if (c.w.view.updateToolbar) c.w.view.updateToolbar(c.w.view.ctx, mask);
}
void PlayButton(CommandContext& c, bool pressed) {
    if (c.w.view.showPlayButton) c.w.view.showPlayButton(c.w.view.ctx, pressed);
}
const WindowOps& Window(const CommandContext& c, AppWindow w) {
    return c.w.windows[static_cast<size_t>(w)];
}
bool IsOpen(CommandContext& c, AppWindow w) {
    const WindowOps& o = Window(c, w);
    return o.isOpen && o.isOpen(o.ctx);
}
void Close(CommandContext& c, AppWindow w) {
    const WindowOps& o = Window(c, w);
    if (o.close) o.close(o.ctx);
}
void FocusPane(CommandContext& c, Pane pane) {
    const ListOps& l = c.w.lists;
    if (pane == kPaneTree) {
        if (l.focusTree) l.focusTree(l.ctx);
    } else if (pane == kPaneToolbar) {
        if (c.w.view.focusToolbar) c.w.view.focusToolbar(c.w.view.ctx);
    } else if (l.focusList) {
        l.focusList(l.ctx, static_cast<ListId>(pane - kPaneFiles));
    }
}
void ScrollToCurrent(CommandContext& c, ListId list) {
    if (c.w.lists.scrollToCurrent) c.w.lists.scrollToCurrent(c.w.lists.ctx, list);
}
bool PlayRow(CommandContext& c, ListId list, int row) {
    const TrackOps& t = c.w.tracks;
    return t.playRow && t.playRow(t.ctx, list, row, true, true);
}
bool StartLastFile(CommandContext& c) {
    const TrackOps& t = c.w.tracks;
    return t.startFile && t.startFile(t.ctx, c.s.last_file, c.s.last_pos);
}
void StopPlayback(CommandContext& c) {
    if (c.w.tracks.stop) c.w.tracks.stop(c.w.tracks.ctx);
}
void Route(CommandContext& c, CommandId id, intptr_t lParam) {
    if (c.w.commands[id]) c.w.commands[id](id, lParam);
}

bool FileViewShowsFolder(const CommandContext& c) {
    return c.w.lists.fileViewShowsFolder && c.w.lists.fileViewShowsFolder(c.w.lists.ctx);
}

void Quit(CommandContext& c) {
    if (c.os.confirm(c.os.ctx, 256)) c.os.quit(c.os.ctx);
}

// ---- playback ----

void PlayFromStart(CommandContext& c) {
    if (!c.os.confirm(c.os.ctx, 1)) return;
    c.s.last_pos = 0;
    if (c.w.playback.markManualSkip) c.w.playback.markManualSkip(c.w.playback.ctx);
    const ListId focused = FocusedList(c);
    PlayRow(c, focused, -1);
    if (focused == kListFiles) {
        FocusPane(c, kPaneFiles);
        ScrollToCurrent(c, kListFiles);
    }
}

void Resume(CommandContext& c, const EngineView& v) {
    PlayButton(c, true);
    if ((Bits(c.s.control_flags) & ControlFlag::RememberFolderPos) &&
        c.s.browsed_folder != c.s.last_folder && !IsOpen(c, AppWindow::Playlist) &&
        c.w.tracks.recallFolderPosition)
        c.w.tracks.recallFolderPosition(c.w.tracks.ctx);  // also clears the remembered position
    bool started;
    if (c.s.last_pos == 0 && !IsUrl(c.s.last_file) && !v.stoppedLengthKnown) {
        started = PlayRow(c, FocusedList(c), -1);
    } else {
        if (c.s.last_pos == 0 && !IsUrl(c.s.last_file))
            c.s.last_pos = static_cast<int32_t>(v.stopPosition);
        started = StartLastFile(c);
    }
    if (!started) PlayButton(c, false);
}

// The stop of Stop/Resume: with "Fade on stop:" the queued audio fades first; either way the
// engine keeps the resume position (last_pos) for the next resume.
void Stop(CommandContext& c, const EngineView& v) {
    if (IsOpen(c, AppWindow::IntroScan)) Close(c, AppWindow::IntroScan);
    const PlaybackOps& p = c.w.playback;
    const uint32_t fade = Bits(c.s.fadeout);
    if ((fade & FadeFlag::OnStop) && v.outputOpen && p.fadeOutStop &&
        p.fadeOutStop(p.ctx, static_cast<int>(StopFadeMs(c.s.fadeout))))
        return;
    if (p.stopAtOnce) p.stopAtOnce(p.ctx);
}

void StopOrResume(CommandContext& c) {
    if (!c.os.confirm(c.os.ctx, 1)) return;
    EngineView v = Engine(c);
    if (!v.outputOpen && !v.busy)
        Resume(c, v);
    else
        Stop(c, v);
}

// Skip back or forward by the skip_times seconds; playing, the track restarts there after
// 200 ms.
void Seek(CommandContext& c, bool back) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPosition) return;
    const PlaybackOps& p = c.w.playback;
    if (!p.seek) return;
    const int seconds = SkipSeconds(c.s.skip_times, back);
    const bool nextAtEnd = Bits(c.s.control_flags) & ControlFlag::NextAtFastForwardEnd;
    (void)p.seek(p.ctx, back ? -seconds : seconds, 200, nextAtEnd);
}

void NextTrack(CommandContext& c) {
    const PlaybackOps& p = c.w.playback;
    if (p.introScanNext && p.introScanNext(p.ctx)) return;
    c.s.last_pos = 0;
    const TrackOps& t = c.w.tracks;
    if (!t.nextTrack || t.nextTrack(t.ctx, PlayingList(c))) return;
    // The end of the list: stop, and with "Auto search dirs" go on in the next folder.
    StopPlayback(c);
    if ((Bits(c.s.control_flags) & ControlFlag::AutoSearchDirs) && t.dirSearch &&
        t.dirSearch(t.ctx, +1))
        PlayRow(c, FocusedList(c), -1);
}

void Volume(CommandContext& c, bool up) {
    c.s.volume = VolumeStep(c.s.volume, up, Bits(c.s.mouse_flags) & MouseFlag::FineVolume);
    SetSoftMute(c, 0);  // a volume step ends any mute
    if (c.w.playback.applyVolume) c.w.playback.applyVolume(c.w.playback.ctx, true);
    if (c.w.view.showVolume) c.w.view.showVolume(c.w.view.ctx);
}

void Mute(CommandContext& c, CommandId id) {
    SetSoftMute(c, NextSoftMute(SoftMute(c), id));
    if (c.w.playback.applyVolume) c.w.playback.applyVolume(c.w.playback.ctx, false);
    Toolbar(c, ToolbarMask::Mute);
    Flags(c);
}

void FastPlayCommand(CommandContext& c, uint8_t level) {
    const PlaybackOps& p = c.w.playback;
    if (p.setFastPlay) p.setFastPlay(p.ctx, NextFastPlayLevel(FastPlay(c), level));
    Flags(c);
    EngineView v = Engine(c);
    if (v.outputOpen && v.queuedMs > 1000 && p.restartQueue) p.restartQueue(p.ctx);
}

// ---- options ----

void ToggleBit(int32_t& field, uint32_t bit) {
    field ^= static_cast<int32_t>(bit);
}

// "Always scan for track times/info": the list_style bit and the scan button it disables;
// switched on, the focused list is scanned now rather than at its next listing.
void AlwaysScanInfo(CommandContext& c) {
    ToggleBit(c.s.list_style, ListStyle::AlwaysScanInfo);
    Toolbar(c, ToolbarMask::Scan);
    if (static_cast<uint32_t>(c.s.list_style) & ListStyle::AlwaysScanInfo)
        Route(c, kCmdScanInfo, 0);
}

// The toolbar's web server button: httpserv's switch character between 'a' and '-', and the
// server started or stopped to match, as the settings page's check box does.
void WebServer(CommandContext& c) {
    std::string& h = c.s.httpserv;
    const bool on = h.empty() || h[0] != 'a';
    if (h.empty())
        h.push_back('a');
    else
        h[0] = on ? 'a' : '-';
    const HttpOps& o = c.w.http;
    const bool running = o.running && o.running(o.ctx);
    if (o.serverControl && on != running) o.serverControl(o.ctx, !on);
    Toolbar(c, ToolbarMask::WebServer);
}

void Gapless(CommandContext& c) {
    c.s.gapless ^= GaplessFlag::Enable;
    if (c.s.gapless & GaplessFlag::Enable) c.s.autospace &= ~kAutospaceOn;
    Flags(c);
}

void Autospace(CommandContext& c) {
    c.s.autospace ^= kAutospaceOn;
    if (c.s.autospace & kAutospaceOn) c.s.gapless &= ~GaplessFlag::Enable;
    Flags(c);
}

void Enhancer(CommandContext& c, uint8_t which) {
    c.s.enhance = c.s.enhance == which ? 0 : which;
    if (which == 2 && c.s.enhance == 2) {
        c.s.eq_enable = 0;
        if (c.w.playback.resetEnhancer2) c.w.playback.resetEnhancer2(c.w.playback.ctx);
    }
    Flags(c);
    Toolbar(c, ToolbarMask::Sound);
}

void Equalizer(CommandContext& c) {
    c.s.eq_enable = c.s.eq_enable ? 0 : 1;
    if (c.s.enhance == 2) c.s.enhance = 0;
    Flags(c);
}

void Mono(CommandContext& c) {
    c.s.wave_flags ^= WaveFlag::MonoOutput;
    Flags(c);
    Toolbar(c, ToolbarMask::Sound);
}

void SetRepeat(CommandContext& c, uint8_t mode) {
    c.s.rpt_mode = mode;
    c.d.trackOneShot = 0;
    Toolbar(c, ToolbarMask::Repeat);
}

void OneShot(CommandContext& c, uint8_t value) {
    c.d.trackOneShot = c.d.trackOneShot == value ? 0 : value;
    Toolbar(c, ToolbarMask::Repeat);
}

// ---- keyboard ----

void FocusNextPane(CommandContext& c) {
    PaneSet open{IsOpen(c, AppWindow::Playlist), IsOpen(c, AppWindow::InsertView),
                 (Bits(c.s.control_flags) & ControlFlag::TabToToolbar) != 0,
                 (Bits(c.s.stylez) & Style::TreeHidden) != 0};
    c.d.focusedPane = NextPane(c.d.focusedPane, open);
    FocusPane(c, c.d.focusedPane);
}

// A key for the tree or a list pane (the toolbar takes its own keys).
void Navigate(CommandContext& c, CommandId key) {
    const ListOps& l = c.w.lists;
    const Pane pane = c.d.focusedPane;
    if (pane == kPaneTree) {
        if (l.treeKey) l.treeKey(l.ctx, key);
    } else if (pane != kPaneToolbar && l.listKey) {
        l.listKey(l.ctx, static_cast<ListId>(pane - kPaneFiles), key);
    }
}

void ToolbarKey(CommandContext& c, int virtualKey) {
    if (c.w.view.toolbarKey) c.w.view.toolbarKey(c.w.view.ctx, virtualKey);
}

// Keys whose meaning depends on the focused pane.
void PaneKey(CommandContext& c, CommandId key) {
    const Pane pane = c.d.focusedPane;
    const bool list = pane >= kPaneFiles && pane <= kPaneInsert;
    switch (key) {
        case kCmdKeyLeft:
        case kCmdKeyRight:
            if (pane == kPaneToolbar)
                ToolbarKey(c, key == kCmdKeyLeft ? 0x25 : 0x27);  // VK_LEFT, VK_RIGHT
            else if (list)
                Seek(c, key == kCmdKeyLeft);
            else
                Navigate(c, key);
            break;
        case kCmdSpace:
            if (pane == kPaneToolbar)
                ToolbarKey(c, 0x20);  // VK_SPACE
            else
                StopOrResume(c);
            break;
        case kCmdKeyUp:
        case kCmdKeyDown:
            if (pane == kPaneTree) c.d.listingDelayMs = 400;  // walking the tree lists later
            Navigate(c, key);
            break;
        case kCmdReturn:
            if (pane == kPaneToolbar) break;
            // A folder or list row opens; anything else plays. From the tree the list's
            // first row is selected first (the tree's Return).
            if (list && c.w.lists.openRow &&
                c.w.lists.openRow(c.w.lists.ctx, static_cast<ListId>(pane - kPaneFiles)))
                break;
            if (pane == kPaneTree) Navigate(c, key);
            PlayFromStart(c);
            break;
        case kCmdBackspace:
            if (c.s.browsed_folder.find(L'\\') != std::wstring::npos) Navigate(c, key);
            break;
        case kCmdSortBackward:
        case kCmdSortForward:
            // The sort keys of a list; from the tree or the toolbar they sort the File view.
            if (c.w.lists.listKey)
                c.w.lists.listKey(c.w.lists.ctx,
                                  list ? static_cast<ListId>(pane - kPaneFiles) : kListFiles, key);
            break;
        case kCmdMoveRowUp:
        case kCmdMoveRowDown:
        case kCmdMovePageUp:
        case kCmdMovePageDown:
            if (list && c.w.tracks.moveRows)
                c.w.tracks.moveRows(c.w.tracks.ctx, static_cast<ListId>(pane - kPaneFiles),
                                    key == kCmdMoveRowUp || key == kCmdMovePageUp ? -1 : +1,
                                    key == kCmdMovePageUp || key == kCmdMovePageDown);
            break;
        default:
            Navigate(c, key);
            break;
    }
}

void Escape(CommandContext& c) {
    const ListOps& l = c.w.lists;
    if (l.listWorkRunning && l.listWorkRunning(l.ctx)) {
        if (l.stopListWork) l.stopListWork(l.ctx);
        return;
    }
    // An embedded Big view belongs to the window and stays.
    const bool bigUndocked = c.s.big_embedded <= 8191;
    for (AppWindow w : {AppWindow::BigView, AppWindow::BeatCounter, AppWindow::IntroScan,
                        AppWindow::InsertView}) {
        if (w == AppWindow::BigView && !bigUndocked) continue;
        if (IsOpen(c, w)) {
            Close(c, w);
            return;
        }
    }
    if ((Bits(c.s.control_flags) & ControlFlag::QuitByEscape) && c.sh.startedWithPath) Quit(c);
}

void TreeToggle(CommandContext& c) {
    if (c.w.lists.storeColumnWidths) c.w.lists.storeColumnWidths(c.w.lists.ctx);
    ToggleTreeSettings(c.s);
    Layout(c);
    if ((Bits(c.s.stylez) & Style::TreeHidden) && c.d.focusedPane == kPaneTree) {
        c.d.focusedPane = kPaneFiles;
        FocusPane(c, kPaneFiles);
    }
}

// The commands RunOwnCommand answers (its cases, in their order).
constexpr CommandId kOwnCommands[] = {
    kCmdPlayFromStart,
    kCmdStopResume,
    kCmdPrevTrack,
    kCmdNextTrack,
    kCmdDirSearchBack,
    kCmdDirSearchForward,
    kCmdSkipRows,
    kCmdMoveRowsNext,
    kCmdCycleRepeat,
    kCmdRepeatOff,
    kCmdRepeatList,
    kCmdRepeatTrack,
    kCmdRepeatPlayOne,
    kCmdRepeatTrackOnce,
    kCmdStopAfterTrack,
    kCmdQuitAfterTrack,
    kCmdQuitAfterList,
    kCmdAutoSearchDirs,
    kCmdContinueInFocused,
    kCmdGoHomeBeforeChange,
    kCmdUpcomingInTitle,
    kCmdShowPictures,
    kCmdGapless,
    kCmdAutospace,
    kCmdEnhancer1,
    kCmdEnhancer2,
    kCmdEqualizer,
    kCmdMono,
    kCmdFastPlay1,
    kCmdFastPlay2,
    kCmdFastPlay3,
    kCmdMute,
    kCmdSoftMute,
    kCmdVolumeDown,
    kCmdVolumeUp,
    kCmdRewind,
    kCmdFastForward,
    kCmdCycleTimeDisplay,
    kCmdQuit,
    kCmdTreeToggle,
    kCmdNextPane,
    kCmdEscape,
    kCmdKeyUp,
    kCmdKeyDown,
    kCmdKeyLeft,
    kCmdKeyRight,
    kCmdPageUp,
    kCmdPageDown,
    kCmdMoveRowUp,
    kCmdMoveRowDown,
    kCmdMovePageUp,
    kCmdMovePageDown,
    kCmdHome,
    kCmdEnd,
    kCmdBackspace,
    kCmdReturn,
    kCmdSpace,
    kCmdSortBackward,
    kCmdSortForward,
    kCmdAlwaysScanInfo,
    kCmdWebServer,
};

// Commands owned here; false for the ones that go to other subsystems.
bool RunOwnCommand(CommandContext& c, CommandId id) {
    switch (id) {
        case kCmdPlayFromStart:
            PlayFromStart(c);
            return true;
        case kCmdStopResume:
            StopOrResume(c);
            return true;
        case kCmdPrevTrack:
            c.s.last_pos = 0;
            if (c.w.tracks.prevTrack) c.w.tracks.prevTrack(c.w.tracks.ctx, PlayingList(c));
            return true;
        case kCmdNextTrack:
            NextTrack(c);
            return true;
        case kCmdDirSearchBack:
        case kCmdDirSearchForward:
            if (c.w.tracks.dirSearch)
                c.w.tracks.dirSearch(c.w.tracks.ctx, id == kCmdDirSearchBack ? -1 : 1);
            return true;
        case kCmdSkipRows:
            if (c.w.tracks.skipRows) c.w.tracks.skipRows(c.w.tracks.ctx, FocusedList(c));
            return true;
        case kCmdMoveRowsNext:
            if (c.w.tracks.moveRowsNext) c.w.tracks.moveRowsNext(c.w.tracks.ctx, FocusedList(c));
            return true;
        case kCmdCycleRepeat:
            SetRepeat(c, NextRepeatMode(c.s.rpt_mode));
            return true;
        case kCmdRepeatOff:
            SetRepeat(c, 0);
            return true;
        case kCmdRepeatList:
            SetRepeat(c, 1);
            return true;
        case kCmdRepeatTrack:
            SetRepeat(c, 2);
            return true;
        case kCmdRepeatPlayOne:
            SetRepeat(c, 3);
            return true;
        case kCmdRepeatTrackOnce:
            OneShot(c, 1);
            return true;
        case kCmdStopAfterTrack:
            OneShot(c, 2);
            return true;
        case kCmdQuitAfterTrack:
            c.sh.quitAfterTrack = !c.sh.quitAfterTrack;
            Flags(c);
            Toolbar(c, ToolbarMask::QuitAfterTrack);
            return true;
        case kCmdQuitAfterList:
            c.d.quitAfterList = !c.d.quitAfterList;
            Flags(c);
            return true;
        case kCmdAutoSearchDirs:
            ToggleBit(c.s.control_flags, ControlFlag::AutoSearchDirs);
            Flags(c);
            return true;
        case kCmdContinueInFocused:
            ToggleBit(c.s.control_flags, ControlFlag::ContinueInFocused);
            if (c.w.tracks.refreshUpcoming) c.w.tracks.refreshUpcoming(c.w.tracks.ctx);
            Flags(c);
            return true;
        case kCmdGoHomeBeforeChange:
            ToggleBit(c.s.control_flags, ControlFlag::GoHomeBeforeChange);
            Flags(c);
            return true;
        case kCmdUpcomingInTitle:
            ToggleBit(c.s.stylez, Style::UpcomingInTitle);
            Title(c);
            return true;
        case kCmdShowPictures:
            ToggleBit(c.s.stylez, Style::ShowPictures);
            Picture(c);
            Layout(c);
            return true;
        case kCmdGapless:
            Gapless(c);
            return true;
        case kCmdAlwaysScanInfo:
            AlwaysScanInfo(c);
            return true;
        case kCmdWebServer:
            WebServer(c);
            return true;
        case kCmdAutospace:
            Autospace(c);
            return true;
        case kCmdEnhancer1:
            Enhancer(c, 1);
            return true;
        case kCmdEnhancer2:
            Enhancer(c, 2);
            return true;
        case kCmdEqualizer:
            Equalizer(c);
            return true;
        case kCmdMono:
            Mono(c);
            return true;
        case kCmdFastPlay1:
            FastPlayCommand(c, 1);
            return true;
        case kCmdFastPlay2:
            FastPlayCommand(c, 2);
            return true;
        case kCmdFastPlay3:
            FastPlayCommand(c, 3);
            return true;
        case kCmdMute:
        case kCmdSoftMute:
            Mute(c, id);
            return true;
        case kCmdVolumeDown:
            Volume(c, false);
            return true;
        case kCmdVolumeUp:
            Volume(c, true);
            return true;
        case kCmdRewind:
            Seek(c, true);
            return true;
        case kCmdFastForward:
            Seek(c, false);
            return true;
        case kCmdCycleTimeDisplay:
            c.s.show_time = NextShowTime(c.s.show_time);
            Title(c);
            return true;
        case kCmdQuit:
            Quit(c);
            return true;
        case kCmdTreeToggle:
            TreeToggle(c);
            return true;
        case kCmdNextPane:
            FocusNextPane(c);
            return true;
        case kCmdEscape:
            Escape(c);
            return true;
        case kCmdKeyUp:
        case kCmdKeyDown:
        case kCmdKeyLeft:
        case kCmdKeyRight:
        case kCmdPageUp:
        case kCmdPageDown:
        case kCmdMoveRowUp:
        case kCmdMoveRowDown:
        case kCmdMovePageUp:
        case kCmdMovePageDown:
        case kCmdHome:
        case kCmdEnd:
        case kCmdBackspace:
        case kCmdReturn:
        case kCmdSpace:
        case kCmdSortBackward:
        case kCmdSortForward:
            PaneKey(c, id);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool DispatcherAnswers(CommandId id) {
    for (CommandId own : kOwnCommands)
        if (own == id) return true;
    return false;
}

const CommandRoute* RouteCommands(AppWiring& w, const CommandRoute* routes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const CommandRoute& r = routes[i];
        if (r.id >= kCommandSlots || !r.run || DispatcherAnswers(r.id) || w.commands[r.id])
            return &r;
        w.commands[r.id] = r.run;
    }
    return nullptr;
}

void RunCommand(CommandContext& c, unsigned id, intptr_t lParam) {
    if (id < kCommandSlots && CommandLocked(c.s, static_cast<CommandId>(id))) {
        // silently nothing
    } else if (id < kCommandSlots) {
        if (!RunOwnCommand(c, static_cast<CommandId>(id)))
            Route(c, static_cast<CommandId>(id), lParam);
    } else if (c.w.otherCommand) {
        c.w.otherCommand(id, lParam);
    }
    if (c.s.big_t_time >= 2) c.d.lastActivityTick = c.os.tickCount(c.os.ctx);
    if (c.w.view.bigViewState && c.w.view.bigViewState(c.w.view.ctx) == 1)
        Close(c, AppWindow::BigView);
}

namespace {

// The end of the start-up: the lists scrolled to what they show, the window shown (maximized
// as it was left), then what waits for a visible window.
void ShowStartedWindow(CommandContext& c) {
    if (c.w.lists.scrollAllIntoView) c.w.lists.scrollAllIntoView(c.w.lists.ctx);
    if (c.sh.startupPending) {
        c.os.showMainWindow(c.os.ctx, c.s.maximized == 1 && !(c.s.compact_view & CompactView::On));
        // A timer comes after the window's first paint: the tooltips wait for it.
        c.os.setTimer(c.os.ctx, kTimerWindowShown, 0);
    }
    c.sh.startupPending = false;
}

}  // namespace

void OnStartupDone(CommandContext& c) {
    if (!c.sh.startupPending) return;  // started hidden: the tree's listing timer lists
    c.os.killTimer(c.os.ctx, kTimerListFolder);
    RunTimer(c, kTimerListFolder);
}

void RunTimer(CommandContext& c, unsigned id) {
    switch (id) {
        case kTimerDelayedStart:
            c.os.killTimer(c.os.ctx, id);
            if (!StartLastFile(c)) PlayButton(c, false);
            break;
        case kTimerEngineAction:
            c.os.killTimer(c.os.ctx, id);
            if (c.w.playback.pendingAction) c.w.playback.pendingAction(c.w.playback.ctx);
            break;
        case kTimerShowWindow:
            c.os.killTimer(c.os.ctx, id);
            ShowStartedWindow(c);
            break;
        case kTimerWindowShown:
            c.os.killTimer(c.os.ctx, id);
            if (c.w.lists.windowShown) c.w.lists.windowShown(c.w.lists.ctx);
            if (c.w.view.windowShown) c.w.view.windowShown(c.w.view.ctx);
            break;
        case kTimerAutosave:
            if (!Engine(c).outputOpen) break;  // saves only while playing
            c.os.saveAll(c.os.ctx, true);
            if (c.w.view.showMessage)
                c.w.view.showMessage(c.w.view.ctx, L" Settings autosaved.", 4000);
            break;
        case kTimerListFolder:
            c.os.killTimer(c.os.ctx, id);
            if (c.w.lists.listBrowsedFolder) c.w.lists.listBrowsedFolder(c.w.lists.ctx);
            if (Bits(c.s.stylez) & Style::ShowPictures) Picture(c);
            if (c.w.lists.scrollTreeSelection) c.w.lists.scrollTreeSelection(c.w.lists.ctx);
            c.d.listingDelayMs = kListingDelayMs;
            if (c.sh.startupPending) {
                // The first listing is done: the window shows with it at once.
                if (c.w.view.applyWindowFrame) c.w.view.applyWindowFrame(c.w.view.ctx);
                ShowStartedWindow(c);
            }
            break;
        case kTimerShowLatest:
            c.os.killTimer(c.os.ctx, id);
            if (c.sh.startupPending) {
                if (c.w.view.applyWindowFrame) c.w.view.applyWindowFrame(c.w.view.ctx);
                c.os.setTimer(c.os.ctx, kTimerShowWindow, 100);
            }
            break;
        case kTimerStatusMessage:
            c.os.killTimer(c.os.ctx, id);
            Flags(c);
            break;
    }
}

void OnCloseRequest(CommandContext& c) {
    if (!c.os.confirm(c.os.ctx, 256)) return;
    if (Bits(c.s.system_flags) & SystemFlag::CloseMinimizes)
        c.os.minimize(c.os.ctx);
    else
        c.os.quit(c.os.ctx);
}

void OnActivated(CommandContext& c) {
    FocusPane(c, c.d.focusedPane != kPaneTree
                     ? static_cast<Pane>(int{kPaneFiles} + int{FocusedList(c)})
                     : kPaneTree);
    if (c.s.big_t_time >= 2) c.d.lastActivityTick = c.os.tickCount(c.os.ctx);
}

void OnSized(CommandContext& c, bool minimized, bool resized) {
    if (minimized) {
        c.sh.hiddenToTray = true;
        if (Bits(c.s.control_flags) & ControlFlag::TrayIcon) c.os.hide(c.os.ctx);
        return;
    }
    if (resized) Layout(c);
    c.sh.hiddenToTray = false;
}

void OnHotkey(CommandContext& c, int slot) {
    if (const unsigned id = HotkeyCommand(slot)) RunCommand(c, static_cast<CommandId>(id), 0);
}

void OnTreeSelectionChanged(CommandContext& c, const std::wstring& folder) {
    if ((Bits(c.s.control_lock) & ControlLock::ListChange) && !c.sh.startupPending) {
        RunCommand(c, kCmdGoToCurrent, 0);  // back to the current track instead
        return;
    }
    c.s.browsed_folder = folder;
    c.os.setTimer(c.os.ctx, kTimerListFolder, c.d.listingDelayMs);
}

void OnPaneFocus(CommandContext& c, Pane pane) {
    c.d.focusedPane = pane;
}

void OnTreeDoubleClick(CommandContext& c, bool itemHasChildren) {
    if (!itemHasChildren && (Bits(c.s.control_flags) & ControlFlag::DoubleClickPlaysLeaf))
        RunCommand(c, kCmdReturn, 0);
}

void OnListDoubleClick(CommandContext& c, ListId list) {
    if (c.w.lists.hasSelection && c.w.lists.hasSelection(c.w.lists.ctx, list))
        RunCommand(c, kCmdReturn, 0);
}

void OnListColumnClick(CommandContext& c, ListId list, int column) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPlacement) return;
    if (c.w.lists.sortByColumn) c.w.lists.sortByColumn(c.w.lists.ctx, list, column);
}

void OnListBeginDrag(CommandContext& c, ListId list) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPlacement) return;
    if (c.w.lists.beginRowDrag) c.w.lists.beginRowDrag(c.w.lists.ctx, list);
}

bool OnBeginLabelEdit(CommandContext& c, ListId list) {
    const bool folder = FileViewShowsFolder(c);
    if (!LabelEditAllowed(c.s, list, folder)) return false;
    c.d.labelEditing = true;
    return true;
}

void OnEndLabelEdit(CommandContext& c, const wchar_t* newName) {
    c.d.labelEditing = false;
    if (!newName || !c.w.lists.renameRow) return;
    if (!c.w.lists.renameRow(c.w.lists.ctx, newName))
        c.os.showError(c.os.ctx, L"Rename failed", L"Error");
}

void OnDroppedFiles(CommandContext& c, DropTarget target, const std::vector<std::wstring>& files,
                    int row) {
    if (files.empty()) return;
    const bool intoFileList = target == DropTarget::FileList && FileViewShowsFolder(c);
    if (target == DropTarget::Playlist || intoFileList) {
        std::vector<std::wstring> playable;
        for (const std::wstring& f : files) {
            const bool ok = c.w.lists.isPlayable && c.w.lists.isPlayable(c.w.lists.ctx, f);
            if (ok)
                playable.push_back(f);
            else if (intoFileList)
                break;  // the file list stops at the first other file
        }
        if (c.w.lists.insertRows)
            c.w.lists.insertRows(c.w.lists.ctx, intoFileList ? kListFiles : kListPlaylist, playable,
                                 row);
        return;
    }
    c.s.last_file = files.front();
    c.s.last_pos = 0;
    if (c.w.tracks.playPath) c.w.tracks.playPath(c.w.tracks.ctx, c.s.last_file);
}
