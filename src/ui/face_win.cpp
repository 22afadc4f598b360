// The window's face: the toolbar, the two owner-drawn sliders, the status bar, the divider
// strips and the layout pass that places them with the lists; the compact view; the window
// placement; the mouse-wheel routing. The rules are the portable ones of face_layout.h and
// toolbar.h; this file creates the controls, measures them and moves them.
#include "ui/face_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "config/lang.h"
#include "config/settings_bits.h"
#include "ui/big_view_win.h"
#include "ui/face_layout.h"

namespace {

constexpr wchar_t kSliderClass[] = L"ZuvoSlider";
constexpr wchar_t kDividerClass[] = L"ZuvoDivider";
constexpr wchar_t kStatusSeparator[] = L"    |   ";
constexpr UINT_PTR kSliderTimer = 1;  // the position slider's own refresh timer
constexpr UINT kSliderTimerMs = 250;
constexpr int kVolumeMax = 65535;
constexpr int kPositionMax = 1000;  // tenths of a percent
constexpr int kLangVolumeTip = 92, kLangPositionTip = 93;
constexpr DWORD kMetricPad = 0x01;  // TBMETRIC_PAD, which this SDK does not name

enum SliderKind : LONG_PTR { kVolumeSlider = 0, kPositionSlider = 1 };
enum DividerKind : LONG_PTR { kTreeDivider = 0, kPlaylistDivider = 1, kSliderSplit = 2 };

struct Face {
    FaceStart start;
    HWND main = nullptr, status = nullptr, darkStatus = nullptr, toolbar = nullptr;
    HWND slider[2] = {};
    HWND divider[3] = {};
    HWND tips = nullptr;
    HIMAGELIST images = nullptr;
    int toolbarMinHeight = 0, toolbarHeight = 0, buttonWidth = 0;
    std::wstring statusText[3] = {L"..", L"..", L".."};
    WheelAccumulator wheel;
    bool compactShown = false;  // the frame last applied was the compact one
    bool frameApplied = false;
    unsigned layoutPasses = 0;  // full passes so far
    int laidOutW = -1, laidOutH = -1;  // the client size of the last full layout pass
    // A drag of a slider (the value it shows meanwhile) or of a divider.
    int dragSlider = -1, dragValue = 0;
    int shown[2] = {-2, -2};  // the values the sliders show
    FaceLayout layout;
};
Face g;

Settings& S() {
    return g_settings;
}
uint32_t Stylez() {
    return static_cast<uint32_t>(g_settings.stylez);
}
bool DarkMode() {
    return Stylez() & Style::DarkMode;
}
int Scaled(double v) {
    return static_cast<int>(std::lround(v * g.start.dpiFactor));
}
HWND ListWindow(int which) {
    const FaceHost& h = g.start.host;
    return h.listWindow ? h.listWindow(h.ctx, which) : nullptr;
}
bool IsCompact() {
    return S().compact_view & CompactView::On;
}

// ---- the toolbar ----

// The strings TB_ADDSTRINGW takes: each text followed by a null, one more null at the end.
std::wstring StringList(const wchar_t* const* texts, int n) {
    std::wstring out;
    for (int i = 0; i < n; ++i) {
        out += texts[i];
        out += L'\0';
    }
    out += L'\0';
    return out;
}

// The colour of the bitmap's first pixel (its bottom-left corner) is the background, whether
// the loader replaced it by the window colour (LR_LOADTRANSPARENT, palette bitmaps) or not.
COLORREF BackgroundOf(HBITMAP bmp) {
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    const COLORREF c = GetPixel(dc, 0, info.bmHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

HIMAGELIST ImagesFromBitmap(HBITMAP bmp, int imageW, int imageH, int count) {
    if (!bmp) return nullptr;
    HIMAGELIST list = ImageList_Create(imageW, imageH, ILC_COLOR32 | ILC_MASK, count, 0);
    if (list && ImageList_AddMasked(list, bmp, BackgroundOf(bmp)) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(bmp);
    return list;
}

constexpr UINT kBitmapLoadFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT | LR_CREATEDIBSECTION;

// A bitmap file in the program's folder: its header tells the image size. Empty bmpfile and no
// images when it cannot be read.
HIMAGELIST ImagesFromFile(const std::string& name) {
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide, static_cast<int>(std::size(wide)) - 1);
    const std::wstring path = g.start.programFolder + L"\\" + wide;
    uint8_t header[64] = {};
    size_t got = 0;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        got = fread(header, 1, sizeof header, f);
        fclose(f);
    }
    int width = 0, height = 0, count = 0, imageW = 0;
    HIMAGELIST list = nullptr;
    if (BmpHeaderSize(header, got, width, height) && CustomBitmapImages(width, height, count, imageW)) {
        auto bmp = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | kBitmapLoadFlags));
        list = ImagesFromBitmap(bmp, imageW, height, count);
    }
    if (!list) S().bmpfile.clear();
    return list;
}

HWND CreateToolbarWin() {
    const Settings& s = S();
    DWORD style = WS_CHILD | TBSTYLE_FLAT | CCS_NODIVIDER | TBSTYLE_WRAPABLE;
    if (Stylez() & Style::Tooltips) style |= TBSTYLE_TOOLTIPS;
    HWND tb = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, g.main, nullptr,
                              g.start.instance, nullptr);
    if (!tb) return nullptr;
    SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (Stylez() & Style::AddPadding) {
        TBMETRICS m{};
        m.cbSize = sizeof m;
        m.dwMask = kMetricPad;
        m.cxPad = Scaled(14);
        m.cyPad = Scaled(10);
        SendMessageW(tb, TB_SETMETRICS, 0, reinterpret_cast<LPARAM>(&m));
    }
    const ToolbarBitmapChoice choice = ChooseToolbarBitmap(s.bmpfile);
    bool withText = false;
    int stringBase = 0;
    if (choice.kind == ToolbarImages::TextOnly) {
        // The short texts are the buttons' labels; the long ones follow them.
        const std::wstring shortTexts = StringList(kToolbarShortTexts, kToolbarTextCount);
        const std::wstring longTexts = StringList(kToolbarLongTexts, kToolbarTextCount);
        stringBase = static_cast<int>(
            SendMessageW(tb, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(shortTexts.c_str())));
        SendMessageW(tb, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(longTexts.c_str()));
        SendMessageW(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
        withText = true;
    } else {
        if (choice.kind == ToolbarImages::File) {
            g.images = ImagesFromFile(s.bmpfile);
        } else {
            auto bmp = static_cast<HBITMAP>(LoadImageW(g.start.instance,
                                                       MAKEINTRESOURCEW(choice.resource),
                                                       IMAGE_BITMAP, 0, 0, kBitmapLoadFlags));
            g.images = ImagesFromBitmap(bmp, choice.imageW, choice.imageH, kToolbarImagesPerBitmap);
        }
        if (g.images) {
            int w = 0, h = 0;
            ImageList_GetIconSize(g.images, &w, &h);
            SendMessageW(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(w, h));
            SendMessageW(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g.images));
        }
        if (choice.kind == ToolbarImages::SmallText) {
            const std::wstring longTexts = StringList(kToolbarLongTexts, kToolbarTextCount);
            stringBase = static_cast<int>(
                SendMessageW(tb, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(longTexts.c_str())));
            withText = true;
        }
    }
    std::vector<TBBUTTON> buttons;
    for (int i : SelectToolbarButtons(s)) {
        const ToolbarButtonDef& d = kToolbarButtons[i];
        TBBUTTON b{};
        b.iBitmap = choice.kind == ToolbarImages::TextOnly || !g.images ? I_IMAGENONE : d.image;
        b.idCommand = d.command;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        b.iString = withText ? stringBase + d.text : -1;
        buttons.push_back(b);
    }
    SendMessageW(tb, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(tb, TB_AUTOSIZE, 0, 0);
    ShowWindow(tb, SW_SHOWNA);
    // One row of buttons: the main window may still be without a size here (the compact view
    // at start), so the first button gives the height rather than the wrapped toolbar.
    RECT first{};
    if (SendMessageW(tb, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
        g.buttonWidth = first.right - first.left;
        g.toolbarMinHeight = first.bottom + first.top;
    }
    g.toolbarHeight = g.toolbarMinHeight;
    return tb;
}

void UpdateToolbarState(uint32_t mask) {
    if (!g.toolbar) return;
    ToolbarStateInput in;
    in.rptMode = S().rpt_mode;
    if (g.start.host.toolbarState) g.start.host.toolbarState(g.start.host.ctx, in);
    for (const ToolbarChange& c : ToolbarStateChanges(S(), in, mask)) {
        if (SendMessageW(g.toolbar, TB_COMMANDTOINDEX, c.command, 0) < 0) continue;
        if (c.image >= 0 && g.images)
            SendMessageW(g.toolbar, TB_CHANGEBITMAP, c.command, MAKELPARAM(c.image, 0));
        if (c.setEnabled) SendMessageW(g.toolbar, TB_ENABLEBUTTON, c.command, MAKELONG(c.enabled, 0));
        if (c.setChecked) SendMessageW(g.toolbar, TB_CHECKBUTTON, c.command, MAKELONG(c.checked, 0));
    }
}

// ---- the slider row ----

int SliderValue(int which) {
    if (g.dragSlider == which) return g.dragValue;
    if (which == kVolumeSlider) return S().volume;
    const FaceHost& h = g.start.host;
    return h.positionPermille ? h.positionPermille(h.ctx) : -1;
}

COLORREF Mix(COLORREF a, COLORREF b, int bPercent) {
    auto ch = [&](int sa, int sb) { return (sa * (100 - bPercent) + sb * bPercent) / 100; };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
               ch(GetBValue(a), GetBValue(b)));
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
    SetBkColor(dc, c);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// The track: a groove across the slider, the part up to the knob filled; the knob on top. The
// plain style takes the theme's colours; "Grey and white" and "White" sliders their own.
void PaintSlider(HWND hwnd, HDC dc, int which) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const Settings& s = S();
    const COLORREF back = static_cast<COLORREF>(s.color_win);
    COLORREF groove = Mix(back, static_cast<COLORREF>(s.color_text), 30);
    COLORREF filled = static_cast<COLORREF>(s.color_track);
    COLORREF knob = Mix(static_cast<COLORREF>(s.color_text), RGB(255, 255, 255), 40);
    if (Stylez() & Style::GreyWhiteSliders) {
        groove = RGB(128, 128, 128);
        filled = RGB(200, 200, 200);
        knob = RGB(255, 255, 255);
    }
    if (Stylez() & Style::WhiteSliders) {
        groove = RGB(235, 235, 235);
        filled = RGB(255, 255, 255);
        knob = RGB(255, 255, 255);
    }
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    Fill(mem, rc, back);
    const KnobSize k = SliderKnob(Stylez());
    const int margin = Scaled(6);
    const UiRect track{margin, 0, std::max(0, static_cast<int>(rc.right) - 2 * margin), rc.bottom};
    const int grooveH = std::max(2, k.w - 1);
    const int gy = (rc.bottom - grooveH) / 2;
    Fill(mem, RECT{track.x, gy, track.x + track.w, gy + grooveH}, groove);
    const int max = which == kVolumeSlider ? kVolumeMax : kPositionMax;
    const int value = SliderValue(which);
    if (value >= 0) {
        const int kx = KnobLeft(track, k.w, value, max);
        Fill(mem, RECT{track.x, gy, kx, gy + grooveH}, filled);
        const int ky = (rc.bottom - k.h) / 2;
        Fill(mem, RECT{kx - 1, ky - 1, kx + k.w + 1, ky + k.h + 1}, Mix(knob, back, 60));
        Fill(mem, RECT{kx, ky, kx + k.w, ky + k.h}, knob);
    }
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

// The value as the slider's window text too ("Volume 52000/65535", "Track position
// 412/1000", "Track position -" with no track), for screen readers and the tests.
void ShowSliderValue(HWND hwnd, int which) {
    const int v = SliderValue(which);
    if (v == g.shown[which]) return;
    g.shown[which] = v;
    wchar_t text[64];
    if (v < 0)
        swprintf(text, 64, L"Track position -");
    else if (which == kVolumeSlider)
        swprintf(text, 64, L"Volume %d/%d", v, kVolumeMax);
    else
        swprintf(text, 64, L"Track position %d/%d", v, kPositionMax);
    SetWindowTextW(hwnd, text);
    InvalidateRect(hwnd, nullptr, FALSE);
}

int SliderValueAt(HWND hwnd, int which, int x) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int margin = Scaled(6);
    const UiRect track{margin, 0, std::max(0, static_cast<int>(rc.right) - 2 * margin), rc.bottom};
    return ValueAtX(track, SliderKnob(Stylez()).w, x,
                    which == kVolumeSlider ? kVolumeMax : kPositionMax);
}

void SliderDragTo(HWND hwnd, int which, int x) {
    g.dragValue = SliderValueAt(hwnd, which, x);
    if (which == kVolumeSlider) {
        S().volume = static_cast<uint16_t>(g.dragValue);
        if (g.start.host.applyVolume) g.start.host.applyVolume(g.start.host.ctx);
    }
    ShowSliderValue(hwnd, which);
}

LRESULT CALLBACK SliderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int which = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            PaintSlider(hwnd, dc, which);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN: {
            const bool locked = which == kVolumeSlider
                                    ? (static_cast<uint32_t>(S().control_lock) & ControlLock::Volume)
                                    : (static_cast<uint32_t>(S().control_lock) &
                                       ControlLock::TrackPosition);
            if (locked || SliderValue(which) < 0) return 0;
            SetCapture(hwnd);
            g.dragSlider = which;
            SliderDragTo(hwnd, which, GET_X_LPARAM(lParam));
            return 0;
        }
        case WM_MOUSEMOVE:
            if (g.dragSlider == which && (wParam & MK_LBUTTON))
                SliderDragTo(hwnd, which, GET_X_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (g.dragSlider == which) {
                g.dragSlider = -1;
                if (GetCapture() == hwnd) ReleaseCapture();
                if (which == kPositionSlider && g.start.host.seekPermille)
                    g.start.host.seekPermille(g.start.host.ctx, g.dragValue);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kSliderTimer) ShowSliderValue(hwnd, which);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- the divider strips ----

POINT CursorInMain() {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(g.main, &pt);
    return pt;
}

void DragDivider(int kind) {
    const POINT pt = CursorInMain();
    const int half = g.layout.dividerWidth / 2;
    Settings& s = S();
    switch (kind) {
        case kTreeDivider:
            s.divider = TreeDividerAtX(pt.x - half);
            break;
        case kPlaylistDivider:
            s.playlist_win = PlaylistWinWithDivider(
                s.playlist_win, (g.layout.playlistBeside ? pt.x : pt.y) - half);
            break;
        case kSliderSplit: {
            RECT rc;
            GetClientRect(g.main, &rc);
            const int area = std::min<int>(rc.right, SliderAreaWidth(g.buttonWidth, FolderSearchShown(s)));
            s.slider_split = SplitAtX(area, g.layout.dividerWidth, pt.x);
            break;
        }
    }
    FaceLayoutWin();
}

LRESULT CALLBACK DividerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int kind = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            const COLORREF c = static_cast<COLORREF>(kind == kSliderSplit ? S().color_win
                                                                          : S().color_back);
            Fill(dc, rc, c);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR: {
            const bool rows = kind == kPlaylistDivider && !g.layout.playlistBeside;
            SetCursor(LoadCursorW(nullptr, rows ? IDC_SIZENS : IDC_SIZEWE));
            return TRUE;
        }
        case WM_LBUTTONDOWN:
            SetCapture(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd) DragDivider(kind);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) {
                ReleaseCapture();
                DragDivider(kind);
            }
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = g.start.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = SliderProc;
    wc.lpszClassName = kSliderClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = DividerProc;
    wc.lpszClassName = kDividerClass;
    wc.hCursor = nullptr;  // WM_SETCURSOR chooses
    RegisterClassExW(&wc);
}

HWND CreateChild(const wchar_t* cls, LONG_PTR kind) {
    HWND w = CreateWindowExW(0, cls, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, g.main, nullptr,
                             g.start.instance, nullptr);
    if (w) SetWindowLongPtrW(w, GWLP_USERDATA, kind);
    return w;
}

// Once: made when the window first shows, not before (creating them cost the start ~4 ms).
void AddSliderTips() {
    if (g.tips || !(Stylez() & Style::Tooltips)) return;
    g.tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0,
                             g.main, nullptr, g.start.instance, nullptr);
    if (!g.tips) return;
    const int entries[2] = {kLangVolumeTip, kLangPositionTip};
    for (int i = 0; i < 2; ++i) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = g.main;
        ti.uId = reinterpret_cast<UINT_PTR>(g.slider[i]);
        ti.lpszText = const_cast<wchar_t*>(LangText(g_lang, entries[i]));
        SendMessageW(g.tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

// ---- the status bar ----

void ShowStatusTexts() {
    if (g.darkStatus) {
        std::wstring line = L"  " + g.statusText[0] + kStatusSeparator + g.statusText[1] +
                            kStatusSeparator + g.statusText[2];
        SetWindowTextW(g.darkStatus, line.c_str());
    } else if (g.status) {
        for (int i = 0; i < 3; ++i)
            SendMessageW(g.status, SB_SETTEXTW, i | SBT_NOBORDERS,
                         reinterpret_cast<LPARAM>(g.statusText[i].c_str()));
    }
}

void CreateStatusBar() {
    if (DarkMode()) {
        g.darkStatus = CreateWindowExW(0, L"STATIC", nullptr,
                                       WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE |
                                           SS_NOPREFIX | SS_ENDELLIPSIS,
                                       0, 0, 0, 0, g.main, nullptr, g.start.instance, nullptr);
        SendMessageW(g.darkStatus, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    } else {
        g.status = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                   0, 0, 0, 0, g.main, nullptr, g.start.instance, nullptr);
    }
    ShowStatusTexts();
}

HWND StatusWindow() {
    return g.darkStatus ? g.darkStatus : g.status;
}

bool StatusShown() {
    HWND w = StatusWindow();
    return w && (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE);
}

// Sizes the status bar to the client width and returns its height (0 while hidden).
int PlaceStatus(int clientW, int clientH, HDWP& defer) {
    if (!StatusShown()) return 0;
    if (g.darkStatus) {
        const int h = DarkStatusHeight(g.start.dpiFactor);
        defer = DeferWindowPos(defer, g.darkStatus, nullptr, 0, clientH - h, clientW, h,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        return h;
    }
    SendMessageW(g.status, WM_SIZE, 0, 0);
    const int parts[3] = {clientW / 5, clientW * 65 / 100, -1};
    SendMessageW(g.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    RECT rc{};
    GetWindowRect(g.status, &rc);
    return rc.bottom - rc.top;
}

// ---- layout ----

void Move(HDWP& defer, HWND w, const UiRect& r) {
    if (w && defer)
        defer = DeferWindowPos(defer, w, nullptr, r.x, r.y, r.w, r.h,
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

// By the child's own style: IsWindowVisible also says no while the main window is hidden.
void Show(HWND w, bool on) {
    if (w && ((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0) != on)
        ShowWindow(w, on ? SW_SHOWNA : SW_HIDE);
}

// ---- the frame ----

// One row again: a toolbar that is no longer wrapping keeps the row breaks it had.
void UnwrapToolbar() {
    const int n = static_cast<int>(SendMessageW(g.toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TBBUTTON b{};
        if (!SendMessageW(g.toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b))) continue;
        if (b.fsState & TBSTATE_WRAP)
            SendMessageW(g.toolbar, TB_SETSTATE, b.idCommand,
                         MAKELONG(b.fsState & ~TBSTATE_WRAP, 0));
    }
    SendMessageW(g.toolbar, TB_AUTOSIZE, 0, 0);
}

void CompactCommandSetting(CommandId id) {
    Settings& s = S();
    switch (id) {
        case kCmdCompactView: s.compact_view ^= CompactView::On; break;
        case kCmdCompactNoStatusBar: s.compact_view ^= CompactView::NoStatusBar; break;
        case kCmdCompactNoTitleBar: s.compact_view ^= CompactView::NoTitleBar; break;
        case kCmdCompactOnTop: s.compact_view ^= CompactView::AlwaysOnTop; break;
        default: break;
    }
}

Placement CurrentPlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(g.main, &wp);
    RECT rc{};
    GetWindowRect(g.main, &rc);
    Placement p{};
    p.hidden = !IsWindowVisible(g.main) || IsIconic(g.main);
    p.compact = g.compactShown;
    p.maximized = IsZoomed(g.main);
    p.window = UiRect{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
    return p;
}

void ApplyWindowFrame() {
    Settings& s = S();
    const bool compact = IsCompact();
    // Leaving one view keeps where the window was in it.
    if (g.frameApplied && compact != g.compactShown) FaceStorePlacementWin();
    const bool visible = !(g.start.startupPending && *g.start.startupPending);
    const bool wasZoomed = IsZoomed(g.main);
    bool laidOut = false;
    if (wasZoomed && compact) ShowWindow(g.main, SW_RESTORE);
    const HWND lists[3] = {ListWindow(0), ListWindow(1), ListWindow(2)};
    LONG_PTR tbStyle = GetWindowLongPtrW(g.toolbar, GWL_STYLE);
    if (compact) {
        for (HWND w : lists) Show(w, false);
        for (HWND w : {g.divider[kTreeDivider], g.divider[kPlaylistDivider]}) Show(w, false);
        Show(StatusWindow(), CompactShowsStatus(s.compact_view));
        const bool noTitle = s.compact_view & CompactView::NoTitleBar;
        LONG style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX |
                     (noTitle ? WS_BORDER : WS_CAPTION);
        if (visible) style |= WS_VISIBLE;
        SetWindowLongW(g.main, GWL_STYLE, style);
        SetWindowLongPtrW(g.toolbar, GWL_STYLE, tbStyle & ~static_cast<LONG_PTR>(TBSTYLE_WRAPABLE));
        UnwrapToolbar();
        CompactFrame f{};
        f.toolbarHeight = g.toolbarMinHeight;
        f.sliderRowHeight = SliderRowHeight(Stylez());
        f.statusHeight = g.darkStatus ? DarkStatusHeight(g.start.dpiFactor) : [] {
            RECT rc{};
            GetWindowRect(g.status, &rc);
            return static_cast<int>(rc.bottom - rc.top);
        }();
        f.captionHeight = GetSystemMetrics(SM_CYCAPTION);
        f.dialogFrame = GetSystemMetrics(SM_CXDLGFRAME);
        f.plainBorder = GetSystemMetrics(SM_CXBORDER);
        f.buttonWidth = g.buttonWidth;
        f.folderSearchShown = FolderSearchShown(s);
        const Size2 size = CompactWindowSize(s.compact_view, f);
        SetWindowPos(g.main, (s.compact_view & CompactView::AlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST,
                     s.compact_x, s.compact_y, size.w, size.h, SWP_FRAMECHANGED | SWP_NOACTIVATE);
    } else {
        Show(lists[0], !(Stylez() & Style::TreeHidden));
        Show(lists[1], true);
        Show(lists[2], lists[2] != nullptr);
        Show(StatusWindow(), true);
        LONG style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        if (visible) style |= WS_VISIBLE;
        const bool sameStyle = GetWindowLongW(g.main, GWL_STYLE) == style;
        SetWindowLongW(g.main, GWL_STYLE, style);
        SetWindowLongPtrW(g.toolbar, GWL_STYLE, tbStyle | TBSTYLE_WRAPABLE);
        UINT flags = SWP_FRAMECHANGED | SWP_NOACTIVATE;
        if (s.window_w <= 0 || s.window_h <= 0) flags |= SWP_NOSIZE | SWP_NOMOVE;
        // The first frame of a window made with this style where the settings place it
        // changes nothing: the frame change and the size messages it brings are left out.
        RECT now{};
        GetWindowRect(g.main, &now);
        const bool inPlace = (flags & SWP_NOSIZE) ||
                             (now.left == s.window_x && now.top == s.window_y &&
                              now.right - now.left == s.window_w && now.bottom - now.top == s.window_h);
        if (g.frameApplied || !sameStyle || !inPlace) {
            const unsigned passes = g.layoutPasses;
            SetWindowPos(g.main, HWND_NOTOPMOST, s.window_x, s.window_y, s.window_w, s.window_h, flags);
            // The size message of the move laid the face out at its new size: no second pass.
            RECT rc{};
            GetClientRect(g.main, &rc);
            laidOut = g.layoutPasses != passes && FaceLaidOutAtWin(rc.right, rc.bottom);
        }
        if (g.compactShown && visible && s.maximized == 1) ShowWindow(g.main, SW_MAXIMIZE);
    }
    g.compactShown = compact;
    g.frameApplied = true;
    if (!laidOut) FaceLayoutWin();
    RedrawWindow(g.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void CompactCommandWin(CommandId id, intptr_t) {
    CompactCommandSetting(id);
    ApplyWindowFrame();
}

// ---- the keyboard on the toolbar ----

void ToolbarKey(int virtualKey) {
    if (!g.toolbar) return;
    const int n = static_cast<int>(SendMessageW(g.toolbar, TB_BUTTONCOUNT, 0, 0));
    if (n <= 0) return;
    int hot = static_cast<int>(SendMessageW(g.toolbar, TB_GETHOTITEM, 0, 0));
    if (virtualKey == VK_LEFT || virtualKey == VK_RIGHT) {
        hot = hot < 0 ? 0 : (hot + (virtualKey == VK_RIGHT ? 1 : n - 1)) % n;
        SendMessageW(g.toolbar, TB_SETHOTITEM, hot, 0);
    } else if (virtualKey == VK_SPACE && hot >= 0) {
        TBBUTTON b{};
        if (SendMessageW(g.toolbar, TB_GETBUTTON, hot, reinterpret_cast<LPARAM>(&b)))
            PostMessageW(g.main, WM_COMMAND, MAKEWPARAM(b.idCommand, 0),
                         reinterpret_cast<LPARAM>(g.toolbar));
    }
}

}  // namespace

void FaceLayoutWin() {
    RECT rc;
    if (!g.main || !GetClientRect(g.main, &rc)) return;
    ++g.layoutPasses;
    HDWP defer = BeginDeferWindowPos(12);
    if (g.toolbar) {
        SendMessageW(g.toolbar, TB_AUTOSIZE, 0, 0);
        RECT tb{};
        GetClientRect(g.toolbar, &tb);
        g.toolbarHeight = std::max<int>(g.toolbarMinHeight, tb.bottom);
    }
    FaceMeasures m;
    m.clientW = rc.right;
    m.clientH = rc.bottom;
    m.toolbarHeight = g.toolbarHeight;
    m.buttonWidth = g.buttonWidth;
    m.statusHeight = PlaceStatus(rc.right, rc.bottom, defer);
    m.vScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    m.sliderAreaW = SliderAreaWidth(g.buttonWidth, FolderSearchShown(S()));
    m.playlistOpen = ListWindow(2) != nullptr;
    m.bigViewOpen = BigViewEmbeddedOpenWin();
    HWND picture = g.start.host.pictureWindow
                       ? g.start.host.pictureWindow(g.start.host.ctx, m.pictureW, m.pictureH)
                       : nullptr;
    if (!picture) m.pictureW = m.pictureH = 0;
    g.layout = LayOutFace(S(), m, g.start.dpiFactor);
    g.laidOutW = rc.right;
    g.laidOutH = rc.bottom;
    const FaceLayout& l = g.layout;
    Move(defer, g.slider[kVolumeSlider], l.volume);
    Move(defer, g.slider[kPositionSlider], l.position);
    Move(defer, g.divider[kSliderSplit], l.sliderSplit);
    if (!IsCompact()) {
        HWND tree = ListWindow(0);
        Show(tree, l.treeShown);
        if (l.treeShown) Move(defer, tree, l.tree);
        if (picture) {
            Show(picture, l.picture.w > 0);
            Move(defer, picture, l.picture);
        }
        Move(defer, ListWindow(1), l.files);
        Move(defer, ListWindow(2), l.playlist);
        Show(g.divider[kTreeDivider], l.treeDivider.w > 0);
        Move(defer, g.divider[kTreeDivider], l.treeDivider);
        Show(g.divider[kPlaylistDivider], l.playlistDivider.w > 0);
        Move(defer, g.divider[kPlaylistDivider], l.playlistDivider);
    }
    if (defer) EndDeferWindowPos(defer);
    const UiRect& big = l.bigView;
    if (big.w > 0 && big.h > 0) BigViewPlaceEmbeddedWin(big.x, big.y, big.w, big.h);
}

bool FaceLaidOutAtWin(int clientW, int clientH) {
    return g.laidOutW == clientW && g.laidOutH == clientH;
}

void FaceStorePlacementWin() {
    if (!g.main) return;
    Placement p = CurrentPlacement();
    StorePlacement(S(), p);
}

bool FaceRouteMouseWheelWin(const MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL) return false;
    const POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    HWND under = WindowFromPoint(pt);
    auto within = [&](HWND w) { return w && under && (under == w || IsChild(w, under)); };
    WheelOver over = WheelOver::Other;
    HWND target = nullptr;
    if (within(ListWindow(0))) {
        over = WheelOver::Tree;
        target = ListWindow(0);
    }
    for (int i = 1; i <= 3 && !target; ++i)
        if (within(ListWindow(i))) {
            over = WheelOver::List;
            target = ListWindow(i);
        }
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const WheelAction a = RouteWheel(S().mouse_flags, over,
                                     static_cast<short>(HIWORD(msg.wParam)),
                                     lines == WHEEL_PAGESCROLL ? 1001 : static_cast<int>(lines),
                                     g.wheel);
    switch (a.kind) {
        case WheelAction::Scroll: {
            const WPARAM code = a.page ? (a.up ? SB_PAGEUP : SB_PAGEDOWN)
                                       : (a.up ? SB_LINEUP : SB_LINEDOWN);
            for (int i = 0; i < a.count; ++i) SendMessageW(target, WM_VSCROLL, code, 0);
            break;
        }
        case WheelAction::VolumeDown:
        case WheelAction::VolumeUp:
            SendMessageW(g.main, WM_COMMAND,
                         a.kind == WheelAction::VolumeUp ? kCmdVolumeUp : kCmdVolumeDown, 0);
            break;
        case WheelAction::None:
            break;
    }
    return a.consumed;
}

bool FaceCtlColorStaticWin(HDC dc, HWND control, LRESULT& brush) {
    if (!control || control != g.darkStatus) return false;
    static HBRUSH windowBrush = nullptr;
    static COLORREF brushColour = 0;
    const COLORREF c = static_cast<COLORREF>(S().color_win);
    if (!windowBrush || brushColour != c) {
        if (windowBrush) DeleteObject(windowBrush);
        windowBrush = CreateSolidBrush(c);
        brushColour = c;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xE0, 0xE0, 0xE0));
    brush = reinterpret_cast<LRESULT>(windowBrush);
    return true;
}

bool FaceHitTestWin(LPARAM lParam, LRESULT& result) {
    if (!IsCompact() || !(S().compact_view & CompactView::NoTitleBar)) return false;
    const LRESULT hit = DefWindowProcW(g.main, WM_NCHITTEST, 0, lParam);
    if (hit != HTCLIENT) return false;
    result = HTCAPTION;  // the body moves the window
    return true;
}

void FaceSetStatusTextWin(int pane, const std::wstring& text) {
    if (pane < 0 || pane > 2) return;
    g.statusText[pane] = text;
    ShowStatusTexts();
}

void FaceStartWin(const FaceStart& start) {
    g.start = start;
    g.main = start.mainWindow;
    RegisterClasses();
    CreateStatusBar();
    g.toolbar = CreateToolbarWin();
    g.slider[kVolumeSlider] = CreateChild(kSliderClass, kVolumeSlider);
    g.slider[kPositionSlider] = CreateChild(kSliderClass, kPositionSlider);
    g.divider[kSliderSplit] = CreateChild(kDividerClass, kSliderSplit);
    g.divider[kTreeDivider] = CreateChild(kDividerClass, kTreeDivider);
    g.divider[kPlaylistDivider] = CreateChild(kDividerClass, kPlaylistDivider);
    for (HWND s : g.slider) SetTimer(s, kSliderTimer, kSliderTimerMs, nullptr);
    DarkModeStartWin(g.main, start.osMajorVersion, start.dpiFactor, start.host.listWindow,
                     start.host.ctx);
    // No layout pass yet: the start-up makes one when the lists are there too.
}

void FaceRebuildToolbarWin() {
    if (g.toolbar) DestroyWindow(g.toolbar);
    if (g.images) ImageList_Destroy(g.images);
    g.toolbar = nullptr;
    g.images = nullptr;
    g.toolbar = CreateToolbarWin();
    if (IsCompact() && g.toolbar) {
        SetWindowLongPtrW(g.toolbar, GWL_STYLE,
                          GetWindowLongPtrW(g.toolbar, GWL_STYLE) & ~static_cast<LONG_PTR>(TBSTYLE_WRAPABLE));
        UnwrapToolbar();
    }
    UpdateToolbarState(kToolbarStartMask | ToolbarMask::Mute | ToolbarMask::IntroScan);
    FaceLayoutWin();
}

ViewOps FaceOpsWin() {
    ViewOps v;
    v.layout = [](void*) { FaceLayoutWin(); };
    v.showVolume = [](void*) {
        if (g.slider[kVolumeSlider]) ShowSliderValue(g.slider[kVolumeSlider], kVolumeSlider);
    };
    v.applyWindowFrame = [](void*) { ApplyWindowFrame(); };
    v.updateToolbar = [](void*, uint32_t mask) { UpdateToolbarState(mask); };
    v.showPlayButton = [](void*, bool pressed) {
        if (g.toolbar) SendMessageW(g.toolbar, TB_PRESSBUTTON, kCmdPlayFromStart, MAKELONG(pressed, 0));
    };
    v.focusToolbar = [](void*) {
        if (!g.toolbar) return;
        SetFocus(g.toolbar);
        if (SendMessageW(g.toolbar, TB_GETHOTITEM, 0, 0) < 0)
            SendMessageW(g.toolbar, TB_SETHOTITEM, 0, 0);
    };
    v.toolbarKey = [](void*, int virtualKey) { ToolbarKey(virtualKey); };
    v.storePlacement = [](void*) { FaceStorePlacementWin(); };
    v.windowShown = [](void*) { AddSliderTips(); };
    v.setStatusText = [](void*, int pane, const wchar_t* text) {
        FaceSetStatusTextWin(pane, text ? text : L"");
    };
    return v;
}

void FaceCompactCommandWin(CommandId id, intptr_t lParam) {
    CompactCommandWin(id, lParam);
}
