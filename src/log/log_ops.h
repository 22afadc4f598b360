// What the track log offers the rest of the program: one table, filled by the log's glue
// (LogOpsWin) and stored by the start-up code. The subsystems below the log reach it through
// entries of their own host tables that the start-up code fills with calls of this table.
// Main thread only.
#pragma once
#include <cstdint>

// The track that has just started playing, as the engine opened it.
struct LogTrackInfo {
    const wchar_t* path = nullptr;
    const wchar_t* artist = nullptr;  // null when the tag is absent
    const wchar_t* album = nullptr;
    const wchar_t* title = nullptr;
    const wchar_t* track = nullptr;
    uint32_t startMs = 0;   // where playback begins, from the start of the audio
    uint32_t lengthMs = 0;  // the track's length
};

struct LogOps {
    void* ctx = nullptr;
    // A track starts playing: a new pending record, or the pending one continues.
    void (*trackStarted)(void* ctx, const LogTrackInfo& t) = nullptr;
    // The playing track is left at positionMs: its record is written when the rules say so.
    void (*trackLeft)(void* ctx, uint32_t positionMs) = nullptr;
};
