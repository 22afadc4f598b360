// The measured facts of one MPEG audio file and the frame header record they are built from.
// Types only: the scanner (audio/mpeg_scan.h) fills the measurements, the tag readers
// (tags/id3.h) the tag record the file's record derives from.
#pragma once
#include <cstdint>

#include "base/byte_reader.h"
#include "tags/id3_tags.h"

// One frame header, filled from its four bytes; all zero when the bytes are no valid header.
struct FrameHeader {
    uint16_t frameLen{};     // bytes, including the padding byte
    uint16_t bitrateKbps{};  // kbit/s from the standard table
    uint32_t sampleRate{};   // Hz
    uint8_t rawHeader[4]{};  // the header bytes as found in the file
    uint8_t channelMode{};   // 1 stereo, 2 joint stereo, 3 dual channel, 4 mono
    uint8_t paddingBit{};
    uint8_t versionCode{};  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5; 0: no valid header
    uint8_t layer{};        // 2 or 3
    uint8_t headerByte1{};  // second header byte: version, layer and protection bits
    uint32_t hasCrc{};      // a CRC follows the header
    uint32_t copyright{};
    uint32_t original{};
};

// One scanned file: its tags (the Id3Tags part, filled by the tag readers) and what the scan
// measured. The playing track's record is a single global instance, scanned and advanced on the
// main thread only; the info scan and the dialogs keep records of their own.
struct MpegInfo : Id3Tags {
    const wchar_t* fileName{};  // path of the file (not owned)
    void* hFile{};              // the open file (a Win32 HANDLE in the program; not owned here)
    uint32_t dwPointer{};       // current byte position; the decoder feed reads and advances it
    uint32_t dwAudioBeg{};      // first audio frame (after the ID3v2 tag and a Xing/Info frame)
    uint32_t dwAudioEnd{};      // end of the audio data: the file size when opened
    uint32_t lengthMs{};        // play length, filled by the engine
    FrameHeader header;
    uint8_t vbrKind{};         // 0 constant; 1 variable, found by walking; 2 variable, from Xing
    float avgBitrate{};        // bit/s
    float avgFrameLen{};       // bytes
    uint16_t encoderDelay{};   // samples, from the LAME tag; 0 if none
    uint16_t encoderPadded{};  // samples, from the LAME tag; 0 if none
    char encoderId[10]{};      // up to 9 characters from the LAME tag position, NUL-terminated
    uint32_t id3v2Size{};      // the leading ID3v2 tag with its 10-byte header; 0 if none
    uint8_t channels{};        // a BASS channel's own channel count; 0 for MPEG files
};
