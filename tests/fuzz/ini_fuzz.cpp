// Reads arbitrary bytes as a settings file. Besides not crashing, the text written for what was
// read must read back to the same text: saving never changes a setting.
#include <cstdlib>

#include <array>

#include "config/settings_io.h"

namespace {

// The composite values are read back at fixed offsets, so only numbers that fit their field
// width survive a save unchanged.
bool Fits(const std::array<int32_t, 3>& v, int32_t limit) {
    for (int32_t x : v)
        if (x < 0 || x >= limit) return false;
    return true;
}

bool CompositesFit(const Settings& s) {
    return Fits(s.list_name, 10000) && Fits(s.list_size, 10000) && Fits(s.list_ext, 10000) &&
           Fits(s.list_date, 10000) && Fits(s.eq, 1000) && Fits(s.eq_f, 100000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScreenMetrics kScreen{10, 1.0, 1920, 1080};
    Settings s;
    SetDefaults(s, kScreen);
    SettingsFromIni(s, data, size, nullptr);
    std::string first = SettingsToIni(s, std::string_view(reinterpret_cast<const char*>(data), size));
    std::string bare = SettingsToIni(s, "");
    if (bare.size() > kSettingsReadLimit || !CompositesFit(s)) return 0;  // would not be read back whole
    Settings again;
    SetDefaults(again, kScreen);
    SettingsFromIni(again, reinterpret_cast<const uint8_t*>(bare.data()), bare.size(), nullptr);
    if (SettingsToIni(again, "") != bare) std::abort();
    if (first.compare(0, bare.size(), bare) != 0) std::abort();
    return 0;
}
