// The pop-up menus' contents: which items each menu has, in order, with their commands, texts
// (from the language table) and checked/greyed states, decided from a record of facts. Portable:
// the glue turns a Menu into HMENUs and tracks it; tests read the models directly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/lang.h"

struct MenuItem {
    enum Kind : uint8_t { Command, Separator, Submenu };
    Kind kind = Command;
    unsigned id = 0;  // the command a Command item sends
    std::wstring text;
    bool checked = false;
    bool greyed = false;
    std::vector<MenuItem> items;  // a Submenu's
};
using Menu = std::vector<MenuItem>;

// What the options, repeat, main and tray menus depend on.
struct MenuFacts {
    // Settings.
    uint32_t controlLock = 0, stylez = 0, controlFlags = 0, systemFlags = 0, compactView = 0;
    uint32_t listStyle = 0, waveFlags = 0, gapless = 0, autospace = 0, logfile = 0;
    int enhance = 0;
    bool eqEnable = false;
    int history = 0;
    int rptMode = 0;
    // Player state.
    int trackOneShot = 0;  // 1 repeat only the current track, 2 stop after it
    bool quitAfterList = false, quitAfterTrack = false;
    int fastPlayLevel = 0;
    bool trackLoaded = false;    // a track is loaded (playing, paused or stopped)
    bool trackPlaying = false;   // output open
    bool bigViewOpen = false, pictureShown = false, introScanRunning = false;
    bool statusBarClick = false;  // the right click fell inside the status bar's height
    // Entries the log supplies: favourites (ids from 2000) and the two histories.
    Menu favourites, trackHistory, folderHistory, currentList;
};

// control_lock bit 7: no menu opens.
bool MenusLocked(uint32_t controlLock);

Menu OptionsMenu(const MenuFacts& f, const LangState& lang);
Menu RepeatMenu(const MenuFacts& f, const LangState& lang);
Menu MainMenu(const MenuFacts& f, const LangState& lang);
Menu TrayMenu(const MenuFacts& f, const LangState& lang);

// The row menu's facts: the focused list's current row.
struct RowFacts {
    bool playingStream = false;      // the row is the internet stream that plays
    std::wstring streamTitle;
    bool streamHasWebsite = false;
    int listKind = 0;                // 0 folder, 1 play list, 2 saved folder list, 3/4 cue sheet
    bool fileListShowsFolder = false;  // the file list, showing a folder
    bool inPlaylistPane = false;     // the Playlist view's list
    bool singleTrack = false;        // one row selected, a track
    bool playableFile = false;
    bool playlistExists = false;     // the Playlist view holds a list
    bool fileListFocused = false;
    uint32_t listStyle = 0, infoRow = 0, controlFlags = 0;
    std::wstring launch[3];          // applaunch1..3
};
Menu RowMenu(const RowFacts& f, const LangState& lang);

// The tree menu's facts: the item under the cursor.
struct TreeFacts {
    bool folder = true;         // a folder (else a list file)
    bool listFile = false;      // a play list or cue sheet file
    std::wstring itemPath;
    std::wstring baseFolder;    // empty: none set
    bool streamPlaying = false, downloadRunning = false;
    std::wstring launch[3];
};
Menu TreeMenu(const TreeFacts& f, const LangState& lang);

// Counts the items of a menu and its submenus (separators included).
size_t MenuItemCount(const Menu& m);
