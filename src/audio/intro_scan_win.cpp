// The modeless intro scan window: a start slider (0..98 %), a length slider (2..120 half
// seconds, shown in seconds), a progress bar over the length and the Start, Stop and Next
// buttons. Its timer 555 drives the scan logic of intro_scan.cpp.
#include <windows.h>
// MM_WOM_DONE
#include <mmsystem.h>
// the trackbar and progress bar classes
#include <commctrl.h>

#include <cstdio>

#include "audio/intro_scan_win.h"

#include "audio/engine_win.h"
#include "audio/intro_scan.h"
#include "base/dialog_win.h"
#include "base/window_pos.h"
#include "config/settings.h"

namespace {

constexpr wchar_t kClass[] = L"ZuvoIntroScan";
enum : int {
    kIdStartSlider = 101,
    kIdLengthSlider,
    kIdStartText,
    kIdLengthText,
    kIdProgress,
    kIdStart,
    kIdStop,
    kIdNext,
};

HWND g_owner = nullptr;
HWND g_wnd = nullptr;
HWND g_lastFocus = nullptr;  // the control with the keyboard when the window was left
IntroScan g_scan;

HWND Item(int id) {
    return GetDlgItem(g_wnd, id);
}

void ShowSliderTexts() {
    wchar_t text[64];
    std::swprintf(text, 64, L"Start at: %d %%", IntroStartPercent(g_settings));
    SetWindowTextW(Item(kIdStartText), text);
    const int half = IntroLength(g_settings);
    std::swprintf(text, 64, L"Length: %d%ls s", half / 2, half % 2 ? L".5" : L"");
    SetWindowTextW(Item(kIdLengthText), text);
    SendMessageW(Item(kIdProgress), PBM_SETRANGE32, 0, half);
}

// The toolbar's intro scan button and the lists' playing marks follow the window and the scan.
void ShowRunning() {
    const EngineHost& h = EngineNow().io.host;
    if (h.introScanChanged) h.introScanChanged(h.ctx);
}

// ---- IntroScanOps ----

bool StartSelected(void*, int percent) {
    const EngineHost& h = EngineNow().io.host;
    return h.playSelected && h.playSelected(h.ctx, percent);
}
bool StartNext(void*, int percent) {
    const EngineHost& h = EngineNow().io.host;
    return h.playNext && h.playNext(h.ctx, percent);
}
void StartTimer(void*) {
    SetTimer(g_wnd, kIntroScanTimer, kIntroScanTickMs, nullptr);
}
void StopTimer(void*) {
    KillTimer(g_wnd, kIntroScanTimer);
}
void Progress(void*, int half) {
    SendMessageW(Item(kIdProgress), PBM_SETPOS, half, 0);
}
void EnableStart(void*, bool on) {
    // A disabled control loses the keyboard to no one: Stop takes it while the scan runs, and
    // Start again when it ends.
    HWND start = Item(kIdStart), focus = GetFocus();
    if (!on && focus == start) SetFocus(Item(kIdStop));
    EnableWindow(start, on);
    if (on && (focus == Item(kIdStop) || (!focus && GetActiveWindow() == g_wnd))) SetFocus(start);
}
void Wait(void*, uint32_t ms) {
    Sleep(ms);
}
void DropWaveMessages(void*) {
    MSG m;
    while (PeekMessageW(&m, g_owner, MM_WOM_DONE, MM_WOM_DONE, PM_REMOVE)) {
    }
}

const IntroScanOps kOps{nullptr,  StartSelected, StartNext, StartTimer,      StopTimer,
                        Progress, EnableStart,   Wait,      DropWaveMessages};

void CreateControls() {
    DialogControlWin(g_wnd, L"STATIC", L"", 0, 10, 10, 260, 18, kIdStartText);
    HWND start = DialogControlWin(g_wnd, TRACKBAR_CLASSW, L"", TBS_HORZ | WS_TABSTOP, 10, 28, 260,
                                  28, kIdStartSlider);
    SendMessageW(start, TBM_SETRANGE, TRUE, MAKELPARAM(0, 98));
    SendMessageW(start, TBM_SETPOS, TRUE, IntroStartPercent(g_settings));
    DialogControlWin(g_wnd, L"STATIC", L"", 0, 10, 62, 260, 18, kIdLengthText);
    HWND len = DialogControlWin(g_wnd, TRACKBAR_CLASSW, L"", TBS_HORZ | WS_TABSTOP, 10, 80, 260, 28,
                                kIdLengthSlider);
    SendMessageW(len, TBM_SETRANGE, TRUE, MAKELPARAM(2, 120));
    SendMessageW(len, TBM_SETPOS, TRUE, IntroLength(g_settings));
    DialogControlWin(g_wnd, PROGRESS_CLASSW, L"", 0, 10, 116, 260, 16, kIdProgress);
    DialogControlWin(g_wnd, L"BUTTON", L"Start", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 142, 80, 26,
                     kIdStart);
    DialogControlWin(g_wnd, L"BUTTON", L"Stop", BS_PUSHBUTTON | WS_TABSTOP, 100, 142, 80, 26,
                     kIdStop);
    DialogControlWin(g_wnd, L"BUTTON", L"Next", BS_PUSHBUTTON | WS_TABSTOP, 190, 142, 80, 26,
                     kIdNext);
    ShowSliderTexts();
}

LRESULT CALLBACK IntroProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            g_wnd = hwnd;
            CreateControls();
            ModelessOpenedWin(hwnd);
            return 0;
        case WM_ACTIVATE:
            // The keyboard goes to the control that had it, or to Start, as in a dialog.
            if (LOWORD(wParam) != WA_INACTIVE) {
                HWND focus = g_lastFocus ? g_lastFocus : Item(kIdStart);
                if (!IsWindowEnabled(focus)) focus = Item(kIdStartSlider);
                SetFocus(focus);
            } else if (HWND f = GetFocus(); f && IsChild(hwnd, f)) {
                g_lastFocus = f;
            }
            return 0;
        case WM_HSCROLL: {
            // Each slider writes its byte of intro_scan at once.
            auto pos =
                static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
            if (reinterpret_cast<HWND>(lParam) == Item(kIdStartSlider))
                SetIntroStartPercent(g_settings, pos);
            else if (reinterpret_cast<HWND>(lParam) == Item(kIdLengthSlider))
                SetIntroLength(g_settings, pos);
            ShowSliderTexts();
            return 0;
        }
        case WM_COMMAND: {
            Engine e = EngineNow();
            switch (LOWORD(wParam)) {
                case kIdStart:
                    IntroScanStart(g_scan, e, kOps);
                    break;
                case kIdStop:
                    IntroScanStop(g_scan, e, kOps);
                    break;
                case kIdNext:
                    IntroScanNext(g_scan);
                    break;
                case IDCANCEL:  // Esc
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                    return 0;
            }
            ShowRunning();
            return 0;
        }
        case WM_TIMER:
            if (wParam == kIntroScanTimer) {
                Engine e = EngineNow();
                IntroScanTick(g_scan, e, kOps);
                if (!g_scan.running) ShowRunning();  // the end of the list
            }
            return 0;
        case WM_CLOSE: {
            RECT r{};
            GetWindowRect(hwnd, &r);
            g_settings.intro_sc_pos =
                IntroScanClose(g_scan, kOps, r.left, r.top, g_settings.intro_sc_pos);
            DestroyWindow(hwnd);
            return 0;
        }
        case WM_DESTROY:
            ModelessClosedWin(hwnd);
            g_wnd = g_lastFocus = nullptr;
            ShowRunning();
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void IntroScanStartWin(HWND owner) {
    g_owner = owner;
}

void IntroScanCommandWin(CommandId, intptr_t) {
    if (g_wnd) {
        SetForegroundWindow(g_wnd);
        return;
    }
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    (void)UnpackWindowPos(g_settings.intro_sc_pos, x, y);
    g_scan = IntroScan{};
    HWND w = ToolWindowWin(kClass, IntroProc, L"Intro scan", x, y, 280, 178, g_owner);
    if (!w) return;
    ShowWindow(w, SW_SHOW);
    ShowRunning();
}

bool IntroScanWindowOpen() {
    return g_wnd != nullptr;
}

bool IntroScanRunningWin() {
    return g_wnd != nullptr && g_scan.running;
}

void IntroScanCloseWin() {
    if (g_wnd) SendMessageW(g_wnd, WM_CLOSE, 0, 0);
}

void IntroScanNextWin() {
    if (g_wnd) IntroScanNext(g_scan);
}
