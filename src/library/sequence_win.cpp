// The sequencer's window side: SequencerOps over the engine, its deferred actions and the
// delayed-start timer, the folder tree and the File view; the dispatcher's sequencing hooks.
// Everything decided lives in sequence*.cpp; this file only connects.
#include "library/sequence_win.h"

#include <commctrl.h>

#include "app/app_win.h"
#include "audio/control.h"
#include "audio/control_win.h"
#include "audio/decoder.h"
#include "audio/engine_win.h"
#include "audio/fast_play.h"
#include "audio/mpeg_file_win.h"
#include "audio/mpeg_scan.h"
#include "audio/output.h"
#include "audio/play_init.h"
#include "audio/ring.h"
#include "base/fileops_win.h"
#include "library/library_win.h"
#include "library/playlist_file.h"
#include "library/sequence.h"

namespace {

HWND g_main = nullptr;
Sequencer g_seq;

// The engine's own entries, called by the wrappers below.
bool (*g_engineStart)(void*, const std::wstring&, int32_t) = nullptr;
void (*g_engineStop)(void*) = nullptr;

// The end of the current track was handled when its decoder finished; the end of playback
// that follows (the ring has played out) is then only the output closing.
bool g_endHandled = false;
// A start of the sequencer waits on timer 1809; its outcome is reported when it runs.
bool g_delayedPending = false;
// The engine's track record keeps a pointer to its path: two alternating stores, so that a
// continuation never overwrites the path of the track still open.
std::wstring g_paths[2];
int g_pathIndex = 0;

std::wstring AnsiText(void*, std::string_view text) {
    return AnsiToWide(text);
}
std::string TextAnsi(void*, std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

// ---- lists ----

TrackList* ListOf(ListId id) {
    if (id == kListPlaylist && g_seq.playlistView) return g_seq.playlistView;
    if (id == kListInsert && g_seq.insertView) return g_seq.insertView;
    return g_seq.fileView;
}

ListId IdOf(const TrackList* list) {
    if (list && list == g_seq.playlistView) return kListPlaylist;
    if (list && list == g_seq.insertView) return kListInsert;
    return kListFiles;
}

// The dispatcher keeps which list has the focus and which plays; the sequencer works on
// pointers. Taken before every rule, handed back after it.
void Enter() {
    LibraryPullSelectionWin();
    g_seq.focusedList = ListOf(g_dispatch.focusedList);
    g_seq.playingList = ListOf(g_dispatch.playingList);
}
void Leave() {
    g_dispatch.playingList = IdOf(g_seq.playingList);
}

// ---- engine ----

// Bytes of `ms` of MPEG audio at the average bit rate (bits per second).
int64_t BytesOfMs(int64_t ms, double avgBitrate) {
    return avgBitrate > 0 ? static_cast<int64_t>(static_cast<double>(ms) * avgBitrate / 8000.0) : 0;
}

// The next track on the output that still plays the ring out: the decoders of the ended track
// are closed, the new one is opened and play init keeps the output when the format allows,
// so that the ring joins the two tracks. Another format is restarted by the engine once the
// queue has been heard (deferred action 6).
bool ContinueOnOutput(const StartRequest& r) {
    Engine e = EngineNow();
    // A manual skip keeps the output in every mode (its queue is fading); a track end keeps
    // it only for the ring to play out.
    if (g_playState.manualSkip)
        CloseDecoders(e);
    else
        EngineStop(e, false);
    g_pathIndex ^= 1;
    g_paths[g_pathIndex] = r.file;
    if (!OpenTrack(e, g_paths[g_pathIndex].c_str())) return false;
    int64_t pos = r.position;
    if (r.positionMs && pos > 0) pos = g_track.dwAudioBeg + BytesOfMs(pos, g_track.avgBitrate);
    if (pos > 0 && pos < g_track.dwAudioEnd) {
        MpegInfo probe = g_track;
        const int64_t at = MpegFindSync(probe, e.in, static_cast<uint32_t>(pos));
        if (at >= 0 && at < g_track.dwAudioEnd) g_track.dwPointer = static_cast<uint32_t>(at);
    }
    const uint32_t bits = g_playState.mode24 ? 24 : 16;
    if (PlayInit(e, g_track.header.sampleRate, TrackChannels(g_track), bits) == 0) return true;
    CloseTrackFile(e);
    // The ring still holds the ended track: it plays out, and the end of playback follows.
    if (OutputOpen(g_playState)) g_playState.trackEnded = true;
    return false;
}

// A cue row's start in ms becomes a file position once the file is known: the audio start
// plus the bytes of that many ms at the average bit rate.
int32_t StartBytes(const StartRequest& r) {
    if (!r.positionMs || r.position <= 0) return static_cast<int32_t>(r.position);
    MpegInfo info;
    ByteReader in{};
    if (!MpegOpenFile(info, r.file.c_str(), in)) return 0;
    int32_t pos = 0;
    if (MpegScan(info, in))
        pos = static_cast<int32_t>(info.dwAudioBeg + BytesOfMs(r.position, info.avgBitrate));
    MpegCloseFile(info);
    return pos;
}

bool OpIsPlaying(void*) {
    return OutputOpen(g_playState);
}
int64_t OpPosition(void*) {
    return EngineBytePos(EngineNow());
}
// A change the user asked for while a track sounds, with "Fade on skip:": the queued audio
// fades out. A file track then ends at once and the new one starts on the open output: mixed
// into the fading queue with overlap mixing, else right after it. A stream or plug-in source
// is stopped and the new track started once the fade has been heard.
bool SkipWithFade(const StartRequest& r) {
    Engine e = EngineNow();
    const uint32_t faded = FadeQueuedAudio(e, static_cast<uint32_t>(r.fadeMs));
    const bool fileSource = !g_playState.urlStream && !g_playState.pluginActive;
    if (!fileSource) {
        g_settings.last_file = r.file;
        g_settings.last_pos = 0;
        g_delayedPending = true;
        SetTimer(g_main, kDelayedStartTimer, faded > 0 ? faded : 1, nullptr);
        return true;
    }
    g_playState.trackEnded = true;
    FastPlayClearTail(g_playState);
    g_playState.manualSkip = true;
    const bool ok = ContinueOnOutput(r);
    g_playState.manualSkip = false;
    if (ok) {
        g_endHandled = false;
        return true;
    }
    // The new track did not open on this output: what still sounds plays out, and the end
    // of playback follows.
    return false;
}

bool OpStartTrack(void*, const StartRequest& r) {
    g_delayedPending = false;
    KillTimer(g_main, kDelayedStartTimer);
    if (OutputOpen(g_playState) && g_playState.trackEnded && r.fadeMs == 0) {
        const bool ok = ContinueOnOutput(r);
        if (ok) g_endHandled = false;
        return ok;
    }
    if (r.fadeMs > 0 && OutputOpen(g_playState) && g_playState.pendingAction == kActionNone)
        return SkipWithFade(r);
    return g_hooks.startPlayback && g_hooks.startPlayback(g_hooks.ctx, r.file, StartBytes(r));
}
void OpDelayedStart(void*, const StartRequest& r, uint32_t delayMs) {
    // Timer 1809 starts last_file at last_pos (the dispatcher's delayed start).
    g_settings.last_file = r.file;
    g_settings.last_pos = StartBytes(r);
    g_delayedPending = true;
    SetTimer(g_main, kDelayedStartTimer, delayMs, nullptr);
}
void OpStopPlayback(void*) {
    g_delayedPending = false;
    if (g_hooks.stopPlayback) g_hooks.stopPlayback(g_hooks.ctx);
}
void OpEndAction(void*, EndAction a) {
    // Delay 0: the engine waits for what the ring and the output still hold.
    Engine e = EngineNow();
    ScheduleAction(e, static_cast<uint32_t>(a), 0);
}
bool OpIntroScanRunning(void*) {
    return IntroScanWindowOpen();
}
void OpIntroScanTrackEnd(void*) {
    IntroScanNextWin();  // a natural end counts as its Next button
}
bool OpInputWaiting(void*) {
    MSG m;
    return PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) ||
           PeekMessageW(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
}
void OpShowFolder(void*, const std::wstring& path) {
    g_settings.browsed_folder = path;
    if (g_hooks.listBrowsedFolder) g_hooks.listBrowsedFolder(g_hooks.ctx);
}
void OpUpcomingChanged(void*) {
    if (g_hooks.updateTitle) g_hooks.updateTitle(g_hooks.ctx);
}
void OpListChanged(void*, TrackList&) {
    if (g_hooks.updateFlags) g_hooks.updateFlags(g_hooks.ctx);
}

// ---- the engine's notifications ----

void RunTrackEnd() {
    Enter();
    // A cue list follows its rows with the title refresh; at the end of the audio file the
    // followed row is the file's last one, so that the next row is the one after it.
    TrackList* list = g_seq.playingList;
    if (list && g_seq.cue && list->kind == cueList) {
        const int64_t end = g_track.lengthMs > 0 ? g_track.lengthMs : g_playState.playedLengthMs;
        g_seq.cue->cuePositionStale = true;
        (void)FollowCuePosition(*list, *g_seq.cue, g_settings, end, end);
    }
    OnTrackEnd(g_seq);
    Leave();
}

// ringPlaysOut: the decoder has delivered the whole track and the output still plays the
// ring; otherwise playback has ended and the output is closed.
void TrackEnded(bool ringPlaysOut) {
    if (ringPlaysOut) {
        g_endHandled = true;
        RunTrackEnd();
        return;
    }
    if (g_endHandled) {
        g_endHandled = false;
        return;
    }
    // A deferred action (a stop, a restart in another format, ...) decides what follows.
    if (g_playState.pendingAction > kActionStopping) return;
    RunTrackEnd();
}

void PlayFromTop() {
    Enter();
    SeqPlayFromTop(g_seq);
    Leave();
}

// ---- the dispatcher's hooks ----

bool HookStartPlayback(void* ctx, const std::wstring& file, int32_t pos) {
    const bool reported = g_delayedPending;
    g_delayedPending = false;
    const bool ok = g_engineStart && g_engineStart(ctx, file, pos);
    if (ok) g_endHandled = false;
    if (reported) {
        Enter();
        (void)SeqStartResult(g_seq, ok);
        Leave();
    }
    return ok;
}
void HookStopPlayback(void* ctx) {
    g_delayedPending = false;
    if (g_engineStop) g_engineStop(ctx);
}
bool HookPlayRow(void*, ListId id, int row, bool start, bool manual) {
    Enter();
    const int r = PlayRowGuarded(g_seq, *ListOf(id), row, start, manual);
    Leave();
    return r != 0;
}
void HookPrevTrack(void*, ListId id) {
    Enter();
    (void)PrevTrack(g_seq, *ListOf(id), true);
    Leave();
}
bool HookNextTrack(void*, ListId id) {
    Enter();
    const int r = NextTrack(g_seq, *ListOf(id), true, true);
    Leave();
    return r != 0;
}
bool HookDirSearch(void*, int direction) {
    Enter();
    const int r = DirSearch(g_seq, direction > 0);
    Leave();
    return r != 0;
}
void HookPlayPath(void*, const std::wstring& path) {
    Enter();
    g_settings.last_file = path;
    (void)PlayPath(g_seq);
    Leave();
}
void HookSkipRows(void*, ListId id) {
    Enter();
    (void)SkipRows(g_seq, *ListOf(id));
    Leave();
}
void HookMoveRowsNext(void*, ListId id) {
    Enter();
    (void)MoveRowsNext(g_seq, *ListOf(id));
    Leave();
}
void HookMoveRows(void*, ListId id, int delta, bool byPage) {
    Enter();
    TrackList& list = *ListOf(id);
    if (byPage && list.window) {
        const LRESULT page =
            SendMessageW(static_cast<HWND>(list.window), LVM_GETCOUNTPERPAGE, 0, 0);
        delta *= page > 1 ? static_cast<int>(page) : 1;
    }
    (void)MoveRows(g_seq, list, delta);
    Leave();
}
bool HookRecallFolderPosition(void*) {
    Enter();
    const int row = RecallFolderPosition(g_seq, *g_seq.fileView);
    if (row >= 0) SelectOnly(*g_seq.fileView, row);
    Leave();
    return row >= 0;
}
void HookRefreshUpcoming(void*) {
    Enter();
    RefreshUpcoming(g_seq);
    Leave();
}

// ---- play lists and cue sheets read from disk ----

constexpr size_t kMaxListBytes = 16u << 20;  // larger list files are not read

bool ReadListFile(const std::wstring& path, std::string& bytes) {
    FileOps fs = Win32FileOps();
    return fs.readFile(nullptr, path, kMaxListBytes, bytes);
}

// The MPEG scan's answers for the cue lengths: (size - audio start) / (bit rate / 8).
uint32_t CueTotalMs(void*, const std::wstring& file) {
    MpegInfo info;
    ByteReader in{};
    if (!MpegOpenFile(info, file.c_str(), in)) return 0;
    uint32_t ms = 0;
    if (MpegScan(info, in))
        ms = CueMpegTotalMs(MpegFileSize(info), info.dwAudioBeg,
                            static_cast<uint32_t>(info.avgBitrate));
    MpegCloseFile(info);
    return ms;
}

}  // namespace

CodePage SystemCodePageWin() {
    return CodePage{AnsiText, TextAnsi, nullptr};
}

void SequenceReadPlayListWin(void*, TrackList& list, const std::wstring& path) {
    std::string bytes;
    if (!ReadListFile(path, bytes)) return;  // a list that cannot be read stays empty
    PlayListEnv env{&g_settings, &g_playableExtensions, false,
                    SystemCodePageWin()};
    (void)LoadPlayListBytes(list, path, bytes, env, LibraryListEnvWin());
}

void SequenceReadCueSheetWin(void*, TrackList& list, const std::wstring& path) {
    static CueState cue;
    g_seq.cue = &cue;
    std::string bytes;
    if (!ReadListFile(path, bytes)) return;
    CueReadEnv env;
    env.s = &g_settings;
    env.playable = &g_playableExtensions;
    env.codePage = SystemCodePageWin();
    env.audio.totalMs = CueTotalMs;
    (void)ReadCueSheetBytes(list, cue, path, bytes, env);
    (void)CueSheetLoaded(list, cue, g_settings);
}

Sequencer& SequencerWin() {
    return g_seq;
}

void SequenceStartWin(HWND mainWindow) {
    g_main = mainWindow;
    g_seq.s = &g_settings;
    g_seq.tree = &LibraryTree();
    g_seq.treeEnv = LibraryTreeEnvWin();
    g_seq.playable = &g_playableExtensions;
    g_seq.fileView = &LibraryFileView();
    g_seq.focusedList = g_seq.playingList = g_seq.fileView;
    g_seq.trackOneShot = &g_dispatch.trackOneShot;
    g_seq.quitAfterList = &g_dispatch.quitAfterList;
    g_seq.quitAfterTrack = &g_shell.quitAfterTrack;

    SequencerOps& o = g_seq.ops;
    o = SequencerOps{};
    o.isPlaying = OpIsPlaying;
    o.position = OpPosition;
    o.startTrack = OpStartTrack;
    o.delayedStart = OpDelayedStart;
    o.stopPlayback = OpStopPlayback;
    o.endAction = OpEndAction;
    o.logTrack = nullptr;  // the track log connects here once it exists
    o.introScanRunning = OpIntroScanRunning;
    o.introScanTrackEnd = OpIntroScanTrackEnd;
    o.inputWaiting = OpInputWaiting;
    o.showFolder = OpShowFolder;
    o.upcomingChanged = OpUpcomingChanged;
    o.listChanged = OpListChanged;

    AppHooks& h = g_hooks;
    g_engineStart = h.startPlayback;
    h.startPlayback = HookStartPlayback;
    g_engineStop = h.stopPlayback;
    h.stopPlayback = HookStopPlayback;
    h.playRow = HookPlayRow;
    h.prevTrack = HookPrevTrack;
    h.nextTrack = HookNextTrack;
    h.dirSearch = HookDirSearch;
    h.playPath = HookPlayPath;
    h.skipRows = HookSkipRows;
    h.moveRowsNext = HookMoveRowsNext;
    h.moveRows = HookMoveRows;
    h.recallFolderPosition = HookRecallFolderPosition;
    h.refreshUpcoming = HookRefreshUpcoming;

    g_trackEndHandler = TrackEnded;
    g_playFromTopHandler = PlayFromTop;
}
