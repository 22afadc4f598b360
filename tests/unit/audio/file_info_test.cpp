#include <gtest/gtest.h>

#include "audio/file_info.h"
#include "audio/mpeg_scan.h"
#include "mpeg_test_streams.h"

namespace {

const wchar_t* EnglishLabels(int index) {
    return index == kLangFileInfoLabels
               ? L"Length:#File size:#Audio start:#Audio end:#MPEG audio:#Samplerate:#"
                 L"Channel mode:#CBR bitrate:#Average bitrate:#Features:#Encoder ID:#Tags:"
               : L"";
}

// The value column; the label column must be the language entry split at its "#".
std::vector<std::wstring> Values(const MpegInfo& info, FileInfoSource src) {
    std::vector<std::wstring> out;
    const auto lines = MpegFileInfoLines(info, src, EnglishLabels);
    EXPECT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines.front().label, L"Length:");
    EXPECT_EQ(lines.back().label, L"Tags:");
    for (const FileInfoLine& l : lines) out.push_back(l.value);
    return out;
}

MpegInfo Record(HeaderBytes h, uint32_t beg, uint32_t end, float avgBitrate) {
    MpegInfo info;
    info.header = Parsed(h);
    info.dwAudioBeg = beg;
    info.dwAudioEnd = end;
    info.avgBitrate = avgBitrate;
    return info;
}

TEST(FileInfo, ValueLinesOfAConstantRateFileWithBothTags) {
    // 3,723 s at 128 kbit/s = 59,568,000 bytes after a 4,106-byte tag, plus an ID3v1 tag.
    MpegInfo info = Record(kMpeg1L3_128, 4106, 4106 + 59568000 + 128, 128000);
    info.id3v2Size = 4106;
    std::memcpy(info.id3v1Raw, "TAG", 3);
    std::memcpy(info.encoderId, "LAME3.100", 9);
    const auto v = Values(info, FileInfoSource{true, info.dwAudioEnd, L'\''});
    const std::vector<std::wstring> expected = {
        L"1:02'03",   L"59 572 234 B",          L"4 106 B",  L"59 572 106 B", L"1.0 Layer 3",
        L"44.1 kHz",  L"Joint Stereo",          L"128 kbps", L"128.00 kbps",  L"",
        L"LAME3.100", L"ID3v1, ID3v2 (4 106 B)"};
    EXPECT_EQ(v, expected);
}

TEST(FileInfo, VariableRateFeaturesAndShortLengths) {
    MpegInfo info = Record(HeaderBytes{0xF2, 0x80, 0x0C}, 0, 80000, 64000);  // CRC, (c), orig.
    info.vbrKind = 2;
    auto v = Values(info, FileInfoSource{true, 80000, L':'});
    EXPECT_EQ(v[0], L"0:10");
    EXPECT_EQ(v[4], L"2.0 Layer 3");
    EXPECT_EQ(v[5], L"22.1 kHz");
    EXPECT_EQ(v[6], L"Stereo");
    EXPECT_EQ(v[7], L"-") << "no constant bit rate to show";
    EXPECT_EQ(v[8], L"64.00 kbps");
    EXPECT_EQ(v[9], L"CRC, (c), Orig., VBR/Xing");
    EXPECT_EQ(v[11], L"");

    // Not MPEG audio (another decoder gave the length): only the MPEG lines show "-".
    info.lengthMs = 61000;
    v = Values(info, FileInfoSource{false, 5000, L':'});
    EXPECT_EQ(v[0], L"1:01");
    EXPECT_EQ(v[1], L"5 000 B");
    for (int i = 2; i <= 10; ++i) EXPECT_EQ(v[i], L"-") << i;
}

}  // namespace
