// The toolbar's buttons: which the settings show, the bitmap a bmpfile names, and the states a
// refresh mask sets.
#include "ui/toolbar.h"

#include <gtest/gtest.h>

#include <tuple>

#include "config/settings_bits.h"
#include "ui/view_ops.h"

namespace {

std::vector<int> Commands(const Settings& s) {
    std::vector<int> out;
    for (int i : SelectToolbarButtons(s)) out.push_back(kToolbarButtons[i].command);
    return out;
}

TEST(Toolbar, ButtonsShownBySettings) {
    const std::vector<int> always = {510, 511, 512, 513, 518, 402, 520,
                                     517, 516, 521, 523, 525, 524};
    Settings s;
    s.toolbar = 0;
    EXPECT_EQ(Commands(s), always);

    s.toolbar = ToolbarButton::FolderSearch;  // the folder search pair after the fourth
    std::vector<int> withSearch = always;
    withSearch.insert(withSearch.begin() + 4, {514, 515});
    EXPECT_EQ(Commands(s), withSearch);

    // An external program's button needs its bit and a program.
    s.toolbar = ToolbarButton::ExternalProgram1 | ToolbarButton::ExternalProgram2;
    s.applaunch2 = L"C:\\tools\\edit.exe";
    std::vector<int> withProgram = always;
    withProgram.push_back(404);
    EXPECT_EQ(Commands(s), withProgram);

    s.toolbar = -1;  // every bit: all but the two external programs that are not set
    s.applaunch2.clear();
    EXPECT_EQ(SelectToolbarButtons(s).size(), size_t{kToolbarButtonCount - 3});
    s.applaunch1 = s.applaunch2 = s.applaunch3 = L"x.exe";
    const std::vector<int> all = Commands(s);
    ASSERT_EQ(all.size(), size_t{kToolbarButtonCount});
    EXPECT_EQ(all[16], 528);  // mute after "Home"
    EXPECT_EQ(all.back(), 459);
}

TEST(Toolbar, BitmapByLetter) {
    const struct {
        const char* bmpfile;
        ToolbarImages kind;
        int resource, w, h;
    } cases[] = {
        {"n", ToolbarImages::Bitmap, 703, 30, 24},    {"l", ToolbarImages::Bitmap, 705, 40, 32},
        {"v", ToolbarImages::SmallText, 707, 20, 16}, {"x", ToolbarImages::Bitmap, 707, 20, 16},
        {"", ToolbarImages::Bitmap, 707, 20, 16},     {"t", ToolbarImages::TextOnly, 0, 0, 0},
        {"my.bmp", ToolbarImages::File, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ToolbarBitmapChoice b = ChooseToolbarBitmap(c.bmpfile);
        EXPECT_EQ(std::tuple(b.kind, b.resource, b.imageW, b.imageH),
                  std::tuple(c.kind, c.resource, c.w, c.h))
            << c.bmpfile;
    }
}

const ToolbarChange* Find(const std::vector<ToolbarChange>& v, int command) {
    for (const ToolbarChange& c : v)
        if (c.command == command) return &c;
    return nullptr;
}

TEST(Toolbar, RepeatImageByMode) {
    const struct {
        uint8_t rpt, oneShot;
        int image;
    } cases[] = {{0, 0, 8}, {1, 0, 9}, {2, 0, 10}, {3, 0, 11}, {0, 1, 10}, {3, 2, 11}};
    Settings s;
    for (const auto& c : cases) {
        ToolbarStateInput in;
        in.rptMode = c.rpt;
        in.trackOneShot = c.oneShot;
        const auto v = ToolbarStateChanges(s, in, ToolbarMask::Repeat);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_EQ(v[0].command, 518);
        EXPECT_EQ(v[0].image, c.image) << int{c.rpt} << "/" << int{c.oneShot};
    }
}

TEST(Toolbar, ListButtonsEnabledByKind) {
    const struct {
        uint8_t kind;
        bool autoReload, enabled;
    } cases[] = {{0, false, true},  {1, false, true},  {2, false, true}, {3, false, false},
                 {4, false, false}, {0, true, false},  {1, true, true},  {2, true, false}};
    for (const auto& c : cases) {
        Settings s;
        s.control_flags = c.autoReload ? int32_t{ControlFlag::AutoReloadDir} : 0;
        ToolbarStateInput in;
        in.listKind = c.kind;
        const auto v = ToolbarStateChanges(s, in, ToolbarMask::ListButtons);
        for (int cmd : {517, 516, 521}) {
            const ToolbarChange* b = Find(v, cmd);
            ASSERT_NE(b, nullptr) << cmd;
            EXPECT_TRUE(b->setEnabled);
            EXPECT_EQ(b->enabled, c.enabled) << int{c.kind} << " " << c.autoReload;
        }
    }
}

TEST(Toolbar, CheckedStatesFollowTheirMaskBits) {
    Settings s;
    s.enhance = 2, s.wave_flags = WaveFlag::MonoOutput, s.httpserv = "a---";
    s.list_style = ListStyle::AlwaysScanInfo;
    ToolbarStateInput in;
    in.listShuffled = in.quitAfterTrack = in.playlistOpen = in.introScanRunning = in.muted = true;
    const auto all = ToolbarStateChanges(s, in, kToolbarStartMask | 0x1E0);
    const struct {
        int command;
        bool checked;
        int image;
    } checks[] = {{521, true, 16}, {406, true, -1}, {523, true, -1}, {437, true, -1},
                  {528, true, 32}, {480, true, -1}, {401, false, -1}, {488, true, -1},
                  {459, true, -1}};
    for (const auto& c : checks) {
        const ToolbarChange* b = nullptr;
        for (const ToolbarChange& x : all)
            if (x.command == c.command && x.setChecked) b = &x;
        ASSERT_NE(b, nullptr) << c.command;
        EXPECT_EQ(b->checked, c.checked) << c.command;
        EXPECT_EQ(b->image, c.image) << c.command;
    }
    const ToolbarChange* scan = Find(all, 526);
    ASSERT_NE(scan, nullptr);
    EXPECT_FALSE(scan->enabled);  // "Always scan" makes the button pointless

    // A single bit touches only its own buttons.
    const auto mute = ToolbarStateChanges(s, ToolbarStateInput{}, ToolbarMask::Mute);
    ASSERT_EQ(mute.size(), 1u);
    EXPECT_EQ(mute[0].image, 33);
    EXPECT_FALSE(mute[0].checked);
    EXPECT_TRUE(ToolbarStateChanges(s, in, 0).empty());
}

std::vector<uint8_t> Bmp(uint32_t infoSize, int32_t w, int32_t h, size_t len) {
    std::vector<uint8_t> b(len, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4 && at + i < len; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    if (len > 1) b[0] = 'B', b[1] = 'M';
    put32(14, infoSize);
    if (infoSize == 12) {
        put32(18, static_cast<uint32_t>(w & 0xFFFF) | static_cast<uint32_t>(h & 0xFFFF) << 16);
    } else {
        put32(18, static_cast<uint32_t>(w));
        put32(22, static_cast<uint32_t>(h));
    }
    return b;
}

// A custom bitmap file's header gives its size, and the size the number of images in it.
TEST(Toolbar, CustomBitmapHeaderAndImages) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool ok;
        int w = 0, h = 0, images = 0, imageW = 0;
    } cases[] = {
        {"info header", Bmp(40, 1500, 30, 54), true, 1500, 30, 50, 30},
        {"top-down rows, exactly 40 times as wide", Bmp(40, 1200, -30, 54), true, 1200, 30, 50, 24},
        {"core header, 21 times as wide", Bmp(12, 504, 24, 26), true, 504, 24, 21, 24},
        {"too narrow for images", Bmp(40, 10, 24, 54), true, 10, 24, 0, 0},
        {"cut before the size", Bmp(40, 1500, 30, 24), false},
        {"unknown header size", Bmp(20, 1500, 30, 54), false},
        {"zero width", Bmp(40, 0, 30, 54), false},
        {"absurd width", Bmp(40, 1 << 20, 30, 54), false},
        {"not a bitmap", std::vector<uint8_t>(54, 'x'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int w = 0, h = 0, images = 0, imageW = 0;
        ASSERT_EQ(BmpHeaderSize(c.bytes.data(), c.bytes.size(), w, h), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(std::tuple(w, h), std::tuple(c.w, c.h));
        EXPECT_EQ(CustomBitmapImages(w, h, images, imageW), c.images > 0);
        if (c.images) {
            EXPECT_EQ(std::tuple(images, imageW), std::tuple(c.images, c.imageW));
        }
    }
    int w = 0, h = 0;
    EXPECT_FALSE(BmpHeaderSize(nullptr, 0, w, h));
    EXPECT_FALSE(CustomBitmapImages(100, 0, w, h));
}

}  // namespace
