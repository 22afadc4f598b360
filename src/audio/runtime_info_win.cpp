#include "audio/runtime_info_win.h"

#include <string>

#include "audio/engine_win.h"
#include "audio/output.h"

namespace {

constexpr wchar_t kClass[] = L"ZuvoRuntimeInfo";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 250;

HWND g_owner = nullptr;
double g_dpiFactor = 1.0;
HWND g_window = nullptr;
HWND g_text = nullptr;
std::string g_shown;  // what the text box holds, so an unchanged text does not flicker

// The engine's lines with Windows line ends for the edit control.
std::string CurrentText() {
    const std::string text = EngineDebugText(EngineNow(), g_dpiFactor);
    std::string out;
    out.reserve(text.size() + 32);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void Refresh() {
    std::string text = CurrentText();
    if (text == g_shown) return;
    g_shown = std::move(text);
    SetWindowTextA(g_text, g_shown.c_str());
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            g_text = CreateWindowExW(
                0, L"EDIT", L"",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                0, 0, 0, hwnd, nullptr, nullptr, nullptr);
            SendMessageW(g_text, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
            SetTimer(hwnd, kRefreshTimer, kRefreshMs, nullptr);
            return 0;
        case WM_SIZE:
            MoveWindow(g_text, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimer) Refresh();
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kRefreshTimer);
            g_window = g_text = nullptr;
            g_shown.clear();
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RuntimeInfoStartWin(HWND owner, double dpiFactor) {
    g_owner = owner;
    g_dpiFactor = dpiFactor;
}

void RuntimeInfoCommandWin(CommandId, intptr_t) {
    if (g_window) {
        DestroyWindow(g_window);
        return;
    }
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClass;
        registered = RegisterClassExW(&wc) != 0;
        if (!registered) return;
    }
    const int w = static_cast<int>(300 * g_dpiFactor);
    const int h = static_cast<int>(320 * g_dpiFactor);
    g_window = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"Runtime information",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, w, h,
                               g_owner, nullptr, instance, nullptr);
    if (g_window) Refresh();
}
