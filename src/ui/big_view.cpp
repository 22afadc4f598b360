#include "ui/big_view.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "base/utf.h"

namespace {

constexpr char kDefaultTitle[] =
    "00243,00716,01392,00293,ViVc-1i07,16766387,16777215,09853480,Arial";

int Digits(std::string_view s, size_t pos, size_t n) {
    if (pos + n > s.size()) return 0;
    int v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return v;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

char At(std::string_view s, size_t pos, char fallback) {
    return pos < s.size() ? s[pos] : fallback;
}

uint32_t Colour(std::string_view s, size_t pos) {
    uint32_t v = 0;
    for (size_t i = pos; i < pos + 8 && i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        v = v * 10 + static_cast<uint32_t>(s[i] - '0');
    return v;
}

// The interface text of a language entry, up to a TAB (menu entries carry their keys).
std::wstring Text(const BigItemEnv& env, int index) {
    const wchar_t* t = env.lang ? LangText(*env.lang, index) : L"";
    std::wstring s = t ? t : L"";
    const size_t tab = s.find(L'\t');
    if (tab != std::wstring::npos) s.resize(tab);
    return s;
}

// A language text holding one %ls or %hs or %d, filled in.
std::wstring Fill(std::wstring pattern, const std::wstring& value) {
    for (const wchar_t* ph : {L"%ls", L"%hs", L"%d"}) {
        const size_t at = pattern.find(ph);
        if (at != std::wstring::npos) return pattern.replace(at, wcslen(ph), value);
    }
    return pattern + value;
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

std::wstring Kbps(uint32_t bitRate) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2.0f", bitRate / 1000.0);
    return Widen(buf);
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutExtension(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

// Language entries of the items.
enum : int {
    kPlaylistPrefix = 134,
    kFilePrefix = 135,
    kTrackNo = 136,
    kBitrate = 137,
    kWaveOut = 138,
    kDirectSound = 140,
    kStereo = 141,
    kMono = 144,
    kWebstream = 146,
    kGapless = 147,
    kOverlap = 148,
    kStandard = 149,
    kFastPlay = 150,
    kNext = 151,
    kSecond = 152,
    kNoOutput = 153,
    kOutput = 154,
    kChannel = 155,
    kDry = 156,
    kDecoder = 157,
    kEncoded = 158,
    kAutoSearch = 159,
    kNoRepeat = 160,
    kTrackOf = 164,
    kEnh1 = 65,
    kEqualizer = 66,
    kEnh2 = 67,
    kQuitAtEnd = 73,
    kQuitAfter = 74,
};

std::wstring ItemBody(char letter, const BigTrackFacts& f, const BigItemEnv& env) {
    switch (letter) {
        case 'a': {
            if (f.cueEntry && !f.cueAlbum.empty()) return f.cueAlbum;
            std::wstring album = f.stream ? f.stationName : f.album;
            if (album.empty()) return {};
            if (!f.year.empty()) album += L" (" + f.year + L")";
            return album;
        }
        case 'b': {
            if (f.bitRate == 0) return {};
            std::wstring s = Fill(Text(env, kBitrate), Kbps(f.bitRate));
            if (f.mpegDecoder) s += f.vbr ? L" VBR" : L" CBR";
            return s + L", " + Text(env, kStereo + std::clamp(f.channelMode, 0, 3));
        }
        case 'c':
            return f.stream ? f.stationUrl : f.comment;
        case 'e': {
            std::wstring s = Text(env, kDecoder) + L" ";
            switch (f.decoder) {
                case BigTrackFacts::Decoder::Plugin:
                    s += f.decoderName;
                    break;
                case BigTrackFacts::Decoder::Bass:
                    s += L"BASS " + f.decoderName;
                    break;
                case BigTrackFacts::Decoder::Mpglib:
                    s += L"mpglib";
                    break;
                case BigTrackFacts::Decoder::Acm:
                    s += L"ACM";
                    break;
            }
            s += L", " + Fill(Text(env, kBitrate), Kbps(f.bitRate));
            if (f.mpegDecoder && !f.encoderId.empty())
                s += L", " + Text(env, kEncoded) + L" " + Widen(f.encoderId);
            return s;
        }
        case 'f':
            if (f.playlist)
                return Text(env, kPlaylistPrefix) +
                       (f.playlistFolder.empty() ? std::wstring(L"Zuvo") : f.playlistFolder);
            return f.folderName;
        case 'g': {
            std::wstring s;
            if (f.stream)
                s = Text(env, kWebstream);
            else if (f.gapless && f.overlap)
                s = Text(env, kGapless) + L" " + Text(env, kOverlap);
            else if (f.gapless)
                s = Text(env, kGapless);
            else
                s = Text(env, kStandard);
            if (f.fastPlayLevel > 0)
                s += L" - " + Text(env, kFastPlay) + L" " + std::to_wstring(f.fastPlayLevel);
            return s;
        }
        case 'k':
            return f.path.empty() ? std::wstring() : Text(env, kFilePrefix) + FileName(f.path);
        case 'm':
        case 'n': {
            const std::wstring& name = letter == 'm' ? f.secondName : f.nextName;
            if (name.empty()) return {};
            return Text(env, letter == 'm' ? kSecond : kNext) + L": " + name;
        }
        case 'o': {
            if (!f.playing) return Text(env, kNoOutput);
            char khz[32];
            std::snprintf(khz, sizeof khz, "%2.1f", f.rateHz / 1000.0);
            std::wstring s = Text(env, kOutput) + L" " +
                             Text(env, f.directSound ? kDirectSound : kWaveOut) + L", " +
                             Widen(khz) + L" kHz, " + std::to_wstring(f.channels) +
                             Text(env, kChannel) + L", " + std::to_wstring(f.bits) + L" bit";
            if (f.bits == 16 || f.mode24) {
                std::wstring chain;
                auto add = [&](bool on, int index) {
                    if (on) chain += (chain.empty() ? L"" : L", ") + Text(env, index);
                };
                add(f.enhancer1, kEnh1);
                add(f.equalizer, kEqualizer);
                add(f.enhancer2, kEnh2);
                if (chain.empty()) chain = Text(env, kDry);
                s += L", " + chain;
                if (f.mono) s += L", " + Text(env, kMono);
            }
            return s;
        }
        case 'p':
            return f.folderPath;
        case 'r': {
            if (f.quitAfterTrack) return Text(env, kQuitAfter);
            if (f.quitAtListEnd) return Text(env, kQuitAtEnd);
            if (f.stream) return Text(env, kWebstream);
            std::wstring s;
            switch (f.repeat) {
                case BigTrackFacts::Repeat::Track:
                    s = Text(env, 161);
                    break;
                case BigTrackFacts::Repeat::List:
                    s = Text(env, 162);
                    break;
                case BigTrackFacts::Repeat::StopAfterTrack:
                    s = Text(env, 163);
                    break;
                case BigTrackFacts::Repeat::None:
                    s = Text(env, kNoRepeat);
                    if (f.autoSearchDirs) s += Text(env, kAutoSearch);
                    break;
            }
            if (f.listSize > 0) {
                wchar_t buf[64];
                const std::wstring of = Text(env, kTrackOf);
                std::swprintf(buf, 64,
                              of.find(L"%d") != std::wstring::npos ? of.c_str() : L", %d/%d",
                              f.trackPosition, f.listSize);
                s += buf;
            }
            return s;
        }
        case 't':
            return f.trackNumber.empty() ? std::wstring()
                                         : Fill(Text(env, kTrackNo), f.trackNumber);
        case 'u':
            return f.artist;
        case 'v':
            return f.title;
        default:
            return {};
    }
}

void Cut(std::wstring& s, size_t size) {
    if (size == 0)
        s.clear();
    else if (s.size() > size - 1)
        s.resize(size - 1);
}

}  // namespace

BigTitle ReadBigTitle(std::string_view s) {
    BigTitle t;
    t.left = Digits(s, 0, 5);
    t.top = Digits(s, 6, 5);
    t.width = Digits(s, 12, 5);
    t.height = Digits(s, 18, 5);
    t.meter = At(s, 24, '-');
    t.tagTitles = At(s, 25, '-') == 'i';
    t.meterColour = At(s, 26, '-');
    t.clock = At(s, 27, '-');
    t.layout = At(s, 29, '1');
    if (std::string_view("12345-").find(t.layout) == std::string_view::npos) t.layout = '1';
    t.pattern = At(s, 30, '-');
    t.cycleSeconds = Digits(s, 31, 2);
    t.titleColour = Colour(s, 34);
    t.infoColour = Colour(s, 43);
    t.background = Colour(s, 52);
    if (s.size() > 61) t.font = std::string(s.substr(61));
    return t;
}

void WriteBigTitleRect(std::string& s, int left, int top, int width, int height) {
    if (s.size() < sizeof kDefaultTitle - 1) s += std::string_view(kDefaultTitle).substr(s.size());
    char buf[32];
    auto clamp = [](int v) { return std::clamp(v, 0, 99999); };
    std::snprintf(buf, sizeof buf, "%.5d,%.5d,%.5d,%.5d,", clamp(left), clamp(top), clamp(width),
                  clamp(height));
    s.replace(0, 24, buf);
}

BigPatterns SplitBigPatterns(std::string_view infoPattern) {
    BigPatterns p;
    std::string* parts[] = {&p.main, &p.info1, &p.info2};
    size_t part = 0;
    for (char c : infoPattern) {
        if (c == ';') {
            if (++part == 3) break;
        } else {
            *parts[part] += c;
        }
    }
    return p;
}

void BigCycleStep(BigPatterns& p) {
    auto step = [](uint16_t& i, const std::string& pattern) {
        ++i;
        if (i >= pattern.size()) i = 0;
    };
    step(p.mainIndex, p.main);
    step(p.info1Index, p.info1);
    step(p.info2Index, p.info2);
}

std::wstring BigTrackName(const BigTrackFacts& f, const BigItemEnv& env, size_t size) {
    std::wstring s;
    if (f.cueEntry && !f.cueTitle.empty()) {
        s = f.cueTitle;
    } else if (f.stream) {
        s = f.streamTitle.empty() ? f.path : f.streamTitle;
    } else if (env.tagTitles && !f.title.empty()) {
        if (f.artist.empty()) {
            s = f.title;
        } else {
            std::wstring artist = f.artist;
            const size_t limit = size / 2 > 6 ? size / 2 - 6 : 0;
            if (artist.size() > limit) artist.resize(limit);
            s = artist + L" - " + f.title;
        }
    } else {
        s = WithoutExtension(FileName(f.path));
    }
    Cut(s, size);
    return s;
}

bool BigItemText(std::wstring& out, size_t size, char letter, bool infoLine, const BigTrackFacts& f,
                 const BigItemEnv& env) {
    if (letter == 'd') {
        if (!env.random || env.random(env.ctx) % 100 < 70) return false;
        out = env.longDate ? env.longDate(env.ctx) : std::wstring();
        Cut(out, size);
        return true;
    }
    if (letter == 's') {
        if (!env.rss || !env.nextRssTitle) return false;
        const std::string title = env.nextRssTitle(env.ctx);
        if (title.empty()) return false;
        out = Utf8ToWide(title);
        Cut(out, size);
        return true;
    }
    std::wstring s = letter == 'i' ? BigTrackName(f, env, size) : ItemBody(letter, f, env);
    if (s.empty() && !infoLine) s = BigTrackName(f, env, size);
    Cut(s, size);
    out = std::move(s);
    return true;
}

void BigRefreshTexts(BigTexts& t, const BigPatterns& p, const BigTitle& title,
                     const BigTrackFacts& f, const BigRefreshEnv& env) {
    const bool on = title.patternOn();
    auto letterOf = [on](const std::string& pattern, uint16_t index, char fallback) {
        return on && index < pattern.size() ? pattern[index] : fallback;
    };
    if (title.layout == '4' || title.layout == '5' || title.layout == '-') {
        BigItemText(t.info1, 100, letterOf(p.info1, p.info1Index, f.stream ? 'a' : 'n'), true, f,
                    env.items);
        if (title.layout != '-')
            BigItemText(t.info2, 100, letterOf(p.info2, p.info2Index, f.stream ? 'c' : 'm'), true,
                        f, env.items);
    }
    t.refresh = false;
    if (on && p.mainIndex == 1) {
        if (env.seedRandom) env.seedRandom(env.ctx);
        // The update runs in the background; its end is reported by the RSS reader itself.
        if (title.rss() && env.rssUpdateIfDue) env.rssUpdateIfDue(env.ctx);
    }
    const char letter = letterOf(p.main, p.mainIndex, '-');
    if (title.rss() && std::string_view("abcefgnoprt").find(letter) != std::string_view::npos &&
        env.items.random && env.items.nextRssTitle) {
        const int r = env.items.random(env.items.ctx);
        if (r * 100 > 1671116) {
            const std::string news = env.items.nextRssTitle(env.items.ctx);
            if (!news.empty()) {
                t.main = Utf8ToWide(news);
                Cut(t.main, 300);
                return;
            }
        }
    }
    BigItemText(t.main, 300, letter, false, f, env.items);
}

bool BigIdleDue(BigIdle& idle, int cursorX, int cursorY, uint32_t nowMs, uint16_t bigTTime,
                bool shown, bool embedded) {
    const uint32_t seconds = bigTTime & 0x7FFF;
    if (seconds == 0 || shown || embedded) return false;
    if (cursorX != idle.lastX || cursorY != idle.lastY) {
        idle.lastX = cursorX;
        idle.lastY = cursorY;
        idle.lastActivityMs = nowMs;
        return false;
    }
    return nowMs - idle.lastActivityMs >= seconds * 1000;
}

BigMetrics BigLayoutMetrics(const BigTitle& title, int width, int height, int margin,
                            size_t mainLength) {
    BigMetrics m;
    if (width <= 0 || height <= 0) return m;
    if (title.meter == 'V' || title.meter == 'M')
        m.meterW = width * 10 / height <= 100 ? width / 5 : width / 7;
    m.textX = m.meterW + margin / 2;
    m.textY = margin / 4;
    m.textW = std::max(0, width - m.meterW - margin / 2 - margin);
    m.textH = std::max(1, height - margin / 2);
    const int H = m.textH, bottom = m.textY + m.textH, W = m.textW;
    const int q = W * 10 / H;
    const int L = static_cast<int>(mainLength);
    int h = 0;
    switch (title.layout) {
        case '1':
            h = q < 45 ? H / 3 : H / 2;
            m.mainBlock = q < 45 ? 2 * H / 3 : H / 2;
            if (L > 30) m.mainCharW = std::max(h / 4, 14 * h / L);
            m.infoHeight = h;
            break;
        case '2':
            h = q < 25 ? 3 * bottom / 16 : H / 4;
            m.mainBlock = 3 * H / 4;
            if (L > 60) m.mainCharW = std::max(h / 4, 12 * h / L);
            m.infoHeight = H / 4;
            break;
        case '3':
            h = q < 25 ? 2 * H / 9 : H / 3;
            m.mainBlock = 2 * H / 3;
            if (L > 40) m.mainCharW = std::max(h / 5, 18 * h / L);
            m.infoHeight = H / 3;
            break;
        case '4':
        case '5':
            h = H / 4;
            m.mainBlock = H / 2;
            if (q < 25)
                m.mainCharW = 2 * h / 9;
            else if (L > 40)
                m.mainCharW = std::max(H / 20, 15 * h / L);
            m.infoHeight = H / 6;
            break;
        default:  // '-'
            h = q < 25 ? bottom / 5 : 3 * H / 10;
            m.mainBlock = 3 * H / 5;
            if (L > 40) m.mainCharW = std::max(h / 5, 20 * h / L);
            m.infoHeight = H / 5;
            break;
    }
    m.mainHeight = h;
    m.infoCharW = q < 25 ? W / 30 : 0;
    return m;
}

std::wstring BigSecondBlock(char layout, const std::wstring& info1, const std::wstring& info2,
                            const std::wstring& timeText, const std::wstring& clockText) {
    std::wstring s;
    if (layout == '4') s = info1 + L"\n" + info2 + L"\n";
    s += timeText + clockText;
    if (layout == '-' || layout == '5') s += L"\n" + info1;
    if (layout == '5') s += L"\n" + info2;
    return s;
}

std::wstring BigClockText(int hour, int minute, int batteryPercent) {
    wchar_t buf[48];
    if (batteryPercent >= 0)
        std::swprintf(buf, 48, L"    %.2d:%.2d %d%%", hour, minute, batteryPercent);
    else
        std::swprintf(buf, 48, L"    %.2d:%.2d", hour, minute);
    return buf;
}
