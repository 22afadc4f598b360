#include "log/favourites.h"

#include <gtest/gtest.h>

namespace {

bool IsTrack(void*, const std::wstring& p) {
    return p.size() > 4 && p.compare(p.size() - 4, 4, L".mp3") == 0;
}
std::wstring Apostrophe(void*, uint32_t ms) {
    return std::to_wstring(ms / 60000) + L"'" + (ms / 1000 % 60 < 10 ? L"0" : L"") +
           std::to_wstring(ms / 1000 % 60);
}
const FavouriteMenuEnv kEnv{nullptr, IsTrack, Apostrophe};

TEST(Favourites, EntriesRoundTrip) {
    EXPECT_EQ(FavouriteEntry(125000, L"C:\\M\\a.mp3"), L"0000125000,C:\\M\\a.mp3");
    uint32_t pos = 1;
    std::wstring path;
    ASSERT_TRUE(FavouriteParse(L"0000125000,C:\\M\\a.mp3", pos, path));
    EXPECT_EQ(pos, 125000u);
    EXPECT_EQ(path, L"C:\\M\\a.mp3");
    for (const wchar_t* bad :
         {L"", L"000012500,C:\\x", L"00001250000C:\\x", L"00001x5000,C:\\x", L"9999999999,C:\\x"})
        EXPECT_FALSE(FavouriteParse(bad, pos, path)) << bad;
}

TEST(Favourites, ThirtyAtMostAndRemovalClosesTheGap) {
    FavouriteList list;
    for (int i = 0; i < kFavouriteSlots; ++i)
        ASSERT_TRUE(FavouriteAdd(list, FavouriteEntry(0, L"C:\\F" + std::to_wstring(i))));
    EXPECT_FALSE(FavouriteAdd(list, FavouriteEntry(0, L"C:\\one too many")));
    EXPECT_EQ(list.back(), FavouriteEntry(0, L"C:\\F29"));
    ASSERT_TRUE(FavouriteRemove(list, 0));
    EXPECT_EQ(FavouriteCount(list), kFavouriteSlots - 1);
    EXPECT_EQ(list[0], FavouriteEntry(0, L"C:\\F1"));
    EXPECT_EQ(list[kFavouriteSlots - 2], FavouriteEntry(0, L"C:\\F29"));
    EXPECT_TRUE(list.back().empty());
    EXPECT_FALSE(FavouriteRemove(list, kFavouriteSlots - 1));
    EXPECT_TRUE(FavouriteAdd(list, FavouriteEntry(0, L"C:\\again")));
}

TEST(Favourites, MenuGroupsNumberingAndTexts) {
    FavouriteList list;
    FavouriteAdd(list, FavouriteEntry(125000, L"C:\\Music\\Rock & Roll.mp3"));
    FavouriteAdd(list, FavouriteEntry(0, L"C:\\Music\\Jazz"));
    FavouriteAdd(list, FavouriteEntry(0, L"\\\\nas\\share\\Lists\\party.m3u"));
    FavouriteAdd(list, FavouriteEntry(0, L"C:\\Music\\b.mp3"));
    const std::vector<MenuEntry> menu = FavouritesMenu(list, kEnv);
    struct Want {
        unsigned id;
        const wchar_t* text;
    } want[] = {
        {2001, L"01  Jazz"},
        {2002, L"02  party.m3u\tnas"},
        {0, L""},
        {2000, L"03  Rock + Roll.mp3\t(2'05)"},
        {2003, L"04  b.mp3"},
    };
    ASSERT_EQ(menu.size(), std::size(want));
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].id, want[i].id) << i;
        EXPECT_EQ(menu[i].text, want[i].text) << i;
    }
    // One group alone has no separator.
    FavouriteList folders;
    FavouriteAdd(folders, FavouriteEntry(0, L"C:\\A"));
    EXPECT_EQ(FavouritesMenu(folders, kEnv).size(), 1u);
}

TEST(Favourites, HistoryMenus) {
    const auto tracks =
        HistoryMenu({L"C:\\A\\x & y.mp3", L"C:\\B\\z.mp3"}, kTrackHistoryFirstId, true);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].text, L"x + y.mp3");
    EXPECT_EQ(tracks[1].id, kTrackHistoryFirstId + 1);
    const auto folders = HistoryMenu({L"C:\\A"}, kFolderHistoryFirstId, false);
    EXPECT_EQ(folders[0].text, L"C:\\A");
}

}  // namespace
