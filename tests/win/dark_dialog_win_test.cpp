// The dark dialog colours: what each kind of control is told when it asks its dialog for its
// colours, the controls that hold their own colours, and a second call replacing the first.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "base/dialog_win.h"

namespace {

constexpr COLORREF kBack = RGB(0x20, 0x21, 0x22), kText = RGB(0xE0, 0xE1, 0xE2);
constexpr COLORREF kField = RGB(0x30, 0x31, 0x32), kFieldText = RGB(0xC0, 0xC1, 0xC2);

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Dialog {
    HWND dlg, staticText, check, edit, readOnly, list, listView;
    Dialog() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        const std::vector<WORD> t = DialogTemplateWin(L"dark", 200, 100, WS_POPUP | WS_CAPTION);
        dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr,
                                         Quiet, 0);
        auto make = [&](const wchar_t* cls, DWORD style) {
            return CreateWindowExW(0, cls, L"x", WS_CHILD | style, 0, 0, 50, 20, dlg, nullptr,
                                   nullptr, nullptr);
        };
        staticText = make(L"STATIC", 0);
        check = make(L"BUTTON", BS_AUTOCHECKBOX);
        edit = make(L"EDIT", 0);
        readOnly = make(L"EDIT", ES_READONLY);
        list = make(L"LISTBOX", 0);
        listView = make(WC_LISTVIEWW, LVS_REPORT);
    }
    ~Dialog() { DestroyWindow(dlg); }
};

COLORREF BrushColour(LRESULT brush) {
    LOGBRUSH lb{};
    if (!brush || !GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb)) return CLR_INVALID;
    return lb.lbColor;
}

struct Asked {
    COLORREF brush, text;
};

Asked Ask(HWND dlg, UINT msg, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT r = SendMessageW(dlg, msg, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(control));
    Asked a{BrushColour(r), GetTextColor(dc)};
    DeleteDC(dc);
    return a;
}

TEST(DarkDialog, EachControlGetsItsColours) {
    Dialog d;
    DarkDialogWin(d.dlg, DarkDialogColours{kBack, kText, kField, kFieldText});
    const struct {
        const char* what;
        UINT msg;
        HWND control;
        Asked want;
    } cases[] = {
        {"dialog", WM_CTLCOLORDLG, d.dlg, {kBack, kText}},
        {"static", WM_CTLCOLORSTATIC, d.staticText, {kBack, kText}},
        {"check box", WM_CTLCOLORSTATIC, d.check, {kBack, kText}},
        {"button", WM_CTLCOLORBTN, d.check, {kBack, kText}},
        {"edit", WM_CTLCOLOREDIT, d.edit, {kField, kFieldText}},
        {"read-only edit", WM_CTLCOLORSTATIC, d.readOnly, {kField, kFieldText}},
        {"list box", WM_CTLCOLORLISTBOX, d.list, {kField, kFieldText}},
    };
    for (const auto& c : cases) {
        const Asked got = Ask(d.dlg, c.msg, c.control);
        EXPECT_EQ(got.brush, c.want.brush) << c.what;
        EXPECT_EQ(got.text, c.want.text) << c.what;
    }
    EXPECT_EQ(SendMessageW(d.listView, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(kField));
    EXPECT_EQ(SendMessageW(d.listView, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(kFieldText));
}

TEST(DarkDialog, FieldsKeepSystemColoursAndASecondCallReplaces) {
    Dialog d;
    const LRESULT listBefore = SendMessageW(d.listView, LVM_GETBKCOLOR, 0, 0);
    DarkDialogWin(d.dlg, DarkDialogColours{kBack, kText, CLR_INVALID, 0});
    EXPECT_NE(Ask(d.dlg, WM_CTLCOLOREDIT, d.edit).brush, kField);
    EXPECT_NE(Ask(d.dlg, WM_CTLCOLOREDIT, d.edit).text, kFieldText);
    EXPECT_EQ(SendMessageW(d.listView, LVM_GETBKCOLOR, 0, 0), listBefore);
    EXPECT_EQ(Ask(d.dlg, WM_CTLCOLORSTATIC, d.staticText).brush, kBack);

    const COLORREF other = RGB(0x40, 0x41, 0x42);
    DarkDialogWin(d.dlg, DarkDialogColours{other, kText, kField, kFieldText});
    EXPECT_EQ(Ask(d.dlg, WM_CTLCOLORSTATIC, d.staticText).brush, other);
    EXPECT_EQ(Ask(d.dlg, WM_CTLCOLOREDIT, d.edit).brush, kField);
}

}  // namespace
