// The File view's control: an owner-data report list view over a TrackList. The control holds
// no texts; it asks for each visible cell (LVN_GETDISPINFOW), so a folder of any size shows at
// once. The model's rows hold the selection and the focused row: every change the control
// reports goes into them at once, and a change of the model is pushed into the control.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "library/track_list.h"

struct ListViewWin {
    HWND hwnd = nullptr;
    TrackList* list = nullptr;
    const Settings* s = nullptr;
    const LangState* lang = nullptr;  // the header texts
    int columns = 0;                  // columns the control has now
    bool pushing = false;  // the model's selection goes into the control: its echoes are ignored
};

HWND ListViewCreateWin(ListViewWin& v, HWND parent, HINSTANCE instance, int id);
// The table that tells the control what changed in the model.
ListViewOps ListViewOpsOf(ListViewWin& v);

// The model's selection and focused row into the control.
void ListViewPushSelection(ListViewWin& v);
// The list colours of the settings.
void ListViewApplyColours(ListViewWin& v);

// Notifications of the control that this file answers (cell texts, custom draw, type-ahead
// search, the selection and focus changes it reports); false for the others.
bool ListViewNotify(ListViewWin& v, NMHDR* h, LRESULT& result);
// The keyboard commands of a list pane (Up, Down, PgUp, PgDn, Home, End); false for others.
bool ListViewKey(ListViewWin& v, unsigned command);
