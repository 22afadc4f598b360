#include "audio/intro_scan.h"

#include <algorithm>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/output.h"
#include "audio/ring.h"
#include "base/window_pos.h"
#include "config/settings.h"
#include "config/settings_bits.h"

namespace {

bool SkipFadeOn(const Settings& s) {
    return (static_cast<uint32_t>(s.fadeout) & FadeFlag::OnSkip) != 0;
}

// Fades what is queued over the skip-fade time and waits until it has been heard.
void FadeAndWait(Engine& e, const IntroScanOps& ops) {
    const uint32_t ms = FadeQueuedAudio(e, SkipFadeMs(e.s.fadeout));
    if (ops.wait) ops.wait(ops.ctx, ms);
}

void StopPlay(Engine& e) {
    EngineStop(e, true, true);
    CloseTrackFile(e);
}

void StartTimer(IntroScan& st, const IntroScanOps& ops) {
    if (ops.startTimer) ops.startTimer(ops.ctx);
    st.running = true;
}

void StopTimer(IntroScan& st, const IntroScanOps& ops) {
    if (ops.stopTimer) ops.stopTimer(ops.ctx);
    st.running = false;
}

// One intro is over: fade when both fades are on, stop, and start the next row.
void MoveOn(IntroScan& st, Engine& e, const IntroScanOps& ops) {
    StopTimer(st, ops);
    st.counter = 0;
    const uint32_t both = FadeFlag::OnStop | FadeFlag::OnSkip;
    if ((static_cast<uint32_t>(e.s.fadeout) & both) == both && OutputOpen(e.ps) &&
        e.ps.pendingAction == kActionNone)
        FadeAndWait(e, ops);
    StopPlay(e);
    e.ps.pendingAction = kActionNone;
    SetResumePosition(e, 0);
    if (ops.dropWaveMessages) ops.dropWaveMessages(ops.ctx);
    if (ops.startNext && ops.startNext(ops.ctx, IntroStartPercent(e.s))) {
        StartTimer(st, ops);
        return;
    }
    if (ops.enableStart) ops.enableStart(ops.ctx, true);  // the end of the list: the scan stops
}

}  // namespace

int IntroLength(const Settings& s) {
    return std::clamp(s.intro_scan & 0xFF, 2, 120);
}

int IntroStartPercent(const Settings& s) {
    return std::clamp(s.intro_scan >> 8 & 0xFF, 0, 98);
}

void SetIntroLength(Settings& s, int halfSeconds) {
    const int v = std::clamp(halfSeconds, 2, 120);
    s.intro_scan = static_cast<uint16_t>((s.intro_scan & 0xFF00) | v);
}

void SetIntroStartPercent(Settings& s, int percent) {
    const int v = std::clamp(percent, 0, 98);
    s.intro_scan = static_cast<uint16_t>((s.intro_scan & 0x00FF) | v << 8);
}

void IntroScanStart(IntroScan& st, Engine& e, const IntroScanOps& ops) {
    if (ops.enableStart) ops.enableStart(ops.ctx, false);
    if (!OutputOpen(e.ps)) {
        if (ops.startSelected) ops.startSelected(ops.ctx, IntroStartPercent(e.s));
        st.counter = 0;
    } else {
        st.counter = kIntroScanMoveOn;
    }
    StartTimer(st, ops);
}

void IntroScanTick(IntroScan& st, Engine& e, const IntroScanOps& ops) {
    ++st.counter;
    if (ops.progress) ops.progress(ops.ctx, std::min(st.counter, IntroLength(e.s)));
    if (st.counter >= IntroLength(e.s)) MoveOn(st, e, ops);
}

void IntroScanNext(IntroScan& st) {
    st.counter = kIntroScanMoveOn;
}

void IntroScanStop(IntroScan& st, Engine& e, const IntroScanOps& ops) {
    StopTimer(st, ops);
    if (ops.enableStart) ops.enableStart(ops.ctx, true);
    SetResumePosition(e, e.ps.playedBytePos);
    if (SkipFadeOn(e.s) && OutputOpen(e.ps) && e.ps.pendingAction == kActionNone)
        FadeAndWait(e, ops);
    StopPlay(e);
}

int32_t IntroScanClose(IntroScan& st, const IntroScanOps& ops, int x, int y, int32_t saved) {
    StopTimer(st, ops);
    return x > 0 && y > 0 ? PackWindowPos(x, y) : saved;
}
