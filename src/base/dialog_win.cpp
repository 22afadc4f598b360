#include "base/dialog_win.h"

#include <shellapi.h>

#include <algorithm>

std::vector<WORD> DialogTemplateWin(const wchar_t* title, short cx, short cy, DWORD style) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = style;
    d->cx = cx;
    d->cy = cy;
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard dialog class
    for (const wchar_t* c = title; *c; ++c) t.push_back(static_cast<WORD>(*c));
    t.push_back(0);
    return t;
}

HWND DialogControlWin(HWND dlg, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                      int w, int h, int id, DWORD exStyle) {
    HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

std::wstring DialogItemTextWin(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
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
