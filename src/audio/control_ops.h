// What playback control needs of the window side: timers, the title and buttons, the list, the
// sequencer's restarts, the track log and the track-position memory. The glue fills it with the
// main window's calls; tests with recorders. A null function is a step that is skipped.
#pragma once
#include <cstdint>

struct ControlOps {
    void* ctx = nullptr;
    void (*setTimer)(void* ctx, unsigned id, unsigned ms) = nullptr;  // one-shot 1809 / 1810
    void (*killTimer)(void* ctx, unsigned id) = nullptr;
    void (*refreshTitle)(void* ctx) = nullptr;
    void (*muteCleared)(void* ctx) = nullptr;  // mute button and title flags follow
    void (*playButton)(void* ctx, bool pressed) = nullptr;
    void (*refreshList)(void* ctx) = nullptr;  // list and title, when the list option allows
    void (*nextTrack)(void* ctx) = nullptr;    // sends the next-track command
    void (*closeMainWindow)(void* ctx) = nullptr;
    // Plays the first track of the play list after `startDelayMs` (deferred action 5).
    void (*playFirstOfList)(void* ctx, unsigned startDelayMs) = nullptr;
    void (*replaySelected)(void* ctx) = nullptr;  // the selected track again (actions 6, 7)
    void (*logTrackLeave)(void* ctx, uint32_t playedMs) = nullptr;
    void (*rememberPosition)(void* ctx, uint32_t pos) = nullptr;  // when that option is on
    // Where the next start begins (the play starter's resume position), shown at once.
    void (*setResumePosition)(void* ctx, uint32_t pos) = nullptr;
    void (*stopRecording)(void* ctx) = nullptr;  // the open stream-recording window stops
    void (*stopPlugin)(void* ctx) = nullptr;     // the input plug-in stops
};
