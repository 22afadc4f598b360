#include "ui/toolbar.h"

#include <climits>
#include <cstring>

#include "config/settings_bits.h"
#include "ui/view_ops.h"

namespace {

constexpr CommandId Cmd(int n) {
    return static_cast<CommandId>(n);
}

// List kinds as the lists report them: folders, list files and restored lists come before
// the cue sheets.
constexpr uint8_t kKindListFile = 1;
constexpr uint8_t kKindCueSheet = 3;

}  // namespace

const ToolbarButtonDef kToolbarButtons[kToolbarButtonCount] = {
    {Cmd(510), 1, 0, -1, 0},   {Cmd(511), 0, 1, -1, 0},   {Cmd(512), 2, 2, -1, 0},
    {Cmd(513), 3, 3, -1, 0},   {Cmd(514), 5, 4, 18, 0},   {Cmd(515), 4, 5, 18, 0},
    {Cmd(518), 8, 6, -1, 0},   {Cmd(402), 14, 10, -1, 0}, {Cmd(520), 12, 11, -1, 0},
    {Cmd(519), 13, 12, 19, 0}, {Cmd(517), 7, 13, -1, 0},  {Cmd(516), 6, 14, -1, 0},
    {Cmd(521), 15, 15, -1, 0}, {Cmd(523), 18, 17, -1, 0}, {Cmd(525), 17, 18, -1, 0},
    {Cmd(524), 19, 19, -1, 0}, {Cmd(528), 33, 32, 20, 0}, {Cmd(522), 21, 21, 0, 0},
    {Cmd(527), 22, 22, 1, 0},  {Cmd(530), 38, 38, 16, 0}, {Cmd(531), 39, 39, 17, 0},
    {Cmd(463), 23, 23, 3, 0},  {Cmd(464), 24, 24, 4, 0},  {Cmd(451), 25, 25, 5, 0},
    {Cmd(409), 34, 34, 12, 0}, {Cmd(406), 27, 27, 7, 0},  {Cmd(416), 28, 28, 2, 0},
    {Cmd(526), 20, 20, 11, 0}, {Cmd(437), 26, 26, 6, 0},  {Cmd(448), 31, 31, 10, 0},
    {Cmd(455), 30, 30, 9, 0},  {Cmd(480), 40, 40, 21, 0}, {Cmd(403), 35, 35, 13, 1},
    {Cmd(404), 36, 36, 14, 2}, {Cmd(471), 37, 37, 15, 3}, {Cmd(401), 42, 42, 23, 0},
    {Cmd(488), 41, 41, 22, 0}, {Cmd(459), 43, 43, 24, 0},
};

const wchar_t* const kToolbarLongTexts[kToolbarTextCount] = {
    L"Play",        L"Stop/Resume",   L"Prev track",   L"Next track",   L"Prev dir",
    L"Next dir",    L"Repeat mode",   L"Repeat list",  L"Repeat track", L"Play one",
    L"Settings",    L"Compact",       L"Tree",         L"Track = next", L"Skip track",
    L"Shuffle",     L"Shuffle on",    L"Playlist",     L"Reload",       L"Home",
    L"Scan infos",  L"Main menu",     L"Bookmarks",    L"Go to...",     L"Find",
    L"Explore",     L"Intro scan",    L"Quit next",    L"Big view",     L"Scrobble",
    L"View log",    L"Open pic",      L"Mute",         L"Mute",         L"File info",
    L"External 1",  L"External 2",    L"External 3",   L"Track history", L"Folder history",
    L"HTTP server", L"Enhancer 2",    L"Enhancer 1",   L"Mono",
};

const wchar_t* const kToolbarShortTexts[kToolbarTextCount] = {
    L">",     L"#/>",   L"l<",   L">l",    L"..\\<", L">..\\", L"All",   L"AllR", L" 1R",
    L" 1",    L".l.l.l", L"O/o", L"ll llll", L"Nxt", L"Skp",   L"Sfl",   L"Sfl*", L"PL",
    L"Rel",   L"Hom",   L"Scn",  L"Menu",  L"*",     L"=>",    L"Srch",  L"Expl", L"Intro",
    L"Q1",    L"BIG",   L"as",   L"Log",   L"Pic",   L"Mt",    L"Mt",    L"Inf",  L"App1",
    L"App2",  L"App3",  L"T<-",  L"F<-",   L"((*))", L"ENH2",  L"ENH1",  L"Mono",
};

std::vector<int> SelectToolbarButtons(const Settings& s) {
    const uint32_t bits = static_cast<uint32_t>(s.toolbar);
    const std::wstring* programs[] = {&s.applaunch1, &s.applaunch2, &s.applaunch3};
    std::vector<int> out;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const ToolbarButtonDef& b = kToolbarButtons[i];
        if (b.bit >= 0 && !(bits & (1u << b.bit))) continue;
        if (b.program > 0 && programs[b.program - 1]->empty()) continue;
        out.push_back(i);
    }
    return out;
}

bool FolderSearchShown(const Settings& s) {
    return static_cast<uint32_t>(s.toolbar) & ToolbarButton::FolderSearch;
}

ToolbarBitmapChoice ChooseToolbarBitmap(const std::string& bmpfile) {
    if (bmpfile.size() > 1) return {ToolbarImages::File, 0, 0, 0};
    switch (bmpfile.empty() ? '\0' : bmpfile[0]) {
        case 'n': return {ToolbarImages::Bitmap, 703, 30, 24};
        case 'm': return {ToolbarImages::Bitmap, 704, 30, 24};
        case 'l': return {ToolbarImages::Bitmap, 705, 40, 32};
        case 'g': return {ToolbarImages::Bitmap, 706, 30, 24};
        case 'd': return {ToolbarImages::Bitmap, 708, 30, 24};
        case 'k': return {ToolbarImages::Bitmap, 709, 40, 32};
        case 't': return {ToolbarImages::TextOnly, 0, 0, 0};
        case 'v': return {ToolbarImages::SmallText, 707, 20, 16};
        default: return {ToolbarImages::Bitmap, 707, 20, 16};
    }
}

bool CustomBitmapImages(int width, int height, int& count, int& imageW) {
    if (width <= 0 || height <= 0) return false;
    count = width / height >= 40 ? 50 : 21;
    imageW = width / count;
    return imageW > 0;
}

std::vector<ToolbarChange> ToolbarStateChanges(const Settings& s, const ToolbarStateInput& in,
                                               uint32_t mask) {
    std::vector<ToolbarChange> out;
    auto image = [&](int cmd, int img) {
        ToolbarChange c{Cmd(cmd)};
        c.image = img;
        out.push_back(c);
    };
    auto enable = [&](int cmd, bool on) {
        ToolbarChange c{Cmd(cmd)};
        c.setEnabled = true;
        c.enabled = on;
        out.push_back(c);
    };
    auto check = [&](int cmd, bool on, int img = -1) {
        ToolbarChange c{Cmd(cmd)};
        c.setChecked = true;
        c.checked = on;
        c.image = img;
        out.push_back(c);
    };
    if (mask & ToolbarMask::Repeat) {
        int img = in.rptMode < 4 ? 8 + in.rptMode : 8;
        if (in.trackOneShot == 1) img = 10;
        if (in.trackOneShot == 2) img = 11;
        image(518, img);
    }
    if (mask & ToolbarMask::ListButtons) {
        // Moving and skipping rows and shuffling work on folders and list files; with
        // "Auto reload directory" a folder is listed anew, so only list files keep them.
        bool on = in.listKind < kKindCueSheet;
        if (static_cast<uint32_t>(s.control_flags) & ControlFlag::AutoReloadDir)
            on = in.listKind == kKindListFile;
        enable(517, on);
        enable(516, on);
        enable(521, on);
    }
    if (mask & ToolbarMask::Shuffle) check(521, in.listShuffled, in.listShuffled ? 16 : 15);
    if (mask & ToolbarMask::Scan)
        enable(526, !(static_cast<uint32_t>(s.list_style) & ListStyle::AlwaysScanInfo));
    if (mask & ToolbarMask::QuitAfterTrack) check(406, in.quitAfterTrack);
    if (mask & ToolbarMask::Playlist) check(523, in.playlistOpen);
    if (mask & ToolbarMask::IntroScan) check(437, in.introScanRunning);
    if (mask & ToolbarMask::Mute) check(528, in.muted, in.muted ? 32 : 33);
    if (mask & ToolbarMask::WebServer) check(480, !s.httpserv.empty() && s.httpserv[0] == 'a');
    if (mask & ToolbarMask::Sound) {
        check(401, s.enhance == 1);
        check(488, s.enhance == 2);
        check(459, static_cast<uint32_t>(s.wave_flags) & WaveFlag::MonoOutput);
    }
    return out;
}

bool BmpHeaderSize(const uint8_t* data, size_t len, int& width, int& height) {
    constexpr size_t kFileHeader = 14;
    constexpr int32_t kLimit = 1 << 16;  // no toolbar strip is wider or higher than this
    if (!data || len < kFileHeader + 4 || data[0] != 'B' || data[1] != 'M') return false;
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(data[at] | data[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    const uint32_t infoSize = u32(kFileHeader);
    int32_t w = 0, h = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sizes
        if (len < kFileHeader + 12) return false;
        w = static_cast<int32_t>(u16(kFileHeader + 4));
        h = static_cast<int32_t>(u16(kFileHeader + 6));
    } else if (infoSize >= 40) {
        if (len < kFileHeader + 12) return false;
        w = static_cast<int32_t>(u32(kFileHeader + 4));
        h = static_cast<int32_t>(u32(kFileHeader + 8));
        if (h < 0 && h != INT32_MIN) h = -h;
    } else {
        return false;
    }
    if (w <= 0 || h <= 0 || w > kLimit || h > kLimit) return false;
    width = w;
    height = h;
    return true;
}
