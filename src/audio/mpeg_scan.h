// Scanning of MPEG-1/2/2.5 Layer II and III files: header parse, frame sync, the Xing/Info
// header with its LAME extension, and the bounded frame walk that yields the average bit rate.
// Every function touches only the record it is given and buffers of its own, so scans of
// different records may run on different threads.
#pragma once
#include <cstdint>

#include "audio/mpeg_info.h"

// The longest frame accepted, and so the margin every search keeps before the end of its window.
constexpr int kMpegMaxFrameLen = 1792;
// Bytes read by one sync search: two of the longest frames.
constexpr int kMpegSyncWindow = 3584;

// Parses h.rawHeader. Fills h and returns true, or zeroes h and returns false for anything but a
// Layer II/III header with a table bit rate and sampling rate.
[[nodiscard]] bool MpegParseHeader(FrameHeader& h);

// Searches one window from max(pos, dwAudioBeg) for a frame whose successor's sync follows one
// frame length later (and which matches the stream of a valid info.header). Returns the offset
// of that frame with its header in info.header; dwAudioEnd when fewer than two frame lengths
// remain; -1 when the window holds none or cannot be read. A failed search leaves the last
// header examined in info.header.
int64_t MpegFindSync(MpegInfo& info, const ByteReader& in, uint32_t pos);

// Sets id3v2Size and dwAudioBeg from an ID3v2 header at the start of the file.
void MpegSkipId3v2(MpegInfo& info, const ByteReader& in);

// Reads a Xing/Info header and its LAME extension in the frame at dwAudioBeg; moves dwAudioBeg
// past that frame, and takes the average frame length from a trustworthy Xing header.
void MpegReadXing(MpegInfo& info, const ByteReader& in);

// Scans a file whose dwAudioEnd holds its size. Returns 1 with dwPointer = dwAudioBeg, or 0
// when no MPEG audio frame begins within 2,000,000 bytes of the ID3v2 tag's end (or of the
// file's start). Reads through a 16 KB buffer of its own: each byte is fetched about once, and
// a file of any size costs at most about 2 MB of reading before the frame walk.
[[nodiscard]] int MpegScan(MpegInfo& info, const ByteReader& in);

// MPEG positions are file bytes; times come from them at the record's average bit rate. These
// two conversions are the only ones the program uses.
// Milliseconds that `bytes` of audio play (0 without a bit rate; at most 0xFFFFFFFF).
uint32_t MpegLengthMs(const MpegInfo& info, uint32_t bytes);
// The bytes that `ms` of audio take (0 without a bit rate; at most 0xFFFFFFFF).
uint32_t MpegBytesOfMs(const MpegInfo& info, uint32_t ms);

// versionCode and layer as the one 16-bit value that two frames of a stream must share.
inline uint16_t MpegVersionLayer(const FrameHeader& h) {
    return static_cast<uint16_t>(h.versionCode << 8 | h.layer);
}
