// The "Quick settings" page's bundles: each entry of the Appearance, Control and Sound and
// output lists sets a group of fields at once when "Apply" is pressed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/settings.h"

// The pending choice: 0 none, 10 + i an Appearance entry, 20 + i a Control entry, 30 + i a
// Sound and output entry.
constexpr int kQuickAppearance = 10, kQuickControl = 20, kQuickSound = 30;
constexpr int kQuickAppearanceCount = 7, kQuickControlCount = 4, kQuickSoundCount = 10;

// The English text of a choice (the list entry and the "Apply: ..." button); empty when none.
const char* QuickChoiceText(int choice);

// What the program must do after the fields have changed.
struct QuickFollowUp {
    bool refreshFace = false;    // colours, theme, toolbar buttons changed
    bool rebuildList = false;    // the focused list is built again
    bool enh2Reset = false;      // Enhancer 2 reconfigured with a full reset
    bool enh1Reset = false;      // Enhancer 1 reset
    bool dsp = false;            // the sound processing takes the new fields
    bool makePortable = false;   // create the marker file (the fields are left alone)
    bool hotkeys = false;        // the global hotkeys are registered again
};

// Applies choice to the record and tells what follows; an unknown choice changes nothing.
QuickFollowUp ApplyQuickChoice(Settings& s, int choice, double dpiFactor);

// The name a language file shows in the "Language" list: the line after "[Zuvo Language File]"
// up to " (" or its end, read from the first 200 bytes of the file (UTF-8). Empty when the
// header or the line is not there.
constexpr size_t kLanguageNameBytes = 200;
std::wstring LanguageListName(const uint8_t* data, size_t len);
