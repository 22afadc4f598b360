// The shell operations that reach the OS: error.log, the saves, the exit sequence, brushes.
#include <windows.h>

#include "app/app_win.h"
#include "app/view_texts_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "config/settings_io.h"
#include "library/folder_tree.h"
#include "library/library_win.h"

ShellState g_shell;
ShellWin g_win;
DispatchState g_dispatch;
AppWiring g_wiring;
ListSources g_listSources{nullptr, nullptr, nullptr};

namespace {

// The Big view background: the last of the three colour fields of big_title.
COLORREF BigViewBackground(const Settings& s) {
    if (s.big_title.size() < 60) return RGB(0, 0, 0);
    return static_cast<COLORREF>(std::stoul(s.big_title.substr(52, 8)));
}

// ---- the dispatcher's OS services ----

void OsSetTimer(void*, unsigned id, unsigned ms) {
    SetTimer(g_win.mainWindow, id, ms, nullptr);
}
void OsKillTimer(void*, unsigned id) {
    KillTimer(g_win.mainWindow, id);
}
uint32_t OsTickCount(void*) {
    return GetTickCount();
}
bool OsConfirm(void*, int which) {
    return ConfirmAction(g_win.mainWindow, which);
}
void OsQuit(void*) {
    Shutdown();
    DestroyWindow(g_win.mainWindow);
}
void OsMinimize(void*) {
    ShowWindow(g_win.mainWindow, SW_MINIMIZE);
}
void OsHide(void*) {
    if (g_wiring.view.storePlacement) g_wiring.view.storePlacement(g_wiring.view.ctx);
    ShowWindow(g_win.mainWindow, SW_HIDE);
}
void OsShowMainWindow(void*, bool maximize) {
    ShowWindow(g_win.mainWindow, maximize ? SW_MAXIMIZE : SW_SHOWDEFAULT);
}
void OsSaveAll(void*, bool keepLists) {
    SaveAllWin(keepLists);
}
void OsShowError(void*, const wchar_t* text, const wchar_t* caption) {
    MessageBoxW(g_win.mainWindow, text, caption, MB_ICONERROR);
}

constexpr AppOs kWin32Os{nullptr,    OsSetTimer, OsKillTimer,      OsTickCount, OsConfirm,  OsQuit,
                         OsMinimize, OsHide,     OsShowMainWindow, OsSaveAll,   OsShowError};

void LogToErrorFile(void*, const char* text, int code) {
    WriteErrorLog(text, code);
}

}  // namespace

CommandContext AppContext() {
    return CommandContext{g_settings, g_shell, g_dispatch, kWin32Os, g_wiring};
}

void LoadLanguageWin() {
    FileOps fs = Win32FileOps();
    const uint16_t userLanguage = PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()));
    LangEnv env{&fs, PathFolder(g_shell.programPath), userLanguage, LogToErrorFile, nullptr};
    LoadLanguage(g_lang, g_settings.language, env);
}

void WriteErrorLog(const char* text, int code) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
    AppendErrorLog(Win32FileOps(), g_shell.iniPath, ErrorLogLine(t, text, code));
}

void SaveAllWin(bool keepLists) {
    SaveAll(g_shell, g_settings, Win32FileOps(), g_listSources, keepLists);
}

bool ConfirmAction(HWND owner, int which) {
    if (!ConfirmationNeeded(g_settings, which)) return true;
    return MessageBoxW(owner, L"Continue?", L"Please confirm",
                       MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

void CreateBrushes() {
    const Settings& s = g_settings;
    g_win.windowBrush = CreateSolidBrush(static_cast<COLORREF>(s.color_win));
    g_win.listBrush = CreateSolidBrush(static_cast<COLORREF>(s.color_back));
    g_win.bigViewBrush = CreateSolidBrush(BigViewBackground(s));
    bool darker = (static_cast<uint32_t>(s.stylez) & Style::DarkMode) && s.more_dark;
    g_win.plainBrush = CreateSolidBrush(darker ? RGB(0xD0, 0xD0, 0xD0) : RGB(0xFF, 0xFF, 0xFF));
}

void DeleteBrushes() {
    for (HBRUSH* b :
         {&g_win.windowBrush, &g_win.listBrush, &g_win.bigViewBrush, &g_win.plainBrush}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
}

Rect VirtualScreen() {
    return Rect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void Shutdown() {
    if (g_win.shutDown) return;
    g_win.shutDown = true;
    Settings& s = g_settings;
    // The info scan and a subfolder walk end before the lists and the engine go.
    if (g_wiring.lists.stopListWork) g_wiring.lists.stopListWork(g_wiring.lists.ctx);
    // 1. The playback position: the engine's, or the one read at start when it reports none.
    // 2. Playback stops and its file closes (the rest of the engine goes after the loop).
    const PlaybackOps& playback = g_wiring.playback;
    EngineView v;
    if (playback.view) playback.view(playback.ctx, v);
    s.last_pos = v.position > 0 ? static_cast<int32_t>(v.position) : g_shell.lastPosAtStart;
    if (playback.stop) playback.stop(playback.ctx);
    // 3. The HTTP server and its stream end.
    if (g_wiring.http.serverControl) g_wiring.http.serverControl(g_wiring.http.ctx, true);
    KillTimer(g_win.mainWindow, kTimerAutosave);
    // The hotkeys and the tray icon go.
    ViewTextsStopWin();
    // 4. Back to normal priority.
    if (static_cast<uint32_t>(s.control_flags) & ControlFlag::HighPriority)
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    // 7. The list column widths go into the settings.
    if (g_wiring.lists.storeColumnWidths) g_wiring.lists.storeColumnWidths(g_wiring.lists.ctx);
    // The window's place and size.
    if (g_wiring.view.storePlacement) g_wiring.view.storePlacement(g_wiring.view.ctx);
    // 8. The settings file (beside the program, or the profile when that fails).
    SaveSettings(g_shell, s, Win32FileOps(), false);
    // 10. The list state files.
    SaveListStates(g_shell, s, Win32FileOps(), g_listSources);
    // 11. GDI objects.
    DeleteBrushes();
}

void NewWindowCommandWin(CommandId, intptr_t) {
    const FolderTree& tree = LibraryTree();
    std::wstring folder;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, g_settings, folder) ||
        folder.empty())
        return;
    std::wstring line =
        NewWindowCommandLine(g_shell.programPath, folder, g_shell.iniLocation == kPortable);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(g_shell.programPath.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi)) {
        WriteErrorLog("Cannot start a new instance", static_cast<int>(GetLastError()));
        return;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
