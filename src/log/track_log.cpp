#include "log/track_log.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "base/path.h"
#include "base/utf.h"

namespace {

std::wstring Cut(std::wstring_view s, size_t n) {
    return std::wstring(s.substr(0, std::min(s.size(), n)));
}

// ---- line ends in UTF-16LE bytes, at any byte offset ----

uint16_t UnitAt(std::string_view b, size_t i) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[i]) |
                                 (static_cast<uint8_t>(b[i + 1]) << 8));
}

// The bytes of the line end (CR LF, LF or a lone CR) that begins at i; 0 when none does.
size_t LineEndAt(std::string_view b, size_t i) {
    if (i + 2 > b.size()) return 0;
    const uint16_t u = UnitAt(b, i);
    if (u == 0x0A) return 2;
    if (u != 0x0D) return 0;
    return i + 4 <= b.size() && UnitAt(b, i + 2) == 0x0A ? 4 : 2;
}

// A record ends in an empty line: two line ends in a row. Returns their bytes at i, or 0.
size_t RecordEndAt(std::string_view b, size_t i) {
    const size_t first = LineEndAt(b, i);
    if (!first) return 0;
    const size_t second = LineEndAt(b, i + first);
    return second ? first + second : 0;
}

bool ParseNumber(std::wstring_view s, int64_t& out) {
    size_t i = 0;
    const bool neg = !s.empty() && s[0] == L'-';
    if (neg) i = 1;
    if (i == s.size() || s.size() - i > 18) return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < L'0' || s[i] > L'9') return false;
        v = v * 10 + (s[i] - L'0');
    }
    out = neg ? -v : v;
    return true;
}

std::vector<std::wstring_view> Split(std::wstring_view s, wchar_t sep) {
    std::vector<std::wstring_view> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = s.find(sep, from);
        parts.push_back(s.substr(from, at == std::wstring_view::npos ? s.npos : at - from));
        if (at == std::wstring_view::npos) return parts;
        from = at + 1;
    }
}

// The three lines of one record.
bool ParseLines(std::wstring_view path, std::wstring_view tags, std::wstring_view numbers,
                LogRecord& r) {
    // A path holds no control character: such a line is damage, not a file name.
    if (path.empty() || std::any_of(path.begin(), path.end(), [](wchar_t c) { return c < 0x20; }))
        return false;
    const auto t = Split(tags, L'\t');
    const auto n = Split(numbers, L'\t');
    if (t.size() != 4 || n.size() < 4 || n.size() > 5) return false;
    if (!ParseNumber(n[0], r.length) || !ParseNumber(n[1], r.start) || !ParseNumber(n[2], r.end) ||
        !ParseNumber(n[3], r.time))
        return false;
    r.mark = n.size() == 5 && !n[4].empty() ? n[4][0] : L' ';
    r.path = path;
    r.artist = t[0];
    r.album = t[1];
    r.title = t[2];
    r.track = t[3];
    return true;
}

std::vector<std::wstring_view> Lines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    size_t from = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != L'\r' && text[i] != L'\n') continue;
        if (i > from) lines.push_back(text.substr(from, i - from));
        if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
        from = i + 1;
    }
    return lines;
}

// The next record end at or after `at` that lies at the alignment of `align`: its offset and
// *n its bytes; the end of the data (with *n = 0) when there is none.
size_t NextRecordEnd(std::string_view b, size_t at, size_t align, size_t* n) {
    if ((at - align) % 2) ++at;
    for (size_t i = at; i + 4 <= b.size(); i += 2)
        if ((*n = RecordEndAt(b, i))) return i;
    *n = 0;
    return b.size();
}

size_t SkipLineEnds(std::string_view b, size_t at) {
    while (size_t n = LineEndAt(b, at)) at += n;
    return at;
}

enum class Chunk { Empty, Record, RecordAfterDamage, Damaged };

// One stretch between record ends. More than three lines: something cut short stands before
// a whole record, which is then its last three lines.
Chunk ParseChunk(std::string_view bytes, LogRecord& r) {
    const std::wstring text =
        Utf16LeToWide(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    const auto lines = Lines(text);
    if (lines.empty()) return Chunk::Empty;
    if (lines.size() < 3) return Chunk::Damaged;
    const size_t k = lines.size() - 3;
    // A record cut short and then appended to runs into the next one's path: that path
    // begins at its drive ("C:\") or server ("\\\\") and the rest before it is damage.
    std::wstring_view path = lines[k];
    // A byte-order mark inside the file (two logs joined into one) is not part of the path,
    // nor is one where the damage before a path ends.
    while (!path.empty() && path.front() == 0xFEFF) path.remove_prefix(1);
    const size_t drive = path.rfind(L":\\");
    const size_t unc = path.rfind(L"\\\\");
    size_t begin = drive != path.npos && drive > 0 ? drive - 1 : 0;
    if (unc != path.npos) begin = std::max(begin, unc);
    path.remove_prefix(begin);
    while (!path.empty() && path.front() == 0xFEFF) path.remove_prefix(1);
    if (!ParseLines(path, lines[k + 1], lines[k + 2], r)) return Chunk::Damaged;
    return k == 0 && begin == 0 ? Chunk::Record : Chunk::RecordAfterDamage;
}

size_t AfterBom(std::string_view b) {
    return b.size() >= 2 && static_cast<uint8_t>(b[0]) == 0xFF && static_cast<uint8_t>(b[1]) == 0xFE
               ? 2
               : 0;
}

constexpr std::string_view kRecordEnd("\r\0\n\0\r\0\n\0", 8);

void Put(std::string& out, std::wstring_view w) {
    out += WideToUtf16Le(w);
}

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

}  // namespace

bool LogTrackStart(PendingLog& p, uint32_t startMs, uint32_t lengthMs, int64_t nowSeconds,
                   std::wstring_view path, std::wstring_view artist, std::wstring_view album,
                   std::wstring_view title, std::wstring_view track) {
    LogRecord& r = p.rec;
    const uint32_t end = static_cast<uint32_t>(r.end);
    if (static_cast<int64_t>(lengthMs) == r.length && startMs - end + 4999u < 9999u) return false;
    r = LogRecord{};
    r.start = startMs;
    r.length = lengthMs;
    r.end = startMs;
    r.time = nowSeconds;
    r.path = Cut(path, kMaxPath);
    r.artist = Cut(artist, kLogTagChars);
    r.album = Cut(album, kLogTagChars);
    r.title = Cut(title, kLogTagChars);
    r.track = Cut(track, kLogTrackNumberChars);
    return true;
}

LogLeave LogTrackLeave(PendingLog& p, const LogLeaveContext& c, uint32_t positionMs) {
    LogRecord& r = p.rec;
    if (c.restartPending || c.urlStream || !c.loggingOn || r.path.empty()) return LogLeave::Ignored;
    r.end = positionMs;
    if (r.length < kLogNeverBelowMs) return LogLeave::TooShort;
    const int64_t played = r.end - r.start;
    if (played > kLogAlwaysAfterMs || played >= r.length / 2) return LogLeave::Write;
    return LogLeave::NotEnough;
}

std::string LogRecordBytes(const LogRecord& r) {
    std::string out;
    Put(out, r.path);
    Put(out, L"\r\n" + r.artist + L"\t" + r.album + L"\t" + r.title + L"\t" + r.track + L"\r\n");
    char nums[96];
    std::snprintf(nums, sizeof nums, "%lld\t%lld\t%lld\t%lld\t", static_cast<long long>(r.length),
                  static_cast<long long>(r.start), static_cast<long long>(r.end),
                  static_cast<long long>(r.time));
    std::wstring tail(nums, nums + std::char_traits<char>::length(nums));
    tail += r.mark;
    tail += L"\r\n\r\n";
    Put(out, tail);
    return out;
}

LogRead LogParse(std::string_view bytes) {
    LogRead out;
    auto take = [&](size_t from, size_t end) {
        LogRecord r;
        switch (ParseChunk(bytes.substr(from, end - from), r)) {
            case Chunk::Empty:
                return true;
            case Chunk::Damaged:
                return false;
            case Chunk::RecordAfterDamage:
                ++out.skipped;
                break;
            case Chunk::Record:
                break;
        }
        out.records.push_back(std::move(r));
        return true;
    };
    size_t from = AfterBom(bytes);
    while (from < bytes.size()) {
        size_t n = 0;
        const size_t end = NextRecordEnd(bytes, from, from, &n);
        if (take(from, end)) {
            from = SkipLineEnds(bytes, end + n);
            continue;
        }
        // Not readable as it stands: a stray byte may have shifted the text. Read up to the
        // next record end of the other alignment, one byte further on.
        size_t m = 0;
        const size_t shifted = NextRecordEnd(bytes, from + 1, from + 1, &m);
        ++out.skipped;
        if (shifted < end) {
            const size_t before = out.skipped;
            take(from + 1, shifted);
            out.skipped = before;  // one damaged stretch, whatever it held
            from = SkipLineEnds(bytes, shifted + m);
        } else {
            from = SkipLineEnds(bytes, end + n);
        }
    }
    return out;
}

bool LogTrimmed(std::string_view bytes, uint32_t limitKb, std::string& out) {
    const uint64_t limit = uint64_t{limitKb} * 1024;
    if (limitKb == 0 || bytes.size() <= limit) return false;
    const size_t from = (bytes.size() - size_t{limitKb} * 768) & ~size_t{1};
    const size_t at = bytes.find(kRecordEnd, from);
    if (at == std::string_view::npos) return false;
    out.assign(bytes.substr(at + kRecordEnd.size()));
    return true;
}

std::wstring LogMinutesText(int64_t ms) {
    const int64_t s = std::max<int64_t>(ms, 0) / 1000;
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%lld:%.2d", static_cast<long long>(s / 60), static_cast<int>(s % 60));
    return buf;
}

LogRowTexts LogRow(const LogRecord& r, const LocalTime& t) {
    LogRowTexts row;
    const size_t slash = r.path.rfind(L'\\');
    row[kLogColFile] = slash == r.path.npos ? r.path : r.path.substr(slash + 1);
    row[kLogColPath] = slash == r.path.npos ? r.path : r.path.substr(0, slash);
    row[kLogColArtist] = r.artist;
    row[kLogColAlbum] = r.album;
    row[kLogColTitle] = r.title;
    row[kLogColTrack] = r.track;
    row[kLogColLength] = LogMinutesText(r.length);
    row[kLogColStart] = LogMinutesText(r.start);
    row[kLogColPlayed] = LogMinutesText(r.end - r.start);
    wchar_t date[64];
    std::swprintf(date, 64, L"%.4d-%.2d-%.2d %.2d:%.2d", t.year, t.month, t.day, t.hour, t.minute);
    row[kLogColDate] = date;
    return row;
}

std::wstring LogCountText(size_t n) {
    std::wstring digits = std::to_wstring(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += L' ';
        out += digits[i];
    }
    return out;
}

int LogCompareRows(const LogRowTexts& a, const LogRowTexts& b, int column,
                   int (*collate)(const std::wstring&, const std::wstring&)) {
    if (column < 0 || column >= kLogColumnCount) return 0;
    const std::wstring& x = a[column];
    const std::wstring& y = b[column];
    if (column == kLogColLength || column == kLogColStart || column == kLogColPlayed) {
        // Right-aligned in a field of 20: a shorter time is the smaller one.
        const size_t w = std::max<size_t>({x.size(), y.size(), 20});
        const std::wstring px = std::wstring(w - x.size(), L' ') + x;
        const std::wstring py = std::wstring(w - y.size(), L' ') + y;
        return px.compare(py);
    }
    return collate(x, y);
}

LogSort LogSortAfterClick(LogSort s, int column) {
    if (s.column == column && !s.descending) return LogSort{column, true};
    return LogSort{column, false};
}

int LogFindRow(const std::vector<const LogRowTexts*>& rows, size_t from, std::wstring_view needle) {
    if (needle.size() < 2) return -1;
    const std::wstring want = Lower(needle);
    for (size_t i = from; i < rows.size(); ++i)
        for (int c : {kLogColFile, kLogColPath, kLogColArtist, kLogColAlbum, kLogColTitle})
            if (Lower((*rows[i])[c]).find(want) != std::wstring::npos) return static_cast<int>(i);
    return -1;
}

std::string LogCsvBytes(const std::vector<const LogRowTexts*>& rows) {
    std::string out;
    Put(out, L"File\tPath\tArtist\tAlbum\tTitle\tTrack\tLength\tStart\tPlayed\tDate\r\n");
    for (const LogRowTexts* row : rows) {
        std::wstring line;
        for (const std::wstring& cell : *row) {
            line.append(cell, 0, std::min(cell.size(), kMaxPath));
            line += L'\t';
        }
        line += L"\r\n";
        Put(out, line);
    }
    return out;
}

std::string_view LogFromFirstWholeRecord(std::string_view piece) {
    const size_t at = piece.find(kRecordEnd);
    return at == piece.npos ? std::string_view() : piece.substr(at + kRecordEnd.size());
}

std::vector<std::wstring> LogHistoryTracks(std::string_view bytes, size_t max, bool cutTail) {
    std::vector<std::wstring> out;
    if (bytes.size() > kLogHistoryTailBytes) {
        bytes = bytes.substr((bytes.size() - kLogHistoryTailBytes) & ~size_t{1});
        cutTail = true;
    }
    if (cutTail) bytes = LogFromFirstWholeRecord(bytes);
    const LogRead read = LogParse(bytes);
    for (auto it = read.records.rbegin(); it != read.records.rend() && out.size() < max; ++it) {
        std::wstring path = Cut(it->path, kLogHistoryPathChars);
        if (std::find(out.begin(), out.end(), path) == out.end()) out.push_back(std::move(path));
    }
    return out;
}

std::vector<std::wstring> LogHistoryFolders(std::string_view bytes, size_t max,
                                            const std::vector<std::wstring>& skip, bool cutTail) {
    std::vector<std::wstring> out;
    for (const std::wstring& path : LogHistoryTracks(bytes, static_cast<size_t>(-1), cutTail)) {
        if (out.size() >= max) break;
        std::wstring folder = PathFolder(path);
        if (folder.empty()) continue;
        if (std::find(skip.begin(), skip.end(), folder) != skip.end()) continue;
        if (std::find(out.begin(), out.end(), folder) == out.end())
            out.push_back(std::move(folder));
    }
    return out;
}

LogCleanup LogClean(std::string_view bytes, bool (*exists)(void* ctx, const std::wstring& path),
                    void* ctx, void (*progress)(void* ctx, int done)) {
    LogCleanup out;
    size_t from = AfterBom(bytes);
    int checked = 0;
    while (from < bytes.size()) {
        const size_t at = bytes.find(kRecordEnd, from);
        const size_t end = at == bytes.npos ? bytes.size() : at + kRecordEnd.size();
        LogRecord r;
        const std::string_view record = bytes.substr(from, end - from);
        if (ParseChunk(record, r) != Chunk::Record) break;  // the rest stays as it is
        if (exists(ctx, r.path)) {
            out.kept.append(record);
            if (at == bytes.npos) out.kept.append(kRecordEnd);
        } else {
            ++out.invalid;
        }
        from = end;
        if (++checked % 50 == 0 && progress) progress(ctx, checked);
    }
    if (from < bytes.size()) out.kept.append(bytes.substr(from));
    return out;
}
