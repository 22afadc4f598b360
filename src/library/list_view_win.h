// The File view's control: an owner-data report list view over a TrackList. The control holds
// no texts; it asks for each visible cell (LVN_GETDISPINFOW), so a folder of any size shows at
// once. The selection lives in the control and is copied to the model around core calls.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "library/track_list.h"

struct ListViewWin {
    HWND hwnd = nullptr;
    TrackList* list = nullptr;
    const Settings* s = nullptr;
    int columns = 0;  // columns the control has now
};

HWND ListViewCreateWin(ListViewWin& v, HWND parent, HINSTANCE instance, int id);
// The table that tells the control what changed in the model.
ListViewOps ListViewOpsOf(ListViewWin& v);

// The control's selection and focus into the model's rows / the model's into the control.
void ListViewPullSelection(ListViewWin& v);
void ListViewPushSelection(ListViewWin& v);
// The list colours of the settings.
void ListViewApplyColours(ListViewWin& v);

// Notifications of the control that this file answers (cell texts, custom draw, type-ahead
// search); false for the others.
bool ListViewNotify(ListViewWin& v, NMHDR* h, LRESULT& result);
// The keyboard commands of a list pane (Up, Down, PgUp, PgDn, Home, End); false for others.
bool ListViewKey(ListViewWin& v, unsigned command);
