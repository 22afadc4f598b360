// The rules of the small list tools: what a text typed into Go to names, the Find in list
// search with its wrap-around, the notes text of a row, and the manual beat counter.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "library/track_list.h"

// ---- Go to ----

enum class GoToKind { Folder, File, Address };
struct GoToTarget {
    GoToKind kind = GoToKind::Folder;
    std::wstring play;    // the file or address to play (empty for a folder)
    std::wstring locate;  // what the tree locates: one trailing backslash removed
};
// A typed text (cut to 400 characters): an address when IsUrl accepts it, a file when the
// extension after its last "." is playable (`playable`: the playable extensions), else a
// folder, list or cue sheet path to show. A file shows its folder (up to its last
// backslash), an address keeps `browsedFolder`.
GoToTarget ClassifyGoTo(std::wstring_view typed, std::wstring_view browsedFolder,
                        std::string_view playable);

// ---- Find in list ----

constexpr size_t kFindTextMax = 100;
constexpr size_t kFindNameMax = 400;

struct FindState {
    std::wstring text;  // kept while the program runs
    int lastIndex = -1;
    bool found = false;  // the text occurs somewhere: the end of the list wraps to the top
};
// The dialog opens: the text stays, the walk starts from the top.
void FindOpened(FindState& st);
// The box's text changed.
void FindEdited(FindState& st);
// "Next": keeps the box text; a text of fewer than 2 characters does nothing. The next row
// after the last one found whose name cell contains the text (A-Z compared without case),
// wrapping to the top once when the text was found before. Returns the row, or -1.
int FindNext(FindState& st, std::wstring_view box, const TrackList& list);

// ---- Notes ----

constexpr size_t kNoteMax = 98;
constexpr int kNoteCell = 4;  // the info column
// The note a row shows, or false when the dialog has nothing to edit (no selected row, or
// the info column not shown: info_row 0).
bool NoteOfSelection(const TrackList& list, int32_t infoRow, std::wstring& note);
// OK: the text (cut to 98 characters) into the info cell of the first selected row.
bool SetNoteOfSelection(TrackList& list, std::wstring_view text);

// ---- Manual beat counter ----

struct BeatCounter {
    uint32_t firstMs = 0;  // tick count of the first beat
    uint32_t beats = 0;    // beats counted so far
};
// A beat at tick `nowMs`: the first one only starts the clock (false, no text); a later one
// after n beats gives "BPM: %.0f" of 60000 / ((now - first) / n). A beat at the very tick of
// the first gives no text either.
bool BeatTap(BeatCounter& c, uint32_t nowMs, std::wstring& text);
