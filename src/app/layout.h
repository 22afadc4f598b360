// Where the main window's children go: the folder tree left of the divider, the File view to
// its right, and the open Playlist view splitting the list area by playlist_win. This is the
// window's provisional layout until the toolbar, sliders and status bar take their places.
#pragma once
#include "app/shell.h"
#include "config/settings.h"

struct MainLayout {
    bool treeShown;
    Rect tree, files, playlist;  // playlist: empty while the pane is shut
};

// client: the main window's client size; top / bottom: the heights the toolbar and the status
// bar take.
MainLayout LayOutMainWindow(const Settings& s, int clientW, int clientH, int top, int bottom,
                            bool playlistOpen);
