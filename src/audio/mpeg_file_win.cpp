#include "audio/mpeg_file_win.h"

#include <windows.h>

namespace {

int HandleReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    HANDLE h = static_cast<HANDLE>(ctx);
    if (n < 0) return -1;
    LARGE_INTEGER pos;
    pos.QuadPart = offset;
    if (!SetFilePointerEx(h, pos, nullptr, FILE_BEGIN)) return -1;
    DWORD got = 0;
    if (!ReadFile(h, dst, static_cast<DWORD>(n), &got, nullptr)) return -1;
    return static_cast<int>(got);
}

}  // namespace

bool MpegOpenFile(MpegInfo& info, const wchar_t* path, ByteReader& reader) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    info.fileName = path;
    info.hFile = h;
    info.dwAudioEnd = MpegFileSize(info);
    reader = ByteReader{HandleReadAt, h};
    return true;
}

void MpegCloseFile(MpegInfo& info) {
    if (info.hFile) CloseHandle(static_cast<HANDLE>(info.hFile));
    info.hFile = nullptr;
}

uint32_t MpegFileSize(const MpegInfo& info) {
    LARGE_INTEGER size;
    if (!info.hFile || !GetFileSizeEx(static_cast<HANDLE>(info.hFile), &size)) return 0;
    // Offsets are 32-bit: a larger file is scanned and played up to 4 GB.
    return size.QuadPart > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<uint32_t>(size.QuadPart);
}
