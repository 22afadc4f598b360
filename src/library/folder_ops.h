// The lists' and the tree's only way to the file system and the shell: a table of plain
// functions that the glue fills with FindFirstFileW and friends and the tests fill with an
// in-memory folder set. Paths are Windows paths ("\" separated, a drive is "C:").
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/timefmt.h"

// Entry attributes, with the values of the Win32 FILE_ATTRIBUTE_* bits so the glue passes
// them through unchanged.
namespace EntryAttr {
enum : uint32_t {
    Hidden = 0x2,
    System = 0x4,
    Directory = 0x10,
    ReparsePoint = 0x400,
};
}

// One directory entry as the enumeration reports it. Times are already local time.
struct DirEntry {
    std::wstring name;
    uint32_t attributes = 0;
    uint64_t size = 0;  // bytes
    LocalTime created{};
    LocalTime written{};
};

// Called for each entry; false stops the enumeration early.
using DirEntryFn = bool (*)(void* cbCtx, const DirEntry& e);

// Drive types as GetDriveTypeW reports them; 2..6 double as the tree's drive images.
struct DriveInfo {
    wchar_t letter = L'C';
    int type = 3;        // 2 removable, 3 fixed, 4 network, 5 CD, 6 RAM disk, other: unknown
    std::wstring label;  // volume label, empty when none
};

enum class ShellFolder { Computer, Documents, Music, SharedDocuments, Network };

struct ShareEntry {
    std::wstring remoteName;  // "\\server\share"
    int displayType = 0;      // RESOURCEDISPLAYTYPE_*: 3 is a share
};

constexpr int kNetMoreData = 234;       // ERROR_MORE_DATA: the server list is still usable
constexpr int kNetAlreadyAssigned = 85; // ERROR_ALREADY_ASSIGNED: the connection exists
constexpr int kShareDisplayType = 3;    // RESOURCEDISPLAYTYPE_SHARE

struct FolderOps {
    // Enumerates folder\pattern ("*.*" or "*.ext"), "." and ".." included as the system
    // reports them. False when the folder cannot be read.
    bool (*enumerate)(void* ctx, const std::wstring& folder, const std::wstring& pattern,
                      DirEntryFn fn, void* cbCtx);
    // SetCurrentDirectoryW: true when path is a folder that can be entered.
    bool (*setCurrent)(void* ctx, const std::wstring& path);
    // 0 missing, 1 file, 2 folder.
    int (*pathType)(void* ctx, const std::wstring& path);
    // The logical drives, in any order.
    std::vector<DriveInfo> (*drives)(void* ctx);
    // The shell's path and display name of a special folder; false when it cannot be resolved.
    // Computer and Network have no path; Music and SharedDocuments no name (the tree has its own).
    bool (*shellFolder)(void* ctx, ShellFolder which, std::wstring& path, std::wstring& name);
    // Server names of the local network; returns the Win32 status (0, kNetMoreData, or error).
    int (*netServers)(void* ctx, std::vector<std::wstring>& servers);
    // Connects to "\\server" as a disk resource; the Win32 status.
    int (*netConnect)(void* ctx, const std::wstring& server);
    // Connectable disk shares of "\\server" (the glue asks for at most 50 in 16 KB).
    bool (*netShares)(void* ctx, const std::wstring& server, std::vector<ShareEntry>& out);
    // Appends "text code" to error.log.
    void (*errorLog)(void* ctx, const char* text, int code);
    // The locale-aware, case-sensitive comparison of the platform (lstrcmpW). Null: ordinal.
    int (*collate)(void* ctx, const wchar_t* a, const wchar_t* b);
    // GetTickCount, and the current local month (1..12).
    uint32_t (*tickCount)(void* ctx);
    int (*currentMonth)(void* ctx);
    void* ctx;
};

// Collects the entries of folder\pattern; false when the folder cannot be read.
bool ListFolder(const FolderOps& fs, const std::wstring& folder, const std::wstring& pattern,
                std::vector<DirEntry>& out);
// The platform comparison, or an ordinal one when the table has none.
int CollateText(const FolderOps& fs, const wchar_t* a, const wchar_t* b);
// Equality ignoring case (ASCII and Latin-1 letters), as file names compare on Windows.
bool SameTextNoCase(std::wstring_view a, std::wstring_view b);
bool EndsWithNoCase(std::wstring_view text, std::wstring_view tail);
// A play list or cue sheet by its name: ".m3u", ".m3u8" or ".cue" in any case.
bool IsListFileName(std::wstring_view name);
