// The provisional layout of the main window: the tree, the File view and the Playlist view.
#include "app/layout.h"

#include <gtest/gtest.h>

#include "config/settings_bits.h"
#include "config/settings_io.h"

namespace {

bool Same(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

TEST(MainLayout, TreeListsAndThePlaylistPane) {
    // Client 800 x 600, a 30 px toolbar, a 20 px status bar: the lists span y 30..580.
    const struct {
        const char* what;
        bool treeHidden;
        int divider;
        uint16_t playlistWin;  // with kPlaylistOpen: the pane is open
        Rect tree, files, playlist;
    } cases[] = {
        {"tree and list", false, 200, 0, {0, 30, 200, 550}, {203, 30, 597, 550}, {}},
        {"divider past the edge", false, 5000, 0, {0, 30, 780, 550}, {783, 30, 17, 550}, {}},
        {"no tree", true, 200, 0, {}, {0, 30, 800, 550}, {}},
        {"pane on top",
         false,
         200,
         kPlaylistOpen | 300,
         {0, 30, 200, 550},
         {203, 303, 597, 277},
         {203, 30, 597, 270}},
        {"pane below",
         false,
         200,
         kPlaylistOpen | kPlaylistBelow | 300,
         {0, 30, 200, 550},
         {203, 30, 597, 270},
         {203, 303, 597, 277}},
        {"pane right, divider kept off the edge",
         false,
         200,
         kPlaylistOpen | kPlaylistRight | 50,
         {0, 30, 200, 550},
         {203, 30, 100, 550},
         {306, 30, 494, 550}},
        {"pane on top, divider kept off the bottom",
         false,
         200,
         kPlaylistOpen | 8000,
         {0, 30, 200, 550},
         {203, 493, 597, 87},
         {203, 30, 597, 460}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s;
        SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
        s.stylez = c.treeHidden ? static_cast<int32_t>(Style::TreeHidden) : 0;
        s.divider = c.divider;
        s.playlist_win = c.playlistWin;
        const MainLayout l =
            LayOutMainWindow(s, 800, 600, 30, 20, (c.playlistWin & kPlaylistOpen) != 0);
        EXPECT_EQ(l.treeShown, !c.treeHidden);
        if (!c.treeHidden) {
            EXPECT_TRUE(Same(l.tree, c.tree));
        }
        EXPECT_TRUE(Same(l.files, c.files))
            << l.files.x << "," << l.files.y << " " << l.files.w << "x" << l.files.h;
        EXPECT_TRUE(Same(l.playlist, c.playlist))
            << l.playlist.x << "," << l.playlist.y << " " << l.playlist.w << "x" << l.playlist.h;
    }
}

}  // namespace
