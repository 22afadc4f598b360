// An in-memory folder set behind a FileOps table, for tests of code that reads and writes files.
#pragma once
#include <map>
#include <set>
#include <string>

#include "base/fileops.h"

struct MemFs {
    std::map<std::wstring, std::string> files;  // full path -> content
    std::set<std::wstring> folders;             // existing folders
    std::set<std::wstring> readOnlyFolders;     // files cannot be created or replaced here
};

// A FileOps table over fs (which must outlive it).
FileOps MemFsOps(MemFs& fs);
