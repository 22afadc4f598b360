// The easy renamer: the names (or date cells) of the selected rows one per line, edited as
// plain text; every line that changed renames its file (or re-dates it), from the last line
// to the first. The dialog is glue; these are its rules.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/track_list.h"
#include "tools/file_date.h"

constexpr size_t kRenamerNamesMax = 9000;  // characters of the names text
constexpr size_t kRenamerDatesMax = 3000;  // characters of the dates text
constexpr size_t kRenamerPathMax = 399;    // an old or new path is cut to this

// Lines as a multi-line edit control counts them: the number of CR LF pairs + 1, so a text
// whose every line ends in CR LF counts its lines + 1.
int EditLineCount(std::wstring_view text);
int EditLineCount(std::string_view text);
// Line `index` (from 0) without its CR LF; empty past the end.
std::wstring EditLine(std::wstring_view text, int index);
std::string EditLine(std::string_view text, int index);

struct RenamerTexts {
    std::wstring names;  // one name per selected row, CR LF after each
    std::string dates;   // the rows' date cells the same way (8-bit)
    int rows = 0;        // rows taken
};
// The selected track rows of `list` in order, the name with its extension (RowPath, name
// only) and the cell `dateColumn`; stops before a row once the names have passed 9000 or the
// dates 3000 characters.
RenamerTexts RenamerFill(const TrackList& list, int dateColumn);
// The same from plain rows (the compare table's names and date cells), with the same limits.
RenamerTexts RenamerFillLines(const std::vector<std::wstring>& names,
                              const std::vector<std::wstring>& dates);

// What the run does to the file system: the glue's Win32 calls, the tests' fakes.
struct RenamerFs {
    void* ctx = nullptr;
    bool (*rename)(void* ctx, const std::wstring& from, const std::wstring& to) = nullptr;
    // Sets the modification (or creation) time from a local date: 1 done, 0 the file cannot
    // be opened or its time set, -1 the date does not convert.
    int (*setDate)(void* ctx, const std::wstring& path, const DateFields& local,
                   bool creation) = nullptr;
};

enum class RenamerResult {
    WrongNameCount,  // "Wrong filename line count." nothing was done
    WrongDateCount,  // "Wrong date line count." nothing was done
    Done,            // every line processed; the dialog ends
    RenameFailed,    // "Could not rename the file:\n\n%ls" with failedPath; stopped there
    DateFailed,      // "Could not set date for file:\n\n%ls" with failedPath; stopped there
    DateInvalid,     // a date that does not convert: the dialog ends without a message
};

struct RenamerRun {
    std::wstring folder;
    std::wstring reference;  // the names as filled
    std::wstring names;      // the edited names
    std::string dates;       // the (edited) dates
    bool changeDates = false;
    bool creationDates = false;  // stylez CreatedDate: the dates are creation times
};

// Checks the line counts alone (the step before the confirmation).
RenamerResult RenamerCheckCounts(const RenamerRun& run);
// The number of files the confirmation names ("Change the %s of %d files?").
int RenamerFileCount(const RenamerRun& run);

struct RenamerOutcome {
    RenamerResult result = RenamerResult::Done;
    std::wstring failedPath;  // the old path of the line that stopped the run
    int changed = 0;          // files renamed or re-dated before the end
};
// Checks the counts, then processes the lines from the last to the first.
RenamerOutcome RenamerExecute(const RenamerRun& run, const RenamerFs& fs);
