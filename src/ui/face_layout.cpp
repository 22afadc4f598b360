#include "ui/face_layout.h"

#include <algorithm>
#include <cmath>

#include "config/settings_bits.h"

namespace {

constexpr int kStackedMargin = 90;  // stacked lists: the divider keeps this far from both ends
constexpr int kSideMargin = 100;    // side by side: this far from the left and the right edge
constexpr int kMinListWidth = 20;   // the tree's divider leaves the lists at least this much
constexpr int kBigViewHeightMask = 0x1FFF;

UiRect FromEdges(int left, int top, int right, int bottom) {
    return UiRect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// pos within [lo, hi], or the middle when the area is too small for both margins.
int Within(int pos, int lo, int hi) {
    return lo <= hi ? std::clamp(pos, lo, hi) : (lo + hi) / 2;
}

}  // namespace

int DividerWidth(double dpiFactor) {
    int w = dpiFactor > 1.0 ? 4 : 3;
    if (dpiFactor > 1.25) ++w;
    return w;
}

int SliderRowHeight(uint32_t stylez) {
    return (stylez & Style::LargerSliders) ? 40 : 26;
}

KnobSize SliderKnob(uint32_t stylez) {
    return (stylez & Style::LargerSliders) ? KnobSize{6, 24} : KnobSize{4, 18};
}

int DarkStatusHeight(double dpiFactor) {
    return static_cast<int>(std::lround(26 * dpiFactor));
}

int SliderAreaWidth(int buttonWidth, bool folderSearchShown) {
    return buttonWidth * (folderSearchShown ? 9 : 7);
}

FaceLayout LayOutFace(const Settings& s, const FaceMeasures& m, double dpiFactor) {
    FaceLayout out;
    const uint32_t stylez = static_cast<uint32_t>(s.stylez);
    out.dividerWidth = DividerWidth(dpiFactor);
    out.sliderRowHeight = SliderRowHeight(stylez);
    out.listTop = m.toolbarHeight + out.sliderRowHeight + m.buttonWidth / 10;
    out.listHeight = std::max(0, m.clientH - out.listTop - m.statusHeight);

    // The slider row: the volume slider takes slider_split / 1023 of the slider area (nine or
    // seven buttons wide), the position slider the rest of the row; the gap between the two
    // is a divider's width.
    const int areaW = std::clamp(m.sliderAreaW, 0, m.clientW);
    const int split = s.slider_split & 0x3FF;
    const int volumeW = std::max(0, areaW - out.dividerWidth) * split / 1023;
    out.volume = UiRect{0, m.toolbarHeight, volumeW, out.sliderRowHeight};
    out.sliderSplit = UiRect{volumeW, m.toolbarHeight, out.dividerWidth, out.sliderRowHeight};
    out.position = FromEdges(volumeW + out.dividerWidth, m.toolbarHeight, m.clientW,
                             m.toolbarHeight + out.sliderRowHeight);

    // The embedded Big view takes its height from the lists, above or below them.
    int top = out.listTop;
    const uint32_t big = s.big_embedded;
    const bool bigTop = big & kBigEmbeddedTop;
    const bool bigBelowList = big & kBigBelowTrackList;
    const bool bigBottom = big & kBigEmbeddedBottom;
    int bigH = 0;
    if (m.bigViewOpen && (bigTop || bigBelowList || bigBottom)) {
        bigH = std::min(static_cast<int>(big & kBigViewHeightMask), out.listHeight);
        out.listHeight -= bigH;
        if (bigTop) top += bigH;
    }
    const int end = top + out.listHeight;
    const bool pictureShown = m.pictureW > 0 && m.pictureH > 0;
    const bool pictureInBig = bigH > 0 && pictureShown && BigViewPictureHeight(s, m.bigViewOpen) > 0;

    // The tree, left of its divider.
    out.treeShown = !(stylez & Style::TreeHidden);
    const bool stripsShown = !(stylez & Style::DividersWindowColor);
    int listX = 0;
    if (out.treeShown) {
        const int maxDivider = std::max(0, m.clientW - out.dividerWidth - kMinListWidth);
        const int divider = std::clamp(s.divider, 0, maxDivider);
        out.tree = UiRect{0, top, divider, out.listHeight};
        if (stripsShown) out.treeDivider = UiRect{divider, top, out.dividerWidth, out.listHeight};
        // The cover picture takes the foot of the tree's column, centred in its width.
        if (pictureShown && !pictureInBig) {
            const int h = std::min(m.pictureH, out.tree.h);
            const int w = std::min(m.pictureW, divider);
            out.tree.h -= h;
            out.picture = UiRect{(divider - w) / 2, out.tree.y + out.tree.h, w, h};
        }
        listX = divider + out.dividerWidth;
    }
    // "Hide track list scrollbars": the list reaches a scroll bar's width past the edge.
    const int listRight = std::max(listX, m.clientW);
    const int right = listRight + ((static_cast<uint32_t>(s.list_style) & ListStyle::HideScrollbars)
                                       ? m.vScrollWidth
                                       : 0);
    out.files = FromEdges(listX, top, right, end);
    if (bigH > 0) {
        if (bigTop) out.bigView = UiRect{0, out.listTop, m.clientW, bigH};
        else if (bigBelowList) out.bigView = FromEdges(listX, end, listRight, end + bigH);
        else out.bigView = UiRect{0, end, m.clientW, bigH};
        if (pictureInBig) {
            // The picture at the Big view's left end, centred in its height; the view's text
            // starts after it.
            constexpr int g = kBigViewPictureMargin;
            UiRect& b = out.bigView;
            const int w = std::clamp(m.pictureW, 0, std::max(0, b.w / 2 - 2 * g));
            const int h = std::clamp(m.pictureH, 0, std::max(0, bigH - 2 * g));
            out.picture = UiRect{b.x + g, b.y + (bigH - h) / 2, w, h};
            b.x += w + 2 * g;
            b.w -= w + 2 * g;
        }
    }
    if (!m.playlistOpen) return out;

    // The play list pane shares the list area with the File view, split by its divider.
    const uint32_t pw = s.playlist_win;
    const int pos = static_cast<int>(pw & kPlaylistDividerMask);
    const int dw = out.dividerWidth;
    if (pw & kPlaylistRight) {
        out.playlistBeside = true;
        const int x = Within(pos, listX + kSideMargin, listRight - kSideMargin);
        out.files = FromEdges(listX, top, x, end);
        out.playlistDivider = UiRect{x, top, dw, out.listHeight};
        out.playlist = FromEdges(std::min(x + dw, right), top, right, end);
    } else {
        const int y = Within(pos, top + kStackedMargin, end - kStackedMargin);
        const int below = std::min(y + dw, end);
        out.playlistDivider = FromEdges(listX, y, listRight, y + dw);
        if (pw & kPlaylistBelow) {
            out.files = FromEdges(listX, top, right, y);
            out.playlist = FromEdges(listX, below, right, end);
        } else {
            out.playlist = FromEdges(listX, top, right, y);
            out.files = FromEdges(listX, below, right, end);
        }
    }
    if (!stripsShown) out.playlistDivider = UiRect{};
    return out;
}

int KnobLeft(const UiRect& track, int knobW, int value, int max) {
    const int travel = std::max(0, track.w - knobW);
    if (max <= 0) return track.x;
    const int64_t v = std::clamp(value, 0, max);
    return track.x + static_cast<int>(v * travel / max);
}

int ValueAtX(const UiRect& track, int knobW, int x, int max) {
    const int travel = track.w - knobW;
    if (travel <= 0 || max <= 0) return 0;
    const int64_t along = std::clamp(x - track.x - knobW / 2, 0, travel);
    return static_cast<int>((along * max + travel / 2) / travel);
}

uint16_t SplitAtX(int areaW, int gapW, int x) {
    const int w = areaW - gapW;
    if (w <= 0) return 0;
    const int64_t volumeW = std::clamp(x - gapW / 2, 0, w);
    return static_cast<uint16_t>((volumeW * 1023 + w / 2) / w);
}

int TreeDividerAtX(int x) {
    return std::max(0, x);
}

uint16_t PlaylistWinWithDivider(uint16_t playlistWin, int pos) {
    const int p = std::clamp(pos, 0, static_cast<int>(kPlaylistDividerMask));
    return static_cast<uint16_t>((playlistWin & ~kPlaylistDividerMask) | static_cast<uint32_t>(p));
}

bool CompactShowsStatus(uint8_t compactView) {
    return (compactView & (CompactView::On | CompactView::NoStatusBar)) !=
           (CompactView::On | CompactView::NoStatusBar);
}

Size2 CompactWindowSize(uint8_t compactView, const CompactFrame& f) {
    const bool noTitle = compactView & CompactView::NoTitleBar;
    const int border = noTitle ? f.plainBorder : f.dialogFrame;
    int h = f.toolbarHeight + f.sliderRowHeight + 2 * border;
    if (CompactShowsStatus(compactView)) h += f.statusHeight;
    if (!noTitle) h += f.captionHeight;
    return Size2{2 * border + SliderAreaWidth(f.buttonWidth, f.folderSearchShown), h};
}

WheelAction RouteWheel(uint16_t mouseFlags, WheelOver over, int delta, int systemLines,
                       WheelAccumulator& acc) {
    WheelAction a;
    if (mouseFlags == 0) return a;
    const bool overTree = over == WheelOver::Tree && (mouseFlags & MouseFlag::WheelOverTree);
    const bool overList = over == WheelOver::List && (mouseFlags & MouseFlag::WheelOverLists);
    if (overTree || overList) {
        a.consumed = true;
        a.up = delta > 0;
        const int size = std::abs(delta);
        if (size >= 120) {
            acc = WheelAccumulator{};
            a.kind = WheelAction::Scroll;
            if (systemLines > 1000) {
                a.page = true;
                a.count = 1;
            } else {
                a.count = std::max(0, systemLines);
            }
            return a;
        }
        // Small steps of a fine wheel or touch pad: collected until they make a line.
        const int dir = delta > 0 ? 1 : -1;
        if (acc.direction != dir) acc = WheelAccumulator{0, dir};
        acc.sum += size;
        if (acc.sum < 11) return a;
        a.kind = WheelAction::Scroll;
        a.count = acc.sum <= 20 ? 1 : 3;
        acc = WheelAccumulator{};
        return a;
    }
    if (mouseFlags & MouseFlag::WheelVolume) {
        a.consumed = true;
        if (delta < 0) a.kind = WheelAction::VolumeDown;
        else if (delta > 0) a.kind = WheelAction::VolumeUp;
        return a;
    }
    // Scrolling over the panes is on but the pointer is elsewhere: the wheel does nothing.
    a.consumed = (mouseFlags & (MouseFlag::WheelOverTree | MouseFlag::WheelOverLists)) != 0;
    return a;
}

void StorePlacement(Settings& s, const Placement& p) {
    if (p.hidden) return;
    if (p.compact) {
        s.compact_x = p.window.x;
        s.compact_y = p.window.y;
        return;
    }
    if (p.maximized) {
        s.maximized = 1;
        return;
    }
    s.window_x = p.window.x;
    s.window_y = p.window.y;
    s.window_w = p.window.w;
    s.window_h = p.window.h;
    s.maximized = 0;
}

int BigViewPictureHeight(const Settings& s, bool bigViewOpen) {
    const uint32_t big = s.big_embedded;
    if (!bigViewOpen || !(big & (kBigEmbeddedTop | kBigBelowTrackList | kBigEmbeddedBottom)) ||
        !(static_cast<uint32_t>(s.stylez) & Style::ShowPictures))
        return 0;
    return std::max(0, static_cast<int>(big & kBigViewHeightMask) - 2 * kBigViewPictureMargin);
}
