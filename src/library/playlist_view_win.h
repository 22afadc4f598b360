// The Playlist view pane: a second owner-data list beside the File view that collects tracks
// by "Enqueue", "Content to playlist", dropped files and the "/enqueue" hand-over, plays like
// the File view and keeps its rows from one session to the next (the list state file "p").
// Main thread only.
#pragma once
#include <windows.h>

struct TrackList;

// Connects the commands (523 toggle, 432 Enqueue, 433 Clear list, 490 Content to playlist)
// and the AppHooks of a list pane, and opens the pane when it was open at the last exit.
// Called once after the library and the sequencer have started.
void PlaylistViewStartWin(HWND mainWindow, HINSTANCE instance);

// The pane's rows ("/enqueue" paths of the command line and of a second instance) that wait in
// g_shell.pendingEnqueue are appended at its end; the pane is opened first (with the focus)
// when it is closed. Without paths it opens only when playlist_win asks for it (the hand-over
// of a file that is gone). Nothing is played.
void PlaylistViewEnqueuePendingWin();

// The pane's selection and focused row from its control into its model (when it exists).
void PlaylistViewPullSelectionWin();

// Splits the list area between the File view and the open pane by playlist_win (divider
// position in bits 0-12, bit 13 the pane below, bit 14 the pane to the right, else on top);
// moves the pane and returns the File view's part. The area unchanged while the pane is shut.
RECT PlaylistViewLayoutWin(const RECT& area);
