// Where the subsystems meet. Every subsystem starts here, in its order; every table through
// which one subsystem reaches another is filled here, once:
//   - g_wiring: what the dispatcher reaches (each subsystem's own table of what it offers);
//   - the route table: which subsystem answers each command the dispatcher does not;
//   - the host tables: what a subsystem tells and asks of the subsystems above it.
// Nothing is overwritten or chained afterwards. docs/wiring.md explains the pattern.
#include <windows.h>

#include "app/app_win.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "audio/plugin_host.h"
#include "audio/plugin_host_win.h"
#include "audio/runtime_info_win.h"
#include "library/cue_follow_win.h"
#include "library/library_win.h"
#include "library/list_rename_win.h"
#include "library/list_text.h"
#include "library/playlist_view_win.h"
#include "library/playlist_write_win.h"
#include "library/sequence_win.h"

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
    };
    h.updateTitle = [](void*) { UpdateTitle(); };
    h.updateFlags = [](void*) { UpdateFlags(); };
    h.showMessage = [](void*, const wchar_t* text, int ms) {
        if (View().showMessage) View().showMessage(View().ctx, text, ms);
    };
    return h;
}

// ---- the window's face: only the provisional layout is built yet ----

ViewOps FaceOps() {
    ViewOps v;
    v.layout = [](void*) { LayoutMainWindowWin(); };
    return v;
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
    w.view = FaceOps();

    // The playback engine: DirectSound, the 24-bit mode, its tables; its windows.
    EngineStartWin(main, PlaybackHost());
    IntroScanStartWin(main);
    RuntimeInfoStartWin(main, g_shell.dpiFactor);
    w.playback = PlaybackOpsWin();
    // The Winamp plug-ins beside the program; their extensions become playable.
    PluginsLoadWin(main, PluginLog{nullptr, [](void*, const char* text, int code) {
                                       WriteErrorLog(text, code);
                                   }});
    for (const std::string& d : PluginDescriptorsWin())
        AddPlayableExtensions(g_playableExtensions, PluginExtensions(d));

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
    LayoutMainWindowWin();
}

void EnqueueWin(std::vector<std::wstring> paths) {
    PlaylistViewEnqueueWin(std::move(paths));
}
