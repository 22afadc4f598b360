// An in-memory folder set behind a FolderOps table: folders, files with sizes, attributes and
// dates, drives, shell folders and a small network.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "library/folder_ops.h"
#include "library/list_text.h"
#include "library/track_list.h"

struct FakeFolders {
    std::map<std::wstring, DirEntry> entries;  // key: lower-case full path
    std::vector<DriveInfo> drives;
    std::map<ShellFolder, std::pair<std::wstring, std::wstring>> shell;  // path, display name
    int serverStatus = 0;
    std::vector<std::wstring> servers;
    std::map<std::wstring, std::vector<ShareEntry>> shares;
    std::vector<std::string> errorLog;
    std::wstring current;
    int month = 3;

    // Adds the folder and every missing folder above it.
    void AddFolder(const std::wstring& path, uint32_t attributes = 0);
    void AddFile(const std::wstring& path, uint64_t size = 1000, uint32_t attributes = 0,
                 LocalTime written = {2026, 3, 5, 4, 14, 7, 0});
};

FolderOps FakeFolderOps(FakeFolders& fake);

// One cell of every row (the name by default), in order.
inline std::vector<std::wstring> Cells(const TrackList& l, int column = 0) {
    std::vector<std::wstring> out;
    for (const ListRow& r : l.rows) out.push_back(r.cell[column]);
    return out;
}

// A list over the fake folders with the settings and the environment the list code reads.
struct FakeListMachine {
    FakeFolders fake;
    FolderOps ops = FakeFolderOps(fake);
    Settings s;
    std::string playable{kMpegExtensions};
    TrackList list;
    ListEnv env;

    FakeListMachine() {
        env.s = &s;
        env.fs = &ops;
        env.playable = &playable;
        list.window = &list;
    }
};
