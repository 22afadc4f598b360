// The Insert view's rules: the interval its slider stands for, the countdown kept in its status
// text, its stored geometry (`autoinsert`), and the insert itself: tracks of the Insert view put
// into the playing list just after the current (or selected) row, by hand or every N minutes.
#pragma once
#include <string>
#include <string_view>

#include "library/folder_ops.h"
#include "library/track_list.h"

constexpr int kInsertSliderMax = 30;
constexpr unsigned kInsertTickMs = 60000;

// Minutes between timed inserts for slider position p (1..30; below 1 counts as 1): p up to 14,
// then (p - 12) * 5 (15, 20, ..., 90).
int InsertInterval(int sliderPos);

// The status text from the language entry ("Insert every %02d minutes, next in %02d
// minutes"), and N and M read back from it (its first two runs of digits).
std::wstring InsertStatusText(std::wstring_view format, int interval, int next);
bool ReadInsertStatus(std::wstring_view text, int& interval, int& next);

// One minute passed: true when a timed insert is due now (M below 2), and M counts down or
// starts again at N.
bool InsertMinuteTick(int interval, int& next);

// `autoinsert`: "%.5d,%.5d,%.5d,%.5d," x, y, width, height (each modulo 65536), then
// "%.4d,%.4d,%.4d,%.4d,%.3d" the four column widths and the slider position.
struct InsertLayout {
    int x = 10, y = 10, width = 500, height = 400;
    int widths[4] = {300, 60, 60, 60};
    int slider = 10;
};
InsertLayout ReadInsertLayout(std::string_view text);
std::string InsertLayoutText(const InsertLayout& l);

enum class InsertMode { Manual, Timed };

// Inserts Insert-view tracks into `target` (the playing list; a Playlist view gets full play
// list rows, the File view rows whose name is the full path). Manual: after the target's first
// selected row, else after its current row; timed: after its current row, not at all when the
// current row or the one after it is an inserted track. The rows taken are the view's selected
// rows in order (its first row when none is selected), up to a folder or list row. A timed
// insert moves the view's selection on by one row (round to the top). Returns the tracks
// inserted, -1 when a timed insert was skipped.
int InsertTracks(TrackList& view, TrackList& target, bool targetIsPlaylist, InsertMode mode,
                 const FolderOps& fs, const Settings& s);
