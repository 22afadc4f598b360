// The file finder's filter, date arithmetic and walk.
#include "tools/finder.h"

#include <cwctype>

#include "library/list_text.h"
#include "tools/file_date.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint32_t kQuickDayUnits = 201;   // high-part units per day of the quick buttons
constexpr size_t kTitleShown = 45;

bool DaysInMonthOk(int y, int m, int d) {
    return m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool ReadDigits(std::wstring_view text, size_t at, size_t n, int& out) {
    if (text.size() < at + n) return false;
    out = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        out = out * 10 + (text[i] - L'0');
    }
    return true;
}

bool ReadKb(std::wstring_view text, uint32_t& out) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (v > 0xFFFFFFFFu) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

std::wstring Lower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

std::wstring ExtensionOf(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}

struct Walker {
    const FinderQuery& q;
    const FinderFs& fs;
    const FinderSink& sink;
    const std::atomic<bool>& stop;
    std::wstring nameLower;
    uint64_t found = 0;
    uint32_t foldersSinceReport = 0;
    std::vector<FinderEntry> entries;

    void Folder(const std::wstring& folder) {
        if (stop.load(std::memory_order_relaxed)) return;
        std::vector<std::wstring> subfolders;
        entries.clear();
        fs.list(fs.ctx, folder + L"*", entries);
        for (const FinderEntry& e : entries) {
            if (!(e.attributes & kFinderFolder)) continue;
            if (e.attributes & (kFinderHidden | kFinderSystem)) continue;
            if (e.name == L"." || e.name == L"..") continue;
            subfolders.push_back(e.name);
        }
        for (const std::wstring& sub : subfolders) Folder(folder + sub + L"\\");
        if (stop.load(std::memory_order_relaxed)) return;

        entries.clear();
        fs.list(fs.ctx, FinderPattern(folder, q.name), entries);
        const std::wstring folderLower = Lower(folder);
        const std::wstring shown = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
        for (const FinderEntry& e : entries) {
            if (stop.load(std::memory_order_relaxed)) return;
            if (!FinderTakes(q, folderLower, e)) continue;
            if (sink.found) sink.found(sink.ctx, e, shown);
            ++found;
        }
        if (++foldersSinceReport > 10) {
            foldersSinceReport = 0;
            if (sink.progress) sink.progress(sink.ctx, found);
        }
    }
};

}  // namespace

const FinderSizeButton kFinderSizeButtons[4] = {
    {L"<1M", 0, 1024}, {L"<10M", 0, 10240}, {L">10M", 10240, 9999999}, {L">100M", 102400, 9999999}};
const int kFinderDayButtons[5] = {7, 30, 60, 90, 365};

uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second) {
    const int64_t days = DaysFrom1601(year, month, day);
    const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
    return seconds < 0 ? 0 : static_cast<uint64_t>(seconds) * kTicksPerSecond;
}

std::wstring FinderDateText(uint64_t fileTime) {
    int y, m, d;
    DateOfDays(static_cast<int64_t>(fileTime / kTicksPerSecond / 86400), y, m, d);
    wchar_t buf[16];
    swprintf(buf, 16, L"%04d-%02d-%02d", y, m, d);
    return buf;
}

bool FinderParseDate(std::wstring_view text, int& year, int& month, int& day) {
    if (!ReadDigits(text, 0, 4, year) || !ReadDigits(text, 5, 2, month) ||
        !ReadDigits(text, 8, 2, day))
        return false;
    return year >= 1601 && DaysInMonthOk(year, month, day);
}

std::wstring FinderQuickFrom(uint64_t nowFileTime, int days) {
    const uint64_t step = (uint64_t{kQuickDayUnits} * static_cast<uint64_t>(days)) << 32;
    return FinderDateText(nowFileTime > step ? nowFileTime - step : 0);
}

bool FinderBuildFilter(bool dates, std::wstring_view from, std::wstring_view to, bool sizes,
                       std::wstring_view lowKb, std::wstring_view highKb, FinderFilter& out) {
    out = FinderFilter{};
    if (dates) {
        int y, m, d;
        if (!FinderParseDate(from, y, m, d)) return false;
        out.dateLow = static_cast<uint32_t>(FileTimeOf(y, m, d, 0, 0, 0) >> 32);
        if (!FinderParseDate(to, y, m, d)) return false;
        out.dateHigh = static_cast<uint32_t>(FileTimeOf(y, m, d, 23, 59, 59) >> 32);
    }
    if (sizes) {
        if (!ReadKb(lowKb, out.sizeLowKb) || !ReadKb(highKb, out.sizeHighKb)) return false;
        if (out.sizeLowKb == 0) out.sizeLowKb = 1;
    }
    return true;
}

std::wstring FinderPattern(const std::wstring& folder, const std::wstring& name) {
    if (name.empty() || Lower(folder).find(Lower(name)) != std::wstring::npos) return folder + L"*";
    return folder + L"*" + name + L"*";
}

bool FinderTakes(const FinderQuery& q, const std::wstring& folderLower, const FinderEntry& e) {
    if (e.attributes & (kFinderHidden | kFinderSystem | kFinderFolder)) return false;
    if (PlayableKind(ExtensionOf(e.name), q.playable) == 0) return false;
    const FinderFilter& f = q.filter;
    if (f.dateLow != 0 || f.dateHigh != 0) {
        const uint32_t high = static_cast<uint32_t>(e.time >> 32);
        if (high < f.dateLow || high > f.dateHigh) return false;
    }
    if (f.sizeLowKb != 0) {
        if (e.size < uint64_t{f.sizeLowKb} * 1024 || e.size > uint64_t{f.sizeHighKb} * 1024)
            return false;
    }
    if (!q.ignoreLower.empty()) {
        if (Lower(e.name).find(q.ignoreLower) != std::wstring::npos) return false;
        if (folderLower.find(q.ignoreLower) != std::wstring::npos) return false;
    }
    return true;
}

std::wstring FinderTitle(const std::wstring& root) {
    if (root.size() <= kTitleShown) return root;
    return L"..." + root.substr(root.size() - kTitleShown);
}

uint64_t FinderWalk(const FinderQuery& q, const FinderFs& fs, const FinderSink& sink,
                    const std::atomic<bool>& stop) {
    Walker w{q, fs, sink, stop, Lower(q.name), 0, 0, {}};
    w.Folder(q.root);
    return w.found;
}

bool FinderPositionFrom(int32_t saved, int& x, int& y) {
    if (saved == 0) return false;
    const uint32_t v = static_cast<uint32_t>(saved);
    x = static_cast<int>(v >> 16) - 5000;
    y = static_cast<int>(v & 0xFFFF) - 5000;
    return true;
}

bool FinderPositionTo(int x, int y, int32_t& saved) {
    if (x + 5000 <= 0 || y + 5000 <= 0 || x + 5000 > 0x7FFF || y + 5000 > 0xFFFF) return false;
    saved = static_cast<int32_t>((static_cast<uint32_t>(x + 5000) << 16) | static_cast<uint32_t>(y + 5000));
    return true;
}
