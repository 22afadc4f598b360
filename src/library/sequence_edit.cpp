// Skip, Next and the moves of selected rows. The playing row is tagged before rows move and
// found again by its tag afterwards, so the mark stays on its track.
#include <algorithm>

#include "library/sequence.h"

namespace {
int Count(const TrackList& l) {
    return static_cast<int>(l.rows.size());
}

void TagCurrent(TrackList& list, const Settings& s) {
    for (ListRow& r : list.rows) r.tag = 0;
    const int c = CurrentRowOf(list, s);
    if (c >= 0 && c < Count(list)) list.rows[static_cast<size_t>(c)].tag = kMovingRowTag;
}

int Tagged(const TrackList& list) {
    for (int i = 0; i < Count(list); ++i)
        if (list.rows[static_cast<size_t>(i)].tag == kMovingRowTag) return i;
    return -1;
}

// The current row again by its tag (or, when asked, by last_file); the tag is cleared.
void Refind(TrackList& list, const Settings& s, bool byFile) {
    int row = Tagged(list);
    if (row >= 0) list.rows[static_cast<size_t>(row)].tag = 0;
    if (row < 0 && byFile && !s.last_file.empty()) row = FindRow(list, s.last_file);
    list.currentRow = row;
}

// Takes the selected rows below the navigation rows out, in list order; with keepTagged the
// tagged row stays in place. before: how many were taken above index `mark`.
std::vector<ListRow> TakeSelected(TrackList& list, bool keepTagged, int mark, int* before) {
    std::vector<ListRow> taken;
    int above = 0;
    std::vector<ListRow> kept;
    for (int i = 0; i < Count(list); ++i) {
        ListRow& r = list.rows[static_cast<size_t>(i)];
        if (r.selected && i >= list.navRowCount && !(keepTagged && r.tag == kMovingRowTag)) {
            if (i < mark) ++above;
            taken.push_back(std::move(r));
        } else {
            kept.push_back(std::move(r));
        }
    }
    list.rows = std::move(kept);
    if (before) *before = above;
    return taken;
}

void PutBack(TrackList& list, int index, std::vector<ListRow> rows) {
    for (ListRow& r : list.rows) r.selected = false;
    index = std::clamp(index, std::min(list.navRowCount, Count(list)), Count(list));
    for (ListRow& r : rows) r.selected = true;
    list.rows.insert(list.rows.begin() + index, std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
    list.focusedRow = index;
}

void Done(Sequencer& q, TrackList& list) {
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    if (q.ops.listChanged) q.ops.listChanged(q.ops.ctx, list);
    RefreshUpcoming(q);
}

int FirstSelected(const TrackList& list) {
    for (int i = 0; i < Count(list); ++i)
        if (list.rows[static_cast<size_t>(i)].selected) return i;
    return -1;
}
}  // namespace

bool RowEditsAllowed(const TrackList& list, const Settings& s) {
    if (list.kind > savedFolderList) return false;
    return !(list.kind == folderList &&
             (static_cast<uint32_t>(s.control_flags) & ControlFlag::AutoReloadDir));
}

bool SkipRows(Sequencer& q, TrackList& list) {
    const Settings& s = *q.s;
    if (!RowEditsAllowed(list, s)) return false;
    TagCurrent(list, s);
    int lastRemovedAt = -1;
    if (SelectedCount(list) == 0) {
        const int c = Tagged(list);
        if (c < 0) return false;
        list.rows.erase(list.rows.begin() + c);
        lastRemovedAt = c;
    } else {
        // Removed top-down, so each later removal happens at its index less those above it.
        int removed = 0;
        std::vector<ListRow> kept;
        for (int i = 0; i < Count(list); ++i) {
            ListRow& r = list.rows[static_cast<size_t>(i)];
            if (r.selected && i >= list.navRowCount) {
                lastRemovedAt = i - removed++;
            } else {
                kept.push_back(std::move(r));
            }
        }
        if (lastRemovedAt < 0) return false;
        list.rows = std::move(kept);
    }
    Refind(list, s, false);
    if (!list.rows.empty()) {
        SelectOnly(list, lastRemovedAt);
    } else {
        list.focusedRow = -1;
    }
    Done(q, list);
    return true;
}

bool MoveRowsNext(Sequencer& q, TrackList& list) {
    const Settings& s = *q.s;
    if (!RowEditsAllowed(list, s)) return false;
    const int first = FirstSelected(list);
    if (first < 0 || IsNavigationRow(list.rows[static_cast<size_t>(first)])) return false;
    TagCurrent(list, s);
    std::vector<ListRow> moved = TakeSelected(list, true, 0, nullptr);
    if (moved.empty()) return false;
    const int current = Tagged(list);
    PutBack(list, current >= 0 ? current + 1 : list.navRowCount, std::move(moved));
    Refind(list, s, true);
    Done(q, list);
    return true;
}

bool MoveRows(Sequencer& q, TrackList& list, int delta) {
    const Settings& s = *q.s;
    if (!RowEditsAllowed(list, s) || SelectedCount(list) != 1) return false;
    const int from = FirstSelected(list);
    if (from < list.navRowCount) return false;
    const int to = std::clamp(from + delta, list.navRowCount, Count(list) - 1);
    if (to == from) return false;
    TagCurrent(list, s);
    ListRow row = std::move(list.rows[static_cast<size_t>(from)]);
    list.rows.erase(list.rows.begin() + from);
    list.rows.insert(list.rows.begin() + to, std::move(row));
    list.focusedRow = to;
    Refind(list, s, true);
    Done(q, list);
    return true;
}

bool MoveRowsToFocus(Sequencer& q, TrackList& list) {
    const Settings& s = *q.s;
    if (!RowEditsAllowed(list, s)) return false;
    const int target = list.focusedRow;
    if (target < 0 || target >= Count(list) || list.rows[static_cast<size_t>(target)].selected)
        return false;
    TagCurrent(list, s);  // a dragged playing row moves with the others, still tagged
    int above = 0;
    std::vector<ListRow> moved = TakeSelected(list, false, target, &above);
    if (moved.empty()) return false;
    PutBack(list, target - above, std::move(moved));
    Refind(list, s, true);
    Done(q, list);
    return true;
}
