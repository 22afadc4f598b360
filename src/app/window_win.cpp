// The main window procedure: turns window messages into calls of the dispatcher
// (app/dispatch.h); everything that decides lives there.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "app/view_texts_win.h"
#include "audio/engine_win.h"
#include "base/fileops_win.h"
#include "library/library_win.h"
#include "library/row_drag_win.h"
#include "ui/face_win.h"
#include "ui/ui_glue_win.h"

namespace {

// The running side of the hand-over.
void OnHandover(HWND hwnd, const COPYDATASTRUCT* cd) {
    if (!cd) return;
    std::wstring path = HandoverPath(cd->lpData, cd->cbData);
    Settings& s = g_settings;
    switch (DecideHandover(path, cd->dwData)) {
        case HandoverAction::ShowWindow:
            ShowWindow(hwnd, SW_SHOWNORMAL);
            SetForegroundWindow(hwnd);
            break;
        case HandoverAction::Enqueue: {
            // The Playlist view opens (with the focus) and gets the row at its end.
            s.playlist_win |= kPlaylistOpen;
            std::vector<std::wstring> paths;
            if (Win32FileOps().fileExists(nullptr, path)) paths.push_back(path);
            EnqueueWin(std::move(paths));
            break;
        }
        case HandoverAction::Play:
            s.last_file = path;
            s.last_pos = 0;
            g_shell.lastPosAtStart = 0;
            if (g_wiring.tracks.playPath) g_wiring.tracks.playPath(g_wiring.tracks.ctx, path);
            break;
    }
}

std::vector<std::wstring> DroppedFiles(HDROP drop) {
    std::vector<std::wstring> files;
    UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        UINT len = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring f(len, L'\0');
        DragQueryFileW(drop, i, f.data(), len + 1);
        files.push_back(std::move(f));
    }
    return files;
}

void OnDrop(HDROP drop) {
    POINT pt;
    DragQueryPoint(drop, &pt);
    ClientToScreen(g_win.mainWindow, &pt);
    std::vector<std::wstring> files = DroppedFiles(drop);
    DragFinish(drop);
    CommandContext c = AppContext();
    ListId list;
    int row = -1;
    if (!LibraryListAtWin(pt, list, row))
        OnDroppedFiles(c, DropTarget::Elsewhere, files, -1);
    else
        OnDroppedFiles(c, list == kListPlaylist ? DropTarget::Playlist : DropTarget::FileList,
                       files, row);
}

// The notifications the library answers itself: cell texts, custom draw, expanding, focus and
// selection changes.
LRESULT ToLibrary(NMHDR* h) {
    LRESULT r = 0;
    (void)LibraryNotifyWin(h, r);
    return r;
}

LRESULT OnTreeNotify(NMHDR* h) {
    CommandContext c = AppContext();
    switch (h->code) {
        case TVN_SELCHANGEDW: {
            std::wstring folder;
            if (LibraryTreeSelectionWin(*reinterpret_cast<NMTREEVIEWW*>(h), folder))
                OnTreeSelectionChanged(c, folder);
            return 0;
        }
        case NM_SETFOCUS:
            OnPaneFocus(c, kPaneTree);
            return 0;
        case NM_DBLCLK:
            OnTreeDoubleClick(c, LibraryTreeSelectionHasChildrenWin());
            return 0;
    }
    return ToLibrary(h);
}

LRESULT OnListNotify(NMHDR* h, ListId list) {
    CommandContext c = AppContext();
    switch (h->code) {
        case NM_DBLCLK:
            OnListDoubleClick(c, list);
            return 0;
        case LVN_COLUMNCLICK:
            OnListColumnClick(c, list, reinterpret_cast<NMLISTVIEW*>(h)->iSubItem);
            return 0;
        case LVN_BEGINDRAG:
            OnListBeginDrag(c, list);
            return 0;
        case LVN_BEGINLABELEDITW:
            return OnBeginLabelEdit(c, list) ? FALSE : TRUE;
        case LVN_ENDLABELEDITW:
            OnEndLabelEdit(c, reinterpret_cast<NMLVDISPINFOW*>(h)->item.pszText);
            return FALSE;  // the list shows the renamed row itself
        case NM_SETFOCUS:
            OnPaneFocus(c, static_cast<Pane>(int{kPaneFiles} + int{list}));
            break;  // the library learns which list has the focus too
    }
    return ToLibrary(h);
}

LRESULT OnNotify(LPARAM lParam) {
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (!h) return 0;
    if (h->code == TTN_GETDISPINFOW) {
        // Toolbar tooltips: the button's command is the tool's id.
        static std::wstring tip;
        auto* di = reinterpret_cast<NMTTDISPINFOW*>(h);
        tip = ToolbarTooltip(g_lang, g_settings, static_cast<CommandId>(h->idFrom));
        di->lpszText = tip.data();
        return 0;
    }
    if (LibraryIsTreeWindowWin(h->hwndFrom)) return OnTreeNotify(h);
    ListId list;
    if (LibraryListOfWindowWin(h->hwndFrom, list)) return OnListNotify(h, list);
    return 0;
}

void OnSize(WPARAM wParam, LPARAM lParam) {
    CommandContext c = AppContext();
    OnSized(c, wParam == SIZE_MINIMIZED, !FaceLaidOutAtWin(LOWORD(lParam), HIWORD(lParam)));
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_CAPTURECHANGED:
            // Rows dragged out of a list: the main window holds the mouse until the drop.
            if (RowDragMouseWin(msg, lParam)) return 0;
            break;
        case WM_CLOSE: {
            CommandContext c = AppContext();
            OnCloseRequest(c);
            return 0;
        }
        case WM_QUERYENDSESSION:
            Shutdown();
            DestroyWindow(hwnd);
            return TRUE;
        case WM_SIZE:
            OnSize(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                CommandContext c = AppContext();
                OnActivated(c);
            }
            return 0;
        case WM_COMMAND: {
            CommandContext c = AppContext();
            RunCommand(c, LOWORD(wParam), lParam);
            return 0;
        }
        case WM_TIMER: {
            CommandContext c = AppContext();
            RunTimer(c, static_cast<unsigned>(wParam));
            return 0;
        }
        case WM_HOTKEY: {
            CommandContext c = AppContext();
            OnHotkey(c, static_cast<int>(wParam));
            return 0;
        }
        case WM_COPYDATA:
            OnHandover(hwnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return TRUE;
        case WM_CONTEXTMENU:
            if (ContextMenuWin(reinterpret_cast<HWND>(wParam), lParam)) return 0;
            break;
        case WM_USER:
            if (wParam == kTrayIconId) {
                TrayCallbackWin(lParam);
                return 0;
            }
            break;
        case WM_DROPFILES:
            OnDrop(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(lParam);
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (FaceCtlColorStaticWin(reinterpret_cast<HDC>(wParam),
                                      reinterpret_cast<HWND>(lParam), brush))
                return brush;
            break;
        }
        case WM_NCHITTEST: {
            LRESULT hit = 0;
            if (FaceHitTestWin(lParam, hit)) return hit;
            break;
        }
        case MM_WOM_OPEN:
        case MM_WOM_DONE:
            EngineWaveMessageWin(msg, wParam, lParam);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
