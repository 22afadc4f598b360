// The Big view's rules, portable: big_title read by position, the info pattern and its cycling,
// the text of every item letter from the facts of the playing track, the text rebuild with the
// RSS titles mixed in, the idle rule and the font sizes of each layout. The glue
// (big_view_win.cpp) owns the window, the timers and the painting.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/lang.h"

// big_title, read by position ("00243,00716,01392,00293,ViVc-1i07,16766387,...,Arial").
struct BigTitle {
    int left = 0, top = 0, width = 0, height = 0;  // the floating window
    char meter = '-';        // 24: 'v' background, 'V' left, 'M' level + Enhancer 2, '-' none
    bool tagTitles = false;  // 25: 'i' the track name from the artist and title tags
    char meterColour = '-';  // 26
    char clock = '-';        // 27: 'c' clock, 'C' clock and battery, '-' none
    char layout = '1';       // 29: '1', '2', '3', '4', '5' or '-'
    char pattern = '-';      // 30: 'i' pattern on, 'I' pattern and RSS titles, '-' off
    int cycleSeconds = 0;    // 31-32; 0 = no cycling
    uint32_t titleColour = 0, infoColour = 0, background = 0;  // Windows colour references
    std::string font;                                          // from 61
    bool patternOn() const { return pattern == 'i' || pattern == 'I'; }
    bool rss() const { return pattern == 'I'; }
};
BigTitle ReadBigTitle(std::string_view s);
// Rewrites positions 0-23 with "%.5d,%.5d,%.5d,%.5d," (each value held to 0..99999), keeping the
// rest; a shorter string is padded with the default's fields.
void WriteBigTitleRect(std::string& s, int left, int top, int width, int height);

// big_embedded: the low 13 bits are the band's height; 0x8000, 0x4000 or 0x2000 embed the view.
inline bool BigIsEmbedded(uint16_t bigEmbedded) {
    return bigEmbedded >= 0x2000;
}
inline int BigEmbeddedHeight(uint16_t bigEmbedded) {
    return bigEmbedded & 0x1FFF;
}

// big_infoptrn split at ';' into the main pattern and the two info line patterns, with their
// indexes ("--abge--codr;fnnnmm;aattcc").
struct BigPatterns {
    std::string main, info1, info2;
    uint16_t mainIndex = 0, info1Index = 0, info2Index = 0;
};
BigPatterns SplitBigPatterns(std::string_view infoPattern);
// One cycle step: every index advances and wraps at the end of its pattern.
void BigCycleStep(BigPatterns& p);

// What bigItemText reads of the playing track and the player. Texts are as shown.
struct BigTrackFacts {
    std::wstring path;         // the file's full path (or a stream's address)
    bool stream = false;       // a network stream
    std::wstring streamTitle;  // a stream's now-playing text
    std::wstring stationName, stationUrl;
    bool cueEntry = false;  // a cue sheet's entry plays
    std::wstring cueTitle, cueAlbum;
    std::wstring artist, title, album, year, comment, trackNumber;  // tags; empty when missing
    std::wstring folderName, folderPath;                            // the current folder
    bool playlist = false;                                          // a play list plays
    std::wstring playlistFolder;  // its folder's name; empty for the program's own list
    uint32_t bitRate = 0;         // bits per second; 0 unknown
    bool mpegDecoder = false;     // decoded by ACM or mpglib
    bool vbr = false;
    int channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual, 3 mono
    enum class Decoder : uint8_t { Acm, Mpglib, Bass, Plugin } decoder = Decoder::Acm;
    std::wstring decoderName;  // a plug-in's name or the BASS version
    std::string encoderId;     // of an MPEG file; empty when unknown
    bool gapless = false, overlap = false;
    int fastPlayLevel = 0;
    bool playing = false;  // wave output is open
    bool directSound = false;
    uint32_t rateHz = 0;
    int channels = 0, bits = 0;
    bool mode24 = false;
    bool enhancer1 = false, equalizer = false, enhancer2 = false, mono = false;
    bool quitAfterTrack = false, quitAtListEnd = false;
    enum class Repeat : uint8_t { None, Track, List, StopAfterTrack } repeat = Repeat::None;
    bool autoSearchDirs = false;
    int trackPosition = 0, listSize = 0;  // from 1; 0 when not in a list
    std::wstring nextName, secondName;    // upcoming tracks' names; empty when none
};

// What the item texts need besides the facts.
struct BigItemEnv {
    const LangState* lang = nullptr;
    void* ctx = nullptr;
    int (*random)(void* ctx) = nullptr;                // 0..32767
    std::wstring (*longDate)(void* ctx) = nullptr;     // today in the user's long date format
    std::string (*nextRssTitle)(void* ctx) = nullptr;  // UTF-8; empty when there is none
    bool rss = false;                                  // big_title position 30 is 'I'
    bool tagTitles = false;                            // big_title position 25 is 'i'
};

// The track name: a cue entry's title; with tag titles "Artist - Title" (the artist at most
// size / 2 - 6 characters); else the file name without folder and extension; for a stream its
// now-playing text.
std::wstring BigTrackName(const BigTrackFacts& f, const BigItemEnv& env, size_t size);
// The text of one item into out (at most size - 1 characters). False when the item writes
// nothing and the previous text stays ('d' seven times in ten, 's' without a title).
bool BigItemText(std::wstring& out, size_t size, char letter, bool infoLine, const BigTrackFacts& f,
                 const BigItemEnv& env);

// The three texts and what their rebuild needs beyond the items.
struct BigTexts {
    std::wstring main, info1, info2;
    bool refresh = true;  // rebuild before the next paint
};
struct BigRefreshEnv {
    BigItemEnv items;
    void* ctx = nullptr;
    void (*seedRandom)(void* ctx) = nullptr;      // from the tick count
    bool (*rssUpdateIfDue)(void* ctx) = nullptr;  // starts an update when one is due
};
// Rebuilds the three texts for the current indexes.
void BigRefreshTexts(BigTexts& t, const BigPatterns& p, const BigTitle& title,
                     const BigTrackFacts& f, const BigRefreshEnv& env);

// The idle rule: the view pops up after big_t_time seconds without cursor movement while music
// plays. The caller resets lastActivityMs on any input.
struct BigIdle {
    int lastX = 0, lastY = 0;
    uint32_t lastActivityMs = 0;
};
// Called while music plays; true when the view is to open now (idle mode).
bool BigIdleDue(BigIdle& idle, int cursorX, int cursorY, uint32_t nowMs, uint16_t bigTTime,
                bool shown, bool embedded);
// The idle times the view's menu offers, in seconds (0 = only manually).
constexpr uint16_t kBigIdleChoices[] = {0, 5, 20, 60, 120, 300, 600};

// Where the texts go and how large, for a client rectangle of width x height.
struct BigMetrics {
    int meterW = 0;  // the meter panel at the left ('V', 'M'); 0 none
    int textX = 0, textY = 0, textW = 0, textH = 0;  // the text area
    int mainHeight = 0;                              // font height of the main text
    int mainBlock = 0;                               // height of the main block
    int mainCharW = 0;                               // character width; 0 natural
    int infoHeight = 0;                              // font height of the second block
    int infoCharW = 0;
};
BigMetrics BigLayoutMetrics(const BigTitle& title, int width, int height, int margin,
                            size_t mainLength);
// The second block's text: the info lines, the time, the clock and battery.
std::wstring BigSecondBlock(char layout, const std::wstring& info1, const std::wstring& info2,
                            const std::wstring& timeText, const std::wstring& clockText);
// "    HH:MM" and, with battery, " NN%"; battery < 0: none.
std::wstring BigClockText(int hour, int minute, int batteryPercent);
