// The settings a fresh start has on a 1920 x 1080 screen at 100 %, for tests that change a few.
#pragma once

#include "config/settings_io.h"

inline Settings DefaultSettings() {
    Settings s;
    SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
    return s;
}
