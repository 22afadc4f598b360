// A stand-in "mpglib.dll" for the DLL search-order test: whichever copy is loaded leaves the
// file "mpglib-loaded" beside itself, holding the process's current directory, so the test sees
// which copy (if any) zuvo.exe took. Its entry points decode nothing: all input is taken and no
// sound comes out, so that a loaded copy plays the track through as silence without a message.
#include <windows.h>

#include <cstdint>
#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return TRUE;
    wchar_t* slash = std::wcsrchr(path, L'\\');
    if (!slash || (slash - path) + 15 >= MAX_PATH * 2) return TRUE;
    std::wcscpy(slash + 1, L"mpglib-loaded");
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return TRUE;
    wchar_t cwd[MAX_PATH * 2];
    const DWORD len = GetCurrentDirectoryW(MAX_PATH * 2, cwd);
    DWORD written = 0;
    if (len > 0 && len < MAX_PATH * 2) WriteFile(f, cwd, len * sizeof(wchar_t), &written, nullptr);
    CloseHandle(f);
    return TRUE;
}

extern "C" {
__declspec(dllexport) int _InitMP3(void*) {
    return 1;
}
__declspec(dllexport) void _ExitMP3(void*) {}
// 1: more input is needed; nothing is produced.
__declspec(dllexport) int _decodeMP3(void*, const uint8_t*, int, uint8_t*, int, int* produced) {
    *produced = 0;
    return 1;
}
}
