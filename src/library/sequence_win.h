// Track sequencing in the program: the sequencer over the File view, the folder tree, the
// playback engine and its deferred actions, connected to the dispatcher's sequencing hooks.
// Main thread only.
#pragma once
#include <windows.h>

#include <string>

struct CodePage;
struct Sequencer;
struct TrackList;

// Fills the sequencer's outside operations and connects the AppHooks sequencing slots, the
// engine's end-of-track notification and the deferred "play from the top". Called once after
// the engine and the library have started.
void SequenceStartWin(HWND mainWindow);

// The program's sequencer (for the glue of other parts).
Sequencer& SequencerWin();

// The File view's readers of list files (the ListHooks of its loads): an .m3u / .m3u8 file or
// a cue sheet read from disk into list. A file that cannot be read leaves the list empty.
void SequenceReadPlayListWin(void* ctx, TrackList& list, const std::wstring& path);
void SequenceReadCueSheetWin(void* ctx, TrackList& list, const std::wstring& path);

// The system's ANSI code page for list files and cue sheets.
CodePage SystemCodePageWin();
