// The folder tree's small icons, drawn by the program at the size of the system's small icons.
// Asking the shell for its icons costs a noticeable part of the start-up (the shell's icon
// machinery loads on the first request and each icon is looked up on its own); twenty plain
// drawings on one bitmap take well under a millisecond and look the same at every scale.
#include "library/tree_icons_win.h"

#include <commctrl.h>

#include <cmath>
#include <initializer_list>

#include "library/folder_tree.h"

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr int kImageCount = 20;

// Draws on a 16 x 16 grid scaled to the icon size, offset to one cell of the strip.
struct Pen {
    HDC dc;
    int left;
    double k;

    POINT P(double x, double y) const {
        return POINT{left + static_cast<int>(std::lround(x * k)),
                     static_cast<int>(std::lround(y * k))};
    }
    void Colours(COLORREF fill, COLORREF line) const {
        SelectObject(dc, GetStockObject(DC_BRUSH));
        SelectObject(dc, GetStockObject(DC_PEN));
        SetDCBrushColor(dc, fill);
        SetDCPenColor(dc, line);
    }
    void Box(double x0, double y0, double x1, double y1, COLORREF fill, COLORREF line) const {
        Colours(fill, line);
        const POINT a = P(x0, y0), b = P(x1, y1);
        Rectangle(dc, a.x, a.y, b.x, b.y);
    }
    void Oval(double x0, double y0, double x1, double y1, COLORREF fill, COLORREF line) const {
        Colours(fill, line);
        const POINT a = P(x0, y0), b = P(x1, y1);
        Ellipse(dc, a.x, a.y, b.x, b.y);
    }
    void Shape(std::initializer_list<POINT> grid, COLORREF fill, COLORREF line) const {
        Colours(fill, line);
        POINT pts[12];
        int n = 0;
        for (const POINT& g : grid) {
            if (n == 12) break;
            pts[n++] = P(g.x / 2.0, g.y / 2.0);  // half-unit grid
        }
        Polygon(dc, pts, n);
    }
    void Line(double x0, double y0, double x1, double y1, COLORREF colour) const {
        SelectObject(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, colour);
        const POINT a = P(x0, y0), b = P(x1, y1);
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
    }
};

constexpr COLORREF kFolder = RGB(0xF2, 0xC6, 0x5A), kFolderEdge = RGB(0xB0, 0x80, 0x20);
constexpr COLORREF kFolderFront = RGB(0xFB, 0xDC, 0x84);
constexpr COLORREF kGrey = RGB(0xC4, 0xC8, 0xCE), kGreyEdge = RGB(0x60, 0x66, 0x70);
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF), kPaperEdge = RGB(0x70, 0x78, 0x88);
constexpr COLORREF kBlue = RGB(0x3A, 0x78, 0xD0), kGreen = RGB(0x30, 0xB0, 0x40);

void Folder(const Pen& p, bool open) {
    p.Shape({{2, 6}, {12, 6}, {14, 8}, {29, 8}, {29, 27}, {2, 27}}, kFolder, kFolderEdge);
    if (open)
        p.Shape({{2, 27}, {7, 14}, {31, 14}, {26, 27}}, kFolderFront, kFolderEdge);
    else
        p.Box(1, 6, 14.5, 13.5, kFolderFront, kFolderEdge);
}

void Page(const Pen& p, double x0, double y0, double x1, double y1) {
    const int a = static_cast<int>(x0 * 2), b = static_cast<int>(y0 * 2);
    const int c = static_cast<int>(x1 * 2), d = static_cast<int>(y1 * 2);
    p.Shape({{a, b}, {c - 5, b}, {c, b + 5}, {c, d}, {a, d}}, kPaper, kPaperEdge);
}

void Drive(const Pen& p, double top, COLORREF light) {
    p.Box(1, top, 15, top + 6, kGrey, kGreyEdge);
    p.Box(11, top + 2.5, 13, top + 4, light, light);
}

void Draw(const Pen& p, int image) {
    switch (image) {
        case kImgFolderOpen:
            return Folder(p, true);
        case 2:  // removable drive
            p.Box(3, 4, 13, 13, kGrey, kGreyEdge);
            p.Box(5, 6, 11, 8, kGreyEdge, kGreyEdge);
            return;
        case 3:  // fixed drive
            return Drive(p, 5, kGreen);
        case 4:  // network drive
            Drive(p, 3, kGreen);
            p.Line(8, 9, 8, 13, kGreyEdge);
            p.Line(3, 13, 13, 13, kGreyEdge);
            return;
        case 5:  // CD drive
            p.Oval(1.5, 1.5, 14.5, 14.5, RGB(0xE4, 0xE8, 0xF0), kGreyEdge);
            p.Oval(6, 6, 10, 10, kMaskColour, kGreyEdge);
            return;
        case 6:  // RAM disk
            p.Box(2, 4, 14, 12, kGreen, RGB(0x10, 0x60, 0x20));
            for (int i = 0; i < 4; ++i) p.Line(3.5 + i * 3, 12, 3.5 + i * 3, 14, kGreyEdge);
            return;
        case kImgCueSheet:
            Page(p, 3, 1, 13, 15);
            for (int y = 6; y <= 12; y += 3) p.Line(5, y, 11, y, kBlue);
            return;
        case kImgPlayList:
            Page(p, 3, 1, 13, 15);
            for (int y = 6; y <= 12; y += 3) {
                p.Box(5, y - 0.5, 6.5, y + 1, RGB(0xE0, 0x70, 0x20), RGB(0xE0, 0x70, 0x20));
                p.Line(8, y, 11, y, kPaperEdge);
            }
            return;
        case kImgNetwork:
            p.Oval(1.5, 1.5, 14.5, 14.5, RGB(0x8C, 0xC4, 0xF0), kBlue);
            p.Oval(5, 1.5, 11, 14.5, RGB(0x8C, 0xC4, 0xF0), kBlue);
            p.Line(2, 8, 14, 8, kBlue);
            return;
        case kImgFavorites:
            p.Shape({{16, 2},
                     {19, 12},
                     {30, 12},
                     {21, 18},
                     {25, 29},
                     {16, 22},
                     {7, 29},
                     {11, 18},
                     {2, 12},
                     {13, 12}},
                    RGB(0xFF, 0xD0, 0x30), RGB(0xC0, 0x90, 0x00));
            return;
        case kImgDocuments:
            Folder(p, false);
            Page(p, 6, 7, 13, 15);
            return;
        case kImgComputer:
            p.Box(1.5, 2, 14.5, 11, kGrey, kGreyEdge);
            p.Box(3, 3.5, 13, 9.5, kBlue, kBlue);
            p.Box(5, 12, 11, 14, kGrey, kGreyEdge);
            return;
        case kImgSharedDocs:
            Folder(p, false);
            Page(p, 4, 7, 10, 14);
            Page(p, 8, 8, 14, 15);
            return;
        case kImgMusic:
            Folder(p, false);
            p.Oval(6, 11, 9.5, 14, kBlue, kBlue);
            p.Box(8.5, 6, 9.5, 12.5, kBlue, kBlue);
            p.Box(8.5, 6, 13, 7.5, kBlue, kBlue);
            return;
        default:  // 0 and the indices no item uses
            return Folder(p, false);
    }
}

}  // namespace

HIMAGELIST TreeIconsWin(int size) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kImageCount, 0);
    if (!list) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, size * kImageCount, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, strip);
    RECT all{0, 0, size * kImageCount, size};
    SetDCBrushColor(dc, kMaskColour);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    for (int i = 0; i < kImageCount; ++i) Draw(Pen{dc, i * size, size / 16.0}, i);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    ImageList_AddMasked(list, strip, kMaskColour);
    DeleteObject(strip);
    return list;
}
