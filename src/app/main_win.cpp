// The program's entry: settings, the single-instance hand-over, the main window, the message
// loop. The order of the steps matters and follows the start-up sequence of the shell.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/app_win.h"
#include "audio/engine_win.h"
#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "config/settings_io.h"
#include "library/folder_ops_win.h"
#include "library/library_win.h"
#include "ui/face_win.h"
#include "ui/ui_glue_win.h"

namespace {

std::wstring ModulePath() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    return std::wstring(buf, n);
}

std::wstring SpecialFolderPath(int csidl) {
    wchar_t buf[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return {};
    return buf;
}

std::wstring CurrentDirectory() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(buf)), buf);
    return n < std::size(buf) ? std::wstring(buf, n) : std::wstring();
}

int WindowsMajorVersion() {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&vi);
#pragma GCC diagnostic pop
    return static_cast<int>(vi.dwMajorVersion);
}

ScreenMetrics MeasureScreen() {
    HDC dc = GetDC(nullptr);
    ScreenMetrics m{WindowsMajorVersion(), GetDeviceCaps(dc, LOGPIXELSX) / 96.0,
                    GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    ReleaseDC(nullptr, dc);
    return m;
}

bool EnterFolder(void*, const std::wstring& path) {
    return !path.empty() && SetCurrentDirectoryW(path.c_str());
}

// Steps 5 and 6: the hand-over to a running instance. True when this process is to end.
bool HandOverToRunningInstance(const std::wstring& args) {
    if (!ShouldContactRunning(g_settings, args)) return false;
    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (!running) return false;
    std::wstring path = FindArgPath(args, CurrentDirectory());
    if (!path.empty()) {
        HandoverMessage m = MakeHandover(args, path);
        COPYDATASTRUCT cd{m.dwData, static_cast<DWORD>(m.path.size() * 2), m.path.data()};
        DWORD_PTR result = 0;
        // A running instance that does not answer is given up on; this one still ends.
        SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd),
                            SMTO_ABORTIFHUNG, 5000, &result);
        Sleep(1000);
    } else {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return true;
}

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"ICON1");
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = g_win.windowBrush;
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0;
}

// Step 25 and the following: what the command line asks of this instance.
void ApplyCommandLineWin() {
    Settings& s = g_settings;
    g_shell.startupPending = true;
    std::wstring path = FindArgPath(g_shell.argsText, CurrentDirectory());
    StartFolders folders{EnterFolder, nullptr, PathFolder(g_shell.programPath),
                         SpecialFolderPath(CSIDL_MYMUSIC)};
    StartPlan plan = ApplyCommandLine(g_shell, s, g_shell.argsText, path, folders);
    if (plan.enqueue) g_shell.pendingEnqueue.push_back(s.last_file);
    // "/hide" switched the tray icon on: without it the hidden window could not be restored.
    if (plan.addTrayIcon && !TrayShownWin() && !TrayAddWin())
        s.control_flags &= ~static_cast<int32_t>(ControlFlag::TrayIcon);
    // Step 7: the tree selects the start folder; its selection change lists it. The start sets
    // the delay of this one listing to the shortest a timer has: nothing waits to be typed.
    g_dispatch.listingDelayMs = kStartListingDelayMs;
    LibrarySelectStartWin(plan.expandTreeRoot);
    // The listing timer also runs when the tree's selection did not change (or there is no
    // tree): it lists browsed_folder and ends the start-up.
    if (!plan.showHidden)
        SetTimer(g_win.mainWindow, kTimerListFolder, kStartListingDelayMs, nullptr);
    if (plan.autoplay) SetTimer(g_win.mainWindow, kTimerDelayedStart, 100, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    DllSearchExcludeCurrentDir();  // no DLL is ever loaded from the browsed folder
    Settings& s = g_settings;
    // 1. Defaults, with the Windows version and the screen measured.
    ScreenMetrics screen = MeasureScreen();
    SetDefaults(s, screen);
    g_shell.osMajorVersion = screen.osMajorVersion;
    g_shell.dpiFactor = screen.dpiFactor;
    // 2. The oldest Windows the program runs on.
    if (g_shell.osMajorVersion < 5) {
        MessageBoxW(nullptr, L"Zuvo needs at least Windows XP or compatible to run.",
                    L"OS version conflict", MB_ICONEXCLAMATION);
        ExitProcess(0);
    }
    // 3. Where the settings live.
    FileOps fs = Win32FileOps();
    g_shell.programPath = ModulePath();
    g_shell.appDataFolder = SpecialFolderPath(CSIDL_APPDATA);
    std::wstring wideLine = GetCommandLineW();
    bool localini = wideLine.find(L"/localini") != std::wstring::npos ||
                    std::string(GetCommandLineA()).find("/localini") != std::string::npos;
    IniChoice ini =
        ChooseIniLocation(g_shell.programPath, g_shell.appDataFolder,
                          fs.fileExists(nullptr, MarkerFilePath(g_shell.programPath)), localini,
                          !g_shell.appDataFolder.empty() &&
                              fs.folderExists(nullptr, ProfileFolder(g_shell.appDataFolder)));
    g_shell.iniPath = ini.path;
    g_shell.iniLocation = ini.location;
    // 4. The settings file.
    ReadSettingsFile(s, fs, g_shell.iniPath, AnsiToWide, nullptr);
    g_shell.lastPosAtStart = s.last_pos;
    // 5, 6. The command line, and the hand-over to a running instance.
    g_win.instance = instance;
    g_shell.argsText = ExtractArgs(wideLine);
    if (HandOverToRunningInstance(g_shell.argsText)) return 0;
    // The folder tree's drives and special folders are read on a worker thread meanwhile.
    FolderRootsPrefetchWin();
    // 7 to 9. Brushes, window class, the hidden main window.
    CreateBrushes();
    if (!RegisterMainClass(instance)) return 0;
    Rect r = PlaceMainWindow(s, VirtualScreen());
    g_win.mainWindow = CreateWindowExW(0, kMainWindowClass, L"Zuvo",
                                       WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.x,
                                       r.y, r.w, r.h, nullptr, nullptr, instance, nullptr);
    if (!g_win.mainWindow) return 0;
    // 14. Common controls and the accelerators (COM once the window shows).
    InitCommonControls();
    g_win.accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(750));
    // 17. The language file named by the settings.
    LoadLanguageWin();
    // 12, 13, 18, 19. The engine, the tree and the lists, sequencing and the Playlist view,
    //    each connected to the others (wiring_win.cpp).
    StartSubsystemsWin();
    // 20. Dropped files are accepted by the main window.
    DragAcceptFiles(g_win.mainWindow, TRUE);
    // 22. High task priority.
    if (static_cast<uint32_t>(s.control_flags) & ControlFlag::HighPriority)
        SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    // 23. The track log beside the settings file.
    if (static_cast<uint32_t>(s.logfile) & kLogfileOn)
        g_shell.trackLogPath = PathWithExtension(g_shell.iniPath, L".log");
    // 25. The command line.
    ApplyCommandLineWin();
    // "/enqueue" with a path: the file goes to the end of the Playlist view.
    EnqueueWin(std::move(g_shell.pendingEnqueue));
    g_shell.pendingEnqueue.clear();
    // 27. The latest moment the window is shown, and the autosave.
    SetTimer(g_win.mainWindow, kTimerShowLatest, 3000, nullptr);
    if (static_cast<uint32_t>(s.system_flags) & SystemFlag::AutoSave)
        SetTimer(g_win.mainWindow, kTimerAutosave, 300000, nullptr);
    // The start folder is listed and the window shown now, not when the listing timer fires.
    {
        CommandContext c = AppContext();
        OnStartupDone(c);
    }
    // COM for the shell's calls of later commands. ole32 is not linked: loading it before the
    // window showed cost start-up time, and nothing needs it until a command runs.
    const auto comInit = SystemDllProc<decltype(&CoInitialize)>(L"ole32.dll", "CoInitialize");
    const bool com = comInit && SUCCEEDED(comInit(nullptr));
    // 28. The message loop.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_MOUSEWHEEL && FaceRouteMouseWheelWin(msg)) continue;
        if (ModelessDialogMessageWin(msg)) continue;  // Tab and the keys of their controls
        if (!g_dispatch.labelEditing && g_win.accelerators &&
            TranslateAcceleratorA(g_win.mainWindow, g_win.accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EngineShutdownWin();
    if (com) SystemDllProc<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize")();
    return static_cast<int>(msg.wParam);
}
