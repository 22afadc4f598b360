// Play list files: the path rules of reading, stream rows, the two encodings, the relative
// paths of writing (read back to the same tracks), and the Playlist view's rows.
#include <gtest/gtest.h>

#include "fake_folders.h"
#include "library/list_text.h"
#include "library/playlist_file.h"

namespace {
struct PlsFixture : ::testing::Test {
    Settings s;
    std::string playable{"mp3;mp2;mpa;ogg;"};
    TrackList list;
    PlayListEnv env;
    void SetUp() override {
        list.kind = playList;
        env.s = &s;
        env.playable = &playable;
    }
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> out;
        std::wstring p;
        for (int i = 0; i < static_cast<int>(list.rows.size()); ++i) {
            RowPath(list, i, p, false);
            out.push_back(list.rows[static_cast<size_t>(i)].cell[0] + L" | " + p);
        }
        return out;
    }
    std::vector<std::wstring> Read(const std::string& bytes, const std::wstring& path) {
        list.rows.clear();
        ReadPlayListBytes(list, path, bytes, env);
        return Paths();
    }
};
using Strings = std::vector<std::wstring>;
}  // namespace

TEST_F(PlsFixture, LinesBecomeRowsByThePathRules) {
    const std::wstring m3u = L"C:\\Lists\\Mine\\x.m3u";
    // clang-format off
    struct Case {
        const char* what;
        std::string bytes;
        bool bass;
        Strings rows;
    } cases[] = {
        {"relative", "a.mp3\r\n..\\Other\\b.mp3\r\n", false,
         {L"a.mp3 | C:\\Lists\\Mine\\a.mp3", L"b.mp3 | C:\\Lists\\Mine\\..\\Other\\b.mp3"}},
        {"root relative and forward slashes", "\\Music/c.ogg\n", false,
         {L"c.ogg | C:\\Music\\c.ogg"}},
        {"own drive", "D:\\x\\d.MP3\n", false, {L"d.MP3 | D:\\x\\d.MP3"}},
        {"comments and other files", "#EXTM3U\r\nnotes.txt\r\nnoext\r\n", false, {}},
        {"last line without a line feed", "a.mp3\r\nb.mp3", false,
         {L"a.mp3 | C:\\Lists\\Mine\\a.mp3"}},
        // Each line ends at its own line end, whatever ends the others.
        {"LF lines before a CR LF", "a.mp3\nb.mp3\r\n", false,
         {L"a.mp3 | C:\\Lists\\Mine\\a.mp3", L"b.mp3 | C:\\Lists\\Mine\\b.mp3"}},
        {"CR, LF and CR LF in one file", "a.mp3\rb.mp3\nc.mp3\r\n\r\nd.mp3\r", false,
         {L"a.mp3 | C:\\Lists\\Mine\\a.mp3", L"b.mp3 | C:\\Lists\\Mine\\b.mp3",
          L"c.mp3 | C:\\Lists\\Mine\\c.mp3", L"d.mp3 | C:\\Lists\\Mine\\d.mp3"}},
        {"stream with a title", "#EXTINF:-1,Radio X\r\nhttp://r.x/s\r\nhttp://r.y/\r\n", true,
         {L"Radio X | http://r.x/s", L"Untitled address | http://r.y/"}},
        {"stream without BASS", "#EXTINF:-1,Radio X\r\nhttp://r.x/s.mp3\r\n", false,
         {L"s.mp3 | C:\\Lists\\Mine\\http:\\\\r.x\\s.mp3"}},
        {"long lines are skipped", std::string(400, 'a') + ".mp3\r\ne.mp3\r\n", false,
         {L"e.mp3 | C:\\Lists\\Mine\\e.mp3"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env.bassLoaded = c.bass;
        EXPECT_EQ(Read(c.bytes, m3u), c.rows);
    }
}

// A 2 MB list with LF line ends only: every line is a row, the last one included.
TEST_F(PlsFixture, LargeLfListReadsEveryLine) {
    std::string bytes;
    const int lines = 120000;
    for (int i = 0; i < lines; ++i) bytes += "Track " + std::to_string(100000 + i) + ".mp3\n";
    ASSERT_GT(bytes.size(), 2000000u);
    EXPECT_EQ(ReadPlayListBytes(list, L"C:\\L\\x.m3u", bytes, env), lines);
    EXPECT_EQ(list.rows.back().cell[0], L"Track 219999.mp3");
}

TEST_F(PlsFixture, M3u8IsUtf8AndM3uTheAnsiCodePage) {
    const std::string bytes = "Caf\xC3\xA9.mp3\r\n";
    EXPECT_EQ(Read(bytes, L"C:\\L\\x.m3u8"), Strings{L"Caf\u00e9.mp3 | C:\\L\\Caf\u00e9.mp3"});
    EXPECT_EQ(Read(bytes, L"C:\\L\\x.m3u"),
              Strings{L"Caf\u00c3\u00a9.mp3 | C:\\L\\Caf\u00c3\u00a9.mp3"});
    env.codePage.toWide = [](void*, std::string_view t) { return std::wstring(t.size(), L'#'); };
    EXPECT_EQ(Read("ab.mp3\n", L"C:\\L\\x.m3u"), Strings{});  // the converter is used: "######"
}

TEST_F(PlsFixture, WrittenPathsAreRelativeAndReadBackToTheSameTracks) {
    // clang-format off
    struct Case {
        std::wstring track, list, line;
    } cases[] = {
        {L"C:\\Music\\a.mp3", L"C:\\Music\\l.m3u", L"a.mp3"},
        {L"C:\\Music\\Sub\\a.mp3", L"C:\\Music\\l.m3u8", L"Sub\\a.mp3"},
        {L"C:\\Music\\a.mp3", L"C:\\Lists\\l.m3u", L"\\Music\\a.mp3"},
        {L"C:\\Music\\a.mp3", L"C:\\Music\\Sub\\l.m3u", L"\\Music\\a.mp3"},
        {L"C:\\Music\\a.mp3", L"D:\\l.m3u", L"C:\\Music\\a.mp3"},
        {L"C:\\Music\\a.mp3", L"c:\\Music\\l.m3u", L"C:\\Music\\a.mp3"},  // case counts
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(PathRelativeToList(c.track, c.list), c.line);
        const PlayListText text = PlayListFileText({c.track}, c.list, CodePage{});
        EXPECT_EQ(text.lines, 1);
        list.rows.clear();
        ReadPlayListBytes(list, c.list, text.bytes, env);
        ASSERT_EQ(list.rows.size(), 1u);
        std::wstring back;
        RowPath(list, 0, back, false);
        EXPECT_EQ(back, c.track);
    }
    EXPECT_EQ(PlayListFileText({L"C:\\M\\\u00e9.mp3"}, L"C:\\M\\l.m3u8", CodePage{}).bytes,
              "\xC3\xA9.mp3\r\n");
    EXPECT_EQ(
        PlayListFileText({L"C:\\M\\\u00e9\u20ac\u4e00.mp3"}, L"C:\\M\\l.m3u", CodePage{}).bytes,
        "\xE9\x80?.mp3\r\n");
}

TEST_F(PlsFixture, RowsToWriteAreTheSelectedTracksOrTheCurrentOne) {
    TrackList folder;
    folder.folder = L"C:\\M";
    for (const wchar_t* n : {L" [+]  Sub", L"a", L"b", L"c"}) {
        AddRow(folder, static_cast<int>(folder.rows.size()), n, L"", L"mp3", L"", s);
    }
    folder.currentRow = 2;
    EXPECT_EQ(PlayListRowsToWrite(folder, s), Strings{L"C:\\M\\b.mp3"});
    folder.rows[0].selected = folder.rows[1].selected = folder.rows[3].selected = true;
    EXPECT_EQ(PlayListRowsToWrite(folder, s), (Strings{L"C:\\M\\a.mp3", L"C:\\M\\c.mp3"}));
    folder.kind = cueList;
    EXPECT_EQ(PlayListRowsToWrite(folder, s), Strings{});
}

TEST_F(PlsFixture, PlaylistViewRowsFromFilesKeepTheCurrentRow) {
    FakeFolders fake;
    fake.AddFile(L"C:\\M\\a.mp3", 2 * 1048576);
    fake.AddFile(L"C:\\M\\b.ogg");
    fake.AddFile(L"C:\\M\\h.mp3", 1, EntryAttr::Hidden);
    fake.AddFile(L"C:\\M\\n.txt");
    fake.AddFolder(L"C:\\M\\Sub.mp3");
    FolderOps ops = FakeFolderOps(fake);
    TrackList view;
    view.kind = savedFolderList;
    EXPECT_EQ(ContentToPlaylist(view, L"C:\\M", ops, s, playable), 2);
    EXPECT_EQ(view.rows[0].cell[0], L"a.mp3");
    EXPECT_EQ(view.rows[0].cell[1], L"2.00 MB");
    EXPECT_EQ(view.rows[0].cell[2], L"C:\\M");
    EXPECT_EQ(view.rows[0].cell[3], L"2026-03-05 14:07");
    view.currentRow = 1;  // b.ogg plays
    // clang-format off
    struct Case {
        int position, focused;
        std::wstring path;
        int at;
    } cases[] = {
        {0, -1, L"C:\\M\\h.mp3", 0}, {-1, 0, L"C:\\M\\x.mp3", 1}, {-1, -1, L"http://s/", 4}};
    // clang-format on
    for (const Case& c : cases) {
        view.focusedRow = c.focused;
        EnqueuePath(view, c.path, c.position, ops, s);
        std::wstring p;
        RowPath(view, c.at, p, false);
        EXPECT_EQ(p, c.path);
    }
    EXPECT_EQ(view.rows[static_cast<size_t>(view.currentRow)].cell[0], L"b.ogg");
    EXPECT_EQ(view.currentRow, 3);

    const std::string saved = ListStateText(PlaylistStateRows(view), false);
    TrackList again;
    s.last_file = L"C:\\M\\b.ogg";
    RestorePlaylistRows(again, ReadListStateText(saved), s);
    ASSERT_EQ(again.rows.size(), view.rows.size());
    for (size_t i = 0; i < view.rows.size(); ++i)
        EXPECT_EQ(again.rows[i].cell[2], view.rows[i].cell[2]);
    EXPECT_EQ(again.currentRow, 3);
    ClearPlaylistView(again);
    EXPECT_TRUE(again.rows.empty());
    EXPECT_EQ(again.currentRow, -1);
}
