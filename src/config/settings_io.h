// Defaults, colour themes and the settings file: text to record and record to text are
// portable; ReadSettingsFile and WriteSettingsFile reach the disk through a FileOps table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/fileops.h"
#include "config/settings.h"

// What SetDefaults needs to know of the machine; the glue measures it once at start.
struct ScreenMetrics {
    int osMajorVersion;  // GetVersionExA major version
    double dpiFactor;    // LOGPIXELSX / 96.0
    int horzRes;         // HORZRES of the screen, pixels
    int vertRes;         // VERTRES
};

// Only the first this many bytes of a settings file are read.
constexpr size_t kSettingsReadLimit = 24000;
// Writing keeps the old file's other sections, read from at most its first this many bytes.
constexpr size_t kSettingsOldFileLimit = size_t{1} << 20;

// Fills the whole record with the defaults (theme 2 and the default Enhancer 2 preset applied).
void SetDefaults(Settings& s, const ScreenMetrics& m);

// The colours, theme bits and Big view values that theme 0 ("Current") puts back: a copy taken
// when the settings dialog opens.
struct ThemeSnapshot {
    int32_t color_text, color_back, color_track, color_trkbg, color_win;
    bool trackBackgroundSet;
    uint16_t list_dim, big_t_time, big_embedded;
    int32_t stylez;
    std::string big_title, bmpfile;
};
ThemeSnapshot TakeThemeSnapshot(const Settings& s);

// Number of colour themes (1..7; 0 is "Current").
constexpr int kColourThemeCount = 7;

// Applies colour theme 1..7 (see the theme table), or 0 = restore `current` (ignored when null).
// dpiFactor decides the large-bitmap and slider variants.
void ApplyColourTheme(Settings& s, int index, double dpiFactor, const ThemeSnapshot* current);

// Converts 8-bit text in the system code page to wide text (the glue passes the Win32 one).
using AnsiDecoder = std::wstring (*)(std::string_view);

struct SettingsReadResult {
    bool lastFileIsStream = false;  // last_file is an internet address
};

// Reads settings file text into the record (all the read rules and fix-ups). Keys missing from
// the text keep their values. ansi may be null: Windows-1252 is used then.
SettingsReadResult SettingsFromIni(Settings& s, const uint8_t* data, size_t len, AnsiDecoder ansi);

// The complete file text for the record; oldFile is the previous file, whose other sections
// are kept.
std::string SettingsToIni(const Settings& s, std::string_view oldFile);

// Reads the file at path (first kSettingsReadLimit bytes); a missing file leaves the record
// unchanged and returns false.
bool ReadSettingsFile(Settings& s, const FileOps& fs, const std::wstring& path, AnsiDecoder ansi,
                      SettingsReadResult* result);

// Writes the record to path, replacing the old file only once the new one is complete.
// False if it cannot be written. With keepLists false the four string lists are freed after
// writing (at exit).
bool WriteSettingsFile(Settings& s, const FileOps& fs, const std::wstring& path, bool keepLists);

// Frees the strings of the four lists (at exit, once they are written).
void FreeSettingsLists(Settings& s);
