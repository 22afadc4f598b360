// FolderOps over FindFirstFileW and friends. Paths are wide throughout; times are converted to
// local time here so the core only ever sees what the lists print.
#include "library/folder_ops_win.h"

#include <windows.h>

#include <lm.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include <array>

#include "base/dll_win.h"

namespace {

LocalTime ToLocal(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

bool Enumerate(void*, const std::wstring& folder, const std::wstring& pattern, DirEntryFn fn,
               void* cbCtx) {
    std::wstring spec = folder;
    if (!spec.empty() && spec.back() == L':') spec += L'\\';  // "C:" means the drive's root
    spec = Join(spec, pattern);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(spec.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        // A readable folder without matches is not a failure.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    DirEntry e;
    do {
        e.name = fd.cFileName;
        e.attributes = fd.dwFileAttributes;
        e.size = (uint64_t{fd.nFileSizeHigh} << 32) | fd.nFileSizeLow;
        e.created = ToLocal(fd.ftCreationTime);
        e.written = ToLocal(fd.ftLastWriteTime);
        if (!fn(cbCtx, e)) break;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return true;
}

bool SetCurrent(void*, const std::wstring& path) {
    return !path.empty() && SetCurrentDirectoryW(path.c_str());
}

int PathType(void*, const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return 0;
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
}

std::vector<DriveInfo> Drives(void*) {
    std::vector<DriveInfo> out;
    // No "insert a disk" boxes for empty removable drives while their labels are read.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        DriveInfo d;
        d.letter = static_cast<wchar_t>(L'A' + i);
        const wchar_t root[] = {d.letter, L':', L'\\', 0};
        d.type = static_cast<int>(GetDriveTypeW(root));
        // Floppy drives are slow to answer and rarely labelled.
        if (i >= 2 || d.type != DRIVE_REMOVABLE) {
            wchar_t label[MAX_PATH + 1] = {};
            if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                      0))
                d.label = label;
        }
        out.push_back(std::move(d));
    }
    SetErrorMode(oldMode);
    return out;
}

std::wstring DisplayName(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    if (SHGetFolderLocation(nullptr, csidl, nullptr, 0, &pidl) != S_OK || !pidl) return {};
    SHFILEINFOW fi{};
    std::wstring name;
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &fi, sizeof fi,
                       SHGFI_PIDL | SHGFI_DISPLAYNAME))
        name = fi.szDisplayName;
    ILFree(pidl);
    return name;
}

bool ShellFolderOf(void*, ShellFolder which, std::wstring& path, std::wstring& name) {
    int csidl = 0;
    switch (which) {
        case ShellFolder::Computer:
            csidl = CSIDL_DRIVES;
            break;
        case ShellFolder::Network:
            csidl = CSIDL_NETWORK;
            break;
        case ShellFolder::Documents:
            csidl = CSIDL_PERSONAL;
            break;
        case ShellFolder::Music:
            csidl = CSIDL_MYMUSIC;
            break;
        case ShellFolder::SharedDocuments:
            csidl = CSIDL_COMMON_DOCUMENTS;
            break;
    }
    path.clear();
    name.clear();
    // The tree names the music and shared documents roots itself: asking the shell for their
    // names (an item list bound and its display name read) would only cost start-up time.
    if (which != ShellFolder::Music && which != ShellFolder::SharedDocuments)
        name = DisplayName(csidl);
    if (which == ShellFolder::Computer || which == ShellFolder::Network) return !name.empty();
    wchar_t buf[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return false;
    path = buf;
    return !path.empty();
}

// The network calls come from netapi32 and mpr, loaded when the network is first browsed:
// linked, they and the name-resolution libraries they pull in would load at every start.
using NetServerEnumFn = NET_API_STATUS(WINAPI*)(LPCWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD,
                                                DWORD, LPCWSTR, LPDWORD);
using NetApiBufferFreeFn = NET_API_STATUS(WINAPI*)(LPVOID);
using WNetAddConnection2Fn = DWORD(WINAPI*)(LPNETRESOURCEW, LPCWSTR, LPCWSTR, DWORD);
using WNetOpenEnumFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, LPNETRESOURCEW, LPHANDLE);
using WNetEnumResourceFn = DWORD(WINAPI*)(HANDLE, LPDWORD, LPVOID, LPDWORD);
using WNetCloseEnumFn = DWORD(WINAPI*)(HANDLE);

int NetServers(void*, std::vector<std::wstring>& servers) {
    auto serverEnum = SystemDllProc<NetServerEnumFn>(L"netapi32.dll", "NetServerEnum");
    auto bufferFree = SystemDllProc<NetApiBufferFreeFn>(L"netapi32.dll", "NetApiBufferFree");
    if (!serverEnum || !bufferFree) return ERROR_PROC_NOT_FOUND;
    LPBYTE buf = nullptr;
    DWORD read = 0, total = 0;
    NET_API_STATUS st = serverEnum(nullptr, 101, &buf, MAX_PREFERRED_LENGTH, &read, &total,
                                   SV_TYPE_ALL, nullptr, nullptr);
    if ((st == NERR_Success || st == ERROR_MORE_DATA) && buf) {
        auto* info = reinterpret_cast<SERVER_INFO_101*>(buf);
        for (DWORD i = 0; i < read; ++i)
            if (info[i].sv101_name) servers.emplace_back(info[i].sv101_name);
    }
    if (buf) bufferFree(buf);
    return static_cast<int>(st);
}

int NetConnect(void*, const std::wstring& server) {
    auto addConnection = SystemDllProc<WNetAddConnection2Fn>(L"mpr.dll", "WNetAddConnection2W");
    if (!addConnection) return ERROR_PROC_NOT_FOUND;
    NETRESOURCEW nr{};
    nr.dwType = RESOURCETYPE_DISK;
    std::wstring remote = server;
    nr.lpRemoteName = remote.data();
    return static_cast<int>(addConnection(&nr, nullptr, nullptr, 0));
}

bool NetShares(void*, const std::wstring& server, std::vector<ShareEntry>& out) {
    auto openEnum = SystemDllProc<WNetOpenEnumFn>(L"mpr.dll", "WNetOpenEnumW");
    auto enumResource = SystemDllProc<WNetEnumResourceFn>(L"mpr.dll", "WNetEnumResourceW");
    auto closeEnum = SystemDllProc<WNetCloseEnumFn>(L"mpr.dll", "WNetCloseEnum");
    if (!openEnum || !enumResource || !closeEnum) return false;
    NETRESOURCEW nr{};
    nr.dwScope = RESOURCE_GLOBALNET;
    nr.dwType = RESOURCETYPE_DISK;
    nr.dwUsage = RESOURCEUSAGE_CONTAINER;
    std::wstring remote = server;
    nr.lpRemoteName = remote.data();
    HANDLE h = nullptr;
    if (openEnum(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE, &nr, &h) !=
        NO_ERROR)
        return false;
    // One buffer of 16 KB for at most 50 entries.
    alignas(NETRESOURCEW) static BYTE buf[16384];
    DWORD count = 50, size = sizeof buf;
    DWORD st = enumResource(h, &count, buf, &size);
    if (st == NO_ERROR) {
        auto* res = reinterpret_cast<NETRESOURCEW*>(buf);
        for (DWORD i = 0; i < count; ++i)
            if (res[i].lpRemoteName)
                out.push_back(
                    ShareEntry{res[i].lpRemoteName, static_cast<int>(res[i].dwDisplayType)});
    }
    closeEnum(h);
    return st == NO_ERROR || st == ERROR_NO_MORE_ITEMS;
}

int Collate(void*, const wchar_t* a, const wchar_t* b) {
    return lstrcmpW(a, b);
}

uint32_t TickCount(void*) {
    return GetTickCount();
}

int CurrentMonth(void*) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wMonth;
}

// ---- the first roots, read ahead on a worker thread ----

constexpr ShellFolder kPrefetched[] = {ShellFolder::Computer, ShellFolder::Network,
                                       ShellFolder::Documents, ShellFolder::Music,
                                       ShellFolder::SharedDocuments};
struct ShellAnswer {
    bool ok = false, taken = false;
    std::wstring path, name;
};
// Written by the worker thread only until the main thread has waited for it; read by the main
// thread only after that wait.
struct RootsPrefetch {
    HANDLE thread = nullptr;
    bool drivesTaken = false;
    std::vector<DriveInfo> drives;
    std::array<ShellAnswer, std::size(kPrefetched)> shell;
} g_prefetch;

DWORD WINAPI PrefetchRoots(void*) {
    // ole32 is not linked (it would be loaded before the window shows); this thread loads it.
    const auto comInit = SystemDllProc<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    const HRESULT com = comInit ? comInit(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    g_prefetch.drives = Drives(nullptr);
    for (size_t i = 0; i < std::size(kPrefetched); ++i) {
        ShellAnswer& a = g_prefetch.shell[i];
        a.ok = ShellFolderOf(nullptr, kPrefetched[i], a.path, a.name);
    }
    if (SUCCEEDED(com)) SystemDllProc<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize")();
    return 0;
}

// True once the read ahead has ended (false when it never started).
bool PrefetchDone() {
    if (!g_prefetch.thread) return false;
    WaitForSingleObject(g_prefetch.thread, INFINITE);
    return true;
}

std::vector<DriveInfo> FirstDrives(void* ctx) {
    if (!PrefetchDone() || g_prefetch.drivesTaken) return Drives(ctx);
    g_prefetch.drivesTaken = true;
    return std::move(g_prefetch.drives);
}

bool FirstShellFolder(void* ctx, ShellFolder which, std::wstring& path, std::wstring& name) {
    if (PrefetchDone()) {
        for (size_t i = 0; i < std::size(kPrefetched); ++i) {
            ShellAnswer& a = g_prefetch.shell[i];
            if (kPrefetched[i] != which || a.taken) continue;
            a.taken = true;
            path = a.path;
            name = a.name;
            return a.ok;
        }
    }
    return ShellFolderOf(ctx, which, path, name);
}

}  // namespace

void FolderRootsPrefetchWin() {
    if (!g_prefetch.thread)
        g_prefetch.thread = CreateThread(nullptr, 0, PrefetchRoots, nullptr, 0, nullptr);
}

FolderOps Win32FolderOpsForFirstRoots() {
    FolderOps ops = Win32FolderOps();
    ops.drives = FirstDrives;
    ops.shellFolder = FirstShellFolder;
    return ops;
}

FolderOps Win32FolderOps() {
    FolderOps ops{};
    ops.enumerate = Enumerate;
    ops.setCurrent = SetCurrent;
    ops.pathType = PathType;
    ops.drives = Drives;
    ops.shellFolder = ShellFolderOf;
    ops.netServers = NetServers;
    ops.netConnect = NetConnect;
    ops.netShares = NetShares;
    ops.errorLog = nullptr;
    ops.collate = Collate;
    ops.tickCount = TickCount;
    ops.currentMonth = CurrentMonth;
    ops.ctx = nullptr;
    return ops;
}
