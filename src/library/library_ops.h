// What the library offers the rest of the program: the folder tree and the lists (ListOps), and
// track sequencing over them (TrackOps). Both tables are filled once by the start-up code
// (app/wiring_win.cpp) with the library's glue and faked by the dispatcher's tests; what the
// library needs from above it comes through its LibraryHost. Main thread only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/command_ids.h"

// The three lists of the window.
enum ListId : uint8_t { kListFiles = 0, kListPlaylist = 1, kListInsert = 2 };

struct ListOps {
    void* ctx = nullptr;
    // The keys of the tree pane (Return there selects the File view's first row).
    void (*treeKey)(void* ctx, CommandId key) = nullptr;
    // The keys of a list pane: row movement, Backspace (parent folder), the sort keys.
    void (*listKey)(void* ctx, ListId list, CommandId key) = nullptr;
    // Return on a folder or list row opens it; false for a track row (which then plays).
    bool (*openRow)(void* ctx, ListId list) = nullptr;
    bool (*hasSelection)(void* ctx, ListId list) = nullptr;
    bool (*fileViewShowsFolder)(void* ctx) = nullptr;  // a folder or list, no search result
    void (*focusTree)(void* ctx) = nullptr;            // keyboard focus
    void (*focusList)(void* ctx, ListId list) = nullptr;
    void (*scrollToCurrent)(void* ctx, ListId list) = nullptr;
    void (*storeColumnWidths)(void* ctx) = nullptr;  // the widths into the settings
    void (*listBrowsedFolder)(void* ctx) = nullptr;  // timer 2983
    void (*scrollTreeSelection)(void* ctx) = nullptr;
    void (*scrollAllIntoView)(void* ctx) = nullptr;  // timer 2681
    // The main window has become visible: what could wait until then (the tree's tooltips).
    void (*windowShown)(void* ctx) = nullptr;
    // Work the lists do on other threads: the info scan, a subfolder walk. Stopped, a walk's
    // rows are dropped.
    bool (*listWorkRunning)(void* ctx) = nullptr;
    void (*stopListWork)(void* ctx) = nullptr;
    bool (*isPlayable)(void* ctx, const std::wstring& path) = nullptr;
    // Dropped or enqueued files at row (-1: the end), with the cells a listing gives them.
    void (*insertRows)(void* ctx, ListId list, const std::vector<std::wstring>& files,
                       int row) = nullptr;
    void (*sortByColumn)(void* ctx, ListId list, int column) = nullptr;
    void (*beginRowDrag)(void* ctx, ListId list) = nullptr;
    // Renames the file of the edited label; false when that failed.
    bool (*renameRow)(void* ctx, const std::wstring& newName) = nullptr;
};

struct TrackOps {
    void* ctx = nullptr;
    // Row -1: the first selected row, else the current row, else row 0.
    bool (*playRow)(void* ctx, ListId list, int row, bool start, bool manual) = nullptr;
    void (*prevTrack)(void* ctx, ListId list) = nullptr;
    bool (*nextTrack)(void* ctx, ListId list) = nullptr;    // false at the end of the list
    bool (*dirSearch)(void* ctx, int direction) = nullptr;  // -1 back, +1 forward
    void (*playPath)(void* ctx, const std::wstring& path) = nullptr;
    // The same, from startMs of the track (a favourite with a position).
    void (*playPathAt)(void* ctx, const std::wstring& path, uint32_t startMs) = nullptr;
    // Starts `file` at `pos` (timer 1809, resume); a delayed start the sequencer asked for
    // reports its outcome to it (a failure skips on to the next row).
    bool (*startFile)(void* ctx, const std::wstring& file, int32_t pos) = nullptr;
    void (*stop)(void* ctx) = nullptr;  // stops playback; a pending delayed start is dropped
    void (*skipRows)(void* ctx, ListId list) = nullptr;
    void (*moveRowsNext)(void* ctx, ListId list) = nullptr;
    void (*moveRows)(void* ctx, ListId list, int delta, bool byPage) = nullptr;
    bool (*recallFolderPosition)(void* ctx) = nullptr;  // remembered folder positions
    void (*refreshUpcoming)(void* ctx) = nullptr;
    // The list with the keyboard focus, and the list the playing track came from.
    ListId (*focusedList)(void* ctx) = nullptr;
    ListId (*playingList)(void* ctx) = nullptr;
};

// What the library needs from the subsystems above it (the window's texts and layout, the
// error log). Filled by the start-up code; a null entry is a step that is skipped.
struct LibraryHost {
    void* ctx = nullptr;
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;
    void (*layout)(void* ctx) = nullptr;       // a pane opened or closed
    void (*updateTitle)(void* ctx) = nullptr;  // the upcoming texts changed
    void (*updateFlags)(void* ctx) = nullptr;  // rows removed or moved: status line
    void (*showMessage)(void* ctx, const wchar_t* text, int ms) = nullptr;
    void (*logTrack)(void* ctx) = nullptr;  // the track log entry of the track left
    void (*listShown)(void* ctx) = nullptr;  // the file list shows a newly listed folder or list
};
