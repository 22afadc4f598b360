#include "app/layout.h"

#include <algorithm>

#include "config/settings_bits.h"

namespace {

constexpr int kDividerGap = 3;      // pixels between the tree and the lists
constexpr int kPaneGap = 3;         // pixels between the two lists
constexpr int kStackedMargin = 90;  // stacked: the divider stays this far from top and bottom
constexpr int kSideMargin = 100;    // side by side: this far from the left and right edges
constexpr int kMinListWidth = 20;   // the tree's divider leaves the lists at least this much

Rect FromEdges(int left, int top, int right, int bottom) {
    return Rect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// The divider position within [lo, hi], or the middle when the area is too small for both
// margins.
int Divider(int pos, int lo, int hi) {
    return lo <= hi ? std::clamp(pos, lo, hi) : (lo + hi) / 2;
}

}  // namespace

MainLayout LayOutMainWindow(const Settings& s, int clientW, int clientH, int top, int bottom,
                            bool playlistOpen) {
    MainLayout out{};
    const int height = std::max(0, clientH - bottom - top);
    const int end = top + height;
    out.treeShown = !(static_cast<uint32_t>(s.stylez) & Style::TreeHidden);
    int listX = 0;
    if (out.treeShown) {
        const int divider = std::clamp(s.divider, 0, std::max(0, clientW - kMinListWidth));
        out.tree = Rect{0, top, divider, height};
        listX = divider + kDividerGap;
    }
    const int right = std::max(listX, clientW);
    out.files = FromEdges(listX, top, right, end);
    if (!playlistOpen) return out;

    // The open Playlist view takes its part of the list area; the File view keeps the rest.
    const uint32_t pw = static_cast<uint16_t>(s.playlist_win);
    const int pos = static_cast<int>(pw & kPlaylistDividerMask);
    if (pw & kPlaylistRight) {
        const int x = Divider(pos, listX + kSideMargin, right - kSideMargin);
        out.files = FromEdges(listX, top, x, end);
        out.playlist = FromEdges(std::min(x + kPaneGap, right), top, right, end);
    } else {
        const int y = Divider(pos, top + kStackedMargin, end - kStackedMargin);
        const int split = std::min(y + kPaneGap, end);
        if (pw & kPlaylistBelow) {
            out.files = FromEdges(listX, top, right, y);
            out.playlist = FromEdges(listX, split, right, end);
        } else {
            out.playlist = FromEdges(listX, top, right, y);
            out.files = FromEdges(listX, split, right, end);
        }
    }
    return out;
}
