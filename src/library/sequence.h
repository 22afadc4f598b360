// Track sequencing: starting a row, next and previous, what happens when a track ends, the
// folder search over the tree, the list edits Skip / Next / Move, the upcoming-track texts
// and the positions remembered in ten folders. Everything outside the lists and the tree (the
// engine, its deferred actions, timers, the track log, the title, the message queue) is
// reached through SequencerOps, which the glue fills and the tests fake.
// Main thread only: commands, the engine's end notification and the timers all arrive as
// window messages.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "library/cue.h"
#include "library/folder_tree.h"
#include "library/track_list.h"

// What the sequencer asks the engine to do once the queued audio has been heard; the values
// are the engine's deferred-action codes.
enum class EndAction : uint32_t { Stop = 2, Quit = 3, PlayFromTop = 5 };

// One start of a track on the engine.
struct StartRequest {
    std::wstring file;
    int64_t position = 0;     // where to start; 0 is the beginning
    bool positionMs = false;  // position is in ms (a cue row's start), else the engine's unit
    int fadeMs = 0;           // manual change: fade the running track out over this long first
    bool overlap = false;     // ... mixed with the start of the new track
};

struct SequencerOps {
    bool (*isPlaying)(void* ctx);    // a track is running
    int64_t (*position)(void* ctx);  // its position in the engine's unit
    // Opens and starts a track; false when the file cannot be opened or decoded.
    bool (*startTrack)(void* ctx, const StartRequest& request);
    // The same start after delayMs (timer 1809); its outcome comes back through SeqStartResult.
    void (*delayedStart)(void* ctx, const StartRequest& request, uint32_t delayMs);
    void (*stopPlayback)(void* ctx);
    void (*endAction)(void* ctx, EndAction action);  // deferred until the output has drained
    void (*logTrack)(void* ctx);                     // the track log entry of the track left
    bool (*introScanRunning)(void* ctx);
    void (*introScanTrackEnd)(void* ctx);
    // True when a key press or a left click waits in the input queue (it is removed).
    bool (*inputWaiting)(void* ctx);
    // The tree selected path: the File view lists it (the tree's selection change).
    void (*showFolder)(void* ctx, const std::wstring& path);
    void (*upcomingChanged)(void* ctx);               // title and web texts follow
    void (*listChanged)(void* ctx, TrackList& list);  // rows removed or moved: status line
    void* ctx;
};

constexpr int kMaxAutoSkips = 10;         // failed starts skipped in a row before giving up
constexpr uint16_t kFromTopDelay = 1000;  // ms of pause before PlayFromTop starts
constexpr size_t kUpcomingChars = 100;

struct Sequencer {
    Settings* s = nullptr;
    FolderTree* tree = nullptr;
    TreeEnv treeEnv{};
    const std::string* playable = nullptr;  // playableExtensions
    CueState* cue = nullptr;                // followed cue sheet; may be null

    TrackList* fileView = nullptr;
    TrackList* playlistView = nullptr;  // null while the pane has never been created
    TrackList* insertView = nullptr;
    TrackList* focusedList = nullptr;
    TrackList* playingList = nullptr;

    // The command flags live with the dispatcher; these point at them (null: own storage).
    uint8_t* trackOneShot = nullptr;  // 1 repeat only current track, 2 stop after it
    bool* quitAfterTrack = nullptr;
    bool* quitAfterList = nullptr;
    uint8_t ownOneShot = 0;
    bool ownQuitTrack = false, ownQuitList = false;

    uint16_t failedStarts = 0;
    uint16_t startDelay = 0;     // ms before the next start; consumed by it
    int64_t recallPosition = 0;  // a remembered folder position for the next start of ...
    std::wstring recallFile;     // ... this track
    std::wstring streamTitle;    // name cell of the last started address row
    bool endingTrack = false;    // inside OnTrackEnd: the ended track is logged already
    // The end of the current track was handled when its decoder finished; the end of playback
    // that follows (the ring has played out) is then only the output closing.
    bool endHandled = false;
    bool delayedPending = false;  // a start of ours waits on timer 1809; its outcome is reported
    std::wstring upcoming1, upcoming2;
    SequencerOps ops{};
};

uint8_t& OneShot(Sequencer& q);
bool& QuitAfterTrack(Sequencer& q);
bool& QuitAfterList(Sequencer& q);

// ---- starting and stepping (sequence.cpp) ----

int PlayRow(Sequencer& q, TrackList& list, int row, bool start, bool manual);
// PlayRow for the File view and the Playlist view lists only, and only when not empty.
int PlayRowGuarded(Sequencer& q, TrackList& list, int row, bool start, bool manual);
int NextTrack(Sequencer& q, TrackList& list, bool start, bool manual);
int PrevTrack(Sequencer& q, TrackList& list, bool manual);
// The outcome of a start (immediate or delayed): failures skip to the following row, at most
// ten in a row. Returns true when a track is (now) running.
bool SeqStartResult(Sequencer& q, bool ok);
// The end-of-track rules: what follows the track that ended.
void OnTrackEnd(Sequencer& q);
// The engine's report of a track end. ringPlaysOut: the decoder has delivered the whole track
// and the ring still plays it out (the next track is chosen at once); otherwise playback has
// ended, which after a handled end is only the output closing. actionDecides: a deferred action
// (stop, restart) decides what follows. lengthMs: the ended track's length (a cue sheet then
// follows to the row after the file's last).
void SeqEngineTrackEnd(Sequencer& q, bool ringPlaysOut, bool actionDecides, int64_t lengthMs);
// A start of a file was carried out (the sequencer's own, or timer 1809's): a delayed start the
// sequencer asked for reports its outcome (SeqStartResult). Returns ok.
bool SeqFileStarted(Sequencer& q, bool ok);
// The deferred PlayFromTop: row 0 of focusedList after a 1000 ms pause.
int SeqPlayFromTop(Sequencer& q);
// Plays last_file directly: shows its folder, marks its row and starts it.
bool PlayPath(Sequencer& q, uint32_t startMs = 0);

// ---- folder search (sequence_search.cpp) ----

int DirSearch(Sequencer& q, bool forward);
int HasPlayable(Sequencer& q, const std::wstring& path);
// The drive root restart at a track end: "C:\" of browsed_folder, selected in the tree; true
// when it or a folder after it has playable content.
bool SearchFromDriveRoot(Sequencer& q);

// ---- list edits (sequence_edit.cpp) ----

// Whether Skip and Next may edit list: kinds 0-2, folder lists not while AutoReloadDir is on.
bool RowEditsAllowed(const TrackList& list, const Settings& s);
bool SkipRows(Sequencer& q, TrackList& list);
bool MoveRowsNext(Sequencer& q, TrackList& list);
bool MoveRows(Sequencer& q, TrackList& list, int delta);
bool MoveRowsToFocus(Sequencer& q, TrackList& list);

// ---- the Playlist view pane (sequence_pane.cpp) ----

// Marks the pane open, restores the rows saved at its last close (the row of last_file
// current) and, unless "Continue in focused list" is on, makes it the playing list.
void OpenPlaylistPane(Sequencer& q, TrackList& pane, const std::vector<ListStateRow>& saved);
// Marks it closed and gives the File view back both roles; returns the rows to save.
std::vector<ListStateRow> ClosePlaylistPane(Sequencer& q);

// ---- texts and folder positions (sequence_text.cpp) ----

void UpcomingTexts(Sequencer& q);
// UpcomingTexts, then tells the title.
void RefreshUpcoming(Sequencer& q);
void RememberFolderPosition(Sequencer& q, int64_t position);
int RecallFolderPosition(Sequencer& q, TrackList& list);
