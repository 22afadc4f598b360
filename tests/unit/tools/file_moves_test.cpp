#include <gtest/gtest.h>

#include <set>

#include "tools/file_moves.h"

namespace {

TrackList Rows(uint8_t kind, std::vector<std::pair<const wchar_t*, const wchar_t*>> cells) {
    TrackList l;
    l.kind = kind;
    l.folder = L"C:\\M";
    for (auto [name, type] : cells) {
        ListRow r;
        r.cell[0] = name;
        r.cell[2] = type;
        l.rows.push_back(r);
    }
    return l;
}

std::vector<std::wstring> Names(const TrackList& l) {
    std::vector<std::wstring> out;
    for (const ListRow& r : l.rows)
        out.push_back(r.cell[0] + L"|" + r.cell[2] + (r.selected ? L"*" : L""));
    return out;
}

}  // namespace

TEST(FileMoves, NumberedCopiesStopAtTheFirstRefusal) {
    struct Case {
        int first;
        std::set<std::wstring> existing;
        int copied;
        std::vector<std::wstring> made;
    } cases[] = {
        {1, {}, 3, {L"D:\\T\\01_z.mp3", L"D:\\T\\02_a.mp3", L"D:\\T\\03_m.mp3"}},
        {99, {}, 3, {L"D:\\T\\99_z.mp3", L"D:\\T\\100_a.mp3", L"D:\\T\\101_m.mp3"}},
        {0, {}, 3, {L"D:\\T\\00_z.mp3", L"D:\\T\\01_a.mp3", L"D:\\T\\02_m.mp3"}},
        {1, {L"D:\\T\\02_a.mp3"}, 1, {L"D:\\T\\01_z.mp3"}},
        {1, {L"D:\\T\\01_z.mp3"}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        struct Ctx {
            std::set<std::wstring> files;
            std::vector<std::wstring> made;
        } ctx{c.existing, {}};
        CopyFs fs{&ctx, [](void* p, const std::wstring&, const std::wstring& to) {
                      Ctx& x = *static_cast<Ctx*>(p);
                      if (!x.files.insert(to).second) return false;
                      x.made.push_back(to);
                      return true;
                  }};
        // Sources in list order (a shuffled list: the names are not sorted).
        EXPECT_EQ(CopyNumbered({L"C:\\M\\z.mp3", L"C:\\N\\a.mp3", L"C:\\M\\m.mp3"}, L"D:\\T\\",
                               c.first, fs),
                  c.copied);
        EXPECT_EQ(ctx.made, c.made);
    }
}

TEST(FileMoves, ProposalAndRememberedDestination) {
    const wchar_t kMulti[] = L"[Multiple files, field will be ignored]";
    EXPECT_EQ(CopyProposal(L"", L"C:\\M\\a.mp3", false, kMulti), L"C:\\M\\a.mp3");
    EXPECT_EQ(CopyProposal(L"D:\\T", L"C:\\M\\a.mp3", false, kMulti), L"D:\\T\\a.mp3");
    EXPECT_EQ(CopyProposal(L"D:\\T", L"C:\\M\\a.mp3", true, kMulti),
              std::wstring(L"D:\\T\\") + kMulti);
    EXPECT_EQ(CopyProposal(L"", L"C:\\M\\a.mp3", true, kMulti), std::wstring(L"C:\\M\\") + kMulti);

    Settings s{};
    std::wstring remembered = L"old";
    RememberDestination(remembered, L"E:\\Out\\x.mp3", s);
    EXPECT_EQ(remembered, L"E:\\Out");
    s.system_flags = SystemFlag::NoRememberDest;
    RememberDestination(remembered, L"F:\\Other\\x.mp3", s);
    EXPECT_EQ(remembered, L"E:\\Out");
}

TEST(FileMoves, MoveWayOfThePlayingTrack) {
    struct Case {
        MoveFacts f;
        const wchar_t *from, *to;
        MoveWay want;
    } cases[] = {
        {{true, true, true}, L"C:\\M\\a.mp3", L"c:\\N\\b.mp3", MoveWay::Seamless},
        {{true, true, true}, L"C:\\M\\a.mp3", L"D:\\M\\a.mp3", MoveWay::StopMoveRestart},
        {{true, true, false}, L"C:\\M\\a.ogg", L"C:\\M\\b.ogg", MoveWay::StopMoveRestart},
        {{true, false, true}, L"C:\\M\\a.mp3", L"C:\\M\\b.mp3", MoveWay::Plain},
        {{false, true, true}, L"C:\\M\\a.mp3", L"C:\\M\\b.mp3", MoveWay::Plain},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseMoveWay(c.f, c.from, c.to), c.want) << c.to;
}

TEST(FileMoves, RowsAfterRenameMoveAndDelete) {
    struct Case {
        const char* what;
        int row;
        const wchar_t *from, *to;  // empty `to`: a delete
        std::vector<std::wstring> rows;
        int current;  // the row of C:\M\b.mp3, the playing track
    } cases[] = {
        {"rename", 0, L"C:\\M\\a.mp3", L"C:\\M\\x.ogg", {L"x|ogg*", L"b|mp3", L"c|mp3"}, 1},
        {"rename without extension", 0, L"C:\\M\\a.mp3", L"C:\\M\\x",
         {L"a|mp3*", L"b|mp3", L"c|mp3"}, 1},
        {"rename, folder in other case", 2, L"C:\\M\\c.mp3", L"c:\\m\\d.mp3",
         {L"a|mp3", L"b|mp3", L"d|mp3*"}, 1},
        {"move away", 0, L"C:\\M\\a.mp3", L"C:\\N\\a.mp3", {L"b|mp3*", L"c|mp3"}, 0},
        {"move the last row", 2, L"C:\\M\\c.mp3", L"C:\\N\\c.mp3", {L"a|mp3", L"b|mp3*"}, 1},
        {"delete", 1, L"C:\\M\\b.mp3", L"", {L"a|mp3", L"c|mp3*"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrackList l = Rows(folderList, {{L"a", L"mp3"}, {L"b", L"mp3"}, {L"c", L"mp3"}});
        l.rows[1].selected = true;
        const bool done = *c.to ? ApplyMoveToList(l, c.row, c.from, c.to, L"C:\\M\\b.mp3")
                                : ApplyDeleteToList(l, c.row, L"C:\\M\\b.mp3");
        ASSERT_TRUE(done);
        EXPECT_EQ(Names(l), c.rows);
        EXPECT_EQ(l.currentRow, c.current);
    }
    TrackList saved = Rows(savedFolderList, {{L"a.mp3", L"C:\\M"}});
    ApplyMoveToList(saved, 0, L"C:\\M\\a.mp3", L"C:\\M\\b.wav", L"");
    EXPECT_EQ(Names(saved), std::vector<std::wstring>{L"b.wav|C:\\M*"});
    EXPECT_FALSE(ApplyDeleteToList(saved, 1, L""));
    EXPECT_TRUE(ApplyDeleteToList(saved, 0, L""));
    EXPECT_EQ(saved.focusedRow, -1);
}
