// The control page for a table of player states: the list window around the current row, the
// highlight, cue sheets, stopped and empty states, escaping, and the size limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/http_page.h"

namespace {
constexpr uint32_t kBack = 0x00102030, kText = 0x00c0c0c0, kTrack = 0x0000ff00;

HttpPageState ListState(int current, int count, const wchar_t* prefix = L"Track ") {
    HttpPageState s;
    s.title = L"Artist - Song";
    s.filePath = L"C:\\Music\\Album\\01 Song.mp3";
    s.elapsed = L"1'02";
    s.total = L"3'45";
    s.playing = true;
    s.folderPath = L"C:\\Music\\Album\\";
    s.current = current;
    s.colorBack = kBack;
    s.colorText = kText;
    s.colorTrack = kTrack;
    const HttpWindowRange w = HttpListWindow(current, count);
    for (int i = w.first; i < w.end; ++i) s.items.push_back({prefix + std::to_wstring(i), true});
    return s;
}

// The rows the page shows, in order, and the one in the highlight colour.
std::vector<std::string> Rows(const std::string& page, std::string* highlighted) {
    std::vector<std::string> rows;
    const std::string track = "<p style=\"color:#00ff00;\">", text = "<p style=\"color:#c0c0c0;\">";
    const size_t list = page.find("Current list");
    for (size_t at = list; (at = page.find("<p style=\"color:", at)) != std::string::npos;) {
        const size_t start = page.find('>', at) + 1, end = page.find('\n', start);
        const std::string row = page.substr(start, end - start);
        if (page.compare(at, track.size(), track) == 0) *highlighted = row;
        rows.push_back(row);
        at = end;
    }
    return rows;
}

TEST(HttpPage, ListWindowAroundTheCurrentRow) {
    struct Case {
        int current, count;
        int first, end;
    };
    const Case cases[] = {{0, 5, 0, 5}, {20, 30, 18, 28}, {1, 30, 0, 10}, {29, 30, 27, 30},
                          {0, 0, 0, 0}, {3, 4, 1, 4}};
    for (const Case& c : cases) {
        const HttpWindowRange w = HttpListWindow(c.current, c.count);
        EXPECT_EQ(w.first, c.first) << c.current << " of " << c.count;
        EXPECT_EQ(w.end, c.end) << c.current << " of " << c.count;
        std::string highlighted;
        const std::vector<std::string> rows = Rows(HttpBuildPage(ListState(c.current, c.count)),
                                                   &highlighted);
        ASSERT_EQ(rows.size(), static_cast<size_t>(c.end - c.first));
        if (!rows.empty()) {
            EXPECT_EQ(rows.front(), "Track " + std::to_string(c.first));
            EXPECT_EQ(highlighted, "Track " + std::to_string(c.current));
        }
    }
}

TEST(HttpPage, StatesOfTheCurrentTrackAndList) {
    HttpPageState playing = ListState(0, 1);
    std::string page = HttpBuildPage(playing);
    EXPECT_NE(page.find("<p class=\"big\">Artist - Song\n<p style=\"color:#00ff00;\">1'02 / 3'45\n"),
              std::string::npos);
    EXPECT_EQ(page.find("(stopped)"), std::string::npos);
    EXPECT_NE(page.find("<p class=\"big\">Album &nbsp;"), std::string::npos);
    EXPECT_NE(page.find("<body bgcolor=\"#302010\" text=\"#c0c0c0\""), std::string::npos);

    HttpPageState stopped = playing;
    stopped.playing = false;
    EXPECT_NE(HttpBuildPage(stopped).find("1'02 / 3'45 &nbsp; (stopped)\n"), std::string::npos);

    HttpPageState notLoaded = playing;  // no title: the file's name without folder, extension
    notLoaded.title.clear();
    EXPECT_NE(HttpBuildPage(notLoaded).find(
                  "<p class=\"big\">01 Song\n<p>Pause to stop/resume, Reload to update."),
              std::string::npos);
    notLoaded.filePath.clear();
    EXPECT_NE(HttpBuildPage(notLoaded).find("<p class=\"big\">None\n<p>Pause"), std::string::npos);

    HttpPageState playlist = playing;
    playlist.playlistActive = true;
    EXPECT_NE(HttpBuildPage(playlist).find("<p class=\"big\">Zuvo Playlist &nbsp;"),
              std::string::npos);

    HttpPageState cue = ListState(1, 3, L"");
    cue.cueList = true;
    cue.items[1].text = std::wstring(150, L'x');
    cue.items[0].readable = false;  // skipped, the highlight stays on the current row
    std::string highlighted;
    const std::vector<std::string> rows = Rows(HttpBuildPage(cue), &highlighted);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(highlighted, std::string(100, 'x'));
}

TEST(HttpPage, TextsAreEscapedAndThePageNeverPassesItsLimit) {
    HttpPageState s = ListState(5, 30);
    s.title = L"<script>alert('x')</script>.mp3";
    s.items[0].text = L"a & b \"quoted\" <i>";
    s.address = "127.0.0.1:8080\"><script>";
    const std::string page = HttpBuildPage(s);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert('x')&lt;/script&gt;.mp3"), std::string::npos);
    EXPECT_NE(page.find("a &amp; b &quot;quoted&quot; &lt;i&gt;"), std::string::npos);

    // Titles of the worst kind: every character expands most, in every text of the page.
    for (const std::wstring& filler : {std::wstring(4000, L'"'), std::wstring(4000, L'\u20ac')}) {
        HttpPageState big = ListState(20, 30);
        big.title = big.folderPath = big.filePath = big.elapsed = big.total = filler;
        for (HttpPageItem& item : big.items) item.text = filler;
        const std::string p = HttpBuildPage(big);
        EXPECT_LE(p.size(), kHttpPageMax);
        EXPECT_EQ(p.substr(p.size() - 16), "</body>\n</html>\n");
        big.title.clear();
        EXPECT_LE(HttpBuildPage(big).size(), kHttpPageMax);
    }
}
}  // namespace
