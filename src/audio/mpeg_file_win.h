// Opening an MPEG file for the scanner and the decoder feed (Win32 glue).
#pragma once
#include <string>

#include <vector>

#include "audio/file_info.h"
#include "audio/mpeg_info.h"

// Opens path for reading, shared for reading and writing so that a file still being written
// or tagged stays usable; sets fileName, hFile and dwAudioEnd (the file size) and returns the
// reader over the handle. False when the file cannot be opened.
[[nodiscard]] bool MpegOpenFile(MpegInfo& info, const wchar_t* path, ByteReader& reader);

// Closes the handle that MpegOpenFile opened and clears hFile.
void MpegCloseFile(MpegInfo& info);

// The size of the open file, read again (for files that grow while they play).
uint32_t MpegFileSize(const MpegInfo& info);

// What the info scan learns of one MPEG file (any thread: the file is opened, scanned and
// closed here, and the record is a private one).
struct MpegFileFacts {
    uint32_t fileSize = 0, audioBeg = 0, sampleRate = 0;
    float avgBitrate = 0;     // bit/s
    uint8_t channelMode = 0;  // 1 stereo, 2 joint, 3 dual, 4 mono
    bool id3v1 = false, id3v2 = false;
    std::wstring artist, title, track, year, album;
};
// Scans path; with tags, the ID3v2 tag (when the audio does not start at 0) and the ID3v1 tag
// are read too. False when the file cannot be opened or holds no MPEG audio.
bool MpegScanFileWin(const wchar_t* path, bool tags, MpegFileFacts& out);

// The "File info" lines of path (MpegFileInfoLines): the MPEG scan into a record of its own with
// both tags read; a file that holds no MPEG audio gets the length BASS reports and "-" on the
// MPEG-only lines. False when neither can read the file. isMpeg tells which it was.
bool FileInfoLinesWin(const wchar_t* path, wchar_t minuteMark, LangTextFn langText,
                      std::vector<FileInfoLine>& out, bool& isMpeg);
