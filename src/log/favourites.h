// Favourites: up to 30 remembered folders, lists and tracks (tracks with a position), kept in
// the settings as "%.10d,%ls" entries (position in ms, path) without gaps in the order added;
// and the menus built from them and from the log's history. Portable: what needs the rest of
// the program (which paths are playable, how a track time is written) comes as functions.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"

using FavouriteList = std::array<std::wstring, kFavouriteSlots>;

constexpr unsigned kFavouriteFirstId = 2000;      // menu item id = this + index in the list
constexpr unsigned kTrackHistoryFirstId = 2100;   // + entry of the track history
constexpr unsigned kFolderHistoryFirstId = 2200;  // + entry of the folder history

std::wstring FavouriteEntry(uint32_t positionMs, std::wstring_view path);
// The position and path of an entry; false when it is not one.
bool FavouriteParse(std::wstring_view entry, uint32_t& positionMs, std::wstring& path);

int FavouriteCount(const FavouriteList& list);
// Appends; false (nothing added) when the list is full.
bool FavouriteAdd(FavouriteList& list, std::wstring entry);
// Removes entry i; the later ones move up. False when there is no entry i.
bool FavouriteRemove(FavouriteList& list, int i);

struct MenuEntry {
    unsigned id = 0;  // 0: a separator
    std::wstring text;
};

struct FavouriteMenuEnv {
    void* ctx = nullptr;
    bool (*playable)(void* ctx, const std::wstring& path) = nullptr;
    std::wstring (*trackTime)(void* ctx, uint32_t ms) = nullptr;  // "2'05" or "2:05"
};

// Folders and lists first, then tracks, a separator between the groups; numbered together
// from 01 ("%.2d  name"), "&" shown as "+", the server of a network path and the position of a
// track bookmarked at one after tabs.
std::vector<MenuEntry> FavouritesMenu(const FavouriteList& list, const FavouriteMenuEnv& env);

// A history menu: one entry per path (its file name, or the folder itself), ids from firstId.
std::vector<MenuEntry> HistoryMenu(const std::vector<std::wstring>& paths, unsigned firstId,
                                   bool fileNames);
