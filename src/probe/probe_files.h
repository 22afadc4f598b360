// A FileOps table over the local file system for the probes: paths are wide strings holding
// native (Linux) paths.
#pragma once
#include <string>

#include "base/fileops.h"

FileOps StdFileOps();

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);
