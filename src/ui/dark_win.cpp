// Dark mode: the dark title bar through dwmapi, the dark control themes through uxtheme (by
// name and by two unnamed exports), and the list headers painted by the program. Every entry
// point is looked up when it is needed; where the system lacks one, that step is skipped and
// the standard light drawing stays.
#include <windows.h>

#include <commctrl.h>

#include "base/dialog_win.h"
#include "config/settings_bits.h"
#include "ui/face_win.h"

namespace {

constexpr WORD kAllowDarkForWindow = 133;
constexpr WORD kPreferDarkApp = 135;
constexpr COLORREF kHeaderLine = RGB(0x50, 0x50, 0x50);
constexpr COLORREF kHeaderText = RGB(0xE0, 0xE0, 0xE0);
constexpr UINT_PTR kHeaderSubclass = 0x5A44;
constexpr COLORREF kPlainBack = RGB(0xD0, 0xD0, 0xD0);

using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using AllowDarkFn = BOOL(WINAPI*)(HWND, BOOL);
using PreferDarkFn = BOOL(WINAPI*)(BOOL);

struct DarkState {
    HWND main = nullptr;
    int osMajor = 10;
    double dpiFactor = 1.0;
    HWND (*listWindow)(void*, int) = nullptr;
    void* ctx = nullptr;
    bool applied = false;  // the window was last made dark (not undone)
};
DarkState d;

bool DarkOn() {
    return static_cast<uint32_t>(g_settings.stylez) & Style::DarkMode;
}

// A system DLL by its full path in the system folder, never from the search path.
HMODULE LoadSystemDll(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    return LoadLibraryW(path);
}

template <typename F>
F Proc(HMODULE m, const char* name) {
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

struct UxTheme {
    HMODULE module = nullptr;
    SetWindowThemeFn setTheme = nullptr;
    AllowDarkFn allowDark = nullptr;
    PreferDarkFn preferDark = nullptr;
    bool complete() const { return setTheme && allowDark && preferDark; }
    UxTheme() {
        module = LoadSystemDll(L"uxtheme.dll");
        setTheme = Proc<SetWindowThemeFn>(module, "SetWindowTheme");
        allowDark = Proc<AllowDarkFn>(module, MAKEINTRESOURCEA(kAllowDarkForWindow));
        preferDark = Proc<PreferDarkFn>(module, MAKEINTRESOURCEA(kPreferDarkApp));
    }
    ~UxTheme() {
        if (module) FreeLibrary(module);
    }
    UxTheme(const UxTheme&) = delete;
    UxTheme& operator=(const UxTheme&) = delete;
};

void DarkControl(const UxTheme& ux, HWND control) {
    if (!control) return;
    ux.setTheme(control, L"DarkMode_Explorer", nullptr);
    ux.allowDark(control, TRUE);
    SendMessageW(control, WM_THEMECHANGED, 0, 0);
}

// The header's custom draw: the window colour behind, a dark-grey line at each item's right
// edge, light text in the item's alignment.
LRESULT PaintHeader(NMCUSTOMDRAW* cd) {
    if (cd->dwDrawStage == CDDS_PREPAINT) {
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(g_settings.color_win));
        RECT rc;
        GetClientRect(cd->hdr.hwndFrom, &rc);
        FillRect(cd->hdc, &rc, brush);
        DeleteObject(brush);
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    if (cd->dwDrawStage == CDDS_POSTPAINT) {
        // The strip right of the last column, which the header fills in its own colour.
        RECT rc, last{};
        GetClientRect(cd->hdr.hwndFrom, &rc);
        const int n = static_cast<int>(SendMessageW(cd->hdr.hwndFrom, HDM_GETITEMCOUNT, 0, 0));
        if (n > 0 && SendMessageW(cd->hdr.hwndFrom, HDM_GETITEMRECT, n - 1,
                                  reinterpret_cast<LPARAM>(&last)))
            rc.left = last.right;
        if (rc.left < rc.right) {
            HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(g_settings.color_win));
            FillRect(cd->hdc, &rc, brush);
            DeleteObject(brush);
        }
        return CDRF_DODEFAULT;
    }
    if (cd->dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    RECT rc = cd->rc;
    HBRUSH line = CreateSolidBrush(kHeaderLine);
    RECT edge{rc.right - 1, rc.top, rc.right, rc.bottom};
    FillRect(cd->hdc, &edge, line);
    DeleteObject(line);
    const int p = static_cast<int>(4 * d.dpiFactor + 2);
    rc.left += p;
    rc.right -= p;
    rc.top += p / 3;
    wchar_t text[51] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 50;
    SendMessageW(cd->hdr.hwndFrom, HDM_GETITEMW, cd->dwItemSpec, reinterpret_cast<LPARAM>(&item));
    SetTextColor(cd->hdc, kHeaderText);
    SetBkMode(cd->hdc, TRANSPARENT);
    const UINT align = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT : DT_LEFT;
    DrawTextW(cd->hdc, text, -1, &rc, align | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    return CDRF_SKIPDEFAULT;
}

LRESULT CALLBACK ListWithDarkHeader(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    if (msg == WM_NOTIFY && DarkOn()) {
        auto* h = reinterpret_cast<NMHDR*>(lParam);
        if (h && h->code == NM_CUSTOMDRAW &&
            h->hwndFrom == reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0)))
            return PaintHeader(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void DarkHeader(const UxTheme* ux, HWND list) {
    if (!list) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header && ux && ux->setTheme) ux->setTheme(header, L"ItemsView", nullptr);
    SetWindowSubclass(list, ListWithDarkHeader, kHeaderSubclass, 0);
    if (header) InvalidateRect(header, nullptr, TRUE);
}

HWND List(int which) {
    return d.listWindow ? d.listWindow(d.ctx, which) : nullptr;
}

}  // namespace

void DarkModeStartWin(HWND mainWindow, int osMajorVersion, double dpiFactor,
                      HWND (*listWindow)(void*, int), void* ctx) {
    d = DarkState{mainWindow, osMajorVersion, dpiFactor, listWindow, ctx};
}

void ApplyDarkMode(bool childrenOnly, bool undo) {
    if (!DarkOn() && !undo) return;
    if (!childrenOnly) d.applied = !undo;
    const bool win10 = d.osMajor >= 10;
    if (!childrenOnly && win10) SetDarkFrameWin(d.main, !undo);
    UxTheme ux;
    if (!ux.complete()) {
        // Without the theme entry points the headers are still the program's own.
        if (!childrenOnly && !undo) DarkHeader(nullptr, List(1));
        if (!undo && List(2)) DarkHeader(nullptr, List(2));
        return;
    }
    if (win10) ux.preferDark(!undo);
    if (undo) return;
    if (!childrenOnly) {
        if (win10) {
            DarkControl(ux, List(0));
            DarkControl(ux, List(1));
        }
        DarkHeader(&ux, List(1));
    }
    if (HWND playlist = List(2)) {
        if (win10) DarkControl(ux, playlist);
        DarkHeader(&ux, playlist);
    }
}

void DarkModeFollowSettingsWin() {
    if (DarkOn() != d.applied) ApplyDarkMode(false, !DarkOn());
}

void ApplyDarkModeToDialog(HWND dialog, HWND control) {
    if (!DarkOn()) return;
    SetDarkFrameWin(dialog, true);
    if (!control || d.osMajor < 10) return;
    UxTheme ux;
    if (!ux.complete()) return;
    ux.preferDark(TRUE);
    DarkControl(ux, control);
}

void PaintDialogDarkWin(HWND dialog, DialogLook look) {
    if (!DarkOn()) return;
    if (look == DialogLook::Plain) {
        // "Some more dark mode in dialogs": the plain light-grey background, standard fields.
        if (g_settings.more_dark == 0) return;
        DarkDialogWin(dialog, DarkDialogColours{kPlainBack, GetSysColor(COLOR_WINDOWTEXT),
                                                CLR_INVALID, 0});
        return;
    }
    // The dialog and its statics in the window colour, its fields in the list colours.
    DarkDialogWin(dialog, DarkDialogColours{static_cast<COLORREF>(g_settings.color_win), kHeaderText,
                                            static_cast<COLORREF>(g_settings.color_back),
                                            static_cast<COLORREF>(g_settings.color_text)});
}
