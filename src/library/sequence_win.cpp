// The sequencer's window side: SequencerOps over the engine, its deferred actions and the
// delayed-start timer, the folder tree and the lists; the TrackOps the dispatcher reaches it
// through. Everything decided lives in sequence*.cpp and the engine's track_start.cpp; this
// file only connects.
#include "library/sequence_win.h"

#include <commctrl.h>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/engine_win.h"
#include "audio/intro_scan_win.h"
#include "audio/mpeg_scan.h"
#include "audio/output.h"
#include "audio/track_start.h"
#include "base/fileops_win.h"
#include "library/library_win.h"
#include "library/playlist_file.h"
#include "library/sequence.h"

namespace {

HWND g_main = nullptr;
Sequencer g_seq;

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

// ---- SequencerOps: the engine ----

TrackStart StartOf(const StartRequest& r) {
    return TrackStart{r.file, r.position, r.positionMs, static_cast<uint32_t>(r.fadeMs)};
}

bool OpIsPlaying(void*) {
    return OutputOpen(g_playState);
}
int64_t OpPosition(void*) {
    return EngineBytePos(EngineNow());
}
bool OpStartTrack(void*, const StartRequest& r) {
    g_seq.delayedPending = false;
    KillTimer(g_main, kTimerDelayedStart);
    Engine e = EngineNow();
    uint32_t fadeMs = 0;
    switch (EngineStartTrack(e, StartOf(r), &fadeMs)) {
        case StartOutcome::Started:
            g_seq.endHandled = false;
            return true;
        case StartOutcome::AfterFade:
            // A stream or plug-in source fades first; timer 1809 then starts the file.
            g_settings.last_file = r.file;
            g_settings.last_pos = 0;
            g_seq.delayedPending = true;
            SetTimer(g_main, kTimerDelayedStart, fadeMs, nullptr);
            return true;
        case StartOutcome::Failed:
            break;
    }
    return false;
}
void OpDelayedStart(void*, const StartRequest& r, uint32_t delayMs) {
    // Timer 1809 starts last_file at last_pos (the dispatcher's delayed start).
    Engine e = EngineNow();
    g_settings.last_file = r.file;
    g_settings.last_pos = static_cast<int32_t>(StartPositionBytes(e, StartOf(r)));
    g_seq.delayedPending = true;
    SetTimer(g_main, kTimerDelayedStart, delayMs, nullptr);
}
void StopEngine() {
    g_seq.delayedPending = false;
    Engine e = EngineNow();
    EngineStop(e, true);
    CloseTrackFile(e);
}
void OpStopPlayback(void*) {
    StopEngine();
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

// ---- SequencerOps: the library and the window ----

void OpShowFolder(void*, const std::wstring& path) {
    g_settings.browsed_folder = path;
    LibraryListBrowsedFolderWin();
}
void OpUpcomingChanged(void*) {
    const LibraryHost& h = LibraryHostWin();
    if (h.updateTitle) h.updateTitle(h.ctx);
}
void OpListChanged(void*, TrackList&) {
    const LibraryHost& h = LibraryHostWin();
    if (h.updateFlags) h.updateFlags(h.ctx);
}
void OpLogTrack(void*) {
    const LibraryHost& h = LibraryHostWin();
    if (h.logTrack) h.logTrack(h.ctx);
}

// ---- TrackOps ----

bool PlayRowOp(void*, ListId id, int row, bool start, bool manual) {
    return PlayRowGuarded(g_seq, *ListOf(id), row, start, manual) != 0;
}
void PrevTrackOp(void*, ListId id) {
    (void)PrevTrack(g_seq, *ListOf(id), true);
}
bool NextTrackOp(void*, ListId id) {
    return NextTrack(g_seq, *ListOf(id), true, true) != 0;
}
bool DirSearchOp(void*, int direction) {
    return DirSearch(g_seq, direction > 0) != 0;
}
void PlayPathOp(void*, const std::wstring& path) {
    g_settings.last_file = path;
    (void)PlayPath(g_seq);
}
void PlayPathAtOp(void*, const std::wstring& path, uint32_t startMs) {
    g_settings.last_file = path;
    (void)PlayPath(g_seq, startMs);
}
bool StartFileOp(void*, const std::wstring& file, int32_t pos) {
    Engine e = EngineNow();
    return SeqFileStarted(g_seq, EngineStartFile(e, file, pos));
}
void StopOp(void*) {
    StopEngine();
}
void SkipRowsOp(void*, ListId id) {
    (void)SkipRows(g_seq, *ListOf(id));
}
void MoveRowsNextOp(void*, ListId id) {
    (void)MoveRowsNext(g_seq, *ListOf(id));
}
void MoveRowsOp(void*, ListId id, int delta, bool byPage) {
    TrackList& list = *ListOf(id);
    if (byPage && list.window) {
        const LRESULT page =
            SendMessageW(static_cast<HWND>(list.window), LVM_GETCOUNTPERPAGE, 0, 0);
        delta *= page > 1 ? static_cast<int>(page) : 1;
    }
    (void)MoveRows(g_seq, list, delta);
}
bool RecallFolderPositionOp(void*) {
    const int row = RecallFolderPosition(g_seq, *g_seq.fileView);
    if (row >= 0) SelectOnly(*g_seq.fileView, row);
    return row >= 0;
}
void RefreshUpcomingOp(void*) {
    RefreshUpcoming(g_seq);
}
ListId FocusedListOp(void*) {
    return IdOf(g_seq.focusedList);
}
ListId PlayingListOp(void*) {
    return IdOf(g_seq.playingList);
}

// ---- play lists and cue sheets read from disk ----

constexpr size_t kMaxListBytes = 16u << 20;  // larger list files are not read

bool ReadListFile(const std::wstring& path, std::string& bytes) {
    FileOps fs = Win32FileOps();
    return fs.readFile(nullptr, path, kMaxListBytes, bytes);
}

// The MPEG scan's answer for the cue lengths: the audio after the tag at the average bit rate.
uint32_t CueTotalMs(void*, const std::wstring& file) {
    Engine e = EngineNow();
    if (!e.io.file.open) return 0;
    MpegInfo info;
    ByteReader in{};
    if (!e.io.file.open(e.io.file.ctx, info, file.c_str(), in)) return 0;
    uint32_t ms = 0;
    if (MpegScan(info, in) && info.dwAudioEnd > info.dwAudioBeg)
        ms = MpegLengthMs(info, info.dwAudioEnd - info.dwAudioBeg);
    if (e.io.file.close) e.io.file.close(e.io.file.ctx, info);
    return ms;
}

}  // namespace

void SequenceReadPlayListWin(void*, TrackList& list, const std::wstring& path) {
    std::string bytes;
    if (!ReadListFile(path, bytes)) return;  // a list that cannot be read stays empty
    PlayListEnv env{&g_settings, &g_playableExtensions, g_playState.bassLoaded, SystemCodePageWin()};
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

void SequenceStartWin(HWND mainWindow, const SequenceFlags& flags) {
    g_main = mainWindow;
    g_seq.s = &g_settings;
    g_seq.tree = &LibraryTree();
    g_seq.treeEnv = LibraryTreeEnvWin();
    g_seq.playable = &g_playableExtensions;
    g_seq.fileView = &LibraryFileView();
    g_seq.focusedList = g_seq.playingList = g_seq.fileView;
    g_seq.trackOneShot = flags.trackOneShot;
    g_seq.quitAfterTrack = flags.quitAfterTrack;
    g_seq.quitAfterList = flags.quitAfterList;

    SequencerOps& o = g_seq.ops;
    o = SequencerOps{};
    o.isPlaying = OpIsPlaying;
    o.position = OpPosition;
    o.startTrack = OpStartTrack;
    o.delayedStart = OpDelayedStart;
    o.stopPlayback = OpStopPlayback;
    o.endAction = OpEndAction;
    o.logTrack = OpLogTrack;
    o.introScanRunning = OpIntroScanRunning;
    o.introScanTrackEnd = OpIntroScanTrackEnd;
    o.inputWaiting = OpInputWaiting;
    o.showFolder = OpShowFolder;
    o.upcomingChanged = OpUpcomingChanged;
    o.listChanged = OpListChanged;
}

TrackOps TrackOpsWin() {
    TrackOps t;
    t.playRow = PlayRowOp;
    t.prevTrack = PrevTrackOp;
    t.nextTrack = NextTrackOp;
    t.dirSearch = DirSearchOp;
    t.playPath = PlayPathOp;
    t.playPathAt = PlayPathAtOp;
    t.startFile = StartFileOp;
    t.stop = StopOp;
    t.skipRows = SkipRowsOp;
    t.moveRowsNext = MoveRowsNextOp;
    t.moveRows = MoveRowsOp;
    t.recallFolderPosition = RecallFolderPositionOp;
    t.refreshUpcoming = RefreshUpcomingOp;
    t.focusedList = FocusedListOp;
    t.playingList = PlayingListOp;
    return t;
}

void SequenceTrackEndedWin(const TrackEndInfo& end) {
    SeqEngineTrackEnd(g_seq, end.ringPlaysOut, end.actionDecides, end.lengthMs);
}

void SequencePlayFromTopWin() {
    (void)SeqPlayFromTop(g_seq);
}

bool SequencePlaySelectedAtWin(int percent) {
    g_playState.startPercent = percent;
    const bool ok = PlayRowGuarded(g_seq, *ListOf(IdOf(g_seq.focusedList)), -1, true, false) != 0;
    g_playState.startPercent = -1;
    return ok;
}

bool SequencePlayNextAtWin(int percent) {
    g_playState.startPercent = percent;
    const bool ok = NextTrack(g_seq, *ListOf(IdOf(g_seq.playingList)), true, true) != 0;
    g_playState.startPercent = -1;
    return ok;
}

void SequenceRefreshUpcomingWin() {
    RefreshUpcoming(g_seq);
}
