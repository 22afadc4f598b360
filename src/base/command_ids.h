// The command numbers of the main window. Menus, accelerators, toolbar buttons, hotkeys, the
// tray, the web server and other threads send them as WM_COMMAND (number in the low word of
// wParam). The numbers are fixed: language files, saved hotkeys and the HTTP server refer to
// them. Every subsystem may name them, so they live at the bottom of the folders.
#pragma once
#include <cstdint>

enum CommandId : uint16_t {
    // Sound processing and options.
    kCmdEnhancer1 = 401,  // "Simple audio enhancer"
    kCmdSettings = 402,   // settings dialog
    kCmdExternal1 = 403,  // external programs 1 to 3 (471 is the third)
    kCmdExternal2 = 404,
    kCmdSelectAll = 405,
    kCmdQuitAfterTrack = 406,
    kCmdDelete = 407,
    kCmdMoveRename = 408,
    kCmdTrackInfo = 409,
    kCmdPlaylistCreate = 410,
    kCmdPlaylistAppend = 411,
    kCmdPlaylistEdit = 412,
    kCmdQuit = 413,
    kCmdCopyTo = 414,
    kCmdFindFiles = 415,
    kCmdBigView = 416,
    kCmdFileDate = 417,
    kCmdFavAddPosition = 418,
    kCmdFavAddFolder = 419,
    kCmdFavAddTrack = 420,
    kCmdFavRemove = 421,
    kCmdCompactNoStatusBar = 424,
    kCmdCompactNoTitleBar = 425,
    kCmdCompactOnTop = 426,
    kCmdEqualizer = 428,
    kCmdOpenInInsertView = 429,
    kCmdEnqueue = 432,
    kCmdClearList = 433,
    kCmdFindCueSheet = 434,
    kCmdAlwaysScanInfo = 435,
    kCmdUpcomingInTitle = 436,
    kCmdIntroScan = 437,
    kCmdSetBaseFolder = 438,
    kCmdGoToBaseFolder = 439,
    kCmdAutospace = 441,
    kCmdCompareFolders = 442,
    kCmdRepeatOff = 443,
    kCmdRepeatList = 444,
    kCmdRepeatTrack = 445,
    kCmdRepeatPlayOne = 446,
    kCmdShowPictures = 447,
    kCmdOpenPicture = 448,
    kCmdContinueInFocused = 449,
    kCmdShowSubfolders = 450,
    kCmdExplore = 451,
    kCmdEasyRenamer = 452,
    kCmdShowAllTips = 454,
    kCmdViewTrackLog = 455,
    kCmdMono = 459,
    kCmdBeatCounter = 460,
    kCmdOpenPath = 463,
    kCmdFileFinderDrive = 464,
    kCmdClearBaseFolder = 465,
    kCmdFavRemoveAll = 466,
    kCmdGoHomeBeforeChange = 467,
    kCmdLogTitle = 469,
    kCmdSaveDownloadStream = 470,
    kCmdExternal3 = 471,
    kCmdRename = 473,
    kCmdBrowserWithTitle = 474,
    kCmdCopyNowPlaying = 475,
    kCmdCopyPath = 476,
    kCmdSaveToWav = 477,
    kCmdCopyTitle = 478,
    kCmdCopyWebsite = 479,
    kCmdWebServer = 480,
    kCmdNewWindow = 481,
    kCmdQuitAfterList = 482,
    kCmdRepeatTrackOnce = 483,  // "Repeat only current track"
    kCmdStopAfterTrack = 484,   // "Stop only after current track"
    kCmdFastPlay1 = 485,
    kCmdFastPlay2 = 486,
    kCmdFastPlay3 = 487,
    kCmdEnhancer2 = 488,  // "Multiband audio enhancer"
    kCmdRowNotes = 489,
    kCmdContentToPlaylist = 490,
    kCmdProperties = 491,
    kCmdFindInList = 492,
    kCmdStandardOpen = 493,
    // Toolbar buttons.
    kCmdPlayFromStart = 510,
    kCmdStopResume = 511,
    kCmdPrevTrack = 512,
    kCmdNextTrack = 513,
    kCmdDirSearchBack = 514,
    kCmdDirSearchForward = 515,
    kCmdSkipRows = 516,
    kCmdMoveRowsNext = 517,
    kCmdRepeatMenu = 518,
    kCmdTreeToggle = 519,
    kCmdCompactView = 520,
    kCmdShuffle = 521,
    kCmdMainMenuButton = 522,
    kCmdPlaylistView = 523,
    kCmdGoToCurrent = 524,
    kCmdReloadList = 525,
    kCmdScanInfo = 526,
    kCmdFavorites = 527,
    kCmdMute = 528,
    kCmdSoftMute = 529,
    kCmdTrackHistory = 530,
    kCmdFolderHistory = 531,
    // Keyboard navigation: act on the focused pane.
    kCmdNextPane = 801,  // Tab, Ctrl+PgDn
    kCmdKeyUp = 802,
    kCmdKeyDown = 803,
    kCmdKeyLeft = 804,
    kCmdKeyRight = 805,
    kCmdPageUp = 806,
    kCmdPageDown = 807,
    kCmdMoveRowUp = 808,  // Shift+Up
    kCmdMoveRowDown = 809,
    kCmdMovePageUp = 810,  // Shift+PgUp
    kCmdMovePageDown = 811,
    kCmdEscape = 812,
    kCmdBackspace = 813,
    kCmdReturn = 814,
    kCmdRewind = 815,
    kCmdFastForward = 816,
    kCmdSpace = 817,
    // Big view menu.
    kCmdCloseBigView = 851,
    kCmdConfigureBigView = 859,
    kCmdViewRssFile = 862,
    kCmdVolumeDown = 934,
    kCmdVolumeUp = 935,
    kCmdHome = 938,
    kCmdEnd = 939,
    kCmdCycleTimeDisplay = 940,
    kCmdMainMenu = 944,      // F1
    kCmdContextMenu = 945,   // context-menu key, Shift+F10
    kCmdSortBackward = 951,  // Ctrl+PgUp, Ctrl+O
    kCmdSortForward = 952,   // Ctrl+P
    kCmdGapless = 953,
    kCmdAutoSearchDirs = 954,
    kCmdRuntimeInfo = 955,
    kCmdCycleRepeat = 956,  // Ctrl+R
};

// Commands below this number are routed by the main window's table; favourites and history
// entries use numbers from 2000 on.
constexpr unsigned kCommandSlots = 1024;
