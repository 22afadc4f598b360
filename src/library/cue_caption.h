// The main window's caption while a cue list plays: the time within the followed cue track,
// then its name and the sheet's title (CueTitleText).
#pragma once
#include <cstdint>
#include <string>

#include "library/cue.h"

// show_time picks the time text: elapsed (Elapsed or ElapsedAndTotal), remaining
// (Remaining), both joined by " > " (Elapsed and Remaining), none for 0. A blank follows a
// time text; with stylez NoTrackInTitle the caption is the time text alone. Times in ms
// within the cue track.
std::wstring CueCaptionText(const CueState& cue, const Settings& s, uint32_t elapsedMs,
                            uint32_t lengthMs);

// The caption is set only when its first 100 characters would change.
bool CaptionDiffers(const std::wstring& current, const std::wstring& next);
