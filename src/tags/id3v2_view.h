// The read-only view of an ID3v2 tag's text frames for the tag editor: the frames worth showing
// (comments, lyrics, texts, links) walked from the tag's bytes, and the view as rich text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes the view reads from the start of the file at most.
constexpr uint32_t kId3v2ViewReadMax = 200000;

struct Id3v2ViewFrame {
    std::string id;                  // 3 or 4 characters
    std::vector<std::string> lines;  // the first line and the indented lines after breaks
};

struct Id3v2View {
    int version = 0;           // major version (byte 3); 0: no tag
    uint32_t tagSize = 0;      // the tag's size with its header (the file record's id3v2Size)
    uint32_t pictureSize = 0;  // body size of the last picture frame seen; 0: none
    std::vector<Id3v2ViewFrame> frames;
};

// Walks the frames of the tag in data (the first min(tagSize, kId3v2ViewReadMax) bytes of the
// file, len of them present). tagSize 0 means the file has no tag. Never reads beyond len nor
// beyond tagSize.
Id3v2View Id3v2BuildView(const uint8_t* data, size_t len, uint32_t tagSize);

// The view as RTF: the heading ("No ID3v2 tag" or "ID3v2.<version> raw strings"), each frame's id in
// bold, a tab and its lines (breaks indented by a tab), and the closing line ("Tag size: %d KB"
// and, for a picture above 100 bytes, ", picture: %d KB"). File bytes are escaped, so braces
// and backslashes from a tag never become RTF control words; bytes above 127 are 8-bit text.
std::string Id3v2ViewRtf(const Id3v2View& view);

// The size of the ID3v2 tag whose header is head (the file's first 10 bytes): the 10-byte
// header, the syncsafe body size and a version 4 footer; 0 when head is no tag header.
uint32_t Id3v2TagSize(const uint8_t head[10]);
