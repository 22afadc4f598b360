#include "settings/control_table.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <type_traits>

#include "base/utf.h"
#include "settings/settings_pages.h"

// One row per control: id, page, key, kind, mask, shift, min, max, values, label, group.
// Page 0 uses ids 3100.., page 5 3150.., 6 3200.., 7 3250.., 9 3300.., 10 3350.., 11 3400..,
// 12 3450.., 13 3500.., 14 3550.., 15 3600.., 16 3650.., 17 3700.., 18 3750..
// clang-format off
const ControlRow kControlTable[] = {
    // ---- 0 Quick settings (the page's own code: lists and the Apply button) ----
    {3101, 0, "language", Ctl::Action, 0, 0, 0, 0, nullptr, "Language", "Language"},
    {3102, 0, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Appearance", "Appearance"},
    {3103, 0, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Control", "Control"},
    {3104, 0, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Sound and output", "Sound and output"},
    {3105, 0, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Apply", "Apply"},
    {3106, 0, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "Apply"},

    // ---- 5 Control ----
    {3150, 5, "control_flags", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "Continue in focused list", "Play"},
    {3151, 5, "control_flags", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "Remove played tracks from list", "Play"},
    {3152, 5, "control_flags", Ctl::Bit, 1u << 18, 0, 0, 0, nullptr, "Select next track after \"Play one track\"", "Play"},
    {3153, 5, "control_flags", Ctl::Bit, 1u << 19, 0, 0, 0, nullptr, "Next track if Fast forward reaches end", "Play"},
    {3154, 5, "control_flags", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "Go home before track change", "Play"},
    {3155, 5, "control_flags", Ctl::Bit, 1u << 14, 0, 0, 0, nullptr, "Quit by Escape (param start)", "Play"},
    {3156, 5, "rpt_mode", Ctl::Choice, 0xFF, 0, 0, 3, "0,1,2,3", "Repeat:|No repeat|Repeating track|Repeating list|Stop after track", "Play"},
    {3160, 5, "control_flags", Ctl::Bit, 1u << 11, 0, 0, 0, nullptr, "Auto search dirs", "Auto search dirs"},
    {3161, 5, "control_flags", Ctl::Bit, 1u << 12, 0, 0, 0, nullptr, "Dir search skips playlists/Cue sheets", "Auto search dirs"},
    {3162, 5, "control_flags", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Auto reload directory at end of tracks", "Auto search dirs"},
    {3163, 5, "control_flags", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "On end of playlist switch to folder list", "Auto search dirs"},
    {3165, 5, "skip_times", Ctl::SkipStep, 0, 0, 1, 250, nullptr, "Rewind (key left, seconds):", "Skip times"},
    {3166, 5, "skip_times", Ctl::SkipStep, 0, 8, 1, 240, nullptr, "Fast forward (key right, seconds):", "Skip times"},
    {3167, 5, "skip_times", Ctl::Number, 0xFFFF0000u, 16, 0, 10000, nullptr, "Back on Resume (millisecs):", "Skip times"},
    {3170, 5, "control_lock", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Play/Stop (confirmation)", "Lock controls"},
    {3171, 5, "control_lock", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Track position", "Lock controls"},
    {3172, 5, "control_lock", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "List change", "Lock controls"},
    {3173, 5, "control_lock", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Prev/next track", "Lock controls"},
    {3174, 5, "control_lock", Ctl::Bit, 1u << 4, 0, 0, 0, nullptr, "Track placement", "Lock controls"},
    {3175, 5, "control_lock", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "Volume", "Lock controls"},
    {3176, 5, "control_lock", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "DSP changes", "Lock controls"},
    {3177, 5, "control_lock", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "Menus", "Lock controls"},
    {3178, 5, "control_lock", Ctl::Bit, 1u << 8, 0, 0, 0, nullptr, "Quit (confirmation)", "Lock controls"},
    {3179, 5, "control_lock", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "File tools", "Lock controls"},

    // ---- 6 Lists and info ----
    {3200, 6, "control_flags", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Unselect selections on track change", "Lists and folders"},
    {3201, 6, "control_flags", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "Folders and lists in file view", "Lists and folders"},
    {3202, 6, "control_flags", Ctl::Bit, 1u << 8, 0, 0, 0, nullptr, "No subfolder pre-scan (faster tree)", "Lists and folders"},
    {3203, 6, "control_flags", Ctl::Bit, 1u << 20, 0, 0, 0, nullptr, "Double click to play on tree item without subitem", "Lists and folders"},
    {3204, 6, "control_flags", Ctl::Bit, 1u << 17, 0, 0, 0, nullptr, "Remember positions in ten folders", "Lists and folders"},
    {3205, 6, "list_style", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Natural numerical ordering", "Lists and folders"},
    {3206, 6, "list_style", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Sort by month (multi click on date tab)", "Lists and folders"},
    {3207, 6, "list_style", Ctl::Bit, 1u << 17, 0, 0, 0, nullptr, "Current 3 months grouped (multi click on date)", "Lists and folders"},
    {3208, 6, "list_style", Ctl::Bit, 1u << 4, 0, 0, 0, nullptr, "Always scan for track times/info (may be slow)", "Lists and folders"},
    {3209, 6, "list_style", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "Scan Cue sheet positions on VBR files", "Lists and folders"},
    {3210, 6, "list_style", Ctl::Bit, 1u << 10, 0, 0, 0, nullptr, "Show hidden files/folders", "Lists and folders"},
    {3211, 6, "list_style", Ctl::Bit, 1u << 11, 0, 0, 0, nullptr, "Start in Base folder (on no param)", "Lists and folders"},
    {3212, 6, "list_style", Ctl::Bit, 1u << 16, 0, 0, 0, nullptr, "Restore file list on start", "Lists and folders"},
    {3213, 6, "stylez", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Show created instead of modified date", "Lists and folders"},
    {3214, 6, "stylez", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "File info in context menu", "Lists and folders"},
    {3220, 6, "info_row", Ctl::Choice, 0x7C00, 0, 0, 0, "0,1024,2048,3072,4096,5120,6144,7168,8192",
     "Info column:|Off|Bitrate|Artist - Title|Track #|Length|kbps, kHz, Chn|Bitrate, Tag type|Year, Album|Notes", "Info column"},
    {3221, 6, "info_row", Ctl::Number, 0x3FF, 0, 0, 1023, nullptr, "Info column width (pixels, 0 = hidden):", "Info column"},
    {3222, 6, "info_row", Ctl::Bit, 1u << 16, 0, 0, 0, nullptr, "Keep the file size (no length) in the size column", "Info column"},

    // ---- 7 Toolbar ----
    {3250, 7, "toolbar", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Main menu", "Buttons"},
    {3251, 7, "toolbar", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Favorites", "Buttons"},
    {3252, 7, "toolbar", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Big title view", "Buttons"},
    {3253, 7, "toolbar", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Go to folder", "Buttons"},
    {3254, 7, "toolbar", Ctl::Bit, 1u << 4, 0, 0, 0, nullptr, "File finder", "Buttons"},
    {3255, 7, "toolbar", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "Explore", "Buttons"},
    {3256, 7, "toolbar", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "Intro scan", "Buttons"},
    {3257, 7, "toolbar", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "Quit after track", "Buttons"},
    {3258, 7, "toolbar", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "View track log", "Buttons"},
    {3259, 7, "toolbar", Ctl::Bit, 1u << 10, 0, 0, 0, nullptr, "Open picture", "Buttons"},
    {3260, 7, "toolbar", Ctl::Bit, 1u << 11, 0, 0, 0, nullptr, "Scan for times/info", "Buttons"},
    {3261, 7, "toolbar", Ctl::Bit, 1u << 12, 0, 0, 0, nullptr, "Track info", "Buttons"},
    {3262, 7, "toolbar", Ctl::Bit, 1u << 13, 0, 0, 0, nullptr, "External program 1", "Buttons"},
    {3263, 7, "toolbar", Ctl::Bit, 1u << 14, 0, 0, 0, nullptr, "External program 2", "Buttons"},
    {3264, 7, "toolbar", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "External program 3", "Buttons"},
    {3265, 7, "toolbar", Ctl::Bit, 1u << 16, 0, 0, 0, nullptr, "Track history", "Buttons"},
    {3266, 7, "toolbar", Ctl::Bit, 1u << 17, 0, 0, 0, nullptr, "Folder history", "Buttons"},
    {3267, 7, "toolbar", Ctl::Bit, 1u << 18, 0, 0, 0, nullptr, "Folder search", "Buttons"},
    {3268, 7, "toolbar", Ctl::Bit, 1u << 19, 0, 0, 0, nullptr, "Toggle tree view", "Buttons"},
    {3269, 7, "toolbar", Ctl::Bit, 1u << 20, 0, 0, 0, nullptr, "Mute", "Buttons"},
    {3270, 7, "toolbar", Ctl::Bit, 1u << 21, 0, 0, 0, nullptr, "Web server / streaming", "Buttons"},
    {3271, 7, "toolbar", Ctl::Bit, 1u << 22, 0, 0, 0, nullptr, "Enhancer 2", "Buttons"},
    {3272, 7, "toolbar", Ctl::Bit, 1u << 23, 0, 0, 0, nullptr, "Enhancer 1", "Buttons"},
    {3273, 7, "toolbar", Ctl::Bit, 1u << 24, 0, 0, 0, nullptr, "Mono", "Buttons"},
    {3280, 7, "control_flags", Ctl::Bit, 1u << 16, 0, 0, 0, nullptr, "Tab key access for toolbar", "Look"},
    {3281, 7, "stylez", Ctl::Bit, 1u << 10, 0, 0, 0, nullptr, "Add padding", "Look"},
    {3282, 7, "padding", Ctl::Number, 0xFFFFFFFFu, 0, 0, 40, nullptr, "Button padding (pixels):", "Look"},
    {3283, 7, "bmpfile", Ctl::Text, 0, 0, 0, 39, nullptr,
     "Button images (n, m, g, d; large l, k; small v; texts t; or a .bmp file):", "Look"},
    {3284, 7, "slider_split", Ctl::Number, 0x3FF, 0, 0, 1023, nullptr, "Volume / position slider split (0..1023):", "Look"},

    // ---- 9 Special ----
    {3300, 9, "system_flags", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Hide drive A:", "Tree, lists"},
    {3301, 9, "system_flags", Ctl::Bit, 1u << 11, 0, 0, 0, nullptr, "Hide drive B:", "Tree, lists"},
    {3302, 9, "system_flags", Ctl::Bit, 1u << 12, 0, 0, 0, nullptr, "Hide drive C:", "Tree, lists"},
    {3303, 9, "system_flags", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Hide Network", "Tree, lists"},
    {3304, 9, "system_flags", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Hide My docs", "Tree, lists"},
    {3305, 9, "system_flags", Ctl::Bit, 1u << 4, 0, 0, 0, nullptr, "Hide My music", "Tree, lists"},
    {3306, 9, "system_flags", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "Hide Shared docs", "Tree, lists"},
    {3307, 9, "system_flags", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "Hide Favorites", "Tree, lists"},
    {3308, 9, "system_flags", Ctl::Bit, 1u << 10, 0, 0, 0, nullptr, "Don't search for net servers", "Tree, lists"},
    {3309, 9, "list_style", Ctl::Bit, 1u << 12, 0, 0, 0, nullptr, "Hide Cue sheets in tree", "Tree, lists"},
    {3310, 9, "list_style", Ctl::Bit, 1u << 13, 0, 0, 0, nullptr, "Hide playlists in tree", "Tree, lists"},
    {3311, 9, "list_style", Ctl::Bit, 1u << 14, 0, 0, 0, nullptr, "Horizontal tree scrolling", "Tree, lists"},
    {3312, 9, "list_style", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "No label edit for renaming", "Tree, lists"},
    {3320, 9, "control_flags", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "High task priority", "Control, output"},
    {3321, 9, "compact_view", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Compact view without status bar", "Control, output"},
    {3322, 9, "compact_view", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Compact view always on top", "Control, output"},
    {3323, 9, "compact_view", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Compact view without title bar", "Control, output"},
    {3330, 9, "mouse_flags", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Use wheel for volume", "Mouse wheel"},
    {3331, 9, "mouse_flags", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Wheel scrolls over tree", "Mouse wheel"},
    {3332, 9, "mouse_flags", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Wheel scrolls over lists", "Mouse wheel"},
    {3333, 9, "mouse_flags", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Finer volume steps", "Mouse wheel"},

    // ---- 10 Window style ----
    {3350, 10, "stylez", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Minute symbol  :  instead of  '", "Titles and time"},
    {3351, 10, "stylez", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Upcoming file in title bar", "Titles and time"},
    {3352, 10, "stylez", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "No trackname or times in title bar", "Titles and time"},
    {3353, 10, "stylez", Ctl::Bit, 1u << 13, 0, 0, 0, nullptr, "Tag titles instead of filename in title bar", "Titles and time"},
    {3354, 10, "show_time", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Show elapsed time", "Titles and time"},
    {3355, 10, "show_time", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Show remaining time", "Titles and time"},
    {3356, 10, "show_time", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Swap elapsed and remaining", "Titles and time"},
    {3357, 10, "show_time", Ctl::Bit, 1u << 3, 0, 0, 0, nullptr, "Elapsed and total track time", "Titles and time"},
    {3360, 10, "stylez", Ctl::Bit, 1u << 8, 0, 0, 0, nullptr, "Show track/folder related pictures", "Cover art"},
    {3361, 10, "stylez", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "On missing image use a standard picture or the Zuvo icon", "Cover art"},
    {3362, 10, "stylez", Ctl::Bit, 1u << 12, 0, 0, 0, nullptr, "Ignore ID3v2 attached images", "Cover art"},
    {3363, 10, "picture", Ctl::Digits, 5, 0, 16, 2000, nullptr, "Picture height (pixels):", "Cover art"},
    {3364, 10, "picture", Ctl::TextFrom, 0, 6, 0, 79, nullptr, "Standard pictures (sep = ;):", "Cover art"},
    {3370, 10, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Theme:", "Preset themes"},
    {3380, 10, "stylez", Ctl::Bit, 1u << 21, 0, 0, 0, nullptr, "Dark mode (if possible)", "Window and knobs"},
    {3381, 10, "more_dark", Ctl::Choice, 0xFFFF, 0, 0, 0, "0,1,2,3,4",
     "Some more dark mode in dialogs:|Off|Light grey|Grey|Dark|Darker", "Window and knobs"},
    {3382, 10, "stylez", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Show tooltips", "Window and knobs"},
    {3383, 10, "stylez", Ctl::Bit, 1u << 11, 0, 0, 0, nullptr, "Larger sliders", "Window and knobs"},
    {3384, 10, "stylez", Ctl::Bit, 1u << 14, 0, 0, 0, nullptr, "Grey and white sliders", "Window and knobs"},
    {3385, 10, "stylez", Ctl::Bit, 1u << 17, 0, 0, 0, nullptr, "White sliders", "Window and knobs"},
    {3386, 10, "stylez", Ctl::Bit, 1u << 19, 0, 0, 0, nullptr, "List dividers in window color", "Window and knobs"},

    // ---- 11 List style ----
    {3400, 11, "font_face", Ctl::Font, 0, 0, 0, 0, nullptr, "List font...", "Font"},
    {3401, 11, "font_size", Ctl::Number, 0xFF, 0, 0, 72, nullptr, "Font size (0 = standard):", "Font"},
    {3410, 11, "list_style", Ctl::Bit, 1u << 1, 0, 0, 0, nullptr, "Gridlines in file lists", "Track list and tree styles"},
    {3411, 11, "list_style", Ctl::Bit, 1u << 2, 0, 0, 0, nullptr, "Show month colors in track lists", "Track list and tree styles"},
    {3412, 11, "list_style", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "Full row select", "Track list and tree styles"},
    {3413, 11, "list_style", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "Show file size in KB", "Track list and tree styles"},
    {3414, 11, "list_style", Ctl::Bit, 1u << 18, 0, 0, 0, nullptr, "Hide track list scrollbars if possible", "Track list and tree styles"},
    {3415, 11, "stylez", Ctl::Bit, 1u << 6, 0, 0, 0, nullptr, "Explorer style tree on bright background", "Track list and tree styles"},
    {3416, 11, "stylez", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "Add tree item spacing", "Track list and tree styles"},
    {3417, 11, "stylez", Ctl::Bit, 1u << 16, 0, 0, 0, nullptr, "Show lines in tree", "Track list and tree styles"},
    {3418, 11, "list_style", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "On active playlist dim inactive list:", "Track list and tree styles"},
    {3419, 11, "list_dim", Ctl::Number, 0xFFFF, 0, 0, 1000, nullptr, "Dim amount:", "Track list and tree styles"},
    {3420, 11, "color_text", Ctl::Colour, 0, 0, 0, 0, nullptr, "Text...", "Colors"},
    {3421, 11, "color_back", Ctl::Colour, 0, 0, 0, 0, nullptr, "Background...", "Colors"},
    {3422, 11, "color_track", Ctl::Colour, 0, 0, 0, 0, nullptr, "Track text...", "Colors"},
    {3423, 11, "color_trkbg", Ctl::Colour, 0, 0, 0, 0, nullptr, "Track background...", "Colors"},
    {3424, 11, "color_win", Ctl::Colour, 0, 0, 0, 0, nullptr, "Window...", "Colors"},

    // ---- 12 Big view ----
    {3450, 12, "big_title", Ctl::CharChoice, 0, 24, 0, 0, "vVM-",
     "Level meter:|Level meter background|Level meter on the left|Level + Enhancer 2|None", "Content"},
    {3451, 12, "big_title", Ctl::CharFlag, 0, 25, 0, 0, "i-", "ID3/Plugin titles", "Content"},
    {3452, 12, "big_title", Ctl::CharChoice, 0, 27, 0, 0, "-cC", "Clock:|None|Clock|Clock and Battery percent", "Content"},
    {3453, 12, "big_title", Ctl::CharChoice, 0, 29, 0, 0, "132-45",
     "Layout:|1/2 title, times|2/3 title, times|3/4 title, times|2/3 title, times, info|Title, info, info, times|Title, times, info, info", "Content"},
    {3454, 12, "big_title", Ctl::CharChoice, 0, 30, 0, 0, "-iI", "Extra infos:|Off|Pattern|Pattern and RSS titles", "Content"},
    {3455, 12, "big_infoptrn", Ctl::Text, 0, 0, 0, 59, nullptr, "Extra infos, Pattern:", "Content"},
    {3456, 12, "big_title", Ctl::Digits, 2, 31, 0, 99, nullptr, "Cycle time (secs):", "Content"},
    {3457, 12, "big_title", Ctl::CharChoice, 0, 26, 0, 0, "-VIOGR", "Meter in text colors:|Off|V|I|O|G|R", "Content"},
    {3458, 12, "big_title", Ctl::Colour, 8, 34, 0, 0, nullptr, "Title color...", "Content"},
    {3459, 12, "big_title", Ctl::Colour, 8, 43, 0, 0, nullptr, "Info color...", "Content"},
    {3460, 12, "big_title", Ctl::Colour, 8, 52, 0, 0, nullptr, "Background...", "Content"},
    {3461, 12, "big_title", Ctl::TextFrom, 0, 61, 0, 109, nullptr, "Font:", "Content"},
    {3465, 12, "big_t_time", Ctl::Number, 0x7FFF, 0, 0, 3600, nullptr, "Input idle seconds to pop up while play (0 = manually):", "Show"},
    {3466, 12, "big_t_time", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "Open the Big view at start", "Show"},
    {3467, 12, "big_embedded", Ctl::Bit, 1u << 15, 0, 0, 0, nullptr, "Embedded top", "Show"},
    {3468, 12, "big_embedded", Ctl::Bit, 1u << 14, 0, 0, 0, nullptr, "Embedded bottom", "Show"},
    {3469, 12, "big_embedded", Ctl::Bit, 1u << 13, 0, 0, 0, nullptr, "Below track list", "Show"},
    {3470, 12, "big_embedded", Ctl::Number, 0x1FFF, 0, 20, 1000, nullptr, "Embedded height (pixels):", "Show"},

    // ---- 13 System ----
    {3500, 13, "control_flags", Ctl::Bit, 1u << 4, 0, 0, 0, nullptr, "Systray icon", "Environment"},
    {3501, 13, "control_flags", Ctl::Bit, 1u << 5, 0, 0, 0, nullptr, "Only one instance allowed", "Environment"},
    {3502, 13, "system_flags", Ctl::Bit, 1u << 7, 0, 0, 0, nullptr, "Auto save settings every five minutes (on play)", "Environment"},
    {3503, 13, "system_flags", Ctl::Bit, 1u << 9, 0, 0, 0, nullptr, "On window close only minimize", "Environment"},
    {3504, 13, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Always be portable (write access needed!)", "Environment"},
    {3510, 13, "inet", Ctl::Text, 0, 0, 0, 79, nullptr, "Proxy (address:port, empty = none):", "Proxy server"},

    // ---- 14 File options ----
    {3550, 14, "list_style", Ctl::Bit, 1u << 8, 0, 0, 0, nullptr, "Delete files to Recycle bin (no confirmation)", "Filing operations"},
    {3551, 14, "system_flags", Ctl::Bit, 1u << 8, 0, 0, 0, nullptr, "No tree copy/move confirmation", "Filing operations"},
    {3552, 14, "system_flags", Ctl::Bit, 1u << 0, 0, 0, 0, nullptr, "Don't remember playlist/copy destinations", "Filing operations"},
    {3553, 14, "home_folder", Ctl::Text, 0, 0, 0, 399, nullptr, "Base folder:", "Filing operations"},
    {3560, 14, "applaunch1", Ctl::TextFrom, 0, 1, 0, 399, nullptr, "Program 1:", "Program launcher"},
    {3561, 14, "applaunch1", Ctl::CharFlag, 0, 0, 0, 0, "01", "Start program 1 with the current file or list", "Program launcher"},
    {3562, 14, "applaunch2", Ctl::TextFrom, 0, 1, 0, 399, nullptr, "Program 2:", "Program launcher"},
    {3563, 14, "applaunch2", Ctl::CharFlag, 0, 0, 0, 0, "01", "Start program 2 with the current file or list", "Program launcher"},
    {3564, 14, "applaunch3", Ctl::TextFrom, 0, 1, 0, 399, nullptr, "Program 3:", "Program launcher"},
    {3565, 14, "applaunch3", Ctl::CharFlag, 0, 0, 0, 0, "01", "Start program 3 with the current file or list", "Program launcher"},

    // ---- 15 Web server ----
    {3600, 15, "httpserv", Ctl::CharFlag, 0, 0, 0, 0, "a-", "Enable/start HTTP server", "HTTP server"},
    {3601, 15, "httpserv", Ctl::TextFrom, 0, 10, 0, 79, nullptr, "Address (Example: 192.168.0.1:8080):", "HTTP server"},
    {3602, 15, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "HTTP server"},
    {3603, 15, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "HTTP server"},
    {3610, 15, "httpserv", Ctl::CharChoice, 0, 4, 0, 0, "la", "Encoder:|Lame (lame_enc.dll)|ACM (l3codecp)", "MP3 streaming server"},
    {3611, 15, "httpserv", Ctl::CharChoice, 0, 5, 0, 0, "abcdefghijklm",
     "Bitrate:|32 kbps|48 kbps|64 kbps|80 kbps|96 kbps|128 kbps|160 kbps|192 kbps|256 kbps|VBR Q8 (Lame only)|VBR Q6 (Lame only)|VBR Q4 (Lame only)|VBR Q2 (Lame only)", "MP3 streaming server"},
    {3612, 15, "httpserv", Ctl::CharChoice, 0, 6, 0, 0, "abcd", "Samplerate:|24.0 kHz|32.0 kHz|44.1 kHz|48.0 kHz", "MP3 streaming server"},
    {3613, 15, "httpserv", Ctl::CharChoice, 0, 7, 0, 0, "abc", "Mode:|Joint Stereo|Stereo (Lame only)|Mono", "MP3 streaming server"},
    {3614, 15, "httpserv", Ctl::CharFlag, 0, 8, 0, 0, "s-", "Send silence if not playing", "MP3 streaming server"},
    {3615, 15, "httpserv", Ctl::CharChoice, 0, 9, 0, 0, "abcd", "Send interval:|100 ms|200 ms (default)|400 ms|1000 ms", "MP3 streaming server"},

    // ---- 16 Title options ----
    {3650, 16, "browse", Ctl::TextFrom, 0, 5, 0, 199, nullptr, "Search address (%M = artist and title):", "Internet search"},
    {3651, 16, "nowplaying", Ctl::CharFlag, 0, 0, 0, 0, "a-", "Auto update clipboard on track start", "Now playing"},
    {3652, 16, "nowplaying", Ctl::TextFrom, 0, 5, 0, 399, nullptr, "Now playing text:", "Now playing"},
    {3653, 16, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "Now playing"},
    {3660, 16, "big_rssstring", Ctl::Digits, 3, 0, 1, 999, nullptr, "RSS update interval (minutes):", "RSS reader"},
    {3661, 16, "big_rssstring", Ctl::Digits, 3, 15, 0, 999, nullptr, "Max age of titles (hours, 0 = no limit):", "RSS reader"},
    {3662, 16, "big_title", Ctl::CharCount, 0, 28, 0, 50, nullptr, "Max items (0 = no limit):", "RSS reader"},
    {3663, 16, "big_rssstring", Ctl::TextFrom, 0, 19, 0, 599, nullptr, "RSS feed titles, URLs (sep = blank):", "RSS reader"},

    // ---- 17 Logging ----
    {3700, 17, "logfile", Ctl::Bit, 1u << 10, 0, 0, 0, nullptr, "Track logging on", "Track logging"},
    {3701, 17, "logfile", Ctl::Number, 0x3FF, 0, 0, 1000, nullptr, "Maximum log size (KB, 0 = endless):", "Track logging"},
    {3702, 17, "history", Ctl::Switch, 0, 0, 0, 20, nullptr, "History menus (Track history, Folder history)", "Track logging"},
    {3703, 17, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "Track logging"},

    // ---- 18 About Zuvo ----
    {3750, 18, nullptr, Ctl::Action, 0, 0, 0, 0, nullptr, "Open the manual", "HTML Manual"},
    {3751, 18, nullptr, Ctl::Static, 0, 0, 0, 0, nullptr, "", "HTML Manual"},
};
// clang-format on
const int kControlCount = static_cast<int>(std::size(kControlTable));

const KeyNote kKeyNotes[] = {
    // Edited by the sound pages' own procedures (sound_pages_win.cpp).
    {"use_mpglib", 2, "radio buttons \"ACM (MP3 only)\", \"mpglib.dll (MP2 and MP3)\""},
    {"filebufsize", 1, "number box \"File buffer (KB, max = 500, default = 200):\""},
    {"wavedevice", 1, "drop-down list \"Output device\" (wave-out and \"DirectSound: \" devices)"},
    {"wave_flags", 1, "check boxes 0x01, 0x02, 0x08, 0x200 (\"Output options\"), 0x40, 0x80 (\"On a loud track end:\"); on Decoders 0x10 \"Use for MP3 files\", 0x20 \"Use Proxy\", 0x100 \"DSP plug-in\""},
    {"outbuflength", 1, "track bar \"Buffer length (default: 1 s)\""},
    {"gapless", 1, "check boxes \"Enable gapless\", \"Skip silences\", \"Overlap mixing\""},
    {"autospace", 1, "check box and number box \"Auto space (ms):\""},
    {"overlap2", 1, "number boxes \"Overlap level (1/200):\" (low byte), \"Loud end limit (x 10):\" (high byte)"},
    {"overlap2buf", 1, "number box \"Buffer length (default: 10 s)\" (low byte), drop-down list of the output formats (high byte)"},
    {"fadeout", 1, "check boxes and number boxes \"Fade on stop:\", \"Fade on skip:\", check box \"Short fade in on resume\""},
    {"fade_decay", 1, "number box \"Fade decay (exp ... linear):\""},
    {"streambuffer", 2, "number box \"Network stream buffer (seconds):\""},
    {"enhance", 3, "check boxes \"Enable\" of Enhancer 1 (1) and of Enhancer 2 (2, on its page)"},
    {"stereo_width", 3, "track bar \"Stereo width\""},
    {"amp_max", 3, "track bar \"Maximum gain\""},
    {"amp_up", 3, "track bar \"Gain up\""},
    {"amp_dwn", 3, "track bar \"Gain down\""},
    {"amp_hpcutoff", 3, "track bar \"High pass\""},
    {"amp_threshold", 3, "track bar \"Peak guard\""},
    {"eq_enable", 3, "check box \"Enable\" of \"Equalizer\""},
    {"eq", 3, "three vertical track bars of \"Equalizer\", \"Reset\""},
    {"eq_f", 3, "three number boxes \"Freq (Hz)\""},
    {"enh_eq_set", 3, "preset list with \"+\" and \"-\""},
    {"enh2_1", 4, "check boxes \"Multiband\", \"AGC\", number boxes \"Freq (Hz)\", track bars \"Drive\", \"Stereo\""},
    {"enh2_2", 4, "track bars \"Max amp\", \"Release\", \"Attack\", \"Threshold\" of each band"},
    {"enh2_lim", 4, "check box \"Limiter\", radio buttons \"No clip\", \"Soft clip 1\", \"Soft clip 2\", six limiter track bars"},
    {"enh2_set", 4, "preset list with \"+\" and \"-\""},
    {"hotkeys", 8, "radio buttons of \"Presets\""},
    {"hotkey_def", 8, "slot list, key list, \"Ctrl\", \"Alt\", \"Win\", \"Shift\", \"Set\", \"No key\""},
    // Stored state: the program remembers it; no page edits it.
    {"window_x", -1, "window placement, kept by the main window"},
    {"window_y", -1, "window placement, kept by the main window"},
    {"window_w", -1, "window placement, kept by the main window"},
    {"window_h", -1, "window placement, kept by the main window"},
    {"maximized", -1, "window placement, kept by the main window"},
    {"divider", -1, "divider position, dragged in the main window"},
    {"list_name", -1, "column widths, dragged in the lists"},
    {"list_size", -1, "column widths, dragged in the lists"},
    {"list_ext", -1, "column widths, dragged in the lists"},
    {"list_date", -1, "column widths, dragged in the lists"},
    {"compact_x", -1, "compact view position"},
    {"compact_y", -1, "compact view position"},
    {"playlist_win", -1, "play list placement, set from the View menu and by dragging"},
    {"tab_sel", -1, "the page shown last; the dialog itself keeps it"},
    {"last_pos", -1, "playback position at exit"},
    {"last_file", -1, "the current track at exit"},
    {"last_folder", -1, "folder of the last played list"},
    {"browsed_folder", -1, "folder shown at exit"},
    {"last_hti", -1, "kind of the last tree branch"},
    {"file_sort", -1, "sort method, chosen by clicking the list headers"},
    {"volume", -1, "volume slider"},
    {"intro_scan", -1, "intro scan window's own sliders"},
    {"intro_sc_pos", -1, "intro scan window position"},
    {"compare", -1, "folder comparison window's own options"},
    {"find_sc_pos", -1, "find window position"},
    {"bass_dlwin", -1, "stream download window position"},
    {"autoinsert", -1, "Insert view's own settings"},
    {"fav_set", -1, "favourites, kept by the Favorites menu"},
    {"dir_history", -1, "resume positions of ten folders"},
};
const int kKeyNoteCount = static_cast<int>(std::size(kKeyNotes));

namespace {

const char* const kKeyNames[] = {
#define ZUVO_NAME(kind, name, limit) #name,
    ZUVO_SETTINGS_KEYS(ZUVO_NAME)
#undef ZUVO_NAME
        "enh_eq_set",
    "enh2_set",
    "fav_set",
    "dir_history",
};

template <typename T>
bool ReadNumber(const T& field, int64_t& v) {
    if constexpr (std::is_integral_v<T>) {
        v = field;
        return true;
    } else {
        (void)field;
        return false;
    }
}

template <typename T>
bool WriteNumber(T& field, int64_t v) {
    if constexpr (std::is_integral_v<T>) {
        const int64_t lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
        // 32-bit fields hold bit patterns: take the low 32 bits of unsigned values.
        if constexpr (sizeof(T) == 4) {
            field = static_cast<T>(static_cast<uint32_t>(v));
        } else {
            field = static_cast<T>(v < lo ? lo : v > hi ? hi : v);
        }
        return true;
    } else {
        (void)field;
        (void)v;
        return false;
    }
}

std::string Narrow(const std::string& s) {
    return s;
}
std::string Narrow(const std::wstring& s) {
    return WideToUtf8(s);
}

}  // namespace

int SettingsKeyCount() {
    return static_cast<int>(std::size(kKeyNames));
}
const char* SettingsKeyName(int index) {
    return index >= 0 && index < SettingsKeyCount() ? kKeyNames[index] : nullptr;
}

const ControlRow* FindControl(int id) {
    for (const ControlRow& c : kControlTable)
        if (c.id == id) return &c;
    return nullptr;
}

bool GetSettingNumber(const Settings& s, std::string_view key, int64_t& value) {
#define ZUVO_GET(kind, name, limit) \
    if (key == #name) return ReadNumber(s.name, value);
    ZUVO_SETTINGS_KEYS(ZUVO_GET)
#undef ZUVO_GET
    return false;
}

bool SetSettingNumber(Settings& s, std::string_view key, int64_t value) {
#define ZUVO_SET(kind, name, limit) \
    if (key == #name) return WriteNumber(s.name, value);
    ZUVO_SETTINGS_KEYS(ZUVO_SET)
#undef ZUVO_SET
    return false;
}

namespace {
template <typename T>
bool ReadText(const T& field, std::string& out) {
    if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::wstring>) {
        out = Narrow(field);
        return true;
    } else {
        (void)field;
        (void)out;
        return false;
    }
}
template <typename T>
bool WriteText(T& field, const std::string& text, int limit, bool wide, bool launch) {
    if constexpr (std::is_same_v<T, std::string>) {
        (void)wide;
        (void)launch;
        if (static_cast<int>(text.size()) > limit) return false;
        field = text;
        return true;
    } else if constexpr (std::is_same_v<T, std::wstring>) {
        const std::wstring w = Utf8ToWide(text);
        // Launcher values count UTF-8 bytes (under the limit); paths count characters.
        if (launch ? static_cast<int>(text.size()) >= limit : static_cast<int>(w.size()) > limit)
            return false;
        (void)wide;
        field = w;
        return true;
    } else {
        (void)field;
        (void)text;
        (void)limit;
        (void)wide;
        (void)launch;
        return false;
    }
}
}  // namespace

bool GetSettingText(const Settings& s, std::string_view key, std::string& value) {
#define ZUVO_GETT(kind, name, limit) \
    if (key == #name) return ReadText(s.name, value);
    ZUVO_SETTINGS_KEYS(ZUVO_GETT)
#undef ZUVO_GETT
    return false;
}

bool SetSettingText(Settings& s, std::string_view key, const std::string& value) {
#define ZUVO_SETT(kind, name, limit) \
    if (key == #name)                \
        return WriteText(s.name, value, limit, std::string_view(#kind) != "TEXT", \
                         std::string_view(#kind) == "LAUNCH");
    ZUVO_SETTINGS_KEYS(ZUVO_SETT)
#undef ZUVO_SETT
    return false;
}

int SkipStepSeconds(int coded) {
    return coded <= 60 ? coded : (coded - 30) * 2;
}

int SkipStepCode(int seconds, int limit) {
    const int code = seconds <= 60 ? seconds : 60 + (seconds - 60) / 2;
    return code < 1 ? 1 : code > limit ? limit : code;
}

namespace {

// The i-th number of a "," separated list; false past its end.
bool ListNumber(const char* values, int index, int64_t& out) {
    const char* p = values;
    for (int i = 0; p && *p; ++i) {
        char* end = nullptr;
        const long long v = std::strtoll(p, &end, 10);
        if (i == index) {
            out = v;
            return true;
        }
        p = *end == ',' ? end + 1 : nullptr;
    }
    return false;
}

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

uint32_t Field32(const Settings& s, const char* key) {
    int64_t v = 0;
    GetSettingNumber(s, key, v);
    return static_cast<uint32_t>(v);
}

// The digits at [pos, pos + width) of text; -1 when the text is too short or holds no digits.
int64_t DigitsAt(const std::string& text, int pos, int width) {
    if (static_cast<int>(text.size()) < pos + width) return -1;
    int64_t v = 0;
    bool any = false;
    for (int i = pos; i < pos + width; ++i) {
        const char ch = text[static_cast<size_t>(i)];
        if (ch >= '0' && ch <= '9') {
            v = v * 10 + (ch - '0');
            any = true;
        }
    }
    return any ? v : 0;
}

}  // namespace

int64_t ControlValue(const Settings& s, const ControlRow& c) {
    std::string text;
    switch (c.kind) {
    case Ctl::Bit:
        return (Field32(s, c.key) & c.mask) ? 1 : 0;
    case Ctl::Switch:
        return Field32(s, c.key) == static_cast<uint32_t>(c.min) ? 0 : 1;
    case Ctl::Number:
        return (Field32(s, c.key) & c.mask) >> c.shift;
    case Ctl::Radio:
        return (Field32(s, c.key) & c.mask) == static_cast<uint32_t>(c.min) ? 1 : 0;
    case Ctl::Choice: {
        const uint32_t v = Field32(s, c.key) & c.mask;
        int64_t n;
        for (int i = 0; ListNumber(c.values, i, n); ++i)
            if (static_cast<uint32_t>(n) == v) return i;
        return -1;
    }
    case Ctl::SkipStep:
        return SkipStepSeconds(static_cast<int>(Field32(s, c.key) >> c.shift & 0xFF));
    case Ctl::Colour:
        if (c.mask == 0) return Field32(s, c.key);
        [[fallthrough]];
    case Ctl::Digits:
        GetSettingText(s, c.key, text);
        return DigitsAt(text, c.shift, static_cast<int>(c.mask));
    case Ctl::CharFlag:
    case Ctl::CharChoice:
    case Ctl::CharCount: {
        GetSettingText(s, c.key, text);
        if (static_cast<int>(text.size()) <= c.shift) return c.kind == Ctl::CharChoice ? -1 : 0;
        const char ch = text[static_cast<size_t>(c.shift)];
        if (c.kind == Ctl::CharFlag) return ch == c.values[0] ? 1 : 0;
        if (c.kind == Ctl::CharCount) return ch == '-' ? 0 : ch - 45;
        for (int i = 0; c.values[i]; ++i)
            if (c.values[i] == ch) return i;
        return -1;
    }
    default:
        return 0;
    }
}

namespace {

bool SetBits(Settings& s, const char* key, uint32_t mask, uint32_t bits) {
    const uint32_t v = (Field32(s, key) & ~mask) | (bits & mask);
    return SetSettingNumber(s, key, v);
}

bool SetChar(Settings& s, const char* key, int pos, char ch) {
    std::string text;
    if (!GetSettingText(s, key, text) || static_cast<int>(text.size()) <= pos) return false;
    text[static_cast<size_t>(pos)] = ch;
    return SetSettingText(s, key, text);
}

}  // namespace

bool SetControlValue(Settings& s, const ControlRow& c, int64_t value) {
    switch (c.kind) {
    case Ctl::Bit:
        return SetBits(s, c.key, c.mask, value ? c.mask : 0);
    case Ctl::Switch:
        return SetSettingNumber(s, c.key, value ? c.max : c.min);
    case Ctl::Number: {
        const int64_t v = Clamp(value, c.min, c.max);
        return SetBits(s, c.key, c.mask, static_cast<uint32_t>(v) << c.shift);
    }
    case Ctl::Radio:
        return value && SetBits(s, c.key, c.mask, static_cast<uint32_t>(c.min));
    case Ctl::Choice: {
        int64_t n;
        if (value < 0 || !ListNumber(c.values, static_cast<int>(value), n)) return false;
        return SetBits(s, c.key, c.mask, static_cast<uint32_t>(n));
    }
    case Ctl::SkipStep: {
        const int code = SkipStepCode(static_cast<int>(Clamp(value, 0, 100000)), c.max);
        return SetBits(s, c.key, 0xFFu << c.shift, static_cast<uint32_t>(code) << c.shift);
    }
    case Ctl::Colour:
        if (c.mask == 0) return SetSettingNumber(s, c.key, value & 0xFFFFFF);
        [[fallthrough]];
    case Ctl::Digits: {
        std::string text;
        const int width = static_cast<int>(c.mask);
        if (!GetSettingText(s, c.key, text) || static_cast<int>(text.size()) < c.shift + width)
            return false;
        const int64_t v = c.kind == Ctl::Colour ? (value & 0xFFFFFF) : Clamp(value, c.min, c.max);
        char digits[24];
        std::snprintf(digits, sizeof digits, "%0*lld", width, static_cast<long long>(v));
        text.replace(static_cast<size_t>(c.shift), static_cast<size_t>(width), digits);
        return SetSettingText(s, c.key, text);
    }
    case Ctl::CharFlag:
        return SetChar(s, c.key, c.shift, value ? c.values[0] : c.values[1]);
    case Ctl::CharChoice: {
        const int n = static_cast<int>(std::char_traits<char>::length(c.values));
        if (value < 0 || value >= n) return false;
        return SetChar(s, c.key, c.shift, c.values[value]);
    }
    case Ctl::CharCount: {
        const int64_t n = Clamp(value, c.min, c.max);
        return SetChar(s, c.key, c.shift, n == 0 ? '-' : static_cast<char>(45 + n));
    }
    default:
        return false;
    }
}

std::string ControlText(const Settings& s, const ControlRow& c) {
    std::string text;
    GetSettingText(s, c.key, text);
    if (c.kind == Ctl::TextFrom)
        return static_cast<int>(text.size()) > c.shift ? text.substr(static_cast<size_t>(c.shift))
                                                        : std::string();
    return text;
}

bool SetControlText(Settings& s, const ControlRow& c, const std::string& text) {
    if (c.kind == Ctl::Text)
        return static_cast<int>(text.size()) <= c.max && SetSettingText(s, c.key, text);
    if (c.kind != Ctl::TextFrom) return false;
    std::string whole;
    GetSettingText(s, c.key, whole);
    // A short value is padded with the off letters ("-") up to the text's position.
    if (static_cast<int>(whole.size()) < c.shift) whole.resize(static_cast<size_t>(c.shift), '-');
    whole = whole.substr(0, static_cast<size_t>(c.shift)) + text;
    return static_cast<int>(whole.size()) <= c.max && SetSettingText(s, c.key, whole);
}

std::string ControlCaption(const ControlRow& c) {
    const std::string_view l = c.label;
    return std::string(l.substr(0, l.find('|')));
}

int ControlEntryCount(const ControlRow& c) {
    int n = 0;
    for (const char* p = c.label; *p; ++p) n += *p == '|';
    return n;
}

std::string ControlEntry(const ControlRow& c, int index) {
    std::string_view l = c.label;
    for (int i = 0; i <= index; ++i) {
        const size_t bar = l.find('|');
        if (bar == std::string_view::npos) return std::string();
        l = l.substr(bar + 1);
    }
    return std::string(l.substr(0, l.find('|')));
}

namespace {

const char* KindName(const ControlRow& c) {
    switch (c.kind) {
    case Ctl::Bit: return "check box";
    case Ctl::Switch: return "check box (on/off value)";
    case Ctl::Number: return "number box";
    case Ctl::Choice: return "drop-down list";
    case Ctl::Radio: return "radio button";
    case Ctl::Text: return "text box";
    case Ctl::TextFrom: return "text box";
    case Ctl::CharFlag: return "check box";
    case Ctl::CharChoice: return "drop-down list";
    case Ctl::Digits: return "number box";
    case Ctl::CharCount: return "number box";
    case Ctl::SkipStep: return "number box (seconds)";
    case Ctl::Colour: return "colour dialog";
    case Ctl::Font: return "font dialog";
    case Ctl::Static: return "text";
    case Ctl::Action: return "list or button";
    }
    return "";
}

std::string Where(const ControlRow& c) {
    char part[64] = "";
    switch (c.kind) {
    case Ctl::Bit:
    case Ctl::Number:
    case Ctl::Choice:
        std::snprintf(part, sizeof part, " (bits 0x%X)", c.mask);
        break;
    case Ctl::TextFrom:
        std::snprintf(part, sizeof part, " (from character %d)", c.shift);
        break;
    case Ctl::CharFlag:
    case Ctl::CharChoice:
    case Ctl::CharCount:
        std::snprintf(part, sizeof part, " (character %d)", c.shift);
        break;
    case Ctl::Digits:
        std::snprintf(part, sizeof part, " (characters %d-%d)", c.shift, c.shift + static_cast<int>(c.mask) - 1);
        break;
    case Ctl::Colour:
        if (c.mask) std::snprintf(part, sizeof part, " (characters %d-%d)", c.shift, c.shift + 7);
        break;
    case Ctl::SkipStep:
        std::snprintf(part, sizeof part, " (byte %d)", c.shift / 8);
        break;
    default:
        break;
    }
    return part;
}

}  // namespace

std::string SettingsKeyDoc() {
    std::string out =
        "| Key | Page | Control |\n"
        "|---|---|---|\n";
    for (int k = 0; k < SettingsKeyCount(); ++k) {
        const std::string_view key = kKeyNames[k];
        bool any = false;
        for (const ControlRow& c : kControlTable) {
            if (!c.key || key != c.key) continue;
            out += "| `" + std::string(key) + "` | " + kSettingsPages[c.page].name + " | " +
                   KindName(c) + " \"" + ControlCaption(c) + "\"" + Where(c) + " |\n";
            any = true;
        }
        for (const KeyNote& n : kKeyNotes) {
            if (key != n.key) continue;
            out += "| `" + std::string(key) + "` | " +
                   (n.page >= 0 ? kSettingsPages[n.page].name : "none") + " | " +
                   (n.page >= 0 ? "the page's own controls: " : "stored state: ") + n.reason +
                   " |\n";
            any = true;
        }
        if (!any) out += "| `" + std::string(key) + "` | ? | not edited, no reason given |\n";
    }
    return out;
}
