// The main window's side of playback control. Everything decided here is in control.cpp; this
// file turns ControlOps into window calls and connects the dispatcher's control hooks.
#include "audio/control_win.h"

#include "app/app_win.h"
#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/engine_win.h"
#include "audio/output.h"
#include "config/settings.h"

void (*g_playFromTopHandler)() = nullptr;

namespace {

HWND g_main = nullptr;
AppHooks* g_app = nullptr;

// Previous owners of the shared hooks, asked for everything that is not the intro scan.
void (*g_prevView)(void*, EngineView&) = nullptr;
bool (*g_prevIsOpen)(void*, AppWindow) = nullptr;
void (*g_prevClose)(void*, AppWindow) = nullptr;

constexpr uint32_t kToolbarMuteMask = 1u << 8;  // the toolbar's mute image and state

// ---- ControlOps ----

void OpSetTimer(void*, unsigned id, unsigned ms) {
    SetTimer(g_main, id, ms, nullptr);
}
void OpKillTimer(void*, unsigned id) {
    KillTimer(g_main, id);
}
void OpTitle(void*) {
    if (g_app->updateTitle) g_app->updateTitle(g_app->ctx);
}
void OpMuteCleared(void*) {
    if (g_app->updateToolbar) g_app->updateToolbar(g_app->ctx, kToolbarMuteMask);
    if (g_app->updateFlags) g_app->updateFlags(g_app->ctx);
}
void OpPlayButton(void*, bool pressed) {
    if (g_app->showPlayButton) g_app->showPlayButton(g_app->ctx, pressed);
}
void OpRefreshList(void*) {
    if (g_app->refreshUpcoming) g_app->refreshUpcoming(g_app->ctx);
    OpTitle(nullptr);
}
void OpNextTrack(void*) {
    PostMessageW(g_main, WM_COMMAND, kCmdNextTrack, 0);
}
void OpCloseMain(void*) {
    PostMessageW(g_main, WM_CLOSE, 0, 0);
}
void OpPlayFirst(void*, unsigned) {
    // The track sequencing plays the first row of the focused list after its pause.
    if (g_playFromTopHandler) return g_playFromTopHandler();
    if (g_app->playRow) g_app->playRow(g_app->ctx, kListPlaylist, 0, true, false);
}
void OpReplay(void*) {
    if (g_app->startPlayback) g_app->startPlayback(g_app->ctx, g_settings.last_file, 0);
}
void OpLogLeave(void*, uint32_t) {
    if (g_app->trackInterrupted) g_app->trackInterrupted(g_app->ctx);
}
void OpResume(void*, uint32_t pos) {
    g_settings.last_pos = static_cast<int32_t>(pos);
    OpTitle(nullptr);
}

// ---- the dispatcher's control entries ----

void HookVolume(void*, bool clearMute) {
    Engine e = EngineNow();
    SetVolume(e, clearMute);
}
void HookFadeStop(void*, int ms) {
    Engine e = EngineNow();
    if (!StopWithFade(e, static_cast<uint32_t>(ms))) (void)StopAtOnce(e);
}
void HookStopOutput(void*) {
    // A seek while playing: the track restarts at the new position through timer 1809.
    Engine e = EngineNow();
    EngineStop(e, true, true);
    CloseTrackFile(e);
    KillTimer(g_main, kDelayedStartTimer);
    g_playState.fileBufFilled = g_playState.fileBufPos = 0;
}
void HookSetPosition(void*, int64_t pos) {
    if (pos < 0) return;
    if (g_track.dwAudioEnd > 1 && pos <= g_track.dwAudioEnd)
        g_track.dwPointer = static_cast<uint32_t>(pos);
    g_playState.resumePos = static_cast<uint32_t>(pos);
    OpTitle(nullptr);
}
void HookRestartQueue(void*) {
    Engine e = EngineNow();
    RestartQueue(e);
}
void HookManualSkip(void*) {
    g_playState.manualSkip = true;
}
void HookPendingAction(void*) {
    Engine e = EngineNow();
    RunPendingAction(e);
}
bool HookIntroNext(void*) {
    if (!IntroScanRunningWin()) return false;
    IntroScanNextWin();
    return true;
}
void HookIntroCommand(void*, CommandId, intptr_t) {
    IntroScanOpenWin(g_main);
}
void HookView(void* ctx, EngineView& v) {
    if (g_prevView) g_prevView(ctx, v);
    // A stop fade in progress or a running intro scan count as playing.
    v.busy = v.busy || IntroScanRunningWin() || g_playState.pendingAction == kActionStopResume;
}
bool HookIsOpen(void* ctx, AppWindow w) {
    if (w == AppWindow::IntroScan) return IntroScanWindowOpen();
    return g_prevIsOpen && g_prevIsOpen(ctx, w);
}
void HookClose(void* ctx, AppWindow w) {
    if (w == AppWindow::IntroScan) {
        IntroScanCloseWin();
        return;
    }
    if (g_prevClose) g_prevClose(ctx, w);
}

}  // namespace

void ControlStartWin(HWND mainWindow, AppHooks& hooks, ControlOps& ops) {
    g_main = mainWindow;
    g_app = &hooks;
    ops = ControlOps{};
    ops.setTimer = OpSetTimer;
    ops.killTimer = OpKillTimer;
    ops.refreshTitle = OpTitle;
    ops.muteCleared = OpMuteCleared;
    ops.playButton = OpPlayButton;
    ops.refreshList = OpRefreshList;
    ops.nextTrack = OpNextTrack;
    ops.closeMainWindow = OpCloseMain;
    ops.playFirstOfList = OpPlayFirst;
    ops.replaySelected = OpReplay;
    ops.logTrackLeave = OpLogLeave;
    ops.setResumePosition = OpResume;
    // The track-position memory, the stream recorder and the plug-in host connect here once
    // they exist (rememberPosition, stopRecording, stopPlugin).

    hooks.applyVolume = HookVolume;
    hooks.fadeOutStop = HookFadeStop;
    hooks.stopOutput = HookStopOutput;
    hooks.setPosition = HookSetPosition;
    hooks.restartQueue = HookRestartQueue;
    hooks.markManualSkip = HookManualSkip;
    hooks.pendingAction = HookPendingAction;
    hooks.introScanNext = HookIntroNext;
    hooks.softMute = &g_playState.softMute;
    hooks.fastPlayLevel = &g_playState.fastPlayLevel;
    hooks.command[kCmdIntroScan] = HookIntroCommand;
    g_prevView = hooks.engineView;
    hooks.engineView = HookView;
    g_prevIsOpen = hooks.isOpen;
    hooks.isOpen = HookIsOpen;
    g_prevClose = hooks.closeWindow;
    hooks.closeWindow = HookClose;
}
