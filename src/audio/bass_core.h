// The rules of the BASS decoder that do not need the library itself: the extension lists that
// decide which files go to BASS, the tag texts the library hands back (Ogg/MP4/APE comments,
// ICY and HTTP headers, WMA header tags, the ICY metadata block), the station's now-playing
// text, the bit-rate estimate of a station that names none, and the down-mix of multichannel
// blocks. Portable; the glue (bass_win.cpp) calls the library and feeds these.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"

// BASS_ChannelGetTags types the player reads.
namespace BassTag {
enum : uint32_t { Id3 = 0, Id3v2 = 1, Ogg = 2, Http = 3, Icy = 4, Meta = 5, Ape = 6, Mp4 = 7,
                  Wma = 8 };
}
// BASS channel types that name a recording's extension.
namespace BassCtype {
enum : uint32_t { Ogg = 0x10002, Mp3 = 0x10005, Wma = 0x10300, Aac = 0x10b00, Mp4 = 0x10b01 };
}

// The BASS list (the extensions play start sends to BASS) and the texts added to the
// player's playable extensions, as the library's own formats give them: "mp3;" only when BASS
// is to play MP3 files too, then "mp2;"; "mp1;", the AAC/MP4 family only on Windows versions
// above 5, and the common formats, which are also playable.
struct BassExtensionLists {
    std::string bass;      // what goes to BASS
    std::string playable;  // what the lists add to their playable extensions
};
BassExtensionLists BassBaseExtensions(bool useForMp3, unsigned windowsMajor);

// An add-on's format extension text ("*.flac;*.fla") taken apart: of each pattern, the text
// after its last "." (at most 5 characters kept), lower case, each once and followed by ";".
std::string PluginFormatExtensions(std::string_view patterns);
// Whether a format's extension text names MIDI (it then needs a sound font).
bool IsMidiFormat(std::string_view patterns);
// Appends each entry of `exts` ("flac;fla;") to `list` unless the list holds it already.
void AppendMissingExtensions(std::string& list, std::string_view exts);

// The texts of a BASS tag list: zero-terminated texts one after the other, ended by an empty
// text; `size` bounds the walk (a list without its ending stops at the bound).
std::vector<std::string_view> BassTagTexts(const char* data, size_t size);

// The tag texts a BASS comment list fills (key=value, key matched on its first four characters
// case-insensitively: "titl", "arti", "albu", "trac", "date"), values read as UTF-8. A slot
// already filled is kept; the first matching text fills an empty slot.
struct BassTagFill {
    std::wstring title, artist, album, track, year;
};
void FillFromBassComments(const std::vector<std::string_view>& texts, BassTagFill& out);

// What the connect sequence learns of a station from its headers.
struct StationInfo {
    std::wstring name;    // station name
    std::wstring url;     // station web address
    uint32_t kbps = 0;    // station bit rate, 0 = unknown
};
// WMA header tags: "CurrentBitrate=" (bit/s), "title=" (name), "copyright=" (address), UTF-8;
// one blank after "=" is skipped. Each fills its field only while that field is empty.
void PickWmaTags(const std::vector<std::string_view>& texts, StationInfo& info);
// ICY or HTTP header lines: "icy-name:", "icy-url:" (ANSI, one blank after ":" skipped) and
// "icy-br:" (kbit/s), field names in any case; each fills its field only while it is empty.
void PickIcyHeaders(const std::vector<std::string_view>& texts, const CodePage& cp,
                    StationInfo& info);

// The now-playing text at connect: without a station name the now-playing text becomes the
// name; otherwise the now-playing text becomes the name (at most 336 characters) and, when an
// address is known, " - " and the address (at most 96 characters).
void ConnectNowPlaying(StationInfo& info, std::wstring& nowPlaying);

// The ICY metadata block ("StreamTitle='...';..."): the title after the 13-character prefix, up
// to "';" (or the end), at most 190 bytes, read as UTF-8, control characters as blanks. False
// when the block does not begin with the prefix.
bool IcyStreamTitle(std::string_view meta, std::wstring& title);

// One step of the bit-rate estimate of a station without a stated rate: between 4001 and
// 59999 ms of play, bytes x 8 / whole seconds played. Before 8 s it replaces `shownBps`,
// afterwards only when lower. Returns whether `shownBps` changed.
bool StationBitrateStep(uint64_t downloadedBytes, uint32_t playedMs, float& shownBps);

// Keeps the first two channels of each frame of `channels` interleaved samples of
// `sampleBytes` each, in place; returns the new byte count (a partial frame is dropped).
uint32_t KeepFirstTwoChannels(uint8_t* buf, uint32_t bytes, uint32_t channels,
                              uint32_t sampleBytes);

// The channels a BASS channel of `channels` reaches the output with: more than two only with
// the 5.1 option (`wave_flags` 0x02), else the first two.
uint32_t OutputChannels(uint32_t channels, uint32_t waveFlags);

// The proxy server BASS's network streams go through: the `inet` text ("server:port") when
// `wave_flags` 0x20 ("Use Proxy") is set and the text is not empty, else null (direct).
const char* BassProxy(uint32_t waveFlags, const std::string& inet);

// Floats in -1..1 to 16-bit samples, rounded, what lies beyond clipped.
void FloatToPcm16(const float* src, uint32_t n, int16_t* dst);

// "%d.%d.%d.%d" of the four bytes of a BASS version word, high to low.
std::string BassVersionText(uint32_t version);
// The version check: 2.4 in the high 16 bits.
constexpr bool BassVersionAccepted(uint32_t version) { return (version >> 16) == 0x0204; }

// Length of an opened channel in whole ms from its seconds; a network stream without a length
// or of 4 hours and more is a live stream, stored as 1 ms.
uint32_t BassLengthMs(double seconds, bool network);
// A module with fewer than 5 channels is amplified to this (attribute 0x101).
constexpr int kSmallModuleAmplify = 20;
constexpr uint32_t kSmallModuleChannels = 5;
