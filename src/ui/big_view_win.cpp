#include "ui/big_view_win.h"

#include <algorithm>
#include <cstdlib>

#include "config/lang.h"
#include "config/settings.h"

namespace {

constexpr wchar_t kClass[] = L"ZuvoBigView";
constexpr UINT_PTR kUpdateTimer = 1, kCycleTimer = 2, kRearmTimer = 3;
enum : UINT {
    kMenuClose = 1,
    kMenuConfigure,
    kMenuRssNow,
    kMenuRssView,
    kMenuIdleFirst = 10,  // + the index into kBigIdleChoices
};

struct State {
    HWND main = nullptr, view = nullptr;
    HINSTANCE instance = nullptr;
    double dpi = 1.0;
    BigViewHost host;
    BigTitle title;
    BigPatterns patterns;
    BigTexts texts;
    int shownBy = 0;  // 0 closed, 1 idle, 2 manually
    bool embedded = false;
    BigIdle idle;
    DWORD openedAt = 0;  // the last input's time when the idle view opened
    HBITMAP bitmap = nullptr;
    int bitmapW = 0, bitmapH = 0;
    bool registered = false;
    std::wstring shownText;  // the window text: the three texts
    UINT updateMs = 0;       // the update timer's period now
};
State g;

Settings& S() {
    return g_settings;
}

int RandomDraw(void*) {
    return std::rand() & 0x7FFF;
}

std::wstring LongDate(void*) {
    wchar_t buf[128];
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, buf, 128)) return {};
    return buf;
}

BigRefreshEnv RefreshEnv() {
    BigRefreshEnv e;
    e.items.lang = &g_lang;
    e.items.ctx = g.host.ctx;
    e.items.random = RandomDraw;
    e.items.longDate = LongDate;
    e.items.nextRssTitle = g.host.rssNextTitle;
    e.items.rss = g.title.rss();
    e.items.tagTitles = g.title.tagTitles;
    e.ctx = g.host.ctx;
    e.seedRandom = [](void*) { std::srand(GetTickCount()); };
    e.rssUpdateIfDue = g.host.rssUpdateIfDue;
    return e;
}

void Rebuild() {
    BigTrackFacts f;
    if (g.host.facts) g.host.facts(g.host.ctx, f);
    BigRefreshTexts(g.texts, g.patterns, g.title, f, RefreshEnv());
    // The window text carries what is shown, for accessibility tools and tests.
    std::wstring text = g.texts.main + L"\n" + g.texts.info1 + L"\n" + g.texts.info2;
    if (text != g.shownText) {
        g.shownText = text;
        SetWindowTextW(g.view, text.c_str());
    }
}

int Margin() {
    return static_cast<int>(std::clamp(S().padding, 0, 50) * g.dpi);
}

COLORREF Blend(COLORREF a, COLORREF b, int tenths) {
    auto mix = [&](int ca, int cb) { return (ca * tenths + cb * (10 - tenths)) / 10; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

// The meter: two bars for the left and right channel. Position 26 of big_title (a digit) sets
// how strongly the bars take the title colour over the background (tenths; others: 4).
void PaintMeter(HDC dc, const RECT& area, bool vertical) {
    int left = 0, right = 0;
    if (!g.host.levels || !g.host.levels(g.host.ctx, left, right)) return;
    const char c = g.title.meterColour;
    const int tenths = c >= '0' && c <= '9' ? std::max(1, c - '0') : 4;
    HBRUSH brush = CreateSolidBrush(Blend(g.title.titleColour, g.title.background, tenths));
    const int w = area.right - area.left, h = area.bottom - area.top;
    const int levels[2] = {std::clamp(left, 0, 32767), std::clamp(right, 0, 32767)};
    for (int ch = 0; ch < 2; ++ch) {
        RECT bar;
        if (vertical) {
            const int barW = w / 2 - 2, top = area.bottom - h * levels[ch] / 32767;
            bar = RECT{area.left + ch * (w / 2) + 1, top, area.left + ch * (w / 2) + 1 + barW,
                       area.bottom};
        } else {
            const int barH = h / 2, len = w * levels[ch] / 32767;
            bar =
                RECT{area.left, area.top + ch * barH, area.left + len, area.top + (ch + 1) * barH};
        }
        FillRect(dc, &bar, brush);
    }
    DeleteObject(brush);
}

std::wstring ClockText() {
    if (g.title.clock != 'c' && g.title.clock != 'C') return {};
    SYSTEMTIME now;
    GetLocalTime(&now);
    int battery = -1;
    SYSTEM_POWER_STATUS power;
    if (g.title.clock == 'C' && GetSystemPowerStatus(&power) && power.BatteryLifePercent <= 100 &&
        !(power.BatteryFlag & 128))
        battery = power.BatteryLifePercent;
    return BigClockText(now.wHour, now.wMinute, battery);
}

HFONT MakeFont(int height, int width, int weight) {
    const std::wstring face(g.title.font.begin(), g.title.font.end());
    return CreateFontW(height, width, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, face.empty() ? L"Arial" : face.c_str());
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int W = rc.right, H = rc.bottom;
    if (W > 0 && H > 0) {
        if (g.texts.refresh) Rebuild();
        // One bitmap as wide as the client plus 200 pixels, made again only when it is too small.
        if (!g.bitmap || g.bitmapW < W + 200 || g.bitmapH < H) {
            if (g.bitmap) DeleteObject(g.bitmap);
            g.bitmapW = W + 200;
            g.bitmapH = H;
            g.bitmap = CreateCompatibleBitmap(dc, g.bitmapW, g.bitmapH);
        }
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ oldBitmap = SelectObject(mem, g.bitmap);
        HBRUSH back = CreateSolidBrush(g.title.background);
        FillRect(mem, &rc, back);
        DeleteObject(back);
        const BigMetrics m = BigLayoutMetrics(g.title, W, H, Margin(), g.texts.main.size());
        if (g.title.meter == 'v') PaintMeter(mem, RECT{0, H * 3 / 4, W, H}, false);
        if (m.meterW > 0) PaintMeter(mem, RECT{0, 0, m.meterW, H}, true);
        SetBkMode(mem, TRANSPARENT);

        HFONT mainFont = MakeFont(m.mainHeight, m.mainCharW, FW_BOLD);
        HGDIOBJ oldFont = SelectObject(mem, mainFont);
        SetTextColor(mem, g.title.titleColour);
        RECT mainRect{m.textX, m.textY, m.textX + m.textW, m.textY + m.mainBlock};
        DrawTextW(mem, g.texts.main.c_str(), -1, &mainRect, DT_WORDBREAK | DT_NOPREFIX);

        std::wstring timeText = g.host.timeText ? g.host.timeText(g.host.ctx) : std::wstring();
        const std::wstring second =
            BigSecondBlock(g.title.layout, g.texts.info1, g.texts.info2, timeText, ClockText());
        HFONT infoFont = MakeFont(m.infoHeight, m.infoCharW, FW_NORMAL);
        SelectObject(mem, infoFont);
        SetTextColor(mem, g.title.infoColour);
        RECT infoRect{m.textX, m.textY + m.mainBlock, m.textX + m.textW, m.textY + m.textH};
        DrawTextW(mem, second.c_str(), -1, &infoRect, DT_NOPREFIX);

        SelectObject(mem, oldFont);
        DeleteObject(mainFont);
        DeleteObject(infoFont);
        BitBlt(dc, 0, 0, W, H, mem, 0, 0, SRCCOPY);
        SelectObject(mem, oldBitmap);
        DeleteDC(mem);
    }
    EndPaint(hwnd, &ps);
}

void StoreRect() {
    if (g.embedded || !g.view || IsIconic(g.view)) return;
    RECT r;
    GetWindowRect(g.view, &r);
    WriteBigTitleRect(S().big_title, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void Command(unsigned id) {
    PostMessageW(g.main, WM_COMMAND, id, 0);
}

void ShowMenu(HWND hwnd, POINT at) {
    if (S().control_lock & 0x80) return;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuClose, LangText(g_lang, 87));
    if (!g.embedded) {
        HMENU show = CreatePopupMenu();
        const uint16_t current = S().big_t_time & 0x7FFF;
        for (size_t i = 0; i < std::size(kBigIdleChoices); ++i) {
            const uint16_t secs = kBigIdleChoices[i];
            const UINT check = secs == current ? MF_CHECKED : 0;
            if (i == 0) {
                AppendMenuW(show, MF_STRING | check, kMenuIdleFirst, L"Only manually");
                AppendMenuW(show, MF_SEPARATOR, 0, nullptr);
                AppendMenuW(show, MF_STRING | MF_DISABLED, 0, L"After idle time:");
                continue;
            }
            const std::wstring text = std::to_wstring(secs) + L" s";
            AppendMenuW(show, MF_STRING | check, kMenuIdleFirst + i, text.c_str());
        }
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(show), L"Show");
    }
    AppendMenuW(menu, MF_STRING, kMenuConfigure, LangText(g_lang, 88));
    if (g.title.rss()) {
        const std::wstring now =
            g.host.rssUpdateNowText ? g.host.rssUpdateNowText(g.host.ctx) : std::wstring();
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kMenuRssNow, now.c_str());
        AppendMenuW(menu, MF_STRING, kMenuRssView, LangText(g_lang, 89));
    }
    const UINT chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
    if (chosen == kMenuClose)
        Command(kCmdCloseBigView);
    else if (chosen == kMenuConfigure)
        Command(kCmdConfigureBigView);
    else if (chosen == kMenuRssView)
        Command(kCmdViewRssFile);
    else if (chosen == kMenuRssNow && g.host.rssUpdateNow) {
        g.host.rssUpdateNow(g.host.ctx);
        g.texts.refresh = true;
    } else if (chosen >= kMenuIdleFirst && chosen < kMenuIdleFirst + std::size(kBigIdleChoices)) {
        S().big_t_time = static_cast<uint16_t>((S().big_t_time & 0x8000) |
                                               kBigIdleChoices[chosen - kMenuIdleFirst]);
    }
}

// 40 ms while playing with a level meter, 333 ms while playing without, 1000 ms otherwise.
UINT UpdatePeriod() {
    const bool playing = g.host.playing && g.host.playing(g.host.ctx);
    return playing && g.title.meter != '-' ? 40 : playing ? 333 : 1000;
}

DWORD LastInput() {
    LASTINPUTINFO li{sizeof li, 0};
    return GetLastInputInfo(&li) ? li.dwTime : 0;
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything from its bitmap
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_TIMER:
            if (wParam == kCycleTimer) {
                if (g.title.patternOn()) BigCycleStep(g.patterns);
                g.texts.refresh = true;
            } else if (wParam == kRearmTimer) {
                KillTimer(hwnd, kRearmTimer);
                BigViewTimersWin(1);
            } else if (wParam == kUpdateTimer && g.shownBy == 1 && LastInput() != g.openedAt) {
                BigViewShowWin(false);  // any input closes the idle view
                return 0;
            } else if (wParam == kUpdateTimer && UpdatePeriod() != g.updateMs) {
                BigViewTimersWin(1);  // playback started or stopped: another rate
            }
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            if (!g.embedded) {
                ReleaseCapture();
                SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            }
            return 0;
        case WM_RBUTTONUP: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(hwnd, &p);
            ShowMenu(hwnd, p);
            return 0;
        }
        case WM_KEYDOWN:
            if (g.shownBy == 1)
                BigViewShowWin(false);
            else
                PostMessageW(g.main, msg, wParam, lParam);
            return 0;
        case WM_MOVE:
        case WM_SIZE:
            StoreRect();
            g.texts.refresh = true;
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_CLOSE:
            BigViewShowWin(false);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Register() {
    if (g.registered) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = g.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    g.registered = RegisterClassW(&wc) != 0;
}

void Open(int shownBy) {
    if (g.view) return;
    Register();
    g.title = ReadBigTitle(S().big_title);
    g.embedded = BigIsEmbedded(S().big_embedded);
    g.patterns = SplitBigPatterns(S().big_infoptrn);
    g.texts = BigTexts{};
    g.shownText.clear();
    g.shownBy = shownBy;
    if (g.embedded) {
        g.view = CreateWindowExW(0, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0,
                                 0, g.main, nullptr, g.instance, nullptr);
    } else {
        const int w = std::max(g.title.width, 100), h = std::max(g.title.height, 40);
        g.view =
            CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP | WS_THICKFRAME, g.title.left,
                            g.title.top, w, h, g.main, nullptr, g.instance, nullptr);
    }
    if (!g.view) {
        g.shownBy = 0;
        return;
    }
    Rebuild();
    if (g.embedded) {
        if (g.host.layout) g.host.layout(g.host.ctx);
    } else {
        ShowWindow(g.view, shownBy == 1 ? SW_SHOWNOACTIVATE : SW_SHOW);
    }
    g.openedAt = LastInput();
    BigViewTimersWin(1);
    if (g.title.cycleSeconds > 0)
        SetTimer(g.view, kCycleTimer, static_cast<UINT>(g.title.cycleSeconds) * 1000, nullptr);
}

void Close() {
    if (!g.view) return;
    BigViewTimersWin(0);
    KillTimer(g.view, kCycleTimer);
    KillTimer(g.view, kRearmTimer);
    if (g.host.meterRequest) g.host.meterRequest(g.host.ctx, false);
    HWND view = g.view;
    g.view = nullptr;
    g.shownBy = 0;
    DestroyWindow(view);
    if (g.bitmap) DeleteObject(g.bitmap);
    g.bitmap = nullptr;
    g.bitmapW = g.bitmapH = 0;
    g.idle.lastActivityMs = GetTickCount();
    if (g.embedded && g.host.layout) g.host.layout(g.host.ctx);
}

}  // namespace

void BigViewStartWin(HWND mainWindow, HINSTANCE instance, double dpiFactor,
                     const BigViewHost& host) {
    g.main = mainWindow;
    g.instance = instance;
    g.dpi = dpiFactor;
    g.host = host;
}

void BigViewShowWin(bool show) {
    if (show)
        Open(2);
    else
        Close();
}

int BigViewStateWin() {
    return g.view ? g.shownBy : 0;
}
bool BigViewIsOpenWin() {
    return g.view != nullptr;
}
bool BigViewEmbeddedOpenWin() {
    return g.view && g.embedded;
}

void BigViewPlaceEmbeddedWin(int x, int y, int w, int h) {
    if (!g.view || !g.embedded) return;
    SetWindowPos(g.view, HWND_TOP, x, y, w, h, SWP_NOACTIVATE);
}

void BigViewTimersWin(int mode) {
    if (!g.view) return;
    if (mode == 4) {
        SetTimer(g.view, kRearmTimer, 1000, nullptr);
        return;
    }
    if (mode <= 1) KillTimer(g.view, kUpdateTimer);
    if (mode < 1) return;
    g.updateMs = UpdatePeriod();
    if (g.host.meterRequest) g.host.meterRequest(g.host.ctx, g.updateMs == 40);
    SetTimer(g.view, kUpdateTimer, g.updateMs, nullptr);
}

void BigViewIdleCheckWin() {
    POINT p{};
    GetCursorPos(&p);
    if (BigIdleDue(g.idle, p.x, p.y, GetTickCount(), S().big_t_time, g.view != nullptr,
                   BigIsEmbedded(S().big_embedded)))
        Open(1);
}

void BigViewCommandWin(CommandId id, intptr_t) {
    if (id == kCmdBigView)
        BigViewShowWin(!g.view);
    else if (id == kCmdCloseBigView)
        BigViewShowWin(false);
}
