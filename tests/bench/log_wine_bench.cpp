// log_wine_bench DIR MODE: the track log's costs under Wine, through the program's own log
// glue and viewer, on DIR\zuvo.log (written by log_wine_bench.sh).
//   view   opens the log viewer and closes it once it has shown itself; prints the ms from the
//          command to the first idle moment of the shown dialog (read, parse, rows, paint).
//   trim   one logged track whose record makes the log exceed its 1000 KB limit: the read,
//          the trimming rewrite (temporary file, flush, rename) and the append; prints ms.
//   track  the logging of 2,000 tracks within the limit (start, leave, append); prints the
//          CPU time per track (user + kernel of this process) and the wall time.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "config/settings_io.h"
#include "log/log_win.h"

namespace {

LARGE_INTEGER g_freq, g_start;
double g_shownMs = -1;

double Since(const LARGE_INTEGER& a) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - a.QuadPart) /
           static_cast<double>(g_freq.QuadPart);
}

// Runs when the modal loop of the shown dialog first goes idle (after its paint).
void CALLBACK Shown(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dlg = FindWindowW(nullptr, L"Track log");
    if (dlg) {
        UpdateWindow(dlg);
        g_shownMs = Since(g_start);
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    }
}

double CpuMs() {
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    auto ms = [](FILETIME f) {
        return ((uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(k) + ms(u);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    InitCommonControls();
    QueryPerformanceFrequency(&g_freq);
    SetDefaults(g_settings, ScreenMetrics{10, 1.0, 1280, 800});
    const std::wstring dir = argv[1], mode = argv[2];
    g_settings.logfile = static_cast<int32_t>(0x400 | (mode == L"track" ? 0 : 1000));
    HWND owner = CreateWindowExW(0, L"Static", L"log bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    LogStartWin(owner, GetModuleHandleW(nullptr), dir + L"\\zuvo.ini", LogHost{});
    const LogOps log = LogOpsWin();
    const std::wstring track = dir + L"\\Some Folder\\A track of some length.mp3";
    LogTrackInfo t;
    t.path = track.c_str();
    t.artist = L"Artist";
    t.title = L"Title";
    t.lengthMs = 200000;
    if (mode == L"view") {
        SetTimer(nullptr, 0, 0, Shown);
        QueryPerformanceCounter(&g_start);
        LogViewerCommandWin(kCmdViewTrackLog, 0);
        std::printf("viewer shown after %.1f ms\n", g_shownMs);
        return g_shownMs < 0;
    }
    if (mode == L"trim") {
        QueryPerformanceCounter(&g_start);
        log.trackStarted(log.ctx, t);
        log.trackLeft(log.ctx, 150000);
        std::printf("logged track with trimming: %.1f ms\n", Since(g_start));
        return 0;
    }
    const int n = 2000;
    const double cpu0 = CpuMs();
    QueryPerformanceCounter(&g_start);
    for (int i = 0; i < n; ++i) {
        t.lengthMs = 200000 + static_cast<uint32_t>(i);  // a new record each time
        log.trackStarted(log.ctx, t);
        log.trackLeft(log.ctx, 150000);
    }
    std::printf("per logged track: %.1f us CPU, %.1f us wall\n", (CpuMs() - cpu0) * 1000.0 / n,
                Since(g_start) * 1000.0 / n);
    return 0;
}
