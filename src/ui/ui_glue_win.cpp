#include "ui/ui_glue_win.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include <cstring>

#include "base/window_timers.h"
#include "ui/face_win.h"

namespace {

HWND g_main = nullptr;
HINSTANCE g_instance = nullptr;
bool g_trayShown = false;

void AppendItems(HMENU h, const Menu& menu) {
    for (const MenuItem& i : menu) {
        switch (i.kind) {
            case MenuItem::Separator:
                AppendMenuW(h, MF_SEPARATOR, 0, nullptr);
                break;
            case MenuItem::Submenu: {
                HMENU sub = CreatePopupMenu();
                if (!sub) break;
                AppendItems(sub, i.items);
                AppendMenuW(h, MF_POPUP | MF_STRING | (i.greyed ? MF_GRAYED : 0),
                            reinterpret_cast<UINT_PTR>(sub), i.text.c_str());
                break;
            }
            case MenuItem::Command:
                AppendMenuW(h, MF_STRING | (i.checked ? MF_CHECKED : 0) | (i.greyed ? MF_GRAYED : 0),
                            i.id, i.text.c_str());
                break;
        }
    }
}

NOTIFYICONDATAW TrayData(UINT flags) {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = g_main;
    d.uID = kTrayIconId;
    d.uFlags = flags;
    return d;
}

}  // namespace

void UiGlueStartWin(HWND mainWindow, HINSTANCE instance) {
    g_main = mainWindow;
    g_instance = instance;
}

void SetTitleWin(const std::wstring& title) {
    wchar_t shown[128] = {};
    GetWindowTextW(g_main, shown, 128);
    if (TitleNeedsUpdate(shown, title)) SetWindowTextW(g_main, title.c_str());
}

void ShowMessageWin(const wchar_t* text, int ms) {
    FaceSetStatusTextWin(2, text ? text : L"");
    if (ms > 0) SetTimer(g_main, kTimerStatusMessage, static_cast<UINT>(ms), nullptr);
}

bool CopyToClipboardWin(const std::wstring& text) {
    // Another program may hold the clipboard for a moment (a reader, a clipboard manager, Wine's
    // own export of the last copy to X): try again for up to a fifth of a second.
    bool open = false;
    for (int attempt = 0; attempt < 20 && !(open = OpenClipboard(g_main)); ++attempt) Sleep(10);
    if (!open) return false;
    EmptyClipboard();
    constexpr size_t kBytes = 4000;  // room for kNowPlayingMax characters and the NUL
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                              std::max(kBytes, (text.size() + 1) * sizeof(wchar_t)));
    bool ok = false;
    if (mem) {
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), text.size() * sizeof(wchar_t));
            GlobalUnlock(mem);
            ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
        }
        if (!ok) GlobalFree(mem);
    }
    CloseClipboard();
    return ok;
}

void OpenUrlWin(const std::string& url) {
    if (!url.empty()) ShellExecuteA(g_main, "open", url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

void LaunchWin(const LaunchPlan& plan, const std::wstring& ownPath) {
    if (!plan.run || plan.program.empty()) return;
    const wchar_t* args = plan.arguments.empty() ? nullptr : plan.arguments.c_str();
    const auto run = [&](const std::wstring& program) {
        return reinterpret_cast<INT_PTR>(
            ShellExecuteW(g_main, nullptr, program.c_str(), args, nullptr, SW_SHOWDEFAULT));
    };
    if (run(plan.program) > 32) return;
    const std::wstring moved = OnOwnDrive(plan.program, ownPath);
    if (!moved.empty()) run(moved);  // a failure here stays silent
}

HMENU BuildMenuWin(const Menu& menu) {
    HMENU h = CreatePopupMenu();
    if (h) AppendItems(h, menu);
    return h;
}

void TrackMenuWin(const Menu& menu, POINT pt) {
    HMENU h = BuildMenuWin(menu);
    if (!h) return;
    TrackPopupMenu(h, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, g_main, nullptr);
    DestroyMenu(h);
}

void RegisterHotkeysWin(bool unregister, int preset, const std::string& def) {
    for (int id = 1; id <= kHotkeySlots; ++id) UnregisterHotKey(g_main, id);
    if (unregister || preset == 0) return;
    for (const HotkeyRegistration& r : HotkeyRegistrations(preset, def))
        RegisterHotKey(g_main, r.id, r.modifiers, r.key);  // a taken combination is ignored
}

bool TrayAddWin() {
    NOTIFYICONDATAW d = TrayData(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    d.uCallbackMessage = WM_USER;
    d.hIcon = LoadIconW(g_instance, L"ICON1");
    if (!d.hIcon) d.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wcsncpy(d.szTip, kIdleTitle, std::size(d.szTip) - 1);
    g_trayShown = Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
    return g_trayShown;
}

void TrayRemoveWin() {
    NOTIFYICONDATAW d = TrayData(0);
    Shell_NotifyIconW(NIM_DELETE, &d);
    g_trayShown = false;
}

void TraySetTipWin(const std::wstring& text) {
    if (!g_trayShown) return;
    NOTIFYICONDATAW d = TrayData(NIF_TIP);
    wcsncpy(d.szTip, text.substr(0, 127).c_str(), std::size(d.szTip) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &d);
}

bool TrayShownWin() {
    return g_trayShown;
}
