// The toolbar's buttons, portable: the 38 buttons in their order with their images and texts,
// which of them the settings show, the bitmap set a bmpfile value names, and the state changes
// one refresh mask asks for. The glue turns these into toolbar messages.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/command_ids.h"
#include "config/settings.h"

constexpr int kToolbarButtonCount = 38;
constexpr int kToolbarTextCount = 44;
constexpr int kToolbarImagesPerBitmap = 50;

struct ToolbarButtonDef {
    CommandId command;
    uint8_t image;  // index in the button bitmap
    uint8_t text;   // index into the two text tables
    int8_t bit;     // toolbar bit that shows it; -1: always shown
    int8_t program; // 1..3: shown only when that external program is set; 0: no such rule
};
extern const ToolbarButtonDef kToolbarButtons[kToolbarButtonCount];
extern const wchar_t* const kToolbarLongTexts[kToolbarTextCount];
extern const wchar_t* const kToolbarShortTexts[kToolbarTextCount];

// The buttons the settings show, in their toolbar order (indexes into kToolbarButtons).
std::vector<int> SelectToolbarButtons(const Settings& s);
// Whether the two folder-search buttons are shown (the compact view's width depends on it).
bool FolderSearchShown(const Settings& s);

// The bitmap set that a bmpfile value names.
enum class ToolbarImages : uint8_t {
    Bitmap,     // a built-in bitmap resource
    SmallText,  // the small bitmap with the long texts ("v")
    TextOnly,   // no images, the short and long texts ("t")
    File,       // a bitmap file in the program's folder
};
struct ToolbarBitmapChoice {
    ToolbarImages kind;
    int resource;  // Bitmap, SmallText: the resource number
    int imageW, imageH;
};
ToolbarBitmapChoice ChooseToolbarBitmap(const std::string& bmpfile);
// A custom bitmap file of width x height holds 50 images when it is at least 40 times as wide
// as it is high, else 21; the image width follows. False when the size makes no images.
bool CustomBitmapImages(int width, int height, int& count, int& imageW);

// Width and height from the start of a bitmap file (BITMAPFILEHEADER, then a BITMAPINFOHEADER
// or the old core header); a bottom-up or top-down height is returned positive. False when the
// bytes are not such a file or the size is out of range.
bool BmpHeaderSize(const uint8_t* data, size_t len, int& width, int& height);

// What UpdateToolbarState needs to know.
struct ToolbarStateInput {
    uint8_t rptMode = 0;
    uint8_t trackOneShot = 0;  // 1 repeat only current track, 2 stop after it
    uint8_t listKind = 0;      // the focused list's kind (0 folder, 1 play list, 2 saved, 3+ cue)
    bool listShuffled = false;
    bool quitAfterTrack = false;
    bool playlistOpen = false;
    bool introScanRunning = false;
    bool muted = false;
};
// One button's new state: image -1 and the flags' "set" members false leave that part alone.
struct ToolbarChange {
    CommandId command;
    int image = -1;
    bool setEnabled = false, enabled = false;
    bool setChecked = false, checked = false;
};
// The changes the bits of mask ask for (the bits of ToolbarMask, ui/view_ops.h).
std::vector<ToolbarChange> ToolbarStateChanges(const Settings& s, const ToolbarStateInput& in,
                                               uint32_t mask);
// The mask the start-up uses.
constexpr uint32_t kToolbarStartMask = 0x61F;
