// Default values of every setting and the colour themes.
#include <algorithm>
#include <cstdio>

#include "config/settings_io.h"

Settings g_settings;

namespace {

// The nine combined Enhancer 1 + equalizer presets that always occupy slots 0..8.
const char* const kEnhPresetTexts[kBuiltInEnhPresets] = {
    "040,040,056,092,079,019,1,00100,01000,10000,050,050,050,   [ Night ]",
    "020,042,044,075,078,041,1,00100,01000,10000,050,050,050,   [ Party ]",
    "000,047,022,058,081,000,1,00100,01000,10000,050,050,050,   [ Club ]",
    "040,035,078,109,080,058,3,00100,01000,08000,050,060,040,   [ Radio ]",
    "000,000,056,083,066,100,1,00100,01000,10000,050,050,050,   [ Simple loud ]",
    "020,046,067,093,082,013,1,00100,01000,10000,050,050,050,   [ Pump reduce ]",
    "000,000,078,000,039,100,1,00100,01000,10000,050,050,050,   [ Normalize ]",
    "000,000,078,029,082,026,1,00100,01000,10000,050,050,050,   [ Careful ]",
    "000,000,078,029,082,026,2,00100,01000,10000,050,080,050,   [ Equalizer ]",
};

struct ColourTheme {
    int32_t text, back, track, trackBg, window;
    uint16_t listDim;
    uint32_t stylezClear, stylezSet;
    bool dpiVariants;        // themes 1..3: slider size bits and bitmap letter follow the dpi
    const char* bmpLarge;    // bitmap letter when dpiFactor > 1.0 (or always, without variants)
    const char* bmpNormal;   // bitmap letter otherwise
    char titleLetters[3];    // big_title characters at positions 24, 26 and 29
    const char* titleColours;  // big_title positions 34..59
    bool tallEmbedded;       // big_embedded 32918/32888 instead of 16564/16512
};

constexpr uint32_t B(int bit) { return 1u << bit; }

const ColourTheme kThemes[8] = {
    {},  // 0 = "Current": restored from the snapshot
    {0xC8C8C8, 0x171717, 0xFFCA2B, 0x312500, 0x202020, 121, B(17) | B(19), B(14) | B(21), true,
     "l", "n", {'V', 'I', '3'}, "13158600,16037888,01513239", false},
    {0xC8C8C8, 0x303030, 0xFA961D, 0x282828, 0x303030, 121, B(17) | B(19) | B(21), B(14), true,
     "l", "n", {'V', 'I', '3'}, "13158600,15835713,03158064", false},
    {0x303030, 0xFFFFFF, 0xFFFFFF, 0x303030, 0xFFFFFF, 385, B(14) | B(17) | B(21), 0, true, "k",
     "d", {'V', 'O', '3'}, "16777215,16777215,03158064", false},
    {0x000000, 0xD2D2D2, 0x00FF79, 0x383838, 0x383838, 384, B(17) | B(19) | B(21), B(14), false,
     "n", "n", {'V', 'G', '1'}, "16777215,00065401,03684408", true},
    {0xECCCAE, 0x2E1E10, 0x00FF80, 0x3F2916, 0x2E1E10, 168, B(17) | B(19), B(14) | B(21), false,
     "g", "g", {'V', 'R', '3'}, "15845280,00065408,04008216", false},
    {0x000000, 0xE0E0E0, 0xFFFFFF, 0x965A28, 0x965A28, 379, B(14) | B(19) | B(21), B(17), false,
     "m", "m", {'V', 'V', '1'}, "16766387,16777215,09853480", true},
    {0x000000, 0xDADADA, 0xFFFFFF, 0x000082, 0x000082, 379, B(14) | B(19) | B(21), B(17), false,
     "m", "m", {'-', '-', '1'}, "14342910,01423871,00000130", true},
};

// The Big view title value before any theme touches it.
constexpr const char* kBigTitleBase =
    "00243,00716,01392,00293,ViVc-1i07,16766387,16777215,09853480,Arial";
constexpr size_t kBigTitleColoursAt = 34;
constexpr size_t kBigTitleThemedLength = 60;  // positions 0..59 are written by a theme

}  // namespace

void SetDefaults(Settings& s, const ScreenMetrics& m) {
    const double dpi = m.dpiFactor;
    const double f1 = std::min(dpi, m.horzRes / 900.0);
    const double f2 = std::min(dpi, m.vertRes / 640.0);
    auto g1 = [&](double v) { return static_cast<int32_t>(v * f1); };
    auto g2 = [&](double v) { return static_cast<int32_t>(v * f2); };

    s = Settings{};
    s.window_x = g1(80);
    s.window_y = g2(30);
    s.window_w = g1(900);
    s.window_h = g2(640);
    s.maximized = 0;
    s.divider = g1(255);
    s.list_name = {g1(349), g1(279), 0};
    s.list_size = {g1(84), g1(83), g1(103)};
    s.list_ext = {g1(50), g1(126), g1(93)};
    s.list_date = {g1(113), g1(106), g1(392)};
    s.compact_view = 2;
    s.compact_x = 40;
    s.compact_y = 40;
    s.playlist_win = static_cast<uint16_t>(g2(300));
    s.tab_sel = 0;
    s.font_size = 0;
    s.slider_split = 800;
    s.stylez = 41858;
    s.control_flags = 32;
    s.system_flags = m.osMajorVersion < 10 ? 2 : 1026;
    s.control_lock = 0;
    s.mouse_flags = 7;
    s.last_pos = 0;
    s.nowplaying = L"-----Now playing with Zuvo: %M";
    s.last_hti = 0;
    s.file_sort = 1;
    s.show_time = 8;
    s.list_style = 161;
    s.hotkeys = 0;
    s.use_mpglib = 0;
    s.filebufsize = 200;
    s.wavedevice = 128;
    s.wave_flags = 0;
    s.outbuflength = 4;
    s.gapless = 0;
    s.autospace = 2000;
    s.overlap2 = 6706;
    s.overlap2buf = 10;
    s.volume = 32767;
    s.enhance = 0;
    s.stereo_width = 20;
    s.amp_max = 67;
    s.amp_up = 95;
    s.amp_dwn = 82;
    s.amp_hpcutoff = 48;
    s.amp_threshold = 0;
    s.rpt_mode = 0;
    s.intro_scan = 5150;
    s.intro_sc_pos = 0;
    s.fadeout = 34058;
    s.fade_decay = 6;
    s.skip_times = 32771855;
    s.compare = 0;
    s.logfile = 100;
    s.find_sc_pos = 0;
    s.toolbar = 2213;
    s.info_row = 0;
    s.streambuffer = 5;
    s.bass_dlwin = 0;
    s.history = 0;
    s.big_t_time = 32768;
    s.big_embedded = dpi > 1.0 ? 16564 : 16512;
    s.padding = 10;
    s.more_dark = 0;
    s.big_title = kBigTitleBase;
    s.big_rssstring = "060,0000000000,004,https://feeds.bbci.co.uk/news/rss.xml";
    s.big_infoptrn = "--abge--codr;fnnnmm;aattcc";
    s.bmpfile = dpi > 1.0 ? "l" : "n";
    s.applaunch1 = L"0";
    s.applaunch2 = L"0";
    s.applaunch3 = L"0";
    s.autoinsert = "00010,00010,00500,00400,0300,0060,0060,0060,010";
    s.hotkey_def = "0x7790x7890x7990x7A90x7B90x7590x7690x0000x0000x0000x0000x0000x000";
    s.picture = "00150,folder.jpg;cover.jpg";
    s.httpserv = "----lfca-b127.0.0.1:8080";
    s.browse = "-----https://duckduckgo.com/?q=%M";
    s.eq_enable = 0;
    s.eq = {50, 50, 50};
    s.eq_f = {100, 1000, 10000};
    for (int i = 0; i < kBuiltInEnhPresets; ++i) s.enh_eq_set[i] = kEnhPresetTexts[i];

    ApplyColourTheme(s, 2, dpi, nullptr);

    // The default Enhancer 2 preset ("4 band intense 2").
    s.enh2_1 = "ma--f00130f01400f04000------------l020s025";
    s.enh2_2 = "----m028u054d087t057m022u057d081t061m017u052d077t049m017u045d074t037----------------";
    s.enh2_lim = "l-s---th270re050ce300kn025ra201at030ho000";
}

ThemeSnapshot TakeThemeSnapshot(const Settings& s) {
    return ThemeSnapshot{s.color_text,   s.color_back,         s.color_track, s.color_trkbg,
                         s.color_win,    s.trackBackgroundSet, s.list_dim,    s.big_t_time,
                         s.big_embedded, s.stylez,             s.big_title,   s.bmpfile};
}

void ApplyColourTheme(Settings& s, int index, double dpiFactor, const ThemeSnapshot* current) {
    if (index == 0) {
        if (!current) return;
        const ThemeSnapshot& c = *current;
        s.color_text = c.color_text;
        s.color_back = c.color_back;
        s.color_track = c.color_track;
        s.color_trkbg = c.color_trkbg;
        s.color_win = c.color_win;
        s.trackBackgroundSet = c.trackBackgroundSet;
        s.list_dim = c.list_dim;
        s.big_t_time = c.big_t_time;
        s.big_embedded = c.big_embedded;
        s.stylez = c.stylez;
        s.big_title = c.big_title;
        s.bmpfile = c.bmpfile;
        return;
    }
    if (index < 1 || index > kColourThemeCount) return;
    const ColourTheme& t = kThemes[index];
    const bool large = dpiFactor > 1.0;

    s.color_text = t.text;
    s.color_back = t.back;
    s.color_track = t.track;
    s.color_trkbg = t.trackBg;
    s.color_win = t.window;
    s.trackBackgroundSet = true;
    s.list_dim = t.listDim;
    s.big_t_time = 32768;
    if (t.tallEmbedded)
        s.big_embedded = large ? 32918 : 32888;
    else
        s.big_embedded = large ? 16564 : 16512;

    uint32_t st = static_cast<uint32_t>(s.stylez);
    st = (st & ~t.stylezClear) | t.stylezSet;
    if (t.dpiVariants) {
        if (large)
            st |= Style::LargerSliders;
        else
            st &= ~static_cast<uint32_t>(Style::LargerSliders);
        if (dpiFactor > 1.25) st |= Style::AddPadding;
    }
    s.stylez = static_cast<int32_t>(st);
    s.bmpfile = (t.dpiVariants && !large) ? t.bmpNormal : t.bmpLarge;

    // A Big view value shorter than the themed positions is left alone: its font name
    // would otherwise be overwritten.
    if (s.big_title.size() >= kBigTitleThemedLength) {
        s.big_title[24] = t.titleLetters[0];
        s.big_title[26] = t.titleLetters[1];
        s.big_title[29] = t.titleLetters[2];
        s.big_title.replace(kBigTitleColoursAt, 26, t.titleColours);
    }
}
