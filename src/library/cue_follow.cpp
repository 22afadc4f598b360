// Cue list lengths and byte positions, following the play position through the tracks, the
// title's cue part and the "Find C&ue sheet" search.
#include <cstdio>

#include "base/path.h"
#include "base/utf.h"
#include "library/cue.h"
#include "library/list_text.h"

namespace {
constexpr int64_t kFollowWindow = 10000;  // positions past a track's end that still look it up
constexpr size_t kCueHeadBytes = 5000;    // what "Find C&ue sheet" reads of each sheet

bool SameFile(const TrackList& list, int a, int b) {
    return list.rows[static_cast<size_t>(a)].cell[0] == list.rows[static_cast<size_t>(b)].cell[0];
}
}  // namespace

void FillCueLengths(TrackList& list, int from, int to, const CueReadEnv& env) {
    if (from < 0 || to > static_cast<int>(list.rows.size()) || from >= to) return;
    const std::wstring file = list.rows[static_cast<size_t>(from)].cell[0];
    const CueAudioOps& a = env.audio;
    const uint32_t total = a.totalMs ? a.totalMs(a.ctx, file) : 0;
    const bool bytes = (static_cast<uint32_t>(env.s->list_style) & ListStyle::CueVbrPositions) &&
                       a.hasFrameIndex && a.bytePosition && a.hasFrameIndex(a.ctx, file);
    int64_t bytePos = 0;
    for (int i = from; i < to; ++i) {
        ListRow& row = list.rows[static_cast<size_t>(i)];
        const uint32_t start = CueTimeMs(row.cell[1]);
        uint32_t end = i + 1 < to ? CueTimeMs(list.rows[static_cast<size_t>(i) + 1].cell[1])
                                  : (total >= 1 ? total : start);
        if (start > total || end > total || end < start) end = start;
        row.cell[2] = end == start ? L"???" : FormatTrackTime(end - start, *env.s);
        if (bytes) {
            bytePos = a.bytePosition(a.ctx, file, bytePos, start);
            // Ten blanks, "#" and the position as ten digits.
            std::wstring digits = std::to_wstring(bytePos < 0 ? 0 : bytePos);
            if (digits.size() < 10) digits.insert(0, 10 - digits.size(), L'0');
            row.cell[2] += L"          #" + digits;
        }
    }
}

int64_t CueRowStart(const ListRow& row, bool* byteUnit) {
    const size_t hash = row.cell[2].find(L'#');
    if (byteUnit) *byteUnit = hash != std::wstring::npos;
    if (hash == std::wstring::npos) return CueTimeMs(row.cell[1]);
    int64_t v = 0;
    for (size_t i = hash + 1;
         i < row.cell[2].size() && row.cell[2][i] >= L'0' && row.cell[2][i] <= L'9'; ++i)
        v = v * 10 + (row.cell[2][i] - L'0');
    return v;
}

bool FollowCuePosition(TrackList& list, CueState& cue, const Settings& s, int64_t position,
                       int64_t audioEnd) {
    const bool nearEnd = position >= cue.cueTrackEnd && position - cue.cueTrackEnd < kFollowWindow;
    if (!cue.cuePositionStale && !nearEnd) return false;
    const int n = static_cast<int>(list.rows.size());
    int row = list.currentRow >= 0 && list.currentRow < n
                  ? list.currentRow
                  : (s.last_file.empty() ? -1 : FindRow(list, s.last_file));
    if (row < 0) return false;
    // After a seek back the walk starts at the first row of the file that does not lie beyond.
    while (row > 0 && SameFile(list, row - 1, row) &&
           CueRowStart(list.rows[static_cast<size_t>(row)]) > position)
        --row;
    int64_t start = 0, end = 0;
    for (;; ++row) {
        start = CueRowStart(list.rows[static_cast<size_t>(row)]);
        const bool last = row + 1 >= n || !SameFile(list, row, row + 1);
        end = last ? audioEnd : CueRowStart(list.rows[static_cast<size_t>(row) + 1]);
        if (end > position || last) break;
    }
    SetCurrentRow(list, row, true);
    cue.cueTrackStart = start;
    cue.cueTrackEnd = end;
    cue.cueTrackNumber = row + 1;
    cue.cueTrackName = list.rows[static_cast<size_t>(row)].cell[3];
    cue.cuePositionStale = false;
    return true;
}

std::wstring CueTitleText(const CueState& cue) {
    wchar_t buf[512];
    const bool unnamed = cue.cueTrackName.empty() || cue.cueTrackName == L" ";
    if (unnamed)
        std::swprintf(buf, 512, L"Cue %.2d (%ls)", cue.cueTrackNumber, cue.cueTitle.c_str());
    else
        std::swprintf(buf, 512, L"%ls (%ls)", cue.cueTrackName.c_str(), cue.cueTitle.c_str());
    return buf;
}

bool CueSearchName(const TrackList& list, std::wstring& name) {
    for (const ListRow& r : list.rows) {
        if (!r.selected) continue;
        if (IsNavigationRow(r)) return false;
        name = r.cell[0];
        return !name.empty();
    }
    return false;
}

std::wstring FindCueSheet(const std::wstring& name, const std::wstring& folder, const FolderOps& fs,
                          ReadHeadFn readHead, void* readCtx, const CodePage& codePage) {
    std::vector<DirEntry> sheets;
    if (name.empty() || !ListFolder(fs, folder, L"*.cue", sheets)) return std::wstring();
    for (const DirEntry& e : sheets) {
        if (e.attributes & EntryAttr::Directory) continue;
        const std::wstring path = PathJoin(folder, e.name);
        std::string head;
        if (!readHead(readCtx, path, kCueHeadBytes, head)) continue;
        const bool bom = head.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const std::wstring text =
            bom ? Utf8ToWide(std::string_view(head).substr(3)) : AnsiToWide(codePage, head);
        if (text.find(name) != std::wstring::npos) return path;
    }
    return std::wstring();
}
