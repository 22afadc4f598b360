// The RSS reader's rules, on bytes: the plan kept in big_rssstring, the comparable time stamps,
// reducing a downloaded feed to the channel block of the local file "Zuvorss.xml", handing out
// its titles one by one, and the rich text of the viewer. The glue (feeds_win.cpp) downloads,
// reads the clock and the file times, and shows the viewer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "base/timefmt.h"

// big_rssstring, read by position: "060,0000000000,004,URL URL ...".
struct RssPlan {
    int intervalMinutes = 0;  // positions 0-2
    uint32_t planned = 0;     // positions 4-13: the next update, an RssStamp
    int maxAgeHours = 0;      // positions 15-17: titles are handed out from a file this young; 0 = any
    std::vector<std::string> urls;  // from position 19, separated by single blanks
};
RssPlan ReadRssPlan(std::string_view s);
// Writes the planned time into positions 4-13 ("%.10d"), keeping the rest; a string too short to
// hold the fixed fields is rebuilt from what could be read of it.
void WriteRssPlanned(std::string& s, uint32_t planned);

// A comparable local time: month x 65536 + year x 1048576 + the minute of the month
// (day x 1440 + hour x 60 + minute). Minutes are added to the stamp as they are.
uint32_t RssStamp(const LocalTime& t);
// The hour and minute of a stamp (the minute of the day is its low 16 bits modulo 1440).
int RssStampHour(uint32_t stamp);
int RssStampMinute(uint32_t stamp);
// The Big view's menu entry: "<label> HH:MM)".
std::wstring RssUpdateNowText(std::wstring_view label, uint32_t planned);

// big_title position 28 limits the items a feed gives: '-' is 999, any other character c gives
// c - 45. (Whether RSS is on at all is BigTitle::rss(), position 30.)
int RssItemsPerFeed(std::string_view bigTitle);

// The local file's fixed parts.
extern const char kRssFileHead[];  // the XML declaration and "<rss version=\"2.0\">"
extern const char kRssFileTail[];  // "</rss>"
constexpr size_t kRssDownloadLimit = 99999;  // bytes read of one feed
constexpr size_t kRssTitleFileLimit = 60000;  // bytes of the local file searched for a title
constexpr size_t kRssTitleMaxBytes = 190;

// Decodes &apos; &amp; &quot; &lt; &gt; in one pass from left to right; any other '&' stays.
void RssDecodeEntities(std::string& text);
// Whether a downloaded feed counts as UTF-8: unless its "<?xml" declaration names an encoding
// whose fourth and fifth characters are not "-8".
bool RssSourceIsUtf8(std::string_view source);
// The channel block of one downloaded feed (taken up to its first zero byte): each title,
// description and link element copied as it stands, converted to UTF-8 from the code page when
// the feed is not UTF-8, entities decoded; at most itemLimit items.
std::string RssChannelBlock(std::string_view source, int itemLimit, const CodePage& cp);
// The block written in place of a feed whose download failed.
std::string RssFailedChannel(std::string_view url);

// The title hand-out: the text of the (index + 1)-th "<title" element of the local file, without
// a CDATA marker, at most 190 bytes cut at a character boundary.
struct RssTitleState {
    uint16_t index = 0;  // of the next title
    std::string title;   // the current one, UTF-8; empty when there is none
};
// Loads the next title of fileBytes (the file's first bytes) into state.title and advances the
// index; past the last title the index returns to 0 and the title is empty.
void RssNextTitle(RssTitleState& state, std::string_view fileBytes);
// Whether a file written at `written` (local time) is too old for titles at `now`.
bool RssFileTooOld(const RssPlan& plan, const LocalTime& written, const LocalTime& now);

// The viewer's rich text for the local file: the date it was written, each title bold and large,
// descriptions, links small, a rule after each channel. Text from the file is escaped for RTF
// (backslash, braces, and every character above ASCII as \uN?).
std::string RssRichText(std::string_view fileBytes, const LocalTime& written, bool dark);

// Downloads one feed into out (at most kRssDownloadLimit bytes); false when the connection
// failed.
using RssFetch = bool (*)(void* ctx, const std::string& url, std::string& out);
// The whole local file: each feed of the plan in order, as its channel block or, when its
// download failed, as the failure block.
std::string RssBuildFile(const RssPlan& plan, int itemLimit, RssFetch fetch, void* fetchCtx,
                         const CodePage& cp);
