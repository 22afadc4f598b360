#include "library/insert_view.h"

#include <cstdio>
#include <cwchar>

#include "library/playlist_file.h"

namespace {

bool IsInsertedRow(const TrackList& list, int row) {
    if (row < 0 || row >= static_cast<int>(list.rows.size())) return false;
    const std::wstring& name = list.rows[static_cast<size_t>(row)].cell[0];
    return name.size() > 1 && name[1] == L':';
}

int FirstSelected(const TrackList& list) {
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].selected) return static_cast<int>(i);
    return -1;
}

int Field(std::string_view text, size_t at, size_t width) {
    if (at + width > text.size()) return -1;
    int v = 0;
    for (size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

}  // namespace

int InsertInterval(int p) {
    if (p < 1) p = 1;
    if (p > kInsertSliderMax) p = kInsertSliderMax;
    return p <= 14 ? p : (p - 12) * 5;
}

std::wstring InsertStatusText(std::wstring_view format, int interval, int next) {
    // The language entry is a printf format with two numbers; anything else shows both plainly.
    const std::wstring f(format);
    size_t conversions = 0;
    for (size_t i = 0; i + 1 < f.size(); ++i)
        if (f[i] == L'%') {
            if (f[i + 1] == L'%') {
                ++i;
                continue;
            }
            ++conversions;
            if (f.compare(i, 4, L"%02d") != 0 && f.compare(i, 2, L"%d") != 0) conversions = 99;
        }
    wchar_t out[256];
    if (conversions == 2)
        std::swprintf(out, 256, f.c_str(), interval, next);
    else
        std::swprintf(out, 256, L"%02d %02d", interval, next);
    return out;
}

bool ReadInsertStatus(std::wstring_view text, int& interval, int& next) {
    int found = 0, values[2] = {0, 0};
    for (size_t i = 0; i < text.size() && found < 2;) {
        if (text[i] < L'0' || text[i] > L'9') {
            ++i;
            continue;
        }
        int v = 0;
        for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
            v = v < 100000 ? v * 10 + (text[i] - L'0') : v;
        values[found++] = v;
    }
    if (found < 2) return false;
    interval = values[0];
    next = values[1];
    return true;
}

bool InsertMinuteTick(int interval, int& next) {
    if (next < 2) {
        next = interval;
        return true;
    }
    --next;
    return false;
}

InsertLayout ReadInsertLayout(std::string_view text) {
    InsertLayout l;
    int geometry[4], widths[4];
    for (int i = 0; i < 4; ++i) geometry[i] = Field(text, static_cast<size_t>(i) * 6, 5);
    for (int i = 0; i < 4; ++i) widths[i] = Field(text, 24 + static_cast<size_t>(i) * 5, 4);
    const int slider = Field(text, 44, 3);
    if (geometry[0] >= 0 && geometry[1] >= 0 && geometry[2] > 0 && geometry[3] > 0) {
        // Stored modulo 65536: positions left of or above the screen come back negative.
        auto signedPos = [](int v) { return v >= 32768 ? v - 65536 : v; };
        l.x = signedPos(geometry[0]);
        l.y = signedPos(geometry[1]);
        l.width = geometry[2];
        l.height = geometry[3];
    }
    if (widths[0] >= 0 && widths[1] >= 0 && widths[2] >= 0 && widths[3] >= 0)
        for (int i = 0; i < 4; ++i) l.widths[i] = widths[i];
    if (slider >= 0)
        l.slider = slider < 1 ? 1 : (slider > kInsertSliderMax ? kInsertSliderMax : slider);
    return l;
}

std::string InsertLayoutText(const InsertLayout& l) {
    auto mod = [](int v) { return static_cast<int>(static_cast<unsigned>(v) % 65536u); };
    auto clip = [](int v, int max) { return v < 0 ? 0 : (v > max ? max : v); };
    char out[64];
    std::snprintf(out, sizeof out, "%.5d,%.5d,%.5d,%.5d,%.4d,%.4d,%.4d,%.4d,%.3d", mod(l.x),
                  mod(l.y), mod(l.width), mod(l.height), clip(l.widths[0], 9999),
                  clip(l.widths[1], 9999), clip(l.widths[2], 9999), clip(l.widths[3], 9999),
                  clip(l.slider, 999));
    return out;
}

int InsertTracks(TrackList& view, TrackList& target, bool targetIsPlaylist, InsertMode mode,
                 const FolderOps& fs, const Settings& s) {
    const int current = target.currentRow;
    int at;
    if (mode == InsertMode::Timed) {
        if (IsInsertedRow(target, current) || IsInsertedRow(target, current + 1)) return -1;
        at = current + 1;
    } else {
        const int selected = FirstSelected(target);
        at = (selected >= 0 ? selected : current) + 1;
    }
    if (at < 0) at = 0;
    int first = FirstSelected(view);
    const bool onlyFirst = first < 0;
    if (onlyFirst) first = 0;
    std::vector<ListRow> rows;
    for (int i = first; i < static_cast<int>(view.rows.size()); ++i) {
        const ListRow& r = view.rows[static_cast<size_t>(i)];
        if (i > first && onlyFirst) break;
        if (!r.selected && !onlyFirst) continue;
        if (r.cell[2] == L"DIR " || r.cell[2] == L"LIST ") break;  // a folder or list ends the run
        std::wstring path;
        if (RowPath(view, i, path, false) != 1) break;
        if (targetIsPlaylist) {
            rows.push_back(PlaylistRowOf(path, fs, s));
        } else {
            ListRow row;
            row.cell[0] = path;
            rows.push_back(std::move(row));
        }
    }
    const int n = static_cast<int>(rows.size());
    if (n) InsertRowsKeepingCurrent(target, at, std::move(rows));
    if (mode == InsertMode::Timed && !view.rows.empty()) {
        const int next = first + 1 < static_cast<int>(view.rows.size()) ? first + 1 : 0;
        SelectOnly(view, next);
        view.focusedRow = next;
    }
    return n;
}
