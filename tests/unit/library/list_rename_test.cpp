#include <gtest/gtest.h>

#include "library/list_rename.h"

namespace {

TrackList Folder() {
    TrackList l;
    l.kind = folderList;
    l.folder = L"C:\\Music\\";
    l.navRowCount = 1;
    ListRow nav;
    nav.cell[0] = L" [..]  [.\\Music]";
    nav.cell[2] = L"DIR";
    ListRow track;
    track.cell[0] = L"Track 9";
    track.cell[2] = L"mp3";
    l.rows = {nav, track};
    return l;
}

}  // namespace

TEST(RenameTarget, NamesPathsAndRefusals) {
    struct Case {
        int row;
        const wchar_t* typed;
        const wchar_t* want;  // empty: refused
    } cases[] = {
        {1, L"Track 09", L"C:\\Music\\Track 09.mp3"},
        {1, L"  Intro  ", L"C:\\Music\\Intro.mp3"},             // blanks around are dropped
        {1, L"Intro.MP3", L"C:\\Music\\Intro.MP3"},             // the extension typed along
        {1, L"Intro.", L"C:\\Music\\Intro.mp3"},                // a trailing dot is no name
        {1, L"Old\\Track 9", L"C:\\Music\\Old\\Track 9.mp3"},  // moved into a sub-folder
        {1, L"D:\\Keep\\a", L"D:\\Keep\\a.mp3"},                // moved elsewhere
        {1, L"\\\\nas\\share\\a", L"\\\\nas\\share\\a.mp3"},
        {1, L"", L""},
        {1, L"   ", L""},
        {1, L"a:b", L""},
        {1, L"what?", L""},
        {1, L"a/b", L""},
        {1, L"Old\\", L""},
        {0, L"Parent", L""},  // a navigation row
        {2, L"x", L""},       // no such row
    };
    const TrackList l = Folder();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << " " << std::wstring(c.typed).size());
        EXPECT_EQ(RenameTarget(l, c.row, c.typed), c.want);
    }
    TrackList list = Folder();
    list.kind = playList;  // rows of a play list are entries of the list, not files to rename
    EXPECT_EQ(RenameTarget(list, 1, L"x"), L"");
}
