// The follow timer: every half second while the playing list is a cue sheet and the engine
// plays one of its files, the row under the play position becomes the current one and the
// window title (composed above the library) shows the time within that track and its name.
#include "library/cue_follow_win.h"

#include <algorithm>

#include "audio/engine_win.h"
#include "audio/mpeg_scan.h"
#include "audio/output.h"
#include "base/window_timers.h"
#include "library/cue.h"
#include "library/library_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"

namespace {

constexpr UINT kFollowMs = 500;

HWND g_main = nullptr;

// The cue list that plays, when the engine plays one of its files; else null. The heard
// audio must be that file's too: while the ring still plays out the file before, the stamps
// carry the other file's length.
TrackList* PlayingCueList() {
    Sequencer& q = SequencerWin();
    if (!q.cue || q.playingList != q.fileView) return nullptr;
    TrackList& list = LibraryFileView();
    if (list.kind != cueList || list.rows.empty()) return nullptr;
    if (!OutputOpen(g_playState) || !g_track.fileName) return nullptr;
    if (g_playState.playedLengthMs != g_track.lengthMs) return nullptr;
    const int n = static_cast<int>(list.rows.size());
    const int row = list.currentRow >= 0 && list.currentRow < n ? list.currentRow
                                                                : FindRow(list, g_track.fileName);
    if (row < 0 || !SameTextNoCase(list.rows[static_cast<size_t>(row)].cell[0], g_track.fileName))
        return nullptr;
    return &list;
}

// ms of MPEG audio in `bytes` at the playing track's average bit rate.
uint32_t MsOfBytes(int64_t bytes) {
    if (bytes <= 0) return 0;
    return MpegLengthMs(g_track, bytes > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes));
}

// The time into the followed entry and its length, from a position in the rows' unit.
void EntryTimes(const CueState& cue, int64_t position, bool bytes, uint32_t& intoMs,
                uint32_t& lengthMs) {
    const int64_t into = position > cue.cueTrackStart ? position - cue.cueTrackStart : 0;
    const int64_t length =
        cue.cueTrackEnd > cue.cueTrackStart ? cue.cueTrackEnd - cue.cueTrackStart : 0;
    intoMs = bytes ? MsOfBytes(into) : static_cast<uint32_t>(into);
    lengthMs = bytes ? MsOfBytes(length) : static_cast<uint32_t>(length);
}

// The play position in the rows' unit: rows with byte positions are followed by the file
// position, the others by the ms heard.
int64_t RowPosition(const TrackList& list, bool& bytes) {
    bytes = false;
    (void)CueRowStart(list.rows[static_cast<size_t>(std::max(list.currentRow, 0))], &bytes);
    return bytes ? int64_t{g_playState.playedBytePos} : g_playState.playedMs;
}

// Moves the current row to the entry under the play position; true when a cue list plays.
bool Follow() {
    TrackList* list = PlayingCueList();
    if (!list) return false;
    // A row change refreshes the upcoming texts, and they the title, which asks for the entry
    // again: that inner call finds the row already followed.
    static bool following = false;
    if (following) return true;
    following = true;
    bool bytes = false;
    const int64_t position = RowPosition(*list, bytes);
    const int64_t end = bytes ? int64_t{g_track.dwAudioEnd} : g_playState.playedLengthMs;
    if (FollowCuePosition(*list, *SequencerWin().cue, g_settings, position, end))
        RefreshUpcoming(SequencerWin());
    following = false;
    return true;
}

void CALLBACK FollowTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!Follow()) return;
    const LibraryHost& h = LibraryHostWin();
    if (h.updateTitle) h.updateTitle(h.ctx);
}

}  // namespace

void CueFollowStartWin(HWND mainWindow) {
    g_main = mainWindow;
    // One cheap check every half second; the timer runs as long as the window.
    SetTimer(g_main, kTimerCueFollow, kFollowMs, FollowTick);
}

bool CueEntryTimesWin(uint32_t& intoMs, uint32_t& lengthMs, std::wstring& title) {
    TrackList* list = PlayingCueList();
    if (!list || list->rows.empty()) return false;
    (void)Follow();  // up to date now, not at the next tick
    if (SequencerWin().cue->cuePositionStale) return false;
    bool bytes = false;
    const int64_t position = RowPosition(*list, bytes);
    const CueState& cue = *SequencerWin().cue;
    EntryTimes(cue, position, bytes, intoMs, lengthMs);
    title = CueTitleText(cue);
    return true;
}

bool CueTitleEntryWin(CueTitleEntry& out) {
    // The entry under the play position first: the title never names the one before.
    if (!Follow()) return false;
    const TrackList* list = PlayingCueList();
    if (!list || SequencerWin().cue->cuePositionStale) return false;
    bool bytes = false;
    const int64_t position = RowPosition(*list, bytes);
    const CueState& cue = *SequencerWin().cue;
    EntryTimes(cue, position, bytes, out.intoMs, out.lengthMs);
    out.number = cue.cueTrackNumber;
    out.name = cue.cueTrackName == L" " ? std::wstring() : cue.cueTrackName;
    out.sheet = cue.cueTitle;
    return true;
}
