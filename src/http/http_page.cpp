#include "http/http_page.h"

#include <algorithm>

#include "base/text.h"
#include "base/utf.h"

namespace {
// Characters kept of each text, so that the fixed parts and the title always fit and the rest
// of the page is left to the list rows.
constexpr size_t kTitleChars = 150;
constexpr size_t kFolderChars = 100;
constexpr size_t kItemChars = 100;  // also the cue sheet's limit for its entry titles

const char kTail[] =
    "<br><br><br><p>Streaming\n"
    "<p class=\"big\"><a class=\"strm\" href=\"Zuvo.m3u\">Playlist</a> /\n"
    "<a class=\"strm\" href=\"Zuvo.mp3\">Direct</a>\n"
    "</body>\n</html>\n";

std::wstring AfterLastSlash(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    const size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
}

std::wstring WithoutExtension(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

void Head(std::string& o, const HttpPageState& s) {
    const std::string back = HttpColour(s.colorBack), text = HttpColour(s.colorText);
    o += "<html><head><title>Zuvo HTTP Control</title>\n"
         "<meta http-equiv=\"Cache-Control\" content=\"no-cache\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<style>\n"
         "body {font-family: Arial, sans-serif; margin: 0; padding: 10px;}\n"
         "p {font-size: 14px;}\np.big {font-size: 22px;}\n"
         "a {font-size: 32px; text-decoration: none;}\n"
         "a.strm {font-size: 22px; color: " + text + ";}\n"
         "td {padding: 0 20px 10px 0;}\n"
         "</style></head>\n";
    o += "<body bgcolor=\"" + back + "\" text=\"" + text + "\" link=\"" + text + "\" vlink=\"" +
         text + "\">\n";
}

void Buttons(std::string& o, const HttpPageState& s) {
    struct Button {
        const char *href, *title, *face;
    };
    static const Button kTransport[] = {
        {"res", "Stop/Resume", "ll &gt;"}, {"prv", "Previous track", "l&lt;"},
        {"nxt", "Next track", "&gt;l"},    {"rew", "Rewind", "&lt;&lt;"},
        {"fwd", "Forward", "&gt;&gt;"},
    };
    o += "<table>\n<tr>";
    for (const Button& b : kTransport)
        o += Format("<td><a href=\"%s\" title=\"%s\">%s</a></td>", b.href, b.title, b.face);
    o += "<td><a href=\"http://" + HttpEscape(Utf8ToWide(s.address), kFolderChars) +
         "\" title=\"Reload page\">&#x21bb;</a></td></tr>\n<tr><td colspan=\"6\">";
    for (int step = 1; step <= 7; ++step)  // U+2581..U+2587, lower one eighth block upwards
        o += Format("<a href=\"v0%d\" title=\"Volume\">&#x%x;</a> ", step, 0x2580 + step);
    o += "<a href=\"vdn\" title=\"Volume\">-</a> <a href=\"vup\" title=\"Volume\">+</a>"
         "</td></tr>\n</table>\n";
}

void CurrentTrack(std::string& o, const HttpPageState& s, const std::string& track) {
    o += "<br><br><br><p>Current track\n<p class=\"big\">";
    if (s.title.empty()) {
        const std::wstring name = WithoutExtension(AfterLastSlash(s.filePath));
        o += s.filePath.empty() ? std::string("None") : HttpEscape(name, kTitleChars);
        o += "\n<p>Pause to stop/resume, Reload to update.";
    } else {
        o += HttpEscape(s.title, kTitleChars);
        o += "\n<p style=\"color:" + track + ";\">" + HttpEscape(s.elapsed, 20) + " / " +
             HttpEscape(s.total, 20);
        if (!s.playing) o += " &nbsp; (stopped)";
    }
    o += "\n";
}

void CurrentList(std::string& o, const HttpPageState& s, const std::string& track,
                 const std::string& text) {
    o += "<br><br><br><p>Current list\n<p class=\"big\">";
    o += s.playlistActive ? std::string("Zuvo Playlist")
                          : HttpEscape(AfterLastSlash(s.folderPath), kFolderChars);
    o += " &nbsp; <a href=\"dprv\">&lt;</a> <a href=\"dnxt\">&gt;</a> "
         "<a href=\"home\">&#x2302;</a>\n";
    const int first = HttpListWindow(s.current, s.current + 1).first;
    const size_t room = kHttpPageMax - (sizeof kTail - 1);
    for (size_t i = 0; i < s.items.size(); ++i) {
        if (!s.items[i].readable) continue;
        const bool current = first + static_cast<int>(i) == s.current;
        const std::string row = "<p style=\"color:" + (current ? track : text) + ";\">" +
                                HttpEscape(s.items[i].text, kItemChars) + "\n";
        if (o.size() + row.size() > room) break;  // the rest would not fit
        o += row;
    }
}
}  // namespace

HttpWindowRange HttpListWindow(int current, int count) {
    HttpWindowRange r;
    r.first = std::max(current - 2, 0);
    r.end = std::max(std::min(r.first + kHttpListWindow, count), r.first);
    return r;
}

std::string HttpColour(uint32_t c) {
    return Format("#%02x%02x%02x", c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

std::string HttpEscape(const std::wstring& text, size_t maxChars) {
    std::string out;
    std::wstring run;
    const size_t n = std::min(text.size(), maxChars);
    for (size_t i = 0; i < n; ++i) {
        const wchar_t ch = text[i];
        const char* entity = ch == L'&'    ? "&amp;"
                             : ch == L'<'  ? "&lt;"
                             : ch == L'>'  ? "&gt;"
                             : ch == L'"'  ? "&quot;"
                                           : nullptr;
        if (!entity) {
            run += ch;
            continue;
        }
        out += WideToUtf8(run);
        run.clear();
        out += entity;
    }
    return out + WideToUtf8(run);
}

std::string HttpBuildPage(const HttpPageState& s) {
    const std::string track = HttpColour(s.colorTrack), text = HttpColour(s.colorText);
    std::string o;
    o.reserve(kHttpPageMax);
    Head(o, s);
    Buttons(o, s);
    CurrentTrack(o, s, track);
    CurrentList(o, s, track, text);
    o += kTail;
    return o;
}
