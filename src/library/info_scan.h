// The info scan: a background walk over a list's track rows that replaces each size cell by the
// track's play length and fills the info column with bit rate, format, tag or length texts.
// Portable: the rules and the walk. The glue (info_scan_win.cpp) runs the walk on a thread of
// its own and carries every row change to the window thread by a synchronous message, so that
// only the window thread writes rows.
#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "config/settings.h"

// info_row: bits 10-14 the info column's kind.
namespace InfoKind {
enum : uint32_t { Mask = 0x7C00, Bitrate = 0x400, ArtistTitle = 0x800, TrackNumber = 0xC00,
                  Length = 0x1000, Format = 0x1400, TagTypes = 0x1800, YearAlbum = 0x1C00,
                  Notes = 0x2000 };
}

// What the scan learned of one file (from the MPEG scan, BASS or a plug-in).
struct InfoFacts {
    uint32_t lengthMs = 0;
    float bitrateBps = 0;
    uint32_t sampleRate = 0;
    uint8_t channelMode = 0;  // MPEG: 1 stereo, 2 joint, 3 dual, 4 mono; BASS: 1 or 4
    bool fromBass = false;    // the mode text is BASS's ("S" or "M ")
    bool id3v1 = false, id3v2 = false;
    std::wstring artist, title, track, year, album;
};

// Length in ms of an MPEG file from its audio bytes and average bit rate (bit/s); 0 without a
// rate.
uint32_t ScanLengthMs(uint64_t fileSize, uint32_t audioBeg, double bitrateBps);
// Whether the kind reads the tags (artist/title, track, tag types, year/album).
bool InfoKindNeedsTags(uint32_t infoRow);
// The info column's text for the row's kind, or nothing (no column, notes, or no text).
std::optional<std::wstring> InfoCellText(uint32_t infoRow, const InfoFacts& f, const Settings& s);
// A size cell holding the time separator (":" with stylez ColonMinutes, else "'") was scanned.
bool SizeCellScanned(std::wstring_view cell, const Settings& s);

// What the walk asks of its glue. Each member is called on the scan thread; setRow and finish
// must carry their work to the window thread and return when it is done.
struct InfoScanOps {
    void* ctx = nullptr;
    std::wstring (*sizeCell)(void* ctx, int row) = nullptr;
    // The row's file; false for navigation rows, list files and URLs.
    bool (*rowPath)(void* ctx, int row, std::wstring& path) = nullptr;
    // 1 MPEG audio, 2 another playable type (PlayableKind).
    int (*kind)(void* ctx, const std::wstring& path) = nullptr;
    bool (*scanMpeg)(void* ctx, const std::wstring& path, bool tags, InfoFacts& f) = nullptr;
    int (*pluginLengthMs)(void* ctx, const std::wstring& path) = nullptr;  // <= 0 unknown
    bool (*bassScan)(void* ctx, const std::wstring& path, InfoFacts& f) = nullptr;  // may be null
    // Null texts leave their cell as it is.
    void (*setRow)(void* ctx, int row, const std::wstring* sizeText,
                   const std::wstring* infoText) = nullptr;
    // After the last row: lengthHeader says column 1 now holds lengths; resort says sort again.
    void (*finish)(void* ctx, bool lengthHeader, bool resort) = nullptr;
};

// Walks rows [0, rows), checking `stop` before each row. Returns the rows it changed; when
// stopped, finish is not called.
int RunInfoScan(const InfoScanOps& ops, int rows, const Settings& s, bool resortAfterScan,
                uint8_t sortByte, const std::atomic<bool>& stop);
