// Arbitrary bytes as a downloaded feed, as the local file and as a plan string. Besides not
// crashing: the channel block is framed and empty when no item is allowed, every title
// handed out fits its buffer and ends on a character boundary, the viewer's rich text keeps its
// braces balanced whatever the file holds, and a planned time written into any plan reads back.
#include <cstdlib>

#include "feeds/rss.h"

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Groups opened minus groups closed, skipping escaped characters; -1 if it ever goes below 0.
int RtfDepth(const std::string& rtf) {
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return -1;
        }
    }
    return depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const int limit = size ? data[0] % 8 : 999;
    const std::string block = RssChannelBlock(bytes, limit, CodePage{});
    if (block.compare(0, 11, "<channel>\r\n") != 0 || !EndsWith(block, "</channel>\r\n"))
        std::abort();
    if (RssChannelBlock(bytes, 0, CodePage{}) != "<channel>\r\n</channel>\r\n") std::abort();

    for (const std::string& file : {bytes, std::string(kRssFileHead) + block + kRssFileTail}) {
        RssTitleState st;
        for (int i = 0; i < 64; ++i) {
            RssNextTitle(st, file);
            if (st.title.size() > kRssTitleMaxBytes) std::abort();
            if (st.index == 0) break;
        }
        if (RtfDepth(RssRichText(file, LocalTime{2026, 1, 2, 5, 3, 4, 5}, size % 2)) != 0) std::abort();
    }

    std::string plan = bytes.substr(0, 600);
    WriteRssPlanned(plan, 2124935234u);
    if (ReadRssPlan(plan).planned != 2124935234u) std::abort();
    return 0;
}
