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

// The argument text of the restarted program: " /r" while a track plays (the new instance
// resumes it), " /localini" when the settings live beside the program for good, and always
// " /newinst".
std::wstring RestartArguments(bool playing, bool portable);
