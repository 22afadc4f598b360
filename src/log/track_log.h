// The track log's rules and its file format, over bytes: when a played track gets a record,
// how a record is written and read back, how the file is kept below its size limit, the
// viewer's row texts, the CSV export, the history menus and the cleanup of vanished files.
//
// The file is UTF-16LE text without a byte order mark, a sequence of records of four lines:
//   path \r\n artist \t album \t title \t track \r\n
//   length \t start \t end \t time \t mark \r\n \r\n
// (positions in ms from the start of the audio, time in seconds since 1970 UTC).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/timefmt.h"

constexpr uint32_t kLogNeverBelowMs = 30000;    // shorter tracks are never logged
constexpr uint32_t kLogAlwaysAfterMs = 239999;  // more than this played always counts
constexpr size_t kLogTagChars = 99;             // artist, album, title
constexpr size_t kLogTrackNumberChars = 9;
constexpr size_t kLogHistoryTailBytes = 64 * 1024;  // the history menus read this much
constexpr size_t kLogHistoryPathChars = 398;
constexpr int kLogHistoryMaxEntries = 30;

struct LogRecord {
    std::wstring path, artist, album, title, track;
    int64_t length = 0, start = 0, end = 0, time = 0;
    wchar_t mark = L' ';
};

// The record being prepared for the playing track (written once, when it is left).
struct PendingLog {
    LogRecord rec;  // rec.path empty: nothing pending
};

// A track starts at startMs: the pending record continues when it is the same length and the
// start lies within five seconds of where it was left (a pause, a resume, a small seek);
// otherwise it is replaced. Tags are cut to their stored lengths, the path to 400 characters.
// Returns true when a new record was begun.
bool LogTrackStart(PendingLog& p, uint32_t startMs, uint32_t lengthMs, int64_t nowSeconds,
                   std::wstring_view path, std::wstring_view artist, std::wstring_view album,
                   std::wstring_view title, std::wstring_view track);

// What surrounds the leaving of a track.
struct LogLeaveContext {
    bool loggingOn = false;
    bool restartPending = false;  // a restart after a decoder change is pending
    bool urlStream = false;
};

enum class LogLeave : uint8_t {
    Ignored,    // nothing pending, logging off, a stream or a pending restart
    TooShort,   // the track is shorter than 30 s
    NotEnough,  // played too little
    Write,      // the record is due: write p.rec, then clear it (LogWritten)
};

// The playing track is left at positionMs: sets the pending record's end and decides.
LogLeave LogTrackLeave(PendingLog& p, const LogLeaveContext& c, uint32_t positionMs);
inline void LogWritten(PendingLog& p) {
    p.rec.path.clear();
}

// One record as the file holds it (UTF-16LE bytes).
std::string LogRecordBytes(const LogRecord& r);

// ---- reading ----

struct LogRead {
    std::vector<LogRecord> records;  // in file order
    size_t skipped = 0;              // stretches of the file that held no readable record
};

// Reads every readable record of a log, whatever was done to it: a leading byte order mark,
// records cut short, lines that end in LF or CR alone, stray bytes that shift the rest of the
// file by one, text that is not UTF-16 at all. A damaged stretch is counted in `skipped` and
// the reading goes on with the next record end.
LogRead LogParse(std::string_view bytes);

// ---- size limit ----

// With a limit of limitKb (not 0) and a file larger than that: the file from the first
// record start after (size - limitKb * 768) on, so that about three quarters of the limit is
// kept, beginning at a record. False (nothing to rewrite) when the file is within the limit,
// the limit is 0, or no record ends in that tail.
bool LogTrimmed(std::string_view bytes, uint32_t limitKb, std::string& out);

// ---- the viewer's rows and the CSV export ----

enum LogColumn : int {
    kLogColFile,
    kLogColPath,
    kLogColArtist,
    kLogColAlbum,
    kLogColTitle,
    kLogColTrack,
    kLogColLength,
    kLogColStart,
    kLogColPlayed,
    kLogColDate,
    kLogColumnCount
};
using LogRowTexts = std::array<std::wstring, kLogColumnCount>;

// "%d:%.2d" of ms (minutes, seconds); negative values count as 0.
std::wstring LogMinutesText(int64_t ms);
// The ten cells of a record's row; `local` is the record's time in local time.
LogRowTexts LogRow(const LogRecord& r, const LocalTime& local);
// "12 345": the count with a blank between groups of three digits.
std::wstring LogCountText(size_t n);
// Compares two rows by a column as the viewer sorts (ascending; the caller negates).
// `collate` compares plain texts (the platform's locale-aware comparison in the program).
int LogCompareRows(const LogRowTexts& a, const LogRowTexts& b, int column,
                   int (*collate)(const std::wstring&, const std::wstring&));
// Sorting by a clicked header: the column and direction after the click.
struct LogSort {
    int column = kLogColDate;
    bool descending = true;
};
LogSort LogSortAfterClick(LogSort s, int column);
// The first row from `from` on whose file, path, artist, album or title contains `needle`
// (compared in lower case); -1 when none, or when the needle is shorter than 2 characters.
int LogFindRow(const std::vector<const LogRowTexts*>& rows, size_t from, std::wstring_view needle);

// The CSV export of rows in their order (UTF-16LE, no byte order mark).
std::string LogCsvBytes(const std::vector<const LogRowTexts*>& rows);

// ---- history ----

// What follows the first record end: a piece cut from inside a log, from its first whole record.
std::string_view LogFromFirstWholeRecord(std::string_view piece);
// The distinct paths of the last 64 KB of the log, newest first, each at its newest place.
// `bytes` is the whole log, or (cutTail) its last bytes, which begin inside a record.
std::vector<std::wstring> LogHistoryTracks(std::string_view bytes, size_t max,
                                           bool cutTail = false);
// The distinct folders of those paths, newest first, leaving out those in `skip`.
std::vector<std::wstring> LogHistoryFolders(std::string_view bytes, size_t max,
                                            const std::vector<std::wstring>& skip,
                                            bool cutTail = false);

// ---- cleanup ----

struct LogCleanup {
    std::string kept;  // the log's new content
    int invalid = 0;   // records whose file no longer exists
};
// Keeps the records whose path `exists` says is there. The first record that cannot be read
// ends the checking: it and everything after it are kept as they are. `progress` (may be null)
// is told every 50 records.
LogCleanup LogClean(std::string_view bytes, bool (*exists)(void* ctx, const std::wstring& path),
                    void* ctx, void (*progress)(void* ctx, int done) = nullptr);
