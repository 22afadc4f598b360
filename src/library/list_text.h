// The texts of list cells and the small tests that every Part uses on names and addresses:
// playable extensions, URLs, sizes, dates, month icons and track times.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/timefmt.h"
#include "config/settings.h"

// Language entries shown by the lists and the tree.
namespace LibText {
enum : int {
    Length = 116,
    Filename = 117,
    Size = 118,
    Type = 119,
    Modified = 120,
    Created = 121,
    Month = 122,
    MonthGroup = 123,
    Path = 124,
    ListOrder = 125,
    TrackName = 126,
    PlaylistPrefix = 127,  // " [ PLAYLIST ]    "
    Start = 128,
    InfoBitrate = 165,  // first of the seven info-column titles 165..171
    TrackNumber = 167,
};
}

// The extensions the MPEG decoders play, and the start of playableExtensions.
constexpr std::string_view kMpegExtensions = "mp3;mp2;mpa;";

// Appends each extension of list ("ogg;flac;") to playable unless it is there already.
void AddPlayableExtensions(std::string& playable, std::string_view list);
// 1 MPEG audio, 2 another playable extension (from playable), 0 not playable. ext may carry
// its leading dot; a text longer than 9 characters is never playable.
int PlayableKind(std::wstring_view ext, std::string_view playable);
// PlayableKind of the extension after the last dot of the path's file name (after its last
// "\\" or "/"); 0 when the name has no dot.
int PathPlayableKind(std::wstring_view path, std::string_view playable);

// "http:", "https:" and "mms:" at the start, exact case (the lists' own test; base's IsUrl
// ignores case).
bool IsUrlExact(std::wstring_view text);

// "1 234 KB" with list_style SizeInKb, else "1.21 MB"; only the low 32 bits of size count.
std::wstring SizeText(uint64_t size, const Settings& s);
// "2026-03-05 14:07" of the creation time (stylez CreatedDate) or the last-write time.
std::wstring DateText(const LocalTime& created, const LocalTime& written, const Settings& s);
// The month icon (0..11) of a date cell, -1 for none.
int MonthIcon(std::wstring_view dateCell);
// 4'07, 1:30'00 (apostrophe) or 4:07, 1:30:00 (stylez ColonMinutes); 0xFFFF0000 and up is 0.
std::wstring FormatTrackTime(uint32_t ms, const Settings& s);
