#include "ui/texts.h"

#include <cwctype>

#include "base/text.h"
#include "base/timefmt.h"
#include "base/utf.h"
#include "config/settings_bits.h"

namespace {

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

std::wstring FileNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L'\\');
    return std::wstring(slash == path.npos ? path : path.substr(slash + 1));
}

std::wstring FolderOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == path.npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

const wchar_t* const kTips[kTipCount] = {
    L"Press right mouse button for menus and options.",
    L"Right click shows menus for lists, tree and settings.",
    L"Adjust window look: Settings > Window style",
    L"Gapless with track crossfading: Settings > Audio > Transitions",
    L"Powerful sound, consistent level: Settings > Enhancer 2",
    L"Shuffle multiple folders: Right click on parent > Show subfolders",
    L"Zuvo in the Systray: Settings > System",
    L"Mouse wheel for volume and scrolling: Settings > Control",
    L"Show cover art: Settings > Window style",
    L"Play WAV, OGG and many more formats with BASS (see doc).",
    L"Play from the previous position: Stop/Resume button (or Space)",
    L"Slow loading of many folders? Settings > List and info > No subfolder pre-scan",
    L"See all tips: Right click here...",
    L"Play internet Radio with BASS lib. Save stream: Right click on a tree folder.",
    L"Smarter operation: Look out for the Shortcuts (Tooltips and manual).",
    L"Want it really dark? Settings > Window style > Dark mode",
    L"Right click on button bar shows main menu.",
};

// The digits of a number with "," between each group of three.
std::string Thousands(uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

std::wstring FormatTime(uint32_t value, bool isMs, uint32_t bitRate, bool colon) {
    if (value >= 0xFFFF0000u) value = 0;
    uint64_t ms = value;
    if (!isMs && bitRate > 0) ms = uint64_t{value} * 8000 / bitRate;
    return DurationText(ms, colon);
}

bool ParseTrailingTime(std::wstring_view text, uint32_t& ms) {
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    // Up to three groups of digits from the end, separated by ':' or '\''.
    uint32_t groups[3] = {};
    int count = 0;
    size_t end = text.size();
    while (count < 3) {
        size_t begin = end;
        while (begin > 0 && iswdigit(text[begin - 1])) --begin;
        if (begin == end || end - begin > 4) break;
        uint32_t v = 0;
        for (size_t i = begin; i < end; ++i) v = v * 10 + static_cast<uint32_t>(text[i] - L'0');
        groups[count++] = v;
        if (begin == 0 || (text[begin - 1] != L':' && text[begin - 1] != L'\'')) break;
        end = begin - 1;
    }
    if (count < 2 || groups[0] > 59) return false;
    if (count == 3 && groups[1] > 59) return false;
    const uint32_t hours = count == 3 ? groups[2] : 0;
    ms = ((hours * 60 + groups[1]) * 60 + groups[0]) * 1000;
    return true;
}

std::wstring TitleTimeText(const TitleFacts& f) {
    const bool colon = f.stylez & Style::ColonMinutes;
    const std::wstring elapsed = FormatTime(f.positionMs, true, 0, colon);
    if (f.lengthMs == 0)
        return f.showTime & (ShowTime::Elapsed | ShowTime::Remaining | ShowTime::ElapsedAndTotal)
                   ? elapsed
                   : std::wstring();
    const uint32_t left = f.lengthMs > f.positionMs ? f.lengthMs - f.positionMs : 0;
    const std::wstring remaining = FormatTime(left, true, 0, colon);
    const bool e = f.showTime & ShowTime::Elapsed, r = f.showTime & ShowTime::Remaining;
    const bool swap = f.showTime & ShowTime::Swap;
    if (e && r) return swap ? remaining + L" > " + elapsed : elapsed + L" > " + remaining;
    if (r) return remaining;
    if (e || (f.showTime & ShowTime::ElapsedAndTotal)) return elapsed;
    return {};
}

TitleAction ComposeTitle(const TitleFacts& f, std::wstring& out) {
    if (!f.trackLoaded) return TitleAction::LeaveToList;
    const bool noTrackName = f.stylez & Style::NoTrackInTitle;
    if (noTrackName && !f.cue) return TitleAction::Keep;
    out = TitleTimeText(f);
    const bool blank =
        f.showTime & (ShowTime::Elapsed | ShowTime::Remaining | ShowTime::ElapsedAndTotal);
    if (f.cue) {
        if (!noTrackName && blank) out += L' ';
        if (f.cueTitle.empty())
            out += Widen(Format("Cue %.2d (", f.cueNumber)) + f.cueSheetName + L")";
        else
            out += f.cueTitle + L" (" + f.cueSheetName + L")";
        return TitleAction::Set;
    }
    if (blank) out += L' ';
    if (f.stylez & Style::UpcomingInTitle)
        out += L"Next: " + f.upcoming;
    else
        out += f.name;
    return TitleAction::Set;
}

bool TitleNeedsUpdate(std::wstring_view shown, std::wstring_view next) {
    return shown.substr(0, 100) != next.substr(0, 100);
}

std::wstring TrackFormatText(const TrackFormat& f, bool colon) {
    std::string rate;
    switch (f.rateKind) {
        case RateKind::StreamOrPlugin: rate = Format(" - %03u kbps", f.kbps); break;
        case RateKind::Multichannel: rate = Format(" - %u channels", f.channels); break;
        case RateKind::MpegCbr: rate = Format(" - %u kbps", f.kbps); break;
        case RateKind::MpegVbr: rate = Format(" - VBR %.1f kbps", f.averageBps / 1000.0); break;
        case RateKind::OtherBass: rate = Format(" - %.1f kbps", f.averageBps / 1000.0); break;
    }
    rate += Format(" - %u kHz", f.sampleRate / 1000);
    static const char* const kModes[] = {" - Stereo", " - Joint Stereo", " - Dual Channel",
                                         " - Mono"};
    rate += kModes[static_cast<int>(f.mode)];
    if (f.crc) rate += " - CRC";
    if (f.copyright) rate += " - (c)";
    return L" " + FormatTime(f.lengthMs, true, 0, colon) + Widen(rate) + L" - DEC: " + f.decoder;
}

const wchar_t* TipText(int index) {
    if (index < 0) index = 0;
    if (index >= kTipCount) index = kTipCount - 1;
    return kTips[index];
}

std::wstring TipPaneText(int random) {
    return std::wstring(L" TIP: ") + TipText(random * kTipCount / 32767);
}

std::wstring AllTipsText() {
    std::wstring out;
    for (int i = 0; i < kTipCount; ++i) {
        if (i) out += L"\r\n";
        out += std::to_wstring(i + 1) + L". " + TipText(i);
    }
    return out;
}

std::wstring FlagsText(const FlagFacts& f) {
    std::wstring out;
    if (f.quitAfterTrack)
        out += L" QUIT! ";
    else if (f.quitAfterList)
        out += L" QUIT/list ";
    if (f.waveFlags & WaveFlag::Output24Bit) out += L" 24BIT ";
    if (f.enhance == 2) out += L" ENH2 ";
    if (f.enhance == 1) out += L" ENH1 ";
    if (f.eqEnable) out += L" EQ ";
    if (f.waveFlags & WaveFlag::MonoOutput) out += L" MONO ";
    if (f.muted) out += L" MUTE ";
    if (f.gaplessActive) out += (f.gapless & GaplessFlag::Overlap) ? L" OVLP " : L" GAPL ";
    if (f.fastPlayLevel) out += Widen(Format(" FAST%d", f.fastPlayLevel));
    if (f.autospace & kAutospaceOn) out += L" SPACE ";
    if (f.controlFlags & ControlFlag::AutoSearchDirs) out += L" SRCH ";
    if (f.controlFlags & ControlFlag::ContinueInFocused) out += L" FCS ";
    if (f.controlFlags & ControlFlag::GoHomeBeforeChange) out += L" HOME ";
    if (f.logfile & kLogfileOn) out += L" LOG ";
    if (f.httpOn) out += f.httpRunning ? L" HTTP" : L" HTTP-ERR";
    return out;
}

std::wstring ListSummaryText(const SummaryRow* rows, size_t n, const SummaryFacts& f, int& count) {
    uint64_t kb = 0, ms = 0;
    count = 0;
    const bool sums = f.kind <= 2;
    for (size_t i = 0; i < n && sums; ++i) {
        const SummaryRow& r = rows[i];
        if (r.name.empty() && r.extra.empty()) continue;
        ++count;
        // "12.3 MB" or "1 234 KB", possibly followed by a time.
        std::wstring digits;
        const size_t unit = r.size.find(f.sizeInKb ? L"KB" : L"MB");
        if (unit != std::wstring::npos) {
            for (size_t k = 0; k < unit; ++k)
                if (r.size[k] != L' ') digits += r.size[k];
            const double v = wcstod(digits.c_str(), nullptr);
            if (v > 0) kb += static_cast<uint64_t>(f.sizeInKb ? v : v * 1024);
        }
        uint32_t t = 0;
        if (ParseTrailingTime(f.timeInExtra ? r.extra : r.size, t)) ms += t;
    }
    if (!sums || (f.kind == 1 && count == 0)) count = static_cast<int>(n);
    std::wstring out = L" " + Widen(Thousands(static_cast<uint64_t>(count))) + L" " + f.tracksWord;
    if (kb / 1024 > 0) out += L", " + Widen(Thousands(kb / 1024)) + L" MB";
    if (ms > 0) {
        const uint64_t minutes = ms / 60000;
        out += Widen(Format(", %llu:%.2llu h", static_cast<unsigned long long>(minutes / 60),
                            static_cast<unsigned long long>(minutes % 60)));
    }
    return out;
}

std::wstring NowPlayingText(std::wstring_view setting, const NowPlayingFacts& f) {
    const std::wstring_view tpl = setting.size() > 5 ? setting.substr(5) : std::wstring_view();
    std::wstring out;
    for (size_t i = 0; i < tpl.size() && out.size() < kNowPlayingMax; ++i) {
        if (tpl[i] != L'%' || i + 1 >= tpl.size()) {
            out += tpl[i];
            continue;
        }
        const wchar_t c = tpl[i + 1];
        switch (c) {
            case L'A': out += f.artist; break;
            case L'B': out += f.album; break;
            case L'C': out += f.comment; break;
            case L'F': out += FileNameOf(f.lastFile); break;
            case L'M': out += f.displayName; break;
            case L'N': out += f.track; break;
            case L'P': out += FolderOf(f.lastFile); break;
            case L'R': out += L"\r\n"; break;
            case L'T': out += f.title; break;
            default: out += L'%'; continue;  // the letter follows as it is
        }
        ++i;
    }
    if (out.size() > kNowPlayingMax) out.resize(kNowPlayingMax);
    return out;
}

bool NowPlayingAuto(std::wstring_view setting) {
    return !setting.empty() && setting[0] == L'a';
}

bool IsStreamAddress(std::wstring_view path) {
    return StartsWithNoCase(path, L"http:") || StartsWithNoCase(path, L"https:") ||
           StartsWithNoCase(path, L"mms:");
}

std::string UrlEncodeQuery(std::wstring_view text) {
    const std::string utf8 = WideToUtf8Limited(text, 500);
    std::string out;
    for (unsigned char b : utf8) {
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
            out += static_cast<char>(b);
        else if (b == ' ' || b == '\t' || b == '\r' || b == '\n' || b == '\v' || b == '\f')
            out += '+';
        else
            out += Format("%%%02X", b);
    }
    return out;
}

std::wstring SearchText(std::wstring_view path, std::wstring_view artist, std::wstring_view title) {
    if (!artist.empty()) return std::wstring(artist) + L" " + std::wstring(title);
    std::wstring name = FileNameOf(path);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

std::string BrowserUrl(std::string_view setting, std::wstring_view searchText) {
    const std::string_view tpl = setting.size() > 5 ? setting.substr(5) : std::string_view();
    const size_t at = tpl.find("%M");
    if (at == tpl.npos) return {};
    return std::string(tpl.substr(0, at)) + UrlEncodeQuery(searchText) +
           std::string(tpl.substr(at + 2));
}

LaunchPlan PlanLaunch(std::wstring_view setting, std::wstring_view rowPath) {
    LaunchPlan p;
    if (setting.size() < 2 || rowPath.empty() || IsStreamAddress(rowPath)) return p;
    p.run = true;
    p.program = std::wstring(setting.substr(1));
    if (setting[0] == L'0') p.arguments = L"\"" + std::wstring(rowPath) + L"\"";
    return p;
}

std::wstring OnOwnDrive(std::wstring_view program, std::wstring_view ownPath) {
    if (program.size() < 2 || ownPath.size() < 2 || program[1] != L':' || ownPath[1] != L':')
        return {};
    std::wstring out(program);
    out[0] = ownPath[0];
    return out;
}
