#include "audio/play_init.h"

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/mpeg_scan.h"
#include "audio/out_format.h"
#include "audio/output.h"
#include "audio/ring.h"
#include "config/settings.h"

namespace {

void ErrorBox(Engine& e, const char* caption, const char* text) {
    if (e.io.window.messageBox) e.io.window.messageBox(e.io.window.ctx, caption, text);
}

// Step 2: a fresh input for the track.
void ResetInput(Engine& e, uint32_t rate, uint32_t channels) {
    PlayState& ps = e.ps;
    ps.fileBufFilled = ps.fileBufPos = 0;
    ps.inputChunk = 0;
    ps.srcRate = rate;
    ps.srcChannels = channels;
    ps.pendingAction = 0;
    ps.trimThreshold = 0;
    ps.ovTrackEndMark = 0;
    ps.noOverlapThisEnd = false;
    ps.trackEnded = false;
    MpegInfo& m = e.track;
    // A plug-in counts in ms: its end is its length.
    m.lengthMs = ps.pluginActive || ps.bassActive ? m.dwAudioEnd
                                                  : MpegLengthMs(m, m.dwAudioEnd - m.dwAudioBeg);
}

// Step 6: the decoder. 0, -1 (ACM cannot take the stream) or -2 after a message box.
int OpenDecoder(Engine& e, uint32_t rate, uint32_t channels) {
    PlayState& ps = e.ps;
    if (ps.bassActive) return 0;  // BASS sets its stream up itself
    if (e.s.use_mpglib == 0) {
        if (ps.pluginActive) return 0;
        const uint32_t outBytes = ps.waveOutBufSize ? ps.waveOutBufSize : 32768;
        switch (AcmOpen(e, rate, channels, outBytes)) {
            case 0:
                return 0;
            case 1:
                return -1;
            case 3:
                ErrorBox(e, "ACM open failed", "acmStreamSize");
                break;
            default:
                ErrorBox(e, "ACM open failed", kMpglibInstallNote);
                break;
        }
    } else if (!MpglibLoad(e)) {
        ErrorBox(e, "mpglib open failed", kMpglibInstallNote);
    } else if (ps.mpglibInit(ps.mpglibState.data()) == 0) {
        ErrorBox(e, "Play init error", "mpglib: InitMP3");
    } else {
        ps.inputChunk = kMinInputChunk;
        return 0;
    }
    CloseDecoders(e);
    return -2;
}

}  // namespace

uint32_t TrackChannels(const MpegInfo& info) {
    return info.header.channelMode == 4 ? 1 : 2;
}

int PlayInit(Engine& e, uint32_t rate, uint32_t channels, uint32_t bits) {
    PlayState& ps = e.ps;
    const Settings& s = e.s;
    const bool overlap = GaplessOn(s) && (s.gapless & GaplessFlag::Overlap);
    // 1. An open output is kept when the format allows (gapless continuation); otherwise the
    //    track is restarted once the queue has been heard.
    if (OutputOpen(ps)) {
        const bool fits = (overlap && ps.forcedRate != 0) ||
                          (rate == ps.outRate && channels == ps.outChannels && !ps.urlStream);
        if (!fits) {
            uint32_t delay = 0;
            if (ps.manualSkip) {
                delay = StopFadeMs(s.fadeout);
                if (delay == 0) delay = 10;
            } else {
                RingRewindToTrackEnd(ps);  // the wait is what is still queued up to the end
            }
            ScheduleAction(e, kActionRestart, delay);
            ps.trackEnded = true;
            return 0;
        }
    }
    // 2. The input.
    ResetInput(e, rate, channels);
    const uint32_t srcRate = rate, srcChannels = channels;
    // 3. The output format, when no output is open: the ring (gapless play), whose forced
    //    format replaces the track's. Without the ring blocks are decoded straight into the
    //    device buffers.
    if (!OutputOpen(ps)) {
        ps.mode24 = bits == 24;
        if (GaplessOn(s) && (bits == 16 || ps.mode24) && !ps.urlStream)
            RingAllocate(e, rate, channels);
        else
            RingFree(ps);
        if (e.io.dsp.applySettings) {
            e.io.dsp.applySettings(e.io.dsp.ctx, 1, true, rate, static_cast<int>(channels));
            e.io.dsp.applySettings(e.io.dsp.ctx, 2, true, rate, static_cast<int>(channels));
        }
        ps.outRate = rate;
        ps.outChannels = channels;
        ps.outBits = bits;
        SizeOutputBuffers(e);
        ps.playedBytePos = e.track.dwPointer;
        ps.playedMs = ps.pluginActive || ps.bassActive ? e.track.dwPointer
                                      : MpegLengthMs(e.track, e.track.dwPointer - e.track.dwAudioBeg);
        ps.playedLengthMs = e.track.lengthMs;
        const uint32_t fade = static_cast<uint32_t>(s.fadeout);
        if (e.track.dwPointer > e.track.dwAudioBeg && (fade & FadeFlag::OnStop) &&
            (fade & FadeFlag::FadeInOnResume))
            ps.fadeInPending = true;
    }
    // 4. The low-pass for resampling up to a forced rate (5: the wave format is built where a
    //    device or codec is opened).
    RingPrepareTrack(ps, srcRate);
    // 6. The decoder, for the track's own format.
    const int dec = OpenDecoder(e, srcRate, srcChannels);
    if (dec != 0) return dec;
    // 7. The output. A manual skip on the open output starts the new track right after the
    //    (fading) queue: mixed into it with overlap mixing, else in place of what the ring
    //    still held of the old track.
    if (OutputOpen(ps)) {
        const bool skip = ps.manualSkip && RingActive(ps);
        ps.manualSkip = false;
        if (skip && overlap) {
            RingMixIntoQueue(e);
        } else if (skip) {
            ps.ovWritePosSamp = ps.ovReadPosSamp;
            ps.ovTrackEndSamp = -1;
        }
        return 0;
    }
    ps.manualSkip = false;
    if (OpenOutput(e) != 0) {
        CloseDecoders(e);
        return -2;
    }
    return 0;
}

int DecoderInitForExport(Engine& e, uint32_t rate, uint32_t channels) {
    ResetInput(e, rate, channels);
    return OpenDecoder(e, rate, channels);
}
