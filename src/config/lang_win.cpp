// The language table's Win32 side: dialog texts from the active table.
#include <windows.h>

#include "config/lang_win.h"

bool LangDialogText(int index, HWND window, int controlId) {
    const wchar_t* text = LangDialogEntry(g_lang, index);
    if (!text) return false;  // the template's text stays
    if (controlId == 0)
        SetWindowTextW(window, text);
    else
        SetDlgItemTextW(window, controlId, text);
    return true;
}
