// "Show subfolder contents" off the window thread: the walk (SubfolderContent) runs on a worker
// with its own copies of the settings, the playable extensions and the folder table, and posts
// its progress and its end to a message-only window; the window thread shows the progress in
// the status bar and fills the File view with the rows. Called on the window thread only.
#pragma once
#include <string>

// Stops a running walk, then starts one over folder and all its subfolders.
void SubfolderWalkStartWin(const std::wstring& folder);
// Stops the running walk and drops what it found: it ends before its next folder (a folder
// being read is read to its end) and is waited for. Whether one was running.
bool SubfolderWalkStopWin();
bool SubfolderWalkRunningWin();
