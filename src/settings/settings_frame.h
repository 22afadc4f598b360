// The portable decisions of the settings dialog's frame: its colours and the restart's
// command line.
#pragma once
#include <cstdint>
#include <string>

#include "config/settings.h"

// Dark mode reaches the dialogs only with "Dark mode (if possible)" and "Some more dark mode in
// dialogs" both on.
bool SettingsDialogDark(const Settings& s);

// The frame's background colour (COLORREF): white; dark dialogs 0xD0D0D0 for more_dark 1 and
// 2 and 0x404040 from 3 on. The text colour goes with it.
uint32_t SettingsBackColor(const Settings& s);
uint32_t SettingsTextColor(const Settings& s);
// The tree's text colour in the dark dialogs from more_dark 3 on; otherwise the tree keeps its
// own and the function returns false.
bool SettingsTreeTextColor(const Settings& s, uint32_t& color);

// The colours of the pages' fields (edit boxes, number boxes, drop-down lists and their lists,
// list views) in the dark dialogs whose pages are dark (more_dark 3 on): the theme's list
// colours when they are dark and readable, else a dark grey under the light page text. False:
// the page is light and the fields keep the system's colours.
bool SettingsFieldColors(const Settings& s, uint32_t& back, uint32_t& text);

// The relative luminance of a COLORREF (0 black .. 1 white) and the contrast ratio of two
// (1 .. 21), by the usual sRGB weights.
double ColorLuminance(uint32_t color);
double ColorContrast(uint32_t a, uint32_t b);

// The argument text of the restarted program: " /r" while a track plays (the new instance
// resumes it), " /localini" when the settings live beside the program for good, and always
// " /newinst".
std::wstring RestartArguments(bool playing, bool portable);
