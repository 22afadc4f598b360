#include "library/row_drag_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "library/insert_view_win.h"
#include "library/library_win.h"
#include "library/playlist_view_win.h"
#include "library/row_drag.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"

namespace {

HWND g_capture = nullptr;
bool g_dragging = false;
ListId g_source = kListFiles;

HWND ListWindow(ListId id) {
    const LibraryWindows w = LibraryWindowsWin();
    return id == kListFiles ? w.files : id == kListPlaylist ? w.playlist : InsertViewListWin();
}

TrackList& Model(ListId id) {
    return id == kListFiles      ? LibraryFileView()
           : id == kListPlaylist ? PlaylistViewModelWin()
                                 : InsertViewModelWin();
}

// The list under a screen point and the row there (-1: none, below the last row).
bool ListAt(POINT screen, ListId& id, int& row) {
    const HWND under = WindowFromPoint(screen);
    for (ListId l : {kListFiles, kListPlaylist, kListInsert}) {
        const HWND w = ListWindow(l);
        if (!w || (under != w && !IsChild(w, under))) continue;
        LVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(w, &hit.pt);
        row = static_cast<int>(SendMessageW(w, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        id = l;
        return true;
    }
    return false;
}

RowDrop DropAt(POINT screen, ListId& target, int& row) {
    const bool over = ListAt(screen, target, row);
    return RowDropAction(g_source, over, target, row);
}

void End() {
    g_dragging = false;
    if (GetCapture() == g_capture) ReleaseCapture();
}

void Drop(POINT screen) {
    ListId target = kListFiles;
    int row = -1;
    switch (DropAt(screen, target, row)) {
        case RowDrop::None:
            return;
        case RowDrop::Move: {
            TrackList& list = Model(target);
            list.focusedRow = row;
            (void)MoveRowsToFocus(SequencerWin(), list);
            return;
        }
        case RowDrop::Insert: {
            const TrackList& from = Model(g_source);
            std::vector<std::wstring> files;
            for (int r = 0; r < static_cast<int>(from.rows.size()); ++r) {
                std::wstring path;
                if (from.rows[static_cast<size_t>(r)].selected && RowPath(from, r, path, false) == 1)
                    files.push_back(path);
            }
            const ListOps ops = ListOpsWin();
            if (!files.empty() && ops.insertRows) ops.insertRows(ops.ctx, target, files, row);
            return;
        }
    }
}

}  // namespace

void RowDragBeginWin(HWND captureWindow, ListId source) {
    bool any = false;
    for (const ListRow& r : Model(source).rows) any |= r.selected;
    if (!any) return;
    g_capture = captureWindow;
    g_source = source;
    g_dragging = true;
    SetCapture(captureWindow);
}

bool RowDragMouseWin(UINT msg, LPARAM) {
    if (!g_dragging) return false;
    POINT pt{};
    GetCursorPos(&pt);
    switch (msg) {
        case WM_MOUSEMOVE: {
            ListId target = kListFiles;
            int row = -1;
            const bool ok = DropAt(pt, target, row) != RowDrop::None;
            SetCursor(LoadCursorW(nullptr, ok ? IDC_HAND : IDC_NO));
            return true;
        }
        case WM_LBUTTONUP:
            End();
            Drop(pt);
            return true;
        case WM_RBUTTONDOWN:
            End();
            return false;  // the button goes on to open its menu
        case WM_CAPTURECHANGED:
            g_dragging = false;
            return false;
        default:
            return false;
    }
}
