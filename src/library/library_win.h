// The library's window side: the folder tree and the File view as children of the main window,
// the ListOps table through which the rest of the program reaches the tree and the lists, the
// notifications of their controls, and the File view's rows for the exit save.
// Main thread only.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "library/library_ops.h"
#include "library/list_state.h"

struct FolderTree;
struct Settings;
struct TrackList;
struct TreeEnv;
struct ListEnv;

// playableExtensions: "mp3;mp2;mpa;" and whatever BASS and the plug-ins add. Main thread.
extern std::string g_playableExtensions;

// What the library's start needs to know of the program.
struct LibraryStart {
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    std::wstring iniPath;  // the list state files lie beside it
    // Set when the next listing is to show the saved File view rows (taken, and cleared, by it).
    bool* restoreSavedList = nullptr;
    LibraryHost host;  // what the library asks of the subsystems above it
};

// Creates both controls (hidden main window, before the command line is applied) and fills
// the tree's roots. Then the sequencing and the Playlist view start (their own *StartWin).
void LibraryStartWin(const LibraryStart& start);
// Selects the start folder (browsed_folder) in the tree; its selection change lists it. Falls
// back to no remembered root, then to the first root. expandRoot: the start fell back to the
// music folder and the tree's first root is opened.
void LibrarySelectStartWin(bool expandRoot);

// The tree and the lists for the rest of the program.
ListOps ListOpsWin();
// What the library asks of the subsystems above it (for the library's other glue files).
const LibraryHost& LibraryHostWin();

// ---- the main window's notifications ----

// The list a control belongs to; false for any other window.
bool LibraryListOfWindowWin(HWND window, ListId& list);
bool LibraryIsTreeWindowWin(HWND window);
// The visible list under a screen point and the row there (-1 none): where files are dropped.
bool LibraryListAtWin(POINT screen, ListId& list, int& row);
// TVN_SELCHANGEDW: the folder of the newly selected item; false while the tree fills itself
// (those selection changes are not the user's) or for an item without a folder.
bool LibraryTreeSelectionWin(const NMTREEVIEWW& change, std::wstring& folder);
// Whether the tree's selected item has children (a double click on a leaf may play it).
bool LibraryTreeSelectionHasChildrenWin();
// The notifications of the tree and the lists that the dispatcher does not decide (cell texts,
// custom draw, expanding, focus, selection changes); true when answered.
bool LibraryNotifyWin(NMHDR* h, LRESULT& result);

// ---- commands ----

void LibraryReloadCommandWin(CommandId id, intptr_t lParam);      // F5: the shown folder again
void LibraryCycleSortCommandWin(CommandId id, intptr_t lParam);   // the next sort method
void LibraryBaseFolderCommandWin(CommandId id, intptr_t lParam);  // set, clear, go to
// Settings were changed elsewhere (the settings pages) from before: when the tree is built
// from any of them (the roots, the entries shown, the base folder), it is rebuilt.
void LibraryTreeSettingsEditedWin(const Settings& before);
void LibraryGoToCurrentCommandWin(CommandId id, intptr_t lParam);
void LibrarySelectAllCommandWin(CommandId id, intptr_t lParam);  // every row of the focused list
// The playable files of the tree's folder and its subfolders into the File view.
void LibrarySubfoldersCommandWin(CommandId id, intptr_t lParam);

// ---- for the library's other glue files and the shell ----

TrackList& LibraryFileView();
FolderTree& LibraryTree();
TreeEnv LibraryTreeEnvWin();
ListEnv LibraryListEnvWin();
// Lists browsed_folder in the File view (the tree's selection change, after a delay).
void LibraryListBrowsedFolderWin();
// The list windows repainted (the playing marks changed).
void LibraryRepaintListsWin();
// After the playable kinds changed (bass.dll loaded or unloaded): every open list follows, as
// PlayableChangeFollow decides, and the upcoming-track texts after them.
void LibraryPlayableChangedWin();
// The File view's rows for the exit save; false when what it shows cannot be restored.
bool LibraryFileRowsWin(void* ctx, std::vector<ListStateRow>& rows);

// The child windows the window layout places (null while a pane is shut).
struct LibraryWindows {
    HWND tree, files, playlist;
};
LibraryWindows LibraryWindowsWin();
