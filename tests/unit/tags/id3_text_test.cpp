#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <string>

#include "tags/id3.h"
#include "tags/id3v1_edit.h"

namespace {

wchar_t* Copy(const std::wstring& s) {
    auto* out = new wchar_t[s.size() + 1];
    std::wmemcpy(out, s.c_str(), s.size() + 1);
    return out;
}

// Numbers 0 to 191 each have a name of their own that reads back as the number (a number found
// inside another entry of the list would give a name twice, and another number back), except
// 62: the list's "Pop/Funk" ends at its "/", as "Pop" (13). From 192 on the number itself is
// shown. Only a whole name, in its own case, is a genre.
TEST(Id3Genre, NamesAndNumbersBothWays) {
    for (int n = 0; n < 256; ++n) {
        const std::wstring name = Id3GenreName(n);
        if (n >= 192) {
            EXPECT_EQ(name, std::to_wstring(n));
            continue;
        }
        EXPECT_TRUE(!name.empty() && name.size() <= 30 && !iswdigit(name[0])) << n;
        EXPECT_EQ(Id3GenreNumber(std::string(name.begin(), name.end())), n == 62 ? 13 : n) << n;
    }
    EXPECT_EQ(Id3GenreName(62), L"Pop");
    const std::pair<const char*, int> names[] = {
        {"Pop/Funk", 62}, {"rock", 255}, {"", 255}, {"Roc", 255}, {"k/18.Techno", 255}};
    for (const auto& [name, number] : names) EXPECT_EQ(Id3GenreNumber(name), number) << name;
}

TEST(Id3DisplayTitle, ArtistTitleAndFileName) {
    const std::wstring a60(60, L'a'), a53(53, L'a'), t200(200, L't');
    struct Case {
        const char* name;
        std::wstring artist, title;  // empty: absent
        std::wstring expected;
    } cases[] = {
        {"artist and title", L"Band", L"Song", L"Band - Song"},
        {"long artist alone", a60, L"", a53 + L"..."},
        {"long artist, long title", a60, t200,
         a53 + L"... - " + std::wstring(115 - 54 - 3, L't') + L"..."},
        {"short artist, long title", L"Band", t200,
         L"Band - " + std::wstring(115 - 4 - 3, L't') + L"..."},
        {"title alone", L"", L"Song", L"Song"},
        {"neither: the file name", L"", L"", L"My.Song"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Id3Tags info;
        if (!c.artist.empty()) info.tagText[kTagArtist] = Copy(c.artist);
        if (!c.title.empty()) info.tagText[kTagTitle] = Copy(c.title);
        const std::wstring shown = Id3DisplayTitle(info, L"C:\\Music\\Some.Folder\\My.Song.mp3");
        EXPECT_EQ(shown, c.expected);
        EXPECT_LE(shown.size(), 120u);
        Id3FreeTags(info, nullptr);
    }
    const std::wstring path = L"D:\\" + std::wstring(300, L'n') + L".mp3";
    EXPECT_EQ(Id3DisplayTitle(Id3Tags{}, path.c_str()), std::wstring(116, L'n'));
}

int g_deletes = 0;
void CountDelete() {
    ++g_deletes;
}

TEST(Id3FreeTags, FreesAndDeletesTheTemporaryPictureOnlyWhenWritten) {
    for (uint32_t written : {0u, 1u}) {
        g_deletes = 0;
        Id3Tags info;
        info.tagText[kTagTitle] = Copy(L"x");
        info.pictureData = new uint8_t[4];
        info.pictureSize = 4;
        info.pictureFileWritten = written;
        Id3FreeTags(info, CountDelete);
        EXPECT_EQ(info.tagText[kTagTitle], nullptr);
        EXPECT_EQ(info.pictureData, nullptr);
        EXPECT_EQ(info.pictureSize, 0u);
        EXPECT_EQ(info.pictureFileWritten, 0u);
        EXPECT_EQ(g_deletes, int(written));
    }
}

}  // namespace
