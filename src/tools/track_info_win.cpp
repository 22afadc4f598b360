#include "tools/track_info_win.h"

#include <string>
#include <vector>

#include "audio/mpeg_file_win.h"
#include "audio/plugin_host_win.h"
#include "base/dialog_win.h"
#include "config/lang.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "library/library_win.h"
#include "library/row_commands.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "tags/id3_edit_win.h"
#include "tools/tools_win.h"
#include "ui/face_win.h"

namespace {

constexpr int kLangError = 222, kLangFileOpenFailed = 231;
constexpr int kLabels = 1301, kValues = 1302, kTagButton = 1303, kPathLine = 1304;
constexpr int kWidth = 460, kLines = 12;

struct InfoDialog {
    std::wstring path;
    std::vector<FileInfoLine> lines;
    bool isMpeg = false;
};

const wchar_t* LangLine(int index) {
    return LangText(g_lang, index);
}

wchar_t MinuteMark() {
    return (static_cast<uint32_t>(g_settings.stylez) & Style::ColonMinutes) ? L':' : L'\'';
}

bool Scan(InfoDialog& d) {
    return FileInfoLinesWin(d.path.c_str(), MinuteMark(), LangLine, d.lines, d.isMpeg);
}

// The labels and the values as two columns of lines.
void ShowLines(HWND dlg, const InfoDialog& d) {
    std::wstring labels, values;
    for (const FileInfoLine& l : d.lines) {
        labels += l.label + L"\r\n";
        values += l.value + L"\r\n";
    }
    SetDlgItemTextW(dlg, kLabels, labels.c_str());
    SetDlgItemTextW(dlg, kValues, values.c_str());
}

// The height of a line of the dialog font: the two columns are as high as their lines.
int LineHeight(HWND dlg) {
    HDC dc = GetDC(dlg);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    const bool ok = GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);
    return ok ? tm.tmHeight + tm.tmExternalLeading : 16;
}

INT_PTR CALLBACK InfoProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<InfoDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            d = reinterpret_cast<InfoDialog*>(lp);
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            SetWindowTextW(dlg, L"File info");
            const int body = kLines * LineHeight(dlg) + 4;
            DialogControlWin(dlg, L"EDIT", d->path.c_str(),
                             ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, 10, 10, kWidth - 20, 22,
                             kPathLine, WS_EX_CLIENTEDGE);
            DialogControlWin(dlg, L"STATIC", L"", SS_LEFT, 10, 42, 130, body, kLabels);
            DialogControlWin(dlg, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 145, 42, kWidth - 155,
                             body, kValues);
            const int y = 52 + body;
            HWND tag = DialogControlWin(dlg, L"BUTTON", L"Tag &ID3...", WS_TABSTOP, 10, y, 110, 26,
                                        kTagButton);
            EnableWindow(tag, d->isMpeg);
            HWND ok = DialogControlWin(dlg, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON,
                                       kWidth - 95, y, 85, 26, IDOK);
            ShowLines(dlg, *d);
            if (g_settings.more_dark != 0) ApplyDarkModeToDialog(dlg, nullptr);
            PaintDialogDarkWin(dlg, DialogLook::Plain);
            SizeDialogClientWin(dlg, kWidth, y + 36);
            SetFocus(ok);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kTagButton && d) {
                Id3TagDialogWin(dlg, d->path.c_str(), nullptr);
                if (Scan(*d)) ShowLines(dlg, *d);  // the tags may have changed
                return TRUE;
            }
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

void TrackInfoCommandWin(CommandId, intptr_t) {
    TrackList* list = SequencerWin().focusedList;
    if (!list) list = &LibraryFileView();
    InfoDialog d;
    if (CommandRowFile(*list, d.path) != RowTarget::Track) return;
    HWND owner = ToolsMainWindowWin();
    if (PluginInfoBoxWin(d.path.c_str(), owner)) return;
    if (!Scan(d)) {
        const std::wstring text =
            std::wstring(LangText(g_lang, kLangFileOpenFailed)) + L"\n" + d.path;
        MessageBoxW(owner, text.c_str(), LangText(g_lang, kLangError), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    (void)RunDialogWin(DialogTemplateWin(L"", 0, 0, kModalDialogStyle), owner, InfoProc,
                       reinterpret_cast<LPARAM>(&d));
}
