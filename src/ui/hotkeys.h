// Global hotkeys: the presets, the thirteen own definitions of `hotkey_def` (five characters
// each: "0x", two hex digits of the virtual-key code, a modifier character '0' + Ctrl 1, Alt 2,
// Win 4, Shift 8), their texts, and the settings page's edits. Portable: the glue registers what
// HotkeyRegistrations returns.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kHotkeySlots = 13;
constexpr size_t kHotkeyEntryChars = 5;

// The modifier flags RegisterHotKey takes.
namespace HotkeyMod {
constexpr unsigned Alt = 0x1, Control = 0x2, Shift = 0x4, Win = 0x8;
}

// The command each slot (1 to 13) sends.
unsigned HotkeyCommand(int slot);
// The slot's function as the settings page lists it ("Stop/Resume", ...).
const char* HotkeyFunctionName(int slot);

struct HotkeyRegistration {
    int id;              // the slot, 1 to 13
    unsigned modifiers;  // HotkeyMod
    unsigned key;        // virtual-key code
};
// What to register for the `hotkeys` preset (above 6: the own definitions in `def`).
std::vector<HotkeyRegistration> HotkeyRegistrations(int preset, std::string_view def);

// The slot's entry (1 to 13) of a definition string; empty when the string is too short.
std::string_view HotkeyEntry(std::string_view def, int slot);
// "Ctrl + Alt + Win + Shift + " as the modifier bits say, then the key's name; empty when the
// key is not in the key-name table.
std::string HotkeyText(std::string_view entry);

struct KeyName {
    unsigned code;
    std::string name;
};
// The keys the settings page offers, in its order, "No key" first.
const std::vector<KeyName>& HotkeyKeyNames();

// The settings page's "Set": writes key and modifier sum (Ctrl 1, Alt 2, Win 4, Shift 8) into
// the slot; false, nothing written, when another slot holds the same combination. Key 0 is
// "No key". The definition is padded with empty entries to all thirteen slots first.
bool HotkeySetSlot(std::string& def, int slot, unsigned key, unsigned modifierSum);
