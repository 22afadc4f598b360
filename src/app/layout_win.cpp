// The provisional layout of the main window's children: LayOutMainWindow's rectangles applied
// to the tree and the lists on every WM_SIZE and whenever a pane comes or goes.
#include <windows.h>

#include "app/app_win.h"
#include "app/layout.h"
#include "library/library_win.h"

namespace {

void Place(HWND child, const Rect& r) {
    if (child) MoveWindow(child, r.x, r.y, r.w, r.h, TRUE);
}

}  // namespace

void LayoutMainWindowWin() {
    RECT rc;
    if (!g_win.mainWindow || !GetClientRect(g_win.mainWindow, &rc)) return;
    const LibraryWindows w = LibraryWindowsWin();
    // No toolbar or status bar yet: the lists take the whole height.
    const MainLayout l = LayOutMainWindow(g_settings, rc.right, rc.bottom, 0, 0, w.playlist);
    if (w.tree) ShowWindow(w.tree, l.treeShown ? SW_SHOWNA : SW_HIDE);
    if (l.treeShown) Place(w.tree, l.tree);
    Place(w.files, l.files);
    Place(w.playlist, l.playlist);
}
