// The ID3v1 tag editor's rules: the dialog's fields from the last 128 bytes of a file, the 128
// bytes built from the fields, the genre number of a genre name, and replacing or removing the
// tag at the end of a file without touching a byte of the audio before it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The editor's fields as 8-bit text in the system's ANSI code page (the dialog converts).
struct Id3v1Fields {
    std::string title, artist, album, year, comment;
    int track = 0;          // 0: none; 1..255
    std::string genre;      // genre name; empty: none
};

// The fields as stored in a tag: each text up to its first NUL (at most its field's width),
// the year as its four bytes, the ID3v1.1 track number (byte 126 when byte 125 is 0 and byte
// 126 is not), no genre. False (and empty fields) when raw does not begin "TAG". The one
// reading of the layout: the tag reader and the editor both start from it.
bool Id3v1ReadStored(const uint8_t raw[128], Id3v1Fields& out);

// The dialog's fields from id3v1Raw; false (and empty fields) when it does not begin "TAG".
// Texts end at their first NUL and at 30 characters; the year only when it reads as a number
// above 0; the track only when byte 125 is 0 and byte 126 is not.
bool Id3v1ToFields(const uint8_t raw[128], Id3v1Fields& out);

// Builds the 128-byte tag. The comment keeps 28 characters when a track number is given, else
// 30. Returns false when nothing at all is entered (no text, no track, no genre).
bool Id3v1Build(const Id3v1Fields& in, uint8_t out[128]);

// The number of a genre name in the ID3v1 genre list (exact, case as listed); 255 for an empty
// or unknown name.
int Id3GenreNumber(std::string_view name);

// A file seen as bytes: what replacing or removing the tag needs. Each call returns false on
// failure.
struct Id3v1File {
    void* ctx = nullptr;
    bool (*size)(void* ctx, uint64_t& size) = nullptr;
    bool (*readAt)(void* ctx, uint64_t pos, uint8_t* buf, uint32_t len) = nullptr;
    bool (*writeAt)(void* ctx, uint64_t pos, const uint8_t* buf, uint32_t len) = nullptr;
    bool (*truncate)(void* ctx, uint64_t size) = nullptr;
};

// Writes tag (128 bytes) at the end of the file: over an existing tag in place, or appended
// when the file ends without one. With tag null an existing tag is cut off. Only the last 128
// bytes change; an append that fails is cut back, so a failure leaves the file's length and
// audio as they were. True when the file now ends as asked.
bool Id3v1Apply(const Id3v1File& file, const uint8_t* tag);
