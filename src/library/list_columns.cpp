// Column headers with the sort marker, and the column widths kept per list category.
#include "library/list_text.h"
#include "library/track_list.h"

namespace {
bool IsCue(const TrackList& list) {
    return list.kind == cueList || list.kind == cueListIdle;
}

// The info column's title by info_row & 0x7C00 (0x400 .. 0x2000).
int InfoTitle(const Settings& s) {
    switch (static_cast<uint32_t>(s.info_row) & 0x7C00u) {
        case 0x400:
            return LibText::InfoBitrate;
        case 0x800:
            return LibText::InfoBitrate + 1;  // "Artist - Title"
        case 0xC00:
            return LibText::TrackNumber;
        case 0x1000:
            return LibText::Length;
        case 0x1400:
            return LibText::InfoBitrate + 3;  // "kbps, kHz, Chn"
        case 0x1800:
            return LibText::InfoBitrate + 4;  // "Bitrate, Tag type"
        case 0x1C00:
            return LibText::InfoBitrate + 5;  // "Year, Album"
        case 0x2000:
            return LibText::InfoBitrate + 6;  // "Notes"
        default:
            return -1;
    }
}

// The column that shows the marker of a method, -1 for none.
int MarkedColumn(const TrackList& list, uint8_t byte) {
    if (byte & SortBits::Shuffled) return -1;
    switch (byte & SortBits::Method) {
        case kSortName:
            return list.kind <= savedFolderList ? 0 : -1;
        case kSortSize:
            return 1;
        case kSortType:
            return 2;
        case kSortDate:
        case kSortMonth:
            return 3;
        case kSortInfo:
            return 4;
        default:
            return -1;
    }
}

// Settings per column 0..3: three widths each, one per category.
settings_detail::COLS& WidthKey(Settings& s, int column) {
    switch (column) {
        case 0:
            return s.list_name;
        case 1:
            return s.list_size;
        case 2:
            return s.list_ext;
        default:
            return s.list_date;
    }
}
const settings_detail::COLS& WidthKey(const Settings& s, int column) {
    return WidthKey(const_cast<Settings&>(s), column);
}
}  // namespace

int ColumnCount(const Settings& s) {
    return s.info_row != 0 ? 5 : 4;
}

void ListHeaders(const TrackList& list, const Settings& s, const LangState& lang,
                 std::wstring out[kListColumns]) {
    auto Text = [&lang](int index) {
        return index < 0 ? std::wstring() : std::wstring(LangText(lang, index));
    };
    const uint32_t style = static_cast<uint32_t>(s.stylez);
    const uint32_t lstyle = static_cast<uint32_t>(s.list_style);
    const uint8_t byte = list.sortByte;
    const bool monthMethod =
        !(byte & SortBits::Shuffled) && (byte & SortBits::Method) == kSortMonth;

    out[0] = Text(LibText::Filename);
    if (list.role == ListRole::PlaylistView &&
        (static_cast<uint32_t>(s.playlist_win) & kPlaylistOpen))
        out[0] = Text(LibText::PlaylistPrefix) + out[0];
    if (IsCue(list)) {
        out[1] = Text(LibText::Start);
        out[2] = Text(LibText::Length);
        out[3] = Text(LibText::TrackName);
        out[4] = Text(LibText::TrackNumber);
    } else {
        if (list.timeColumn)
            out[1] = Text(LibText::Length);
        else
            out[1] = list.kind == playList ? std::wstring(L" ") : Text(LibText::Size);
        out[2] = Text(list.kind == folderList ? LibText::Type : LibText::Path);
        if (list.kind == playList)
            out[3] = Text(LibText::ListOrder);
        else if (monthMethod)
            out[3] =
                Text((lstyle & ListStyle::GroupThreeMonths) ? LibText::MonthGroup : LibText::Month);
        else
            out[3] = Text((style & Style::CreatedDate) ? LibText::Created : LibText::Modified);
        out[4] = Text(InfoTitle(s));
    }
    if (ColumnCount(s) < 5) out[4].clear();

    const int marked = MarkedColumn(list, byte);
    if (marked < 0 || marked >= ColumnCount(s)) return;
    const std::wstring marker = (byte & SortBits::Descending) ? L"  \u25BC " : L"  \u25B2 ";
    if (marked == 1)
        out[1] = marker + out[1];  // right-aligned: the marker goes in front
    else
        out[marked] += marker;
}

int WidthCategory(const TrackList& list) {
    if (list.role == ListRole::PlaylistView) return 1;
    if (IsCue(list)) return 2;
    return list.kind == folderList ? 0 : 1;
}

void ColumnWidths(const TrackList& list, const Settings& s, int widths[kListColumns]) {
    const int cat = WidthCategory(list);
    for (int c = 0; c < 4; ++c) widths[c] = WidthKey(s, c)[static_cast<size_t>(cat)];
    widths[4] = static_cast<int>(static_cast<uint32_t>(s.info_row) & 0x3FFu);
}

void StoreColumnWidths(const TrackList& list, Settings& s, const int widths[kListColumns]) {
    const int cat = WidthCategory(list);
    for (int c = 0; c < 4; ++c) WidthKey(s, c)[static_cast<size_t>(cat)] = widths[c];
    // The info column's width shares info_row with its kind: only a plausible width goes back.
    if (s.info_row != 0 && widths[4] >= 11 && widths[4] <= 1023)
        s.info_row = static_cast<int32_t>((static_cast<uint32_t>(s.info_row) & ~0x3FFu) |
                                          static_cast<uint32_t>(widths[4]));
}

void SaveListWidths(const TrackList& list, Settings& s) {
    int widths[kListColumns] = {};
    if (list.view.readWidths && list.view.readWidths(list.view.ctx, widths))
        StoreColumnWidths(list, s, widths);
}

void ApplyListWidths(const TrackList& list, const Settings& s) {
    if (!list.view.applyWidths) return;
    int widths[kListColumns];
    ColumnWidths(list, s, widths);
    list.view.applyWidths(list.view.ctx, widths);
}

void RewriteHeaders(const TrackList& list) {
    if (list.view.headersChanged) list.view.headersChanged(list.view.ctx);
}
