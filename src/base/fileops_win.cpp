#include "base/fileops_win.h"

#include <windows.h>

#include <algorithm>

namespace {

bool ReadFileOp(void*, const std::wstring& path, size_t maxBytes, std::string& out) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[65536];
    while (out.size() < maxBytes) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(sizeof buf, maxBytes - out.size()));
        DWORD got = 0;
        if (!::ReadFile(h, buf, want, &got, nullptr) || got == 0) break;
        out.append(buf, got);
    }
    CloseHandle(h);
    return true;
}

bool WriteAll(HANDLE h, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote != chunk)
            return false;
        done += wrote;
    }
    return true;
}

// The new content goes to a temporary file beside the target, is flushed, and only then
// replaces the target: a full disk or a crash leaves the old file as it was.
bool ReplaceFileOp(void*, const std::wstring& path, const std::string& bytes) {
    std::wstring temp = path + L".new";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(h, bytes) && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok)
        ok = MoveFileExW(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

int64_t AppendFileOp(void*, const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER zero{}, size{};
    SetFilePointerEx(h, zero, nullptr, FILE_END);
    WriteAll(h, bytes);
    GetFileSizeEx(h, &size);
    CloseHandle(h);
    return size.QuadPart;
}

bool FolderExistsOp(void*, const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolderOp(void* ctx, const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || FolderExistsOp(ctx, path);
}

bool FileExistsOp(void*, const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

FileOps Win32FileOps() {
    return FileOps{ReadFileOp,     ReplaceFileOp, AppendFileOp, FolderExistsOp,
                   CreateFolderOp, FileExistsOp,  nullptr};
}

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

namespace {
std::wstring SystemToWide(void*, std::string_view text) {
    return AnsiToWide(text);
}
std::string WideToSystem(void*, std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}
}  // namespace

CodePage SystemCodePageWin() {
    return CodePage{SystemToWide, WideToSystem, nullptr};
}
