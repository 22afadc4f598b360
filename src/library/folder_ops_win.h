// The folder table over the real file system, the drives, the shell's special folders and the
// network neighbourhood.
#pragma once
#include "library/folder_ops.h"

// The Win32 table. errorLog is left null: the caller points it at error.log.
FolderOps Win32FolderOps();

// The folder tree's roots ask the shell for the drives with their labels and for five special
// folders, which takes a noticeable part of the start-up (the shell's namespace loads, each
// volume is asked for its label). This starts reading them on a worker thread at once, while
// the main window is being created; call it once, early.
void FolderRootsPrefetchWin();
// The Win32 table for the tree's first roots: the drives and special folders come from that
// read (waiting for it to end), each answer once; later questions go to the machine again.
FolderOps Win32FolderOpsForFirstRoots();
