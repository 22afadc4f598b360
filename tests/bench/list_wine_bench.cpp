// list_wine_bench FOLDER: lists FOLDER into an owner-data File view through the program's own
// folder table, list core and list control, and prints the milliseconds of the directory read
// with the sort and of the first paint. Built and run by list_wine_bench.sh under Wine.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "config/lang.h"
#include "config/settings_io.h"
#include "library/folder_ops_win.h"
#include "library/list_text.h"
#include "library/list_view_win.h"

namespace {
ListViewWin g_view;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT r = 0;
    if (msg == WM_NOTIFY && ListViewNotify(g_view, reinterpret_cast<NMHDR*>(lParam), r)) return r;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    InitCommonControls();
    SetDefaults(g_settings, ScreenMetrics{10, 1.0, 1280, 800});
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZuvoListBench";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"list bench", WS_OVERLAPPEDWINDOW, 0, 0, 1000,
                                700, nullptr, nullptr, wc.hInstance, nullptr);
    TrackList list;
    g_view.list = &list;
    g_view.s = &g_settings;
    list.view = ListViewOpsOf(g_view);
    ListViewCreateWin(g_view, host, wc.hInstance, 1);
    MoveWindow(g_view.hwnd, 0, 0, 980, 660, FALSE);
    list.window = g_view.hwnd;
    const FolderOps fs = Win32FolderOps();
    std::string playable(kMpegExtensions);
    ListEnv env;
    env.s = &g_settings;
    env.fs = &fs;
    env.playable = &playable;

    LARGE_INTEGER f, t0, t1, t2;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    LoadList(list, argv[1], env);
    QueryPerformanceCounter(&t1);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    UpdateWindow(g_view.hwnd);
    QueryPerformanceCounter(&t2);
    std::printf("rows %d, read+sort %.1f ms, first paint %.1f ms, together %.1f ms\n",
                static_cast<int>(list.rows.size()), Ms(t0, t1, f), Ms(t1, t2, f), Ms(t0, t2, f));
    DestroyWindow(host);
    return 0;
}
