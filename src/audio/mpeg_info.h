// The measured facts of one MPEG audio file and the frame header record they are built from.
// Types only: the scanner (audio/mpeg_scan.h) fills the measurements, the tag readers
// (tags/id3.h) the tag texts and the picture.
#pragma once
#include <cstdint>

// Reads n bytes at offset into dst; returns the number of bytes read (fewer at the end of the
// file) or -1 on error. The scanner and the tag readers reach a file only through this table:
// the glue reads an open file, tests and fuzzers read memory.
struct ByteReader {
    int (*readAt)(void* ctx, uint32_t offset, void* dst, int n);
    void* ctx;
};

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

// Slots of MpegInfo::tagText.
enum TagSlot : int {
    kTagArtist,
    kTagAlbum,
    kTagTitle,
    kTagTrack,
    kTagYear,
    kTagComment,
    kTagSlotCount
};

// One scanned file. The playing track's record is a single global instance, scanned and
// advanced on the main thread only; the info scan and the dialogs keep records of their own.
struct MpegInfo {
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
    uint8_t id3v1Raw[128]{};   // the last 128 bytes of the file as the ID3v1 reader read them
    wchar_t* tagText[kTagSlotCount]{};  // owned by the record, freed by Id3FreeTags; null if absent
    uint8_t* pictureData{};             // owned: the first attached picture's bytes
    uint32_t pictureSize{};
    uint32_t pictureFileWritten{};  // the picture was written to the temporary picture file
};
