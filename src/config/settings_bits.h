// Named bits of the bit-flag settings. The subsystem named beside a group owns the behaviour;
// bits not named here are kept as read and written back unchanged.
#pragma once
#include <cstdint>

// control_flags
namespace ControlFlag {
enum : uint32_t {
    AutoReloadDir = 1u << 0,          // "Auto reload directory at end of tracks"
    UnselectOnTrackChange = 1u << 1,  // "Unselect selections on track change"
    PlaylistEndToFolder = 1u << 2,    // "On end of playlist switch to folder list"
    HighPriority = 1u << 3,           // "High task priority"
    TrayIcon = 1u << 4,               // "Systray icon"
    SingleInstance = 1u << 5,         // "Only one instance allowed"
    ContinueInFocused = 1u << 6,      // "Continue in focused list"
    FoldersInFileView = 1u << 7,      // "Folders and lists in file view"
    NoSubfolderPrescan = 1u << 8,     // "No subfolder pre-scan (faster tree)"
    RemovePlayed = 1u << 9,           // "Remove played tracks from list"
    AutoSearchDirs = 1u << 11,        // "Auto search dirs"
    DirSearchSkipsLists = 1u << 12,   // "Dir search skips playlists/Cue sheets"
    QuitByEscape = 1u << 14,          // "Quit by Escape (param start)"
    GoHomeBeforeChange = 1u << 15,    // "Go home before track change"
    TabToToolbar = 1u << 16,          // "Tab key access for toolbar"
    RememberFolderPos = 1u << 17,     // "Remember positions in ten folders"
    SelectNextAfterOne = 1u << 18,    // select next track after "Play one track"
    NextAtFastForwardEnd = 1u << 19,  // "Next track if Fast forward reaches end"
    DoubleClickPlaysLeaf = 1u << 20,  // "Double click to play on tree item without subitem"
};
}

// system_flags
namespace SystemFlag {
enum : uint32_t {
    NoRememberDest = 1u << 0,  // "Don't remember playlist/copy destinations"
    HideDriveA = 1u << 1,
    HideNetwork = 1u << 2,
    HideMyDocs = 1u << 3,
    HideMyMusic = 1u << 4,
    HideSharedDocs = 1u << 5,
    HideFavorites = 1u << 6,
    AutoSave = 1u << 7,            // "Auto save settings every five minutes (on play)"
    NoTreeCopyConfirm = 1u << 8,   // "No tree copy/move confirmation"
    CloseMinimizes = 1u << 9,      // "On window close only minimize"
    NoNetServerSearch = 1u << 10,  // "Don't search for net servers"
    HideDriveB = 1u << 11,
    HideDriveC = 1u << 12,
};
}

// list_style
namespace ListStyle {
enum : uint32_t {
    NaturalOrder = 1u << 0,         // "Natural numerical ordering"
    Gridlines = 1u << 1,            // "Gridlines in file lists"
    MonthColors = 1u << 2,          // "Show month colors in track lists"
    SortByMonth = 1u << 3,          // "Sort by month (multi click on date tab)"
    AlwaysScanInfo = 1u << 4,       // "Always scan for track times/info (may be slow)"
    FullRowSelect = 1u << 5,        // "Full row select"
    SizeInKb = 1u << 6,             // "Show file size in KB"
    DimInactiveList = 1u << 7,      // "On active playlist dim inactive list:"
    RecycleNoConfirm = 1u << 8,     // "Delete files to Recycle bin (no confirmation)"
    CueVbrPositions = 1u << 9,      // "Scan Cue sheet positions on VBR files"
    ShowHidden = 1u << 10,          // "Show hidden files/folders"
    StartInBaseFolder = 1u << 11,   // "Start in Base folder (on no param)"
    HideCueInTree = 1u << 12,       // "Hide Cue sheets in tree"
    HidePlaylistsInTree = 1u << 13, // "Hide playlists in tree"
    HorizontalTreeScroll = 1u << 14,// "Horizontal tree scrolling"
    NoLabelEdit = 1u << 15,         // "No label edit for renaming"
    RestoreFileList = 1u << 16,     // "Restore file list on start"
    GroupThreeMonths = 1u << 17,    // "Current 3 months grouped (multi click on date)"
    HideScrollbars = 1u << 18,      // "Hide track list scrollbars if possible"
};
}

// stylez
namespace Style {
enum : uint32_t {
    ColonMinutes = 1u << 0,        // "Minute symbol  :  instead of  '"
    Tooltips = 1u << 1,            // "Show tooltips"
    UpcomingInTitle = 1u << 2,     // "Upcoming file in title bar"
    CreatedDate = 1u << 3,         // "Show created instead of modified date"
    TreeHidden = 1u << 4,          // folder tree hidden
    NoTrackInTitle = 1u << 5,      // "No trackname or times in title bar"
    ExplorerTree = 1u << 6,        // "Explorer style tree on bright background"
    FileInfoInMenu = 1u << 7,      // "File info in context menu"
    ShowPictures = 1u << 8,        // "Show track/folder related pictures"
    StandardPicture = 1u << 9,     // "On missing image use a standard picture ..."
    AddPadding = 1u << 10,         // "Add padding"
    LargerSliders = 1u << 11,      // "Larger sliders"
    IgnoreId3Pictures = 1u << 12,  // "Ignore ID3v2 attached images"
    TagTitles = 1u << 13,          // "Tag titles instead of filename in title bar"
    GreyWhiteSliders = 1u << 14,   // "Grey and white sliders"
    TreeSpacing = 1u << 15,        // "Add tree item spacing"
    TreeLines = 1u << 16,          // "Show lines in tree"
    WhiteSliders = 1u << 17,       // "White sliders"
    DividersWindowColor = 1u << 19,// "List dividers in window color"
    DarkMode = 1u << 21,           // "Dark mode (if possible)"
};
}

// control_lock: a set bit blocks or guards the control.
namespace ControlLock {
enum : uint32_t {
    PlayStop = 1u << 0,  // "Play/Stop (confirmation)"
    TrackPosition = 1u << 1,
    ListChange = 1u << 2,
    PrevNext = 1u << 3,
    TrackPlacement = 1u << 4,
    Volume = 1u << 5,
    DspChanges = 1u << 6,
    Menus = 1u << 7,
    Quit = 1u << 8,  // "Quit (confirmation)"
    FileTools = 1u << 9,
};
}

// mouse_flags
namespace MouseFlag {
enum : uint32_t {
    WheelVolume = 1u << 0,
    WheelOverTree = 1u << 1,
    WheelOverLists = 1u << 2,
    FineVolume = 1u << 3,  // volume steps of 1280 instead of 2560
};
}

// wave_flags
namespace WaveFlag {
enum : uint32_t {
    InternalVolume = 1u << 0,  // "Internal volume control (16 bit output only)"
    Surround51 = 1u << 1,      // "5.1 output"
    MonoOutput = 1u << 3,      // command "Mono"
    LoudEndNoOverlap = 1u << 6,
    LoudEndFade = 1u << 7,
    WinampDsp = 1u << 8,
    Output24Bit = 1u << 9,  // "Always 24 bit output, 32 bit BASS decoding"
};
}

// gapless
namespace GaplessFlag {
enum : uint32_t {
    Enable = 1u << 0,        // "Enable gapless"
    SkipSilences = 1u << 2,  // "Skip silences"
    Overlap = 1u << 3,       // "Overlap mixing"
};
}

// fadeout: the low bits not named here hold the fade times in tenths of a second.
namespace FadeFlag {
enum : uint32_t {
    OnStop = 1u << 7,
    OnSkip = 1u << 15,
    FadeInOnResume = 1u << 16,
};
}
// fadeout's two fade times: bits 0-6 the stop fade, bits 8-14 the skip fade, in tenths of a
// second; in ms here.
constexpr uint32_t StopFadeMs(int32_t fadeout) {
    return (static_cast<uint32_t>(fadeout) & 0x7F) * 100;
}
constexpr uint32_t SkipFadeMs(int32_t fadeout) {
    return (static_cast<uint32_t>(fadeout) >> 8 & 0x7F) * 100;
}

// show_time
namespace ShowTime {
enum : uint32_t {
    Elapsed = 1u << 0,
    Remaining = 1u << 1,
    Swap = 1u << 2,
    ElapsedAndTotal = 1u << 3,
};
}

// compact_view
namespace CompactView {
enum : uint32_t {
    On = 1u << 0,
    NoStatusBar = 1u << 1,
    AlwaysOnTop = 1u << 2,
    NoTitleBar = 1u << 3,
};
}

// toolbar: a set bit shows the optional button.
namespace ToolbarButton {
enum : uint32_t {
    MainMenu = 1u << 0,
    Favorites = 1u << 1,
    BigView = 1u << 2,
    GoToFolder = 1u << 3,
    FileFinder = 1u << 4,
    Explore = 1u << 5,
    IntroScan = 1u << 6,
    QuitAfterTrack = 1u << 7,
    TrackLog = 1u << 9,
    OpenPicture = 1u << 10,
    ScanInfo = 1u << 11,
    TrackInfo = 1u << 12,
    ExternalProgram1 = 1u << 13,
    ExternalProgram2 = 1u << 14,
    ExternalProgram3 = 1u << 15,
    TrackHistory = 1u << 16,
    FolderHistory = 1u << 17,
    FolderSearch = 1u << 18,
    ToggleTree = 1u << 19,
    Mute = 1u << 20,
    WebServer = 1u << 21,
    Enhancer2 = 1u << 22,
    Enhancer1 = 1u << 23,
    Mono = 1u << 24,
};
}

// compare (folder comparison options)
namespace CompareFlag {
enum : uint32_t { HideDates = 0x2, NoAutoRefresh = 0x8, ScanSubfolders = 0x10 };
}

// Single bits of the mixed number-and-flag keys.
constexpr uint32_t kPlaylistOpen = 1u << 15;       // playlist_win: the play list is open
constexpr uint32_t kPlaylistBelow = 1u << 13;      // playlist_win: below the file list
constexpr uint32_t kPlaylistRight = 1u << 14;      // playlist_win: to the right
constexpr uint32_t kPlaylistDividerMask = 0x1FFF;  // playlist_win: divider position
constexpr uint32_t kAutospaceOn = 1u << 15;        // autospace: "Auto space" on
constexpr uint32_t kAutospaceMsMask = 0x7FFF;      // autospace: pause in ms
constexpr uint32_t kLogfileOn = 1u << 10;          // logfile: logging on
constexpr uint32_t kLogfileSizeMask = 0x3FF;       // logfile: maximum size in KB
constexpr uint32_t kBigViewAtStart = 1u << 15;     // big_t_time: open the Big view at start
constexpr uint32_t kBigEmbeddedTop = 1u << 15;     // big_embedded: "Embedded top"
constexpr uint32_t kBigEmbeddedBottom = 1u << 14;  // big_embedded: "Embedded bottom"
constexpr uint32_t kBigBelowTrackList = 1u << 13;  // big_embedded: "Below track list"
constexpr uint32_t kInfoRowNoLength = 1u << 16;    // info_row: no length in the size column
