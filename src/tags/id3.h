// Reading ID3 tags into an Id3Tags record: the texts of a leading ID3v2 tag, completed from an
// ID3v1 tag at the end of the file, and the first attached picture. The record owns what is
// read until Id3FreeTags. The readers know nothing of the audio: the caller says where the
// audio starts and how large the file is.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "tags/id3_tags.h"

// 8-bit text in the system's ANSI code page to wide text. Null means Windows-1252 (the glue
// passes the real converter).
using Id3AnsiDecoder = std::wstring (*)(std::string_view);

struct Id3Options {
    bool readPictures = true;  // false while "Ignore ID3v2 attached images" is set
    Id3AnsiDecoder ansi = nullptr;
};

// Name of the temporary picture file in the temporary folder.
inline constexpr char kId3TempPictureName[] = "id3v2pic.jpg";

// Longest text a tag field keeps, in characters.
constexpr size_t kId3MaxText = 499;

// Parses the frames of the ID3v2 tag at the start of data (the file's first bytes) into the
// empty slots of tags, and the first picture into pictureData. Nothing without a valid tag
// header; no frame beyond the tag's declared size.
void Id3v2Parse(Id3Tags& tags, const uint8_t* data, size_t len, const Id3Options& opt);

// Reads the ID3v2 tag at the start of the file through in and parses it: only a real tag (the
// "ID3" header, version 2 to 4, a syncsafe size) and only as much of it as its header declares,
// what lies before audioStart (the first audio frame) and the file's fileSize bytes allow. The
// caller calls it after a successful scan when the audio does not start at 0.
void Id3v2Read(Id3Tags& tags, const ByteReader& in, uint32_t audioStart, uint32_t fileSize,
               const Id3Options& opt);

// Fills the empty slots from tags.id3v1Raw; returns 1 when it holds an ID3v1 tag.
int Id3v1Parse(Id3Tags& tags, Id3AnsiDecoder ansi);

// Reads the last 128 bytes of a file of fileSize bytes into id3v1Raw and parses them.
int Id3v1Read(Id3Tags& tags, const ByteReader& in, uint32_t fileSize, Id3AnsiDecoder ansi);

// Frees the six texts and the picture and clears their pointers. When pictureFileWritten is
// set, deleteTempPicture (the glue's Id3DeleteTempPicture) removes the temporary picture file
// and the flag is cleared.
void Id3FreeTags(Id3Tags& tags, void (*deleteTempPicture)());

// The ID3v1 genre name of number (0..255), at most 30 characters; the digits themselves for a
// number the list does not hold.
std::wstring Id3GenreName(int number);

// "Artist - Title" for the window title and the lists, at most 120 characters; the name of
// fileName (a path, may be null) without folder and extension when the tags name neither.
std::wstring Id3DisplayTitle(const Id3Tags& tags, const wchar_t* fileName);
