// The main window's switchboard, portable: every command, timer and notification that the
// window procedure receives is decided here. The OS is reached through AppOs, the other
// subsystems through the tables of AppWiring (app/wiring.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/wiring.h"
#include "base/window_timers.h"
#include "config/lang.h"
#include "config/settings.h"

constexpr unsigned kListingDelayMs = 20;
constexpr unsigned kStartListingDelayMs = 10;  // the first listing: a timer's shortest delay

// The keyboard panes, in the order Tab walks through them.
enum Pane : uint8_t {
    kPaneTree = 0,
    kPaneFiles = 1,
    kPanePlaylist = 2,
    kPaneInsert = 3,
    kPaneToolbar = 4,
};

// The dispatcher's state (one instance, in the glue).
struct DispatchState {
    Pane focusedPane = kPaneFiles;  // the lists' focused and playing list are the library's
    bool labelEditing = false;      // between begin- and end-label-edit: no accelerators
    uint32_t lastActivityTick = 0;  // kept when big_t_time >= 2 (Big view idle timer)
    uint8_t trackOneShot = 0;       // 1 repeat only current track, 2 stop after it
    bool quitAfterList = false;
    unsigned listingDelayMs = kListingDelayMs;  // delay of the next tree listing
};

// The OS services of the dispatcher; the glue fills them with Win32, tests with fakes.
struct AppOs {
    void* ctx;
    void (*setTimer)(void* ctx, unsigned id, unsigned ms);
    void (*killTimer)(void* ctx, unsigned id);
    uint32_t (*tickCount)(void* ctx);
    bool (*confirm)(void* ctx, int which);  // ConfirmAction
    void (*quit)(void* ctx);                // Shutdown, then destroy the main window
    void (*minimize)(void* ctx);
    void (*hide)(void* ctx);
    void (*showMainWindow)(void* ctx, bool maximize);
    void (*saveAll)(void* ctx, bool keepLists);
    void (*showError)(void* ctx, const wchar_t* text, const wchar_t* caption);
};

struct CommandContext {
    Settings& s;
    ShellState& sh;
    DispatchState& d;
    const AppOs& os;
    const AppWiring& w;
};

// ---- window procedure entry points ----

void RunCommand(CommandContext& c, unsigned id, intptr_t lParam);
void RunTimer(CommandContext& c, unsigned id);
// The start-up's last step: the start folder is listed and the window shown now, without
// waiting for the listing timer the tree's selection set (nothing is typed at start).
void OnStartupDone(CommandContext& c);
void OnCloseRequest(CommandContext& c);           // WM_CLOSE
void OnActivated(CommandContext& c);              // WM_ACTIVATE, activated
// WM_SIZE after toolbar and status bar; resized: the client area differs from the one the
// last layout pass placed the panes in (the first show and an unchanged frame move nothing).
void OnSized(CommandContext& c, bool minimized, bool resized);
void OnHotkey(CommandContext& c, int slot);       // WM_HOTKEY

// ---- notifications ----

void OnTreeSelectionChanged(CommandContext& c, const std::wstring& folder);
// A pane's control got the keyboard focus.
void OnPaneFocus(CommandContext& c, Pane pane);
void OnTreeDoubleClick(CommandContext& c, bool itemHasChildren);
void OnListDoubleClick(CommandContext& c, ListId list);
void OnListColumnClick(CommandContext& c, ListId list, int column);
void OnListBeginDrag(CommandContext& c, ListId list);
// Begin-label-edit: true when the edit is allowed (labelEditing is then set).
bool OnBeginLabelEdit(CommandContext& c, ListId list);
// End-label-edit with the new name (null when cancelled).
void OnEndLabelEdit(CommandContext& c, const wchar_t* newName);

enum class DropTarget { Playlist, FileList, Elsewhere };
// Dropped files; row is the list row under the drop point (-1: none, append).
void OnDroppedFiles(CommandContext& c, DropTarget target, const std::vector<std::wstring>& files,
                    int row);

// ---- decisions, exposed for the tests ----

// The command's control_lock bit is set: the command does nothing.
bool CommandLocked(const Settings& s, CommandId id);
// 934/935: 2560 steps (1280 with "Finer volume steps"), clamped to 0..65535.
uint16_t VolumeStep(uint16_t volume, bool up, bool fine);
// 528 sets 1, 529 sets 2, either clears a mute that is on.
uint8_t NextSoftMute(uint8_t current, CommandId id);
// The level, or 0 when it already is that level.
uint8_t NextFastPlayLevel(uint8_t current, uint8_t level);
// show_time 0 -> 1 -> 2 -> 3 -> 7 -> 8 -> 0, any other value -> 0.
uint8_t NextShowTime(uint8_t showTime);
// rpt_mode 0 -> 1 -> 2 -> 3 -> 0.
uint8_t NextRepeatMode(uint8_t rptMode);
// A skip_times step in seconds: byte 0 (back, one second more) or byte 1 (forward).
int SkipSeconds(int32_t skipTimes, bool back);

struct PaneSet {
    bool playlistOpen, insertOpen, toolbarByTab, treeHidden;
};
// Tab: 0 -> 1 -> 2 -> 3 -> 4 -> 0, skipping the panes that are not there.
Pane NextPane(Pane pane, const PaneSet& open);

// The tree view toggle's settings part: stylez bit 4, the columns that take the freed room
// and "Folders and lists in file view".
void ToggleTreeSettings(Settings& s);

// Whether a list label may be edited: only in the file list showing a folder, and not while
// file tools are locked.
bool LabelEditAllowed(const Settings& s, ListId list, bool fileListShowsFolder);

// The toolbar tooltip of a button: its own tooltip entry, a menu entry made into a tip, or for
// the external programs the program's file name and keys.
std::wstring ToolbarTooltip(LangState& lang, const Settings& s, CommandId id);
