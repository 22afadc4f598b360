// The main window's geometry, portable: where the toolbar row, the two sliders, the folder tree,
// the lists, their divider strips, the embedded Big view and the status bar go, from the client
// size, the sizes the controls measured themselves and the settings. The glue measures, calls
// LayOutFace and moves the windows; every size here follows the display scale.
#pragma once
#include <cstdint>

#include "config/settings.h"

struct UiRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Thickness of every draggable divider: 3, 4 above a display scale of 1.0, 5 above 1.25.
int DividerWidth(double dpiFactor);
// The slider row: 26 pixels, 40 with "Larger sliders".
int SliderRowHeight(uint32_t stylez);
// The knob of a slider: 4 x 18, or 6 x 24 with "Larger sliders".
struct KnobSize {
    int w, h;
};
KnobSize SliderKnob(uint32_t stylez);
// The dark-mode status line's height.
int DarkStatusHeight(double dpiFactor);
// The width the sliders take in the compact view: nine buttons, seven without the two
// folder-search buttons.
int SliderAreaWidth(int buttonWidth, bool folderSearchShown);

// What the glue measured from the live controls.
struct FaceMeasures {
    int clientW = 0, clientH = 0;
    int toolbarHeight = 0;  // the toolbar's height after auto-sizing
    int buttonWidth = 0;    // the first toolbar button's width
    int statusHeight = 0;   // 0 while the status bar is hidden
    int vScrollWidth = 0;   // a vertical scroll bar's width
    int sliderAreaW = 0;    // SliderAreaWidth: the part of the row the volume slider shares
    bool playlistOpen = false;
    bool bigViewOpen = false;  // an embedded Big view is open
    int pictureW = 0, pictureH = 0;  // the cover picture window's size; 0: none shown
};

struct FaceLayout {
    int dividerWidth = 0, sliderRowHeight = 0, listTop = 0, listHeight = 0;
    UiRect volume, position;  // the two slider tracks
    UiRect sliderSplit;       // the gap between them, dragged to change slider_split
    bool treeShown = false;
    UiRect tree, treeDivider;  // treeDivider empty: not placed
    UiRect files, playlist, playlistDivider;
    bool playlistBeside = false;  // the play list divider is vertical
    UiRect bigView;               // empty unless embedded and open
    UiRect picture;  // the cover picture, at the foot of the tree or in the Big view; empty: none
};

// The gap kept round the cover picture inside an embedded Big view, on every side.
constexpr int kBigViewPictureMargin = 4;
// The height of the cover picture while an embedded Big view is open and pictures are shown:
// the Big view's height less the margins, and the picture sits at the Big view's left end.
// 0 otherwise (the picture goes to the foot of the tree at its own size).
int BigViewPictureHeight(const Settings& s, bool bigViewOpen);

// The normal view's rectangles. Divider positions outside their range are pulled into it.
FaceLayout LayOutFace(const Settings& s, const FaceMeasures& m, double dpiFactor);

// Where a slider's knob starts for value (0..max) on a track, and back: the value for a
// pointer at x. The knob travels over the track's width less its own.
int KnobLeft(const UiRect& track, int knobW, int value, int max);
int ValueAtX(const UiRect& track, int knobW, int x, int max);
// slider_split for a pointer at x over a slider area of width areaW (the gap is centred on the
// pointer).
uint16_t SplitAtX(int areaW, int gapW, int x);
// The tree divider or the play list divider dragged to a pointer position, before the next
// layout pass pulls it into its range.
int TreeDividerAtX(int x);
uint16_t PlaylistWinWithDivider(uint16_t playlistWin, int pos);

// The compact view's outer size.
struct CompactFrame {
    int toolbarHeight, sliderRowHeight, statusHeight;  // statusHeight counts only when shown
    int captionHeight;                                 // counts unless "without title bar"
    int dialogFrame, plainBorder;                      // border widths of the two frames
    int buttonWidth;
    bool folderSearchShown;
};
struct Size2 {
    int w, h;
};
Size2 CompactWindowSize(uint8_t compactView, const CompactFrame& f);
// Whether the compact view shows the status bar: not when bits 0 and 1 are both set.
bool CompactShowsStatus(uint8_t compactView);

// Mouse wheel routing.
enum class WheelOver : uint8_t { Tree, List, Other };  // List: the insert view or a list
struct WheelAction {
    bool consumed = false;
    enum Kind : uint8_t { None, Scroll, VolumeDown, VolumeUp } kind = None;
    int count = 0;      // Scroll: WM_VSCROLL messages to send
    bool page = false;  // Scroll: page steps instead of lines
    bool up = false;    // Scroll: toward the top
};
// The small wheel steps collected between scrolls.
struct WheelAccumulator {
    int sum = 0;
    int direction = 0;
};
// systemLines: the system's wheel-scroll setting (above 1000: page scrolling).
WheelAction RouteWheel(uint16_t mouseFlags, WheelOver over, int delta, int systemLines,
                       WheelAccumulator& acc);

// Window placement kept at exit and on hiding.
struct Placement {
    bool hidden, compact, maximized;
    UiRect window;  // the window's rectangle on the screen
};
void StorePlacement(Settings& s, const Placement& p);
