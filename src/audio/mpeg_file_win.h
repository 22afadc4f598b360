// Opening an MPEG file for the scanner and the decoder feed (Win32 glue).
#pragma once
#include "audio/mpeg_info.h"

// Opens path for reading, shared for reading and writing so that a file still being written
// or tagged stays usable; sets fileName, hFile and dwAudioEnd (the file size) and returns the
// reader over the handle. False when the file cannot be opened.
[[nodiscard]] bool MpegOpenFile(MpegInfo& info, const wchar_t* path, ByteReader& reader);

// Closes the handle that MpegOpenFile opened and clears hFile.
void MpegCloseFile(MpegInfo& info);

// The size of the open file, read again (for files that grow while they play).
uint32_t MpegFileSize(const MpegInfo& info);
