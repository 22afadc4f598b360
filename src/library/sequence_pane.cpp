// Opening and closing the Playlist view as far as sequencing is concerned: its rows come back
// from the last close, it becomes the playing list, and closing hands everything back to the
// File view.
#include "library/playlist_file.h"
#include "library/sequence.h"

void OpenPlaylistPane(Sequencer& q, TrackList& pane, const std::vector<ListStateRow>& saved) {
    Settings& s = *q.s;
    q.playlistView = &pane;
    pane.role = ListRole::PlaylistView;
    s.playlist_win = static_cast<uint16_t>(s.playlist_win | kPlaylistOpen);
    RestorePlaylistRows(pane, saved, s);
    if (!(static_cast<uint32_t>(s.control_flags) & ControlFlag::ContinueInFocused))
        q.playingList = &pane;
    RefreshUpcoming(q);
}

std::vector<ListStateRow> ClosePlaylistPane(Sequencer& q) {
    Settings& s = *q.s;
    std::vector<ListStateRow> rows;
    if (q.playlistView) rows = PlaylistStateRows(*q.playlistView);
    s.playlist_win = static_cast<uint16_t>(s.playlist_win & ~kPlaylistOpen);
    q.focusedList = q.playingList = q.fileView;
    RefreshUpcoming(q);
    return rows;
}
