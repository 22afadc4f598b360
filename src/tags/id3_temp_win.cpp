#include "tags/id3_temp_win.h"

#include <windows.h>

#include <cstring>

#include "tags/id3.h"

void Id3DeleteTempPicture() {
    char path[400];  // the program's path limit
    const DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n + sizeof kId3TempPictureName > sizeof path) return;
    std::memcpy(path + n, kId3TempPictureName, sizeof kId3TempPictureName);
    DeleteFileA(path);
}
