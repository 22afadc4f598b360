// The folder table over the real file system, the drives, the shell's special folders and the
// network neighbourhood.
#pragma once
#include "library/folder_ops.h"

// The Win32 table. errorLog is left null: the caller points it at error.log.
FolderOps Win32FolderOps();
