// Reading and writing .m3u / .m3u8 play lists.
#include "library/playlist_file.h"

#include "base/path.h"
#include "base/utf.h"
#include "library/list_text.h"

namespace {
constexpr size_t kMaxLineBytes = 400;   // longer lines are skipped, not cut
constexpr size_t kMaxStreamTitle = 90;  // of the remembered "#EXTINF" line
constexpr wchar_t kUntitledAddress[] = L"Untitled address";

std::wstring Truncated(std::wstring text, size_t n) {
    if (text.size() > n) text.resize(n);
    return text;
}

// The path a play list line names: slashes turned, the drive of the list in front of a
// root-relative path, the list's folder in front of a relative one.
std::wstring ResolveListLine(std::wstring line, const std::wstring& listPath) {
    for (wchar_t& c : line)
        if (c == L'/') c = L'\\';
    if (!line.empty() && line[0] == L'\\') line = listPath.substr(0, 2) + line;
    if (line.size() < 2 || line[1] != L':') {
        const size_t slash = listPath.find_last_of(L'\\');
        line =
            (slash == std::wstring::npos ? std::wstring() : listPath.substr(0, slash + 1)) + line;
    }
    return line;
}

// The line that starts at pos, which then moves past its line end. A line ends at CR LF, at LF
// or at a lone CR, each line at its own: lists written on one system and appended to on
// another mix them. False when no line end follows: a last line without one is not read.
bool NextLine(std::string_view bytes, size_t& pos, std::string_view& line) {
    const size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) return false;
    line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    return true;
}

}  // namespace

bool IsUtf8ListName(const std::wstring& path) {
    return !path.empty() && path.back() == L'8';
}

int ReadPlayListBytes(TrackList& list, const std::wstring& path, std::string_view bytes,
                      const PlayListEnv& env) {
    const Settings& s = *env.s;
    const bool utf8 = IsUtf8ListName(path);
    const size_t before = list.rows.size();
    std::wstring pendingTitle;  // the last "#EXTINF" line, for the next stream line only
    size_t pos = 0;
    std::string_view raw;
    while (NextLine(bytes, pos, raw)) {
        if (raw.size() >= kMaxLineBytes) continue;
        std::wstring line =
            Truncated(utf8 ? Utf8ToWide(raw) : AnsiToWide(env.codePage, raw), kMaxPath);

        if (line.compare(0, 7, L"#EXTINF") == 0) {
            pendingTitle = Truncated(line, kMaxStreamTitle);
            continue;
        }
        if (env.bassLoaded && IsUrlExact(line)) {
            const size_t comma = pendingTitle.find(L',');
            std::wstring title =
                comma == std::wstring::npos ? kUntitledAddress : pendingTitle.substr(comma + 1);
            AddRow(list, static_cast<int>(list.rows.size()), std::move(title), L"", line, L"", s);
            pendingTitle.clear();
            continue;
        }
        std::wstring file = ResolveListLine(std::move(line), path);
        if (!PathPlayableKind(file, *env.playable)) continue;  // comments, other files
        const size_t slash = file.find_last_of(L'\\');
        AddRow(list, static_cast<int>(list.rows.size()), file.substr(slash + 1), L"",
               file.substr(0, slash), L"", s);
    }
    return static_cast<int>(list.rows.size() - before);
}

int LoadPlayListBytes(TrackList& list, const std::wstring& path, std::string_view bytes,
                      const PlayListEnv& env, const ListEnv& listEnv) {
    const int rows = ReadPlayListBytes(list, path, bytes, env);
    if (!Resort(list, listEnv) && list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    const Settings& s = *env.s;
    const int current = s.last_file.empty() ? -1 : FindRow(list, s.last_file);
    if (!SetCurrentRow(list, current, true)) SelectOnly(list, 0);
    const ListHooks& h = listEnv.hooks;
    if ((static_cast<uint32_t>(s.list_style) & ListStyle::AlwaysScanInfo) && h.startInfoScan)
        h.startInfoScan(h.ctx, list);
    if (h.listChanged) h.listChanged(h.ctx, list);
    return rows;
}

std::wstring PathRelativeToList(const std::wstring& track, const std::wstring& listPath) {
    // Drop the leading components both share; a component ends with its backslash.
    size_t common = 0;
    for (size_t i = 0; i < track.size() && i < listPath.size() && track[i] == listPath[i]; ++i)
        if (track[i] == L'\\') common = i + 1;
    const std::wstring listRest = listPath.substr(common);
    if (listRest.size() > 1 && listRest[1] == L':') return track;  // another drive
    if (listRest.find(L'\\') != std::wstring::npos)                // another branch
        return (track.size() > 1 && track[1] == L':') ? track.substr(2) : track;
    return track.substr(common);
}

std::vector<std::wstring> PlayListRowsToWrite(const TrackList& list, const Settings& s) {
    std::vector<std::wstring> out;
    if (list.kind > savedFolderList) return out;
    std::wstring path;
    for (int i = 0; i < static_cast<int>(list.rows.size()); ++i)
        if (list.rows[static_cast<size_t>(i)].selected && RowPath(list, i, path, false) == 1)
            out.push_back(path);
    if (SelectedCount(list) == 0 && RowPath(list, CurrentRowOf(list, s), path, false) == 1)
        out.push_back(path);
    return out;
}

PlayListText PlayListFileText(const std::vector<std::wstring>& tracks, const std::wstring& listPath,
                              const CodePage& cp) {
    const bool utf8 = IsUtf8ListName(listPath);
    PlayListText out;
    for (const std::wstring& track : tracks) {
        // At most 400 bytes a line, its CR LF included.
        const std::wstring line = PathRelativeToList(track, listPath);
        std::string bytes =
            utf8 ? WideToUtf8Limited(line, kMaxLineBytes - 2) : WideToAnsi(cp, line);
        if (bytes.size() > kMaxLineBytes - 2) bytes.resize(kMaxLineBytes - 2);
        bytes += "\r\n";
        if (bytes.size() > 2) ++out.lines;
        out.bytes += bytes;
    }
    return out;
}
