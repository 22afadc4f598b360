// Starting rows, next and previous, failed starts, the end of a track and PlayPath.
#include "library/sequence.h"

#include "base/path.h"
#include "library/list_text.h"

namespace {
uint32_t Flags(const Settings& s) {
    return static_cast<uint32_t>(s.control_flags);
}

bool Playing(Sequencer& q) {
    return q.ops.isPlaying && q.ops.isPlaying(q.ops.ctx);
}

void Action(Sequencer& q, EndAction a) {
    if (q.ops.endAction) q.ops.endAction(q.ops.ctx, a);
}

bool IsCue(const TrackList& l) {
    return l.kind == cueList || l.kind == cueListIdle;
}

bool PlaylistWindowOpen(const Sequencer& q) {
    return q.playlistView && (q.s->playlist_win & kPlaylistOpen);
}

int FirstSelected(const TrackList& list) {
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].selected) return static_cast<int>(i);
    return -1;
}

// The other list marks the row of the same track (or none).
void MirrorMark(Sequencer& q, const TrackList& from) {
    TrackList* other = nullptr;
    if (&from == q.playlistView)
        other = q.fileView;
    else if (&from == q.fileView && PlaylistWindowOpen(q))
        other = q.playlistView;
    if (!other || other == &from) return;
    const int row = FindRow(*other, q.s->last_file);
    if (!SetCurrentRow(*other, row, false)) {
        const int old = other->currentRow;
        other->currentRow = -1;
        if (other->view.rowChanged && old >= 0) other->view.rowChanged(other->view.ctx, old);
    }
}

StartRequest RequestFor(Sequencer& q, const TrackList& list, int row, bool manual,
                        const std::wstring& previous) {
    const Settings& s = *q.s;
    StartRequest r;
    r.file = s.last_file;
    if (IsCue(list)) {
        bool bytes = false;
        r.position = CueRowStart(list.rows[static_cast<size_t>(row)], &bytes);
        r.positionMs = !bytes;
    } else if (!q.recallFile.empty() && SameTextNoCase(q.recallFile, s.last_file)) {
        r.position = q.recallPosition;
    }
    q.recallFile.clear();
    q.recallPosition = 0;
    const uint32_t fade = static_cast<uint32_t>(s.fadeout);
    if (manual && Playing(q) && (fade & FadeFlag::OnStop) && (fade & FadeFlag::OnSkip)) {
        r.fadeMs = static_cast<int>(SkipFadeMs(s.fadeout));
        const uint32_t g = s.gapless;
        r.overlap = (g & GaplessFlag::Enable) && (g & GaplessFlag::Overlap) &&
                    !IsUrlExact(previous) && !IsUrlExact(s.last_file);
    }
    return r;
}
}  // namespace

uint8_t& OneShot(Sequencer& q) {
    return q.trackOneShot ? *q.trackOneShot : q.ownOneShot;
}
bool& QuitAfterTrack(Sequencer& q) {
    return q.quitAfterTrack ? *q.quitAfterTrack : q.ownQuitTrack;
}
bool& QuitAfterList(Sequencer& q) {
    return q.quitAfterList ? *q.quitAfterList : q.ownQuitList;
}

int PlayRow(Sequencer& q, TrackList& list, int row, bool start, bool manual) {
    Settings& s = *q.s;
    if (list.kind == cueListIdle) list.kind = cueList;
    if (row < 0) {
        row = FirstSelected(list);
        if (row < 0) row = CurrentRowOf(list, s);
        if (row < 0) row = 0;
    }
    OneShot(q) = 0;
    if (Playing(q) && !q.endingTrack) {
        if (q.ops.logTrack) q.ops.logTrack(q.ops.ctx);
        RememberFolderPosition(q, q.ops.position ? q.ops.position(q.ops.ctx) : 0);
    }

    std::wstring path;
    int kind;
    while ((kind = RowPath(list, row, path, false)) == 2)
        if (++row < static_cast<int>(list.rows.size())) SelectOnly(list, row);
    if (kind != 1) return 0;
    const std::wstring previous = s.last_file;
    s.last_file = path;
    if (IsUrlExact(path)) q.streamTitle = list.rows[static_cast<size_t>(row)].cell[0];

    q.playingList = &list;
    SetCurrentRow(list, row, true);
    MirrorMark(q, list);
    if (IsCue(list) && q.cue) q.cue->cuePositionStale = true;

    const TrackList* focused = q.focusedList ? q.focusedList : &list;
    const bool listFile = focused->kind == playList || IsCue(*focused);
    const std::wstring folder = listFile ? s.browsed_folder : PathFolder(s.last_file);
    if (folder != s.last_folder) {
        s.last_folder = folder;
        if (q.tree) MarkPlayingFolder(*q.tree, s.last_folder);
    }
    if (Flags(s) & ControlFlag::UnselectOnTrackChange) {
        for (ListRow& r : list.rows) r.selected = false;
        if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
    }
    if (!start) return 1;

    const StartRequest request = RequestFor(q, list, row, manual, previous);
    UpcomingTexts(q);
    if (q.ops.upcomingChanged) q.ops.upcomingChanged(q.ops.ctx);
    if (q.startDelay) {
        const uint32_t delay = q.startDelay;
        q.startDelay = 0;
        if (q.ops.delayedStart) q.ops.delayedStart(q.ops.ctx, request, delay);
        return 1;
    }
    const bool ok = q.ops.startTrack && q.ops.startTrack(q.ops.ctx, request);
    return SeqStartResult(q, ok) ? 1 : 0;
}

int PlayRowGuarded(Sequencer& q, TrackList& list, int row, bool start, bool manual) {
    if (&list != q.fileView && &list != q.playlistView) return 0;
    if (list.rows.empty()) return 0;
    return PlayRow(q, list, row, start, manual);
}

bool SeqStartResult(Sequencer& q, bool ok) {
    if (ok) {
        q.failedStarts = 0;
        return true;
    }
    if (q.focusedList && IsCue(*q.focusedList)) return false;
    const uint16_t before = q.failedStarts++;
    if (before >= kMaxAutoSkips || !q.playingList) return false;
    return NextTrack(q, *q.playingList, true, false) == 1;
}

int NextTrack(Sequencer& q, TrackList& list, bool start, bool manual) {
    const Settings& s = *q.s;
    const int current = CurrentRowOf(list, s);
    int row = current >= 0 ? current + 1 : FirstSelected(list);
    const bool rememberMode = Flags(s) & ControlFlag::RememberFolderPos;
    if (rememberMode && &list != q.playlistView && s.browsed_folder != s.last_folder &&
        current >= 0 && current < static_cast<int>(list.rows.size()) &&
        list.rows[static_cast<size_t>(current)].cell[3].size() > 1) {
        const int selected = FirstSelected(list);
        if (selected >= 0) row = selected;
    }
    if (row < 0) row = 0;
    if (row >= static_cast<int>(list.rows.size())) return 0;
    return PlayRow(q, list, row, start, manual);
}

int PrevTrack(Sequencer& q, TrackList& list, bool manual) {
    const int current = CurrentRowOf(list, *q.s);
    if (current < 1 || current >= static_cast<int>(list.rows.size())) return 0;
    return PlayRow(q, list, current - 1, true, manual);
}

int SeqPlayFromTop(Sequencer& q) {
    q.startDelay = kFromTopDelay;
    TrackList* list = q.focusedList ? q.focusedList : q.fileView;
    return list ? PlayRow(q, *list, 0, true, false) : 0;
}

namespace {
// The row that just ended goes out of the list; the new current row stays marked.
void RemovePlayedRow(TrackList& list, int ended) {
    if (ended < 0 || ended >= static_cast<int>(list.rows.size()) || ended == list.currentRow)
        return;
    for (ListRow& r : list.rows) r.tag = 0;
    if (list.currentRow >= 0) list.rows[static_cast<size_t>(list.currentRow)].tag = kMovingRowTag;
    list.rows.erase(list.rows.begin() + ended);
    list.currentRow = -1;
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].tag == kMovingRowTag) {
            list.rows[i].tag = 0;
            list.currentRow = static_cast<int>(i);
        }
    if (ended < list.navRowCount) --list.navRowCount;
    if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
}

void AtListEnd(Sequencer& q) {
    Settings& s = *q.s;
    if (QuitAfterList(q)) return Action(q, EndAction::Quit);
    if (!(Flags(s) & ControlFlag::AutoSearchDirs)) {
        return Action(q, s.rpt_mode == 1 ? EndAction::PlayFromTop : EndAction::Stop);
    }
    if (q.playingList == q.playlistView) {
        if (!(Flags(s) & ControlFlag::PlaylistEndToFolder)) return Action(q, EndAction::Stop);
        q.focusedList = q.fileView;
        const bool rows = q.fileView && !q.fileView->rows.empty();
        return Action(q, rows ? EndAction::PlayFromTop : EndAction::Stop);
    }
    if (DirSearch(q, true)) return Action(q, EndAction::PlayFromTop);
    Action(q, SearchFromDriveRoot(q) ? EndAction::PlayFromTop : EndAction::Stop);
}
}  // namespace

void OnTrackEnd(Sequencer& q) {
    Settings& s = *q.s;
    if (q.ops.logTrack) q.ops.logTrack(q.ops.ctx);
    if (QuitAfterTrack(q)) return Action(q, EndAction::Quit);
    if (q.ops.introScanRunning && q.ops.introScanRunning(q.ops.ctx)) {
        if (q.ops.introScanTrackEnd) q.ops.introScanTrackEnd(q.ops.ctx);
        return;
    }
    if ((Flags(s) & ControlFlag::GoHomeBeforeChange) && !s.last_folder.empty()) {
        s.browsed_folder = s.last_folder;
        if (q.tree) SelectItem(*q.tree, LocateTreePath(*q.tree, s.last_folder, true, q.treeEnv));
        if (q.ops.showFolder) q.ops.showFolder(q.ops.ctx, s.last_folder);
    }
    if ((Flags(s) & ControlFlag::AutoReloadDir) && q.playingList == q.fileView && q.ops.showFolder)
        q.ops.showFolder(q.ops.ctx, s.browsed_folder);

    uint8_t& oneShot = OneShot(q);
    if (s.rpt_mode == 2 || oneShot == 1) {
        StartRequest again;
        again.file = s.last_file;
        const bool ok = q.ops.startTrack && q.ops.startTrack(q.ops.ctx, again);
        SeqStartResult(q, ok);
        return;
    }
    if (oneShot == 2 || s.rpt_mode == 3) {
        Action(q, EndAction::Stop);
        oneShot = 0;
        if ((Flags(s) & ControlFlag::SelectNextAfterOne) && q.focusedList) {
            const int current = CurrentRowOf(*q.focusedList, s);
            if (current + 1 < static_cast<int>(q.focusedList->rows.size()))
                SelectOnly(*q.focusedList, current + 1);
        }
        return;
    }

    if (s.autospace & 0x8000) q.startDelay = s.autospace & 0x7FFF;
    if ((Flags(s) & ControlFlag::ContinueInFocused) && q.focusedList &&
        q.focusedList != q.insertView)
        q.playingList = q.focusedList;
    if (!q.playingList) return Action(q, EndAction::Stop);
    TrackList& list = *q.playingList;
    const int ended = CurrentRowOf(list, s);
    q.endingTrack = true;  // gapless output may still run: no second log entry, no position
    const int next = NextTrack(q, list, true, false);
    q.endingTrack = false;
    if (next) {
        if ((Flags(s) & ControlFlag::RemovePlayed) && q.focusedList &&
            q.focusedList->kind <= savedFolderList)
            RemovePlayedRow(list, ended);
        return;
    }
    AtListEnd(q);
}

bool PlayPath(Sequencer& q, uint32_t startMs) {
    Settings& s = *q.s;
    if (s.last_file.empty()) return false;
    if (q.ops.stopPlayback) q.ops.stopPlayback(q.ops.ctx);
    const std::wstring folder = PathFolder(s.last_file);
    s.browsed_folder = folder;
    if (q.tree) {
        // The base folder, documents and shared documents roots are tried first; a path
        // outside all of them is found through the drives.
        TreeItem item = 0;
        for (uint16_t root : {1, 2, 3}) {
            s.last_hti = root;
            item = LocateTreePath(*q.tree, folder, true, q.treeEnv);
            if (item && s.last_hti == root) break;
        }
        if (!item) item = LocateTreePath(*q.tree, folder, true, q.treeEnv);
        SelectItem(*q.tree, item);
    }
    if (q.ops.showFolder) q.ops.showFolder(q.ops.ctx, folder);
    if (q.fileView) SetCurrentRow(*q.fileView, FindRow(*q.fileView, s.last_file), true);
    if (folder != s.last_folder) {
        s.last_folder = folder;
        if (q.tree) MarkPlayingFolder(*q.tree, s.last_folder);
    }
    if (q.fileView) q.playingList = q.fileView;
    StartRequest r;
    r.file = s.last_file;
    r.position = startMs;
    r.positionMs = startMs > 0;
    const bool ok = q.ops.startTrack && q.ops.startTrack(q.ops.ctx, r);
    RefreshUpcoming(q);
    return SeqStartResult(q, ok);
}

void SeqEngineTrackEnd(Sequencer& q, bool ringPlaysOut, bool actionDecides, int64_t lengthMs) {
    if (!ringPlaysOut) {
        if (q.endHandled) {
            q.endHandled = false;
            return;
        }
        if (actionDecides) return;
    } else {
        q.endHandled = true;
    }
    // A cue list follows its rows with the title refresh; at the end of the audio file the
    // followed row is the file's last one, so that the next row is the one after it.
    TrackList* list = q.playingList;
    if (list && q.cue && list->kind == cueList) {
        q.cue->cuePositionStale = true;
        (void)FollowCuePosition(*list, *q.cue, *q.s, lengthMs, lengthMs);
    }
    OnTrackEnd(q);
}

bool SeqFileStarted(Sequencer& q, bool ok) {
    const bool reported = q.delayedPending;
    q.delayedPending = false;
    if (ok) q.endHandled = false;
    if (reported) (void)SeqStartResult(q, ok);
    return ok;
}
