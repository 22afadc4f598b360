// The main window procedure: turns window messages into calls of the dispatcher
// (app/dispatch.h); everything that decides lives there.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "base/fileops_win.h"

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
        case HandoverAction::Enqueue:
            // The play list opens and gets the row; until it exists the path is kept.
            s.playlist_win |= kPlaylistOpen;
            g_dispatch.focusedPane = kPanePlaylist;
            if (Win32FileOps().fileExists(nullptr, path)) g_shell.pendingEnqueue.push_back(path);
            // The pane takes what waits (opening first, with the focus), appended at its end.
            if (g_hooks.insertRows) {
                std::vector<std::wstring> paths;
                paths.swap(g_shell.pendingEnqueue);
                g_hooks.insertRows(g_hooks.ctx, kListPlaylist, paths, -1);
            }
            break;
        case HandoverAction::Play:
            s.last_file = path;
            s.last_pos = 0;
            g_shell.lastPosAtStart = 0;
            if (g_hooks.playPath) g_hooks.playPath(g_hooks.ctx, path);
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

bool Over(HWND child, POINT screen) {
    RECT r;
    return child && IsWindowVisible(child) && GetWindowRect(child, &r) && PtInRect(&r, screen);
}

// The list row under a screen point, -1 when there is none.
int RowAt(HWND list, POINT screen) {
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    return static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void OnDrop(HWND hwnd, HDROP drop) {
    POINT pt;
    DragQueryPoint(drop, &pt);
    ClientToScreen(hwnd, &pt);
    std::vector<std::wstring> files = DroppedFiles(drop);
    DragFinish(drop);
    CommandContext c = AppContext();
    if (Over(g_win.playList, pt))
        OnDroppedFiles(c, DropTarget::Playlist, files, RowAt(g_win.playList, pt));
    else if (Over(g_win.fileList, pt))
        OnDroppedFiles(c, DropTarget::FileList, files, RowAt(g_win.fileList, pt));
    else
        OnDroppedFiles(c, DropTarget::Elsewhere, files, -1);
}

bool ListOf(HWND from, ListId& list) {
    if (!from) return false;
    if (from == g_win.fileList)
        list = kListFiles;
    else if (from == g_win.playList)
        list = kListPlaylist;
    else if (from == g_win.insertList)
        list = kListInsert;
    else
        return false;
    return true;
}

bool Forward(AppMessage which, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    intptr_t r = 0;
    if (!g_hooks.message || !g_hooks.message(g_hooks.ctx, which, wParam, lParam, &r)) return false;
    result = r;
    return true;
}

LRESULT OnTreeNotify(NMHDR* h, WPARAM wParam, LPARAM lParam) {
    CommandContext c = AppContext();
    switch (h->code) {
        case TVN_SELCHANGEDW: {
            auto* tv = reinterpret_cast<NMTREEVIEWW*>(h);
            if (!g_hooks.treeItemPath) return 0;
            std::wstring folder = g_hooks.treeItemPath(g_hooks.ctx, tv->itemNew.lParam);
            if (!folder.empty()) OnTreeSelectionChanged(c, folder);
            return 0;
        }
        case NM_SETFOCUS:
            OnTreeFocus(c);
            return 0;
    }
    LRESULT r = 0;
    Forward(AppMessage::TreeNotify, wParam, lParam, r);
    return r;
}

LRESULT OnListNotify(NMHDR* h, ListId list, WPARAM wParam, LPARAM lParam) {
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
    }
    LRESULT r = 0;
    Forward(AppMessage::ListNotify, wParam, lParam, r);
    return r;
}

LRESULT OnNotify(WPARAM wParam, LPARAM lParam) {
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
    if (h->hwndFrom && h->hwndFrom == g_win.folderTree) return OnTreeNotify(h, wParam, lParam);
    ListId list;
    if (ListOf(h->hwndFrom, list)) return OnListNotify(h, list, wParam, lParam);
    return 0;
}

void OnSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (g_win.toolbar) {
        SendMessageW(g_win.toolbar, TB_AUTOSIZE, 0, 0);
        SendMessageW(g_win.toolbar, WM_SIZE, wParam, lParam);
    }
    if (g_win.statusBar) SendMessageW(g_win.statusBar, WM_SIZE, wParam, lParam);
    CommandContext c = AppContext();
    OnSized(c, wParam == SIZE_MINIMIZED);
    (void)hwnd;
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (msg) {
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
            OnSize(hwnd, wParam, lParam);
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
        case WM_DROPFILES:
            OnDrop(hwnd, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(wParam, lParam);
        case WM_MOUSEMOVE:
            if (Forward(AppMessage::MouseMove, wParam, lParam, result)) return result;
            break;
        case WM_LBUTTONDOWN:
            if (Forward(AppMessage::LeftDown, wParam, lParam, result)) return result;
            break;
        case WM_LBUTTONUP:
            if (Forward(AppMessage::LeftUp, wParam, lParam, result)) return result;
            break;
        case WM_LBUTTONDBLCLK:
            if (Forward(AppMessage::LeftDoubleClick, wParam, lParam, result)) return result;
            break;
        case WM_RBUTTONDOWN:
            if (Forward(AppMessage::RightButton, wParam, lParam, result)) return result;
            break;
        case WM_CTLCOLORSTATIC:
            if (Forward(AppMessage::CtlColorStatic, wParam, lParam, result)) return result;
            break;
        case MM_WOM_OPEN:
            if (Forward(AppMessage::WaveOpen, wParam, lParam, result)) return result;
            break;
        case MM_WOM_DONE:
            if (Forward(AppMessage::WaveDone, wParam, lParam, result)) return result;
            break;
        case WM_USER:
            if (wParam == 760 && Forward(AppMessage::TrayIcon, wParam, lParam, result))
                return result;
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
