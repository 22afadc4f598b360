// Playback control: the volume and mute stage, stopping, stop with a resume position, seeking
// and the deferred actions that wait until the queued audio has been heard. Main thread only;
// the window side is reached through Engine::io.window and io.host.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"
#include "audio/playback_ops.h"
#include "base/window_timers.h"

// Deferred action codes (PlayState::pendingAction).
enum ActionCode : uint32_t {
    kActionNone = 0,
    kActionStopping = 1,  // only marks a stop in progress
    kActionStop = 2,
    kActionQuit = 3,
    kActionDelayedStart = 4,
    kActionPlayFromTop = 5,
    kActionRestart = 6,      // the selected track again, after a format change
    kActionRestartKeep = 7,  // the same, without stopping the plug-in
    kActionStopResume = 8,   // stop with resume position (after the stop fade)
};

// ---- volume ----

// The level before the power curve: `volume`, a quarter of it with soft mute, 0 when muted.
uint32_t VolumeLevel(uint32_t volume, uint8_t softMute);
// Software gain for level L (0..65535): round(65,535 × (L / 65,535)^1.8), at least 255.
uint16_t SoftwareGain(uint32_t level);
// waveOutSetVolume value: the curve in both channel halves.
uint32_t WaveOutVolume(uint32_t level);
// DirectSound volume in hundredths of a decibel, not below -10,000.
int32_t DsVolume(uint32_t level);
// Scales n samples by gain / 65,535 (unchanged at 65,535).
void ApplySoftwareVolume(int16_t* samples, uint32_t n, uint16_t gain);
// The device volume, or with software volume the gain of new blocks, rescaling everything
// already queued by the new gain / swGain.
void ApplyVolume(Engine& e);
// The volume command: with clearMute a mute that is on ends first. Nothing without an output.
void SetVolume(Engine& e, bool clearMute);

// ---- stopping ----

// Stops the output (unless the gapless drain keeps it: gapless on, the track delivered, not
// full, no URL stream) and the decoders, or the plug-in when stopPlugin is set.
void EngineStop(Engine& e, bool full, bool stopPlugin = true);

// The resume back-off of `ms` in the track's position units: bytes at avgBitrate / 8000 for
// MPEG files, ms for BASS and plug-in sources.
uint32_t BackoffUnits(const Engine& e, uint32_t ms);

// Stop/Resume's stop with "Fade on stop:": fades what is queued over fadeMs and schedules
// action 8 after the fade. False (nothing done) without an output or while an action pends.
bool StopWithFade(Engine& e, uint32_t fadeMs);
// Stop/Resume's stop without a fade: stops at once, closes the file and returns the resume
// position (the played position less the back-off; 0 at or past the audio end), which is also
// kept in PlayState::resumePos.
uint32_t StopAtOnce(Engine& e);

// Sets where the next start begins (PlayState::resumePos and the window side's copy).
void SetResumePosition(Engine& e, uint32_t pos);

// ---- deferred actions ----

// The timer delay of an action: delayMs, or for 0 with gapless the ring's filled part plus
// the output queue (codes 2 and 3 first cut the ring back to the track end), 100 ms without.
uint32_t ActionDelay(Engine& e, uint32_t code, uint32_t delayMs);
// Stores the code and starts timer 1810 with ActionDelay.
void ScheduleAction(Engine& e, uint32_t code, uint32_t delayMs);
// Timer 1810: stops, carries out the pending action once and clears it with trackEnded.
void RunPendingAction(Engine& e);

// ---- seeking ----

// The target of a seek by `seconds`: bytes for MPEG files (frames per second × avgFrameLen),
// ms otherwise; before dwAudioBeg (or below 0) it is dwAudioBeg. May lie past dwAudioEnd.
int64_t SeekTargetOf(const Engine& e, double seconds);
// Moves the track by `seconds`; with an open output it stops and restarts through timer 1809
// after restartDelayMs. `nextAtEnd`: the "Next track if Fast forward reaches end" option.
SeekResult Seek(Engine& e, double seconds, uint32_t restartDelayMs, bool nextAtEnd);

// Restarts the output queue at the position heard, so that a fast-play change is heard at once
// (MPEG files only; streams keep their queue).
void RestartQueue(Engine& e);
