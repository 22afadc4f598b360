// zuvo-send: drives a running zuvo.exe from the end-to-end tests.
//   zuvo-send @PID VERB ...                   the verbs that act on "the main window" act on
//                                             the main window of process PID
//   zuvo-send windows                         prints the process id of each main window
//   zuvo-send wait [--visible] [TIMEOUT_MS]   waits for the main window (exit 1 on timeout)
//   zuvo-send gone [TIMEOUT_MS]               waits until no main window exists
//   zuvo-send command ID                      posts WM_COMMAND with the id
//   zuvo-send close [TIMEOUT_MS]              posts WM_CLOSE; with TIMEOUT_MS waits until no
//                                             main window exists (exit 2 when one stays)
//   zuvo-send listed N [TIMEOUT_MS]           waits until the main window is visible and its
//                                             File view holds N rows or more, then for one
//                                             round trip through the window's queue
//   zuvo-send keep MS                         stays MS milliseconds: a process that keeps
//                                             Wine's session (its services) up between the
//                                             programs a test starts one after another
//   zuvo-send launch [--class NAME] EXE [ARGS] starts EXE and prints the milliseconds until its
//                                             main window (or a window of class NAME) is visible
//   zuvo-send accel EXE ID                    prints accelerator table ID of EXE, one
//                                             "flags key command" line per entry
//   zuvo-send label TEXT                      types TEXT into the label edit of the main
//                                             window's list and ends the edit with Return
//   zuvo-send text CLASS [TIMEOUT_MS]         prints the text of the first child of the
//                                             window of class CLASS (exit 1 when none shows)
//   zuvo-send wintext CLASS [TIMEOUT_MS]      prints the own text of the window of class CLASS
//                                             (UTF-8; exit 1 when none shows)
//   zuvo-send press CLASS ID                  clicks button ID of the window of class CLASS
//   zuvo-send lists                           prints one line per list control of the main
//                                             window: "ROWS WIDTH HEIGHT NAME" (client size)
//   zuvo-send select NAME...                  selects the rows of the main window's list
//                                             whose first cell is one of the NAMEs (exit 1
//                                             when one is missing)
//   zuvo-send rows [LIST]                     prints one line per row of the main window's
//                                             list named LIST (default: the first, the File
//                                             view): "STATE<TAB>FIRST CELL" (UTF-8), STATE
//                                             "s" selected, "f" focused, "sf" both, "-" none
//   zuvo-send cells COLUMN [LIST]             prints cell COLUMN of every row of the list
//                                             named LIST (default: the File view)
//   zuvo-send save PATH [TIMEOUT_MS] [TITLE]  waits for the dialog "Select destination" (or
//                                             TITLE), types PATH as the file name, presses OK
//   zuvo-send dialogrows TITLE                prints every row of the list view in the window
//                                             titled TITLE, its cells joined by tabs (UTF-8)
//   zuvo-send dlgselect TITLE [ROW...]        selects those rows (by index; none: all) of the
//                                             list view in the window titled TITLE
//   zuvo-send dlgcommand TITLE ID             posts WM_COMMAND ID to the window titled TITLE
//   zuvo-send titled TITLE                    exit 0 while a window titled TITLE exists
//   zuvo-send closetitled TITLE               posts WM_CLOSE to the window titled TITLE
//   zuvo-send dlglabel TITLE TEXT             as label, in the list view of the window TITLE
//   zuvo-send captions MS                     for MS milliseconds prints each new caption of
//                                             the main window as "TICK_MS<TAB>TEXT" (UTF-8)
//   zuvo-send toolbar                         prints one line per toolbar button: "COMMAND
//                                             STATE IMAGE", STATE letters e enabled, c checked,
//                                             p pressed ("-" none)
//   zuvo-send tbclick COMMAND                 clicks the toolbar button of COMMAND with the
//                                             mouse (exit 1 when there is none)
//   zuvo-send children                        prints one line per child window of the main
//                                             window: "CLASS X Y W H VISIBLE<TAB>TEXT" (UTF-8)
//   zuvo-send rect                            prints the main window's "X Y W H"
//   zuvo-send client                          prints the main window's client area on the
//                                             screen: "X Y W H"
//   zuvo-send drag CLASS N FX DX DY           presses the mouse on the Nth child of class
//                                             CLASS at the fraction FX (0..1) of its width,
//                                             moves by DX, DY pixels and releases
//   zuvo-send dragrow LIST ROW LIST ROW       drags a row of one list onto a row of another
//                                             (or the same; ROW -1: below the last row). LIST:
//                                             "-" the File view, "@TITLE" the list of window
//                                             TITLE, else a list's window text
//   zuvo-send texts CLASS [TIMEOUT_MS]        prints the text of every child of the window
//                                             of class CLASS, one a line
//   zuvo-send rightclick LIST ROW             right-clicks a row (LIST as for dragrow)
//   zuvo-send wheel CLASS N DELTA             turns the mouse wheel by DELTA over the middle of
//                                             the Nth child of class CLASS
//   zuvo-send status                          prints the status bar's pane texts, one a line
//   zuvo-send resize CLASS N                  resizes the window of class CLASS N times
//                                             (sizes alternating by 2 pixels) and prints the
//                                             microseconds per resize
//   zuvo-send memory CLASS                    prints the peak working set of the process of
//                                             the window of class CLASS, in KB
//   zuvo-send clipboard                       prints the clipboard's Unicode text (UTF-8)
//   zuvo-send menu [TIMEOUT_MS]               waits for a pop-up menu and prints one line per
//                                             item: "ID FLAGS<TAB>TEXT", FLAGS letters c
//                                             checked, g greyed, p submenu, s separator ("-")
//   zuvo-send menukey VK [CLASS]              posts key VK to the main window's thread (a
//                                             tracked menu takes it); with CLASS to the control
//                                             that has the keyboard in that window
//   zuvo-send focus CLASS                     prints the id of the control that has the
//                                             keyboard in the window of class CLASS
//   zuvo-send menutime ID N [CLASS]           N times: posts command ID (with CLASS: a
//                                             WM_CONTEXTMENU to the first child of the window
//                                             of that class), waits for the pop-up menu,
//                                             closes it; prints the milliseconds of each
//   zuvo-send trayclick MSG                   posts the tray icon's callback (WM_USER, 760)
//                                             with mouse message MSG to the main window
//   zuvo-send dlgset TITLE ID TEXT            sets the text of control ID anywhere inside the
//                                             visible dialog titled TITLE ("*": any title;
//                                             waits up to 10 s)
//   zuvo-send dlgclick TITLE ID               clicks button ID anywhere inside that dialog
//   zuvo-send dlgclicks TITLE ID N MS         clicks button ID of that dialog N times, MS
//                                             milliseconds apart (one process: even steps)
//   zuvo-send dlgtext TITLE ID                prints the text of control ID of that dialog
//   zuvo-send visible                         prints 1 when the main window is visible, else 0
//   zuvo-send dlgtree TITLE N                 selects the Nth item (visible order) of the
//                                             tree of dialog TITLE; prints the milliseconds
//                                             the selection took (the page made with it)
//   zuvo-send dlgpick TITLE ID INDEX          selects entry INDEX of list box or drop-down
//                                             list ID of that dialog as the user does (its
//                                             parent is told; exit 1 when there is none)
//   zuvo-send stalls CLASS MS [EVERY_MS]      probes the window of class CLASS with WM_NULL
//                                             (every EVERY_MS, 1) until it is gone or MS have
//                                             passed; prints "LONGEST_MS PROBES"
//   zuvo-send dlgopen ID TITLE                posts command ID to the main window and waits
//                                             for the dialog TITLE; prints the milliseconds
//   zuvo-send dlgclickms TITLE ID TITLE2      clicks button ID of dialog TITLE and waits for
//                                             the dialog TITLE2; prints the milliseconds
//   zuvo-send dlgcheck TITLE ID               prints 1 when button ID is checked, else 0
//   zuvo-send dlgitems TITLE ID               prints the entries of list box or drop-down
//                                             list ID of that dialog, one a line
//   zuvo-send dlgpaint TITLE                  repaints dialog TITLE and its children at once
//                                             (returns when they are drawn)
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr wchar_t kClass[] = L"ZuvoWndClass";

HWND WaitForWindow(DWORD timeoutMs, bool visible, const wchar_t* windowClass = kClass) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(windowClass, nullptr);
        if (w && (!visible || IsWindowVisible(w))) return w;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(5);
    }
}

// Whether the main window is gone within timeoutMs.
bool WaitGone(DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); FindWindowW(kClass, nullptr); Sleep(10))
        if (GetTickCount() - start >= timeoutMs) return false;
    return true;
}

int Usage() {
    std::fputs(
        "usage: zuvo-send VERB [ARGS] with VERB one of wait, gone, command, close, "
        "launch, accel, label, text, press, lists, rows, select, save, captions, toolbar, "
        "tbclick, children, rect, client, drag, dragrow, rightclick, texts, wheel, status, resize, "
        "memory, clipboard, menu, menukey, focus, menutime, trayclick, visible, windows "
        "(@PID VERB: the main window of process PID)\n",
        stderr);
    return 2;
}

DWORD g_targetPid = 0;  // "@PID": the main window of that process, else the first found

// The top-level main windows, with their processes.
std::vector<std::pair<HWND, DWORD>> MainWindows() {
    std::vector<std::pair<HWND, DWORD>> found;
    EnumWindows(
        [](HWND w, LPARAM out) {
            wchar_t cls[64] = {};
            DWORD pid = 0;
            if (GetClassNameW(w, cls, 64) && std::wcscmp(cls, kClass) == 0 &&
                GetWindowThreadProcessId(w, &pid))
                reinterpret_cast<std::vector<std::pair<HWND, DWORD>>*>(out)->emplace_back(w, pid);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Target() {
    HWND w = nullptr;
    if (!g_targetPid)
        w = FindWindowW(kClass, nullptr);
    else
        for (const auto& [window, pid] : MainWindows())
            if (pid == g_targetPid) w = window;
    if (!w) std::fputs("zuvo-send: no ZuvoWndClass window\n", stderr);
    return w;
}

// A text as UTF-8, for printing.
std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

// Milliseconds since it was made, from the performance counter.
struct Stopwatch {
    LARGE_INTEGER freq{}, start{};
    Stopwatch() {
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&start);
    }
    double Ms() const {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
               static_cast<double>(freq.QuadPart);
    }
};

// A page of memory in the process that owns a list control: item records and their text
// buffers must live there for the list's messages. Released when it goes out of scope.
struct RemotePage {
    HWND list;
    HANDLE process = nullptr;
    void* page = nullptr;

    explicit RemotePage(HWND l) : list(l) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process) page = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemotePage() {
        if (page) VirtualFreeEx(process, page, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    RemotePage(const RemotePage&) = delete;
    RemotePage& operator=(const RemotePage&) = delete;

    // The text an item record asks for with message `msg`: the record first, its text buffer
    // behind it.
    template <class Item>
    std::wstring Text(Item item, UINT msg, WPARAM wParam) const {
        constexpr int kChars = 512;
        item.cchTextMax = kChars;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(page) + sizeof(Item));
        SIZE_T n = 0;
        if (!WriteProcessMemory(process, page, &item, sizeof item, &n)) return {};
        SendMessageW(list, msg, wParam, reinterpret_cast<LPARAM>(page));
        wchar_t text[kChars] = {};
        ReadProcessMemory(process, item.pszText, text, sizeof text - sizeof(wchar_t), &n);
        return text;
    }

    // The text of a row's cell.
    std::wstring ItemText(int row, int column = 0) const {
        LVITEMW item{};
        item.iSubItem = column;
        return Text(item, LVM_GETITEMTEXTW, static_cast<WPARAM>(row));
    }

    // A tree item's text.
    std::wstring TreeText(HTREEITEM h) const {
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = h;
        return Text(item, TVM_GETITEMW, 0);
    }

    // Row -1: every row.
    bool SetSelected(int row, bool selected) const {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | (selected ? LVIS_FOCUSED : 0);
        item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SIZE_T n = 0;
        if (!WriteProcessMemory(process, page, &item, sizeof item, &n)) return false;
        return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(page)) != 0;
    }
};

// The list control of the main window whose window text is name (null: the first one, the
// File view).
HWND FindList(const wchar_t* name) {
    HWND w = Target();
    for (HWND list = nullptr;
         w && (list = FindWindowExW(w, list, L"SysListView32", nullptr)) != nullptr;) {
        wchar_t text[256] = {};
        GetWindowTextW(list, text, 256);
        if (!name || std::wcscmp(text, name) == 0) return list;
    }
    return nullptr;
}

// The list view of the top-level window titled `title` (a dialog), or null.
HWND DialogList(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    return w ? FindWindowExW(w, nullptr, L"SysListView32", nullptr) : nullptr;
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int SelectRows(int count, wchar_t** names) {
    HWND list = FindList(nullptr);
    if (!list) return 1;
    RemotePage remote(list);
    if (!remote.page) return 1;
    (void)remote.SetSelected(-1, false);
    int found = 0;
    for (int r = 0, rows = RowCount(list); r < rows; ++r) {
        const std::wstring text = remote.ItemText(r);
        for (int i = 0; i < count; ++i)
            if (text == names[i] && remote.SetSelected(r, true)) ++found;
    }
    return found == count ? 0 : 1;
}

// Every cell of every row of the list view in the top-level window titled `title` (a dialog),
// one line a row, the cells joined by tabs (UTF-8).
int PrintDialogRows(const wchar_t* title) {
    HWND list = DialogList(title);
    if (!list) return 1;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    RemotePage remote(list);
    if (!remote.page) return 1;
    for (int r = 0, rows = RowCount(list); r < rows; ++r) {
        std::wstring line;
        for (int c = 0; c < columns; ++c) line += (c ? L"\t" : L"") + remote.ItemText(r, c);
        std::printf("%s\n", Utf8(line).c_str());
    }
    return 0;
}

// Selects rows of the list view in the dialog titled `title` by their index (none given:
// every row), after clearing the selection.
int SelectDialogRows(const wchar_t* title, int count, wchar_t** rows) {
    HWND list = DialogList(title);
    if (!list) return 1;
    RemotePage remote(list);
    if (!remote.page) return 1;
    (void)remote.SetSelected(-1, false);
    if (count == 0) {
        for (int r = 0, rows = RowCount(list); r < rows; ++r)
            if (!remote.SetSelected(r, true)) return 1;
        return 0;
    }
    for (int i = 0; i < count; ++i)
        if (!remote.SetSelected(_wtoi(rows[i]), true)) return 1;
    return 0;
}

int PrintRows(const wchar_t* name) {
    HWND list = FindList(name);
    if (!list) return 1;
    RemotePage remote(list);
    if (!remote.page) return 1;
    for (int r = 0, rows = RowCount(list); r < rows; ++r) {
        // The state comes back as the result; only the text needs the remote page.
        const auto state = static_cast<UINT>(SendMessageW(
            list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED | LVIS_FOCUSED));
        const bool selected = state & LVIS_SELECTED, focused = state & LVIS_FOCUSED;
        std::printf("%s\t%s\n", selected ? (focused ? "sf" : "s") : (focused ? "f" : "-"),
                    Utf8(remote.ItemText(r)).c_str());
    }
    return 0;
}

// Column `column` of every row of the first list, one a line.
int PrintCells(int column, const wchar_t* name = nullptr) {
    HWND list = FindList(name);
    if (!list) return 1;
    RemotePage remote(list);
    if (!remote.page) return 1;
    for (int r = 0, rows = RowCount(list); r < rows; ++r)
        std::printf("%s\n", Utf8(remote.ItemText(r, column)).c_str());
    return 0;
}

// Probes the first window of class `cls` with WM_NULL every `interval` ms until it is gone or
// `ms` have passed; prints the longest answer in ms and the number of probes.
int Stalls(const wchar_t* cls, DWORD ms, DWORD interval) {
    HWND w = WaitForWindow(5000, true, cls);
    if (!w) return 1;
    double longest = 0;
    long probes = 0;
    for (Stopwatch all; all.Ms() <= ms; Sleep(interval)) {
        Stopwatch one;
        DWORD_PTR r;
        SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
        if (!IsWindow(w)) break;  // an answer cut short by the close is no stall
        longest = std::max(longest, one.Ms());
        ++probes;
    }
    std::printf("%.1f %ld\n", longest, probes);
    return 0;
}

// The file name field of an open or save dialog: the edit of its combo box, or its edit.
HWND FileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47C /* cmb13 */)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 0x480 /* edt1 */);
}

int SaveAs(const wchar_t* path, DWORD timeoutMs, const wchar_t* title) {
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); !dialog; Sleep(20)) {
        HWND d = FindWindowW(L"#32770", title);
        if (d && IsWindowVisible(d)) dialog = d;
        if (!dialog && GetTickCount() - start >= timeoutMs) return 1;
    }
    Sleep(200);  // the dialog fills its controls after it shows
    HWND field = FileNameField(dialog);
    if (!field) return 1;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    HWND ok = GetDlgItem(dialog, IDOK);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    for (DWORD start = GetTickCount(); IsWindow(dialog); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return 1;
    return 0;
}

int Captions(DWORD durationMs) {
    HWND w = Target();
    if (!w) return 1;
    std::wstring last;
    bool first = true;
    for (DWORD start = GetTickCount(), now = start; now - start < durationMs;
         Sleep(10), now = GetTickCount()) {
        wchar_t text[512] = {};
        if (!IsWindow(w)) break;
        GetWindowTextW(w, text, 512);
        if (!first && last == text) continue;
        first = false;
        last = text;
        std::printf("%lu\t%s\n", static_cast<unsigned long>(now - start), Utf8(text).c_str());
        std::fflush(stdout);
    }
    return 0;
}
HWND FindToolbar() {
    HWND w = Target();
    return w ? FindWindowExW(w, nullptr, TOOLBARCLASSNAMEW, nullptr) : nullptr;
}

int PrintToolbar() {
    HWND tb = FindToolbar();
    if (!tb) return 1;
    RemotePage remote(tb);
    if (!remote.page) return 1;
    const int n = static_cast<int>(SendMessageW(tb, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TBBUTTON b{};
        SIZE_T got = 0;
        if (!SendMessageW(tb, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote.page)) ||
            !ReadProcessMemory(remote.process, remote.page, &b, sizeof b, &got))
            return 1;
        std::string state;
        if (b.fsState & TBSTATE_ENABLED) state += 'e';
        if (b.fsState & TBSTATE_CHECKED) state += 'c';
        if (b.fsState & TBSTATE_PRESSED) state += 'p';
        std::printf("%d %s %d\n", b.idCommand, state.empty() ? "-" : state.c_str(), b.iBitmap);
    }
    return 0;
}

// A real mouse press and release at a point of the screen.
void MouseAt(POINT pt, DWORD flags) {
    SetCursorPos(pt.x, pt.y);
    Sleep(30);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags) SendInput(1, &in, sizeof in);
    Sleep(30);
}

int ClickToolbarButton(int command) {
    HWND tb = FindToolbar();
    if (!tb) return 1;
    RemotePage remote(tb);
    const auto index = SendMessageW(tb, TB_COMMANDTOINDEX, command, 0);
    RECT r{};
    SIZE_T got = 0;
    if (!remote.page || index < 0 ||
        !SendMessageW(tb, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.page)) ||
        !ReadProcessMemory(remote.process, remote.page, &r, sizeof r, &got))
        return 1;
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tb, &pt);
    MouseAt(pt, 0);
    MouseAt(pt, MOUSEEVENTF_LEFTDOWN);
    MouseAt(pt, MOUSEEVENTF_LEFTUP);
    return 0;
}

int PrintChildren() {
    HWND w = Target();
    if (!w) return 1;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[128] = {}, text[512] = {};
        GetClassNameW(c, cls, 128);
        GetWindowTextW(c, text, 512);
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        const bool visible = GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE;
        std::printf("%ls %ld %ld %ld %ld %d\t%s\n", cls, static_cast<long>(r.left),
                    static_cast<long>(r.top), static_cast<long>(r.right - r.left),
                    static_cast<long>(r.bottom - r.top), visible ? 1 : 0, Utf8(text).c_str());
    }
    return 0;
}

// The nth (from 0) child of class `cls` of the main window, or null.
HWND NthChild(const wchar_t* cls, int nth) {
    HWND w = Target(), c = nullptr;
    for (int i = 0; w && i <= nth; ++i)
        if (!(c = FindWindowExW(w, c, cls, nullptr))) return nullptr;
    return c;
}

int Drag(const wchar_t* cls, int nth, double fx, int dx, int dy) {
    HWND c = NthChild(cls, nth);
    if (!c) return 1;
    RECT r{};
    GetWindowRect(c, &r);
    POINT from{r.left + static_cast<LONG>((r.right - r.left - 1) * fx), (r.top + r.bottom) / 2};
    MouseAt(from, 0);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step)
        MouseAt(POINT{from.x + dx * step / 4, from.y + dy * step / 4}, MOUSEEVENTF_MOVE);
    MouseAt(POINT{from.x + dx, from.y + dy}, MOUSEEVENTF_LEFTUP);
    return 0;
}

// A list by name: "-" the File view, "@TITLE" the list of the top-level window TITLE (the
// Insert view), else the main window's list with that window text.
HWND ListByName(const wchar_t* name) {
    if (std::wcscmp(name, L"-") == 0) return FindList(nullptr);
    return name[0] == L'@' ? DialogList(name + 1) : FindList(name);
}

// The screen point in the middle of a row's label; row -1 or past the end: below the last row.
bool RowPoint(HWND list, int row, POINT& pt) {
    RemotePage remote(list);
    const int rows = RowCount(list);
    const bool below = row < 0 || row >= rows;
    RECT r{};
    r.left = LVIR_LABEL;
    SIZE_T got = 0;
    if (!remote.page || (below && rows == 0)) {
        GetClientRect(list, &r);
        pt = POINT{r.right / 3, r.bottom * 2 / 3};
    } else {
        const int at = below ? rows - 1 : row;
        if (!WriteProcessMemory(remote.process, remote.page, &r, sizeof r, &got) ||
            !SendMessageW(list, LVM_GETITEMRECT, at, reinterpret_cast<LPARAM>(remote.page)) ||
            !ReadProcessMemory(remote.process, remote.page, &r, sizeof r, &got))
            return false;
        const LONG h = r.bottom - r.top;
        pt = POINT{r.left + 8, below ? r.bottom + h * 2 : (r.top + r.bottom) / 2};
    }
    ClientToScreen(list, &pt);
    return true;
}

// The top-level window of `w` made the foreground one before mouse input: under Wine an
// activation that arrives while a button is down takes the list's mouse capture and a drag
// never starts.
void Activate(HWND w) {
    HWND root = GetAncestor(w, GA_ROOT);
    SetForegroundWindow(root);
    for (int i = 0; i < 100 && GetForegroundWindow() != root; ++i) Sleep(20);
}

// Presses the mouse on a row of one list, moves in steps to a row of another (or the same)
// and releases there.
int DragRow(const wchar_t* fromList, int fromRow, const wchar_t* toList, int toRow) {
    HWND from = ListByName(fromList), to = ListByName(toList);
    POINT a{}, b{};
    if (!from || !to || !RowPoint(from, fromRow, a) || !RowPoint(to, toRow, b)) return 1;
    Activate(from);
    MouseAt(a, 0);
    MouseAt(a, MOUSEEVENTF_LEFTDOWN);
    // A few pixels inside the source first, as a hand does: the list sees the drag begin
    // before the pointer leaves it.
    for (int step = 1; step <= 3; ++step)
        MouseAt(POINT{a.x + 3 * step, a.y + 3 * step}, MOUSEEVENTF_MOVE);
    for (int step = 1; step <= 8; ++step)
        MouseAt(POINT{a.x + (b.x - a.x) * step / 8, a.y + (b.y - a.y) * step / 8},
                MOUSEEVENTF_MOVE);
    MouseAt(b, MOUSEEVENTF_LEFTUP);
    return 0;
}

// A right click on a row (its window activated first, as for dragging).
int RightClickRow(const wchar_t* listName, int row) {
    HWND list = ListByName(listName);
    POINT pt{};
    if (!list || !RowPoint(list, row, pt)) return 1;
    Activate(list);
    MouseAt(pt, 0);
    MouseAt(pt, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(pt, MOUSEEVENTF_RIGHTUP);
    return 0;
}

int Resize(const wchar_t* cls, int n) {
    HWND w = FindWindowW(cls, nullptr);
    RECT r{};
    if (!w || n <= 0 || !GetWindowRect(w, &r)) return 1;
    Stopwatch t;
    for (int i = 0; i < n; ++i) {
        const int d = (i % 2) ? 0 : 2;
        SetWindowPos(w, nullptr, 0, 0, r.right - r.left - d, r.bottom - r.top - d,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    std::printf("%.0f\n", t.Ms() * 1000 / n);
    return 0;
}

int PeakMemory(const wchar_t* cls) {
    HWND w = FindWindowW(cls, nullptr);
    DWORD pid = 0;
    if (!w || !GetWindowThreadProcessId(w, &pid)) return 1;
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p) return 1;
    PROCESS_MEMORY_COUNTERS c{};
    const bool ok = GetProcessMemoryInfo(p, &c, sizeof c);
    CloseHandle(p);
    if (!ok) return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(c.PeakWorkingSetSize / 1024));
    return 0;
}

int Wheel(const wchar_t* cls, int nth, int delta) {
    HWND c = NthChild(cls, nth);
    if (!c) return 1;
    RECT r{};
    GetWindowRect(c, &r);
    MouseAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 0);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(delta);
    return SendInput(1, &in, sizeof in) == 1 ? 0 : 1;
}

int PrintStatus() {
    HWND w = Target();
    if (!w) return 1;
    if (HWND sb = FindWindowExW(w, nullptr, STATUSCLASSNAMEW, nullptr)) {
        RemotePage remote(sb);
        if (!remote.page) return 1;
        const int n = static_cast<int>(SendMessageW(sb, SB_GETPARTS, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[512] = {};
            SIZE_T got = 0;
            SendMessageW(sb, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(remote.page));
            ReadProcessMemory(remote.process, remote.page, text, sizeof text - sizeof(wchar_t),
                              &got);
            std::printf("%s\n", Utf8(text).c_str());
        }
        return 0;
    }
    return 1;
}
int PrintClipboard() {
    if (!OpenClipboard(nullptr)) return 1;
    int rc = 1;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(h))) {
            std::fputs(Utf8(text).c_str(), stdout);
            GlobalUnlock(h);
            rc = 0;
        }
    }
    CloseClipboard();
    return rc;
}


// A menu belongs to the process that built it: menu_reader.dll (beside this program) hooks the
// menu window's thread and writes the items into a temp file when asked.
int PrintMenu(DWORD timeoutMs) {
    HWND popup = WaitForWindow(timeoutMs, true, L"#32768");
    if (!popup) return 1;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dll(self);
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"menu_reader.dll";
    HMODULE m = LoadLibraryW(dll.c_str());
    const auto hook = m ? reinterpret_cast<HOOKPROC>(
                              reinterpret_cast<void*>(GetProcAddress(m, "MenuReaderHook")))
                        : nullptr;
    if (!hook) return 2;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"zuvo-menu-items.txt";
    DeleteFileW(path.c_str());
    HHOOK h = SetWindowsHookExW(WH_CALLWNDPROC, hook, m,
                                GetWindowThreadProcessId(popup, nullptr));
    if (!h) return 2;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(popup, RegisterWindowMessageW(L"ZuvoSendReadMenu"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    UnhookWindowsHookEx(h);
    FILE* f = nullptr;
    for (DWORD start = GetTickCount(); !(f = _wfopen(path.c_str(), L"rb")) &&
                                       GetTickCount() - start < 5000;)
        Sleep(10);
    if (!f) return 2;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) std::fwrite(buf, 1, n, stdout);
    std::fclose(f);
    return 0;
}

void PostKey(HWND w, WPARAM vk) {
    PostMessageW(w, WM_KEYDOWN, vk, 1);
    PostMessageW(w, WM_KEYUP, vk, 0xC0000001);
}

int MenuTimes(int id, int times, const wchar_t* cls) {
    HWND w = cls ? FindWindowW(cls, nullptr) : Target();
    HWND child = w && cls ? GetWindow(w, GW_CHILD) : nullptr;
    if (!w || (cls && !child)) return 1;
    for (int i = 0; i < times; ++i) {
        Stopwatch t;
        if (child) {
            RECT r{};
            GetWindowRect(child, &r);
            PostMessageW(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child),
                         MAKELPARAM(r.left + 20, r.top + 20));
        } else {
            PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(id), 0);
        }
        HWND popup = nullptr;
        for (DWORD start = GetTickCount(); !popup && GetTickCount() - start < 5000;) {
            popup = FindWindowW(L"#32768", nullptr);
            if (popup && !IsWindowVisible(popup)) popup = nullptr;
        }
        const double ms = t.Ms();
        if (!popup) return 1;
        std::printf("%.3f\n", ms);
        PostKey(child ? child : w, VK_ESCAPE);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(1)) {
            HWND still = FindWindowW(L"#32768", nullptr);
            if (!still || !IsWindowVisible(still)) break;
        }
    }
    return 0;
}

}  // namespace

// A control by id anywhere inside the visible dialog titled `title` ("*": the first dialog,
// whatever its title) (the panels of the common dialogs are child dialogs), waiting up to 10 s
// for the dialog.
HWND DialogControl(const wchar_t* title, int id) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
        HWND d = FindWindowW(L"#32770", std::wcscmp(title, L"*") ? title : nullptr);
        if (!d || !IsWindowVisible(d)) continue;
        struct Find {
            int id;
            HWND found;
        } f{id, nullptr};
        EnumChildWindows(
            d,
            [](HWND h, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lp);
                if (GetDlgCtrlID(h) != f->id) return TRUE;
                f->found = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&f));
        if (f.found) return f.found;
    }
    return nullptr;
}

// The folder tree's items in pre-order, two spaces of indent a level; an item with children
// not shown (collapsed, or only its expand button) ends in " +". With `expand`, the shown items
// of that text are expanded first (as a click on their button does).
int PrintTree(const wchar_t* expand) {
    HWND w = Target();
    HWND tree = w ? FindWindowExW(w, nullptr, L"SysTreeView32", nullptr) : nullptr;
    if (!tree) return 1;
    RemotePage remote(tree);
    if (!remote.page) return 1;
    std::string out;
    auto open = [&](auto&& self, HTREEITEM h) -> void {
        for (; h; h = TreeView_GetNextSibling(tree, h)) {
            if (remote.TreeText(h) == expand) TreeView_Expand(tree, h, TVE_EXPAND);
            if (TreeView_GetItemState(tree, h, TVIS_EXPANDED) & TVIS_EXPANDED)
                self(self, TreeView_GetChild(tree, h));
        }
    };
    if (expand) open(open, TreeView_GetRoot(tree));
    auto walk = [&](auto&& self, HTREEITEM h, int depth) -> void {
        for (; h; h = TreeView_GetNextSibling(tree, h)) {
            const HTREEITEM child = TreeView_GetChild(tree, h);
            const bool open = (TreeView_GetItemState(tree, h, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
            out += std::string(static_cast<size_t>(depth) * 2, ' ') + Utf8(remote.TreeText(h)) +
                   (child && !open ? " +" : "") + "\n";
            if (child && open) self(self, child, depth + 1);
        }
    };
    walk(walk, TreeView_GetRoot(tree), 0);
    std::fputs(out.c_str(), stdout);
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && argv[1][0] == L'@') {
        g_targetPid = static_cast<DWORD>(_wtoi(argv[1] + 1));
        ++argv;
        --argc;
    }
    if (argc < 2) return Usage();
    std::wstring verb = argv[1];
    if (verb == L"windows") {
        for (const auto& window : MainWindows()) std::printf("%lu\n", window.second);
        return 0;
    }
    if (verb == L"wait") {
        bool visible = argc > 2 && std::wcscmp(argv[2], L"--visible") == 0;
        int at = visible ? 3 : 2;
        DWORD timeout = argc > at ? static_cast<DWORD>(_wtoi(argv[at])) : 20000;
        return WaitForWindow(timeout, visible) ? 0 : 1;
    }
    if (verb == L"gone")
        return WaitGone(argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 20000) ? 0 : 1;
    if (verb == L"command" && argc >= 3) {
        // Several commands are posted back to back: the window takes them one after another.
        HWND w = Target();
        for (int i = 2; i < argc; ++i)
            if (!w || !PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[i])), 0))
                return 1;
        return 0;
    }
    if (verb == L"keep" && argc == 3) {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    if (verb == L"close") {
        HWND w = Target();
        if (!w || !PostMessageW(w, WM_CLOSE, 0, 0)) return 1;
        return argc < 3 || WaitGone(static_cast<DWORD>(_wtoi(argv[2]))) ? 0 : 2;
    }
    if (verb == L"listed" && argc >= 3) {
        const int want = _wtoi(argv[2]);
        const DWORD timeout = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 20000;
        const DWORD start = GetTickCount();
        for (;;) {
            HWND w = FindWindowW(kClass, nullptr);
            HWND list = w && IsWindowVisible(w)
                            ? FindWindowExW(w, nullptr, L"SysListView32", nullptr)
                            : nullptr;
            if (list && RowCount(list) >= want) {
                DWORD_PTR result = 0;
                return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? 0
                                                                                          : 1;
            }
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(10);
        }
    }
    if (verb == L"accel" && argc == 4) {
        HMODULE m = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HACCEL table = m ? LoadAcceleratorsW(m, MAKEINTRESOURCEW(_wtoi(argv[3]))) : nullptr;
        if (!table) return 1;
        ACCEL entries[512];
        int n = CopyAcceleratorTableW(table, entries, 512);
        for (int i = 0; i < n; ++i)
            std::printf("%u %u %u\n", unsigned{entries[i].fVirt}, unsigned{entries[i].key},
                        unsigned{entries[i].cmd});
        return 0;
    }
    if ((verb == L"label" && argc == 3) || (verb == L"dlglabel" && argc == 4)) {
        HWND list = argc == 4 ? DialogList(argv[2]) : FindList(nullptr);
        HWND edit = nullptr;
        for (int i = 0; list && !edit && i < 200; ++i, Sleep(10))
            edit =
                reinterpret_cast<HWND>(SendMessageW(list, 0x1018 /* LVM_GETEDITCONTROL */, 0, 0));
        if (!edit) return 1;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[argc - 1]));
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
        return 0;
    }
    if (verb == L"text" && argc >= 3) {
        HWND w = WaitForWindow(argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 5000, true, argv[2]);
        HWND child = w ? GetWindow(w, GW_CHILD) : nullptr;
        if (!child) return 1;
        char text[8192] = {};
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        std::fputs(text, stdout);
        return 0;
    }
    if (verb == L"texts" && argc >= 3) {
        HWND w = WaitForWindow(argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 5000, true, argv[2]);
        if (!w) return 1;
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t text[4096] = {};
            GetWindowTextW(c, text, 4096);
            std::printf("%s\n", Utf8(text).c_str());
        }
        return 0;
    }
    if (verb == L"wintext" && argc >= 3) {
        HWND w = WaitForWindow(argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 5000, true, argv[2]);
        if (!w) return 1;
        wchar_t text[4096] = {};
        GetWindowTextW(w, text, 4096);
        std::fputs(Utf8(text).c_str(), stdout);
        return 0;
    }
    if (verb == L"press" && argc == 4) {
        // A button of a top-level window of class CLASS, by its control id.
        HWND w = WaitForWindow(5000, true, argv[2]);
        if (!w) return 1;
        const int id = _wtoi(argv[3]);
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
        return 0;
    }
    if (verb == L"timer" && argc == 4) {
        // Timer ID of a top-level window of class CLASS fires now: what it does every minute is
        // tested without waiting the minute.
        HWND w = WaitForWindow(5000, true, argv[2]);
        return w && PostMessageW(w, WM_TIMER, static_cast<WPARAM>(_wtoi(argv[3])), 0) ? 0 : 1;
    }
    if (verb == L"stalls" && (argc == 4 || argc == 5))
        return Stalls(argv[2], static_cast<DWORD>(_wtoi(argv[3])),
                      argc == 5 ? static_cast<DWORD>(_wtoi(argv[4])) : 1);
    if (verb == L"cancelms" && argc == 3) {
        // Presses Cancel of the first window of class CLASS; prints the ms until it is gone.
        HWND w = WaitForWindow(5000, true, argv[2]);
        if (!w) return 1;
        Stopwatch t;
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        while (IsWindow(w)) Sleep(1);
        std::printf("%.1f\n", t.Ms());
        return 0;
    }
    if (verb == L"prop" && argc == 3) {
        // A property of the main window, as a number (the finder's last stop time, ...).
        HWND w = Target();
        if (!w) return 1;
        std::printf("%llu\n", static_cast<unsigned long long>(
                                  reinterpret_cast<uintptr_t>(GetPropW(w, argv[2]))));
        return 0;
    }
    if (verb == L"lists") {
        HWND w = Target();
        if (!w) return 1;
        for (HWND list = nullptr;
             (list = FindWindowExW(w, list, L"SysListView32", nullptr)) != nullptr;) {
            wchar_t name[256] = {};
            GetWindowTextW(list, name, 256);
            RECT r{};
            GetClientRect(list, &r);
            std::printf("%d %ld %ld %ls\n", RowCount(list), static_cast<long>(r.right),
                        static_cast<long>(r.bottom), name);
        }
        return 0;
    }
    if (verb == L"select" && argc >= 3) return SelectRows(argc - 2, argv + 2);
    if (verb == L"tree" && argc <= 3) return PrintTree(argc == 3 ? argv[2] : nullptr);
    if (verb == L"rows" && argc <= 3) return PrintRows(argc == 3 ? argv[2] : nullptr);
    if (verb == L"cells" && argc == 3) return PrintCells(_wtoi(argv[2]));
    if (verb == L"cells" && argc == 4) return PrintCells(_wtoi(argv[2]), argv[3]);
    if (verb == L"save" && argc >= 3)
        return SaveAs(argv[2], argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 20000,
                      argc > 4 ? argv[4] : L"Select destination");
    if (verb == L"dialogrows" && argc == 3) return PrintDialogRows(argv[2]);
    if (verb == L"dlgselect" && argc >= 3) return SelectDialogRows(argv[2], argc - 3, argv + 3);
    if (verb == L"titled" && argc == 3) return FindWindowW(nullptr, argv[2]) ? 0 : 1;
    if (verb == L"closetitled" && argc == 3) {
        HWND w = FindWindowW(nullptr, argv[2]);
        return w && PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (verb == L"dlgcommand" && argc == 4) {
        HWND w = FindWindowW(nullptr, argv[2]);
        return w && PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0) ? 0 : 1;
    }
    if (verb == L"captions" && argc == 3) return Captions(static_cast<DWORD>(_wtoi(argv[2])));
    if (verb == L"toolbar") return PrintToolbar();
    if (verb == L"tbclick" && argc == 3) return ClickToolbarButton(_wtoi(argv[2]));
    if (verb == L"children") return PrintChildren();
    if (verb == L"status") return PrintStatus();
    if (verb == L"wheel" && argc == 5) return Wheel(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    if (verb == L"clipboard") return PrintClipboard();
    if (verb == L"trayclick" && argc == 3) {
        HWND w = Target();
        return w && PostMessageW(w, WM_USER, 760, _wtoi(argv[2])) ? 0 : 1;
    }
    if (verb == L"dlgset" && argc == 5) {
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        return c && SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
    }
    if (verb == L"dlgclick" && argc == 4) {
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        return c && PostMessageW(c, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (verb == L"dlgclicks" && argc == 6) {
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        const DWORD start = GetTickCount(), step = static_cast<DWORD>(_wtoi(argv[5]));
        for (int i = 0, n = _wtoi(argv[4]); i < n; ++i) {
            while (GetTickCount() - start < step * static_cast<DWORD>(i)) Sleep(1);
            SendMessageW(c, BM_CLICK, 0, 0);
        }
        return 0;
    }
    if (verb == L"dlgtext" && argc == 4) {
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        wchar_t text[8192] = {};
        // GetWindowText does not ask a control of another process for its text.
        SendMessageW(c, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text));
        std::fputs(Utf8(text).c_str(), stdout);
        return 0;
    }
    if (verb == L"dlgpick" && argc == 5) {
        // Entry INDEX of a list box or drop-down list (by id) of the dialog titled TITLE,
        // chosen as by the user: the control's owner hears of the change.
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        const bool combo = _wcsicmp(cls, L"ComboBox") == 0;
        if (SendMessageW(c, combo ? CB_SETCURSEL : LB_SETCURSEL, _wtoi(argv[4]), 0) == CB_ERR)
            return 1;
        SendMessageW(GetParent(c), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(c), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c));
        return 0;
    }
    if (verb == L"dlgslider" && argc == 5) {
        // A track bar (by id) of the dialog titled TITLE moved to POS as by its thumb.
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        const int pos = _wtoi(argv[4]);
        SendMessageW(c, WM_USER + 5 /* TBM_SETPOS */, TRUE, pos);
        const bool vertical = GetWindowLongW(c, GWL_STYLE) & 2 /* TBS_VERT */;
        SendMessageW(GetParent(c), vertical ? WM_VSCROLL : WM_HSCROLL,
                     MAKEWPARAM(4 /* TB_THUMBPOSITION */, pos), reinterpret_cast<LPARAM>(c));
        return 0;
    }
    if (verb == L"dlgtree" && argc == 4) {
        HWND tree = DialogControl(argv[2], 3990);
        if (!tree) return 1;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (int i = _wtoi(argv[3]); item && i > 0; --i)
            item = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
        if (!item) return 1;
        Stopwatch t;
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        std::printf("%.1f\n", t.Ms());
        return 0;
    }
    if ((verb == L"dlgopen" && argc == 4) || (verb == L"dlgclickms" && argc == 5)) {
        const bool click = verb == L"dlgclickms";
        HWND w = click ? DialogControl(argv[2], _wtoi(argv[3])) : Target();
        if (!w) return 1;
        Stopwatch t;
        if (click ? !PostMessageW(w, BM_CLICK, 0, 0)
                  : !PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0))
            return 1;
        const wchar_t* title = argv[click ? 4 : 3];
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
            HWND d = FindWindowW(L"#32770", title);
            if (d && IsWindowVisible(d)) {
                std::printf("%.1f\n", t.Ms());
                return 0;
            }
            Sleep(1);
        }
        return 1;
    }
    if (verb == L"dlgpaint" && argc == 3) {
        HWND d = FindWindowW(L"#32770", argv[2]);
        return d && RedrawWindow(d, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN)
                   ? 0
                   : 1;
    }
    if (verb == L"dlgitems" && argc == 4) {
        // The entries of a list box or drop-down list (by id), one a line (UTF-8).
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        const bool combo = _wcsicmp(cls, L"ComboBox") == 0;
        const LRESULT n = SendMessageW(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            wchar_t text[1024] = {};
            if (SendMessageW(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0) >= 1024) continue;
            SendMessageW(c, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            std::printf("%s\n", Utf8(text).c_str());
        }
        return 0;
    }
    if (verb == L"dlgcheck" && argc == 4) {
        HWND c = DialogControl(argv[2], _wtoi(argv[3]));
        if (!c) return 1;
        std::printf("%d\n", SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    if (verb == L"visible") {
        HWND w = Target();
        if (!w) return 1;
        std::printf("%d\n", IsWindowVisible(w) ? 1 : 0);
        return 0;
    }
    if (verb == L"menu") return PrintMenu(argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 5000);
    if (verb == L"focus" && argc == 3) {
        // The id of the control that has the keyboard in the window of class CLASS.
        HWND w = FindWindowW(argv[2], nullptr);
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (!w || !GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui) ||
            !gui.hwndFocus || !IsChild(w, gui.hwndFocus))
            return 1;
        std::printf("%d\n", GetDlgCtrlID(gui.hwndFocus));
        return 0;
    }
    if (verb == L"menukey" && (argc == 3 || argc == 4)) {
        // With CLASS: to the control that has the keyboard in that window's thread.
        HWND w = argc == 4 ? FindWindowW(argv[3], nullptr) : Target();
        if (!w) return 1;
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (argc == 4 && GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui) &&
            gui.hwndFocus && IsChild(w, gui.hwndFocus))
            w = gui.hwndFocus;
        PostKey(w, static_cast<WPARAM>(_wtoi(argv[2])));
        return 0;
    }
    if (verb == L"menutime" && (argc == 4 || argc == 5))
        return MenuTimes(_wtoi(argv[2]), _wtoi(argv[3]), argc == 5 ? argv[4] : nullptr);
    if (verb == L"resize" && argc == 4) return Resize(argv[2], _wtoi(argv[3]));
    if (verb == L"memory" && argc == 3) return PeakMemory(argv[2]);
    if (verb == L"rect") {
        HWND w = Target();
        RECT r{};
        if (!w || !GetWindowRect(w, &r)) return 1;
        std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                    static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
        return 0;
    }
    if (verb == L"client") {
        HWND w = Target();
        RECT r{};
        POINT origin{0, 0};
        if (!w || !GetClientRect(w, &r) || !ClientToScreen(w, &origin)) return 1;
        std::printf("%ld %ld %ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
                    static_cast<long>(r.right), static_cast<long>(r.bottom));
        return 0;
    }
    if (verb == L"rightclick" && argc == 4) return RightClickRow(argv[2], _wtoi(argv[3]));
    if (verb == L"dragrow" && argc == 6)
        return DragRow(argv[2], _wtoi(argv[3]), argv[4], _wtoi(argv[5]));
    if (verb == L"drag" && argc == 7)
        return Drag(argv[2], _wtoi(argv[3]), _wtof(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]));
    if (verb == L"launch" && argc >= 3) {
        int at = 2;
        const wchar_t* windowClass = kClass;
        if (std::wcscmp(argv[2], L"--class") == 0 && argc >= 5) {
            windowClass = argv[3];
            at = 4;
        }
        std::wstring line = L"\"" + std::wstring(argv[at]) + L"\"";
        for (int i = at + 1; i < argc; ++i) line += L" " + std::wstring(argv[i]);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        // This tool's own first use of the display (Wine loads its display driver then) is
        // made before the clock starts, not counted in the start of the program it measures.
        ReleaseDC(nullptr, GetDC(nullptr));
        Stopwatch t;
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 1;
        HWND w = WaitForWindow(20000, true, windowClass);
        const double ms = t.Ms();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!w) return 1;
        std::printf("%.1f\n", ms);
        return 0;
    }
    return Usage();
}
