#include "library/list_rename_win.h"

#include <windows.h>

#include <commctrl.h>

#include "config/settings.h"
#include "library/folder_ops.h"
#include "library/library_win.h"
#include "library/list_rename.h"
#include "library/track_list.h"

namespace {

AppHooks* g_app = nullptr;

HWND ListWindow() {
    return static_cast<HWND>(LibraryFileView().window);
}

int FocusedRow() {
    HWND list = ListWindow();
    if (!list) return -1;
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         LVNI_FOCUSED));
}

// F2: the label edit of the focused row; the main window's notification handler decides
// whether the list allows it.
void EditCommand(void*, CommandId, intptr_t) {
    const int row = FocusedRow();
    if (row >= 0) SendMessageW(ListWindow(), LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
}

// The edited name of the focused row: the file is renamed (or moved) and the folder listed
// again, the playing track followed to its new name. False when that fails.
bool Rename(void*, const std::wstring& typed) {
    TrackList& list = LibraryFileView();
    const int row = FocusedRow();
    std::wstring from;
    if (RowPath(list, row, from, false) != 1) return false;
    const std::wstring to = RenameTarget(list, row, typed);
    if (to.empty()) return false;
    if (to == from) return true;
    if (!MoveFileW(from.c_str(), to.c_str())) return false;
    if (SameTextNoCase(g_settings.last_file, from)) g_settings.last_file = to;
    if (g_app->listBrowsedFolder) g_app->listBrowsedFolder(g_app->ctx);
    return true;
}

}  // namespace

void ListRenameStartWin(AppHooks& hooks) {
    g_app = &hooks;
    hooks.renameRow = Rename;
    if (!hooks.command[kCmdRename]) hooks.command[kCmdRename] = EditCommand;
}
