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
#include "audio/runtime_info_win.h"
#include "http/http_win.h"
#include "library/cue_follow_win.h"
#include "library/library_win.h"
#include "library/list_rename_win.h"
#include "library/playlist_view_win.h"
#include "library/playlist_write_win.h"
#include "library/sequence_win.h"
#include "library/list_text.h"
#include "library/track_list.h"
#include "ui/title_text.h"

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
    h.streamFeed = [](void*, const uint8_t* pcm, uint32_t bytes, bool mode24) {
        HttpStreamFeedWin(pcm, bytes, mode24);
    };
    // The track log, the position memory, the stream recorder and the
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

// ---- what the HTTP server asks of the player (on the window thread) ----

// The control page's view of the player: the playing list's window of rows, the track's
// name as the window title shows it, its times and the colours.
void PageSnapshot(void*, HttpPageState& out) {
    const Settings& s = g_settings;
    const PlaybackOps& p = g_wiring.playback;
    EngineView v;
    if (p.view) p.view(p.ctx, v);
    TrackTitleSource t;
    t.trackLoaded = v.trackLoaded || v.outputOpen;
    t.lastFile = s.last_file;
    if (g_track.tagText[kTagArtist]) t.artist = g_track.tagText[kTagArtist];
    if (g_track.tagText[kTagTitle]) t.title = g_track.tagText[kTagTitle];
    t.tagTitles = static_cast<uint32_t>(s.stylez) & Style::TagTitles;
    t.pluginTrack = g_playState.pluginActive;
    out.title = TrackTitleText(t);
    out.filePath = s.last_file;
    uint32_t intoMs = g_playState.playedMs, lengthMs = g_playState.playedLengthMs;
    std::wstring cueTitle;  // a cue entry's own name and times where one plays
    if (CueEntryTimesWin(intoMs, lengthMs, cueTitle) && !out.title.empty()) out.title = cueTitle;
    out.elapsed = FormatTrackTime(intoMs, s);
    out.total = FormatTrackTime(lengthMs, s);
    out.playing = v.outputOpen;
    const TrackOps& tracks = g_wiring.tracks;
    const ListId id = tracks.playingList ? tracks.playingList(tracks.ctx) : kListFiles;
    const TrackList& list = id == kListPlaylist ? PlaylistViewModelWin() : LibraryFileView();
    out.playlistActive = id == kListPlaylist;
    out.folderPath = list.folder;
    out.cueList = list.kind == cueList || list.kind == cueListIdle;
    out.current = list.currentRow > 0 ? list.currentRow : 0;
    const HttpWindowRange w = HttpListWindow(out.current, static_cast<int>(list.rows.size()));
    // A cue sheet's rows are shown by their entry titles (the name cell holds the audio file).
    for (int i = w.first; i < w.end; ++i) {
        const ListRow& row = list.rows[static_cast<size_t>(i)];
        const bool titled = out.cueList && !row.cell[3].empty();
        out.items.push_back({row.cell[titled ? 3 : 0], true});
    }
    out.colorBack = static_cast<uint32_t>(s.color_back);
    out.colorText = static_cast<uint32_t>(s.color_text);
    out.colorTrack = static_cast<uint32_t>(s.color_track);
}

HttpHost ServerHost() {
    HttpHost h;
    h.settings = [](void*) { return g_settings.httpserv; };
    h.snapshot = PageSnapshot;
    h.command = [](void*, unsigned id) { SendMessageW(g_win.mainWindow, WM_COMMAND, id, 0); };
    h.setVolume = [](void*, int volume) {
        g_settings.volume = static_cast<uint16_t>(volume);
        const PlaybackOps& p = g_wiring.playback;
        if (p.applyVolume) p.applyVolume(p.ctx, false);
        if (View().showVolume) View().showVolume(View().ctx);
    };
    h.errorLog = [](void*, const char* text, int code) { WriteErrorLog(text, code); };
    h.showMessage = [](void*, const wchar_t* text, int ms) {
        if (View().showMessage) View().showMessage(View().ctx, text, ms);
    };
    h.engineState = [](void*, StreamEngineState& out) {
        const PlaybackOps& p = g_wiring.playback;
        EngineView v;
        if (p.view) p.view(p.ctx, v);
        out.playing = v.outputOpen;
        out.rate = g_playState.outRate;
        out.channels = g_playState.outChannels;
    };
    h.setOutputFormat = [](void*, uint32_t rate, uint32_t channels) {
        g_playState.outRate = rate;
        g_playState.outChannels = channels;
    };
    h.setStreamTap = [](void*, bool on) { g_playState.streamTap = on; };
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

    // The HTTP control server and its live stream, when the settings enable it.
    HttpStartWin(g_win.instance, ServerHost());
    w.http = HttpOpsWin();
    w.http.serverControl(w.http.ctx, false);

    Windows(w);
    if (RouteCommands(w, kCommandRoutes, std::size(kCommandRoutes)))
        WriteErrorLog("A command is routed twice or to the dispatcher's own", -1);
    LayoutMainWindowWin();
}

void EnqueueWin(std::vector<std::wstring> paths) {
    PlaylistViewEnqueueWin(std::move(paths));
}
