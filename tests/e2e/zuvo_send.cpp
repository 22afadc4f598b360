// zuvo-send: drives a running zuvo.exe from the end-to-end tests.
//   zuvo-send wait [--visible] [TIMEOUT_MS]   waits for the main window (exit 1 on timeout)
//   zuvo-send gone [TIMEOUT_MS]               waits until no main window exists
//   zuvo-send command ID                      posts WM_COMMAND with the id
//   zuvo-send close                           posts WM_CLOSE
//   zuvo-send copydata DWDATA PATH            sends the instance hand-over message
//   zuvo-send launch [--class NAME] EXE [ARGS] starts EXE and prints the milliseconds until its
//                                             main window (or a window of class NAME) is visible
//   zuvo-send accel EXE ID                    prints accelerator table ID of EXE, one
//                                             "flags key command" line per entry
//   zuvo-send label TEXT                      types TEXT into the label edit of the main
//                                             window's list and ends the edit with Return
//   zuvo-send text CLASS [TIMEOUT_MS]         prints the text of the first child of the
//                                             window of class CLASS (exit 1 when none shows)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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

int Usage() {
    std::fputs("usage: zuvo-send wait [--visible] [MS] | gone [MS] | command ID | close | "
               "copydata DWDATA PATH | launch EXE [ARGS] | accel EXE ID\n",
               stderr);
    return 2;
}

HWND Target() {
    HWND w = FindWindowW(kClass, nullptr);
    if (!w) std::fputs("zuvo-send: no ZuvoWndClass window\n", stderr);
    return w;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    std::wstring verb = argv[1];
    if (verb == L"wait") {
        bool visible = argc > 2 && std::wcscmp(argv[2], L"--visible") == 0;
        int at = visible ? 3 : 2;
        DWORD timeout = argc > at ? static_cast<DWORD>(_wtoi(argv[at])) : 20000;
        return WaitForWindow(timeout, visible) ? 0 : 1;
    }
    if (verb == L"gone") {
        DWORD timeout = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 20000;
        DWORD start = GetTickCount();
        while (FindWindowW(kClass, nullptr)) {
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(10);
        }
        return 0;
    }
    if (verb == L"command" && argc == 3) {
        HWND w = Target();
        return w && PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0) ? 0 : 1;
    }
    if (verb == L"close") {
        HWND w = Target();
        return w && PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (verb == L"copydata" && argc == 4) {
        HWND w = Target();
        if (!w) return 1;
        std::wstring path = argv[3];
        // The message carries UTF-16 text with its terminating zero.
        COPYDATASTRUCT cd{static_cast<ULONG_PTR>(_wtoi(argv[2])),
                          static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)), path.data()};
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd),
                                   SMTO_ABORTIFHUNG, 5000, &result)
                   ? 0
                   : 1;
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
    if (verb == L"label" && argc == 3) {
        HWND w = Target();
        HWND list = w ? FindWindowExW(w, nullptr, L"SysListView32", nullptr) : nullptr;
        HWND edit = nullptr;
        for (int i = 0; list && !edit && i < 200; ++i, Sleep(10))
            edit = reinterpret_cast<HWND>(SendMessageW(list, 0x1018 /* LVM_GETEDITCONTROL */, 0, 0));
        if (!edit) return 1;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
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
        LARGE_INTEGER freq, t0, t1;
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&t0);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 1;
        HWND w = WaitForWindow(20000, true, windowClass);
        QueryPerformanceCounter(&t1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!w) return 1;
        std::printf("%.1f\n", (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart);
        return 0;
    }
    return Usage();
}
