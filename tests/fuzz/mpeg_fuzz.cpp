// Scans arbitrary bytes as an MPEG file, reads its tags and builds the file info lines, as the
// track opener and the "File info" dialog do. Besides not crashing, a successful scan must
// leave a record the engine can play from.
#include <cstdlib>

#include "audio/file_info.h"
#include "audio/mpeg_scan.h"
#include "base/byte_reader.h"
#include "tags/id3.h"

namespace {
const wchar_t* Labels(int) {
    return L"a#b#c";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MemorySource src{data, size};
    const ByteReader in = MemoryReader(src);
    MpegInfo info;
    info.fileName = L"C:\\fuzz\\input.mp3";
    info.dwAudioEnd = static_cast<uint32_t>(size);
    const int ok = MpegScan(info, in);
    if (ok) {
        if (info.dwPointer != info.dwAudioBeg || info.dwAudioBeg > info.dwAudioEnd ||
            info.header.versionCode == 0 || info.vbrKind > 2 || !(info.avgBitrate > 0))
            std::abort();
        if (info.dwAudioBeg > 0)
            Id3v2Read(info, in, info.dwAudioBeg, info.dwAudioEnd, Id3Options{});
        Id3v1Read(info, in, info.dwAudioEnd, nullptr);
        info.lengthMs = MpegLengthMs(info, info.dwAudioEnd - info.dwAudioBeg);
    }
    if (MpegFileInfoLines(info, FileInfoSource{ok == 1, info.dwAudioEnd, L':'}, Labels).size() !=
        12)
        std::abort();
    if (Id3DisplayTitle(info, info.fileName).size() > 120) std::abort();
    Id3FreeTags(info, nullptr);
    return 0;
}
