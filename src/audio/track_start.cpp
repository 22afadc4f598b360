#include "audio/track_start.h"

#include "audio/bass_core.h"
#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/fast_play.h"
#include "audio/mpeg_scan.h"
#include "audio/output.h"
#include "audio/play_init.h"
#include "audio/ring.h"
#include "base/path.h"
#include "config/settings.h"

namespace {

// The track record keeps a pointer to its path: the path goes into the other of the two
// slots, so that the track still open keeps its own.
const wchar_t* KeepPath(PlayState& ps, const std::wstring& file) {
    ps.trackPathIndex ^= 1;
    ps.trackPath[ps.trackPathIndex] = file;
    return ps.trackPath[ps.trackPathIndex].c_str();
}

// A start inside the audio begins at the frame found from `pos` on.
void StartAtFrame(Engine& e, int64_t pos) {
    MpegInfo& m = e.track;
    if (pos <= 0 || pos >= m.dwAudioEnd) return;
    MpegInfo probe = m;
    const int64_t at = MpegFindSync(probe, e.in, static_cast<uint32_t>(pos));
    if (at >= 0 && at < m.dwAudioEnd) m.dwPointer = static_cast<uint32_t>(at);
}

int64_t Bytes(const MpegInfo& m, int64_t position, bool positionMs) {
    if (!positionMs || position <= 0) return position;
    const uint32_t ms = position > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(position);
    return int64_t{m.dwAudioBeg} + MpegBytesOfMs(m, ms);
}

// The track log hears of every start that plays, not of one that waits for a restart after a
// format change (the restart is told again).
void TellLogStart(Engine& e) {
    const EngineHost& h = e.io.host;
    const uint32_t action = e.ps.pendingAction;
    if (!h.logTrackStart || action == kActionRestart || action == kActionRestartKeep) return;
    const MpegInfo& m = e.track;
    const uint32_t start = m.dwPointer > m.dwAudioBeg ? MpegLengthMs(m, m.dwPointer - m.dwAudioBeg) : 0;
    h.logTrackStart(h.ctx, m, start);
}

// The input plug-in that plays `file`, -1 when none does (or it is a stream).
int PluginFor(Engine& e, const std::wstring& file) {
    if (!e.io.plugin.find || IsUrl(file)) return -1;
    return e.io.plugin.find(e.io.plugin.ctx, file.c_str());
}

// Whether BASS plays `file` (it is loaded and the decoder choice sends the file there).
bool BassFor(Engine& e, const std::wstring& file) {
    return e.io.bass.takes && e.io.bass.takes(e.io.bass.ctx, file.c_str());
}

int InitOpenTrack(Engine& e) {
    const uint32_t bits = e.ps.mode24 ? 24 : 16;
    // A BASS channel of more than two channels keeps them all with the 5.1 option.
    uint32_t channels = TrackChannels(e.track);
    if (e.ps.bassActive && e.track.channels > 2)
        channels = OutputChannels(e.track.channels, e.s.wave_flags);
    const int r = PlayInit(e, e.track.header.sampleRate, channels, bits);
    if (r == 0) TellLogStart(e);
    return r;
}

// Opens `file` through BASS from `startMs` and runs play init with its format.
bool StartBass(Engine& e, const std::wstring& file, uint32_t startMs) {
    ResetTrack(e);
    PlayState& ps = e.ps;
    ps.urlStream = IsUrl(file);
    // A file's ID3 tags come first; BASS's own tag lists only fill a record they left empty.
    if (!ps.urlStream) (void)ReadFileId3(e, file.c_str());
    if (!e.io.bass.open(e.io.bass.ctx, e, KeepPath(ps, file))) {
        ps.urlStream = false;
        return false;
    }
    ps.bassActive = true;
    if (startMs > 0 && startMs < e.track.dwAudioEnd && !ps.urlStream) {
        e.track.dwPointer = startMs;
        if (e.io.bass.seek) e.io.bass.seek(e.io.bass.ctx, e);
    }
    const int r = InitOpenTrack(e);
    if (r != 0 && e.io.bass.close) e.io.bass.close(e.io.bass.ctx, e);
    return r == 0;
}

// The next track on the output that still plays the ring out: the decoders of the ended track
// close, the new one opens and play init keeps the output when the format allows, so that the
// ring joins the two. Another format is restarted by the engine once the queue has been heard
// (deferred action 6).
bool ContinueOnOutput(Engine& e, const TrackStart& r) {
    PlayState& ps = e.ps;
    // A manual skip keeps the output in every mode (its queue is fading); a track end keeps it
    // only for the ring to play out.
    if (ps.manualSkip)
        CloseDecoders(e);
    else
        EngineStop(e, false);
    if (PluginFor(e, r.file) >= 0 || BassFor(e, r.file)) {
        // A plug-in or a BASS channel is started anew once the queue has been heard
        // (deferred action 6 plays the sequencer's new track). The record stays the old
        // track's while its end is heard.
        RingRewindToTrackEnd(ps);
        ScheduleAction(e, kActionRestart, 0);
        ps.trackEnded = true;
        return true;
    }
    if (!OpenTrack(e, KeepPath(ps, r.file))) return false;
    StartAtFrame(e, Bytes(e.track, r.position, r.positionMs));
    if (InitOpenTrack(e) == 0) return true;
    CloseTrackFile(e);
    // The ring still holds the ended track: it plays out, and the end of playback follows.
    if (OutputOpen(ps)) ps.trackEnded = true;
    return false;
}

// A change the user asked for while a track sounds, with "Fade on skip:": the queued audio
// fades out. A file track then ends at once and the new one starts on the open output. A
// stream or plug-in source is left to the caller, who starts the file once the fade is heard.
StartOutcome SkipWithFade(Engine& e, const TrackStart& r, uint32_t* fadeMs) {
    PlayState& ps = e.ps;
    const uint32_t faded = FadeQueuedAudio(e, r.fadeMs);
    if (ps.urlStream || ps.pluginActive) {
        *fadeMs = faded > 0 ? faded : 1;
        return StartOutcome::AfterFade;
    }
    ps.trackEnded = true;
    FastPlayClearTail(ps);
    ps.manualSkip = true;
    const bool ok = ContinueOnOutput(e, r);
    ps.manualSkip = false;
    // Not opened on this output: what still sounds plays out, and the end of playback follows.
    return ok ? StartOutcome::Started : StartOutcome::Failed;
}

}  // namespace

bool EngineStartFile(Engine& e, const std::wstring& file, int64_t position, bool positionMs) {
    PlayState& ps = e.ps;
    if (OutputOpen(ps) || ps.inputChunk || ps.pluginActive) EngineStop(e, true);
    // "Always 24 bit output" is taken at each start that opens the output: the decoders (BASS's
    // float channels, the plug-ins' resolution) and the device format follow the setting as it
    // is now, so that a change on the settings page is heard from the next start.
    if (!OutputOpen(ps)) ps.mode24 = (e.s.wave_flags & WaveFlag::Output24Bit) != 0;
    const int plugin = PluginFor(e, file);
    if (plugin >= 0) {
        // Routed before the built-in decoders; plug-ins count positions in ms.
        ResetTrack(e);
        const uint32_t startMs = position > 0 && position < 0xFFFFFFFF ? uint32_t(position) : 0;
        ps.startPercent = -1;
        return e.io.plugin.play(e.io.plugin.ctx, e, plugin, KeepPath(ps, file), startMs) == 0;
    }
    if (BassFor(e, file)) {
        const uint32_t startMs = position > 0 && position < 0xFFFFFFFF ? uint32_t(position) : 0;
        ps.startPercent = -1;
        return StartBass(e, file, startMs);
    }
    if (!OpenTrack(e, KeepPath(ps, file))) return false;
    MpegInfo& m = e.track;
    int64_t pos = Bytes(m, position, positionMs);
    if (ps.startPercent >= 0 && m.dwAudioEnd > m.dwAudioBeg) {
        // A start at a share of the track (the intro scan).
        const uint64_t span = m.dwAudioEnd - m.dwAudioBeg;
        pos = m.dwAudioBeg +
              static_cast<int64_t>(span * static_cast<uint64_t>(ps.startPercent) / 100);
        ps.startPercent = -1;
    }
    StartAtFrame(e, pos);
    const int r = InitOpenTrack(e);
    if (r != 0) CloseTrackFile(e);
    return r == 0;
}

StartOutcome EngineStartTrack(Engine& e, const TrackStart& r, uint32_t* fadeMs) {
    PlayState& ps = e.ps;
    *fadeMs = 0;
    if (OutputOpen(ps) && ps.trackEnded && r.fadeMs == 0)
        return ContinueOnOutput(e, r) ? StartOutcome::Started : StartOutcome::Failed;
    if (r.fadeMs > 0 && OutputOpen(ps) && ps.pendingAction == kActionNone)
        return SkipWithFade(e, r, fadeMs);
    return EngineStartFile(e, r.file, r.position, r.positionMs) ? StartOutcome::Started
                                                                : StartOutcome::Failed;
}

int64_t StartPositionBytes(Engine& e, const TrackStart& r) {
    if (!r.positionMs || r.position <= 0) return r.position;
    if (!e.io.file.open) return 0;
    MpegInfo info;
    ByteReader in{};
    if (!e.io.file.open(e.io.file.ctx, info, r.file.c_str(), in)) return 0;
    const int64_t pos = MpegScan(info, in) ? Bytes(info, r.position, true) : 0;
    if (e.io.file.close) e.io.file.close(e.io.file.ctx, info);
    return pos;
}

void EngineTrackEnd(Engine& e) {
    PlayState& ps = e.ps;
    TrackEndInfo end;
    // With the gapless ring the decoder's end comes while the output still plays the ring out:
    // the output is left to play (the next track may start on it, joined by the ring), and the
    // end of playback calls again.
    end.ringPlaysOut = OutputOpen(ps) && ps.trackEnded;
    end.lengthMs = e.track.lengthMs > 0 ? e.track.lengthMs : ps.playedLengthMs;
    if (!end.ringPlaysOut) {
        EngineStop(e, true);
        CloseTrackFile(e);
        ps.trackEnded = false;
    }
    end.actionDecides = ps.pendingAction > kActionStopping;
    if (e.io.host.trackEnded) e.io.host.trackEnded(e.io.host.ctx, end);
}
