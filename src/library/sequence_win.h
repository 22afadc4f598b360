// Track sequencing in the program: the sequencer over the File view, the Playlist view, the
// folder tree and the playback engine, the TrackOps through which the dispatcher reaches it,
// and the engine's end-of-track report. Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "audio/engine_io.h"
#include "library/library_ops.h"

struct CodePage;
struct Sequencer;
struct TrackList;

// The command flags the sequencer reads and uses up; they live with the dispatcher.
struct SequenceFlags {
    uint8_t* trackOneShot;  // 1 repeat only current track, 2 stop after it
    bool* quitAfterTrack;
    bool* quitAfterList;
};

// Fills the sequencer's operations. Called once after the engine and the library have started.
void SequenceStartWin(HWND mainWindow, const SequenceFlags& flags);

// Track sequencing for the rest of the program.
TrackOps TrackOpsWin();
// The engine's report of a track end (its host's trackEnded).
void SequenceTrackEndedWin(const TrackEndInfo& end);
// Deferred action 5: row 0 of the focused list after the pause before a start from the top.
void SequencePlayFromTopWin();
// The intro scan's starts: the selected row of the focused list, or the next row of the
// playing list, at `percent` of the track; false when nothing started.
bool SequencePlaySelectedAtWin(int percent);
bool SequencePlayNextAtWin(int percent);
// The upcoming texts again (the lists changed), then the title.
void SequenceRefreshUpcomingWin();

// The program's sequencer (for the glue of other parts).
Sequencer& SequencerWin();

// The File view's readers of list files (the ListHooks of its loads): an .m3u / .m3u8 file or
// a cue sheet read from disk into list. A file that cannot be read leaves the list empty.
void SequenceReadPlayListWin(void* ctx, TrackList& list, const std::wstring& path);
void SequenceReadCueSheetWin(void* ctx, TrackList& list, const std::wstring& path);
