// Which control of the settings pages edits which setting, as data: the generic page procedure
// shows and writes every row, docs/settings.md lists them, and the tests check that every key
// of the settings file is edited by a page or named as stored state.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "config/settings.h"

enum class Ctl : uint8_t {
    Bit,         // check box: the bits of mask set (on) or clear
    Switch,      // check box: the field holds max (on) or min (off)
    Number,      // edit box: (field & mask) >> shift, kept within min..max
    Choice,      // drop-down list: entry i stores the i-th number of values in the masked bits
    Radio,       // radio button: on when the masked bits equal min; choosing it stores min
    Text,        // edit box: the whole text, at most max characters
    TextFrom,    // edit box: the text from character shift on; the whole text within max
    CharFlag,    // check box: character shift is values[0] (on) or values[1] (off)
    CharChoice,  // drop-down list: character shift is the i-th letter of values
    Digits,      // edit box: a zero-padded number of mask digits at character shift, min..max
    CharCount,   // edit box: character shift holds 45 + n, "-" for 0; n within min..max
    SkipStep,    // edit box: seconds, stored in byte shift / 8 with the step coding
    Colour,      // button: the colour dialog on a colour reference (field, or Digits at shift)
    Font,        // button: the font dialog on font_face and font_size
    Static,      // text the page fills itself (no key)
    Action,      // button or list the page handles itself (no key, or a key it sets itself)
};

struct ControlSpec {
    int id;
    int page;         // index into kSettingsPages
    const char* key;  // settings key; null for Static and Action without a key
    Ctl kind;
    uint32_t mask;    // Bit, Number, Choice, Radio: the bits; Digits: the digit count
    int shift;        // Number: bit shift; text kinds: character position; SkipStep: bit shift
    int32_t min, max;
    const char* values;  // Choice: numbers separated by ","; CharFlag, CharChoice: letters
    const char* label;   // the control's English text (Choice: entries separated by "|"
                         // after the label and a "|")
    const char* group;   // the group box the control sits in
};

extern const ControlSpec kControlTable[];
extern const int kControlCount;

// Keys that no control of this table edits, with the page that edits them in its own code or
// the reason no page does (stored state).
struct KeyNote {
    const char* key;
    int page;  // -1: no page
    const char* reason;
};
extern const KeyNote kKeyNotes[];
extern const int kKeyNoteCount;

// Every key of the settings file: the keys of the record, then the four list keys.
int SettingsKeyCount();
const char* SettingsKeyName(int index);

// The control of that id, or null.
const ControlSpec* FindControl(int id);

// Access to a field by its key. Numbers: the value as stored (texts give false); writing
// clamps to the field's width. Texts: narrow texts as they are, wide ones as UTF-8.
bool GetSettingNumber(const Settings& s, std::string_view key, int64_t& value);
bool SetSettingNumber(Settings& s, std::string_view key, int64_t value);
bool GetSettingText(const Settings& s, std::string_view key, std::string& value);
// False when the key is not a text or the text is longer than the field accepts.
bool SetSettingText(Settings& s, std::string_view key, const std::string& value);

// The value a check box, radio button, list or number box shows (check boxes 0 or 1; lists the
// entry index, -1 when the stored value is none of them).
int64_t ControlValue(const Settings& s, const ControlSpec& c);
// Writes what the control now shows, within the control's limits. Other bits and characters
// of the field are kept. False when nothing could be written (text too short to hold the
// position, value of a list out of range).
bool SetControlValue(Settings& s, const ControlSpec& c, int64_t value);

// The text an edit box of kind Text or TextFrom shows, and its write-back (false when the
// result would be too long; the field keeps its value then).
std::string ControlText(const Settings& s, const ControlSpec& c);
bool SetControlText(Settings& s, const ControlSpec& c, const std::string& text);

// skip_times step coding: a byte v means v seconds up to 60 and (v - 30) x 2 above; seconds s
// are stored as s up to 60, else 60 + (s - 60) / 2, within 1..limit.
int SkipStepSeconds(int coded);
int SkipStepCode(int seconds, int limit);

// The entries of a Choice / CharChoice label ("Label|one|two" gives "one", "two").
std::string ControlCaption(const ControlSpec& c);
int ControlEntryCount(const ControlSpec& c);
std::string ControlEntry(const ControlSpec& c, int index);

// docs/settings.md's table, made from the control table and the key notes.
std::string SettingsKeyDoc();
