#include "ui/title_text.h"

namespace {
std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
}  // namespace

std::wstring TrackTitleText(const TrackTitleSource& s) {
    if (!s.trackLoaded) return {};
    if ((s.tagTitles || s.pluginTrack) && !s.displayName.empty()) return s.displayName;
    return FileName(s.lastFile);
}
