// Combined Enhancer 1 + equalizer presets: one enh_eq_set string each, fixed-width decimal
// fields read back by character offset, the name from offset 56 on.
#include <algorithm>

#include "base/text.h"
#include "config/settings.h"
#include "dsp/dsp.h"

namespace {

constexpr size_t kWidthOffsets[6] = {0, 4, 8, 12, 16, 20};  // stereo_width .. amp_threshold
constexpr size_t kSwitchesOffset = 24;
constexpr size_t kFreqOffsets[3] = {26, 32, 38};
constexpr size_t kGainOffsets[3] = {44, 48, 52};
constexpr size_t kNameOffset = 56;

uint8_t Byte(int v, int max) {
    return static_cast<uint8_t>(std::clamp(v, 0, max));
}

}  // namespace

EnhPreset enhParsePreset(std::string_view entry) {
    EnhPreset p;
    int* six[6] = {&p.stereo_width, &p.amp_hpcutoff, &p.amp_max,
                   &p.amp_up,       &p.amp_dwn,      &p.amp_threshold};
    for (int i = 0; i < 6; ++i) *six[i] = Enh2Field(entry, kWidthOffsets[i], 3);
    p.switches = Enh2Field(entry, kSwitchesOffset, 1);
    for (int b = 0; b < 3; ++b) {
        p.eq_f[b] = Enh2Field(entry, kFreqOffsets[b], 5);
        p.eq[b] = Enh2Field(entry, kGainOffsets[b], 3);
    }
    p.name = entry.size() > kNameOffset ? std::string(entry.substr(kNameOffset)) : std::string();
    return p;
}

std::string enhFormatPreset(const Settings& s, std::string_view name) {
    const int switches = (s.enhance == 1 ? 1 : 0) + (s.eq_enable ? 2 : 0);
    name = name.substr(0, kEnhPresetNameMax);
    return Format("%.3d,%.3d,%.3d,%.3d,%.3d,%.3d,%.1d,%.5d,%.5d,%.5d,%.3d,%.3d,%.3d,%.*s",
                  s.stereo_width, s.amp_hpcutoff, s.amp_max, s.amp_up, s.amp_dwn, s.amp_threshold,
                  switches, s.eq_f[0], s.eq_f[1], s.eq_f[2], s.eq[0], s.eq[1], s.eq[2],
                  static_cast<int>(name.size()), name.data());
}

bool enhApplyPreset(DspState& d, Settings& s, int slot) {
    if (slot < 0 || slot >= kPresetSlots || s.enh_eq_set[slot].empty()) return false;
    const EnhPreset p = enhParsePreset(s.enh_eq_set[slot]);
    // The fields are bytes with the page's ranges; a hand-edited entry is kept inside them.
    s.stereo_width = Byte(p.stereo_width, 100);
    s.amp_hpcutoff = Byte(p.amp_hpcutoff, 100);
    s.amp_max = Byte(p.amp_max, 100);
    s.amp_up = Byte(p.amp_up, 120);
    s.amp_dwn = Byte(p.amp_dwn, 100);
    s.amp_threshold = Byte(p.amp_threshold, 100);
    s.enhance = (p.switches & 1) ? 1 : 0;
    s.eq_enable = (p.switches & 2) ? 1 : 0;
    s.eq_f = p.eq_f;
    s.eq = p.eq;
    if (s.enhance == 1) dspApplySettings(d, s, 1, false, 0, 0);
    return true;
}

int enhSavePreset(Settings& s, std::string_view name) {
    int slot = kBuiltInEnhPresets;
    while (slot < kPresetSlots && !s.enh_eq_set[slot].empty()) ++slot;
    if (slot > kEnhLastUserSlot) return -1;
    s.enh_eq_set[slot] = enhFormatPreset(s, name);
    return slot;
}

bool enhDeletePreset(Settings& s, int slot) {
    if (slot < kBuiltInEnhPresets || slot >= kPresetSlots || s.enh_eq_set[slot].empty())
        return false;
    for (int i = slot; i + 1 < kPresetSlots; ++i) s.enh_eq_set[i] = std::move(s.enh_eq_set[i + 1]);
    s.enh_eq_set[kPresetSlots - 1].clear();
    return true;
}

EnhSnapshot enhTakeSnapshot(const Settings& s) {
    return {s.enhance, s.stereo_width,  s.amp_hpcutoff, s.amp_max, s.amp_up,
            s.amp_dwn, s.amp_threshold, s.eq_enable,    s.eq,      s.eq_f};
}

void enhRestoreSnapshot(Settings& s, const EnhSnapshot& snap) {
    s.enhance = snap.enhance;
    s.stereo_width = snap.stereo_width;
    s.amp_hpcutoff = snap.amp_hpcutoff;
    s.amp_max = snap.amp_max;
    s.amp_up = snap.amp_up;
    s.amp_dwn = snap.amp_dwn;
    s.amp_threshold = snap.amp_threshold;
    s.eq_enable = snap.eq_enable;
    s.eq = snap.eq;
    s.eq_f = snap.eq_f;
}
