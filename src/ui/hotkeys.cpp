#include "ui/hotkeys.h"

#include "base/command_ids.h"
#include "base/text.h"

namespace {

struct Slot {
    unsigned command;
    const char* name;
};
constexpr Slot kSlots[kHotkeySlots] = {
    {kCmdStopResume, "Stop/Resume"}, {kCmdPrevTrack, "Prev track"},
    {kCmdNextTrack, "Next track"},   {kCmdVolumeDown, "Volume down"},
    {kCmdVolumeUp, "Volume up"},     {kCmdRewind, "Rewind"},
    {kCmdFastForward, "Fast Fwd"},   {kCmdEnhancer1, "Enhancer 1"},
    {kCmdEnhancer2, "Enhancer 2"},   {kCmdMono, "Mono"},
    {kCmdFastPlay1, "Fast play 1"},  {kCmdFastPlay2, "Fast play 2"},
    {kCmdFastPlay3, "Fast play 3"},
};

constexpr unsigned kF8 = 0x77;
constexpr unsigned kMediaKeys[5] = {0xB3, 0xB1, 0xB0, 0xAE, 0xAF};  // play, prev, next, vol -/+

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The key of an entry ("0x" and two hex digits); -1 when it is not written so.
int EntryKey(std::string_view e) {
    if (e.size() < 4 || e[0] != '0' || (e[1] != 'x' && e[1] != 'X')) return -1;
    const int hi = HexDigit(e[2]), lo = HexDigit(e[3]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

unsigned EntryModifierSum(std::string_view e) {
    return e.size() >= 5 ? static_cast<unsigned>(static_cast<unsigned char>(e[4]) - '0') & 0xFF
                         : 0;
}

}  // namespace

unsigned HotkeyCommand(int slot) {
    return slot >= 1 && slot <= kHotkeySlots ? kSlots[slot - 1].command : 0;
}

const char* HotkeyFunctionName(int slot) {
    return slot >= 1 && slot <= kHotkeySlots ? kSlots[slot - 1].name : "";
}

std::string_view HotkeyEntry(std::string_view def, int slot) {
    const size_t at = static_cast<size_t>(slot - 1) * kHotkeyEntryChars;
    if (slot < 1 || slot > kHotkeySlots || at >= def.size()) return {};
    return def.substr(at, kHotkeyEntryChars);
}

std::vector<HotkeyRegistration> HotkeyRegistrations(int preset, std::string_view def) {
    std::vector<HotkeyRegistration> out;
    if (preset <= 0) return out;
    if (preset <= 4) {
        static const unsigned kMods[5] = {0, 0, HotkeyMod::Control, HotkeyMod::Alt, HotkeyMod::Win};
        for (int i = 0; i < 5; ++i) out.push_back({i + 1, kMods[preset], kF8 + static_cast<unsigned>(i)});
        return out;
    }
    if (preset <= 6) {
        for (int i = 0; i < (preset == 5 ? 5 : 3); ++i) out.push_back({i + 1, 0, kMediaKeys[i]});
        return out;
    }
    for (int slot = 1; slot <= kHotkeySlots; ++slot) {
        const std::string_view e = HotkeyEntry(def, slot);
        if (e.size() < 2 || e[0] == '\0' || e[1] != 'x') continue;
        // The hex value of the first four characters, as "%x" reads it.
        const int key = EntryKey(e);
        if (key <= 0) continue;
        const unsigned m = EntryModifierSum(e);
        unsigned mods = 0;
        if (m & 1) mods |= HotkeyMod::Control;
        if (m & 2) mods |= HotkeyMod::Alt;
        if (m & 4) mods |= HotkeyMod::Win;
        if (m & 8) mods |= HotkeyMod::Shift;
        out.push_back({slot, mods, static_cast<unsigned>(key)});
    }
    return out;
}

const std::vector<KeyName>& HotkeyKeyNames() {
    static const std::vector<KeyName> table = [] {
        std::vector<KeyName> t = {{0x00, "No key"},     {0x08, "Backspace"},   {0x09, "Tab"},
                                  {0x0D, "Return"},     {0x13, "Pause"},       {0x1B, "Esc"},
                                  {0x20, "Spacebar"},   {0x21, "Page up"},     {0x22, "Page down"},
                                  {0x23, "End"},        {0x24, "Home"},        {0x2D, "Ins"},
                                  {0x2E, "Del"},        {0x25, "Arrow left"},  {0x26, "Arrow up"},
                                  {0x27, "Arrow right"}, {0x28, "Arrow down"}};
        for (unsigned c = 0x30; c <= 0x39; ++c) t.push_back({c, std::string(1, static_cast<char>(c))});
        for (unsigned c = 0x41; c <= 0x5A; ++c) t.push_back({c, std::string(1, static_cast<char>(c))});
        t.insert(t.end(), {{0xBB, "+"}, {0xBC, ","}, {0xBD, "-"}, {0xBE, "."}});
        for (unsigned c = 0xDB; c <= 0xDF; ++c) t.push_back({c, Format("Misc%.2u", c - 0xDA)});
        for (unsigned c = 0x60; c <= 0x69; ++c) t.push_back({c, Format("Numpad %u", c - 0x60)});
        t.insert(t.end(), {{0x6A, "Numpad *"}, {0x6B, "Numpad +"}, {0x6D, "Numpad -"},
                           {0x6E, "Numpad ,"}, {0x6F, "Numpad /"}});
        for (unsigned c = 0x70; c <= 0x7B; ++c) t.push_back({c, Format("F%u", c - 0x6F)});
        t.insert(t.end(), {{0xAE, "Volume Down"}, {0xAF, "Volume Up"}, {0xB0, "Next Track"},
                           {0xB1, "Prev Track"}, {0xB3, "Play/Pause"}});
        return t;
    }();
    return table;
}

std::string HotkeyText(std::string_view entry) {
    const int key = EntryKey(entry);
    if (key < 0) return {};
    const KeyName* found = nullptr;
    for (const KeyName& k : HotkeyKeyNames())
        if (k.code == static_cast<unsigned>(key)) found = &k;
    if (!found) return {};
    const unsigned m = EntryModifierSum(entry);
    std::string out;
    if (m & 1) out += "Ctrl + ";
    if (m & 2) out += "Alt + ";
    if (m & 4) out += "Win + ";
    if (m & 8) out += "Shift + ";
    return out + found->name.substr(0, 20);
}

bool HotkeySetSlot(std::string& def, int slot, unsigned key, unsigned modifierSum) {
    if (slot < 1 || slot > kHotkeySlots || key > 0xFF || modifierSum > 15) return false;
    while (def.size() < kHotkeySlots * kHotkeyEntryChars) def += "0x000";
    const std::string entry = Format("0x%.2X%c", key, static_cast<char>('0' + (key ? modifierSum : 0)));
    if (key != 0)
        for (int other = 1; other <= kHotkeySlots; ++other) {
            if (other == slot) continue;
            const std::string_view e = HotkeyEntry(def, other);
            if (EntryKey(e) == static_cast<int>(key) && (EntryModifierSum(e) & 15) == modifierSum)
                return false;
        }
    def.replace(static_cast<size_t>(slot - 1) * kHotkeyEntryChars, kHotkeyEntryChars, entry);
    return true;
}
