// Cue sheets: one audio file (or a few) cut into tracks. The reader turns the sheet's bytes
// into cue list rows, the length pass fills each row's length (and, for VBR MPEG files, its
// byte position), and FollowCuePosition keeps the row under the play position marked while
// the single audio file plays.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "library/playlist_file.h"
#include "library/track_list.h"

// What the title and the list know about the cue sheet that plays. Main thread only.
struct CueState {
    std::wstring cueTitle;      // album performer and title, at most 200 characters
    int64_t cueTrackStart = 0;  // of the followed track: ms, or bytes with byte positions
    int64_t cueTrackEnd = 0;
    int cueTrackNumber = 0;         // row + 1
    std::wstring cueTrackName;      // its cell 3
    bool cuePositionStale = false;  // set after loading: the next follow looks the row up
};

// What the length pass needs to know about an audio file of the sheet.
struct CueAudioOps {
    // The file's total length in ms (the decoder's answer, or for MPEG audio the scan's
    // (size - audio start) / (bit rate / 8) * 1000); 0 when unknown.
    uint32_t (*totalMs)(void* ctx, const std::wstring& file);
    // True when the file is MPEG audio whose scan found a frame index (a VBR file).
    bool (*hasFrameIndex)(void* ctx, const std::wstring& file);
    // The byte offset of the frame at ms, walking the frames from byte offset `from` (the
    // previous track's position, or 0).
    int64_t (*bytePosition)(void* ctx, const std::wstring& file, int64_t from, uint32_t ms);
    void* ctx;
};

// A cue time "mm:ss:ff" (frames of 1/75 s) in ms: the last field is the frames, the one before
// it the seconds, the rest the minutes; missing fields count 0. Single precision, truncated.
uint32_t CueTimeMs(std::wstring_view text);


struct CueReadEnv {
    const Settings* s = nullptr;
    const std::string* playable = nullptr;  // playableExtensions
    CodePage codePage{};                    // for sheets without a UTF-8 byte order mark
    CueAudioOps audio{};                    // null members: lengths unknown, no byte positions
};

// Fills a cue list (kind 3) from the sheet's bytes: rows, names, lengths, cueTitle. Leaves the
// current-row decision to the caller (CueSheetLoaded). Returns the number of rows.
int ReadCueSheetBytes(TrackList& list, CueState& cue, const std::wstring& path,
                      std::string_view bytes, const CueReadEnv& env);

// The lengths of rows [from, to), the tracks of one FILE: cell 2 becomes the length text or
// "???", followed by the byte position with list_style CueVbrPositions on a VBR MPEG file.
void FillCueLengths(TrackList& list, int from, int to, const CueReadEnv& env);

// The end of ReadCueSheet: the follow state is reset and marked stale; when the playing file
// (last_file) has a row the list keeps following it, otherwise row 0 is selected and the list
// becomes kind 4. Returns true when the playing file is in the sheet.
bool CueSheetLoaded(TrackList& list, CueState& cue, const Settings& s);

// The start of a cue row in the positions' unit: the byte position after "#" in cell 2 when
// the sheet uses byte positions, else cell 1 in ms. byteUnit tells which one it was.
int64_t CueRowStart(const ListRow& row, bool* byteUnit = nullptr);

// Follows the play position through the rows of the playing cue list. position and audioEnd
// are in the positions' unit. Returns true when another row became the followed one (the
// caller refreshes the upcoming texts); the row is marked current and scrolled into view.
bool FollowCuePosition(TrackList& list, CueState& cue, const Settings& s, int64_t position,
                       int64_t audioEnd);

// The title's cue part: "Cue %.2d (%ls)" for a track without a name, else "%ls (%ls)".
std::wstring CueTitleText(const CueState& cue);

// "Find C&ue sheet": the first "*.cue" file of folder whose first 5000 bytes contain name
// (case-sensitive). readHead reads up to n bytes of a file; false when it cannot be read.
// Returns the sheet's path, or "" when none matches.
using ReadHeadFn = bool (*)(void* ctx, const std::wstring& path, size_t n, std::string& out);
std::wstring FindCueSheet(const std::wstring& name, const std::wstring& folder, const FolderOps& fs,
                          ReadHeadFn readHead, void* readCtx, const CodePage& codePage);
// The name "Find C&ue sheet" looks for: the name cell of the first selected row of list (for
// a folder list the file name without its extension). False without a selected track row.
bool CueSearchName(const TrackList& list, std::wstring& name);
