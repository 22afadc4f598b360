#include "tools/small_tools.h"

#include <cwchar>

#include "base/path.h"
#include "library/list_text.h"

namespace {

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
}

std::wstring Lowered(std::wstring_view text, size_t max) {
    std::wstring out(text.substr(0, max));
    for (wchar_t& c : out) c = LowerAscii(c);
    return out;
}

int FindFrom(const FindState& st, const std::wstring& needle, const TrackList& list) {
    for (size_t i = static_cast<size_t>(st.lastIndex + 1); i < list.rows.size(); ++i)
        if (Lowered(list.rows[i].cell[0], kFindNameMax).find(needle) != std::wstring::npos)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

GoToTarget ClassifyGoTo(std::wstring_view typed, std::wstring_view browsedFolder,
                        std::string_view playable) {
    const std::wstring_view t = typed.substr(0, kMaxPath);
    GoToTarget g;
    std::wstring folder;
    const size_t dot = t.find_last_of(L'.');
    if (IsUrl(t)) {
        g.kind = GoToKind::Address;
        g.play = std::wstring(t);
        folder = std::wstring(browsedFolder);
    } else if (dot != std::wstring_view::npos && PlayableKind(t.substr(dot + 1), playable) != 0) {
        g.kind = GoToKind::File;
        g.play = std::wstring(t);
        const size_t slash = t.find_last_of(L'\\');
        folder = std::wstring(slash == std::wstring_view::npos ? std::wstring_view()
                                                               : t.substr(0, slash));
    } else {
        folder = std::wstring(t);
    }
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    g.locate = folder;
    return g;
}

void FindOpened(FindState& st) {
    st.lastIndex = -1;
    st.found = false;
}

void FindEdited(FindState& st) {
    st.found = false;
}

int FindNext(FindState& st, std::wstring_view box, const TrackList& list) {
    st.text = std::wstring(box.substr(0, kFindTextMax));
    if (st.text.size() < 2) return -1;
    const std::wstring needle = Lowered(st.text, kFindTextMax);
    int row = FindFrom(st, needle, list);
    if (row < 0) {
        st.lastIndex = -1;
        if (st.found) row = FindFrom(st, needle, list);  // once more from the top
    }
    if (row < 0) return -1;
    st.lastIndex = row;
    st.found = true;
    return row;
}

bool NoteOfSelection(const TrackList& list, int32_t infoRow, std::wstring& note) {
    if (infoRow == 0) return false;
    for (const ListRow& r : list.rows) {
        if (!r.selected) continue;
        note = r.cell[kNoteCell].substr(0, kNoteMax);
        return true;
    }
    return false;
}

bool SetNoteOfSelection(TrackList& list, std::wstring_view text) {
    for (size_t i = 0; i < list.rows.size(); ++i) {
        if (!list.rows[i].selected) continue;
        list.rows[i].cell[kNoteCell] = std::wstring(text.substr(0, kNoteMax));
        if (list.view.rowChanged) list.view.rowChanged(list.view.ctx, static_cast<int>(i));
        return true;
    }
    return false;
}

bool BeatTap(BeatCounter& c, uint32_t nowMs, std::wstring& text) {
    const uint32_t before = c.beats++;
    if (before == 0) {
        c.firstMs = nowMs;
        return false;
    }
    const uint32_t elapsed = nowMs - c.firstMs;  // the tick count may wrap
    if (elapsed == 0) return false;
    wchar_t buf[48];
    std::swprintf(buf, 48, L"BPM: %.0f", 60000.0 / (static_cast<double>(elapsed) / before));
    text = buf;
    return true;
}
