// Reading a cue sheet into cue list rows.
#include <cstdint>
#include <cstdio>

#include "base/path.h"
#include "base/utf.h"
#include "library/cue.h"
#include "library/list_text.h"

namespace {
constexpr size_t kMaxLineBytes = 400;
constexpr size_t kMaxQuoted = 199;  // TITLE and PERFORMER texts
constexpr size_t kMaxCueTitle = 200;
constexpr size_t kZeroScanBytes = 600;  // zero bytes up to here become blanks (UTF-16 junk)

// The leading decimal number of a field, as atoi reads it (blanks, sign, digits).
int32_t ParseLeadingIntW(std::wstring_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == L' ' || t[i] == L'\t')) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == L'-' || t[i] == L'+')) negative = t[i++] == L'-';
    int64_t v = 0;
    for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i)
        if (v < 0x7FFFFFFF) v = v * 10 + (t[i] - L'0');
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
    return static_cast<int32_t>(negative ? -v : v);
}

bool StartsWith(std::string_view line, std::string_view word) {
    return line.compare(0, word.size(), word) == 0;
}

// The text between the first and the last double quote; false without two quotes.
bool Quoted(const std::wstring& line, std::wstring& out) {
    const size_t first = line.find(L'"');
    const size_t last = line.find_last_of(L'"');
    if (first == std::wstring::npos || last == first) return false;
    out = line.substr(first + 1, last - first - 1);
    return true;
}

struct Reader {
    TrackList& list;
    CueState& cue;
    const std::wstring& path;
    const CueReadEnv& env;
    bool utf8 = false;
    std::wstring file, performer, title, index;
    int groupStart = 0;  // first row of the current FILE

    std::wstring Wide(std::string_view raw) const {
        return utf8 ? Utf8ToWide(raw) : AnsiToWide(env.codePage, raw);
    }

    std::wstring TrackName() const {
        if (performer.empty() || title == performer) return title;
        if (title.empty()) return performer;
        return performer + L" - " + title;
    }

    void AlbumTitle() {
        std::wstring p = performer, t = title;
        if (p.size() + t.size() > kMaxCueTitle - 3) {
            // Both halves give way evenly so that "p - t" fits the 200 characters.
            const size_t half = (kMaxCueTitle - 4) / 2;
            if (p.size() > half) p.resize(half);
            if (t.size() > half) t.resize(half);
        }
        if (!p.empty() && !t.empty())
            cue.cueTitle = p + L" - " + t;
        else
            cue.cueTitle = p.empty() ? t : p;
        if (cue.cueTitle.empty()) cue.cueTitle = path.substr(path.find_last_of(L'\\') + 1);
        if (cue.cueTitle.size() > kMaxCueTitle) cue.cueTitle.resize(kMaxCueTitle);
    }

    // Closes the pending track; endOfGroup also fills the lengths of the current FILE's rows.
    void Close(bool endOfGroup) {
        if (!index.empty()) {
            const int row = static_cast<int>(list.rows.size());
            AddRow(list, row, file, index, L" ", L" ", *env.s);
            list.rows.back().cell[3] = TrackName();
            if (env.s->info_row != 0) {
                wchar_t num[16];
                std::swprintf(num, 16, L"%.2d", row + 1);
                list.rows.back().cell[4] = num;
            }
        } else if (cue.cueTitle.empty()) {
            AlbumTitle();
        }
        const int rows = static_cast<int>(list.rows.size());
        if (endOfGroup && rows > groupStart) {
            FillCueLengths(list, groupStart, rows, env);
            groupStart = rows;
        }
        performer.clear();
        title.clear();
        index.clear();
    }

    // One line (leading blanks gone); false ends the parsing.
    bool Line(std::string_view raw) {
        if (StartsWith(raw, "TRACK") || StartsWith(raw, "FILE")) Close(StartsWith(raw, "FILE"));
        const std::wstring line = Wide(raw);
        if (StartsWith(raw, "FILE")) {
            std::wstring name;
            if (!Quoted(line, name)) return false;
            if (name.find(L'\\') == std::wstring::npos) name = PathJoin(PathFolder(path), name);
            const int kind = PlayableKind(PathExtension(name), *env.playable);
            if (kind != 1 && kind != 2) return false;
            file = name;
        } else if (StartsWith(raw, "TITLE") || StartsWith(raw, "PERFORMER")) {
            std::wstring text;
            if (!Quoted(line, text)) return false;
            if (text.size() > kMaxQuoted) text.resize(kMaxQuoted);
            (StartsWith(raw, "TITLE") ? title : performer) = text;
        } else if (StartsWith(raw, "INDEX 01") && index.empty()) {
            const size_t first = line.find(L' ');
            const size_t second = first == std::wstring::npos ? first : line.find(L' ', first + 1);
            if (second == std::wstring::npos) return false;
            index = line.substr(second + 1);
            if (!index.empty() && static_cast<uint32_t>(index.back()) < 0x20) index.pop_back();
        }
        return true;
    }
};
}  // namespace

uint32_t CueTimeMs(std::wstring_view text) {
    auto field = [](std::wstring_view t) { return static_cast<float>(ParseLeadingIntW(t)); };
    const size_t last = text.find_last_of(L':');
    float minutes = 0, seconds = 0, frames = 0;
    if (last == std::wstring_view::npos) {
        frames = field(text);
    } else {
        frames = field(text.substr(last + 1));
        const std::wstring_view head = text.substr(0, last);
        const size_t before = head.find_last_of(L':');
        if (before == std::wstring_view::npos) {
            minutes = field(head);  // a single colon: minutes and frames
        } else {
            seconds = field(head.substr(before + 1));
            minutes = field(head.substr(0, before));
        }
    }
    const float ms = (minutes * 60.0f + seconds + frames / 75.0f) * 1000.0f;
    // 2^32 is the first float past the range of uint32_t; converting it or anything beyond
    // would be undefined, so such times stop at the largest value.
    if (ms >= 4294967296.0f) return UINT32_MAX;
    return ms <= 0 ? 0u : static_cast<uint32_t>(ms);
}

int ReadCueSheetBytes(TrackList& list, CueState& cue, const std::wstring& path,
                      std::string_view bytes, const CueReadEnv& env) {
    Reader r{list, cue, path, env, false, {}, {}, {}, {}, 0};
    std::string text(bytes);
    if (StartsWith(text, "\xEF\xBB\xBF")) {
        r.utf8 = true;
        text.erase(0, 3);
    }
    // Sheets saved as UTF-16 by mistake still read their ASCII keywords.
    const size_t zeroScan = bytes.size() > 10 ? std::min(kZeroScanBytes, bytes.size() - 10) : 0;
    for (size_t i = 0; i < zeroScan && i < text.size(); ++i)
        if (text[i] == '\0') text[i] = ' ';
    cue.cueTitle.clear();

    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() >= kMaxLineBytes) continue;
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (!r.Line(line)) return static_cast<int>(list.rows.size());
    }
    r.Close(true);  // the last line closes the last track and its FILE
    return static_cast<int>(list.rows.size());
}

bool CueSheetLoaded(TrackList& list, CueState& cue, const Settings& s) {
    cue.cueTrackStart = 0;
    cue.cueTrackEnd = 0;
    cue.cuePositionStale = true;
    list.currentRow = -1;
    const bool playing = !s.last_file.empty() && FindRow(list, s.last_file) >= 0;
    if (!playing) {
        SelectOnly(list, 0);
        list.kind = cueListIdle;
    }
    return playing;
}
