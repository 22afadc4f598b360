// The caption text of a playing cue list.
#include "library/cue_caption.h"

#include "library/list_text.h"

namespace {
constexpr size_t kCaptionCompared = 100;  // characters of the caption that count as a change
}

std::wstring CueCaptionText(const CueState& cue, const Settings& s, uint32_t elapsedMs,
                            uint32_t lengthMs) {
    const uint32_t t = s.show_time;
    const bool elapsed = t & (ShowTime::Elapsed | ShowTime::ElapsedAndTotal);
    const bool remaining = t & ShowTime::Remaining;
    const uint32_t left = lengthMs > elapsedMs ? lengthMs - elapsedMs : 0;
    std::wstring out;
    if ((t & ShowTime::Elapsed) && remaining)
        out = FormatTrackTime(elapsedMs, s) + L" > " + FormatTrackTime(left, s);
    else if (remaining)
        out = FormatTrackTime(left, s);
    else if (elapsed)
        out = FormatTrackTime(elapsedMs, s);
    if (static_cast<uint32_t>(s.stylez) & Style::NoTrackInTitle) return out;
    if (t & (ShowTime::Elapsed | ShowTime::Remaining | ShowTime::ElapsedAndTotal)) out += L' ';
    return out + CueTitleText(cue);
}

bool CaptionDiffers(const std::wstring& current, const std::wstring& next) {
    return current.compare(0, kCaptionCompared, next, 0, kCaptionCompared) != 0;
}
