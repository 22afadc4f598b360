#include "audio/control.h"

#include <algorithm>
#include <cmath>

#include "audio/decoder.h"
#include "audio/mpeg_scan.h"
#include "audio/output.h"
#include "audio/ring.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "tags/id3.h"

namespace {

const EngineHost& Host(const Engine& e) {
    return e.io.host;
}
const EngineWindow& Win(const Engine& e) {
    return e.io.window;
}

bool SoftwareVolumeOn(const Engine& e) {
    return (e.s.wave_flags & WaveFlag::InternalVolume) && !e.ps.mode24;
}

// MPEG files count positions in bytes; BASS and plug-in sources in ms.
bool MpegSource(const Engine& e) {
    return !e.ps.bassActive && !e.ps.pluginActive;
}

uint32_t ResumeBackoffMs(const Settings& s) {
    return static_cast<uint32_t>(s.skip_times) >> 16;
}

void SetTimer(const Engine& e, unsigned id, unsigned ms) {
    if (Win(e).setTimer) Win(e).setTimer(Win(e).ctx, id, ms);
}

// The current track restarts at another position: the sound processing keeps its gains.
void KeepDspState(const Engine& e) {
    if (e.io.dsp.keepStateOnce) e.io.dsp.keepStateOnce(e.io.dsp.ctx);
}

void RefreshTitle(const Engine& e) {
    if (Host(e).refreshDisplay) Host(e).refreshDisplay(Host(e).ctx);
}

// Scales 16-bit PCM already queued from gain `from` to gain `to`.
void RescaleQueued(uint8_t* data, uint32_t bytes, uint16_t to, uint16_t from) {
    if (!data || to == from) return;
    auto* s = reinterpret_cast<int16_t*>(data);
    const int32_t div = std::max<int32_t>(from, 1);
    for (uint32_t i = 0; i < bytes / 2; ++i)
        s[i] = static_cast<int16_t>(std::clamp<int32_t>(s[i] * int32_t{to} / div, -32768, 32767));
}

void ResetTrackRecord(Engine& e) {
    if (e.track.hFile) CloseTrackFile(e);
    Id3FreeTags(e.track, nullptr);
    e.track = MpegInfo{};
}

// Action 8: the resume position lies the stop fade's share and the back-off before what was
// heard, so that the resumed audio overlaps what faded out.
void StopWithResumePosition(Engine& e) {
    PlayState& ps = e.ps;
    MpegInfo& m = e.track;
    const uint32_t back = BackoffUnits(e, StopFadeMs(e.s.fadeout) * 8 / 10 + ResumeBackoffMs(e.s));
    if (ps.urlStream)
        m.dwPointer = 0;
    else
        m.dwPointer = back < ps.playedBytePos ? ps.playedBytePos - back : ps.playedBytePos;
    SetResumePosition(e, m.dwPointer);
    if (Host(e).rememberPosition) Host(e).rememberPosition(Host(e).ctx, m.dwPointer);
    if (Host(e).logTrackLeave) Host(e).logTrackLeave(Host(e).ctx, ps.playedMs);
}

}  // namespace

// ---- volume ----

uint32_t VolumeLevel(uint32_t volume, uint8_t softMute) {
    if (softMute == 1) return 0;
    return softMute == 2 ? volume / 4 : volume;
}

uint16_t SoftwareGain(uint32_t level) {
    const double g = std::round(65535.0 * std::pow(std::min(level, 65535u) / 65535.0, 1.8));
    return static_cast<uint16_t>(std::max(g, 255.0));
}

uint32_t WaveOutVolume(uint32_t level) {
    const double curve = std::pow(std::min(level, 65535u) / 65535.0, 1.8);
    const uint32_t v = static_cast<uint32_t>(std::lround(65535.0 * curve));
    return v | v << 16;
}

int32_t DsVolume(uint32_t level) {
    const double db = std::round(2000.0 * std::log10(std::pow(level / 65536.0 + 0.0001, 1.8)));
    return static_cast<int32_t>(std::max(db, -10000.0));
}

void ApplySoftwareVolume(int16_t* samples, uint32_t n, uint16_t gain) {
    if (gain == 65535) return;
    for (uint32_t i = 0; i < n; ++i)
        samples[i] = static_cast<int16_t>(samples[i] * int32_t{gain} / 65535);
}

void ApplyVolume(Engine& e) {
    PlayState& ps = e.ps;
    const uint32_t level = VolumeLevel(e.s.volume, ps.softMute);
    if (SoftwareVolumeOn(e)) {
        // What is queued already is rescaled, so that the change is heard at once.
        const uint16_t g = SoftwareGain(level);
        for (OutBuffer& b : ps.buffers) RescaleQueued(b.data.data(), b.bytes, g, ps.swGain);
        DsRegion r;
        if (ps.dsBuffer && e.io.ds.lock && e.io.ds.lock(e.io.ds.ctx, ps, 0, ps.dsBufferBytes, r)) {
            RescaleQueued(r.p1, r.n1, g, ps.swGain);
            RescaleQueued(r.p2, r.n2, g, ps.swGain);
            if (e.io.ds.unlock) e.io.ds.unlock(e.io.ds.ctx, ps, r);
        }
        ps.swGain = g;
        return;
    }
    if (ps.hWaveOut && e.io.waveOut.setVolume)
        e.io.waveOut.setVolume(e.io.waveOut.ctx, ps.hWaveOut, WaveOutVolume(level));
    if (ps.dsBuffer && e.io.ds.setVolume) e.io.ds.setVolume(e.io.ds.ctx, ps, DsVolume(level));
}

void SetVolume(Engine& e, bool clearMute) {
    if (clearMute && e.ps.softMute != 0) {
        e.ps.softMute = 0;
        if (Host(e).muteCleared) Host(e).muteCleared(Host(e).ctx);
    }
    if (!OutputOpen(e.ps)) return;
    ApplyVolume(e);
}

// ---- stopping ----

void EngineStop(Engine& e, bool full, bool stopPlugin) {
    PlayState& ps = e.ps;
    if (Host(e).stopRecording) Host(e).stopRecording(Host(e).ctx);
    const bool drains = GaplessOn(e.s) && ps.trackEnded && !full && !ps.urlStream;
    if (!drains) {
        if (ps.pendingAction == kActionNone) ps.pendingAction = kActionStopping;
        if (e.track.lengthMs != ps.playedLengthMs) e.track.dwPointer = ps.playedBytePos = 0;
        CloseOutput(e);
        if (Host(e).showPlayButton) Host(e).showPlayButton(Host(e).ctx, OutputOpen(ps));
    }
    if (ps.pluginActive) {
        if (stopPlugin && e.io.plugin.stop) e.io.plugin.stop(e.io.plugin.ctx);
        if (stopPlugin && Host(e).stopPlugin) Host(e).stopPlugin(Host(e).ctx);
    } else {
        CloseDecoders(e);
    }
    if (ps.bassActive && e.io.bass.close) e.io.bass.close(e.io.bass.ctx, e);
}

uint32_t BackoffUnits(const Engine& e, uint32_t ms) {
    if (!MpegSource(e)) return ms;
    return MpegBytesOfMs(e.track, ms);
}

bool StopWithFade(Engine& e, uint32_t fadeMs) {
    if (!OutputOpen(e.ps) || e.ps.pendingAction != kActionNone) return false;
    const uint32_t faded = FadeQueuedAudio(e, fadeMs);
    ScheduleAction(e, kActionStopResume, faded + 1);
    return true;
}

uint32_t StopAtOnce(Engine& e) {
    PlayState& ps = e.ps;
    const uint32_t back = BackoffUnits(e, ResumeBackoffMs(e.s));
    uint32_t pos = back < ps.playedBytePos ? ps.playedBytePos - back : ps.playedBytePos;
    const uint32_t end = e.track.dwAudioEnd;
    EngineStop(e, true);
    CloseTrackFile(e);
    if (pos >= end) pos = 0;
    e.track.dwPointer = pos;  // a resume of the stopped track starts here too
    SetResumePosition(e, pos);
    return pos;
}

void SetResumePosition(Engine& e, uint32_t pos) {
    e.ps.resumePos = pos;
    if (Host(e).setResumePosition) Host(e).setResumePosition(Host(e).ctx, pos);
}

// ---- deferred actions ----

uint32_t ActionDelay(Engine& e, uint32_t code, uint32_t delayMs) {
    if (delayMs != 0) return delayMs;
    if (!GaplessOn(e.s)) return 100;
    if (code == kActionStop || code == kActionQuit) RingRewindToTrackEnd(e.ps);
    return RingFillMs(e.ps) + e.ps.queuedMs;
}

void ScheduleAction(Engine& e, uint32_t code, uint32_t delayMs) {
    const uint32_t delay = ActionDelay(e, code, delayMs);
    e.ps.pendingAction = code;
    SetTimer(e, kTimerEngineAction, delay);
}

void RunPendingAction(Engine& e) {
    PlayState& ps = e.ps;
    const uint32_t code = ps.pendingAction;
    if (code == kActionRestartKeep) {
        EngineStop(e, true, false);
    } else {
        EngineStop(e, true, true);
        CloseTrackFile(e);
    }
    const EngineHost& host = Host(e);
    switch (code) {
        case kActionStop:
            ResetTrackRecord(e);
            ps.trackEnded = false;
            RefreshTitle(e);
            if (host.refreshList) host.refreshList(host.ctx);
            break;
        case kActionQuit:
            e.track.dwPointer = 0;
            if (Win(e).closeMainWindow) Win(e).closeMainWindow(Win(e).ctx);
            break;
        case kActionDelayedStart:
            SetTimer(e, kTimerDelayedStart, 0);
            break;
        case kActionPlayFromTop:
            ResetTrackRecord(e);
            if (host.playFirstOfList) host.playFirstOfList(host.ctx, 1000);
            break;
        case kActionRestart:
        case kActionRestartKeep:
            if (host.replaySelected) host.replaySelected(host.ctx);
            break;
        case kActionStopResume:
            StopWithResumePosition(e);
            break;
        default:
            break;
    }
    ps.trackEnded = false;
    ps.pendingAction = kActionNone;
}

// ---- seeking ----

int64_t SeekTargetOf(const Engine& e, double seconds) {
    const MpegInfo& m = e.track;
    double delta;
    if (MpegSource(e)) {
        double framesPerSecond = m.header.sampleRate / 1152.0;
        if (m.header.versionCode == 2 || m.header.versionCode == 3) framesPerSecond *= 2;
        delta = framesPerSecond * m.avgFrameLen * seconds;
    } else {
        delta = seconds * 1000.0;
    }
    int64_t target = int64_t{e.ps.playedBytePos} + static_cast<int64_t>(delta);
    if (target < int64_t{m.dwAudioBeg}) target = m.dwAudioBeg;
    return target;
}

SeekResult Seek(Engine& e, double seconds, uint32_t restartDelayMs, bool nextAtEnd) {
    MpegInfo& m = e.track;
    if (m.dwAudioEnd <= 1) return SeekResult::NotLoaded;
    const int64_t target = SeekTargetOf(e, seconds);
    if (target > int64_t{m.dwAudioEnd}) {
        // Past the end: not played; with the option the next track starts instead, when the
        // track heard is still the loaded one.
        if (nextAtEnd && e.ps.playedLengthMs == m.lengthMs && Win(e).postNextTrack) {
            Win(e).postNextTrack(Win(e).ctx);
            return SeekResult::NextTrack;
        }
        return SeekResult::PastEnd;
    }
    m.dwPointer = static_cast<uint32_t>(target);
    SeekResult result = SeekResult::Moved;
    if (OutputOpen(e.ps)) {
        EngineStop(e, true, true);
        CloseTrackFile(e);
        if (Win(e).killTimer) Win(e).killTimer(Win(e).ctx, kTimerDelayedStart);
        e.ps.fileBufFilled = e.ps.fileBufPos = 0;  // the input restarts at the new position
        SetResumePosition(e, m.dwPointer);
        KeepDspState(e);
        if (Host(e).showPlayButton) Host(e).showPlayButton(Host(e).ctx, true);
        SetTimer(e, kTimerDelayedStart, restartDelayMs);
        result = SeekResult::Restarted;
    }
    RefreshTitle(e);
    return result;
}

void RestartQueue(Engine& e) {
    if (!OutputOpen(e.ps) || !MpegSource(e) || e.ps.urlStream) return;
    const uint32_t pos = e.ps.playedBytePos;
    EngineStop(e, true, true);
    CloseTrackFile(e);
    SetResumePosition(e, pos);
    KeepDspState(e);
    SetTimer(e, kTimerDelayedStart, 0);
}
