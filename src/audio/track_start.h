// Starting tracks on the engine and reporting their end: a fresh start (stopping what plays),
// the sequencer's next track (joined on the open output while the ring still plays the ended
// one out, or after a skip fade), and the end of a track as the engine sees it. Main thread
// only.
#pragma once
#include <cstdint>
#include <string>

#include "audio/engine_io.h"

// One start the sequencer asks for.
struct TrackStart {
    std::wstring file;
    int64_t position = 0;     // where to start; 0 the beginning
    bool positionMs = false;  // position in ms (a cue row's start), else file bytes
    uint32_t fadeMs = 0;      // a change the user ordered: the running track fades out first
};

enum class StartOutcome : uint8_t {
    Failed,     // the file could not be opened or initialised
    Started,    // playing (or joined to the open output)
    AfterFade,  // a stream or plug-in source fades first: start the file after `fadeMs`
};

// Stops whatever plays and starts `file`: at the intro scan's share of the track when one is
// set, else at `position` (bytes, or ms with positionMs), moved to the frame found there.
bool EngineStartFile(Engine& e, const std::wstring& file, int64_t position,
                     bool positionMs = false);

// The sequencer's start of a track. While the ring plays an ended track out (and no fade is
// asked) the new track opens on the output, which keeps playing when the format allows; a
// change with fadeMs fades what is queued and, for a file source, ends the track at once and
// continues the same way (mixed into the fading queue with overlap mixing); anything else is
// a fresh start. With AfterFade, *fadeMs is the time to wait.
StartOutcome EngineStartTrack(Engine& e, const TrackStart& r, uint32_t* fadeMs);

// The file position where `r` starts: its position, or for ms the bytes of that many ms after
// the file's audio start at its average bit rate (the file is scanned for that). 0 when the
// file cannot be scanned.
int64_t StartPositionBytes(Engine& e, const TrackStart& r);

// The end of the played track (the ring's fill step found the decoder done, or playback
// ended): with the ring still playing out the output stays open, otherwise playback stops and
// the file closes. Then the host hears of it (EngineHost::trackEnded).
void EngineTrackEnd(Engine& e);
