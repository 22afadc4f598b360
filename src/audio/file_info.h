// The lines of the "File info" dialog for one scanned file: a label and a value each.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/mpeg_info.h"

// Language table entry holding the labels, joined by "#".
constexpr int kLangFileInfoLabels = 237;

// The language table lookup (LangText); returns null or "" for an empty entry.
using LangTextFn = const wchar_t* (*)(int index);

struct FileInfoLine {
    std::wstring label;
    std::wstring value;
};

struct FileInfoSource {
    bool isMpeg;         // the MPEG scan succeeded; otherwise the MPEG-only lines show "-"
    uint32_t fileSize;   // bytes
    wchar_t minuteMark;  // ':' or '\'' by the "Minute symbol" display option
};

// The twelve lines for info, whose tags have been read. For a file that is not MPEG audio the
// length is info.lengthMs (as the other decoder reported it).
std::vector<FileInfoLine> MpegFileInfoLines(const MpegInfo& info, const FileInfoSource& src,
                                            LangTextFn langText);

// n with its digits grouped by threes, separated by blanks: "1 234 567".
std::wstring GroupedDigits(uint64_t n);
