// scan FILE...: scans each file as the track opener does (MPEG scan, then the ID3v2 and ID3v1
// tags) and prints one line per file: the path, a TAB, the measurements as key=value pairs, a
// TAB and the tag texts (UTF-8). Scripts and tests read this layout; keep keys and order.
// With --picture-out PATH first, the attached picture of a file that has one is written to PATH.
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/mpeg_scan.h"
#include "base/byte_reader.h"
#include "base/utf.h"
#include "probe/probe.h"
#include "tags/id3.h"

namespace {

// Tag text for a one-line record: control characters (TAB, line breaks) become blanks.
std::string TagField(const wchar_t* text) {
    if (!text) return {};
    std::string out = WideToUtf8(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return out;
}

std::string EncoderIdField(const char (&id)[10]) {
    std::string raw(id, std::char_traits<char>::length(id));
    std::string out = WideToUtf8(Cp1252ToWide(raw));
    for (char& c : out)
        if (c == ' ') c = '_';
    return out;
}

void PrintRecord(const char* path, int ok, const MpegInfo& m) {
    const FrameHeader& h = m.header;
    std::printf(
        "%s\tok=%d dwAudioBeg=%u dwAudioEnd=%u versionCode=%u layer=%u sampleRate=%u "
        "channelMode=%u bitrateKbps=%u vbrKind=%u avgBitrate=%.2f avgFrameLen=%.2f "
        "encoderDelay=%u encoderPadded=%u encoderId=%s id3v2Size=%u lengthMs=%u",
        path, ok, m.dwAudioBeg, m.dwAudioEnd, unsigned{h.versionCode}, unsigned{h.layer},
        h.sampleRate, unsigned{h.channelMode}, unsigned{h.bitrateKbps}, unsigned{m.vbrKind},
        double{m.avgBitrate}, double{m.avgFrameLen}, unsigned{m.encoderDelay},
        unsigned{m.encoderPadded}, EncoderIdField(m.encoderId).c_str(), m.id3v2Size, m.lengthMs);
    std::printf("\tartist=%s album=%s title=%s track=%s year=%s comment=%s\n",
                TagField(m.tagText[kTagArtist]).c_str(), TagField(m.tagText[kTagAlbum]).c_str(),
                TagField(m.tagText[kTagTitle]).c_str(), TagField(m.tagText[kTagTrack]).c_str(),
                TagField(m.tagText[kTagYear]).c_str(), TagField(m.tagText[kTagComment]).c_str());
}

bool WritePicture(const char* path, const MpegInfo& info) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    const bool ok = std::fwrite(info.pictureData, 1, info.pictureSize, out) == info.pictureSize;
    return std::fclose(out) == 0 && ok;
}

// False when the file cannot be opened or sized, or its picture not written.
bool ScanOne(const char* path, const char* pictureOut) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    const int64_t size = StdioFileSize(f);
    if (size < 0) {
        std::fclose(f);
        return false;
    }
    const std::wstring name = Utf8ToWide(path);
    MpegInfo info;
    info.fileName = name.c_str();
    info.hFile = f;
    info.dwAudioEnd = size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<uint32_t>(size);
    const ByteReader in = StdioReader(f);

    const int ok = MpegScan(info, in);
    if (ok) {
        if (info.dwAudioBeg > 0)
            Id3v2Read(info, in, info.dwAudioBeg, info.dwAudioEnd, Id3Options{});
        Id3v1Read(info, in, info.dwAudioEnd, nullptr);
        info.lengthMs = MpegLengthMs(info, info.dwAudioEnd - info.dwAudioBeg);
    }
    PrintRecord(path, ok, info);
    const bool written = !pictureOut || !info.pictureData || WritePicture(pictureOut, info);
    Id3FreeTags(info, nullptr);
    std::fclose(f);
    return written;
}

}  // namespace

int ProbeScan(int argc, char** argv) {
    int first = 1;
    const char* pictureOut = nullptr;
    if (argc >= 3 && std::strcmp(argv[1], "--picture-out") == 0) {
        pictureOut = argv[2];
        first = 3;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: zuvo-probe scan [--picture-out PATH] FILE...\n");
        return 2;
    }
    int rc = 0;
    for (int i = first; i < argc; ++i) {
        if (!ScanOne(argv[i], pictureOut)) {
            std::fprintf(stderr, "zuvo-probe: cannot read %s\n", argv[i]);
            rc = 1;
        }
    }
    return rc;
}
