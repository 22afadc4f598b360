// The main window's geometry: rectangles worked out by hand from the layout rules for a
// 1000 x 700 client with a 250-pixel tree.
#include "ui/face_layout.h"

#include <gtest/gtest.h>

#include "config/settings_bits.h"

namespace {

// Rectangles as "x,y wxh", so that a table row compares in one check and a failure shows all.
std::vector<std::string> Shown(std::initializer_list<UiRect> rects) {
    std::vector<std::string> out;
    for (const UiRect& r : rects)
        out.push_back(std::to_string(r.x) + "," + std::to_string(r.y) + " " +
                      std::to_string(r.w) + "x" + std::to_string(r.h));
    return out;
}

TEST(FaceLayout, RectanglesBySizeScaleAndFlags) {
    struct Case {
        const char* what;
        double dpi;
        uint32_t stylez;
        uint16_t playlistWin;  // kPlaylistOpen: the pane is open
        uint16_t bigEmbedded;  // non-zero: an embedded Big view is open
        uint32_t listStyle;
        UiRect tree, treeDivider, files, playlist, playlistDivider, bigView;
    };
    // Scale 1.0: dividers 3, slider row 26, lists from 30 + 26 + 40 / 10 = 60, 618 high.
    // Scale 1.5 with larger sliders: dividers 5, row 40, lists from 44 + 40 + 5 = 89, 578 high.
    const Case cases[] = {
        {"plain", 1.0, 0, 0, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 747, 618}, {}, {}, {}},
        {"scale 1.25", 1.25, 0, 0, 0, 0,
         {0, 60, 250, 618}, {250, 60, 4, 618}, {254, 60, 746, 618}, {}, {}, {}},
        {"scale 1.5, larger sliders", 1.5, Style::LargerSliders, 0, 0, 0,
         {0, 89, 250, 578}, {250, 89, 5, 578}, {255, 89, 745, 578}, {}, {}, {}},
        {"tree hidden", 1.0, Style::TreeHidden, 0, 0, 0,
         {}, {}, {0, 60, 1000, 618}, {}, {}, {}},
        {"dividers in window colour", 1.0, Style::DividersWindowColor, 0, 0, 0,
         {0, 60, 250, 618}, {}, {253, 60, 747, 618}, {}, {}, {}},
        {"scroll bar pushed out", 1.0, 0, 0, 0, ListStyle::HideScrollbars,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 764, 618}, {}, {}, {}},
        {"play list on top, divider too high", 1.0, 0, kPlaylistOpen | 80, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 153, 747, 525}, {253, 60, 747, 90},
         {253, 150, 747, 3}, {}},
        {"play list below", 1.0, 0, kPlaylistOpen | kPlaylistBelow | 400, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 747, 340}, {253, 403, 747, 275},
         {253, 400, 747, 3}, {}},
        {"play list below, divider too low", 1.0, 0, kPlaylistOpen | kPlaylistBelow | 670, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 747, 528}, {253, 591, 747, 87},
         {253, 588, 747, 3}, {}},
        {"play list right", 1.0, 0, kPlaylistOpen | kPlaylistRight | 500, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 247, 618}, {503, 60, 497, 618},
         {500, 60, 3, 618}, {}},
        {"play list right, past the edge", 1.0, 0, kPlaylistOpen | kPlaylistRight | 980, 0, 0,
         {0, 60, 250, 618}, {250, 60, 3, 618}, {253, 60, 647, 618}, {903, 60, 97, 618},
         {900, 60, 3, 618}, {}},
        {"play list right, scale 1.5", 1.5, Style::LargerSliders,
         kPlaylistOpen | kPlaylistRight | 300, 0, 0,
         {0, 89, 250, 578}, {250, 89, 5, 578}, {255, 89, 100, 578}, {360, 89, 640, 578},
         {355, 89, 5, 578}, {}},
        {"Big view embedded bottom", 1.0, 0, 0, kBigEmbeddedBottom | 180, 0,
         {0, 60, 250, 438}, {250, 60, 3, 438}, {253, 60, 747, 438}, {}, {}, {0, 498, 1000, 180}},
        {"Big view embedded top", 1.0, 0, 0, kBigEmbeddedTop | 100, 0,
         {0, 160, 250, 518}, {250, 160, 3, 518}, {253, 160, 747, 518}, {}, {}, {0, 60, 1000, 100}},
        {"Big view below the track list", 1.0, 0, 0, kBigBelowTrackList | 100, 0,
         {0, 60, 250, 518}, {250, 60, 3, 518}, {253, 60, 747, 518}, {}, {}, {253, 578, 747, 100}},
    };
    for (const Case& c : cases) {
        Settings s;
        s.stylez = static_cast<int32_t>(c.stylez);
        s.divider = 250;
        s.playlist_win = c.playlistWin;
        s.big_embedded = c.bigEmbedded;
        s.list_style = static_cast<int32_t>(c.listStyle);
        const bool large = c.dpi > 1.25;  // toolbar, button and status bar of that scale
        const FaceMeasures m{1000, 700, large ? 44 : 30, large ? 52 : 40, large ? 33 : 22, 17, 0,
                             (c.playlistWin & kPlaylistOpen) != 0, c.bigEmbedded != 0};
        const FaceLayout l = LayOutFace(s, m, c.dpi);
        EXPECT_EQ(Shown({l.tree, l.treeDivider, l.files, l.playlist, l.playlistDivider, l.bigView}),
                  Shown({c.tree, c.treeDivider, c.files, c.playlist, c.playlistDivider, c.bigView}))
            << c.what;
    }
}

TEST(FaceLayout, PictureAtTheFootOfTheTree) {
    Settings s;
    s.divider = 250;
    FaceMeasures m{1000, 700, 30, 40, 22};
    struct Case {
        int w, h;
        UiRect tree, picture;
    } cases[] = {
        {0, 0, {0, 60, 250, 618}, {}},
        {150, 150, {0, 60, 250, 468}, {50, 528, 150, 150}},
        {400, 100, {0, 60, 250, 518}, {0, 578, 250, 100}},   // never wider than the tree
        {100, 900, {0, 60, 250, 0}, {75, 60, 100, 618}},     // never higher than the column
    };
    for (const Case& c : cases) {
        m.pictureW = c.w;
        m.pictureH = c.h;
        const FaceLayout l = LayOutFace(s, m, 1.0);
        // The lists keep their height.
        EXPECT_EQ(Shown({l.tree, l.picture, l.files}),
                  Shown({c.tree, c.picture, {253, 60, 747, 618}}))
            << c.w << "x" << c.h;
    }
}

TEST(FaceLayout, PictureInTheEmbeddedBigView) {
    // 1000 x 700 client, lists from y 60, 618 high; a Big view of 150 embedded at the top or
    // bottom takes the picture at its left end (margin 4), its text starting after it.
    FaceMeasures m{1000, 700, 30, 40, 22};
    m.pictureW = 213;
    m.pictureH = 142;
    constexpr uint32_t pictures = Style::ShowPictures;
    struct Case {
        const char* what;
        uint32_t bigEmbedded, stylez;
        bool open;
        int bigHeightRule;
        UiRect picture, bigView;
    } cases[] = {
        {"top", kBigEmbeddedTop | 150, pictures, true, 142, {4, 64, 213, 142}, {221, 60, 779, 150}},
        {"bottom", kBigEmbeddedBottom | 150, pictures, true, 142, {4, 532, 213, 142},
         {221, 528, 779, 150}},
        {"closed: the tree's foot", kBigEmbeddedTop | 150, pictures, false, 0, {18, 536, 213, 142},
         {}},
        {"floating: the tree's foot", 150, pictures, true, 0, {18, 536, 213, 142}, {}},
        {"pictures off", kBigEmbeddedTop | 150, 0, true, 0, {18, 536, 213, 142},
         {0, 60, 1000, 150}},
    };
    for (const Case& c : cases) {
        Settings s;
        s.divider = 250;
        s.big_embedded = static_cast<uint16_t>(c.bigEmbedded);
        s.stylez = static_cast<int32_t>(c.stylez);
        m.bigViewOpen = c.open;
        EXPECT_EQ(BigViewPictureHeight(s, c.open), c.bigHeightRule) << c.what;
        const FaceLayout l = LayOutFace(s, m, 1.0);
        EXPECT_EQ(Shown({l.picture, l.bigView}), Shown({c.picture, c.bigView})) << c.what;
    }
}

TEST(FaceLayout, SliderRowFollowsTheSplit) {
    // 1000 wide, buttons 40: a slider area of 7 x 40 = 280, less a 3-pixel gap, shared by the
    // volume by slider_split / 1023; the position slider takes the rest of the row.
    const struct {
        uint16_t split;
        uint32_t stylez;
        int clientW;
        UiRect volume, position;
    } cases[] = {
        {800, 0, 1000, {0, 30, 216, 26}, {219, 30, 781, 26}},
        {0, 0, 1000, {0, 30, 0, 26}, {3, 30, 997, 26}},
        {1023, Style::LargerSliders, 1000, {0, 30, 277, 40}, {280, 30, 720, 40}},
        {0xFC00 | 512, 0, 1000, {0, 30, 138, 26}, {141, 30, 859, 26}},  // the low 10 bits count
        {800, 0, 200, {0, 30, 154, 26}, {157, 30, 43, 26}},  // narrower than the slider area
    };
    for (const auto& c : cases) {
        Settings s;
        s.slider_split = c.split;
        s.stylez = static_cast<int32_t>(c.stylez);
        FaceMeasures m{c.clientW, 700, 30, 40, 22, 17, 280, false, false};
        const FaceLayout l = LayOutFace(s, m, 1.0);
        EXPECT_EQ(Shown({l.volume, l.position}), Shown({c.volume, c.position})) << c.split;
        // A drag on the gap's middle keeps the split where it is (within a pixel's rounding).
        const int back = SplitAtX(std::min(c.clientW, 280), 3, l.sliderSplit.x + 1);
        EXPECT_NEAR(back, c.split & 0x3FF, 2) << c.split;
    }
}

TEST(FaceLayout, KnobAndValueAreInverse) {
    const UiRect track{100, 0, 206, 26};  // 200 pixels of travel for a 6-pixel knob
    EXPECT_EQ(KnobLeft(track, 6, 0, 1000), 100);
    EXPECT_EQ(KnobLeft(track, 6, 1000, 1000), 300);
    EXPECT_EQ(KnobLeft(track, 6, 5000, 1000), 300);  // past the end stays at the end
    EXPECT_EQ(KnobLeft(track, 6, 250, 1000), 150);
    for (int v : {0, 1, 250, 499, 500, 999, 1000})
        EXPECT_NEAR(ValueAtX(track, 6, KnobLeft(track, 6, v, 1000) + 3, 1000), v, 5) << v;
    EXPECT_EQ(ValueAtX(track, 6, 0, 1000), 0);
    EXPECT_EQ(ValueAtX(track, 6, 5000, 1000), 1000);
    EXPECT_EQ(ValueAtX(UiRect{0, 0, 4, 26}, 6, 3, 1000), 0);  // no room to travel
}

TEST(FaceLayout, PlaylistDividerKeepsTheOtherBits) {
    const uint16_t pw = kPlaylistOpen | kPlaylistBelow | 123;
    EXPECT_EQ(PlaylistWinWithDivider(pw, 456), kPlaylistOpen | kPlaylistBelow | 456);
    EXPECT_EQ(PlaylistWinWithDivider(pw, -5), kPlaylistOpen | kPlaylistBelow);
    EXPECT_EQ(PlaylistWinWithDivider(pw, 99999), kPlaylistOpen | kPlaylistBelow | 0x1FFF);
}

TEST(FaceLayout, CompactWindowSize) {
    // Toolbar 30, sliders 26, status 22, caption 23, dialog frame 3, plain border 1, buttons 40.
    const CompactFrame f{30, 26, 22, 23, 3, 1, 40, true};
    const struct {
        uint8_t view;
        bool folderSearch;
        int w, h;
    } cases[] = {
        {CompactView::On, true, 6 + 360, 30 + 26 + 22 + 23 + 6},
        {CompactView::On, false, 6 + 280, 30 + 26 + 22 + 23 + 6},
        {CompactView::On | CompactView::NoStatusBar, true, 366, 30 + 26 + 23 + 6},
        {CompactView::On | CompactView::NoTitleBar, true, 2 + 360, 30 + 26 + 22 + 2},
        {CompactView::On | CompactView::NoTitleBar | CompactView::NoStatusBar, true, 362, 58},
    };
    for (const auto& c : cases) {
        CompactFrame g = f;
        g.folderSearchShown = c.folderSearch;
        const Size2 sz = CompactWindowSize(c.view, g);
        EXPECT_EQ(sz.w, c.w) << int{c.view};
        EXPECT_EQ(sz.h, c.h) << int{c.view};
    }
    EXPECT_TRUE(CompactShowsStatus(CompactView::NoStatusBar));  // normal view keeps it
    EXPECT_FALSE(CompactShowsStatus(CompactView::On | CompactView::NoStatusBar));
}

TEST(FaceLayout, WheelRouting) {
    using K = WheelAction::Kind;
    const uint16_t lists = MouseFlag::WheelOverLists, tree = MouseFlag::WheelOverTree,
                   volume = MouseFlag::WheelVolume;
    const struct {
        const char* what;
        uint16_t flags;
        WheelOver over;
        int delta, systemLines;
        bool consumed;
        K kind;
        int count;
        bool page, up;
    } cases[] = {
        {"no flags", 0, WheelOver::List, 120, 3, false, K::None, 0, false, false},
        {"list scrolls", lists, WheelOver::List, -120, 3, true, K::Scroll, 3, false, false},
        {"list scrolls up", lists, WheelOver::List, 240, 5, true, K::Scroll, 5, false, true},
        {"page setting", lists, WheelOver::List, 120, 0xFFFFFFF, true, K::Scroll, 1, true, true},
        {"tree not asked for", lists, WheelOver::Tree, 120, 3, true, K::None, 0, false, false},
        {"tree scrolls", tree, WheelOver::Tree, -120, 3, true, K::Scroll, 3, false, false},
        {"volume over a list", volume, WheelOver::List, -120, 3, true, K::VolumeDown, 0, false,
         false},
        {"volume up", volume, WheelOver::Other, 120, 3, true, K::VolumeUp, 0, false, false},
        {"lists and volume, over the toolbar", lists | volume, WheelOver::Other, 120, 3, true,
         K::VolumeUp, 0, false, false},
        {"fine step of 15", lists, WheelOver::List, 15, 3, true, K::Scroll, 1, false, true},
        {"fine step of 30", lists, WheelOver::List, -30, 3, true, K::Scroll, 3, false, false},
        {"fine step of 8", lists, WheelOver::List, 8, 3, true, K::None, 0, false, false},
    };
    for (const auto& c : cases) {
        WheelAccumulator acc;
        const WheelAction a = RouteWheel(c.flags, c.over, c.delta, c.systemLines, acc);
        EXPECT_EQ(a.consumed, c.consumed) << c.what;
        EXPECT_EQ(a.kind, c.kind) << c.what;
        if (c.kind == K::Scroll) {
            EXPECT_EQ(a.count, c.count) << c.what;
            EXPECT_EQ(a.page, c.page) << c.what;
            EXPECT_EQ(a.up, c.up) << c.what;
        }
    }
}

TEST(FaceLayout, SmallWheelStepsAddUp) {
    // Steps of 4: 4, 8 nothing; 12 one line and the sum starts again; a turn the other way
    // drops what was collected.
    WheelAccumulator acc;
    const int steps[] = {4, 4, 4, 4, 4, -4, -4, -4, 4};
    const int lines[] = {0, 0, 1, 0, 0, 0, 0, 1, 0};
    for (size_t i = 0; i < std::size(steps); ++i) {
        const WheelAction a =
            RouteWheel(MouseFlag::WheelOverLists, WheelOver::List, steps[i], 3, acc);
        EXPECT_EQ(a.kind == WheelAction::Scroll ? a.count : 0, lines[i]) << i;
    }
}

TEST(FaceLayout, WindowPlacementStored) {
    Settings s;
    s.window_x = 1, s.window_y = 2, s.window_w = 3, s.window_h = 4, s.maximized = 0;
    const auto stored = [&s] {
        return std::vector<int>{s.window_x, s.window_y, s.window_w, s.window_h, s.maximized,
                                s.compact_x, s.compact_y};
    };
    const int cx = s.compact_x, cy = s.compact_y;
    StorePlacement(s, Placement{true, false, false, {50, 60, 700, 500}});  // hidden: nothing
    EXPECT_EQ(stored(), (std::vector<int>{1, 2, 3, 4, 0, cx, cy}));
    StorePlacement(s, Placement{false, true, false, {50, 60, 300, 100}});  // compact
    EXPECT_EQ(stored(), (std::vector<int>{1, 2, 3, 4, 0, 50, 60}));
    StorePlacement(s, Placement{false, false, true, {0, 0, 1920, 1080}});  // maximised
    EXPECT_EQ(stored(), (std::vector<int>{1, 2, 3, 4, 1, 50, 60}));
    StorePlacement(s, Placement{false, false, false, {50, 60, 700, 500}});
    EXPECT_EQ(stored(), (std::vector<int>{50, 60, 700, 500, 0, 50, 60}));
}

}  // namespace
