// What the row and folder commands act on, decided without the OS: the row a command takes
// from a list, the file behind it, "Select all", and the walk of "Show subfolder contents".
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "library/folder_ops.h"
#include "library/list_state.h"
#include "library/track_list.h"

// The row a command on "the current row" takes: the first selected row, else the focused
// row; -1 when there is neither.
int CommandRow(const TrackList& list);

enum class RowTarget : uint8_t {
    None,    // no row, or a navigation row ("[..]", a folder or list file)
    Track,   // a file on disk: path is its full path
    Stream,  // an internet address: path is the address
};
// The command row's file.
RowTarget CommandRowFile(const TrackList& list, std::wstring& path);

// Selects every row; returns how many were not selected before.
int SelectAllRows(TrackList& list);

// The arguments that open Explorer on a file's folder with the file selected.
std::wstring ExploreSelectArguments(const std::wstring& path);

// The bounds of one "Show subfolder contents" walk: it stops at whichever comes first, so a
// parent of a whole drive neither fills the memory nor lists for minutes. How long it may take
// is the user's to decide: a walk on a worker thread is stopped through SubfolderWatch.
struct SubfolderLimits {
    size_t maxFiles = 20000;
    size_t maxFolders = 5000;
};

// What a walk on another thread is watched through: stop is read before each folder (set, the
// walk ends there), progress is told the files found and the folders read after each folder.
struct SubfolderWatch {
    const std::atomic<bool>* stop = nullptr;
    void (*progress)(void* ctx, size_t files, size_t folders) = nullptr;
    void* ctx = nullptr;
};

struct SubfolderResult {
    std::vector<ListStateRow> rows;  // cells: name with extension, size, folder, date, ""
    size_t folders = 0;              // folders read
    bool cut = false;                // a bound ended the walk early
    bool stopped = false;            // the stop flag ended it
};

// The playable files of folder and of all its subfolders, a folder's files before its
// subfolders'. Hidden entries only with list_style ShowHidden; junctions and other reparse
// points are not entered (they can lead back up the tree). Uses fs.enumerate only.
SubfolderResult SubfolderContent(const FolderOps& fs, const std::wstring& folder, const Settings& s,
                                 const std::string& playable, const SubfolderLimits& limits = {},
                                 const SubfolderWatch& watch = {});
