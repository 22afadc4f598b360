// The short texts that tell the user what plays and how the player is set: the time texts, the
// window title, the status bar's track format and option words, the tips, the "Now playing"
// clipboard text, the web-search address and the external programs' launch. Portable: the glue
// gathers the facts and shows the results.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// ---- times ----

// A position or length as the player writes it: "m'ss" below an hour, "h:mm'ss" from one hour
// on; ':' instead of '\'' with `colon`. A byte position (isMs false) becomes milliseconds by
// value * 8000 / bitRate (bits per second) when bitRate is above 0. Values of 0xFFFF0000 and
// above count as 0.
std::wstring FormatTime(uint32_t value, bool isMs, uint32_t bitRate, bool colon);

// Reads back a time FormatTime wrote ("m'ss", "m:ss", "h:mm'ss", "h:mm:ss") at the end of
// text; false when the text does not end in one.
bool ParseTrailingTime(std::wstring_view text, uint32_t& ms);

// ---- the window title ----

struct TitleFacts {
    bool trackLoaded = false;
    uint32_t positionMs = 0;
    uint32_t lengthMs = 0;      // 0: not known (a stream)
    uint32_t showTime = 8;      // the show_time bits
    uint32_t stylez = 0;
    std::wstring name;          // TrackTitleText: the file name or the tag title
    std::wstring upcoming;      // the next track's name
    // The playing list is a cue sheet and its audio file plays.
    bool cue = false;
    int cueNumber = 0;
    std::wstring cueTitle;      // empty: the entry has none
    std::wstring cueSheetName;
};

// The time part of the title by show_time: elapsed, remaining, or both joined by " > " (swapped
// with bit 2); empty with no time bit set. Only the elapsed time while the length is unknown.
std::wstring TitleTimeText(const TitleFacts& f);

enum class TitleAction { LeaveToList, Keep, Set };
// What the title becomes: LeaveToList while no track is loaded, Keep when stylez asks for no
// track name in the title, else Set with `out`.
TitleAction ComposeTitle(const TitleFacts& f, std::wstring& out);

// The title is written only when its first 100 characters differ from the shown one.
bool TitleNeedsUpdate(std::wstring_view shown, std::wstring_view next);

// The title without a track.
constexpr wchar_t kIdleTitle[] = L"Zuvo Directory Player";

// ---- status bar, pane 1: the track format ----

enum class RateKind { StreamOrPlugin, Multichannel, MpegCbr, MpegVbr, OtherBass };
enum class ChannelMode { Stereo, JointStereo, DualChannel, Mono };

struct TrackFormat {
    uint32_t lengthMs = 0;
    RateKind rateKind = RateKind::MpegCbr;
    uint32_t kbps = 0;            // StreamOrPlugin, MpegCbr
    uint32_t averageBps = 0;      // MpegVbr, OtherBass: bits per second
    uint32_t channels = 2;        // Multichannel
    uint32_t sampleRate = 44100;
    ChannelMode mode = ChannelMode::Stereo;
    bool crc = false;
    bool copyright = false;
    std::wstring decoder;         // "ACM", "mpglib", "BASS" or the plug-in's name
};

std::wstring TrackFormatText(const TrackFormat& f, bool colon);

constexpr int kTipCount = 17;
const wchar_t* TipText(int index);  // index clamped to the table
// " TIP: " and the tip; `random` is 0..32767 as the C library's rand() gives it.
std::wstring TipPaneText(int random);
// Every tip, numbered, one a line ("Show all tips...").
std::wstring AllTipsText();

// ---- status bar, pane 2: the option words ----

struct FlagFacts {
    bool quitAfterTrack = false, quitAfterList = false;
    uint32_t waveFlags = 0;
    int enhance = 0;
    bool eqEnable = false;
    bool muted = false;
    bool gaplessActive = false;
    uint32_t gapless = 0;
    int fastPlayLevel = 0;
    uint32_t autospace = 0;
    uint32_t controlFlags = 0;
    uint32_t logfile = 0;
    bool httpOn = false;        // httpserv begins with 'a'
    bool httpRunning = false;
};
std::wstring FlagsText(const FlagFacts& f);

// ---- status bar, pane 0: the list summary ----

struct SummaryRow {
    std::wstring name, size, extra;
};
struct SummaryFacts {
    int kind = 0;             // the list kind: 0 folder, 1 play list, 2 saved folder list, more
    bool sizeInKb = false;    // list_style: the size column holds KB
    bool timeInExtra = false; // info_row bits 12 and 16: the time stands in the extra column
    const wchar_t* tracksWord = L"tracks";
};
// " n tracks[, s MB][, h:mm h]"; `count` gets the number of tracks.
std::wstring ListSummaryText(const SummaryRow* rows, size_t n, const SummaryFacts& f, int& count);

// ---- "Now playing" ----

struct NowPlayingFacts {
    std::wstring artist, album, comment, title, track;  // tags; empty when missing
    std::wstring lastFile;                              // full path
    std::wstring displayName;
};
constexpr size_t kNowPlayingMax = 1999;
// `setting` is the whole `nowplaying` value: five option letters, then the template.
std::wstring NowPlayingText(std::wstring_view setting, const NowPlayingFacts& f);
// "a" as the first option letter: copy at every track start.
bool NowPlayingAuto(std::wstring_view setting);

// ---- web search and external programs ----

bool IsStreamAddress(std::wstring_view path);

// UTF-8 of text (at most 500 bytes), letters and digits kept, white space as '+', every other
// byte as "%XX".
std::string UrlEncodeQuery(std::wstring_view text);
// The search text: "artist title", or the file name without extension when there is no artist.
std::wstring SearchText(std::wstring_view path, std::wstring_view artist, std::wstring_view title);
// The address to open from the `browse` setting (five option letters, then the template with
// "%M"); empty when the template has no "%M".
std::string BrowserUrl(std::string_view setting, std::wstring_view searchText);

struct LaunchPlan {
    bool run = false;
    std::wstring program;
    std::wstring arguments;  // empty: none
};
// An `applaunch` value (option character, then the program) for the focused row's path.
LaunchPlan PlanLaunch(std::wstring_view setting, std::wstring_view rowPath);
// The program path with its drive letter replaced by that of the player's own path (the retry
// of a portable installation); empty when either has no drive letter to swap.
std::wstring OnOwnDrive(std::wstring_view program, std::wstring_view ownPath);
