// Play list files: ".m3u" in the ANSI code page and ".m3u8" in UTF-8, read into play list rows
// and written from a list's rows with paths relative to the list file. The Playlist view's
// row building ("Enqueue", "Content to playlist") lives here too.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "library/track_list.h"

// True when the list file's name ends in "8" (".m3u8"): its text is UTF-8.
bool IsUtf8ListName(const std::wstring& path);

struct PlayListEnv {
    const Settings* s = nullptr;
    const std::string* playable = nullptr;  // playableExtensions
    bool bassLoaded = false;                // stream lines become rows only with BASS
    CodePage codePage{};
};

// Appends the entries of a play list file (its bytes) to list. Returns the rows added.
int ReadPlayListBytes(TrackList& list, const std::wstring& path, std::string_view bytes,
                      const PlayListEnv& env);

// LoadPlayList once the file's bytes are read: the rows, sorted by the list's sort byte, the
// row of last_file marked current (else row 0 selected), then the info scan (list_style
// AlwaysScanInfo) and the status and upcoming texts through listEnv's hooks.
int LoadPlayListBytes(TrackList& list, const std::wstring& path, std::string_view bytes,
                      const PlayListEnv& env, const ListEnv& listEnv);

// The line written for track into the list file listPath: a bare or folder-relative path when
// both share the folder, a path from the drive's root ("\...") when the list lies in another
// branch of the same drive, the full path otherwise.
std::wstring PathRelativeToList(const std::wstring& track, const std::wstring& listPath);

// The paths "&Create" / "&Append" write: the selected track rows in list order, or only the
// current row when none is selected. Empty for lists of kind 3 and 4.
std::vector<std::wstring> PlayListRowsToWrite(const TrackList& list, const Settings& s);

struct PlayListText {
    std::string bytes;  // the lines, each ended by CR LF, no header
    int lines = 0;      // lines of more than 2 bytes (what the status line counts)
};
PlayListText PlayListFileText(const std::vector<std::wstring>& tracks, const std::wstring& listPath,
                              const CodePage& cp);

// ---- the Playlist view ----

// A row built from the file itself: name with extension, SizeText, folder, DateText. A file
// that cannot be found keeps empty size and date cells; an address is its own name and path.
ListRow PlaylistRowOf(const std::wstring& path, const FolderOps& fs, const Settings& s);

// Where Enqueue inserts: position when >= 0, else after the focused row, else the end.
int EnqueuePosition(const TrackList& view, int position);
// Inserts rows at index, keeping the current row on its track (found again by its tag).
// Returns the index after the last inserted row.
int InsertRowsKeepingCurrent(TrackList& view, int index, std::vector<ListRow> rows);
// "/enqueue" and "&Enqueue" of one path.
int EnqueuePath(TrackList& view, const std::wstring& path, int position, const FolderOps& fs,
                const Settings& s);
// "&Enqueue" of the File view's selected track rows, in order.
int EnqueueSelection(TrackList& view, const TrackList& fileView, int position, const FolderOps& fs,
                     const Settings& s);
// "Content to playlist": appends every playable file of folder (no sub-folders; hidden files
// only with list_style ShowHidden). Returns the rows added.
int ContentToPlaylist(TrackList& view, const std::wstring& folder, const FolderOps& fs,
                      const Settings& s, const std::string& playable);
// "Cl&ear list".
void ClearPlaylistView(TrackList& view);

// The rows the Playlist view saves at its close and reads back at its opening.
std::vector<ListStateRow> PlaylistStateRows(const TrackList& view);
void RestorePlaylistRows(TrackList& view, const std::vector<ListStateRow>& rows, const Settings& s);
