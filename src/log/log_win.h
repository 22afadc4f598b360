// The track log's Win32 side: the pending record of the playing track, the log file beside
// the settings file (appends; every rewrite through a temporary file and a rename), and the
// commands of the log. Main thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/command_ids.h"
#include "log/favourites.h"
#include "log/log_ops.h"

// What the log asks of the subsystems above it. A null entry counts as "no".
struct LogHost {
    void* ctx = nullptr;
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;
    bool (*restartPending)(void* ctx) = nullptr;  // a restart after a decoder change
    bool (*urlStream)(void* ctx) = nullptr;       // the playing track is an internet stream
    // The viewer's context menu: play a logged track (it becomes the last file, from its
    // start), add tracks to the end of the Playlist view.
    void (*playPath)(void* ctx, const std::wstring& path) = nullptr;
    void (*enqueue)(void* ctx, const std::vector<std::wstring>& paths) = nullptr;
    // Favourites and history.
    bool (*playingTrack)(void* ctx, std::wstring& path, uint32_t& positionMs) = nullptr;
    bool (*focusedTrack)(void* ctx, std::wstring& path) = nullptr;  // the focused track row
    bool (*shownFolder)(void* ctx, std::wstring& path) = nullptr;   // the folder or list shown
    void (*playAt)(void* ctx, const std::wstring& path, uint32_t startMs) = nullptr;
    void (*showFolder)(void* ctx, const std::wstring& folder) = nullptr;  // selected in the tree
    bool (*playable)(void* ctx, const std::wstring& path) = nullptr;
    std::wstring (*trackTime)(void* ctx, uint32_t ms) = nullptr;  // as the lists write it
};

const LogHost& LogHostWin();
HWND LogOwnerWin();  // the main window

// Start-up: the log belongs to the settings file `iniPath` (its extension replaced by ".log";
// none without an extension).
void LogStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath,
                 const LogHost& host);
LogOps LogOpsWin();

// The log file's path ("" when there is none).
const std::wstring& LogPathWin();
// "Log current title and open log file...": appends the stream title as a UTF-16 line to
// "titles.log" beside the settings file (created when missing) and opens that file.
void LogStreamTitleWin(const std::wstring& title);

// "View track log...": the viewer (log_view_win.cpp).
void LogViewerCommandWin(CommandId id, intptr_t lParam);

// Favourites and history (log_menus_win.cpp): the add, remove and menu commands, the history
// menus, and the choice of a menu entry (ids from 2000: AppWiring::otherCommand).
void FavouriteCommandWin(CommandId id, intptr_t lParam);
void HistoryCommandWin(CommandId id, intptr_t lParam);
void LogMenuEntryWin(unsigned id, intptr_t lParam);
// The entries of the favourites (kCmdFavorites) or a history menu (kCmdTrackHistory,
// kCmdFolderHistory) for another menu to hold; their ids reach LogMenuEntryWin.
std::vector<MenuEntry> LogMenuEntriesWin(CommandId which);
