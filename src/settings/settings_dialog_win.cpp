// The settings dialog's frame: the tree of the 19 pages, the page shown beside it, "Restart
// Zuvo" and "&Close". Only the selected page exists; it is made from its template when the tree
// selection changes to it and destroyed when another one is chosen.
#include "settings/settings_dialog_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "config/lang.h"
#include "config/lang_win.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "config/settings_io.h"
#include "settings/settings_frame.h"
#include "settings/settings_frame_win.h"
#include "settings/settings_ids.h"
#include "settings/settings_pages.h"
#include "settings/sound_pages_win.h"
#include "ui/face_win.h"

namespace {

struct FrameState {
    SettingsStart start;
    HWND dialog = nullptr;
    HWND tree = nullptr;
    HWND page = nullptr;
    HTREEITEM items[kSettingsPageCount] = {};
    HFONT titleFont = nullptr, treeFont = nullptr;
    HBRUSH brush = nullptr;
    SettingsPageEnv env;
    int openOn = -1;  // the page to open on instead of tab_sel
    ThemeSnapshot opening{};  // theme 0 ("Current") puts these back
    Settings openingSettings;  // as they were when the dialog opened
};
FrameState g_frame;

DLGPROC PageProc(int index) {
    switch (index) {
    case 0: return QuickPageProcWin;
    case 1: return AudioPageProcWin;
    case 2: return DecodersPageProcWin;
    case 3: return Enhancer1PageProcWin;
    case 4: return Enhancer2PageProcWin;
    case 8: return HotkeysPageProcWin;
    default: return GeneralPageProcWin;
    }
}

void DestroyPage() {
    if (g_frame.page) DestroyWindow(g_frame.page);
    g_frame.page = nullptr;
}

void ReleaseBrushes() {
    if (g_frame.brush) DeleteObject(g_frame.brush);
    if (g_frame.env.field) DeleteObject(g_frame.env.field);
    g_frame.brush = g_frame.env.field = nullptr;
    g_frame.env.back = nullptr;
}

void ReleaseGdi() {
    if (g_frame.titleFont) DeleteObject(g_frame.titleFont);
    if (g_frame.treeFont) DeleteObject(g_frame.treeFont);
    g_frame.titleFont = g_frame.treeFont = nullptr;
    ReleaseBrushes();
}

// The page and field colours of the settings as they are now, with their brushes.
void MakeLook() {
    const Settings& s = g_settings;
    const COLORREF back = SettingsBackColor(s);
    g_frame.brush = CreateSolidBrush(back);
    SettingsPageEnv& env = g_frame.env;
    env.back = g_frame.brush;
    env.backColor = back;
    env.textColor = SettingsTextColor(s);
    env.dark = SettingsDialogDark(s);
    uint32_t fieldBack = 0, fieldText = 0;
    if (SettingsFieldColors(s, fieldBack, fieldText)) {
        env.fieldBack = fieldBack;
        env.fieldText = fieldText;
        env.field = CreateSolidBrush(fieldBack);
    } else {
        env.fieldBack = GetSysColor(COLOR_WINDOW);
        env.fieldText = GetSysColor(COLOR_WINDOWTEXT);
        env.field = nullptr;
    }
}

// The tree in the frame's colours: dark dialogs give it the frame's background and, from
// more_dark 3 on, the light text; light ones the system's (-1).
void ColourTree() {
    const Settings& s = g_settings;
    uint32_t treeText;
    const bool light = SettingsTreeTextColor(s, treeText);
    SendMessageW(g_frame.tree, TVM_SETTEXTCOLOR, 0, light ? static_cast<LPARAM>(treeText) : -1);
    SendMessageW(g_frame.tree, TVM_SETBKCOLOR, 0,
                 g_frame.env.dark ? static_cast<LPARAM>(g_frame.env.backColor) : -1);
}


// Creates the page of index in the frame's page area and shows its name above it.
void ShowPage(int index) {
    if (index < 0 || index >= kSettingsPageCount) index = 0;
    g_settings.tab_sel = static_cast<uint8_t>(index);
    DestroyPage();
    SetDlgItemTextW(g_frame.dialog, kIdFrameTitle, LangText(g_lang, kLangPageNames + index));
    HWND area = GetDlgItem(g_frame.dialog, kIdFramePageArea);
    RECT r{};
    GetWindowRect(area, &r);
    MapWindowPoints(nullptr, g_frame.dialog, reinterpret_cast<POINT*>(&r), 2);
    g_frame.page = CreateDialogParamW(g_frame.start.instance, SettingsPageTemplateWin(index),
                                      g_frame.dialog, PageProc(index),
                                      reinterpret_cast<LPARAM>(&g_frame.env));
    if (!g_frame.page) return;
    SetWindowPos(g_frame.page, GetDlgItem(g_frame.dialog, kIdFrameTree), r.left, r.top,
                 r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
}

HFONT DerivedFont(HWND from, bool bold) {
    LOGFONTW lf{};
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(from, WM_GETFONT, 0, 0));
    if (!f || !GetObjectW(f, sizeof lf, &lf)) return nullptr;
    if (bold) lf.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&lf);
}

// The roots are inserted expanded (no expand message a root), the tree drawn once at the end.
void FillTree() {
    HWND tree = g_frame.tree;
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kSettingsPageCount; ++i) {
        const int parent = kSettingsPages[i].parent;
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent < 0 ? TVI_ROOT : g_frame.items[parent];
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        ins.item.pszText = const_cast<wchar_t*>(LangText(g_lang, kLangPageNames + i));
        ins.item.lParam = i;
        ins.item.stateMask = TVIS_BOLD | TVIS_EXPANDED;
        ins.item.state = parent < 0 ? TVIS_BOLD | TVIS_EXPANDED : 0;
        g_frame.items[i] = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
}

void OpenFrame(HWND dialog) {
    g_frame.dialog = dialog;
    g_frame.tree = GetDlgItem(dialog, kIdFrameTree);
    const Settings& s = g_settings;
    g_frame.opening = TakeThemeSnapshot(s);
    g_frame.openingSettings = s;
    // 1. The brushes, and the dark frame.
    g_frame.env = SettingsPageEnv{};
    g_frame.env.settings = &g_settings;
    g_frame.env.host = &g_frame.start.host;
    g_frame.env.dpiFactor = g_frame.start.dpiFactor;
    MakeLook();
    ApplyDarkModeToDialog(dialog, g_frame.tree);
    // 3. The bold title font, the tree font and its item height, the tree's dark colours.
    g_frame.titleFont = DerivedFont(dialog, true);
    if (g_frame.titleFont)
        SendDlgItemMessageW(dialog, kIdFrameTitle, WM_SETFONT,
                            reinterpret_cast<WPARAM>(g_frame.titleFont), FALSE);
    g_frame.treeFont = DerivedFont(dialog, false);
    if (g_frame.treeFont)
        SendMessageW(g_frame.tree, WM_SETFONT, reinterpret_cast<WPARAM>(g_frame.treeFont), FALSE);
    const int height = static_cast<int>(SendMessageW(g_frame.tree, TVM_GETITEMHEIGHT, 0, 0));
    SendMessageW(g_frame.tree, TVM_SETITEMHEIGHT,
                 static_cast<WPARAM>(height + static_cast<int>(7 * g_frame.start.dpiFactor)), 0);
    if (g_frame.env.dark) ColourTree();
    // 4. and 5. The tree, then the page of tab_sel (the selection change creates it).
    FillTree();
    int first = g_frame.openOn >= 0 ? g_frame.openOn : s.tab_sel;
    if (first >= kSettingsPageCount) first = 0;
    SendMessageW(g_frame.tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(g_frame.items[first]));
    if (!g_frame.page) ShowPage(first);  // already selected: no change was reported
    // 6. The title and the two buttons.
    LangDialogText(kLangFrameTitle, dialog, 0);
    LangDialogText(kLangRestart, dialog, kIdFrameRestart);
    LangDialogText(kLangClose, dialog, IDCANCEL);
    SetFocus(g_frame.tree);
}

void CloseFrame(HWND dialog) {
    DestroyPage();
    const SettingsHost& h = g_frame.start.host;
    if (h.refreshStatus) h.refreshStatus(h.ctx);
    if (h.settingsEdited) h.settingsEdited(h.ctx, g_frame.openingSettings);
    EndDialog(dialog, 0);
}

void Restart(HWND dialog) {
    const SettingsHost& h = g_frame.start.host;
    DestroyPage();
    ReleaseGdi();
    const std::wstring args =
        RestartArguments(h.playing && h.playing(h.ctx), h.portable && h.portable(h.ctx));
    if (h.shutdown) h.shutdown(h.ctx);
    Sleep(100);
    const std::wstring ini = h.settingsPath ? h.settingsPath(h.ctx) : std::wstring();
    WIN32_FILE_ATTRIBUTE_DATA fa{};
    const bool written = !ini.empty() &&
                         GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &fa) &&
                         (fa.nFileSizeLow != 0 || fa.nFileSizeHigh != 0);
    const std::wstring exe = h.programPath ? h.programPath(h.ctx) : std::wstring();
    if (written && !exe.empty()) {
        std::wstring line = L"\"" + exe + L"\"" + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    EndDialog(dialog, 1);
    DestroyWindow(g_frame.start.mainWindow);
}

// The settings changed the dialog's look (a colour theme, the dark mode options): the frame,
// the tree and the page take the new colours at once. The page is made again, since dark and
// light pages differ in more than colours (group titles, check box styles); the focus goes
// back to the control that had it.
void Recolour() {
    if (!g_frame.dialog) return;
    const Settings& s = g_settings;
    uint32_t fieldBack = 0, fieldText = 0;
    const bool fields = SettingsFieldColors(s, fieldBack, fieldText);
    const SettingsPageEnv& env = g_frame.env;
    if (env.backColor == SettingsBackColor(s) && env.dark == SettingsDialogDark(s) &&
        (env.field != nullptr) == fields &&
        (!fields || (env.fieldBack == fieldBack && env.fieldText == fieldText)))
        return;
    HWND focus = GetFocus();
    const int focusId = focus && g_frame.page && IsChild(g_frame.page, focus) ? GetDlgCtrlID(focus) : 0;
    DestroyPage();
    ReleaseBrushes();
    MakeLook();
    if (static_cast<uint32_t>(s.stylez) & Style::DarkMode)
        ApplyDarkModeToDialog(g_frame.dialog, g_frame.tree);
    else
        SetDarkFrameWin(g_frame.dialog, false);
    ColourTree();
    ShowPage(s.tab_sel);
    if (focusId && g_frame.page) SetFocus(GetDlgItem(g_frame.page, focusId));
    RedrawWindow(g_frame.dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

constexpr UINT kMsgRecolour = WM_APP + 27;

INT_PTR CALLBACK FrameProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OpenFrame(dialog);
        return FALSE;  // the focus is set
    case WM_NOTIFY: {
        const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
        if (n->idFrom == kIdFrameTree && n->code == TVN_SELCHANGEDW) {
            const NMTREEVIEWW* tv = reinterpret_cast<const NMTREEVIEWW*>(lp);
            ShowPage(static_cast<int>(tv->itemNew.lParam));
        }
        return FALSE;
    }
    case kMsgRecolour:
        Recolour();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) CloseFrame(dialog);
        if (LOWORD(wp) == kIdFrameRestart) Restart(dialog);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return SettingsPageColorWin(&g_frame.env, msg, wp);
    case WM_DESTROY:
        ReleaseGdi();
        g_frame.dialog = g_frame.tree = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR SettingsPageColorWin(const SettingsPageEnv* env, UINT msg, WPARAM wp) {
    if (!env || !env->back) return 0;
    HDC dc = reinterpret_cast<HDC>(wp);
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(env->back);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetTextColor(dc, env->textColor);
        SetBkColor(dc, env->backColor);
        return reinterpret_cast<INT_PTR>(env->back);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (!env->field) return 0;
        SetTextColor(dc, env->fieldText);
        SetBkColor(dc, env->fieldBack);
        return reinterpret_cast<INT_PTR>(env->field);
    default:
        return 0;
    }
}

namespace {

constexpr UINT_PTR kFieldSubclass = 0x5A46;

// A dark page's fields ask their page for colours; every page answers through this subclass,
// whatever its own procedure does with the message.
LRESULT CALLBACK PageFields(HWND page, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) {
        const INT_PTR brush = SettingsPageColorWin(reinterpret_cast<const SettingsPageEnv*>(ref), msg, wp);
        if (brush) return brush;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(page, PageFields, kFieldSubclass);
    return DefSubclassProc(page, msg, wp, lp);
}

// The fields that do not ask for colours: list views and trees get the field colours; drop-
// down lists lose their visual style, so that their face asks as an edit box does.
void ColourFields(HWND page, const SettingsPageEnv& env, HRESULT(WINAPI* setTheme)(HWND, LPCWSTR, LPCWSTR)) {
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (lstrcmpiW(cls, WC_LISTVIEWW) == 0) {
            SendMessageW(c, LVM_SETBKCOLOR, 0, env.fieldBack);
            SendMessageW(c, LVM_SETTEXTBKCOLOR, 0, env.fieldBack);
            SendMessageW(c, LVM_SETTEXTCOLOR, 0, env.fieldText);
        } else if (lstrcmpiW(cls, WC_TREEVIEWW) == 0) {
            SendMessageW(c, TVM_SETBKCOLOR, 0, env.fieldBack);
            SendMessageW(c, TVM_SETTEXTCOLOR, 0, env.fieldText);
        } else if (lstrcmpiW(cls, WC_COMBOBOXW) == 0 && setTheme) {
            setTheme(c, L"", L"");
        }
    }
}

}  // namespace

void SettingsPageDarkenWin(HWND page, const SettingsPageEnv* env) {
    if (!env || !env->dark) return;
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const SetTheme setTheme = SystemDllProc<SetTheme>(L"uxtheme.dll", "SetWindowTheme");
    if (env->field) {
        SetWindowSubclass(page, PageFields, kFieldSubclass,
                          reinterpret_cast<DWORD_PTR>(const_cast<SettingsPageEnv*>(env)));
        ColourFields(page, *env, setTheme);
    }
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
    std::vector<HWND> groups;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (lstrcmpiW(cls, L"Button") != 0) continue;
        const LONG type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_GROUPBOX) groups.push_back(c);
        if (setTheme && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ||
                         type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON))
            setTheme(c, L"", L"");
    }
    // A group box draws its title in the theme's text colour: its title becomes a text
    // control over the frame line, which takes the page's colours.
    for (HWND g : groups) {
        wchar_t title[128] = {};
        GetWindowTextW(g, title, 128);
        if (!title[0]) continue;
        RECT r{};
        GetWindowRect(g, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        HDC dc = GetDC(page);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, title, lstrlenW(title), &size);
        SelectObject(dc, old);
        ReleaseDC(page, dc);
        SetWindowTextW(g, L"");
        SetWindowLongW(g, GWL_STYLE, GetWindowLongW(g, GWL_STYLE) | WS_CLIPSIBLINGS);
        HWND label = CreateWindowExW(0, L"STATIC", title, WS_CHILD | WS_VISIBLE,
                                     r.left + 6, r.top, size.cx + 4, size.cy, page, nullptr,
                                     nullptr, nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(label, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

void SettingsRecolourWin() {
    if (g_frame.dialog) PostMessageW(g_frame.dialog, kMsgRecolour, 0, 0);
}

const ThemeSnapshot* SettingsOpeningThemeWin() {
    return g_frame.dialog ? &g_frame.opening : nullptr;
}

SettingsPageEnv* SettingsPageEnvWin(HWND page) {
    return reinterpret_cast<SettingsPageEnv*>(GetWindowLongPtrW(page, DWLP_USER));
}

void SettingsStartWin(const SettingsStart& start) {
    g_frame.start = start;
}

void SettingsCommandWin(CommandId id, intptr_t) {
    if (g_frame.dialog) {
        SetForegroundWindow(g_frame.dialog);
        return;
    }
    g_frame.openOn = id == kCmdConfigureBigView ? kPageBigView : -1;
    DialogBoxParamW(g_frame.start.instance, MAKEINTRESOURCEW(kSettingsFrameTemplate),
                    g_frame.start.mainWindow, FrameProc, 0);
    g_frame.openOn = -1;
}
