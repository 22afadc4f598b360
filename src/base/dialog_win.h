// Dialogs built in memory: the template of a frame with a caption and no controls (the
// dialog's procedure creates them when it opens); and the two things the read-only rich-edit
// viewers do: take an RTF text, and open a link that was clicked.
#pragma once
#include <windows.h>

#include <richedit.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr DWORD kModalDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

// A DLGTEMPLATE of cx x cy dialog units with the standard dialog class and no menu.
std::vector<WORD> DialogTemplateWin(const wchar_t* title, short cx, short cy,
                                    DWORD style = kModalDialogStyle, DWORD exStyle = 0);
// Runs such a template as a modal dialog of the program's module.
INT_PTR RunDialogWin(const std::vector<WORD>& tpl, HWND owner, DLGPROC proc, LPARAM param = 0);
// Opens it modeless (the template is read only while the window is made); null on failure.
HWND OpenDialogWin(const std::vector<WORD>& tpl, HWND owner, DLGPROC proc, LPARAM param = 0);

// Modeless windows whose controls take Tab, the arrow keys, Enter and Esc as a dialog's do:
// each registers itself while it is open, and the message loop offers it the messages meant
// for it or its controls (IsDialogMessageW).
void ModelessOpenedWin(HWND w);
void ModelessClosedWin(HWND w);
bool ModelessDialogMessageWin(MSG& msg);

// A visible child control of the dialog (or window) dlg with the id, in the dialog font.
HWND DialogControlWin(HWND dlg, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                      int w, int h, int id, DWORD exStyle = 0);
// Resizes the dialog (or window) so that its client area is w x h pixels, as its own style and
// extended style frame it; its position stays, except that a DS_CENTER dialog is centred over
// its owner again (inside the work area).
void SizeDialogClientWin(HWND dlg, int w, int h);
// The text of the dialog's item id, at most max characters of it.
std::wstring DialogItemTextWin(HWND dlg, int id, size_t max = SIZE_MAX);

// Windows of the program's own classes, each class registered by the first call (a later
// registration of the same class fails harmlessly):
// a message-only window whose procedure answers what other threads post or send;
HWND MessageWindowWin(const wchar_t* cls, WNDPROC proc);
// a hidden top-level tool window with a caption and a close box, the button face behind its
// controls, its client area w x h at x, y (CW_USEDEFAULT: where the system puts it).
HWND ToolWindowWin(const wchar_t* cls, WNDPROC proc, const wchar_t* title, int x, int y, int w,
                   int h, HWND owner, DWORD exStyle = 0);

// Replaces the rich-edit control's content with the RTF text.
void RichEditSetRtfWin(HWND edit, const std::string& rtf);
// Opens the clicked range of the control's text (an address) with its program.
void RichEditOpenLinkWin(HWND owner, HWND edit, const CHARRANGE& range);

// Colours of a dialog's controls: the dialog, its statics, buttons and check boxes in `back`
// with `text` on a transparent background; the edit fields, list boxes, list views, tree views
// and rich-edit viewers in `fieldBack` with `fieldText`, or in the system colours when
// `fieldBack` is CLR_INVALID. Call it once the controls exist (and after a rich-edit viewer
// has its text); the colours stay until the dialog is destroyed.
struct DarkDialogColours {
    COLORREF back, text, fieldBack, fieldText;
};
void DarkDialogWin(HWND dialog, const DarkDialogColours& colours);
// Sets or clears the dark title bar of a top-level window (dwmapi, looked up when needed).
void SetDarkFrameWin(HWND window, bool dark);
