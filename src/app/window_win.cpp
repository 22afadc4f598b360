// The main window procedure: the messages of the shell (close, session end, hand-over, the
// start-up and autosave timers). The command dispatch joins it as the commands land.
#include <windows.h>

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
            if (Win32FileOps().fileExists(nullptr, path)) g_shell.pendingEnqueue.push_back(path);
            break;
        case HandoverAction::Play:
            s.last_file = path;
            s.last_pos = 0;
            g_shell.lastPosAtStart = 0;
            break;
    }
}

void ShowMainWindow(HWND hwnd) {
    const Settings& s = g_settings;
    bool compact = s.compact_view & CompactView::On;
    ShowWindow(hwnd, s.maximized == 1 && !compact ? SW_MAXIMIZE : SW_SHOWDEFAULT);
    g_shell.startupPending = false;
}

void OnTimer(HWND hwnd, UINT_PTR id) {
    switch (id) {
        case kTimerListFolder:
            KillTimer(hwnd, id);
            // The file list lists browsed_folder here once it exists.
            if (g_shell.startupPending) SetTimer(hwnd, kTimerShowWindow, 10, nullptr);
            break;
        case kTimerShowLatest:
            KillTimer(hwnd, id);
            if (g_shell.startupPending) SetTimer(hwnd, kTimerShowWindow, 100, nullptr);
            break;
        case kTimerShowWindow:
            KillTimer(hwnd, id);
            if (g_shell.startupPending) ShowMainWindow(hwnd);
            break;
        case kTimerDelayedStart:
            // Playback of last_file at last_pos starts here once the engine exists.
            KillTimer(hwnd, id);
            break;
        case kTimerAutosave:
            // Saves only while playback runs; nothing plays before the engine exists.
            break;
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            if (!ConfirmAction(hwnd, 256)) return 0;
            Shutdown();
            DestroyWindow(hwnd);
            return 0;
        case WM_QUERYENDSESSION:
            Shutdown();
            return TRUE;
        case WM_COPYDATA:
            OnHandover(hwnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return TRUE;
        case WM_TIMER:
            OnTimer(hwnd, wParam);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
