// A list window's model: its rows with their cell texts, its kind and sort byte, the current
// (playing) row and the selection. The list control only shows these rows (owner data); the
// core tells it what changed through ListViewOps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/lang.h"
#include "config/settings.h"
#include "library/folder_ops.h"
#include "library/list_state.h"

enum ListKind : uint8_t {
    folderList = 0,       // a file-system folder
    playList = 1,         // an .m3u or .m3u8 file
    savedFolderList = 2,  // rows that carry their own folder (restored list, finder results)
    cueList = 3,          // a cue sheet
    cueListIdle = 4,      // a cue sheet loaded while another file plays; 3 once a row starts
};

// Which of the program's three lists a TrackList is.
enum class ListRole : uint8_t { FileView, PlaylistView, InsertView };

// sortByte: bits 0-2 the method, then the descending and shuffled bits.
namespace SortBits {
constexpr uint8_t Method = 0x07, Descending = 0x08, Shuffled = 0x10;
}
// The methods of bits 0-2; 7 is unused and means no order, like 0.
constexpr uint8_t kSortNone = 0, kSortName = 1, kSortSize = 2, kSortType = 3, kSortDate = 4,
                  kSortMonth = 5, kSortInfo = 6;

constexpr int kListColumns = 5;
constexpr uint32_t kMovingRowTag = 87654321;  // marks the current row while rows move

struct ListRow {
    std::wstring cell[kListColumns];  // name, size, type, date, info
    int8_t icon = -1;                 // month 0..11, -1 none
    uint32_t tag = 0;
    bool selected = false;
};

// What the control showing the list is told; every member may be null.
struct ListViewOps {
    void (*rowsChanged)(void* ctx);          // row count or many rows changed
    void (*rowChanged)(void* ctx, int row);  // repaint one row
    void (*ensureVisible)(void* ctx, int row, bool middle);
    void (*headersChanged)(void* ctx);
    bool (*readWidths)(void* ctx, int widths[kListColumns]);  // false: nothing measured
    void (*applyWidths)(void* ctx, const int widths[kListColumns]);
    void* ctx;
};

struct TrackList {
    void* window = nullptr;  // the list control; null until it is created
    uint8_t kind = folderList;
    uint8_t sortByte = kSortName;
    uint32_t sortFallback = 0;
    uint32_t timeColumn = 0;    // set once the info scan put lengths into column 1
    uint32_t nameOnlySort = 0;  // set while a folder's navigation rows are sorted
    int32_t currentRow = -1;
    int32_t navRowCount = 0;

    ListRole role = ListRole::FileView;
    std::vector<ListRow> rows;
    int32_t focusedRow = -1;
    std::wstring folder;  // the shown folder or list file (LoadList's path)
    ListViewOps view{};
};

// The neighbouring parts that loading and sorting call; null members are skipped.
struct ListHooks {
    void (*stopInfoScan)(void* ctx, TrackList& list);
    void (*startInfoScan)(void* ctx, TrackList& list);
    // The play list and cue sheet readers; the list is empty and has its kind.
    void (*readPlayList)(void* ctx, TrackList& list, const std::wstring& path);
    void (*readCueSheet)(void* ctx, TrackList& list, const std::wstring& path);
    // The saved file list, once, when start-up asked to restore it; false when none.
    bool (*takeSavedList)(void* ctx, std::string& bytes);
    // The folder-position memory's row for this list, or -1.
    int (*recallFolderPosition)(void* ctx, TrackList& list);
    // After a load or a sort change: status line and upcoming-track texts.
    void (*listChanged)(void* ctx, TrackList& list);
    void* ctx;
};

// What list operations need besides the list itself.
struct ListEnv {
    Settings* s = nullptr;
    const FolderOps* fs = nullptr;
    const std::string* playable = nullptr;  // playableExtensions
    ListHooks hooks{};
};

// ---- rows (list_rows.cpp) ----

// A navigation row (folder, list file or parent row): its name cell begins with " [".
bool IsNavigationRow(const ListRow& row);
// Inserts a row at index (clamped to the end) and sets its month icon when the style asks.
void AddRow(TrackList& list, int index, std::wstring name, std::wstring size, std::wstring type,
            std::wstring date, const Settings& s);
// 0 no such row, 1 a track (out: its path or URL), 2 a navigation row.
int RowPath(const TrackList& list, int row, std::wstring& out, bool nameOnly);
// The row whose track path is path, or -1.
int FindRow(const TrackList& list, const std::wstring& path);
int CurrentRowOf(const TrackList& list, const Settings& s);
// False for an empty list or a row out of range.
bool SetCurrentRow(TrackList& list, int row, bool scroll);
void SelectOnly(TrackList& list, int row);
int SelectedCount(const TrackList& list);

// How an open list follows a change of the playable kinds (bass.dll loaded or unloaded).
enum class PlayableFollow : uint8_t {
    Keep,    // shut, nothing to read again, or rows the user collected
    Reload,  // read again from its folder, play list or cue sheet (LoadList)
};
PlayableFollow PlayableChangeFollow(const TrackList& list);

struct RowColours {
    int32_t text;
    int32_t back;
    bool customBack;  // false: the list's own background
};
RowColours RowColoursOf(const TrackList& list, int row, const Settings& s);

// ---- columns (list_columns.cpp) ----

int ColumnCount(const Settings& s);  // 4, or 5 with the info column
// Header texts of the columns (from the language table), with the sort marker.
void ListHeaders(const TrackList& list, const Settings& s, const LangState& lang,
                 std::wstring out[kListColumns]);
// 0 folder lists, 1 play lists, saved folder lists and the Playlist view list, 2 cue lists.
int WidthCategory(const TrackList& list);
void ColumnWidths(const TrackList& list, const Settings& s, int widths[kListColumns]);
void StoreColumnWidths(const TrackList& list, Settings& s, const int widths[kListColumns]);
// Reads the control's widths into the settings / applies the settings to the control.
void SaveListWidths(const TrackList& list, Settings& s);
void ApplyListWidths(const TrackList& list, const Settings& s);
void RewriteHeaders(const TrackList& list);

// ---- sorting (list_sort.cpp) ----

// The process-wide generator behind shuffling: rand()'s 0..32767.
void ListRandSeed(uint32_t seed);
int ListRand();

// The stored sort byte of the list's kind (the insert view keeps its own).
uint8_t SortByteOf(const TrackList& list, const Settings& s);
void StoreSortByte(const TrackList& list, Settings& s, uint8_t byte);
// Sorts rows [from, to) by the list's sortByte (Resort on the whole list) and tells the view.
// Returns false when the byte asks for no order; then the view has not been told.
bool SortRowRange(TrackList& list, const ListEnv& env, int from, int to);
bool Resort(TrackList& list, const ListEnv& env);

// The new sort byte for a header click / the cycle command.
uint8_t HeaderClickSortByte(uint8_t current, int column, const Settings& s);
uint8_t CycleSortByte(uint8_t current, const Settings& s);

// Applies a new sort byte: stores it, sorts (or reloads a play list for methods 4 and 5),
// finds the current row again, rewrites the headers. False when refused (kind above 2 or the
// track-placement lock).
bool ChangeSort(TrackList& list, const ListEnv& env, uint8_t byte);
bool OnHeaderClick(TrackList& list, const ListEnv& env, int column);
bool OnCycleSort(TrackList& list, const ListEnv& env);
bool OnShuffle(TrackList& list, const ListEnv& env);

// ---- loading (list_load.cpp) ----

// Shows path (folder, drive "D:", .m3u/.m3u8/.cue) in list. 0 when refused or the folder
// cannot be entered (the list is then empty).
int LoadList(TrackList& list, const std::wstring& path, const ListEnv& env,
             bool gotoCurrent = false);

enum class NavTarget { None, Parent, Path };
// Return or double click: what the tree has to select for the focused navigation row.
NavTarget OpenNavigationRow(const TrackList& list, std::wstring& path);

// ---- saved list state (list_state.cpp) ----

// The rows the exit saves for the file list; false when what it shows cannot be restored.
bool ListStateRowsOf(const TrackList& list, std::vector<ListStateRow>& rows);
// Replaces the rows with rows that carry their own folders (cells: name, size, folder, date,
// info), as a saved list, the Playlist view and the finder's results hold them: the list
// becomes a savedFolderList with no current or focused row. The caller tells the view.
void SetSavedFolderRows(TrackList& list, std::vector<ListStateRow> rows, const Settings& s);
// Replaces the rows with a saved list (kind savedFolderList, sort byte of that kind).
bool RestoreSavedList(TrackList& list, const std::string& bytes, const Settings& s);
