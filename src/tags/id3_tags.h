// The tag record the ID3 readers fill: the texts, the first attached picture and the raw ID3v1
// bytes of one file. Types only; MpegInfo (audio/mpeg_info.h) is one of these plus the scan's
// measurements.
#pragma once
#include <cstdint>

// Slots of Id3Tags::tagText.
enum TagSlot : int {
    kTagArtist,
    kTagAlbum,
    kTagTitle,
    kTagTrack,
    kTagYear,
    kTagComment,
    kTagSlotCount
};

// Owns its texts and picture until Id3FreeTags. A record is filled and read by one thread.
struct Id3Tags {
    uint8_t id3v1Raw[128]{};  // the last 128 bytes of the file as the ID3v1 reader read them
    wchar_t* tagText[kTagSlotCount]{};  // owned, freed by Id3FreeTags; null if absent
    uint8_t* pictureData{};             // owned: the first attached picture's bytes
    uint32_t pictureSize{};
    uint32_t pictureFileWritten{};  // the picture was written to the temporary picture file
};
