// The file finder's rules: the dialog's dates and sizes as a filter, the quick buttons' date
// arithmetic, which files a folder contributes, and the depth-first walk with a stop flag.
// Portable: the folder listings come through a table (FindFirstFile in the program).
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Lowest and highest date (high 32 bits of a local file time) and size (KB); all 0: not set.
struct FinderFilter {
    uint32_t dateLow = 0, dateHigh = 0;
    uint32_t sizeLowKb = 0, sizeHighKb = 0;
};

// A calendar date and time as a file time: 100-ns units since 1601-01-01 (no time zone: the
// finder compares local times with local times).
uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second);
// "YYYY-MM-DD" of a file time.
std::wstring FinderDateText(uint64_t fileTime);
// Reads "YYYY-MM-DD" (characters 1-4, 6-7, 9-10); false when it is no valid date.
bool FinderParseDate(std::wstring_view text, int& year, int& month, int& day);

// The quick buttons' "from" date: now less days x 201 units of the file time's high 32 bits
// (a "day" of about 23 h 58 min, as the buttons have always counted it).
std::wstring FinderQuickFrom(uint64_t nowFileTime, int days);

struct FinderSizeButton {
    const wchar_t* label;
    uint32_t lowKb, highKb;
};
// "<1M", "<10M", ">10M", ">100M".
extern const FinderSizeButton kFinderSizeButtons[4];
// The day buttons: 7, 30, 60, 90, 365.
extern const int kFinderDayButtons[5];

// The filter from the dialog's fields. False (with what) when a checked field does not read:
// a date that is no date, a size that is no number. A lowest size of 0 becomes 1.
bool FinderBuildFilter(bool dates, std::wstring_view from, std::wstring_view to, bool sizes,
                       std::wstring_view lowKb, std::wstring_view highKb, FinderFilter& out);

// One directory entry as the listing reports it.
struct FinderEntry {
    std::wstring name;
    uint32_t attributes = 0;  // Win32 FILE_ATTRIBUTE_* bits
    uint64_t size = 0;
    uint64_t time = 0;        // local modification (or creation) time as a file time
};
constexpr uint32_t kFinderHidden = 0x2, kFinderSystem = 0x4, kFinderFolder = 0x10;

struct FinderQuery {
    std::wstring root;         // ends with "\"
    std::wstring name;         // part of the name; empty: every playable file
    std::wstring ignoreLower;  // excluded text, lower-case; empty: none
    FinderFilter filter;
    std::string playable;      // the playable extensions ("mp3;mp2;mpa;ogg;")
};

// The listing pattern of a folder (ending "\"): every file when the folder's path contains the
// name (ignoring case), else "*name*".
std::wstring FinderPattern(const std::wstring& folder, const std::wstring& name);

// Whether a file of folder (ending "\") is found: not hidden, system or a folder; a playable
// extension; within the date and size ranges; Ignore in neither its name nor the folder.
bool FinderTakes(const FinderQuery& q, const std::wstring& folderLower, const FinderEntry& e);

// The dialog's title: the root, or "..." and its last 45 characters from 46 characters on.
std::wstring FinderTitle(const std::wstring& root);

struct FinderFs {
    void* ctx = nullptr;
    // The entries matching pattern (a folder and a wildcard name), "." and ".." left out.
    void (*list)(void* ctx, const std::wstring& pattern, std::vector<FinderEntry>& out) = nullptr;
};

struct FinderSink {
    void* ctx = nullptr;
    // A found file and its folder without the trailing "\".
    void (*found)(void* ctx, const FinderEntry& e, const std::wstring& folder) = nullptr;
    // Every 11th folder: the count of files found so far.
    void (*progress)(void* ctx, uint64_t found) = nullptr;
};

// Walks the root depth first (subfolders before a folder's own files), skipping hidden and
// system folders. Checks stop before every folder and every file; returns the count found.
uint64_t FinderWalk(const FinderQuery& q, const FinderFs& fs, const FinderSink& sink,
                    const std::atomic<bool>& stop);

// The dialog's saved screen position, (x + 5000) x 65536 + (y + 5000); 0: none. False when
// there is none / when x + 5000 or y + 5000 is not positive (nothing is saved then).
bool FinderPositionFrom(int32_t saved, int& x, int& y);
bool FinderPositionTo(int x, int y, int32_t& saved);
