// The Playlist view pane: a second owner-data list beside the File view that collects tracks
// by "Enqueue", "Content to playlist", dropped files and the "/enqueue" hand-over, plays like
// the File view and keeps its rows from one session to the next (the list state file "p").
// Main thread only.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/command_ids.h"
#include "library/list_state.h"

struct TrackList;

// Opens the pane when it was open at the last exit. Called once after the library and the
// sequencer have started.
void PlaylistViewStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath);

// Appends paths ("/enqueue" of the command line or of a second instance) at the pane's end;
// the pane is opened first (with the focus) when it is closed. Without paths it opens only
// when playlist_win asks for it (the hand-over of a file that is gone). Nothing is played.
void PlaylistViewEnqueueWin(std::vector<std::wstring> paths);

bool PlaylistViewIsOpenWin();
void PlaylistViewCloseWin();  // its rows and widths saved, the File view focused and playing

// ---- commands ----

void PlaylistViewToggleCommandWin(CommandId id, intptr_t lParam);   // Shift+F5
void PlaylistViewEnqueueCommandWin(CommandId id, intptr_t lParam);  // the File view's selection
void PlaylistViewClearCommandWin(CommandId id, intptr_t lParam);
void PlaylistViewContentCommandWin(CommandId id, intptr_t lParam);  // the tree's folder

// ---- what the library's list operations ask of the pane ----

HWND PlaylistViewWindowWin();  // null while shut
TrackList& PlaylistViewModelWin();
void PlaylistViewFocusWin();
void PlaylistViewKeyWin(CommandId key);
void PlaylistViewScrollToCurrentWin();
void PlaylistViewStoreWidthsWin();
// Files inserted at row (-1: the end); the pane opens first when it is shut.
void PlaylistViewInsertWin(const std::vector<std::wstring>& files, int row);
// Its control's notifications (cell texts, custom draw, selection); true when answered.
bool PlaylistViewNotifyWin(NMHDR* h, LRESULT& result);
// Its rows for the exit save; false while it is shut.
bool PlaylistViewRowsWin(void* ctx, std::vector<ListStateRow>& rows);
