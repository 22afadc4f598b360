// Where the subsystems meet. Every subsystem starts here, in its order; every table through
// which one subsystem reaches another is filled here, once:
//   - g_wiring: what the dispatcher reaches (each subsystem's own table of what it offers);
//   - the route table: which subsystem answers each command the dispatcher does not;
//   - the host tables: what a subsystem tells and asks of the subsystems above it.
// Nothing is overwritten or chained afterwards. docs/wiring.md explains the pattern.
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "app/app_win.h"
#include "app/sound_host_win.h"
#include "app/view_texts_win.h"
#include "audio/bass_download_win.h"
#include "audio/bass_win.h"
#include "audio/control.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "audio/plugin_host.h"
#include "audio/plugin_host_win.h"
#include "audio/runtime_info_win.h"
#include "base/path.h"
#include "feeds/feeds_win.h"
#include "feeds/rss.h"
#include "http/http_win.h"
#include "library/cue_follow_win.h"
#include "library/info_scan_win.h"
#include "library/insert_view_win.h"
#include "library/library_win.h"
#include "library/list_rename_win.h"
#include "library/list_text.h"
#include "library/playlist_view_win.h"
#include "library/playlist_write_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"
#include "settings/settings_dialog_win.h"
#include "log/log_win.h"
#include "tags/id3.h"
#include "tools/compare_win.h"
#include "tools/finder_win.h"
#include "tools/picture_win.h"
#include "tools/row_shell_win.h"
#include "tools/tools_win.h"
#include "tools/track_info_win.h"
#include "tools/wav_export_win.h"
#include "ui/big_view_win.h"
#include "ui/face_win.h"
#include "ui/title_text.h"
#include "ui/ui_glue_win.h"

namespace {

// ---- the commands other subsystems answer ----

// The playing stream's title and address (the stream's row menu).
void StreamTitleCommandWin(CommandId id, intptr_t) {
    if (!BassStreamPlayingWin()) return;
    if (id == kCmdLogTitle) LogStreamTitleWin(BassNowPlayingWin());
    if (id == kCmdCopyTitle) (void)CopyToClipboardWin(BassNowPlayingWin());
    if (id == kCmdCopyWebsite && !BassStationUrlWin().empty())
        (void)CopyToClipboardWin(BassStationUrlWin());
}

constexpr CommandRoute kCommandRoutes[] = {
    // audio/: playback control's windows
    {kCmdIntroScan, IntroScanCommandWin},
    {kCmdSaveDownloadStream, BassDownloadCommandWin},
    {kCmdLogTitle, StreamTitleCommandWin},
    {kCmdCopyTitle, StreamTitleCommandWin},
    {kCmdCopyWebsite, StreamTitleCommandWin},
    {kCmdRuntimeInfo, RuntimeInfoCommandWin},
    // library/: the tree and the File view
    {kCmdReloadList, LibraryReloadCommandWin},
    {kCmdShuffle, LibraryCycleSortCommandWin},
    {kCmdSetBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdClearBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdGoToBaseFolder, LibraryBaseFolderCommandWin},
    {kCmdGoToCurrent, LibraryGoToCurrentCommandWin},
    {kCmdRename, ListRenameCommandWin},
    {kCmdSelectAll, LibrarySelectAllCommandWin},
    {kCmdShowSubfolders, LibrarySubfoldersCommandWin},
    // tools/: copy, move, delete and the small list tools
    {kCmdCopyTo, ToolsCommandWin},
    {kCmdMoveRename, ToolsCommandWin},
    {kCmdDelete, ToolsCommandWin},
    {kCmdOpenPath, ToolsCommandWin},
    {kCmdFindInList, ToolsCommandWin},
    {kCmdRowNotes, ToolsCommandWin},
    {kCmdBeatCounter, ToolsCommandWin},
    {kCmdEasyRenamer, ToolsCommandWin},
    {kCmdFileDate, ToolsCommandWin},
    {kCmdScanInfo, InfoScanCommandWin},
    {kCmdTrackInfo, TrackInfoCommandWin},
    // tools/: the shell's handling of a row's file or the tree's list file
    {kCmdExplore, RowShellCommandWin},
    {kCmdProperties, RowShellCommandWin},
    {kCmdStandardOpen, RowShellCommandWin},
    {kCmdPlaylistEdit, RowShellCommandWin},
    // library/: play list files and cue sheets
    {kCmdPlaylistCreate, PlaylistCreateCommandWin},
    {kCmdPlaylistAppend, PlaylistAppendCommandWin},
    {kCmdFindCueSheet, FindCueSheetCommandWin},
    // library/: the Playlist view
    {kCmdPlaylistView, PlaylistViewToggleCommandWin},
    {kCmdEnqueue, PlaylistViewEnqueueCommandWin},
    {kCmdClearList, PlaylistViewClearCommandWin},
    {kCmdContentToPlaylist, PlaylistViewContentCommandWin},
    // feeds/: the RSS reader
    {kCmdViewRssFile, FeedsViewCommandWin},
    // library/: the Insert view
    {kCmdOpenInInsertView, InsertViewOpenCommandWin},
    // log/: the track log
    {kCmdViewTrackLog, LogViewerCommandWin},
    {kCmdFavAddPosition, FavouriteCommandWin},
    {kCmdFavAddFolder, FavouriteCommandWin},
    {kCmdFavAddTrack, FavouriteCommandWin},
    {kCmdFavRemove, FavouriteCommandWin},
    {kCmdFavRemoveAll, FavouriteCommandWin},
    {kCmdFavorites, FavouriteCommandWin},
    {kCmdTrackHistory, HistoryCommandWin},
    {kCmdFolderHistory, HistoryCommandWin},
    // tools/: the WAV export
    {kCmdSaveToWav, SaveToWavCommandWin},
    // tools/: the file finder
    {kCmdFindFiles, FindFilesCommandWin},
    // tools/: compare folders
    {kCmdCompareFolders, CompareFoldersCommandWin},
    {kCmdFileFinderDrive, FindFilesCommandWin},
    // tools/: the cover picture
    {kCmdOpenPicture, OpenPictureCommandWin},
    // ui/: the Big view
    {kCmdBigView, BigViewCommandWin},
    {kCmdCloseBigView, BigViewCommandWin},
    // ui/: the compact view
    {kCmdCompactView, FaceCompactCommandWin},
    {kCmdCompactNoStatusBar, FaceCompactCommandWin},
    {kCmdCompactNoTitleBar, FaceCompactCommandWin},
    {kCmdCompactOnTop, FaceCompactCommandWin},
    // ui/: texts, clipboard, web search, external programs, pop-up menus
    {kCmdCopyNowPlaying, ViewTextCommandWin},
    {kCmdCopyPath, ViewTextCommandWin},
    {kCmdBrowserWithTitle, ViewTextCommandWin},
    {kCmdShowAllTips, ViewTextCommandWin},
    {kCmdExternal1, ViewTextCommandWin},
    {kCmdExternal2, ViewTextCommandWin},
    {kCmdExternal3, ViewTextCommandWin},
    {kCmdMainMenu, MenuCommandWin},
    {kCmdMainMenuButton, MenuCommandWin},
    {kCmdRepeatMenu, MenuCommandWin},
    {kCmdContextMenu, MenuCommandWin},
    // settings/: the settings dialog (F6, and "Configure Big view..." on its page)
    {kCmdSettings, SettingsCommandWin},
    {kCmdConfigureBigView, SettingsCommandWin},
    // app/: a new instance of the program on a folder
    {kCmdNewWindow, NewWindowCommandWin},
};

}  // namespace

bool CommandHasHandlerWin(unsigned id) {
    if (id >= kCommandSlots) return false;
    if (DispatcherAnswers(static_cast<CommandId>(id))) return true;
    for (const CommandRoute& r : kCommandRoutes)
        if (r.id == id && r.run) return true;
    return false;
}

namespace {

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

// ---- the track log: told by the engine and the sequencer ----

// While the sequencer handles the end of a played track: its length, which is where the
// track is left (the ring still plays its last blocks out).
uint32_t g_endedTrackMs = 0;
bool g_trackEnding = false;

void LogTrackLeft(uint32_t positionMs) {
    const LogOps& l = g_wiring.log;
    if (l.trackLeft) l.trackLeft(l.ctx, positionMs);
}

void LogTrackLeftNow() {
    LogTrackLeft(g_trackEnding ? g_endedTrackMs : g_playState.playedMs);
}

// The log's own starts (viewer, history, favourites) leave the playing track first: the
// sequencer's PlayPath does not tell the log.
void LeavePlayingTrack() {
    const PlaybackOps& p = g_wiring.playback;
    EngineView v;
    if (p.view) p.view(p.ctx, v);
    if (v.outputOpen) LogTrackLeftNow();
}

LogHost TrackLogHost() {
    LogHost h;
    h.errorLog = [](void*, const char* text, int code) { WriteErrorLog(text, code); };
    h.restartPending = [](void*) {
        const uint32_t a = g_playState.pendingAction;
        return a == kActionRestart || a == kActionRestartKeep;
    };
    h.urlStream = [](void*) { return g_playState.urlStream; };
    h.playPath = [](void*, const std::wstring& path) {
        LeavePlayingTrack();
        const TrackOps& t = g_wiring.tracks;
        if (t.playPath) t.playPath(t.ctx, path);
    };
    h.enqueue = [](void*, const std::vector<std::wstring>& paths) { EnqueueWin(paths); };
    h.playingTrack = [](void*, std::wstring& path, uint32_t& ms) {
        if (!g_wiring.playback.view) return false;
        EngineView v;
        g_wiring.playback.view(g_wiring.playback.ctx, v);
        if (!v.outputOpen || g_settings.last_file.empty() || g_playState.urlStream) return false;
        path = g_settings.last_file;
        ms = g_playState.playedMs;
        return true;
    };
    h.focusedTrack = [](void*, std::wstring& path) {
        const TrackOps& t = g_wiring.tracks;
        const ListId id = t.focusedList ? t.focusedList(t.ctx) : kListFiles;
        const TrackList& list = id == kListPlaylist ? PlaylistViewModelWin() : LibraryFileView();
        return list.focusedRow >= 0 && RowPath(list, list.focusedRow, path, false) == 1;
    };
    h.shownFolder = [](void*, std::wstring& path) {
        path = g_settings.browsed_folder;
        return !path.empty();
    };
    h.playAt = [](void*, const std::wstring& path, uint32_t startMs) {
        LeavePlayingTrack();
        const TrackOps& t = g_wiring.tracks;
        if (t.playPathAt) t.playPathAt(t.ctx, path, startMs);
    };
    h.showFolder = [](void*, const std::wstring& folder) {
        g_settings.browsed_folder = folder;
        LibrarySelectStartWin(false);
    };
    h.playable = [](void*, const std::wstring& path) {
        const ListOps& l = g_wiring.lists;
        return l.isPlayable && l.isPlayable(l.ctx, path);
    };
    h.trackTime = [](void*, uint32_t ms) { return FormatTrackTime(ms, g_settings); };
    return h;
}

// ---- what the engine tells and asks of the subsystems above it ----

EngineHost PlaybackHost() {
    EngineHost h;
    h.showPlayButton = [](void*, bool pressed) {
        if (View().showPlayButton) View().showPlayButton(View().ctx, pressed);
    };
    h.statusMessage = [](void*, const wchar_t* text, int ms) {
        if (View().showMessage) View().showMessage(View().ctx, text, ms);
    };
    h.refreshDisplay = [](void*) {
        UpdateTitle();
        BigViewIdleCheckWin();  // the idle pop-up, while music plays
    };
    h.trackEnded = [](void*, const TrackEndInfo& end) {
        g_trackEnding = true;
        g_endedTrackMs = static_cast<uint32_t>(end.lengthMs);
        SequenceTrackEndedWin(end);
        g_trackEnding = false;
    };
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
    h.logTrackLeave = [](void*, uint32_t playedMs) { LogTrackLeft(playedMs); };
    h.logTrackStart = [](void*, const MpegInfo& m, uint32_t startMs) {
        ViewTrackStartedWin();  // pane 1, the tray tip, the "Now playing" copy
        if (static_cast<uint32_t>(g_settings.stylez) & Style::ShowPictures) PictureUpdateWin(0);
        const LogOps& l = g_wiring.log;
        if (!l.trackStarted) return;
        LogTrackInfo t;
        t.path = m.fileName;
        t.artist = m.tagText[kTagArtist];
        t.album = m.tagText[kTagAlbum];
        t.title = m.tagText[kTagTitle];
        t.track = m.tagText[kTagTrack];
        t.startMs = startMs;
        t.lengthMs = m.lengthMs;
        l.trackStarted(l.ctx, t);
    };
    h.streamFeed = [](void*, const uint8_t* pcm, uint32_t bytes, bool mode24) {
        HttpStreamFeedWin(pcm, bytes, mode24);
    };
    // The position memory, the stream recorder and the plug-in host fill their entries when
    // they are built.
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
    h.updateFlags = [](void*) {
        UpdateFlags();
        ViewListChangedWin();  // rows removed or moved: the list summary
    };
    h.showMessage = [](void*, const wchar_t* text, int ms) {
        if (View().showMessage) View().showMessage(View().ctx, text, ms);
    };
    h.logTrack = [](void*) { LogTrackLeftNow(); };
    h.listShown = [](void*) { ViewListChangedWin(); };
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
    t.displayName = Id3DisplayTitle(g_track, t.lastFile.c_str());
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
    h.pictureWindow = [](void*, int& w, int& ht) { return PictureWindowWin(w, ht); };
    h.listWindow = [](void*, int which) -> HWND {
        const LibraryWindows w = LibraryWindowsWin();
        switch (which) {
            case 0: return w.tree;
            case 1: return w.files;
            case 2: return w.playlist;
            case 3: return InsertViewListWin();
            default: return nullptr;
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

// ---- what the Big view asks of the player ----

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void BigViewFacts(void*, BigTrackFacts& f) {
    const Settings& s = g_settings;
    const PlayState& ps = g_playState;
    f.path = s.last_file;
    f.stream = ps.urlStream;
    if (f.stream) {  // the station's own texts
        f.streamTitle = BassNowPlayingWin();
        f.stationName = BassStationNameWin();
        f.stationUrl = BassStationUrlWin();
    }
    auto tag = [](int slot) {
        const wchar_t* t = g_track.tagText[slot];
        return t ? std::wstring(t) : std::wstring();
    };
    f.artist = tag(kTagArtist);
    f.title = tag(kTagTitle);
    f.album = tag(kTagAlbum);
    f.year = tag(kTagYear);
    f.comment = tag(kTagComment);
    f.trackNumber = tag(kTagTrack);
    f.folderPath = FolderOf(f.path);
    const size_t slash = f.folderPath.find_last_of(L'\\');
    f.folderName = slash == std::wstring::npos ? f.folderPath : f.folderPath.substr(slash + 1);
    f.bitRate = static_cast<uint32_t>(g_track.avgBitrate);
    f.mpegDecoder = !ps.pluginActive && !ps.bassActive;
    f.vbr = g_track.vbrKind != 0;
    f.channelMode = g_track.header.channelMode > 0 ? g_track.header.channelMode - 1 : 0;
    f.decoder = ps.pluginActive ? BigTrackFacts::Decoder::Plugin
                : ps.bassActive ? BigTrackFacts::Decoder::Bass
                : ps.mpglibModule ? BigTrackFacts::Decoder::Mpglib
                                  : BigTrackFacts::Decoder::Acm;
    f.encoderId = g_track.encoderId;
    f.gapless = s.gapless != 0;
    f.fastPlayLevel = ps.fastPlayLevel;
    f.playing = ps.hWaveOut || ps.dsBuffer;
    f.directSound = ps.dsBuffer != nullptr;
    f.rateHz = ps.outRate;
    f.channels = static_cast<int>(ps.outChannels);
    f.bits = static_cast<int>(ps.outBits);
    f.mode24 = ps.mode24;
    f.quitAfterTrack = g_shell.quitAfterTrack;
    f.quitAtListEnd = g_dispatch.quitAfterList;
    f.enhancer1 = s.enhance == 1;
    f.enhancer2 = s.enhance == 2;
    f.equalizer = s.eq_enable != 0;
    f.mono = s.wave_flags & WaveFlag::MonoOutput;
    // The one-shot flags of the track win over the repeat mode.
    using Repeat = BigTrackFacts::Repeat;
    f.repeat = g_dispatch.trackOneShot == 1   ? Repeat::Track
               : g_dispatch.trackOneShot == 2 ? Repeat::StopAfterTrack
               : s.rpt_mode == 1              ? Repeat::List
               : s.rpt_mode == 2              ? Repeat::Track
               : s.rpt_mode == 3              ? Repeat::StopAfterTrack
                                              : Repeat::None;
    f.autoSearchDirs = static_cast<uint32_t>(s.control_flags) & ControlFlag::AutoSearchDirs;
    const Sequencer& q = SequencerWin();
    f.nextName = q.upcoming1;
    f.secondName = q.upcoming2;
    if (const TrackList* list = q.playingList) {
        // Positions count the tracks, not the folder rows above them.
        const int n = static_cast<int>(list->rows.size()) - list->navRowCount;
        if (list->currentRow >= list->navRowCount && n > 0) {
            f.trackPosition = list->currentRow - list->navRowCount + 1;
            f.listSize = n;
        }
        f.playlist = list == q.playlistView || list->kind == playList;
        if (list->kind == playList) {
            const std::wstring folder = FolderOf(list->folder);
            const size_t cut = folder.find_last_of(L'\\');
            f.playlistFolder = cut == std::wstring::npos ? folder : folder.substr(cut + 1);
        }
    }
    CueTitleEntry cue;
    if (CueTitleEntryWin(cue)) {
        f.cueEntry = true;
        wchar_t unnamed[16];
        std::swprintf(unnamed, 16, L"Cue %.2d", cue.number);
        f.cueTitle = cue.name.empty() ? std::wstring(unnamed) : cue.name;
        f.cueAlbum = cue.sheet;
    }
}

// The peaks of the block heard last, after the processing chain: even entries left, odd right.
bool BigViewLevels(void*, int& left, int& right) {
    const PlayState& ps = g_playState;
    if (!ps.hWaveOut || ps.buffers.empty()) return false;
    const OutBuffer& b = ps.buffers[static_cast<size_t>(ps.currentBuffer) % ps.buffers.size()];
    left = right = 0;
    for (int i = 0; i + 1 < kMeterEntries; i += 2) {
        left = std::max<int>(left, b.peaks[1][i]);
        right = std::max<int>(right, b.peaks[1][i + 1]);
    }
    return true;
}

BigViewHost BigViewHostTable() {
    BigViewHost h;
    h.facts = BigViewFacts;
    h.playing = [](void*) { return g_playState.hWaveOut != nullptr || g_playState.dsBuffer != nullptr; };
    h.timeText = [](void*) {
        return FormatTrackTime(g_playState.playedMs, g_settings) + L" / " +
               FormatTrackTime(g_playState.playedLengthMs, g_settings);
    };
    h.levels = BigViewLevels;
    h.meterRequest = [](void*, bool on) { g_playState.preciseMeters = on; };
    h.layout = [](void*) {
        if (View().layout) View().layout(View().ctx);
        // The embedded Big view came or went: the picture takes its new size and place.
        if (static_cast<uint32_t>(g_settings.stylez) & Style::ShowPictures) PictureUpdateWin(1);
    };
    h.rssUpdateIfDue = [](void*) {
        const FeedsOps& f = g_wiring.feeds;
        return f.updateIfDue && f.updateIfDue(f.ctx);
    };
    h.rssUpdateNow = [](void*) {
        const FeedsOps& f = g_wiring.feeds;
        if (f.updateNow) f.updateNow(f.ctx);
    };
    h.rssNextTitle = [](void*) {
        const FeedsOps& f = g_wiring.feeds;
        return f.nextTitle ? f.nextTitle(f.ctx) : std::string();
    };
    h.rssUpdateNowText = [](void*) {
        const FeedsOps& f = g_wiring.feeds;
        return RssUpdateNowText(L"RSS update now (planned:", f.planned ? f.planned(f.ctx) : 0);
    };
    return h;
}

// ---- what the settings dialog asks of the program ----

SettingsHost SettingsHostTable() {
    SettingsHost h;
    h.refreshStatus = [](void*) {
        UpdateTitle();
        UpdateFlags();
    };
    h.rebuildFocusedList = [](void*) { SendMessageW(g_win.mainWindow, WM_COMMAND, kCmdReloadList, 0); };
    h.settingsEdited = [](void*, const Settings& before) { LibraryTreeSettingsEditedWin(before); };
    h.applyDsp = [](void*, int mode, bool reset) {
        dspApplySettings(g_dspState, g_settings, mode, reset, 0, 2);
    };
    h.playing = [](void*) {
        EngineView v;
        if (g_wiring.playback.view) g_wiring.playback.view(g_wiring.playback.ctx, v);
        return v.outputOpen && !g_settings.last_file.empty();
    };
    h.portable = [](void*) { return g_shell.iniLocation == kPortable; };
    h.shutdown = [](void*) { Shutdown(); };
    h.settingsPath = [](void*) { return g_shell.iniPath; };
    h.programPath = [](void*) { return g_shell.programPath; };
    h.makePortable = [](void*) {
        HANDLE f = CreateFileW(MarkerFilePath(g_shell.programPath).c_str(), GENERIC_WRITE, 0,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        g_shell.iniPath = IniBesideProgram(g_shell.programPath);
        g_shell.iniLocation = kPortable;
        return true;
    };
    h.refreshFace = [](void*) {
        DeleteBrushes();
        CreateBrushes();
        // The tree and the lists take the list colours.
        const LibraryWindows lw = LibraryWindowsWin();
        const LPARAM back = static_cast<LPARAM>(g_settings.color_back);
        const LPARAM text = static_cast<LPARAM>(g_settings.color_text);
        for (HWND list : {lw.files, PlaylistViewWindowWin()}) {
            if (!list) continue;
            SendMessageW(list, LVM_SETBKCOLOR, 0, back);
            SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, back);
            SendMessageW(list, LVM_SETTEXTCOLOR, 0, text);
        }
        if (lw.tree) {
            SendMessageW(lw.tree, TVM_SETBKCOLOR, 0, back);
            SendMessageW(lw.tree, TVM_SETTEXTCOLOR, 0, text);
        }
        FaceRebuildToolbarWin();
        FaceLayoutWin();
        DarkModeFollowSettingsWin();  // a theme or the option switched dark mode
        RedrawWindow(g_win.mainWindow, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    };
    h.registerHotkeys = [](void*) {
        RegisterHotkeysWin(true, 0, std::string());
        RegisterHotkeysWin(false, g_settings.hotkeys, g_settings.hotkey_def);
    };
    h.httpControl = [](void*, bool stop) {
        const HttpOps& o = g_wiring.http;
        if (o.serverControl) o.serverControl(o.ctx, stop);
        UpdateToolbar(ToolbarMask::WebServer);
    };
    h.httpStatus = [](void*) {
        const HttpOps& o = g_wiring.http;
        const bool running = o.running && o.running(o.ctx);
        return HttpStatusText(!g_settings.httpserv.empty() && g_settings.httpserv[0] == 'a', running,
                              o.localAddress ? o.localAddress(o.ctx) : std::string());
    };
    h.httpLocalAddress = [](void*) {
        const HttpOps& o = g_wiring.http;
        return o.localAddress ? o.localAddress(o.ctx) : std::string();
    };
    SoundPagesHostWin(h);
    return h;
}

void Windows(AppWiring& w) {
    WindowOps& big = w.windows[static_cast<size_t>(AppWindow::BigView)];
    big.isOpen = [](void*) { return BigViewIsOpenWin(); };
    big.close = [](void*) { BigViewShowWin(false); };
    WindowOps& intro = w.windows[static_cast<size_t>(AppWindow::IntroScan)];
    intro.isOpen = [](void*) { return IntroScanWindowOpen(); };
    intro.close = [](void*) { IntroScanCloseWin(); };
    WindowOps& insert = w.windows[static_cast<size_t>(AppWindow::InsertView)];
    insert.isOpen = [](void*) { return InsertViewIsOpenWin(); };
    insert.close = [](void*) { InsertViewCloseWin(); };
    WindowOps& playlist = w.windows[static_cast<size_t>(AppWindow::Playlist)];
    playlist.isOpen = [](void*) { return PlaylistViewIsOpenWin(); };
    playlist.close = [](void*) { PlaylistViewCloseWin(); };
    WindowOps& beat = w.windows[static_cast<size_t>(AppWindow::BeatCounter)];
    beat.isOpen = [](void*) { return BeatCounterIsOpenWin(); };
    beat.close = [](void*) { BeatCounterCloseWin(); };
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
    ViewTextOpsWin(w.view);  // title, flags and messages
    // The cover picture at the foot of the tree; the layout places it. The start folder's
    // picture, before the first show, is placed by the window frame's pass that follows it.
    PictureStartWin(PictureStart{main, g_win.instance, PathFolder(g_shell.iniPath), [] {
        if (!g_shell.startupPending || IsWindowVisible(g_win.mainWindow)) FaceLayoutWin();
    }});
    w.view.updatePicture = [](void*) {
        const bool on = static_cast<uint32_t>(g_settings.stylez) & Style::ShowPictures;
        int pw, ph;
        PictureUpdateWin(!on ? 2 : PictureWindowWin(pw, ph) ? 0 : 1);
    };

    // The track log, which the engine and the sequencer tell of every track they leave.
    LogStartWin(main, g_win.instance, g_shell.iniPath, TrackLogHost());
    w.log = LogOpsWin();
    w.otherCommand = [](unsigned id, intptr_t lParam) { LogMenuEntryWin(id, lParam); };

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
    // bass.dll beside the program: other formats and tracker modules.
    g_playState.bassLoaded = BassLoadWin() == 1;
    AddPlayableExtensions(g_playableExtensions, BassPlayableExtensionsWin());

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
    InsertViewStartWin(main, g_win.instance);
    ToolsStartWin(main);
    w.lists = ListOpsWin();
    w.tracks = TrackOpsWin();
    g_listSources = ListSources{PlaylistViewRowsWin, LibraryFileRowsWin, nullptr};

    // The RSS reader: its file beside the settings file; the Big view asks it for titles.
    FeedsHost feeds;
    feeds.errorLog = [](void*, const char* text, int code) { WriteErrorLog(text, code); };
    feeds.updated = [](void*, bool written) {
        if (written && View().showMessage) View().showMessage(View().ctx, L" RSS file updated.", 4000);
    };
    FeedsStartWin(main, g_win.instance, g_shell.iniPath, feeds);
    w.feeds = FeedsOpsWin();
    // The Big view, which asks the engine, the tags and the RSS reader.
    BigViewStartWin(main, g_win.instance, g_shell.dpiFactor, BigViewHostTable());
    w.view.bigViewState = [](void*) { return BigViewStateWin(); };
    // The HTTP control server and its live stream, when the settings enable it.
    HttpStartWin(g_win.instance, ServerHost());
    w.http = HttpOpsWin();
    w.http.serverControl(w.http.ctx, false);

    // The settings dialog, which reaches the rest through its host table.
    SettingsStartWin(SettingsStart{main, g_win.instance, g_shell.dpiFactor, SettingsHostTable()});

    Windows(w);
    if (RouteCommands(w, kCommandRoutes, std::size(kCommandRoutes)))
        WriteErrorLog("A command is routed twice or to the dispatcher's own", -1);
    ApplyDarkMode(false, false);
    UpdateToolbar(kToolbarStartMask);
    FaceLayoutWin();
    ViewTextsStartWin();  // hotkeys, tray icon, the first status texts
}

void EnqueueWin(std::vector<std::wstring> paths) {
    PlaylistViewEnqueueWin(std::move(paths));
}
