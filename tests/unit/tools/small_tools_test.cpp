#include <gtest/gtest.h>

#include "tools/small_tools.h"

TEST(GoTo, ClassifiesTypedText) {
    struct Case {
        const wchar_t* typed;
        GoToKind kind;
        const wchar_t* play;
        const wchar_t* locate;
    } cases[] = {
        {L"C:\\Music\\Live", GoToKind::Folder, L"", L"C:\\Music\\Live"},
        {L"C:\\Music\\Live\\", GoToKind::Folder, L"", L"C:\\Music\\Live"},
        {L"C:\\Music\\Live\\\\", GoToKind::Folder, L"", L"C:\\Music\\Live\\"},  // only one
        {L"C:\\Music\\a.MP3", GoToKind::File, L"C:\\Music\\a.MP3", L"C:\\Music"},
        {L"C:\\Music\\a.ogg", GoToKind::File, L"C:\\Music\\a.ogg", L"C:\\Music"},
        {L"C:\\Music\\set.m3u", GoToKind::Folder, L"", L"C:\\Music\\set.m3u"},
        {L"C:\\Music\\disc.cue", GoToKind::Folder, L"", L"C:\\Music\\disc.cue"},
        {L"C:\\Music.mp3\\x", GoToKind::Folder, L"", L"C:\\Music.mp3\\x"},
        {L"HTTP://radio/a.mp3", GoToKind::Address, L"HTTP://radio/a.mp3", L"D:\\Browsed"},
        {L"mms:stream", GoToKind::Address, L"mms:stream", L"D:\\Browsed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.typed).size());
        const GoToTarget g = ClassifyGoTo(c.typed, L"D:\\Browsed\\", "mp3;mp2;mpa;ogg;");
        EXPECT_EQ(g.kind, c.kind);
        EXPECT_EQ(g.play, c.play);
        EXPECT_EQ(g.locate, c.locate);
    }
}

TEST(FindInList, NextWrapsOnlyWhenFound) {
    TrackList l;
    for (const wchar_t* n : {L"Blue Moon", L"Other", L"MOONLIGHT", L"moon"}) {
        ListRow r;
        r.cell[0] = n;
        l.rows.push_back(r);
    }
    struct Step {
        const wchar_t* box;
        bool edited;  // the box changed before "Next"
        int want;
    } steps[] = {
        {L"m", true, -1},    {L"Moon", true, 0},  {L"Moon", false, 2},  {L"Moon", false, 3},
        {L"Moon", false, 0}, {L"OTHER", true, 1}, {L"OTHER", false, 1}, {L"zz", true, -1},
        {L"zz", false, -1},  {L"light", true, 2},
    };
    FindState st;
    FindOpened(st);
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(i++);
        if (s.edited) FindEdited(st);
        EXPECT_EQ(FindNext(st, s.box, l), s.want);
    }
    EXPECT_EQ(st.text, L"light");
    // A list that lost its only match after it was found: one pass from the top, then -1.
    l.rows.resize(1);
    EXPECT_EQ(FindNext(st, L"light", l), -1);
    EXPECT_EQ(st.lastIndex, -1);
}

TEST(Notes, EditTheInfoCellOfTheFirstSelectedRow) {
    TrackList l;
    l.rows.resize(3);
    l.rows[2].cell[4] = L"old";
    std::wstring note;
    EXPECT_FALSE(NoteOfSelection(l, 8 << 10, note));  // nothing selected
    l.rows[2].selected = true;
    EXPECT_FALSE(NoteOfSelection(l, 0, note));  // no info column
    ASSERT_TRUE(NoteOfSelection(l, 8 << 10, note));
    EXPECT_EQ(note, L"old");
    ASSERT_TRUE(SetNoteOfSelection(l, std::wstring(120, L'x')));
    EXPECT_EQ(l.rows[2].cell[4], std::wstring(kNoteMax, L'x'));
    EXPECT_EQ(l.rows[1].cell[4], L"");
}

TEST(BeatCounter, TempoFromTaps) {
    struct Case {
        std::vector<uint32_t> taps;
        std::vector<const wchar_t*> texts;  // after each tap, "" for none
    } cases[] = {
        {{1000, 1500, 2000, 2500}, {L"", L"BPM: 120", L"BPM: 120", L"BPM: 120"}},
        {{0xFFFFFF00u, 0x100u, 0x500u}, {L"", L"BPM: 117", L"BPM: 78"}},  // across the wrap
        {{5000, 5000, 5600}, {L"", L"", L"BPM: 200"}},
        {{0, 700, 1300, 2100}, {L"", L"BPM: 86", L"BPM: 92", L"BPM: 86"}},
    };
    for (const Case& c : cases) {
        BeatCounter b;
        for (size_t i = 0; i < c.taps.size(); ++i) {
            std::wstring text;
            EXPECT_EQ(BeatTap(b, c.taps[i], text), *c.texts[i] != 0) << i;
            EXPECT_EQ(text, c.texts[i]) << i;
        }
    }
}
