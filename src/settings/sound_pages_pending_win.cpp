// Stand-ins for the sound pages until their branch joins: each shows its template and keeps
// the frame's colours.
#include "settings/settings_frame_win.h"
#include "settings/sound_pages_win.h"

namespace {
INT_PTR PendingPage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(page, DWLP_USER, lp);
        return FALSE;
    }
    return SettingsPageColorWin(SettingsPageEnvWin(page), msg, wp);
}
}  // namespace

INT_PTR CALLBACK AudioPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PendingPage(page, msg, wp, lp);
}
INT_PTR CALLBACK DecodersPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PendingPage(page, msg, wp, lp);
}
INT_PTR CALLBACK Enhancer1PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PendingPage(page, msg, wp, lp);
}
INT_PTR CALLBACK Enhancer2PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PendingPage(page, msg, wp, lp);
}
INT_PTR CALLBACK HotkeysPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PendingPage(page, msg, wp, lp);
}
