#include "ui/title_text.h"

namespace {
std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
}  // namespace

std::wstring TrackDisplayName(const TrackTitleSource& s) {
    if (!s.title.empty()) return s.artist.empty() ? s.title : s.artist + L" - " + s.title;
    return FileName(s.lastFile);
}

std::wstring TrackTitleText(const TrackTitleSource& s) {
    if (!s.trackLoaded) return {};
    if (s.tagTitles || s.pluginTrack) return TrackDisplayName(s);
    return FileName(s.lastFile);
}
