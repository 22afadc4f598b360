#include "base/dll_win.h"

#include <string>

#include "base/path.h"

#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif
#ifndef LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#endif
#ifndef LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#endif

namespace {

// The full path of zuvo.exe, however long (empty on failure).
std::wstring ProgramFile() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return buf.substr(0, n);
        if (buf.size() >= 32768) return {};  // longer than any Windows path
        buf.resize(buf.size() * 2);
    }
}

// Looked up at run time: Windows XP and Vista (and 7 without KB2533623) lack the first, and the
// program still runs there.
template <typename Fn>
Fn Kernel32(const char* name) {
    HMODULE k = GetModuleHandleW(L"kernel32.dll");
    return k ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(k, name))) : nullptr;
}

using SetDefaultFn = BOOL(WINAPI*)(DWORD);
using SetDirectoryFn = BOOL(WINAPI*)(LPCWSTR);

}  // namespace

bool DllSearchExcludeCurrentDir() {
    if (auto setDefault = Kernel32<SetDefaultFn>("SetDefaultDllDirectories"))
        if (setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
            return true;
    // The empty string removes the current directory from the classic search order.
    auto setDirectory = Kernel32<SetDirectoryFn>("SetDllDirectoryW");
    return setDirectory && setDirectory(L"");
}

std::wstring ProgramFolderWin() {
    const std::wstring exe = ProgramFile();
    return exe.empty() ? std::wstring() : PathFolder(exe);
}

std::vector<std::wstring> ProgramFilesMatchingWin(const wchar_t* pattern) {
    const std::wstring folder = ProgramFolderWin();
    return folder.empty() ? std::vector<std::wstring>() : FilesMatchingWin(folder, pattern);
}

std::vector<std::wstring> FilesMatchingWin(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW(PathJoin(folder, pattern).c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(fd.cFileName);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return names;
}

HMODULE LoadProgramDll(const wchar_t* name) {
    const std::wstring folder = ProgramFolderWin();
    if (folder.empty() || !name || !*name) return nullptr;
    const std::wstring path = PathJoin(folder, name);
    // The DLLs it imports are looked for in its folder first, then in the program's and the
    // system folder. A kernel with the search flags has SetDefaultDllDirectories; without them
    // the altered search order starts at the DLL's folder, and SetDllDirectoryW(L"") has taken
    // the current directory out of it.
    const DWORD flags = Kernel32<SetDefaultFn>("SetDefaultDllDirectories")
                            ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                            : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExW(path.c_str(), nullptr, flags);
}

HMODULE LoadSystemDll(const wchar_t* name) {
    if (!name || !*name) return nullptr;
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW(PathJoin(std::wstring(dir, n), name).c_str());
}
