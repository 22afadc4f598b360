// The sort methods and their comparison rules, the merge sort that carries them out, and the
// header-click and cycle rules that choose the method.
#include <algorithm>
#include <vector>

#include "library/list_text.h"
#include "library/track_list.h"

namespace {
uint32_t g_randState = 1;

constexpr size_t kKeyChars = 499;  // comparisons work on 500-character cell buffers
constexpr size_t kNumberField = 20;
constexpr size_t kMaxDigitRun = 15;  // longer runs are cut, as the 20-blank field holds them

std::wstring RightAligned(std::wstring_view t) {
    std::wstring out;
    if (t.size() < kNumberField) out.assign(kNumberField - t.size(), L' ');
    out += t;
    return out;
}

// Month key: the two month digits and the date ("%c%c%s"), or with grouping one digit that
// puts the current month and its two neighbours last ("%c%s"). A short cell ends the key
// where the C text would end.
std::wstring MonthKey(const std::wstring& date, bool group, int currentMonth) {
    if (group) {
        int month = MonthIcon(date) + 1;  // 0 when the cell holds no month
        int d = currentMonth - month;
        if (d < 0) d = -d;
        return std::wstring(1, (d == 0 || d == 1 || d == 11) ? L'1' : L'0') + date;
    }
    if (date.size() <= 5) return std::wstring();
    if (date.size() == 6) return date.substr(5, 1);
    return date.substr(5, 2) + date;
}

struct Sorter {
    const TrackList& list;
    const FolderOps& fs;
    bool nameOnly, navFirst, shuffled, natural, descending;
    std::vector<std::wstring> keys;  // per row of the range, empty for the name methods
    std::vector<char> nav;
    int from;

    const std::wstring& Name(int i) const { return list.rows[static_cast<size_t>(i)].cell[0]; }

    // Names compared at their first difference: two digit runs there compare as numbers.
    int NaturalCompare(const std::wstring& a, const std::wstring& b) const {
        size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
        auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
        if (i >= a.size() || i >= b.size() || !digit(a[i]) || !digit(b[i]))
            return CollateText(fs, a.c_str(), b.c_str());
        // Two runs right-aligned in equal fields: the longer run is the larger number, runs of
        // one length compare digit by digit (blanks and digits collate in this order anywhere).
        auto runLength = [&](const std::wstring& t) {
            size_t e = i;
            while (e < t.size() && e - i < kMaxDigitRun && digit(t[e])) ++e;
            return e - i;
        };
        const size_t la = runLength(a), lb = runLength(b);
        if (la != lb) return la < lb ? -1 : 1;
        for (size_t k = i; k < i + la; ++k)
            if (a[k] != b[k]) return a[k] < b[k] ? -1 : 1;
        return 0;
    }

    int Compare(int a, int b) const {
        if (nameOnly) return CollateText(fs, Name(a).c_str(), Name(b).c_str());
        if (navFirst) {
            const bool na = nav[static_cast<size_t>(a - from)], nb = nav[static_cast<size_t>(b - from)];
            if (na != nb) return na ? -1 : 1;
            if (na) return 0;
        }
        if (shuffled) return ListRand() - 16384;
        int r;
        if (keys.empty()) {
            r = natural ? NaturalCompare(Name(a), Name(b))
                        : CollateText(fs, Name(a).c_str(), Name(b).c_str());
        } else {
            r = CollateText(fs, keys[static_cast<size_t>(a - from)].c_str(),
                            keys[static_cast<size_t>(b - from)].c_str());
        }
        return descending ? -r : r;
    }
};

std::wstring KeyOf(const ListRow& row, int method, const Settings& s, int currentMonth) {
    const uint32_t infoKind = static_cast<uint32_t>(s.info_row) & 0x7C00u;
    std::wstring key;
    switch (method) {
        case kSortSize: key = RightAligned(row.cell[1]); break;
        case kSortType: key = row.cell[2] + row.cell[0]; break;
        case kSortDate: key = row.cell[3] + row.cell[0]; break;
        case kSortMonth:
            key = MonthKey(row.cell[3],
                           static_cast<uint32_t>(s.list_style) & ListStyle::GroupThreeMonths,
                           currentMonth);
            break;
        case kSortInfo:
            // Artist/title and year/album are texts; the other info kinds are numbers.
            key = (infoKind == 0x800 || infoKind == 0x1C00) ? row.cell[4] : RightAligned(row.cell[4]);
            break;
        default: break;
    }
    if (key.size() > kKeyChars) key.resize(kKeyChars);
    return key;
}

// Bottom-up merge sort of idx. Each step takes the next element from one of two runs, so an
// inconsistent (random) comparison can reorder but never lose or repeat an element.
template <typename Cmp>
void MergeSort(std::vector<int>& idx, Cmp cmp) {
    std::vector<int> tmp(idx.size());
    const size_t n = idx.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) tmp[k++] = cmp(idx[j], idx[i]) < 0 ? idx[j++] : idx[i++];
            while (i < mid) tmp[k++] = idx[i++];
            while (j < hi) tmp[k++] = idx[j++];
        }
        idx.swap(tmp);
    }
}
}  // namespace

void ListRandSeed(uint32_t seed) { g_randState = seed; }

int ListRand() {
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

uint8_t SortByteOf(const TrackList& list, const Settings& s) {
    if (list.role == ListRole::InsertView) return list.sortByte;
    const uint32_t all = static_cast<uint32_t>(s.file_sort);
    const int shift = list.kind == savedFolderList ? 8 : list.kind == playList ? 16 : 0;
    return static_cast<uint8_t>(all >> shift);
}

void StoreSortByte(const TrackList& list, Settings& s, uint8_t byte) {
    if (list.role == ListRole::InsertView) return;
    const int shift = list.kind == savedFolderList ? 8 : list.kind == playList ? 16 : 0;
    uint32_t all = static_cast<uint32_t>(s.file_sort) & ~(0xFFu << shift);
    s.file_sort = static_cast<int32_t>(all | (uint32_t{byte} << shift));
}

bool SortRowRange(TrackList& list, const ListEnv& env, int from, int to) {
    const Settings& s = *env.s;
    const uint8_t byte = list.sortByte;
    const int method = byte & SortBits::Method;
    Sorter so{list, *env.fs, list.nameOnlySort != 0,
              (static_cast<uint32_t>(s.control_flags) & ControlFlag::FoldersInFileView) != 0,
              (byte & SortBits::Shuffled) != 0,
              (static_cast<uint32_t>(s.list_style) & ListStyle::NaturalOrder) != 0,
              (byte & SortBits::Descending) != 0, {}, {}, from};
    if (!so.nameOnly && !so.shuffled) {
        if (method == kSortNone || method == 7) return false;
        // A play list's date or month order is its own order: the caller reloads it.
        if (list.kind == playList && (method == kSortDate || method == kSortMonth)) return false;
    }
    if (to - from < 2) {
        // Nothing to move, but the caller counts on the view being told as after a sort (a
        // folder of one track showed no row).
        if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
        return true;
    }

    const int month = env.fs->currentMonth ? env.fs->currentMonth(env.fs->ctx) : 1;
    for (int i = from; i < to; ++i) {
        const ListRow& r = list.rows[static_cast<size_t>(i)];
        so.nav.push_back(IsNavigationRow(r));
        if (!so.nameOnly && !so.shuffled && method != kSortName) so.keys.push_back(KeyOf(r, method, s, month));
    }
    std::vector<int> idx;
    for (int i = from; i < to; ++i) idx.push_back(i);
    auto cmp = [&so](int a, int b) { return so.Compare(a, b); };
    if (so.shuffled && !so.nameOnly) {
        ListRandSeed(env.fs->tickCount ? env.fs->tickCount(env.fs->ctx) : 1);
        MergeSort(idx, cmp);
    }
    MergeSort(idx, cmp);

    std::vector<ListRow> sorted;
    sorted.reserve(idx.size());
    std::vector<int> newPos(idx.size());
    for (size_t k = 0; k < idx.size(); ++k) {
        sorted.push_back(std::move(list.rows[static_cast<size_t>(idx[k])]));
        newPos[static_cast<size_t>(idx[k] - from)] = from + static_cast<int>(k);
    }
    for (size_t k = 0; k < sorted.size(); ++k) list.rows[static_cast<size_t>(from) + k] = std::move(sorted[k]);
    auto follow = [&](int32_t& row) {
        if (row >= from && row < to) row = newPos[static_cast<size_t>(row - from)];
    };
    follow(list.currentRow);
    follow(list.focusedRow);
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    return true;
}

bool Resort(TrackList& list, const ListEnv& env) {
    return SortRowRange(list, env, 0, static_cast<int>(list.rows.size()));
}

uint8_t HeaderClickSortByte(uint8_t current, int column, const Settings& s) {
    const bool shuffled = current & SortBits::Shuffled;
    const int method = shuffled ? 0 : current & SortBits::Method;
    const bool desc = !shuffled && (current & SortBits::Descending);
    const bool monthOn = static_cast<uint32_t>(s.list_style) &
                         (ListStyle::SortByMonth | ListStyle::GroupThreeMonths);
    static constexpr int kColumnMethod[kListColumns] = {kSortName, kSortSize, kSortType, 0, kSortInfo};
    if (column < 0 || column >= kListColumns) return current;
    if (column == 3) {
        if (method == kSortDate) return desc ? kSortDate : (monthOn ? kSortMonth : kSortDate) | SortBits::Descending;
        if (method == kSortMonth) return desc ? kSortMonth : kSortDate | SortBits::Descending;
        return kSortDate | SortBits::Descending;
    }
    const int m = kColumnMethod[column];
    if (m == method) return static_cast<uint8_t>(m | (desc ? 0 : SortBits::Descending));
    return static_cast<uint8_t>(m);
}

uint8_t CycleSortByte(uint8_t current, const Settings& s) {
    const bool monthOn = static_cast<uint32_t>(s.list_style) &
                         (ListStyle::SortByMonth | ListStyle::GroupThreeMonths);
    const uint8_t infoOrShuffle = s.info_row != 0 ? kSortInfo : SortBits::Shuffled;
    if (current & SortBits::Shuffled) return kSortName;
    switch (current & SortBits::Method) {
        case kSortName: return kSortSize;
        case kSortSize: return kSortType;
        case kSortType: return kSortDate | SortBits::Descending;
        case kSortDate: return monthOn ? kSortMonth | SortBits::Descending : infoOrShuffle;
        case kSortMonth: return infoOrShuffle;
        case kSortInfo: return SortBits::Shuffled;
        default: return kSortName;
    }
}

bool ChangeSort(TrackList& list, const ListEnv& env, uint8_t byte) {
    Settings& s = *env.s;
    if (list.kind > savedFolderList) return false;
    if (static_cast<uint32_t>(s.control_lock) & ControlLock::TrackPlacement) return false;
    list.sortByte = byte;
    StoreSortByte(list, s, byte);
    const int method = byte & SortBits::Method;
    if (list.kind == playList && !(byte & SortBits::Shuffled) &&
        (method == kSortDate || method == kSortMonth)) {
        // Reading the file again restores the list order.
        list.rows.clear();
        list.currentRow = -1;
        list.focusedRow = -1;
        if (env.hooks.readPlayList) env.hooks.readPlayList(env.hooks.ctx, list, list.folder);
        if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    } else {
        Resort(list, env);
    }
    if (!s.last_file.empty()) {
        const int row = FindRow(list, s.last_file);
        if (row >= 0) SetCurrentRow(list, row, true);
    }
    RewriteHeaders(list);
    if (env.hooks.listChanged) env.hooks.listChanged(env.hooks.ctx, list);
    return true;
}

bool OnHeaderClick(TrackList& list, const ListEnv& env, int column) {
    if (list.kind > savedFolderList) return false;
    return ChangeSort(list, env, HeaderClickSortByte(list.sortByte, column, *env.s));
}

bool OnCycleSort(TrackList& list, const ListEnv& env) {
    if (list.kind > savedFolderList) return false;
    return ChangeSort(list, env, CycleSortByte(list.sortByte, *env.s));
}

bool OnShuffle(TrackList& list, const ListEnv& env) {
    if (list.kind > savedFolderList) return false;
    return ChangeSort(list, env, SortBits::Shuffled);
}
