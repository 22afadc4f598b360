// The upcoming-track texts and the positions remembered in ten folders (dir_history).
#include "base/text.h"
#include "library/sequence.h"

namespace {
std::wstring Cut(std::wstring text) {
    if (text.size() > kUpcomingChars) text.resize(kUpcomingChars);
    return text;
}

const std::wstring& UpcomingCell(const TrackList& list, int row) {
    const bool cue = list.kind == cueList || list.kind == cueListIdle;
    return list.rows[static_cast<size_t>(row)].cell[cue ? 3 : 0];
}

// "1234;C:\Music\a.mp3" -> "C:\Music"; the position -> *position.
std::wstring EntryFolder(const std::wstring& entry, std::wstring* track = nullptr) {
    const size_t semi = entry.find(L';');
    if (semi == std::wstring::npos) return std::wstring();
    if (track) *track = entry.substr(semi + 1);
    const size_t slash = entry.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < semi) return std::wstring();
    return entry.substr(semi + 1, slash - semi - 1);
}
}  // namespace

void UpcomingTexts(Sequencer& q) {
    const Settings& s = *q.s;
    q.upcoming1.clear();
    q.upcoming2.clear();
    const uint8_t oneShot = OneShot(q);
    if (QuitAfterTrack(q)) {
        q.upcoming1 = L"[Quit]";
        return;
    }
    if (s.rpt_mode == 3 || oneShot == 2) {
        q.upcoming1 = L"[Stop]";
        return;
    }
    if (oneShot == 1 || s.rpt_mode == 2) {
        q.upcoming1 = L"[Repeat]";
        return;
    }
    const TrackList* list = q.playingList ? q.playingList : q.fileView;
    const int n = list ? static_cast<int>(list->rows.size()) : 0;
    if (n == 0) {
        q.upcoming1 = L"[-?-]";
        return;
    }
    const int c = CurrentRowOf(*list, s);
    if (c >= 0) {
        if (c + 1 < n)
            q.upcoming1 = Cut(UpcomingCell(*list, c + 1));
        else if (static_cast<uint32_t>(s.control_flags) & ControlFlag::AutoSearchDirs)
            q.upcoming1 = L"[Seek]";
        else if (s.rpt_mode == 1)
            q.upcoming1 = L"[Repeat all]";
        else
            q.upcoming1 = L"[-?-]";
        if (c + 2 < n) q.upcoming2 = Cut(UpcomingCell(*list, c + 2));
        return;
    }
    int r = 0;
    for (int i = 0; i < n; ++i)
        if (list->rows[static_cast<size_t>(i)].selected) {
            r = i;
            break;
        }
    q.upcoming1 = Cut(UpcomingCell(*list, r));
    if (!q.upcoming1.empty() && q.upcoming1[0] == L' ') {
        q.upcoming1 = L"[-?-]";
    } else if (r + 1 < n) {
        q.upcoming2 = Cut(UpcomingCell(*list, r + 1));
    }
}

void RefreshUpcoming(Sequencer& q) {
    UpcomingTexts(q);
    if (q.ops.upcomingChanged) q.ops.upcomingChanged(q.ops.ctx);
}

void RememberFolderPosition(Sequencer& q, int64_t position) {
    Settings& s = *q.s;
    if (!(static_cast<uint32_t>(s.control_flags) & ControlFlag::RememberFolderPos)) return;
    if (!q.focusedList || q.focusedList->kind != folderList || s.last_file.empty()) return;
    std::vector<std::wstring> kept;
    bool matched = false;
    for (const std::wstring& e : s.dir_history) {
        if (e.empty()) break;
        if (SameTextNoCase(EntryFolder(e), s.last_folder))
            matched = true;
        else
            kept.push_back(e);
    }
    if (!matched && kept.size() >= kDirHistorySlots) kept.resize(kDirHistorySlots - 1);
    kept.insert(kept.begin(), std::to_wstring(position) + L";" + s.last_file);
    for (size_t i = 0; i < kDirHistorySlots; ++i)
        s.dir_history[i] = i < kept.size() ? kept[i] : L"";
}

int RecallFolderPosition(Sequencer& q, TrackList& list) {
    const Settings& s = *q.s;
    if (list.kind != folderList || SameTextNoCase(s.browsed_folder, s.last_folder)) return -1;
    for (const std::wstring& e : s.dir_history) {
        if (e.empty()) break;
        std::wstring track;
        if (!SameTextNoCase(EntryFolder(e, &track), s.browsed_folder)) continue;
        const int row = FindRow(list, track);
        if (row < 0) return -1;
        q.recallFile = track;
        q.recallPosition = ParseLeadingInt(
            std::string(e.begin(), e.begin() + static_cast<std::ptrdiff_t>(e.find(L';'))));
        return row;
    }
    return -1;
}
