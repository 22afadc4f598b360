// The one record of all user settings, mirrored key for key by the settings file.
// Written and read on the main thread only.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/settings_bits.h"
#include "config/settings_keys.h"

namespace settings_detail {
using I32 = int32_t;
using U16 = uint16_t;
using U8 = uint8_t;
using COLS = std::array<int32_t, 3>;  // one width per list layout
using EQ3 = std::array<int32_t, 3>;
using EQF3 = std::array<int32_t, 3>;
using TEXT = std::string;
using WIDE = std::wstring;
using LAUNCH = std::wstring;
}  // namespace settings_detail

constexpr int kPresetSlots = 30;       // enh_eq_set and enh2_set
constexpr int kBuiltInEnhPresets = 9;  // enh_eq_set slots 0..8, never written to the file
constexpr int kFavouriteSlots = 30;
constexpr int kDirHistorySlots = 10;

struct Settings {
#define ZUVO_FIELD(kind, name, limit) settings_detail::kind name{};
    ZUVO_SETTINGS_KEYS(ZUVO_FIELD)
#undef ZUVO_FIELD

    // Owned string lists, filled from their first slot without gaps; an empty slot ends a list.
    std::array<std::string, kPresetSlots> enh_eq_set;  // Enhancer 1 presets (0..8 built in)
    std::array<std::string, kPresetSlots> enh2_set;    // Enhancer 2 user presets
    std::array<std::wstring, kFavouriteSlots> fav_set;        // "%.10d,%ls"
    std::array<std::wstring, kDirHistorySlots> dir_history;  // "%d;%ls"

    // Set when the file held color_trkbg or a colour theme set it; color_trkbg is written only
    // while this is set.
    bool trackBackgroundSet = false;
    // The utf8 key of the file being read (0 when missing): how path values are decoded.
    int32_t utf8Values = 0;
};

// The program's settings. Defined in settings.cpp; only the glue names it, core functions take
// the record they work on.
extern Settings g_settings;
