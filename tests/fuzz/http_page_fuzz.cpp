// Builds the control page from a player state whose texts come from arbitrary bytes (UTF-8,
// split at newlines). Besides not crashing: the page stays within its limit, always ends with
// its closing tags, and no input text can open an element of its own.
#include <cstdlib>
#include <string>
#include <vector>

#include "base/utf.h"
#include "http/http_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> texts;
    std::string cur;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            texts.push_back(Utf8ToWide(cur));
            cur.clear();
        } else {
            cur += static_cast<char>(data[i]);
        }
    }
    texts.push_back(Utf8ToWide(cur));
    auto text = [&](size_t i) { return i < texts.size() ? texts[i] : std::wstring(); };
    HttpPageState s;
    s.title = text(0);
    s.filePath = text(1);
    s.elapsed = text(2);
    s.total = text(3);
    s.folderPath = text(4);
    s.address = WideToUtf8(text(5));
    const uint8_t flags = size ? data[0] : 0;
    s.playing = flags & 1;
    s.playlistActive = flags & 2;
    s.cueList = flags & 4;
    s.current = size > 1 ? data[1] : 0;
    const int count = s.current + (size > 2 ? data[2] % 12 : 0);
    const HttpWindowRange w = HttpListWindow(s.current, count);
    for (int i = w.first; i < w.end; ++i)
        s.items.push_back({text(6 + static_cast<size_t>(i - w.first)), (flags & 8) == 0 || i % 2});
    const std::string page = HttpBuildPage(s);
    static const std::string tail = "</body>\n</html>\n";
    if (page.size() > kHttpPageMax || page.compare(page.size() - tail.size(), tail.size(), tail))
        std::abort();
    // The fixed page opens 16 kinds of element; an input text that opened one would add one
    // more '<' than the page without texts has.
    HttpPageState bare = s;
    bare.title = bare.filePath = bare.elapsed = bare.total = bare.folderPath = L"";
    bare.address.clear();
    for (HttpPageItem& item : bare.items) item.text.clear();
    auto opens = [](const std::string& p) {
        size_t n = 0;
        for (char ch : p) n += ch == '<';
        return n;
    };
    if (opens(page) > opens(HttpBuildPage(bare))) std::abort();
    return 0;
}
