// ============================================================================================
//  CONNECTION POINTS OF THE COMMAND DISPATCH
//
//  The main window's commands reach the playback engine, the lists, the folder tree, the
//  window layout and the dialogs only through this table. Each subsystem fills its pointers
//  when it is built and started; a null pointer means "not connected": the dispatcher then
//  does nothing for that step (a command owned entirely by an unconnected subsystem does
//  nothing at all). Nothing else in the shell calls into those subsystems directly.
// ============================================================================================
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/commands.h"

// The three lists of the window.
enum ListId : uint8_t { kListFiles = 0, kListPlaylist = 1, kListInsert = 2 };

// The keyboard panes, in the order Tab walks through them.
enum Pane : uint8_t {
    kPaneTree = 0,
    kPaneFiles = 1,
    kPanePlaylist = 2,
    kPaneInsert = 3,
    kPaneToolbar = 4,
};

// Windows and dialogs that Esc closes and the commands ask about.
enum class AppWindow : uint8_t { BigView, BeatCounter, IntroScan, InsertView, Playlist };

// What the playback engine reports about the current track.
struct EngineView {
    bool trackLoaded = false;  // a track is open (playing, or stopped with a known position)
    bool outputOpen = false;   // playback runs
    bool busy = false;         // a fade, a stream download or the intro scan runs
    bool builtInMpeg = false;  // decoded by the built-in MPEG path: positions are file bytes
    bool stream = false;       // an internet stream or a plug-in track: positions are ms
    int64_t position = 0;
    int64_t audioStart = 0, audioEnd = 0;
    uint32_t bitRate = 0;             // average bits per second (MPEG path)
    uint32_t sampleRate = 0;          // MPEG path: frames per second = sampleRate / 1152 ...
    bool mpeg1 = true;                // ... doubled for MPEG-2 and 2.5
    double avgFrameLen = 0;           // bytes
    bool stoppedLengthKnown = false;  // the engine still knows the stopped track's length
    int64_t stopPosition = 0;
    uint32_t queuedMs = 0;  // output already queued
};

// Window messages that other subsystems answer (Win32 values travel unchanged).
enum class AppMessage : uint8_t {
    MouseMove,  // WM_MOUSEMOVE and the left-button messages: dividers, sliders,
    LeftDown,   //   the compact window's drag, dropped rows, the embedded Big view
    LeftUp,     //   (window layout)
    LeftDoubleClick,
    RightButton,     // WM_RBUTTONDOWN: end drags, main menu (menus)
    CtlColorStatic,  // colours of the status line, dividers, picture (colour themes)
    TrayIcon,        // WM_USER with wParam 760 (tray)
    WaveOpen,        // MM_WOM_OPEN (engine)
    WaveDone,        // MM_WOM_DONE with the finished header (engine)
    ListNotify,      // list notifications other than those handled here (file list)
    TreeNotify,      // tree notifications other than those handled here (folder tree)
};

struct AppHooks {
    void* ctx = nullptr;

    // ---- playback engine, playback control, fast play and intro scan ----
    void (*engineView)(void* ctx, EngineView& out) = nullptr;
    // Starts `file` at `pos`; false when playback could not start.
    bool (*startPlayback)(void* ctx, const std::wstring& file, int32_t pos) = nullptr;
    // Stops output and decoder, closes the file, clears pending starts.
    void (*stopPlayback)(void* ctx) = nullptr;
    // Fades out over ms, then the engine's deferred stop finishes the stop.
    void (*fadeOutStop)(void* ctx, int ms) = nullptr;
    void (*stopOutput)(void* ctx) = nullptr;                // seek while playing
    void (*setPosition)(void* ctx, int64_t pos) = nullptr;  // resume position, shown
    void (*applyVolume)(void* ctx, bool clearMute) = nullptr;
    void (*restartQueue)(void* ctx) = nullptr;  // fast play heard at once
    void (*markManualSkip)(void* ctx) = nullptr;
    void (*resetEnhancer2)(void* ctx) = nullptr;
    void (*pendingAction)(void* ctx) = nullptr;  // timer 1810
    bool (*introScanNext)(void* ctx) = nullptr;  // true when the scan took 513
    // The engine's mute and fast-play fields; the dispatcher keeps its own until set.
    uint8_t* softMute = nullptr;
    uint8_t* fastPlayLevel = nullptr;

    // ---- track sequencing ----
    // Row -1: the first selected row, else the current row, else row 0.
    bool (*playRow)(void* ctx, ListId list, int row, bool start, bool crossfade) = nullptr;
    void (*prevTrack)(void* ctx, ListId list) = nullptr;
    bool (*nextTrack)(void* ctx, ListId list) = nullptr;    // false at the end of the list
    bool (*dirSearch)(void* ctx, int direction) = nullptr;  // -1 back, +1 forward
    void (*playPath)(void* ctx, const std::wstring& path) = nullptr;
    void (*skipRows)(void* ctx, ListId list) = nullptr;
    void (*moveRowsNext)(void* ctx, ListId list) = nullptr;
    void (*moveRows)(void* ctx, ListId list, int delta, bool byPage) = nullptr;
    bool (*recallFolderPosition)(void* ctx) = nullptr;  // remembered folder positions
    void (*refreshUpcoming)(void* ctx) = nullptr;
    void (*trackInterrupted)(void* ctx) = nullptr;  // the track log decides

    // ---- folder tree, lists, info scan ----
    void (*navigate)(void* ctx, Pane pane, CommandId key) = nullptr;  // tree / list keys
    // Return on a folder or list row opens it; false for a track row (which then plays).
    bool (*openRow)(void* ctx, ListId list) = nullptr;
    bool (*listHasSelection)(void* ctx, ListId list) = nullptr;
    bool (*fileListShowsFolder)(void* ctx) = nullptr;   // a folder or list, no search
    void (*focusPane)(void* ctx, Pane pane) = nullptr;  // keyboard focus
    void (*scrollToCurrent)(void* ctx, ListId list) = nullptr;
    void (*storeColumnWidths)(void* ctx) = nullptr;
    // The folder path of a tree item (its item parameter), empty when it has none.
    std::wstring (*treeItemPath)(void* ctx, intptr_t itemParam) = nullptr;
    void (*listBrowsedFolder)(void* ctx) = nullptr;  // timer 2983
    void (*scrollTreeSelection)(void* ctx) = nullptr;
    void (*scrollAllIntoView)(void* ctx) = nullptr;  // timer 2681
    bool (*infoScanRunning)(void* ctx) = nullptr;
    void (*stopInfoScan)(void* ctx) = nullptr;
    bool (*isPlayable)(void* ctx, const std::wstring& path) = nullptr;
    void (*insertRows)(void* ctx, ListId list, const std::vector<std::wstring>& files,
                       int row) = nullptr;  // dropped files, then refreshes
    void (*sortByColumn)(void* ctx, ListId list, int column) = nullptr;
    void (*beginRowDrag)(void* ctx, ListId list) = nullptr;
    // Renames the file of an edited label; false when it failed.
    bool (*renameRow)(void* ctx, const std::wstring& newName) = nullptr;

    // ---- window layout, status texts, pictures, Big view, dialogs ----
    void (*layout)(void* ctx) = nullptr;
    void (*showVolume)(void* ctx) = nullptr;  // the volume slider follows
    void (*applyWindowFrame)(void* ctx) = nullptr;
    void (*updateFlags)(void* ctx) = nullptr;  // status bar option flags
    void (*updateTitle)(void* ctx) = nullptr;
    void (*updateToolbar)(void* ctx, uint32_t mask) = nullptr;
    void (*showPlayButton)(void* ctx, bool pressed) = nullptr;
    void (*showMessage)(void* ctx, const wchar_t* text, int ms) = nullptr;
    void (*updatePicture)(void* ctx) = nullptr;
    int (*bigViewState)(void* ctx) = nullptr;  // 0 closed
    bool (*isOpen)(void* ctx, AppWindow w) = nullptr;
    void (*closeWindow)(void* ctx, AppWindow w) = nullptr;  // WM_CLOSE to it

    // ---- commands of other subsystems ----
    // Every command this dispatcher does not own goes to its slot here (ids up to 1023), or
    // to otherCommand (favourites and history entries from 2000 on). Unset: nothing happens.
    void (*command[1024])(void* ctx, CommandId id, intptr_t lParam) = {};
    void (*otherCommand)(void* ctx, unsigned id, intptr_t lParam) = nullptr;

    // ---- window messages answered by other subsystems ----
    // True when handled; *result is the message's answer.
    bool (*message)(void* ctx, AppMessage which, uintptr_t wParam, intptr_t lParam,
                    intptr_t* result) = nullptr;
};
