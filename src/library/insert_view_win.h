// The Insert view's window: a free-floating modeless dialog with Insert, Skip, Shuffle and
// "Scan lengths", the interval slider, the countdown text and the third list, whose tracks go
// into the playing list by hand or every N minutes (insert_view.h). Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "base/command_ids.h"

struct TrackList;

void InsertViewStartWin(HWND mainWindow, HINSTANCE instance);
// "Open in Insert view...": the folder or list selected in the tree (a second request while
// it is open closes it).
void InsertViewOpenCommandWin(CommandId id, intptr_t lParam);
bool InsertViewIsOpenWin();
// The Insert view's list for rows from elsewhere (the file finder's results): opens the view
// when it is shut, titled title, or retitles it; null when it cannot be opened.
struct TrackList;
TrackList* InsertViewListForRowsWin(const std::wstring& title);
// The Insert view's list control; null while it is shut.
HWND InsertViewListWin();
// The Insert view's list model (empty while it is shut).
TrackList& InsertViewModelWin();
void InsertViewCloseWin();
// The message loop hands the dialog's keyboard messages to it (Tab between its controls).
