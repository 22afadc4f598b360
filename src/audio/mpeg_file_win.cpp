#include "audio/mpeg_file_win.h"

#include <windows.h>

#include "audio/bass_win.h"
#include "audio/mpeg_scan.h"
#include "tags/id3.h"

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

bool MpegScanFileWin(const wchar_t* path, bool tags, MpegFileFacts& out) {
    MpegInfo m;
    ByteReader in{};
    if (!MpegOpenFile(m, path, in)) return false;
    const uint32_t fileSize = m.dwAudioEnd;
    const bool ok = MpegScan(m, in) != 0;
    if (ok) {
        out.fileSize = fileSize;
        out.audioBeg = m.dwAudioBeg;
        out.sampleRate = m.header.sampleRate;
        out.avgBitrate = m.avgBitrate;
        out.channelMode = m.header.channelMode;
        if (tags) {
            if (m.dwAudioBeg != 0)
                Id3v2Read(m, in, m.dwAudioBeg, fileSize, Id3Options{false, nullptr});
            out.id3v2 = m.id3v2Size != 0;
            out.id3v1 = Id3v1Read(m, in, fileSize, nullptr) == 1;
            const auto text = [&](int slot) {
                return m.tagText[slot] ? std::wstring(m.tagText[slot]) : std::wstring();
            };
            out.artist = text(kTagArtist);
            out.title = text(kTagTitle);
            out.track = text(kTagTrack);
            out.year = text(kTagYear);
            out.album = text(kTagAlbum);
        }
    }
    Id3FreeTags(m, nullptr);
    MpegCloseFile(m);
    return ok;
}

bool FileInfoLinesWin(const wchar_t* path, wchar_t minuteMark, LangTextFn langText,
                      std::vector<FileInfoLine>& out, bool& isMpeg) {
    MpegInfo m;
    ByteReader in{};
    if (!MpegOpenFile(m, path, in)) return false;
    const uint32_t fileSize = m.dwAudioEnd;
    isMpeg = MpegScan(m, in) != 0;
    bool known = isMpeg;
    if (isMpeg) {
        if (m.dwAudioBeg != 0) Id3v2Read(m, in, m.dwAudioBeg, fileSize, Id3Options{false, nullptr});
        (void)Id3v1Read(m, in, fileSize, nullptr);
    } else {
        BassScanFacts facts;
        known = BassScanInfoWin(path, facts);
        m.lengthMs = facts.lengthMs;
    }
    if (known) out = MpegFileInfoLines(m, FileInfoSource{isMpeg, fileSize, minuteMark}, langText);
    Id3FreeTags(m, nullptr);
    MpegCloseFile(m);
    return known;
}
