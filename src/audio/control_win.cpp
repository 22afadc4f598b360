// The PlaybackOps of the program: the engine's view, the stop, Stop/Resume with its
// resume position, seeking, volume, mute, fast play and the deferred actions, over the
// program's engine records. Everything decided lives in control.cpp.
#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "audio/output.h"

namespace {

void View(void*, EngineView& v) {
    v.trackLoaded = g_track.hFile != nullptr || g_track.dwPointer != 0;
    v.outputOpen = OutputOpen(g_playState);
    // A stop fade in progress or a running intro scan count as playing.
    v.busy = IntroScanRunningWin() || g_playState.pendingAction == kActionStopResume;
    v.stoppedLengthKnown = g_track.lengthMs != 0;
    v.stopPosition = g_track.dwPointer;
    v.position = EngineBytePos(EngineNow());
    v.queuedMs = g_playState.queuedMs;
}

void Stop(void*) {
    Engine e = EngineNow();
    EngineStop(e, true);
    CloseTrackFile(e);
}

bool FadeOutStop(void*, int fadeMs) {
    Engine e = EngineNow();
    return StopWithFade(e, static_cast<uint32_t>(fadeMs));
}

void StopKeepingResume(void*) {
    Engine e = EngineNow();
    (void)StopAtOnce(e);
}

SeekResult SeekBy(void*, double seconds, uint32_t restartDelayMs, bool nextAtEnd) {
    Engine e = EngineNow();
    return Seek(e, seconds, restartDelayMs, nextAtEnd);
}

void ApplyVolumeOp(void*, bool clearMute) {
    Engine e = EngineNow();
    SetVolume(e, clearMute);
}

uint8_t SoftMute(void*) {
    return g_playState.softMute;
}
void SetSoftMute(void*, uint8_t value) {
    g_playState.softMute = value;
}
uint8_t FastPlay(void*) {
    return g_playState.fastPlayLevel;
}
void SetFastPlay(void*, uint8_t level) {
    g_playState.fastPlayLevel = level;
}

void RestartQueueOp(void*) {
    Engine e = EngineNow();
    RestartQueue(e);
}

void MarkManualSkip(void*) {
    g_playState.manualSkip = true;
}

void PendingAction(void*) {
    Engine e = EngineNow();
    RunPendingAction(e);
}

bool IntroScanNext(void*) {
    if (!IntroScanRunningWin()) return false;
    IntroScanNextWin();
    return true;
}

}  // namespace

PlaybackOps PlaybackOpsWin() {
    PlaybackOps p;
    p.view = View;
    p.stop = Stop;
    p.fadeOutStop = FadeOutStop;
    p.stopAtOnce = StopKeepingResume;
    p.seek = SeekBy;
    p.applyVolume = ApplyVolumeOp;
    p.softMute = SoftMute;
    p.setSoftMute = SetSoftMute;
    p.fastPlay = FastPlay;
    p.setFastPlay = SetFastPlay;
    p.restartQueue = RestartQueueOp;
    p.markManualSkip = MarkManualSkip;
    p.pendingAction = PendingAction;
    p.introScanNext = IntroScanNext;
    // Resetting Enhancer 2 comes with the sound-processing settings.
    return p;
}
