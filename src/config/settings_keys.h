// The settings keys, in the order the settings file lists them. Each entry:
//   X(kind, name, limit)
// kind  I32, U16, U8: a number ("%d" written, atoi read) of that width
//       COLS: three "%.4d" column widths, read at offsets 0, 5, 10
//       EQ3: three "%.3d" gains at 0, 4, 8;  EQF3: three "%.5d" frequencies at 0, 6, 12
//       TEXT: narrow text accepted when at most `limit` characters long
//       WIDE: wide text stored as UTF-8 (path values), at most `limit` characters
//       LAUNCH: wide text, UTF-8 or system code page, accepted when under `limit` UTF-8 bytes
// The struct, the reader and the writer are all generated from this one list.
#pragma once

#define ZUVO_SETTINGS_KEYS(X)          \
    X(I32, window_x, 0)                \
    X(I32, window_y, 0)                \
    X(I32, window_w, 0)                \
    X(I32, window_h, 0)                \
    X(I32, maximized, 0)               \
    X(I32, divider, 0)                 \
    X(COLS, list_name, 0)              \
    X(COLS, list_size, 0)              \
    X(COLS, list_ext, 0)               \
    X(COLS, list_date, 0)              \
    X(U8, compact_view, 0)             \
    X(I32, compact_x, 0)               \
    X(I32, compact_y, 0)               \
    X(U16, playlist_win, 0)            \
    X(U8, tab_sel, 0)                  \
    X(U8, font_size, 0)                \
    X(TEXT, font_face, 39)             \
    X(I32, color_text, 0)              \
    X(I32, color_back, 0)              \
    X(I32, color_track, 0)             \
    X(I32, color_trkbg, 0)             \
    X(I32, color_win, 0)               \
    X(U16, slider_split, 0)            \
    X(U16, list_dim, 0)                \
    X(I32, stylez, 0)                  \
    X(I32, control_flags, 0)           \
    X(I32, system_flags, 0)            \
    X(I32, control_lock, 0)            \
    X(U16, mouse_flags, 0)             \
    X(I32, last_pos, 0)                \
    X(WIDE, last_file, 400)            \
    X(WIDE, last_folder, 400)          \
    X(WIDE, browsed_folder, 400)       \
    X(WIDE, home_folder, 400)          \
    X(WIDE, nowplaying, 400)           \
    X(WIDE, language, 400)             \
    X(U16, last_hti, 0)                \
    X(I32, file_sort, 0)               \
    X(U8, show_time, 0)                \
    X(I32, list_style, 0)              \
    X(U8, hotkeys, 0)                  \
    X(I32, use_mpglib, 0)              \
    X(U16, filebufsize, 0)             \
    X(U8, wavedevice, 0)               \
    X(U16, wave_flags, 0)              \
    X(U8, outbuflength, 0)             \
    X(U8, gapless, 0)                  \
    X(U16, autospace, 0)               \
    X(U16, overlap2, 0)                \
    X(U16, overlap2buf, 0)             \
    X(U16, volume, 0)                  \
    X(U8, enhance, 0)                  \
    X(U8, stereo_width, 0)             \
    X(U8, amp_max, 0)                  \
    X(U8, amp_up, 0)                   \
    X(U8, amp_dwn, 0)                  \
    X(U8, amp_hpcutoff, 0)             \
    X(U8, amp_threshold, 0)            \
    X(U8, rpt_mode, 0)                 \
    X(U16, intro_scan, 0)              \
    X(I32, intro_sc_pos, 0)            \
    X(I32, fadeout, 0)                 \
    X(I32, fade_decay, 0)              \
    X(I32, skip_times, 0)              \
    X(U16, compare, 0)                 \
    X(I32, logfile, 0)                 \
    X(I32, find_sc_pos, 0)             \
    X(I32, toolbar, 0)                 \
    X(I32, info_row, 0)                \
    X(U16, streambuffer, 0)            \
    X(I32, bass_dlwin, 0)              \
    X(U16, history, 0)                 \
    X(U16, big_t_time, 0)              \
    X(U16, big_embedded, 0)            \
    X(I32, padding, 0)                 \
    X(U16, more_dark, 0)               \
    X(TEXT, big_title, 109)            \
    X(TEXT, big_rssstring, 599)        \
    X(TEXT, big_infoptrn, 59)          \
    X(TEXT, bmpfile, 39)               \
    X(LAUNCH, applaunch1, 400)         \
    X(LAUNCH, applaunch2, 400)         \
    X(LAUNCH, applaunch3, 400)         \
    X(TEXT, autoinsert, 79)            \
    X(TEXT, hotkey_def, 79)            \
    X(TEXT, picture, 79)               \
    X(TEXT, inet, 79)                  \
    X(TEXT, httpserv, 79)              \
    X(TEXT, browse, 199)               \
    X(TEXT, enh2_1, 49)                \
    X(TEXT, enh2_2, 89)                \
    X(TEXT, enh2_lim, 59)              \
    X(I32, eq_enable, 0)               \
    X(EQ3, eq, 0)                      \
    X(EQF3, eq_f, 0)
