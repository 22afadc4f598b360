// The general pages: every control is a row of the control table; the procedure shows each
// row's value when the page opens and writes the field as the control changes. The few
// controls that are more than a field (colours, fonts, themes, the HTTP server, the portable
// marker, the help and about texts) are handled here by their ids.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>

#include "base/dll_win.h"
#include "base/utf.h"
#include "config/lang.h"
#include "config/settings.h"
#include "config/settings_io.h"
#include "settings/control_table.h"
#include "settings/settings_frame_win.h"
#include "settings/settings_ids.h"

namespace {

struct PageState {
    SettingsPageEnv* env = nullptr;
    int page = 0;
    bool filling = false;  // the page sets its own controls: no write-back
    COLORREF custom[16] = {};
};

PageState* State(HWND page) {
    return reinterpret_cast<PageState*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

std::wstring Wide(const std::string& s) {
    return Utf8ToWide(s);
}

std::string ItemText(HWND page, int id) {
    HWND c = GetDlgItem(page, id);
    const int n = GetWindowTextLengthW(c);
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(c, w.data(), n + 1);
    w.resize(static_cast<size_t>(n));
    return WideToUtf8(w);
}

// Long help texts: "#" stands for a line break.
std::wstring HelpText(int index) {
    std::wstring t = LangText(g_lang, index);
    std::wstring out;
    for (wchar_t ch : t) {
        if (ch == L'#') out += L"\r\n";
        else out += ch;
    }
    return out;
}

void Refresh(const SettingsHost* h, bool face) {
    if (!h) return;
    if (face && h->refreshFace) h->refreshFace(h->ctx);
    if (h->refreshStatus) h->refreshStatus(h->ctx);
}

void ShowHttpStatus(HWND page, const PageState& st) {
    const SettingsHost* h = st.env->host;
    if (!h) return;
    SetDlgItemTextW(page, 3602, h->httpStatus ? Wide(h->httpStatus(h->ctx)).c_str() : L"");
    // While the server is off the status line names the local address itself.
    const bool on = !st.env->settings->httpserv.empty() && st.env->settings->httpserv[0] == 'a';
    const std::string local = h->httpLocalAddress ? h->httpLocalAddress(h->ctx) : std::string();
    SetDlgItemTextW(page, 3603, on ? (L"Local IP address: " + Wide(local)).c_str() : L"");
}

std::wstring MarkerPath(const SettingsHost* h) {
    std::wstring exe = h && h->programPath ? h->programPath(h->ctx) : std::wstring();
    const size_t slash = exe.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash + 1)) +
           L"Zuvolocal.ini";
}

// Shows every control of the page from the record.
void Fill(HWND page, PageState& st) {
    const Settings& s = *st.env->settings;
    st.filling = true;
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& c = kControlTable[i];
        if (c.page != st.page) continue;
        HWND w = GetDlgItem(page, c.id);
        if (!w) continue;
        switch (c.kind) {
        case Ctl::Bit:
        case Ctl::Switch:
        case Ctl::CharFlag:
        case Ctl::Radio:
            CheckDlgButton(page, c.id, ControlValue(s, c) ? BST_CHECKED : BST_UNCHECKED);
            break;
        case Ctl::Number:
        case Ctl::Digits:
        case Ctl::CharCount:
        case Ctl::SkipStep: {
            // The up-down control made right after the box steps within the limits.
            HWND arrows = GetWindow(w, GW_HWNDNEXT);
            wchar_t cls[32] = {};
            if (arrows) GetClassNameW(arrows, cls, 32);
            if (lstrcmpiW(cls, UPDOWN_CLASSW) == 0) {
                const int hi = c.kind == Ctl::SkipStep ? SkipStepSeconds(c.max) : c.max;
                SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(c.min), hi);
            }
            SetDlgItemInt(page, c.id, static_cast<UINT>(ControlValue(s, c)), FALSE);
            break;
        }
        case Ctl::Choice:
        case Ctl::CharChoice:
            SendMessageW(w, CB_RESETCONTENT, 0, 0);
            for (int e = 0; e < ControlEntryCount(c); ++e)
                SendMessageW(w, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Wide(ControlEntry(c, e)).c_str()));
            SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(ControlValue(s, c)), 0);
            break;
        case Ctl::Text:
        case Ctl::TextFrom:
            SendMessageW(w, EM_LIMITTEXT, static_cast<WPARAM>(c.max - (c.kind == Ctl::TextFrom ? c.shift : 0)), 0);
            SetWindowTextW(w, Wide(ControlText(s, c)).c_str());
            break;
        default:
            break;
        }
    }
    // The page's own controls.
    const SettingsHost* h = st.env->host;
    if (st.page == 10) {
        HWND themes = GetDlgItem(page, 3370);
        for (int t = 0; t <= kColourThemeCount; ++t)
            SendMessageW(themes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LangText(g_lang, 213 + t)));
        SendMessageW(themes, CB_SETCURSEL, static_cast<WPARAM>(st.env->themeShown), 0);
    }
    if (st.page == 13)
        CheckDlgButton(page, 3504, h && h->portable && h->portable(h->ctx) ? BST_CHECKED : BST_UNCHECKED);
    if (st.page == 15) ShowHttpStatus(page, st);
    if (st.page == 16) SetDlgItemTextW(page, 3653, HelpText(235).c_str());
    if (st.page == 17) SetDlgItemTextW(page, 3703, HelpText(236).c_str());
    if (st.page == 18)
        SetDlgItemTextW(page, 3751,
                        L"Zuvo Directory Player\r\n\r\nPlays the audio files of a folder one after "
                        L"another, gapless, and moves on to the next folder.\r\n\r\nCopyright (C) "
                        L"2026 Zuvo Developers");
    st.filling = false;
}

bool PickColour(HWND page, PageState& st, COLORREF& colour) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = page;
    cc.rgbResult = colour;
    cc.lpCustColors = st.custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    // The common dialogs' library is loaded on first use.
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORW*);
    auto choose = SystemDllProc<ChooseColorFn>(L"comdlg32.dll", "ChooseColorW");
    if (!choose || !choose(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

void PickFont(HWND page, PageState& st) {
    Settings& s = *st.env->settings;
    LOGFONTW lf{};
    HDC dc = GetDC(page);
    lf.lfHeight = s.font_size ? -MulDiv(s.font_size, GetDeviceCaps(dc, LOGPIXELSY), 72) : 0;
    ReleaseDC(page, dc);
    const std::wstring face = Wide(s.font_face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = page;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    using ChooseFontFn = BOOL(WINAPI*)(CHOOSEFONTW*);
    auto choose = SystemDllProc<ChooseFontFn>(L"comdlg32.dll", "ChooseFontW");
    if (!choose || !choose(&cf)) return;
    const std::string name = WideToUtf8(lf.lfFaceName);
    if (name.size() < 40) s.font_face = name;
    const int points = cf.iPointSize / 10;
    s.font_size = static_cast<uint8_t>(points < 0 ? 0 : points > 72 ? 72 : points);
    SetDlgItemInt(page, 3401, s.font_size, FALSE);
    Refresh(st.env->host, true);
}

// A control of the page changed: write its field, then what follows from it.
void Changed(HWND page, PageState& st, int id, int code) {
    Settings& s = *st.env->settings;
    const SettingsHost* h = st.env->host;
    const ControlRow* c = FindControl(id);
    if (!c || c->page != st.page) return;
    bool face = false;
    switch (c->kind) {
    case Ctl::Bit:
    case Ctl::Switch:
    case Ctl::CharFlag:
    case Ctl::Radio:
        if (code != BN_CLICKED) return;
        SetControlValue(s, *c, IsDlgButtonChecked(page, id) == BST_CHECKED);
        face = true;
        break;
    case Ctl::Number:
    case Ctl::Digits:
    case Ctl::CharCount:
    case Ctl::SkipStep: {
        BOOL ok = FALSE;
        const UINT v = GetDlgItemInt(page, id, &ok, FALSE);
        if (code == EN_CHANGE && ok) SetControlValue(s, *c, v);
        // Leaving the box shows what was stored (within the limits).
        if (code == EN_KILLFOCUS) {
            st.filling = true;
            SetDlgItemInt(page, id, static_cast<UINT>(ControlValue(s, *c)), FALSE);
            st.filling = false;
        }
        if (code != EN_CHANGE) return;
        face = true;
        break;
    }
    case Ctl::Choice:
    case Ctl::CharChoice:
        if (code != CBN_SELCHANGE) return;
        SetControlValue(s, *c, SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
        face = true;
        break;
    case Ctl::Text:
    case Ctl::TextFrom:
        if (code != EN_CHANGE) return;
        SetControlText(s, *c, ItemText(page, id));
        break;
    case Ctl::Colour: {
        if (code != BN_CLICKED) return;
        COLORREF colour = static_cast<COLORREF>(ControlValue(s, *c));
        if (!PickColour(page, st, colour)) return;
        SetControlValue(s, *c, colour);
        if (std::string_view(c->key) == "color_trkbg") s.trackBackgroundSet = true;
        face = true;
        break;
    }
    case Ctl::Font:
        if (code == BN_CLICKED) PickFont(page, st);
        return;
    case Ctl::Action:
        if (id == 3370 && code == CBN_SELCHANGE) {
            const int t = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
            ApplyColourTheme(s, t, st.env->dpiFactor, SettingsOpeningThemeWin());
            st.env->themeShown = t < 0 ? 0 : t;
            Fill(page, st);
            face = true;
        } else if (id == 3504 && code == BN_CLICKED) {
            if (IsDlgButtonChecked(page, id) == BST_CHECKED) {
                if (!h || !h->makePortable || !h->makePortable(h->ctx)) {
                    CheckDlgButton(page, id, BST_UNCHECKED);
                    MessageBoxW(page, L"No write access!", LangText(g_lang, 222), MB_ICONWARNING);
                }
            } else {
                DeleteFileW(MarkerPath(h).c_str());
            }
            return;
        } else if (id == 3750 && code == BN_CLICKED) {
            std::wstring manual = MarkerPath(h);
            manual.replace(manual.size() - 13, 13, L"Zuvo.html");
            if (reinterpret_cast<INT_PTR>(ShellExecuteW(page, L"open", manual.c_str(), nullptr,
                                                        nullptr, SW_SHOWNORMAL)) <= 32)
                MessageBoxW(page, (manual + L"\r\n\r\nThe manual is not there.").c_str(),
                            LangText(g_lang, 222), MB_ICONINFORMATION);
            return;
        } else {
            return;
        }
        break;
    default:
        return;
    }
    // What follows from some fields at once.
    if (id == 3600) {
        if (h && h->httpControl) h->httpControl(h->ctx, false);
        ShowHttpStatus(page, st);
    }
    Refresh(h, face);
    if (face) SettingsRecolourWin();
}

}  // namespace

INT_PTR CALLBACK GeneralPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(page, DWLP_USER, lp);
        auto* st = new PageState;
        st->env = reinterpret_cast<SettingsPageEnv*>(lp);
        st->page = st->env && st->env->settings ? st->env->settings->tab_sel : 0;
        SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(st));
        SettingsPageDarkenWin(page, st->env);
        if (st->env && st->env->settings) Fill(page, *st);
        return FALSE;
    }
    case WM_COMMAND: {
        PageState* st = State(page);
        if (st && !st->filling && st->env && st->env->settings)
            Changed(page, *st, LOWORD(wp), HIWORD(wp));
        return TRUE;
    }
    case WM_DESTROY:
        delete State(page);
        SetWindowLongPtrW(page, GWLP_USERDATA, 0);
        return FALSE;
    default:
        return SettingsPageColorWin(SettingsPageEnvWin(page), msg, wp);
    }
}
