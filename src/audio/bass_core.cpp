#include "audio/bass_core.h"

#include <cmath>
#include <cstring>

#include "base/text.h"
#include "base/utf.h"

namespace {
// Whether ";ext;" occurs in ";" + list (each entry of the list ends with ";").
bool HasEntry(std::string_view list, std::string_view ext) {
    size_t p = 0;
    while (p < list.size()) {
        size_t end = list.find(';', p);
        if (end == std::string_view::npos) end = list.size();
        if (list.substr(p, end - p) == ext) return true;
        p = end + 1;
    }
    return false;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The value after `key` (matched case-insensitively at the start), one blank skipped.
bool ValueAfter(std::string_view text, std::string_view key, std::string_view& value) {
    if (text.size() < key.size() || !StartsWithNoCase(text, key)) return false;
    value = text.substr(key.size());
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return true;
}

// The leading digits of a text as an unsigned number, saturating.
uint64_t LeadingNumber(std::string_view t) {
    uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') break;
        v = v > 1000000000000ull ? v : v * 10 + static_cast<uint64_t>(c - '0');
    }
    return v;
}

std::wstring Limited(std::wstring_view t, size_t n) {
    return std::wstring(t.substr(0, n));
}
}  // namespace

BassExtensionLists BassBaseExtensions(bool useForMp3, unsigned windowsMajor) {
    BassExtensionLists l;
    if (useForMp3) l.bass = "mp3;";
    l.bass += "mp2;";
    l.playable = "mp1;";
    if (windowsMajor > 5) l.playable += "aac;mp4;m4a;m4b;";
    l.playable += "ogg;wav;aif;aiff;mo3;it;xm;s3m;mtm;mod;umx;";
    l.bass += l.playable;
    return l;
}

std::string PluginFormatExtensions(std::string_view patterns) {
    std::string out;
    size_t p = 0;
    while (p < patterns.size()) {
        size_t end = patterns.find(';', p);
        if (end == std::string_view::npos) end = patterns.size();
        // The extension of a pattern is what follows its last ".", as for a file name.
        const std::string_view pattern = patterns.substr(p, end - p);
        const size_t dot = pattern.rfind('.');
        std::string ext;
        if (dot != std::string_view::npos)
            for (size_t i = dot + 1; i < pattern.size() && ext.size() < 5; ++i)
                ext += Lower(pattern[i]);
        // Empty or wildcard entries are no extension a file name could carry.
        if (!ext.empty() && ext.find_first_of("*?") == std::string::npos && !HasEntry(out, ext)) {
            out += ext;
            out += ';';
        }
        p = end + 1;
    }
    return out;
}

bool IsMidiFormat(std::string_view patterns) {
    for (size_t i = 0; i + 4 <= patterns.size(); ++i)
        if (StartsWithNoCase(patterns.substr(i), "midi")) return true;
    return false;
}

void AppendMissingExtensions(std::string& list, std::string_view exts) {
    size_t p = 0;
    while (p < exts.size()) {
        size_t end = exts.find(';', p);
        if (end == std::string_view::npos) end = exts.size();
        const std::string_view ext = exts.substr(p, end - p);
        if (!ext.empty() && !HasEntry(list, ext)) {
            list.append(ext);
            list += ';';
        }
        p = end + 1;
    }
}

std::vector<std::string_view> BassTagTexts(const char* data, size_t size) {
    std::vector<std::string_view> out;
    if (!data) return out;
    size_t p = 0;
    while (p < size) {
        const void* z = std::memchr(data + p, 0, size - p);
        const size_t end = z ? static_cast<size_t>(static_cast<const char*>(z) - data) : size;
        if (end == p) break;  // the empty text ends the list
        out.emplace_back(data + p, end - p);
        p = end + 1;
    }
    return out;
}

void FillFromBassComments(const std::vector<std::string_view>& texts, BassTagFill& out) {
    struct Key {
        const char* prefix;
        std::wstring BassTagFill::*slot;
    };
    static const Key kKeys[] = {{"titl", &BassTagFill::title}, {"arti", &BassTagFill::artist},
                                {"albu", &BassTagFill::album}, {"trac", &BassTagFill::track},
                                {"date", &BassTagFill::year}};
    for (std::string_view t : texts) {
        const size_t eq = t.find('=');
        if (eq == std::string_view::npos || eq < 4) continue;
        for (const Key& k : kKeys) {
            if (!StartsWithNoCase(t, k.prefix)) continue;
            std::wstring& slot = out.*(k.slot);
            if (slot.empty()) slot = Utf8ToWide(t.substr(eq + 1));
            break;
        }
    }
}

void PickWmaTags(const std::vector<std::string_view>& texts, StationInfo& info) {
    for (std::string_view t : texts) {
        std::string_view v;
        if (ValueAfter(t, "CurrentBitrate=", v)) {
            if (info.kbps == 0) info.kbps = static_cast<uint32_t>(LeadingNumber(v) / 1000 & 0xFFFF);
        } else if (ValueAfter(t, "title=", v)) {
            if (info.name.empty()) info.name = Utf8ToWide(v);
        } else if (ValueAfter(t, "copyright=", v)) {
            if (info.url.empty()) info.url = Utf8ToWide(v);
        }
    }
}

void PickIcyHeaders(const std::vector<std::string_view>& texts, const CodePage& cp,
                    StationInfo& info) {
    for (std::string_view t : texts) {
        std::string_view v;
        if (ValueAfter(t, "icy-name:", v)) {
            if (info.name.empty()) info.name = AnsiToWide(cp, v);
        } else if (ValueAfter(t, "icy-url:", v)) {
            if (info.url.empty()) info.url = AnsiToWide(cp, v);
        } else if (ValueAfter(t, "icy-br:", v)) {
            while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
            if (info.kbps == 0) info.kbps = static_cast<uint32_t>(LeadingNumber(v) & 0xFFFF);
        }
    }
}

void ConnectNowPlaying(StationInfo& info, std::wstring& nowPlaying) {
    if (info.name.empty()) {
        info.name = nowPlaying;
        return;
    }
    nowPlaying = Limited(info.name, 336);
    if (!info.url.empty()) nowPlaying += L" - " + Limited(info.url, 96);
}

bool IcyStreamTitle(std::string_view meta, std::wstring& title) {
    constexpr std::string_view kPrefix = "StreamTitle='";
    if (meta.substr(0, kPrefix.size()) != kPrefix) return false;
    std::string_view v = meta.substr(kPrefix.size());
    const size_t end = v.find("';");
    if (end != std::string_view::npos) v = v.substr(0, end);
    if (v.size() > 190) {
        // Cut before a character that would not fit whole.
        size_t n = 190;
        while (n > 0 && (static_cast<unsigned char>(v[n]) & 0xC0) == 0x80) --n;
        v = v.substr(0, n);
    }
    title = Utf8ToWide(v);
    for (wchar_t& c : title)
        if (static_cast<uint32_t>(c) < 0x20 || c == 0x7F) c = L' ';
    return true;
}

bool StationBitrateStep(uint64_t downloadedBytes, uint32_t playedMs, float& shownBps) {
    if (playedMs <= 4000 || playedMs >= 60000) return false;
    const float est = static_cast<float>(static_cast<double>(downloadedBytes) * 8.0 /
                                         static_cast<double>(playedMs / 1000));
    if (playedMs < 8000 ? est == shownBps : !(est < shownBps)) return false;
    shownBps = est;
    return true;
}

uint32_t KeepFirstTwoChannels(uint8_t* buf, uint32_t bytes, uint32_t channels,
                              uint32_t sampleBytes) {
    if (channels <= 2 || sampleBytes == 0) return bytes;
    const uint32_t inFrame = channels * sampleBytes, outFrame = 2 * sampleBytes;
    const uint32_t frames = bytes / inFrame;
    for (uint32_t f = 0; f < frames; ++f)
        std::memmove(buf + f * outFrame, buf + f * inFrame, outFrame);
    return frames * outFrame;
}

uint32_t OutputChannels(uint32_t channels, uint32_t waveFlags) {
    if (channels > 2 && (waveFlags & 0x02u)) return channels;
    return channels < 2 ? channels : 2;
}

const char* BassProxy(uint32_t waveFlags, const std::string& inet) {
    return (waveFlags & 0x20u) && !inet.empty() ? inet.c_str() : nullptr;
}

void FloatToPcm16(const float* src, uint32_t n, int16_t* dst) {
    for (uint32_t i = 0; i < n; ++i) {
        const float v = src[i] * 32768.0f;
        dst[i] = v >= 32767.0f ? int16_t{32767}
                 : v <= -32768.0f ? int16_t{-32768}
                                  : static_cast<int16_t>(std::lrint(v));
    }
}

std::string BassVersionText(uint32_t v) {
    return Format("%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

uint32_t BassLengthMs(double seconds, bool network) {
    double ms = seconds * 1000.0;
    if (!(ms >= 0)) ms = 0;  // a failed length (-1 s or NaN) counts as none
    const uint32_t whole = ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
    if (network && (whole == 0 || whole >= 14400000)) return 1;
    return whole;
}
