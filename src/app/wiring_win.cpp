// Where the subsystems meet. Every subsystem starts here, in its order; every table through
// which one subsystem reaches another is filled here, once:
//   - g_wiring: what the dispatcher reaches (each subsystem's own table of what it offers);
//   - the route table: which subsystem answers each command the dispatcher does not;
//   - the host tables: what a subsystem tells and asks of the subsystems above it.
// Nothing is overwritten or chained afterwards. docs/wiring.md explains the pattern.
#include <windows.h>

#include <algorithm>

#include "app/app_win.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "audio/runtime_info_win.h"
#include "base/path.h"
#include "library/cue_follow_win.h"
#include "library/library_win.h"
#include "library/list_rename_win.h"
#include "library/playlist_view_win.h"
#include "library/playlist_write_win.h"
#include "library/sequence_win.h"
#include "library/track_list.h"
#include "ui/face_win.h"

namespace {

// ---- the commands other subsystems answer ----

constexpr CommandRoute kCommandRoutes[] = {
    // audio/: playback control's windows
    {kCmdIntroScan, IntroScanCommandWin},
    {kCmdRuntimeInfo, RuntimeInfoCommandWin},
    // library/: the tree and the File view
    {kCmdReloadList, LibraryReloadCommandWin},
    {kCmdShuffle, LibraryCycleSortCommandWin},
    {kCmdSetBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdClearBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdGoToBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdGoToCurrent, LibraryGoToCurrentCommandWin},
    {kCmdRename, ListRenameCommandWin},
    // library/: play list files and cue sheets
    {kCmdPlaylistCreate, PlaylistCreateCommandWin},
    {kCmdPlaylistAppend, PlaylistAppendCommandWin},
    {kCmdFindCueSheet, FindCueSheetCommandWin},
    // library/: the Playlist view
    {kCmdPlaylistView, PlaylistViewToggleCommandWin},
    {kCmdEnqueue, PlaylistViewEnqueueCommandWin},
    {kCmdClearList, PlaylistViewClearCommandWin},
    {kCmdContentToPlaylist, PlaylistViewContentCommandWin},
    // ui/: the compact view
    {kCmdCompactView, FaceCompactCommandWin},
    {kCmdCompactNoStatusBar, FaceCompactCommandWin},
    {kCmdCompactNoTitleBar, FaceCompactCommandWin},
    {kCmdCompactOnTop, FaceCompactCommandWin},
};

// ---- steps of the window's face (ui/), skipped while that part is not built ----

const ViewOps& View() {
    return g_wiring.view;
}
void UpdateTitle() {
    if (View().updateTitle) View().updateTitle(View().ctx);
}
void UpdateFlags() {
    if (View().updateFlags) View().updateFlags(View().ctx);
}
void UpdateToolbar(uint32_t mask) {
    if (View().updateToolbar) View().updateToolbar(View().ctx, mask);
}

// ---- what the engine tells and asks of the subsystems above it ----

EngineHost PlaybackHost() {
    EngineHost h;
    h.showPlayButton = [](void*, bool pressed) {
        if (View().showPlayButton) View().showPlayButton(View().ctx, pressed);
    };
    h.refreshDisplay = [](void*) { UpdateTitle(); };
    h.trackEnded = [](void*, const TrackEndInfo& end) { SequenceTrackEndedWin(end); };
    h.muteCleared = [](void*) {
        UpdateToolbar(ToolbarMask::Mute);
        UpdateFlags();
    };
    h.refreshList = [](void*) {
        SequenceRefreshUpcomingWin();
        UpdateTitle();
    };
    h.playFirstOfList = [](void*, unsigned) { SequencePlayFromTopWin(); };
    h.replaySelected = [](void*) {
        const TrackOps& t = g_wiring.tracks;
        (void)t.startFile(t.ctx, g_settings.last_file, 0);
    };
    h.setResumePosition = [](void*, uint32_t pos) {
        g_settings.last_pos = static_cast<int32_t>(pos);
        UpdateTitle();
    };
    h.playSelected = [](void*, int percent) { return SequencePlaySelectedAtWin(percent); };
    h.playNext = [](void*, int percent) { return SequencePlayNextAtWin(percent); };
    h.introScanChanged = [](void*) {
        UpdateToolbar(ToolbarMask::IntroScan);
        LibraryRepaintListsWin();  // the playing marks
    };
    // The live stream, the track log, the position memory, the stream recorder and the
    // plug-in host fill their entries when they are built.
    return h;
}

// ---- what the library tells and asks of the subsystems above it ----

LibraryHost ListsHost() {
    LibraryHost h;
    h.errorLog = [](void*, const char* text, int code) { WriteErrorLog(text, code); };
    h.layout = [](void*) {
        if (View().layout) View().layout(View().ctx);
        UpdateToolbar(ToolbarMask::Playlist);  // a pane opened or closed
        ApplyDarkMode(true, false);            // an opened play list gets the dark look
    };
    h.updateTitle = [](void*) { UpdateTitle(); };
    h.updateFlags = [](void*) { UpdateFlags(); };
    h.showMessage = [](void*, const wchar_t* text, int ms) {
        if (View().showMessage) View().showMessage(View().ctx, text, ms);
    };
    return h;
}

// ---- what the window's face asks of the subsystems above it ----

// The playing position as a fraction of the audio range: file bytes for the built-in MPEG
// path, milliseconds of the length otherwise.
bool AudioRange(int64_t& begin, int64_t& end, int64_t& position) {
    const PlaybackOps& p = g_wiring.playback;
    if (!p.view) return false;
    EngineView v;
    p.view(p.ctx, v);
    if (!v.trackLoaded) return false;
    position = v.outputOpen ? v.position : v.stopPosition;
    if (g_track.dwAudioEnd > g_track.dwAudioBeg) {
        begin = g_track.dwAudioBeg;
        end = g_track.dwAudioEnd;
    } else {
        begin = 0;
        end = g_track.lengthMs;
    }
    return end > begin;
}

FaceHost FaceHostTable() {
    FaceHost h;
    h.listWindow = [](void*, int which) -> HWND {
        const LibraryWindows w = LibraryWindowsWin();
        switch (which) {
            case 0: return w.tree;
            case 1: return w.files;
            case 2: return w.playlist;
            default: return nullptr;  // the insert view joins when it is built
        }
    };
    h.positionPermille = [](void*) {
        int64_t begin = 0, end = 0, pos = 0;
        if (!AudioRange(begin, end, pos)) return -1;
        return static_cast<int>(std::clamp<int64_t>((pos - begin) * 1000 / (end - begin), 0, 1000));
    };
    h.seekPermille = [](void*, int permille) {
        int64_t begin = 0, end = 0, pos = 0;
        const PlaybackOps& p = g_wiring.playback;
        if (!p.seek || !AudioRange(begin, end, pos)) return;
        const double from = static_cast<double>(pos - begin) / static_cast<double>(end - begin);
        const double seconds = (permille / 1000.0 - from) * g_track.lengthMs / 1000.0;
        (void)p.seek(p.ctx, seconds, 200, false);
    };
    h.applyVolume = [](void*) {
        const PlaybackOps& p = g_wiring.playback;
        if (p.applyVolume) p.applyVolume(p.ctx, true);
        UpdateToolbar(ToolbarMask::Mute);
    };
    h.toolbarState = [](void*, ToolbarStateInput& in) {
        in.trackOneShot = g_dispatch.trackOneShot;
        in.quitAfterTrack = g_shell.quitAfterTrack;
        in.playlistOpen = PlaylistViewIsOpenWin();
        in.introScanRunning = IntroScanRunningWin();
        const PlaybackOps& p = g_wiring.playback;
        in.muted = p.softMute && p.softMute(p.ctx) != 0;
        const TrackOps& t = g_wiring.tracks;
        const bool playlist = t.focusedList && t.focusedList(t.ctx) == kListPlaylist &&
                              PlaylistViewIsOpenWin();
        const TrackList& list = playlist ? PlaylistViewModelWin() : LibraryFileView();
        in.listKind = list.kind;
        in.listShuffled = list.sortByte & SortBits::Shuffled;
    };
    return h;
}

void Windows(AppWiring& w) {
    WindowOps& intro = w.windows[static_cast<size_t>(AppWindow::IntroScan)];
    intro.isOpen = [](void*) { return IntroScanWindowOpen(); };
    intro.close = [](void*) { IntroScanCloseWin(); };
    WindowOps& playlist = w.windows[static_cast<size_t>(AppWindow::Playlist)];
    playlist.isOpen = [](void*) { return PlaylistViewIsOpenWin(); };
    playlist.close = [](void*) { PlaylistViewCloseWin(); };
}

}  // namespace

void StartSubsystemsWin() {
    HWND main = g_win.mainWindow;
    AppWiring& w = g_wiring;

    // The window's face: status bar, toolbar, slider row (the lists come below).
    FaceStart face;
    face.mainWindow = main;
    face.instance = g_win.instance;
    face.dpiFactor = g_shell.dpiFactor;
    face.osMajorVersion = g_shell.osMajorVersion;
    face.startupPending = &g_shell.startupPending;
    face.programFolder = PathFolder(g_shell.programPath);
    face.host = FaceHostTable();
    FaceStartWin(face);
    w.view = FaceOpsWin();

    // The playback engine: DirectSound, the 24-bit mode, its tables; its windows.
    EngineStartWin(main, PlaybackHost());
    IntroScanStartWin(main);
    RuntimeInfoStartWin(main, g_shell.dpiFactor);
    w.playback = PlaybackOpsWin();

    // The folder tree and the File view, then sequencing over them and the engine, the play
    // list files, the cue follower and the Playlist view (open again when it was at exit).
    LibraryStart lib;
    lib.mainWindow = main;
    lib.instance = g_win.instance;
    lib.iniPath = g_shell.iniPath;
    lib.restoreSavedList = &g_shell.restoreSavedList;
    lib.host = ListsHost();
    LibraryStartWin(lib);
    SequenceStartWin(main, SequenceFlags{&g_dispatch.trackOneShot, &g_shell.quitAfterTrack,
                                         &g_dispatch.quitAfterList});
    PlaylistWriteStartWin(main);
    CueFollowStartWin(main);
    PlaylistViewStartWin(main, g_win.instance, g_shell.iniPath);
    w.lists = ListOpsWin();
    w.tracks = TrackOpsWin();
    g_listSources = ListSources{PlaylistViewRowsWin, LibraryFileRowsWin, nullptr};

    Windows(w);
    if (RouteCommands(w, kCommandRoutes, std::size(kCommandRoutes)))
        WriteErrorLog("A command is routed twice or to the dispatcher's own", -1);
    ApplyDarkMode(false, false);
    UpdateToolbar(kToolbarStartMask);
    FaceLayoutWin(0);
}

void EnqueueWin(std::vector<std::wstring> paths) {
    PlaylistViewEnqueueWin(std::move(paths));
}
