#include "app/view_texts_win.h"

#include <cstdlib>
#include <vector>

#include "app/app_win.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "library/cue_follow_win.h"
#include "library/insert_view_win.h"
#include "library/library_win.h"
#include "log/log_win.h"
#include "library/playlist_view_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"
#include "tags/id3.h"
#include "ui/face_win.h"
#include "ui/title_text.h"
#include "ui/ui_glue_win.h"

namespace {

const Settings& S() {
    return g_settings;
}

EngineView Engine() {
    EngineView v;
    const PlaybackOps& p = g_wiring.playback;
    if (p.view) p.view(p.ctx, v);
    return v;
}

std::wstring Tag(int slot) {
    const wchar_t* t = g_track.tagText[slot];
    return t ? t : L"";
}

bool Colon() {
    return static_cast<uint32_t>(S().stylez) & Style::ColonMinutes;
}

TrackTitleSource TitleSource(const EngineView& v) {
    TrackTitleSource t;
    t.trackLoaded = v.trackLoaded || v.outputOpen;
    t.lastFile = S().last_file;
    t.displayName = Id3DisplayTitle(g_track, t.lastFile.c_str());
    t.tagTitles = static_cast<uint32_t>(S().stylez) & Style::TagTitles;
    t.pluginTrack = g_playState.pluginActive;
    return t;
}

// The focused list: the Playlist view's or the Insert view's when it has the focus and is
// open, else the file list.
TrackList& FocusedList() {
    const TrackOps& t = g_wiring.tracks;
    const ListId id = t.focusedList ? t.focusedList(t.ctx) : kListFiles;
    if (id == kListPlaylist && PlaylistViewIsOpenWin()) return PlaylistViewModelWin();
    if (id == kListInsert && InsertViewIsOpenWin()) return InsertViewModelWin();
    return LibraryFileView();
}

// The full path of the focused list's current row (focused row, else current track's row).
std::wstring FocusedRowPath() {
    const TrackList& list = FocusedList();
    const int row = list.focusedRow >= 0 ? list.focusedRow : list.currentRow;
    std::wstring path;
    if (RowPath(list, row, path, false) != 1) path.clear();
    return path;
}

// ---- texts ----

// Where a stopped track was left, in ms (the engine keeps it as a file position).
uint32_t StoppedMs(const EngineView& v) {
    const int64_t bytes = v.stopPosition - g_track.dwAudioBeg;
    if (bytes <= 0 || g_track.avgBitrate <= 0) return 0;
    return static_cast<uint32_t>(static_cast<double>(bytes) * 8000.0 / g_track.avgBitrate);
}

void UpdateTitleNow() {
    const EngineView v = Engine();
    TitleFacts f;
    f.trackLoaded = v.trackLoaded || v.outputOpen;
    f.showTime = S().show_time;
    f.stylez = static_cast<uint32_t>(S().stylez);
    f.positionMs = v.outputOpen ? g_playState.playedMs : StoppedMs(v);
    f.lengthMs = g_playState.urlStream ? 0 : g_track.lengthMs;
    f.name = TrackTitleText(TitleSource(v));
    f.upcoming = SequencerWin().upcoming1;
    // A cue sheet plays: the time within its entry and the entry's name.
    CueTitleEntry cue;
    if (f.trackLoaded && CueTitleEntryWin(cue)) {
        f.cue = true;
        f.positionMs = cue.intoMs;
        f.lengthMs = cue.lengthMs;
        f.cueNumber = cue.number;
        f.cueTitle = cue.name;
        f.cueSheetName = cue.sheet;
    }
    std::wstring title;
    if (ComposeTitle(f, title) == TitleAction::Set) SetTitleWin(title);
}

void UpdateFlagsNow() {
    const Settings& s = S();
    FlagFacts f;
    f.quitAfterTrack = g_shell.quitAfterTrack;
    f.quitAfterList = g_dispatch.quitAfterList;
    f.waveFlags = s.wave_flags;
    f.enhance = s.enhance;
    f.eqEnable = s.eq_enable != 0;
    const PlaybackOps& p = g_wiring.playback;
    f.muted = p.softMute && p.softMute(p.ctx) != 0;
    f.gaplessActive = g_playState.ovRing != nullptr;
    f.gapless = s.gapless;
    f.fastPlayLevel = g_playState.fastPlayLevel;
    f.autospace = s.autospace;
    f.controlFlags = static_cast<uint32_t>(s.control_flags);
    f.logfile = static_cast<uint32_t>(s.logfile);
    f.httpOn = !s.httpserv.empty() && s.httpserv[0] == 'a';
    const HttpOps& h = g_wiring.http;
    f.httpRunning = h.running && h.running(h.ctx);
    FaceSetStatusTextWin(2, FlagsText(f));
}

void UpdateTrackInfoNow() {
    const EngineView v = Engine();
    if (!(v.trackLoaded || v.outputOpen)) {
        FaceSetStatusTextWin(1, TipPaneText(std::rand() % 32768));
        SetWindowTextW(g_win.mainWindow, kIdleTitle);
        return;
    }
    const FrameHeader& h = g_track.header;
    TrackFormat f;
    f.lengthMs = g_track.lengthMs;
    f.sampleRate = h.sampleRate ? h.sampleRate : g_playState.srcRate;
    f.mode = h.channelMode == 4   ? ChannelMode::Mono
             : h.channelMode == 3 ? ChannelMode::DualChannel
             : h.channelMode == 2 ? ChannelMode::JointStereo
                                  : ChannelMode::Stereo;
    f.crc = h.hasCrc;
    f.copyright = h.copyright;
    if (g_playState.bassActive) {
        f.decoder = L"BASS";
        f.channels = g_playState.srcChannels;
        f.averageBps = static_cast<uint32_t>(g_track.avgBitrate);
        f.rateKind = g_playState.srcChannels > 2 ? RateKind::Multichannel : RateKind::OtherBass;
    } else if (g_playState.pluginActive) {
        f.decoder = L"Plug-in";
        f.rateKind = RateKind::StreamOrPlugin;
        f.kbps = h.bitrateKbps;
    } else {
        f.decoder = g_playState.hAcmStream ? L"ACM" : L"mpglib";
        f.rateKind = g_track.vbrKind ? RateKind::MpegVbr : RateKind::MpegCbr;
        f.kbps = h.bitrateKbps;
        f.averageBps = static_cast<uint32_t>(g_track.avgBitrate);
    }
    FaceSetStatusTextWin(1, TrackFormatText(f, Colon()));
    if (static_cast<uint32_t>(S().control_flags) & ControlFlag::TrayIcon)
        TraySetTipWin(TitleSource(v).displayName);
}

void UpdateListSummaryNow() {
    const TrackList& list = LibraryFileView();
    std::vector<SummaryRow> rows;
    rows.reserve(list.rows.size());
    for (const ListRow& r : list.rows) rows.push_back({r.cell[0], r.cell[1], r.cell[4]});
    SummaryFacts f;
    f.kind = list.kind;
    f.sizeInKb = static_cast<uint32_t>(S().list_style) & ListStyle::SizeInKb;
    const uint32_t info = static_cast<uint32_t>(S().info_row);
    f.timeInExtra = (info & (1u << 12)) && (info & (1u << 16));
    f.tracksWord = LangText(g_lang, 139);
    int count = 0;
    FaceSetStatusTextWin(0, ListSummaryText(rows.data(), rows.size(), f, count));
}

void CopyNowPlaying(bool selectedRow) {
    std::wstring text;
    if (selectedRow) {
        text = FocusedRowPath();
        if (text.empty()) return;
    } else {
        const EngineView v = Engine();
        if (!v.outputOpen) return;
        NowPlayingFacts f;
        f.artist = Tag(kTagArtist);
        f.album = Tag(kTagAlbum);
        f.comment = Tag(kTagComment);
        f.title = Tag(kTagTitle);
        f.track = Tag(kTagTrack);
        f.lastFile = S().last_file;
        f.displayName = TitleSource(v).displayName;
        text = NowPlayingText(S().nowplaying, f);
    }
    if (CopyToClipboardWin(text)) ShowMessageWin(L" Track info copied.", 3000);
}

// ---- menus ----

MenuItem EntryItem(unsigned id, const std::wstring& text) {
    MenuItem m;
    m.kind = id ? MenuItem::Command : MenuItem::Separator;
    m.id = id;
    m.text = text;
    return m;
}

MenuFacts Facts() {
    const Settings& s = S();
    MenuFacts f;
    f.controlLock = static_cast<uint32_t>(s.control_lock);
    f.stylez = static_cast<uint32_t>(s.stylez);
    f.controlFlags = static_cast<uint32_t>(s.control_flags);
    f.systemFlags = static_cast<uint32_t>(s.system_flags);
    f.compactView = s.compact_view;
    f.listStyle = static_cast<uint32_t>(s.list_style);
    f.waveFlags = s.wave_flags;
    f.gapless = s.gapless;
    f.autospace = s.autospace;
    f.logfile = static_cast<uint32_t>(s.logfile);
    f.enhance = s.enhance;
    f.eqEnable = s.eq_enable != 0;
    f.history = s.history;
    f.rptMode = s.rpt_mode;
    f.trackOneShot = g_dispatch.trackOneShot;
    f.quitAfterList = g_dispatch.quitAfterList;
    f.quitAfterTrack = g_shell.quitAfterTrack;
    f.fastPlayLevel = g_playState.fastPlayLevel;
    const EngineView v = Engine();
    f.trackLoaded = v.trackLoaded || v.outputOpen;
    f.trackPlaying = v.outputOpen;
    const ViewOps& view = g_wiring.view;
    f.bigViewOpen = view.bigViewState && view.bigViewState(view.ctx) != 0;
    f.introScanRunning = IntroScanRunningWin();
    for (const auto& e : LogMenuEntriesWin(kCmdFavorites)) f.favourites.push_back(EntryItem(e.id, e.text));
    for (const auto& e : LogMenuEntriesWin(kCmdTrackHistory))
        f.trackHistory.push_back(EntryItem(e.id, e.text));
    for (const auto& e : LogMenuEntriesWin(kCmdFolderHistory))
        f.folderHistory.push_back(EntryItem(e.id, e.text));
    return f;
}

POINT CursorOr(LPARAM lParam) {
    POINT pt{};
    if (lParam == -1 || lParam == 0) {
        GetCursorPos(&pt);
    } else {
        pt.x = static_cast<short>(LOWORD(lParam));
        pt.y = static_cast<short>(HIWORD(lParam));
    }
    return pt;
}

bool Locked() {
    return MenusLocked(static_cast<uint32_t>(S().control_lock));
}

void ShowMainMenu(POINT pt, bool statusBarClick) {
    if (Locked()) return;
    MenuFacts f = Facts();
    f.statusBarClick = statusBarClick;
    TrackMenuWin(MainMenu(f, g_lang), pt);
}

void ShowRowMenu(POINT pt) {
    if (Locked()) return;
    const TrackList& list = FocusedList();
    const Settings& s = S();
    RowFacts f;
    const std::wstring path = FocusedRowPath();
    f.playingStream = g_playState.urlStream && !path.empty() && path == s.last_file;
    f.streamTitle = TitleSource(Engine()).displayName;
    f.listKind = list.kind;
    f.inPlaylistPane = &list == &PlaylistViewModelWin();
    const bool fileList = &list == &LibraryFileView();
    f.fileListShowsFolder = fileList && list.kind == folderList;
    int selected = 0;
    for (const ListRow& r : list.rows) selected += r.selected;
    f.singleTrack = selected <= 1 && !path.empty();
    const std::wstring ext = PathExtension(path);
    f.playableFile = !path.empty() && !IsUrl(path) && ext != L".m3u" && ext != L".m3u8" &&
                     ext != L".cue";
    f.playlistExists = PlaylistViewIsOpenWin();
    f.fileListFocused = fileList;
    f.listStyle = static_cast<uint32_t>(s.list_style);
    f.infoRow = static_cast<uint32_t>(s.info_row);
    f.controlFlags = static_cast<uint32_t>(s.control_flags);
    f.launch[0] = s.applaunch1;
    f.launch[1] = s.applaunch2;
    f.launch[2] = s.applaunch3;
    TrackMenuWin(RowMenu(f, g_lang), pt);
}

void ShowTreeMenu(POINT pt) {
    if (Locked()) return;
    const Settings& s = S();
    TreeFacts f;
    f.itemPath = s.browsed_folder;
    const std::wstring ext = PathExtension(f.itemPath);
    f.listFile = ext == L".m3u" || ext == L".m3u8" || ext == L".cue";
    f.folder = !f.listFile;
    f.baseFolder = s.home_folder;
    f.streamPlaying = g_playState.urlStream && Engine().outputOpen;
    f.launch[0] = s.applaunch1;
    f.launch[1] = s.applaunch2;
    f.launch[2] = s.applaunch3;
    TrackMenuWin(TreeMenu(f, g_lang), pt);
}

void ShowWindowFromTray() {
    HWND w = g_win.mainWindow;
    const bool maximise = S().maximized == 1 && !(S().compact_view & CompactView::On);
    ShowWindow(w, maximise ? SW_MAXIMIZE : SW_RESTORE);
    g_shell.hiddenToTray = false;
    // A start with "/hide" shows the window first here.
    if (g_wiring.view.windowShown) g_wiring.view.windowShown(g_wiring.view.ctx);
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(w);
}

}  // namespace

void ViewTextsStartWin() {
    UiGlueStartWin(g_win.mainWindow, g_win.instance);
    std::srand(GetTickCount());
    if (S().hotkeys) RegisterHotkeysWin(false, S().hotkeys, S().hotkey_def);
    if (static_cast<uint32_t>(S().control_flags) & ControlFlag::TrayIcon && !TrayAddWin())
        g_settings.control_flags &= ~static_cast<int32_t>(ControlFlag::TrayIcon);
    UpdateTrackInfoNow();
    UpdateFlagsNow();
    UpdateListSummaryNow();
}

void ViewTextsStopWin() {
    RegisterHotkeysWin(true, 0, {});
    if (TrayShownWin()) TrayRemoveWin();
}

void ViewTextOpsWin(ViewOps& v) {
    v.updateTitle = [](void*) { UpdateTitleNow(); };
    v.updateFlags = [](void*) { UpdateFlagsNow(); };
    v.showMessage = [](void*, const wchar_t* text, int ms) { ShowMessageWin(text, ms); };
}

void ViewListChangedWin() {
    UpdateListSummaryNow();
    UpdateTitleNow();
}

void ViewTrackStartedWin() {
    UpdateTrackInfoNow();
    UpdateTitleNow();
    if (NowPlayingAuto(S().nowplaying)) CopyNowPlaying(false);
}

void ViewTextCommandWin(CommandId id, intptr_t) {
    switch (id) {
        case kCmdCopyNowPlaying: CopyNowPlaying(false); break;
        case kCmdCopyPath: CopyNowPlaying(true); break;
        case kCmdShowAllTips:
            MessageBoxW(g_win.mainWindow, AllTipsText().c_str(), L"Tips", MB_OK | MB_ICONINFORMATION);
            break;
        case kCmdBrowserWithTitle: {
            const std::wstring path = FocusedRowPath();
            if (path.empty() || IsStreamAddress(path)) break;
            // The tags of the playing track when the row is it; else the file name.
            const bool playing = path == S().last_file;
            const std::wstring text = SearchText(path, playing ? Tag(kTagArtist) : L"",
                                                 playing ? Tag(kTagTitle) : L"");
            OpenUrlWin(BrowserUrl(S().browse, text));
            break;
        }
        case kCmdExternal1:
        case kCmdExternal2:
        case kCmdExternal3: {
            const std::wstring& value = id == kCmdExternal1   ? S().applaunch1
                                        : id == kCmdExternal2 ? S().applaunch2
                                                              : S().applaunch3;
            LaunchWin(PlanLaunch(value, FocusedRowPath()), g_shell.programPath);
            break;
        }
        default: break;
    }
}

void MenuCommandWin(CommandId id, intptr_t) {
    POINT pt{};
    GetCursorPos(&pt);
    switch (id) {
        case kCmdMainMenu:
        case kCmdMainMenuButton: ShowMainMenu(pt, false); break;
        case kCmdRepeatMenu:
            if (!Locked()) TrackMenuWin(RepeatMenu(Facts(), g_lang), pt);
            break;
        case kCmdContextMenu: {
            const LibraryWindows w = LibraryWindowsWin();
            HWND focus = GetFocus();
            if (focus && focus == w.tree)
                ShowTreeMenu(pt);
            else if (focus && (focus == w.files || focus == w.playlist))
                ShowRowMenu(pt);
            else
                ShowMainMenu(pt, false);
            break;
        }
        default: break;
    }
}

bool ContextMenuWin(HWND target, LPARAM lParam) {
    const POINT pt = CursorOr(lParam);
    const LibraryWindows w = LibraryWindowsWin();
    if (target && target == w.tree) {
        ShowTreeMenu(pt);
    } else if (target && (target == w.files || target == w.playlist ||
                          target == InsertViewListWin())) {
        SetFocus(target);
        ShowRowMenu(pt);
    } else {
        // The toolbar, the status bar or the window itself: the main menu; inside the status
        // bar's height without a track, the tips entry.
        RECT rc{};
        GetClientRect(g_win.mainWindow, &rc);
        POINT client = pt;
        ScreenToClient(g_win.mainWindow, &client);
        const bool inStatus = client.y >= rc.bottom - 24;
        ShowMainMenu(pt, inStatus);
    }
    return true;
}

void TrayCallbackWin(LPARAM lParam) {
    HWND w = g_win.mainWindow;
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONUP:
            if (g_shell.hiddenToTray || !IsWindowVisible(w)) {
                ShowWindowFromTray();
            } else {
                FaceStorePlacementWin();
                ShowWindow(w, SW_HIDE);
                g_shell.hiddenToTray = true;
            }
            break;
        case WM_MBUTTONUP:
            SendMessageW(w, WM_COMMAND, kCmdStopResume, 0);
            break;
        case WM_RBUTTONUP: {
            SetForegroundWindow(w);
            POINT pt{};
            GetCursorPos(&pt);
            if (!Locked()) TrackMenuWin(TrayMenu(Facts(), g_lang), pt);
            SetForegroundWindow(w);
            break;
        }
        default: break;
    }
}
