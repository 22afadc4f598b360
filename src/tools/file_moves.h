// Copy to, Move/Rename and Delete of track rows: the numbered names of ordered copies, the
// proposed and remembered destination, which way a move of the playing track goes, and what
// the list looks like afterwards. The glue asks and does the file-system calls.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "library/track_list.h"

// "%.2d_" and the file name: 01_a.mp3 ... 99_a.mp3, 100_a.mp3.
std::wstring NumberedCopyName(int number, std::wstring_view fileName);

// The path the destination dialog proposes: the remembered folder + the source's file name
// (the source path itself when nothing is remembered); with several rows the name part is
// `multipleText` instead.
std::wstring CopyProposal(std::wstring_view remembered, std::wstring_view source, bool multiple,
                          std::wstring_view multipleText);

// After a successful copy: the destination's folder becomes the remembered one, unless
// system_flags NoRememberDest says not to; cut to 400 characters.
void RememberDestination(std::wstring& remembered, std::wstring_view destination,
                         const Settings& s);

// A copy that never overwrites: false when `to` exists or the copy fails.
struct CopyFs {
    void* ctx = nullptr;
    bool (*copyNew)(void* ctx, const std::wstring& from, const std::wstring& to) = nullptr;
};
// Numbered copies of `sources` (in list order) into `folder`, numbered from `first`; the
// first failure ends the run. Returns the number of files copied.
int CopyNumbered(const std::vector<std::wstring>& sources, std::wstring_view folder, int first,
                 const CopyFs& fs);

// How a move goes.
enum class MoveWay {
    Plain,            // not the playing track: one move
    Seamless,         // close the input, rename, reopen at the same offset: no break
    StopMoveRestart,  // stop, move, start again at the remembered position
};
struct MoveFacts {
    bool playingTrack = false;  // the source is the track that plays (last_file)
    bool outputOpen = false;
    bool ownMpegDecoder = false;  // played by the program's MPEG decoder (not BASS, a plug-in)
};
// Seamless needs an open output, the program's MPEG decoder and a target on the same drive
// (same first character, any case); the playing track otherwise stops and restarts.
MoveWay ChooseMoveWay(const MoveFacts& f, std::wstring_view from, std::wstring_view to);

// Row `row` of `list` was moved from `from` to `to`: in the same folder (a rename, folder
// compared without case) its cells follow the new name; into another folder it is removed.
// Then the current row is found again from `lastFile` and the row at the old index selected.
// Returns false (and changes nothing) for a row that does not exist.
bool ApplyMoveToList(TrackList& list, int row, std::wstring_view from, std::wstring_view to,
                     const std::wstring& lastFile);

// Row `row`'s file was deleted: the row goes, the current row is found again and the row
// now at that index is selected.
bool ApplyDeleteToList(TrackList& list, int row, const std::wstring& lastFile);

// "Really delete this file:\n\n<path>" ("Really delete this file" is not in the language
// table; the colon and the empty line are added here).
std::wstring DeleteQuestion(std::wstring_view path);
