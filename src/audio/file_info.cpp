#include "audio/file_info.h"

#include <cstring>

#include "audio/mpeg_scan.h"
#include "base/text.h"
#include "base/utf.h"

namespace {

constexpr int kLineCount = 12;
constexpr const wchar_t* kNoValue = L"-";

std::wstring Wide(const std::string& ascii) {
    return Utf8ToWide(ascii);
}

std::wstring Bytes(uint64_t n) {
    return GroupedDigits(n) + L" B";
}

// "m:ss", or "h:mm:ss" from one hour on, with the chosen minute mark before the seconds.
std::wstring LengthText(uint32_t ms, wchar_t mark) {
    const uint32_t s = ms / 1000;
    const char m = static_cast<char>(mark);
    if (s >= 3600) return Wide(Format("%u:%.2u%c%.2u", s / 3600, s / 60 % 60, m, s % 60));
    return Wide(Format("%u%c%.2u", s / 60, m, s % 60));
}

const wchar_t* ChannelModeText(uint8_t mode) {
    static const wchar_t* const kModes[] = {L"Stereo", L"Joint Stereo", L"Dual Channel", L"Mono"};
    return mode >= 1 && mode <= 4 ? kModes[mode - 1] : kNoValue;
}

void Join(std::wstring& list, const wchar_t* item) {
    if (!list.empty()) list += L", ";
    list += item;
}

std::wstring FeaturesText(const MpegInfo& info) {
    std::wstring out;
    if (info.header.hasCrc) Join(out, L"CRC");
    if (info.header.copyright) Join(out, L"(c)");
    if (info.header.original) Join(out, L"Orig.");
    if (info.vbrKind == 2) Join(out, L"VBR/Xing");
    return out;
}

bool HasId3v1(const MpegInfo& info) {
    return std::memcmp(info.id3v1Raw, "TAG", 3) == 0;
}

std::wstring TagsText(const MpegInfo& info) {
    std::wstring out;
    if (HasId3v1(info)) Join(out, L"ID3v1");
    if (info.id3v2Size > 0)
        Join(out, (L"ID3v2 (" + GroupedDigits(info.id3v2Size) + L" B)").c_str());
    return out;
}

// The "#"-joined label entry split into its lines; missing labels stay empty.
std::vector<std::wstring> Labels(LangTextFn langText) {
    std::vector<std::wstring> labels(kLineCount);
    const wchar_t* entry = langText ? langText(kLangFileInfoLabels) : nullptr;
    size_t line = 0;
    for (const wchar_t* p = entry; p && *p && line < labels.size(); ++p) {
        if (*p == L'#')
            ++line;
        else
            labels[line] += *p;
    }
    return labels;
}

}  // namespace

std::wstring GroupedDigits(uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, L' ');
    return digits;
}

std::vector<FileInfoLine> MpegFileInfoLines(const MpegInfo& info, const FileInfoSource& src,
                                            LangTextFn langText) {
    const FrameHeader& h = info.header;
    std::vector<std::wstring> values(kLineCount, kNoValue);
    const uint32_t ms =
        src.isMpeg ? MpegLengthMs(info, info.dwAudioEnd - info.dwAudioBeg) : info.lengthMs;
    values[0] = LengthText(ms, src.minuteMark);
    values[1] = Bytes(src.fileSize);
    if (src.isMpeg) {
        // The audio ends before an ID3v1 tag at the end of the file.
        const bool tagAtEnd =
            HasId3v1(info) && info.dwAudioEnd == src.fileSize && info.dwAudioEnd >= 128;
        values[2] = Bytes(info.dwAudioBeg);
        values[3] = Bytes(info.dwAudioEnd - (tagAtEnd ? 128 : 0));
        const double version = h.versionCode == 3 ? 2.5 : h.versionCode;
        values[4] = Wide(Format("%2.1f Layer %d", version, h.layer));
        values[5] = Wide(Format("%2.1f kHz", h.sampleRate / 1000.0));
        values[6] = ChannelModeText(h.channelMode);
        if (info.vbrKind == 0) values[7] = Wide(Format("%d kbps", h.bitrateKbps));
        values[8] = Wide(Format("%5.2f kbps", info.avgBitrate / 1000.0));
        values[9] = FeaturesText(info);
        const void* nul = std::memchr(info.encoderId, 0, sizeof info.encoderId);
        const size_t idLen = nul ? static_cast<const char*>(nul) - info.encoderId : 9;
        values[10] = Cp1252ToWide(std::string_view(info.encoderId, idLen));
    }
    values[11] = TagsText(info);

    std::vector<std::wstring> labels = Labels(langText);
    std::vector<FileInfoLine> lines(kLineCount);
    for (int i = 0; i < kLineCount; ++i) lines[i] = FileInfoLine{labels[i], values[i]};
    return lines;
}
