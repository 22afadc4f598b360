// Recording a network stream into files ("Netstream download"): the raw bytes the download
// callback receives are gathered in a 100000-byte buffer and appended to a file named after the
// station and the current title, so that a change of title starts a new file. For MPEG streams
// the bytes from the last frame start in the buffer are held back and written first at the next
// flush, so that a new title's file begins with a whole frame. Portable: the file writes go
// through RecordSink (the glue appends with Win32 calls, the tests keep the bytes in memory).
//
// Threads: the library's network thread feeds the recorder; starting and finishing happen on
// the main thread while the stream is stopped or between two callbacks (the caller's lock).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kRecordBufferBytes = 100000;
constexpr size_t kHoldBackSearch = 1792;  // bytes searched backwards for the last frame start

// The recording file's extension for a BASS channel type: ".wma", ".ogg", ".aac" or ".mp3".
const wchar_t* RecordingExtension(uint32_t ctype);
// The file path: folder (ending in "\"), "[" + station (at most 20 characters) + "] " when a
// station name is known, then the title, then the extension. In the name part each ? < > | ; :
// * / \ " and control character becomes a blank.
std::wstring RecordingFileName(std::wstring_view folder, std::wstring_view station,
                               std::wstring_view title, uint32_t ctype);
// Where the last MPEG frame starts in buf[0..n): a 0xFF byte followed by a byte with its three
// top bits set, searched backwards from two bytes before the end over at most 1792 bytes.
// n when there is none (nothing is held back).
size_t LastFrameStart(const uint8_t* buf, size_t n);

struct RecordSink {
    void* ctx = nullptr;
    // Appends to the file (created when absent); false when it cannot be opened or written.
    // *fileSize receives the file's size after the write.
    bool (*append)(void* ctx, const std::wstring& path, const uint8_t* data, size_t n,
                   uint64_t* fileSize) = nullptr;
};

// What the window shows after a write.
struct RecordWrite {
    bool ok = false;
    std::wstring path;
    uint64_t fileSize = 0;
};

struct Recorder {
    bool on = false;
    bool noSeparation = false;  // "No track separation": one file named by the start time
    std::wstring folder;        // ends in "\"
    std::wstring startText;     // "%.4d-%.2d-%.2d %.2d:%.2d" of the start
    uint32_t ctype = 0;         // the stream's BASS channel type
    std::vector<uint8_t> buf;   // the gathered bytes (held-back bytes first)
    RecordWrite last;           // the last write, for the window's texts
};

// Switches recording on with an empty buffer.
void RecordStart(Recorder& r, std::wstring_view folder, std::wstring_view startText,
                 uint32_t ctype, bool noSeparation);
// One block of raw stream data. A block that does not fit flushes the buffer first (named by
// the station and title as they are now). Returns false when a write failed: recording is then
// off. Nothing is done while recording is off.
bool RecordFeed(Recorder& r, const uint8_t* data, size_t n, std::wstring_view station,
                std::wstring_view title, const RecordSink& sink);
// Writes what is gathered (held-back bytes included) and switches recording off.
bool RecordFinish(Recorder& r, std::wstring_view station, std::wstring_view title,
                  const RecordSink& sink);
// Seconds of audio in `fileSize` bytes at `bps` bit/s (0 when the rate is unknown).
double RecordedSeconds(uint64_t fileSize, double bps);
