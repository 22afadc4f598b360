// Enhancer 2 presets: the nine built-ins and the user's own in the enh2_set slots, stored as
// "enh2_1##enh2_2##enh2_lim##name".
#include <cstdio>

#include "config/settings.h"
#include "dsp/enh2.h"

namespace {

const Enh2Preset kBuiltIn[kEnh2BuiltInPresets] = {
    {"3 band enhance", "m---f00300f04000f00000------------l020s020",
     "----m044u051d088t046m045u051d085t051m045u047d085t020m022u058d085t009----------------",
     "l-s---th240re040ce300kn055ra201at025ho000"},
    {"3 band soft", "m---f00300f04000f00000------------l020s020",
     "----m045u037d088t046m045u037d085t051m045u037d085t017m022u058d085t009----------------",
     "l-----th270re080ce300kn030ra201at025ho000"},
    {"4 band enhance", "m---f00250f02000f05000------------l020s020",
     "----m056u055d090t049m056u055d085t051m045u051d085t026m033u049d085t020----------------",
     "l-s---th255re040ce300kn040ra201at025ho000"},
    {"4 band intense 1", "ma--f00250f02200f05000------------l014s025",
     "----m045u063d090t046m045u059d085t053m045u050d085t042m044u045d085t030----------------",
     "l-h---th260re046ce300kn040ra201at025ho000"},
    {"4 band intense 2", "ma--f00130f01400f04000------------l020s025",
     "----m028u054d087t057m022u057d081t061m017u052d077t049m017u045d074t037----------------",
     "l-s---th270re050ce300kn025ra201at030ho000"},
    {"4 band deep bass", "m---f00120f00500f04500------------l016s020",
     "----m056u060d088t051m056u054d088t053m055u046d088t043m044u041d088t016----------------",
     "l-s---th255re046ce300kn050ra201at020ho000"},
    {"2 band", "m---f00400f00000f00000------------l020s020",
     "----m045u058d088t061m055u058d088t047m067u058d090t039m067u057d088t020----------------",
     "l-----th260re060ce300kn050ra201at030ho000"},
    {"Treble boost", "m---f03000f05000f00000------------l020s020",
     "----m033u033d090t020m044u033d090t051m055u033d090t072m078u054d090t073----------------",
     "------th255re024ce300kn035ra201at030ho000"},
    {"Bass + Treble", "m---f00250f04500f00000------------l020s020",
     "----m045u053d090t061m045u053d090t017m045u053d090t030m045u051d090t026----------------",
     "--s---th255re024ce300kn035ra201at030ho000"},
};

constexpr size_t kEntryBytes = 300;  // one stored user preset, with its terminator
constexpr const char* kIndent = "   ";

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kPresetSlots;
}

}  // namespace

const Enh2Preset& enh2BuiltInPreset(int index) {
    return kBuiltIn[index];
}

bool enh2ApplyBuiltIn(Settings& s, int index) {
    if (index < 0 || index >= kEnh2BuiltInPresets) return false;
    s.enh2_1 = kBuiltIn[index].enh2_1;
    s.enh2_2 = kBuiltIn[index].enh2_2;
    s.enh2_lim = kBuiltIn[index].enh2_lim;
    return true;
}

Enh2Snapshot enh2TakeSnapshot(const Settings& s) {
    return {s.enh2_1, s.enh2_2, s.enh2_lim};
}

void enh2RestoreSnapshot(Settings& s, const Enh2Snapshot& snap) {
    s.enh2_1 = snap.enh2_1;
    s.enh2_2 = snap.enh2_2;
    s.enh2_lim = snap.enh2_lim;
}

int enh2SaveUserPreset(Settings& s, std::string_view name) {
    int slot = 0;
    while (slot < kPresetSlots && !s.enh2_set[slot].empty()) ++slot;
    if (slot > kEnh2LastUserSlot) return -1;
    if (name.size() > static_cast<size_t>(kEnh2NameMax)) name = name.substr(0, kEnh2NameMax);
    char entry[kEntryBytes];
    std::snprintf(entry, sizeof entry, "%s##%s##%s##%.*s", s.enh2_1.c_str(), s.enh2_2.c_str(),
                  s.enh2_lim.c_str(), static_cast<int>(name.size()), name.data());
    s.enh2_set[slot] = entry;
    return slot;
}

bool enh2ApplyUserPreset(Settings& s, int slot) {
    if (!ValidSlot(slot) || s.enh2_set[slot].empty()) return false;
    std::string_view rest = s.enh2_set[slot];
    std::string* targets[3] = {&s.enh2_1, &s.enh2_2, &s.enh2_lim};
    for (std::string* t : targets) {
        const size_t cut = rest.find("##");
        *t = std::string(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 2);
    }
    return true;
}

bool enh2DeleteUserPreset(Settings& s, int slot) {
    if (!ValidSlot(slot) || s.enh2_set[slot].empty()) return false;
    for (int i = slot; i + 1 < kPresetSlots; ++i) s.enh2_set[i] = std::move(s.enh2_set[i + 1]);
    s.enh2_set[kPresetSlots - 1].clear();
    return true;
}

std::string_view enh2UserPresetName(std::string_view entry) {
    const size_t hash = entry.rfind('#');
    return hash == std::string_view::npos ? entry : entry.substr(hash + 1);
}

std::vector<Enh2ListRow> enh2PresetList(const Settings& s) {
    std::vector<Enh2ListRow> rows;
    rows.push_back({Enh2ListRow::Heading, -1, "Presets:"});
    rows.push_back({Enh2ListRow::Restore, -1, std::string(kIndent) + "Restore previous"});
    for (int i = 0; i < kEnh2BuiltInPresets; ++i)
        rows.push_back({Enh2ListRow::BuiltIn, i, std::string(kIndent) + kBuiltIn[i].name});
    for (int slot = 0; slot < kPresetSlots && !s.enh2_set[slot].empty(); ++slot) {
        if (slot == 0) rows.push_back({Enh2ListRow::Heading, -1, "User settings:"});
        rows.push_back({Enh2ListRow::User, slot,
                        std::string(kIndent) + std::string(enh2UserPresetName(s.enh2_set[slot]))});
    }
    return rows;
}
