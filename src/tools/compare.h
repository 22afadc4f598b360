// Compare folders: the rows of a base folder and a compare folder in one table, pairs that
// match by relative name, size and date taken out, the differences left. Everything the dialog
// decides is here: the rows and their cells, the pair walk, Prev/Next over sibling folders,
// the colours, the header sort, the context menu, the questions and the safe copy of a row's
// file onto its counterpart. The dialog (compare_win.cpp) lists folders, shows and asks.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/timefmt.h"
#include "config/settings.h"
#include "tools/file_date.h"
#include "ui/menus.h"

enum class CompareSide : uint8_t { Base, Comp, Other };

// The table's four cells.
struct CompareRow {
    std::wstring file;     // path relative to its side's folder ("sub\name.mp3")
    std::wstring size;     // SizeText
    std::wstring date;     // "%d-%.2d-%.2d %.2d:%.2d" of the last write, or " " (dates hidden)
    std::wstring located;  // side mark and the start of the folder the file lies in
};

// "Base     " / "Comp    " and the first 16 characters of folder, then "...".
std::wstring CompareLocated(CompareSide side, std::wstring_view folder);
// The side a "Located" cell names: its first four letters "Base" or "Comp", else Other.
CompareSide CompareSideOf(std::wstring_view located);

// One entry of a folder listing.
struct CompareEntry {
    std::wstring name;
    bool directory = false;
    uint64_t size = 0;
    LocalTime written{};  // last write, local time
};

// The text comparison of the platform (case-sensitive, locale-aware): < 0, 0, > 0.
struct CompareText {
    void* ctx = nullptr;
    int (*compare)(void* ctx, const std::wstring& a, const std::wstring& b) = nullptr;
};

// What the comparison needs of the system.
struct CompareFs {
    void* ctx = nullptr;
    // The entries of folder (ending in "\"), "." and ".." left out; false when it cannot be
    // listed (it then contributes nothing).
    bool (*list)(void* ctx, const std::wstring& folder, std::vector<CompareEntry>& out) = nullptr;
    // A local date as a UTC file time (100 ns since 1601); false when it does not convert.
    bool (*localToUtc)(void* ctx, const DateFields& local, uint64_t& fileTime) = nullptr;
    // Called after each folder listed, with the files found so far; true stops the fill.
    bool (*progress)(void* ctx, int files) = nullptr;
};

// Appends the files below root (ending in "\") as rows of `side`: only root's own files, or
// with "Scan subfolders" (CompareFlag::ScanSubfolders in bits) every folder below it too.
// Returns the number of files added; -1 when progress asked to stop.
int CompareFillSide(const CompareFs& fs, const std::wstring& root, CompareSide side,
                    uint32_t bits, const Settings& s, std::vector<CompareRow>& rows);

// Whether two date cells name the same time within the tolerance: equal texts are; else both
// are read by position as local times, made UTC file times and their upper 32 bits (units of
// 2^32 x 100 ns, about 7 minutes) compared: more than 10 apart differ. A text that does not
// read or convert differs.
bool CompareDatesMatch(std::wstring_view a, std::wstring_view b, const CompareFs& fs);

// The table after a refresh: rows ordered by their first cells (stable, as the sorted table
// orders them), then walked in pairs: two neighbours with the same first cell, size text and
// date (within the tolerance) leave the table; every other row counts as a difference.
// Returns the difference count.
int CompareRemoveEqualPairs(std::vector<CompareRow>& rows, const CompareText& text,
                            const CompareFs& fs);

struct CompareCounts {
    int base = 0, comp = 0, diffs = 0;
};
// "%d  files" and "%d  diffs".
std::wstring CompareFilesText(int n);
std::wstring CompareDiffsText(int n);

// ---- Prev and Next ----

enum class CompareStep {
    Moved,        // out holds the sibling's path
    NoBackslash,  // the path has no "\"
    NotFound,     // its own name is not among the parent's sub-folders
    AtEnd,        // the first (Prev) or the last (Next) sub-folder
};
// The sub-folder before (Prev) or after (Next) `path` in its parent. `siblings` are the names
// of the parent's sub-folders; they are ordered here with text.compare, as the table orders
// them, and `siblings` keeps that order (the table shows them).
CompareStep CompareSiblingStep(std::wstring_view path, std::vector<std::wstring>& siblings,
                               bool next, const CompareText& text, std::wstring& out);
// The parent folder of a box's path with its "\" ("C:\Music\" of "C:\Music\A"); empty
// without a backslash.
std::wstring CompareParentOf(std::wstring_view path);

// ---- drawing and sorting ----

struct CompareColours {
    uint32_t text = 0;  // COLORREF layout: 0x00BBGGRR
    uint32_t back = 0;
};
// Red text for base rows, blue for compare rows, grey otherwise; odd rows 0xF0F0F0, even
// rows white, or 0xE0E0E0 in dark mode with more dark dialogs.
CompareColours CompareRowColours(std::wstring_view located, int row, bool darkDialogs);

// The sort byte after a click on header `column`: bits 0-2 the method (column 0: 1, 1: 2,
// 2: 4, 3: 3), bit 3 descending; the same method again toggles the direction, column 2
// starts descending.
uint8_t CompareHeaderClick(uint8_t sortByte, int column);
// The key a method orders by.
std::wstring CompareSortKey(uint8_t method, const CompareRow& row);
// The header sort's comparison of two rows under sortByte.
int CompareSortRows(uint8_t sortByte, const CompareRow& a, const CompareRow& b,
                    const CompareText& text);

// ---- the context menu and its commands ----

enum : unsigned {
    kCmpCopy = 851,
    kCmpMove = 852,
    kCmpDelete = 853,
    kCmpRename = 854,
    kCmpExternal1 = 855,  // to 857
    kCmpExplore = 858,
    kCmpEasyRenamer = 859,
    kCmpNameAndDate = 860,
    kCmpOpen = 861,
};

// 1 for each base row, 2 for each compare row, 4 for any other, or-ed together.
int CompareSelectionMask(const std::vector<std::wstring>& locatedCells);
// The menu for `selected` rows with that mask; launch are applaunch1 to applaunch3.
Menu CompareMenu(int mask, int selected, const std::wstring* const launch[3]);

enum class CompareAction { Copy, Move, Delete };
// "Copy the selected file(s)\n\nfrom <source>\n\nto <target>[\nand corresponding
// subfolders] ?"; Delete names no target.
std::wstring CompareQuestion(CompareAction action, std::wstring_view source,
                             std::wstring_view target, bool subfolders);

// A folder box's text as the commands use it: with a trailing "\".
std::wstring CompareFolderOf(std::wstring_view box);

// ---- copying and moving files onto their counterparts ----

struct CompareFileFs {
    void* ctx = nullptr;
    bool (*exists)(void* ctx, const std::wstring& path) = nullptr;
    // Creates the folder and any missing parents; true when it exists afterwards.
    bool (*makeFolders)(void* ctx, const std::wstring& folder) = nullptr;
    // Copies to a path that must not exist yet (never writes over a file).
    bool (*copyNew)(void* ctx, const std::wstring& from, const std::wstring& to) = nullptr;
    // Renames within one volume, in one step; replace lets `to` be an existing file.
    bool (*rename)(void* ctx, const std::wstring& from, const std::wstring& to,
                   bool replace) = nullptr;
    bool (*remove)(void* ctx, const std::wstring& path) = nullptr;
};

// The temporary name a copy is written under before it replaces an existing file.
std::wstring CompareTempName(std::wstring_view target);

// Copies (or moves) each sources[i] to targets[i]. An existing target is replaced only by a
// complete copy: the copy goes to a temporary name in the target's folder and is renamed over
// it, so a failed copy leaves the old file whole. A move renames when it can, else copies the
// same way and removes the source only after the copy is in place. Missing target folders
// are made. A failed file is counted and the rest go on. Returns the number that failed.
int CompareTransfer(const std::vector<std::wstring>& sources,
                    const std::vector<std::wstring>& targets, bool move, const CompareFileFs& fs,
                    std::atomic<bool>* cancel = nullptr);

// Copy name and date: the target's new path, its own folder and the source's file name.
std::wstring CompareNameDateTarget(std::wstring_view target, std::wstring_view source);
