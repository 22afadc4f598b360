// The command dispatch: what each command, timer and notification of the main window does.
// Steps that belong to other subsystems go through AppHooks and are skipped while those are
// not connected.
#include "app/dispatch.h"

#include "base/path.h"
#include "base/text.h"
#include "config/settings_bits.h"

namespace {

uint32_t Bits(int32_t v) {
    return static_cast<uint32_t>(v);
}

// ---- hook helpers: a null hook is a step that is not there yet ----

EngineView Engine(const CommandContext& c) {
    EngineView v;
    if (c.hooks.engineView) c.hooks.engineView(c.hooks.ctx, v);
    return v;
}

uint8_t& SoftMute(CommandContext& c) {
    return c.hooks.softMute ? *c.hooks.softMute : c.d.softMute;
}
uint8_t& FastPlay(CommandContext& c) {
    return c.hooks.fastPlayLevel ? *c.hooks.fastPlayLevel : c.d.fastPlayLevel;
}

void Flags(CommandContext& c) {
    if (c.hooks.updateFlags) c.hooks.updateFlags(c.hooks.ctx);
}
void Toolbar(CommandContext& c, uint32_t mask) {
    if (c.hooks.updateToolbar) c.hooks.updateToolbar(c.hooks.ctx, mask);
}
void PlayButton(CommandContext& c, bool pressed) {
    if (c.hooks.showPlayButton) c.hooks.showPlayButton(c.hooks.ctx, pressed);
}
bool IsOpen(CommandContext& c, AppWindow w) {
    return c.hooks.isOpen && c.hooks.isOpen(c.hooks.ctx, w);
}
void Close(CommandContext& c, AppWindow w) {
    if (c.hooks.closeWindow) c.hooks.closeWindow(c.hooks.ctx, w);
}
bool PlayRow(CommandContext& c, ListId list, int row) {
    return c.hooks.playRow && c.hooks.playRow(c.hooks.ctx, list, row, true, true);
}
bool StartLastFile(CommandContext& c) {
    return c.hooks.startPlayback && c.hooks.startPlayback(c.hooks.ctx, c.s.last_file, c.s.last_pos);
}
void Route(CommandContext& c, CommandId id, intptr_t lParam) {
    if (c.hooks.command[id]) c.hooks.command[id](c.hooks.ctx, id, lParam);
}

void Quit(CommandContext& c) {
    if (c.os.confirm(c.os.ctx, 256)) c.os.quit(c.os.ctx);
}

// Toolbar update bits (mask of the toolbar's state refresh).
constexpr uint32_t kToolbarRepeat = 1u << 0;
constexpr uint32_t kToolbarQuitAfterTrack = 1u << 5;
constexpr uint32_t kToolbarMute = 1u << 8;
constexpr uint32_t kToolbarSound = 1u << 10;

// ---- playback ----

void PlayFromStart(CommandContext& c) {
    if (!c.os.confirm(c.os.ctx, 1)) return;
    c.s.last_pos = 0;
    if (c.hooks.markManualSkip) c.hooks.markManualSkip(c.hooks.ctx);
    PlayRow(c, c.d.focusedList, -1);
    if (c.d.focusedList == kListFiles) {
        if (c.hooks.focusPane) c.hooks.focusPane(c.hooks.ctx, kPaneFiles);
        if (c.hooks.scrollToCurrent) c.hooks.scrollToCurrent(c.hooks.ctx, kListFiles);
    }
}

void Resume(CommandContext& c, const EngineView& v) {
    PlayButton(c, true);
    if ((Bits(c.s.control_flags) & ControlFlag::RememberFolderPos) &&
        c.s.browsed_folder != c.s.last_folder && !IsOpen(c, AppWindow::Playlist) &&
        c.hooks.recallFolderPosition)
        c.hooks.recallFolderPosition(c.hooks.ctx);  // also clears the remembered position
    bool started;
    if (c.s.last_pos == 0 && !IsUrl(c.s.last_file) && !v.stoppedLengthKnown) {
        started = PlayRow(c, c.d.focusedList, -1);
    } else {
        if (c.s.last_pos == 0 && !IsUrl(c.s.last_file))
            c.s.last_pos = static_cast<int32_t>(v.stopPosition);
        started = StartLastFile(c);
    }
    if (!started) PlayButton(c, false);
}

void Stop(CommandContext& c, const EngineView& v) {
    if (IsOpen(c, AppWindow::IntroScan)) Close(c, AppWindow::IntroScan);
    const uint32_t fade = Bits(c.s.fadeout);
    if ((fade & FadeFlag::OnStop) && v.outputOpen && c.hooks.fadeOutStop) {
        c.hooks.fadeOutStop(c.hooks.ctx, static_cast<int>(fade & 0x7F) * 100);
        return;
    }
    int64_t pos = ResumePosition(v, c.s.skip_times);
    if (c.hooks.stopPlayback) c.hooks.stopPlayback(c.hooks.ctx);
    c.s.last_pos = static_cast<int32_t>(pos);  // where the next resume starts
    if (c.hooks.setPosition) c.hooks.setPosition(c.hooks.ctx, pos);
    if (c.hooks.trackInterrupted) c.hooks.trackInterrupted(c.hooks.ctx);
}

void StopOrResume(CommandContext& c) {
    if (!c.os.confirm(c.os.ctx, 1)) return;
    EngineView v = Engine(c);
    if (!v.outputOpen && !v.busy)
        Resume(c, v);
    else
        Stop(c, v);
}

void Seek(CommandContext& c, bool back) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPosition) return;
    EngineView v = Engine(c);
    if (!v.trackLoaded) return;
    const int seconds = SkipSeconds(c.s.skip_times, back);
    const int64_t pos = SeekTarget(v, back ? -seconds : seconds);
    if (pos < 0) return;  // beyond the audio end: not applied
    c.s.last_pos = static_cast<int32_t>(pos);
    if (c.hooks.setPosition) c.hooks.setPosition(c.hooks.ctx, pos);
    if (v.outputOpen) {
        if (c.hooks.stopOutput) c.hooks.stopOutput(c.hooks.ctx);
        PlayButton(c, true);
        c.os.setTimer(c.os.ctx, kTimerDelayedStart, 200);
    } else if ((Bits(c.s.control_flags) & ControlFlag::NextAtFastForwardEnd) && v.audioEnd > 0 &&
               pos >= v.audioEnd) {
        RunCommand(c, kCmdNextTrack, 0);
    }
}

void NextTrack(CommandContext& c) {
    if (c.hooks.introScanNext && c.hooks.introScanNext(c.hooks.ctx)) return;
    c.s.last_pos = 0;
    if (!c.hooks.nextTrack || c.hooks.nextTrack(c.hooks.ctx, c.d.playingList)) return;
    // The end of the list: stop, and with "Auto search dirs" go on in the next folder.
    if (c.hooks.stopPlayback) c.hooks.stopPlayback(c.hooks.ctx);
    if ((Bits(c.s.control_flags) & ControlFlag::AutoSearchDirs) && c.hooks.dirSearch &&
        c.hooks.dirSearch(c.hooks.ctx, +1))
        PlayRow(c, c.d.focusedList, -1);
}

void Volume(CommandContext& c, bool up) {
    c.s.volume = VolumeStep(c.s.volume, up, Bits(c.s.mouse_flags) & MouseFlag::FineVolume);
    SoftMute(c) = 0;  // a volume step ends any mute
    if (c.hooks.applyVolume) c.hooks.applyVolume(c.hooks.ctx, true);
    if (c.hooks.showVolume) c.hooks.showVolume(c.hooks.ctx);
}

void Mute(CommandContext& c, CommandId id) {
    SoftMute(c) = NextSoftMute(SoftMute(c), id);
    if (c.hooks.applyVolume) c.hooks.applyVolume(c.hooks.ctx, false);
    Toolbar(c, kToolbarMute);
    Flags(c);
}

void FastPlayCommand(CommandContext& c, uint8_t level) {
    FastPlay(c) = NextFastPlayLevel(FastPlay(c), level);
    Flags(c);
    EngineView v = Engine(c);
    if (v.outputOpen && v.queuedMs > 1000 && c.hooks.restartQueue)
        c.hooks.restartQueue(c.hooks.ctx);
}

// ---- options ----

void ToggleBit(int32_t& field, uint32_t bit) {
    field ^= static_cast<int32_t>(bit);
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
        if (c.hooks.resetEnhancer2) c.hooks.resetEnhancer2(c.hooks.ctx);
    }
    Flags(c);
    Toolbar(c, kToolbarSound);
}

void Equalizer(CommandContext& c) {
    c.s.eq_enable = c.s.eq_enable ? 0 : 1;
    if (c.s.enhance == 2) c.s.enhance = 0;
    Flags(c);
}

void Mono(CommandContext& c) {
    c.s.wave_flags ^= WaveFlag::MonoOutput;
    Flags(c);
    Toolbar(c, kToolbarSound);
}

void SetRepeat(CommandContext& c, uint8_t mode) {
    c.s.rpt_mode = mode;
    c.d.trackOneShot = 0;
    Toolbar(c, kToolbarRepeat);
}

void OneShot(CommandContext& c, uint8_t value) {
    c.d.trackOneShot = c.d.trackOneShot == value ? 0 : value;
    Toolbar(c, kToolbarRepeat);
}

// ---- keyboard ----

void FocusNextPane(CommandContext& c) {
    PaneSet open{IsOpen(c, AppWindow::Playlist), IsOpen(c, AppWindow::InsertView),
                 (Bits(c.s.control_flags) & ControlFlag::TabToToolbar) != 0,
                 (Bits(c.s.stylez) & Style::TreeHidden) != 0};
    c.d.focusedPane = NextPane(c.d.focusedPane, open);
    if (c.d.focusedPane >= kPaneFiles && c.d.focusedPane <= kPaneInsert)
        c.d.focusedList = static_cast<ListId>(c.d.focusedPane - kPaneFiles);
    if (c.hooks.focusPane) c.hooks.focusPane(c.hooks.ctx, c.d.focusedPane);
}

void Navigate(CommandContext& c, CommandId key) {
    if (c.hooks.navigate) c.hooks.navigate(c.hooks.ctx, c.d.focusedPane, key);
}

// Keys whose meaning depends on the focused pane.
void PaneKey(CommandContext& c, CommandId key) {
    const Pane pane = c.d.focusedPane;
    const bool list = pane >= kPaneFiles && pane <= kPaneInsert;
    switch (key) {
        case kCmdKeyLeft:
        case kCmdKeyRight:
            if (pane == kPaneToolbar)
                c.os.passKey(c.os.ctx, key == kCmdKeyLeft ? 0x25 : 0x27);
            else if (list)
                Seek(c, key == kCmdKeyLeft);
            else
                Navigate(c, key);
            break;
        case kCmdSpace:
            if (pane == kPaneToolbar)
                c.os.passKey(c.os.ctx, 0x20);
            else
                StopOrResume(c);
            break;
        case kCmdKeyUp:
        case kCmdKeyDown:
            if (pane == kPaneTree) c.d.listingDelayMs = 400;  // walking the tree lists later
            if (pane != kPaneToolbar) Navigate(c, key);
            break;
        case kCmdReturn:
            if (pane == kPaneToolbar) break;
            // A folder or list row opens; anything else plays. From the tree the list's
            // first row is selected first (the tree's Return).
            if (list && c.hooks.openRow && c.hooks.openRow(c.hooks.ctx, c.d.focusedList)) break;
            if (pane == kPaneTree) Navigate(c, key);
            PlayFromStart(c);
            break;
        case kCmdBackspace:
            if (pane != kPaneToolbar && c.s.browsed_folder.find(L'\\') != std::wstring::npos)
                Navigate(c, key);
            break;
        case kCmdMoveRowUp:
        case kCmdMoveRowDown:
        case kCmdMovePageUp:
        case kCmdMovePageDown:
            if (list && c.hooks.moveRows)
                c.hooks.moveRows(c.hooks.ctx, c.d.focusedList,
                                 key == kCmdMoveRowUp || key == kCmdMovePageUp ? -1 : +1,
                                 key == kCmdMovePageUp || key == kCmdMovePageDown);
            break;
        default:
            if (pane != kPaneToolbar) Navigate(c, key);
            break;
    }
}

void Escape(CommandContext& c) {
    if (c.hooks.infoScanRunning && c.hooks.infoScanRunning(c.hooks.ctx)) {
        if (c.hooks.stopInfoScan) c.hooks.stopInfoScan(c.hooks.ctx);
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
    if (c.hooks.storeColumnWidths) c.hooks.storeColumnWidths(c.hooks.ctx);
    ToggleTreeSettings(c.s);
    if (c.hooks.layout) c.hooks.layout(c.hooks.ctx);
    if ((Bits(c.s.stylez) & Style::TreeHidden) && c.d.focusedPane == kPaneTree) {
        c.d.focusedPane = kPaneFiles;
        c.d.focusedList = kListFiles;
        if (c.hooks.focusPane) c.hooks.focusPane(c.hooks.ctx, kPaneFiles);
    }
}

// Commands owned here; false for the ones that go to other subsystems.
bool RunOwnCommand(CommandContext& c, CommandId id) {
    if (CommandLocked(c.s, id)) return true;  // silently nothing
    switch (id) {
        case kCmdPlayFromStart:
            PlayFromStart(c);
            return true;
        case kCmdStopResume:
            StopOrResume(c);
            return true;
        case kCmdPrevTrack:
            c.s.last_pos = 0;
            if (c.hooks.prevTrack) c.hooks.prevTrack(c.hooks.ctx, c.d.playingList);
            return true;
        case kCmdNextTrack:
            NextTrack(c);
            return true;
        case kCmdDirSearchBack:
        case kCmdDirSearchForward:
            if (c.hooks.dirSearch) c.hooks.dirSearch(c.hooks.ctx, id == kCmdDirSearchBack ? -1 : 1);
            return true;
        case kCmdSkipRows:
            if (c.hooks.skipRows) c.hooks.skipRows(c.hooks.ctx, c.d.focusedList);
            return true;
        case kCmdMoveRowsNext:
            if (c.hooks.moveRowsNext) c.hooks.moveRowsNext(c.hooks.ctx, c.d.focusedList);
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
            Toolbar(c, kToolbarQuitAfterTrack);
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
            if (c.hooks.refreshUpcoming) c.hooks.refreshUpcoming(c.hooks.ctx);
            Flags(c);
            return true;
        case kCmdGoHomeBeforeChange:
            ToggleBit(c.s.control_flags, ControlFlag::GoHomeBeforeChange);
            Flags(c);
            return true;
        case kCmdUpcomingInTitle:
            ToggleBit(c.s.stylez, Style::UpcomingInTitle);
            if (c.hooks.updateTitle) c.hooks.updateTitle(c.hooks.ctx);
            return true;
        case kCmdShowPictures:
            ToggleBit(c.s.stylez, Style::ShowPictures);
            if (c.hooks.updatePicture) c.hooks.updatePicture(c.hooks.ctx);
            if (c.hooks.layout) c.hooks.layout(c.hooks.ctx);
            return true;
        case kCmdGapless:
            Gapless(c);
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
            if (c.hooks.updateTitle) c.hooks.updateTitle(c.hooks.ctx);
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
            PaneKey(c, id);
            return true;
        default:
            return false;
    }
}

}  // namespace

void RunCommand(CommandContext& c, unsigned id, intptr_t lParam) {
    if (id < std::size(c.hooks.command)) {
        if (!RunOwnCommand(c, static_cast<CommandId>(id)))
            Route(c, static_cast<CommandId>(id), lParam);
    } else if (c.hooks.otherCommand) {
        c.hooks.otherCommand(c.hooks.ctx, id, lParam);
    }
    if (c.s.big_t_time >= 2) c.d.lastActivityTick = c.os.tickCount(c.os.ctx);
    if (c.hooks.bigViewState && c.hooks.bigViewState(c.hooks.ctx) == 1)
        Close(c, AppWindow::BigView);
}

void RunTimer(CommandContext& c, unsigned id) {
    switch (id) {
        case kTimerDelayedStart:
            c.os.killTimer(c.os.ctx, id);
            if (!StartLastFile(c)) PlayButton(c, false);
            break;
        case kTimerEngineAction:
            c.os.killTimer(c.os.ctx, id);
            if (c.hooks.pendingAction) c.hooks.pendingAction(c.hooks.ctx);
            break;
        case kTimerShowWindow:
            c.os.killTimer(c.os.ctx, id);
            if (c.hooks.scrollAllIntoView) c.hooks.scrollAllIntoView(c.hooks.ctx);
            if (c.sh.startupPending)
                c.os.showMainWindow(c.os.ctx,
                                    c.s.maximized == 1 && !(c.s.compact_view & CompactView::On));
            c.sh.startupPending = false;
            break;
        case kTimerAutosave:
            if (!Engine(c).outputOpen) break;  // saves only while playing
            c.os.saveAll(c.os.ctx, true);
            if (c.hooks.showMessage)
                c.hooks.showMessage(c.hooks.ctx, L" Settings autosaved.", 4000);
            break;
        case kTimerListFolder:
            c.os.killTimer(c.os.ctx, id);
            if (c.hooks.listBrowsedFolder) c.hooks.listBrowsedFolder(c.hooks.ctx);
            if ((Bits(c.s.stylez) & Style::ShowPictures) && c.hooks.updatePicture)
                c.hooks.updatePicture(c.hooks.ctx);
            if (c.hooks.scrollTreeSelection) c.hooks.scrollTreeSelection(c.hooks.ctx);
            if (c.sh.startupPending) {
                if (c.hooks.applyWindowFrame) c.hooks.applyWindowFrame(c.hooks.ctx);
                c.os.setTimer(c.os.ctx, kTimerShowWindow, 10);
            }
            c.d.listingDelayMs = kListingDelayMs;
            break;
        case kTimerShowLatest:
            c.os.killTimer(c.os.ctx, id);
            if (c.sh.startupPending) {
                if (c.hooks.applyWindowFrame) c.hooks.applyWindowFrame(c.hooks.ctx);
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
    if (c.hooks.focusPane)
        c.hooks.focusPane(c.hooks.ctx,
                          c.d.focusedPane != kPaneTree
                              ? static_cast<Pane>(int{kPaneFiles} + int{c.d.focusedList})
                              : kPaneTree);
    if (c.s.big_t_time >= 2) c.d.lastActivityTick = c.os.tickCount(c.os.ctx);
}

void OnSized(CommandContext& c, bool minimized) {
    if (minimized) {
        c.sh.hiddenToTray = true;
        if (Bits(c.s.control_flags) & ControlFlag::TrayIcon) c.os.hide(c.os.ctx);
        return;
    }
    if (c.hooks.layout) c.hooks.layout(c.hooks.ctx);
    c.sh.hiddenToTray = false;
}

void OnHotkey(CommandContext& c, int slot) {
    if (CommandId id = HotkeySlotCommand(slot)) RunCommand(c, id, 0);
}

void OnTreeSelectionChanged(CommandContext& c, const std::wstring& folder) {
    if (c.d.treeFilling) return;
    if ((Bits(c.s.control_lock) & ControlLock::ListChange) && !c.sh.startupPending) {
        RunCommand(c, kCmdGoToCurrent, 0);  // back to the current track instead
        return;
    }
    c.s.browsed_folder = folder;
    c.os.setTimer(c.os.ctx, kTimerListFolder, c.d.listingDelayMs);
}

void OnTreeFocus(CommandContext& c) {
    c.d.focusedPane = kPaneTree;
}

void OnTreeDoubleClick(CommandContext& c, bool itemHasChildren) {
    if (!itemHasChildren && (Bits(c.s.control_flags) & ControlFlag::DoubleClickPlaysLeaf))
        RunCommand(c, kCmdReturn, 0);
}

void OnListDoubleClick(CommandContext& c, ListId list) {
    if (c.hooks.listHasSelection && c.hooks.listHasSelection(c.hooks.ctx, list))
        RunCommand(c, kCmdReturn, 0);
}

void OnListColumnClick(CommandContext& c, ListId list, int column) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPlacement) return;
    if (c.hooks.sortByColumn) c.hooks.sortByColumn(c.hooks.ctx, list, column);
}

void OnListBeginDrag(CommandContext& c, ListId list) {
    if (Bits(c.s.control_lock) & ControlLock::TrackPlacement) return;
    if (c.hooks.beginRowDrag) c.hooks.beginRowDrag(c.hooks.ctx, list);
}

bool OnBeginLabelEdit(CommandContext& c, ListId list) {
    bool folder = c.hooks.fileListShowsFolder && c.hooks.fileListShowsFolder(c.hooks.ctx);
    if (!LabelEditAllowed(c.s, list, folder)) return false;
    c.d.labelEditing = true;
    return true;
}

void OnEndLabelEdit(CommandContext& c, const wchar_t* newName) {
    c.d.labelEditing = false;
    if (!newName || !c.hooks.renameRow) return;
    if (!c.hooks.renameRow(c.hooks.ctx, newName))
        c.os.showError(c.os.ctx, L"Rename failed", L"Error");
}

void OnDroppedFiles(CommandContext& c, DropTarget target, const std::vector<std::wstring>& files,
                    int row) {
    if (files.empty()) return;
    bool intoFileList = target == DropTarget::FileList && c.hooks.fileListShowsFolder &&
                        c.hooks.fileListShowsFolder(c.hooks.ctx);
    if (target == DropTarget::Playlist || intoFileList) {
        std::vector<std::wstring> playable;
        for (const std::wstring& f : files) {
            bool ok = c.hooks.isPlayable && c.hooks.isPlayable(c.hooks.ctx, f);
            if (ok)
                playable.push_back(f);
            else if (intoFileList)
                break;  // the file list stops at the first other file
        }
        if (c.hooks.insertRows)
            c.hooks.insertRows(c.hooks.ctx, intoFileList ? kListFiles : kListPlaylist, playable,
                               row);
        return;
    }
    c.s.last_file = files.front();
    c.s.last_pos = 0;
    if (c.hooks.playPath) c.hooks.playPath(c.hooks.ctx, c.s.last_file);
}
