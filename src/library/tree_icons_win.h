// The folder tree's image list: its small icons at the fixed image indices (folder_tree.h),
// drawn at `size` pixels.
#pragma once
#include <windows.h>

#include <commctrl.h>

HIMAGELIST TreeIconsWin(int size);
