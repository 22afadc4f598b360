#include "library/list_rename_win.h"

#include <windows.h>

#include <commctrl.h>

#include "config/settings.h"
#include "library/folder_ops.h"
#include "library/library_win.h"
#include "library/list_rename.h"
#include "library/track_list.h"

void ListRenameCommandWin(CommandId, intptr_t) {
    const TrackList& list = LibraryFileView();
    if (list.window && list.focusedRow >= 0)
        SendMessageW(static_cast<HWND>(list.window), LVM_EDITLABELW,
                     static_cast<WPARAM>(list.focusedRow), 0);
}

bool ListRenameWin(const std::wstring& typed) {
    TrackList& list = LibraryFileView();
    const int row = list.focusedRow;
    std::wstring from;
    if (RowPath(list, row, from, false) != 1) return false;
    const std::wstring to = RenameTarget(list, row, typed);
    if (to.empty()) return false;
    if (to == from) return true;
    if (!MoveFileW(from.c_str(), to.c_str())) return false;
    if (SameTextNoCase(g_settings.last_file, from)) g_settings.last_file = to;
    LibraryListBrowsedFolderWin();
    return true;
}
