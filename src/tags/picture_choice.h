// Which cover picture belongs to the current track, and the size it is shown at. Portable: the
// folder listings come through a small table, so the rules run over any file system (or a test's
// table of listings).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The `picture` setting: "HHHHH,name;name;..." (height in pixels, five digits, then the folder
// picture names).
struct PictureSetting {
    int height = 150;
    std::vector<std::wstring> names;
};
PictureSetting ParsePictureSetting(std::string_view text);

struct PictureFolders {
    void* ctx = nullptr;
    // The names (no folder) of the "*.jpg" files in folder, in listing order.
    std::vector<std::wstring> (*listJpg)(void* ctx, const std::wstring& folder) = nullptr;
    bool (*exists)(void* ctx, const std::wstring& path) = nullptr;
};

struct PictureRequest {
    std::wstring browsedFolder;   // the folder (or cue sheet) being browsed
    bool plainFolderList = false; // the current list is a plain folder listing (kind 0)
    bool bigViewPicture = false;  // the Big view is embedded with its own picture area
    std::wstring trackPath;       // the current track
    bool hasTagPicture = false;   // the track's ID3v2 tag holds a picture
    bool standardPicture = false; // fall back to the settings folder, then the program icon
    std::wstring settingsFolder;  // the folder holding the settings file
};

enum class PictureSource { kNone, kTag, kFile, kIcon };
struct PictureChoice {
    PictureSource source = PictureSource::kNone;
    std::wstring path;  // for kFile
};

PictureChoice ChoosePicture(const PictureRequest& req, const PictureSetting& setting,
                            const PictureFolders& fs);

struct PictureBox {
    int width = 0;
    int height = 0;
};

// The size a picture of picW x picH is shown at: the setting's height with the width by the
// aspect ratio, narrowed to the left pane's width (paneWidth) with the height following; with
// the Big view embedded (embeddedHeight > 0, its margin already taken off) that height instead.
// Zero for a picture without size.
PictureBox FitPicture(int picW, int picH, int settingHeight, int paneWidth, int embeddedHeight);

// The side of the square program icon shown in place of a picture.
int IconSide(int settingHeight, int paneWidth, int embeddedHeight);

// What the picture window remembers between updates: the path shown (empty for the tag's
// picture) and the size of the file last loaded (0: none).
struct PictureShown {
    std::wstring path;
    uint64_t loadedSize = 0;
};

// Whether a found file must be loaded: not when a track change (not forced) finds the path
// already shown, nor when its size equals the last loaded size (equal size counts as the same
// picture).
bool PictureNeedsLoad(const PictureShown& shown, const std::wstring& path, uint64_t fileSize,
                      bool forced);
