// The folder tree and the File view in the main window: created at start, laid out on
// WM_SIZE, connected to the dispatcher's hooks, saved at exit.
#pragma once
#include <windows.h>

#include <string>

struct FolderTree;
struct TrackList;

// playableExtensions: "mp3;mp2;mpa;" and whatever BASS and the plug-ins add. Main thread.
extern std::string g_playableExtensions;

// Creates both controls (hidden main window, before the command line is applied), fills the
// tree's roots and connects the AppHooks entries of the tree and the lists.
void LibraryStartWin(HWND mainWindow, HINSTANCE instance);
// Selects the start folder (browsed_folder) in the tree; its selection change lists it. Falls
// back to no remembered root, then to the first root. expandRoot: the start fell back to the
// music folder and the tree's first root is opened.
void LibrarySelectStartWin(bool expandRoot);

// RefreshTree with a busy cursor: rebuilt roots, the selected path selected again, the playing
// folder marked. MarkPlayingFolder for the current last_folder.
void LibraryRefreshTreeWin();
void LibraryMarkPlayingFolderWin();

// The File view's model and the tree's model.
TrackList& LibraryFileView();
FolderTree& LibraryTree();

// The environments the tree and the lists work in, and the File view's selection taken from
// its control into the model (before a rule reads the selected rows).
struct TreeEnv;
struct ListEnv;
TreeEnv LibraryTreeEnvWin();
ListEnv LibraryListEnvWin();
void LibraryPullSelectionWin();
