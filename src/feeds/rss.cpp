#include "feeds/rss.h"

#include <cstdio>

#include "base/utf.h"

namespace {

// The number in the fixed-width field at [at, at + width): leading digits only, 0 when there are
// none or the string ends before the field.
uint32_t FieldNumber(std::string_view s, size_t at, size_t width) {
    uint32_t n = 0;
    for (size_t i = at; i < at + width && i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') break;
        n = n * 10 + static_cast<uint32_t>(s[i] - '0');
    }
    return n;
}

bool StartsAt(std::string_view s, size_t at, std::string_view what) {
    return s.compare(at, what.size(), what) == 0;
}

// The element's bytes, converted to UTF-8 when the feed is not, with its entities decoded.
std::string ElementText(std::string_view element, bool utf8, const CodePage& cp) {
    std::string text = utf8 ? std::string(element) : WideToUtf8(AnsiToWide(cp, element));
    RssDecodeEntities(text);
    return text;
}

// The text of an element whose opening tag ends at `open` (the '>'): up to the next "</",
// without a CDATA marker (its nine characters are skipped and the three before the "</" dropped).
std::string_view ElementBody(std::string_view file, size_t open) {
    const size_t from = open + 1;
    size_t end = file.find("</", from);
    if (end == std::string_view::npos) end = file.size();
    std::string_view text = file.substr(from, end - from);
    const size_t cdata = text.find("<![CDATA[");
    if (cdata != std::string_view::npos) {
        text.remove_prefix(cdata + 9);
        text.remove_suffix(text.size() >= 3 ? 3 : text.size());
    }
    return text;
}

// At most maxBytes of UTF-8 text, never ending inside a character.
std::string_view CutUtf8(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

// UTF-8 text as RTF: control characters of RTF escaped, everything above ASCII as \uN? with
// the signed UTF-16 unit.
void AppendRtfText(std::string& out, std::string_view utf8) {
    auto unit = [&out](uint32_t u) {
        out += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(u))) + "?";
    };
    for (wchar_t wc : Utf8ToWide(utf8)) {
        const auto c = static_cast<uint32_t>(wc);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += ' ';
        } else if (c < 0x20) {
            // other control characters are left out
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
}

}  // namespace

const char kRssFileHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<rss version=\"2.0\">\r\n";
const char kRssFileTail[] = "</rss>\r\n";

RssPlan ReadRssPlan(std::string_view s) {
    RssPlan p;
    p.intervalMinutes = static_cast<int>(FieldNumber(s, 0, 3));
    p.planned = FieldNumber(s, 4, 10);
    p.maxAgeHours = static_cast<int>(FieldNumber(s, 15, 3));
    if (s.size() > 19) {
        std::string_view urls = s.substr(19);
        size_t at = 0;
        while (at <= urls.size()) {
            size_t blank = urls.find(' ', at);
            if (blank == std::string_view::npos) blank = urls.size();
            if (blank > at) p.urls.emplace_back(urls.substr(at, blank - at));
            at = blank + 1;
        }
    }
    return p;
}

void WriteRssPlanned(std::string& s, uint32_t planned) {
    char field[16];
    std::snprintf(field, sizeof field, "%.10u", planned);
    if (s.size() < 19) {
        const RssPlan p = ReadRssPlan(s);
        char head[40];
        std::snprintf(head, sizeof head, "%.3d,%s,%.3d,", p.intervalMinutes % 1000, field,
                      p.maxAgeHours % 1000);
        s = head;
        return;
    }
    s.replace(4, 10, field, 10);
}

uint32_t RssStamp(const LocalTime& t) {
    return static_cast<uint32_t>(t.month) * 65536u + static_cast<uint32_t>(t.year) * 1048576u +
           static_cast<uint32_t>(t.day * 1440 + t.hour * 60 + t.minute);
}

int RssStampHour(uint32_t stamp) {
    return static_cast<int>((stamp & 0xFFFF) % 1440) / 60;
}

int RssStampMinute(uint32_t stamp) {
    return static_cast<int>((stamp & 0xFFFF) % 1440) % 60;
}

std::wstring RssUpdateNowText(std::wstring_view label, uint32_t planned) {
    wchar_t time[16];
    std::swprintf(time, 16, L" %.2d:%.2d)", RssStampHour(planned), RssStampMinute(planned));
    return std::wstring(label) + time;
}

int RssItemsPerFeed(std::string_view bigTitle) {
    if (bigTitle.size() <= 28 || bigTitle[28] == '-') return 999;
    return static_cast<unsigned char>(bigTitle[28]) - 45;
}

void RssDecodeEntities(std::string& text) {
    static const struct {
        std::string_view entity;
        char c;
    } kEntities[] = {{"&apos;", '\''}, {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        bool decoded = false;
        if (text[i] == '&') {
            for (const auto& e : kEntities) {
                if (StartsAt(text, i, e.entity)) {
                    out += e.c;
                    i += e.entity.size() - 1;
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded) out += text[i];
    }
    text.swap(out);
}

bool RssSourceIsUtf8(std::string_view source) {
    const size_t decl = source.find("<?xml");
    if (decl == std::string_view::npos) return true;
    size_t end = source.find("?>", decl);
    if (end == std::string_view::npos) end = source.size();
    const std::string_view d = source.substr(decl, end - decl);
    size_t at = d.find("encoding");
    if (at == std::string_view::npos) return true;
    at = d.find_first_of("\"'", at);
    if (at == std::string_view::npos) return true;
    const std::string_view value = d.substr(at + 1);
    return value.size() >= 5 && value[3] == '-' && value[4] == '8';
}

std::string RssChannelBlock(std::string_view source, int itemLimit, const CodePage& cp) {
    source = source.substr(0, source.find('\0'));
    const bool utf8 = RssSourceIsUtf8(source);
    std::string out = "<channel>\r\n";
    std::string link;  // the last link element seen, as it goes into the file
    int items = 0;
    size_t pos = 0;
    while (items < itemLimit) {
        const size_t lt = source.find('<', pos);
        if (lt == std::string_view::npos) break;
        if (StartsAt(source, lt, "<title")) {
            const size_t close = source.find("</title", lt);
            const size_t gt = close == std::string_view::npos ? close : source.find('>', close);
            if (gt == std::string_view::npos) break;  // a feed without "</title" ends here
            const std::string_view element = source.substr(lt, gt + 1 - lt).substr(0, 500);
            out += "<item>\r\n" + ElementText(element, utf8, cp) + "\r\n";
            link.clear();
            pos = gt + 1;
        } else if (StartsAt(source, lt, "<description")) {
            const size_t close = source.find("</description", lt);
            const size_t gt = close == std::string_view::npos ? close : source.find('>', close);
            if (gt == std::string_view::npos) {
                pos = lt + 1;
                continue;
            }
            const std::string_view element = source.substr(lt, gt + 1 - lt);
            if (element.size() < 3000) out += ElementText(element, utf8, cp) + "\r\n";
            if (!link.empty()) out += link + "\r\n";
            out += "</item>\r\n";
            ++items;
            pos = gt + 1;
        } else if (StartsAt(source, lt, "<link")) {
            const size_t close = source.find("</link", lt);
            const size_t gt = close == std::string_view::npos ? close : source.find('>', close);
            if (gt == std::string_view::npos) {
                pos = lt + 1;
                continue;
            }
            link = ElementText(source.substr(lt, gt + 1 - lt).substr(0, 499), utf8, cp);
            pos = gt + 1;
        } else {
            pos = lt + 1;
        }
    }
    return out + "</channel>\r\n";
}

std::string RssFailedChannel(std::string_view url) {
    return "<channel>\r\n<title>RSS download failed</title>\r\n<description>" + std::string(url) +
           "</description>\r\n</channel>\r\n";
}

void RssNextTitle(RssTitleState& state, std::string_view fileBytes) {
    state.title.clear();
    fileBytes = fileBytes.substr(0, kRssTitleFileLimit);
    size_t at = std::string_view::npos;
    for (uint32_t k = 0, from = 0; k <= state.index; ++k) {
        at = fileBytes.find("<title", from);
        if (at == std::string_view::npos) break;
        from = static_cast<uint32_t>(at + 6);
    }
    const size_t gt = at == std::string_view::npos ? at : fileBytes.find('>', at);
    if (gt == std::string_view::npos) {
        state.index = 0;
        return;
    }
    state.title = std::string(CutUtf8(ElementBody(fileBytes, gt), kRssTitleMaxBytes));
    ++state.index;
}

bool RssFileTooOld(const RssPlan& plan, const LocalTime& written, const LocalTime& now) {
    if (plan.maxAgeHours <= 0) return false;
    return RssStamp(now) > RssStamp(written) + static_cast<uint32_t>(plan.maxAgeHours) * 60u;
}

std::string RssRichText(std::string_view fileBytes, const LocalTime& written, bool dark) {
    std::string out = "{\\rtf{\\fonttbl{\\f0\\fswiss Arial;}}";
    out += dark ? "{\\colortbl ;\\red224\\green224\\blue224;}\\fs22\\cf1\r\n" : "\\fs22\r\n";
    char date[96];
    std::snprintf(date, sizeof date, "\\par\\b %.4d-%.2d-%.2d %.2d:%.2d\\b0\\par\r\n", written.year,
                  written.month, written.day, written.hour, written.minute);
    out += date;
    for (size_t lt = fileBytes.find('<'); lt != std::string_view::npos;
         lt = fileBytes.find('<', lt + 1)) {
        if (StartsAt(fileBytes, lt, "<title>")) {
            out += "{\\par\\b\\fs26 ";
            AppendRtfText(out, ElementBody(fileBytes, lt + 6));
            out += "}\\b0\\par\r\n";
        } else if (StartsAt(fileBytes, lt, "<description>")) {
            const std::string_view text = ElementBody(fileBytes, lt + 12);
            if (!text.empty()) {
                AppendRtfText(out, text);
                out += "\\par\r\n";
            }
        } else if (StartsAt(fileBytes, lt, "<link>")) {
            out += "{\\fs18 ";
            AppendRtfText(out, ElementBody(fileBytes, lt + 5));
            out += "}\\par\r\n";
        } else if (StartsAt(fileBytes, lt, "</channel>")) {
            out += "\\par___________________________\\par\\par\r\n";
        }
    }
    return out + "}";
}

std::string RssBuildFile(const RssPlan& plan, int itemLimit, RssFetch fetch, void* fetchCtx,
                         const CodePage& cp) {
    std::string file = kRssFileHead;
    for (const std::string& url : plan.urls) {
        std::string source;
        file += fetch(fetchCtx, url, source) ? RssChannelBlock(source, itemLimit, cp)
                                             : RssFailedChannel(url);
    }
    return file + kRssFileTail;
}
