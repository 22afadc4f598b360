#include "base/dialog_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "base/dll_win.h"

std::vector<WORD> DialogTemplateWin(const wchar_t* title, short cx, short cy, DWORD style,
                                    DWORD exStyle) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = style;
    d->dwExtendedStyle = exStyle;
    d->cx = cx;
    d->cy = cy;
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard dialog class
    for (const wchar_t* c = title; *c; ++c) t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    return t;
}

INT_PTR RunDialogWin(const std::vector<WORD>& tpl, HWND owner, DLGPROC proc, LPARAM param) {
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(tpl.data()), owner, proc,
                                   param);
}

HWND OpenDialogWin(const std::vector<WORD>& tpl, HWND owner, DLGPROC proc, LPARAM param) {
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(tpl.data()), owner, proc,
                                      param);
}

HWND MessageWindowWin(const wchar_t* cls, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    return CreateWindowExW(0, cls, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

HWND ToolWindowWin(const wchar_t* cls, WNDPROC proc, const wchar_t* title, int x, int y, int w,
                   int h, HWND owner, DWORD exStyle) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    exStyle |= WS_EX_TOOLWINDOW;
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return CreateWindowExW(exStyle, cls, title, style, x, y, r.right - r.left, r.bottom - r.top,
                           owner, nullptr, wc.hInstance, nullptr);
}

namespace {
std::vector<HWND> g_modeless;  // window thread only
}  // namespace

void ModelessOpenedWin(HWND w) {
    if (w && std::find(g_modeless.begin(), g_modeless.end(), w) == g_modeless.end())
        g_modeless.push_back(w);
}

void ModelessClosedWin(HWND w) {
    std::erase(g_modeless, w);
}

bool ModelessDialogMessageWin(MSG& msg) {
    for (HWND w : g_modeless)
        if (msg.hwnd == w || IsChild(w, msg.hwnd)) return IsDialogMessageW(w, &msg);
    return false;
}

void SizeDialogClientWin(HWND dlg, int w, int h) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE));
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, static_cast<DWORD>(GetWindowLongW(dlg, GWL_EXSTYLE)));
    const int ww = r.right - r.left, wh = r.bottom - r.top;
    if (!(style & DS_CENTER)) {
        SetWindowPos(dlg, nullptr, 0, 0, ww, wh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // The dialog was centred while it was still empty, which put its corner at the centre of
    // its owner: the sized dialog is centred over the owner instead, inside the work area of
    // the owner's monitor.
    RECT o{};
    HWND owner = GetWindow(dlg, GW_OWNER);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!owner || !GetWindowRect(owner, &o) ||
        !GetMonitorInfoW(MonitorFromRect(&o, MONITOR_DEFAULTTONEAREST), &mi)) {
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &mi.rcWork, 0)) return;
        if (!owner) o = mi.rcWork;
    }
    const RECT& a = mi.rcWork;
    const int x = std::max<int>(a.left, std::min<int>((o.left + o.right - ww) / 2, a.right - ww));
    const int y = std::max<int>(a.top, std::min<int>((o.top + o.bottom - wh) / 2, a.bottom - wh));
    SetWindowPos(dlg, nullptr, x, y, ww, wh, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND DialogControlWin(HWND dlg, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                      int w, int h, int id, DWORD exStyle) {
    HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

std::wstring DialogItemTextWin(HWND dlg, int id, size_t max) {
    HWND item = GetDlgItem(dlg, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    if (text.size() > max) text.resize(max);
    return text;
}

namespace {

struct RtfSource {
    const std::string* text;
    size_t at;
};

DWORD CALLBACK StreamRtf(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* src = reinterpret_cast<RtfSource*>(cookie);
    const size_t n = std::min(static_cast<size_t>(size), src->text->size() - src->at);
    std::copy_n(src->text->data() + src->at, n, buf);
    src->at += n;
    *done = static_cast<LONG>(n);
    return 0;
}

}  // namespace

void RichEditSetRtfWin(HWND edit, const std::string& rtf) {
    RtfSource src{&rtf, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, StreamRtf};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
}

void RichEditOpenLinkWin(HWND owner, HWND edit, const CHARRANGE& range) {
    if (range.cpMax <= range.cpMin) return;
    std::wstring text(static_cast<size_t>(range.cpMax - range.cpMin) + 1, L'\0');
    TEXTRANGEW tr{range, text.data()};
    const LRESULT n = SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    text.resize(static_cast<size_t>(n));
    if (!text.empty()) ShellExecuteW(owner, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetDarkFrameWin(HWND window, bool dark) {
    constexpr DWORD kDwmDarkMode = 20;  // DWMWA_USE_IMMERSIVE_DARK_MODE
    using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    HMODULE dwm = LoadSystemDll(L"dwmapi.dll");
    if (!dwm) return;
    if (auto set = reinterpret_cast<SetAttributeFn>(
            reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))) {
        BOOL value = dark ? TRUE : FALSE;
        set(window, kDwmDarkMode, &value, sizeof value);
    }
    FreeLibrary(dwm);
}

namespace {

constexpr UINT_PTR kDarkDialogSubclass = 0x5A44;
constexpr const wchar_t* kDarkDialogProp = L"ZuvoDarkDialog";

struct DarkDialog {
    DarkDialogColours c;
    HBRUSH back, field;
};

enum class ControlKind { Other, ListView, TreeView, RichEdit };

ControlKind KindOf(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    if (lstrcmpiW(name, WC_LISTVIEWW) == 0) return ControlKind::ListView;
    if (lstrcmpiW(name, WC_TREEVIEWW) == 0) return ControlKind::TreeView;
    if (_wcsnicmp(name, L"RichEdit", 8) == 0) return ControlKind::RichEdit;
    return ControlKind::Other;
}

// Colours of the controls that do not ask their parent for them.
BOOL CALLBACK DarkenChild(HWND control, LPARAM param) {
    const auto& c = *reinterpret_cast<const DarkDialogColours*>(param);
    if (c.fieldBack == CLR_INVALID) return TRUE;
    switch (KindOf(control)) {
        case ControlKind::ListView:
            SendMessageW(control, LVM_SETBKCOLOR, 0, c.fieldBack);
            SendMessageW(control, LVM_SETTEXTBKCOLOR, 0, c.fieldBack);
            SendMessageW(control, LVM_SETTEXTCOLOR, 0, c.fieldText);
            break;
        case ControlKind::TreeView:
            SendMessageW(control, TVM_SETBKCOLOR, 0, c.fieldBack);
            SendMessageW(control, TVM_SETTEXTCOLOR, 0, c.fieldText);
            break;
        case ControlKind::RichEdit: {
            SendMessageW(control, EM_SETBKGNDCOLOR, 0, c.fieldBack);
            CHARFORMATW cf{};
            cf.cbSize = sizeof cf;
            cf.dwMask = CFM_COLOR;
            cf.crTextColor = c.fieldText;
            SendMessageW(control, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
            break;
        }
        case ControlKind::Other:
            break;
    }
    InvalidateRect(control, nullptr, TRUE);
    return TRUE;
}

LRESULT Field(const DarkDialog& d, HDC dc, UINT msg, WPARAM wParam, LPARAM lParam, HWND dlg) {
    if (d.c.fieldBack == CLR_INVALID) return DefSubclassProc(dlg, msg, wParam, lParam);
    SetTextColor(dc, d.c.fieldText);
    SetBkColor(dc, d.c.fieldBack);
    return reinterpret_cast<LRESULT>(d.field);
}

LRESULT CALLBACK DarkDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR ref) {
    auto* d = reinterpret_cast<DarkDialog*>(ref);
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // A read-only or disabled edit field asks as a static; it keeps the field colours.
            HWND control = reinterpret_cast<HWND>(lParam);
            wchar_t name[8] = {};
            if (msg == WM_CTLCOLORSTATIC) GetClassNameW(control, name, 8);
            const bool field = lstrcmpiW(name, L"Edit") == 0;
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (field) return Field(*d, dc, msg, wParam, lParam, dlg);
            SetTextColor(dc, d->c.text);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(d->back);
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return Field(*d, reinterpret_cast<HDC>(wParam), msg, wParam, lParam, dlg);
        case WM_NCDESTROY: {
            RemoveWindowSubclass(dlg, DarkDialogProc, kDarkDialogSubclass);
            RemovePropW(dlg, kDarkDialogProp);
            DeleteObject(d->back);
            if (d->field) DeleteObject(d->field);
            delete d;
            return DefSubclassProc(dlg, msg, wParam, lParam);
        }
    }
    return DefSubclassProc(dlg, msg, wParam, lParam);
}

HBRUSH Brush(COLORREF c) {
    return c == CLR_INVALID ? nullptr : CreateSolidBrush(c);
}

}  // namespace

void DarkDialogWin(HWND dialog, const DarkDialogColours& colours) {
    if (!dialog) return;
    // Called again, new colours replace the old ones (the property finds them).
    if (auto* d = static_cast<DarkDialog*>(GetPropW(dialog, kDarkDialogProp))) {
        DeleteObject(d->back);
        if (d->field) DeleteObject(d->field);
        *d = DarkDialog{colours, CreateSolidBrush(colours.back), Brush(colours.fieldBack)};
    } else {
        auto* n = new DarkDialog{colours, CreateSolidBrush(colours.back), Brush(colours.fieldBack)};
        SetPropW(dialog, kDarkDialogProp, n);
        SetWindowSubclass(dialog, DarkDialogProc, kDarkDialogSubclass, reinterpret_cast<DWORD_PTR>(n));
    }
    DarkDialogColours c = colours;
    EnumChildWindows(dialog, DarkenChild, reinterpret_cast<LPARAM>(&c));
    InvalidateRect(dialog, nullptr, TRUE);
}
