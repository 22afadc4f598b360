#include "library/list_text.h"

#include "base/text.h"

namespace {
// Whether ";ext;" occurs in ";" + list (each entry of the list ends with ";"). A plain text
// search, as the key may span entries when ext itself holds a ";".
bool ContainsKey(std::string_view list, std::string_view ext) {
    std::string hay, key;
    hay.reserve(list.size() + 1);
    hay.push_back(';');
    hay.append(list);
    key.reserve(ext.size() + 2);
    key.push_back(';');
    key.append(ext);
    key.push_back(';');
    return hay.find(key) != std::string::npos;
}
}  // namespace

void AddPlayableExtensions(std::string& playable, std::string_view list) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string_view::npos) end = list.size();
        std::string ext(list.substr(start, end - start));
        start = end + 1;
        if (ext.empty()) continue;
        if (!ContainsKey(playable, ext)) {
            playable += ext;
            playable += ';';
        }
    }
}

int PlayableKind(std::wstring_view ext, std::string_view playable) {
    if (ext.size() > 9) return 0;
    if (!ext.empty() && ext[0] == L'.') ext.remove_prefix(1);
    std::string key;
    for (wchar_t c : ext) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
        // Extensions of the list are ANSI; any other character cannot match.
        key += static_cast<uint32_t>(c) < 0x80 ? static_cast<char>(c) : '\x01';
    }
    if (ContainsKey(kMpegExtensions, key)) return 1;
    if (ContainsKey(playable, key)) return 2;
    return 0;
}

int PathPlayableKind(std::wstring_view path, std::string_view playable) {
    const size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring_view::npos || path[dot] != L'.') return 0;
    return PlayableKind(path.substr(dot + 1), playable);
}

bool IsUrlExact(std::wstring_view t) {
    return t.substr(0, 5) == L"http:" || t.substr(0, 6) == L"https:" || t.substr(0, 4) == L"mms:";
}

std::wstring SizeText(uint64_t size, const Settings& s) {
    const uint32_t low = static_cast<uint32_t>(size);
    std::string out;
    if (static_cast<uint32_t>(s.list_style) & ListStyle::SizeInKb) {
        std::string digits = Format("%u", low / 1024);
        for (size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
            out += digits[i];
        }
        out += " KB";
    } else {
        out = Format("%.2f MB", low * (1.0 / 1048576.0));
    }
    return std::wstring(out.begin(), out.end());
}

std::wstring DateText(const LocalTime& created, const LocalTime& written, const Settings& s) {
    const LocalTime& t = (static_cast<uint32_t>(s.stylez) & Style::CreatedDate) ? created : written;
    std::string out = Format("%d-%.2d-%.2d %.2d:%.2d", t.year, t.month, t.day, t.hour, t.minute);
    return std::wstring(out.begin(), out.end());
}

int MonthIcon(std::wstring_view date) {
    if (date.size() <= 5) return -1;
    std::string rest;
    for (wchar_t c : date.substr(5))
        rest += static_cast<uint32_t>(c) < 0x80 ? static_cast<char>(c) : ' ';
    int month = ParseLeadingInt(rest) - 1;
    return month >= 0 && month <= 11 ? month : -1;
}

std::wstring FormatTrackTime(uint32_t ms, const Settings& s) {
    if (ms >= 0xFFFF0000u) ms = 0;
    return DurationText(ms, static_cast<uint32_t>(s.stylez) & Style::ColonMinutes);
}
