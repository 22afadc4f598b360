// The save dialog's proposal, the extension of the chosen filter, the status text, and the
// caption of a playing cue list with the rule that only a change in its first 100
// characters counts.
#include <gtest/gtest.h>

#include "library/playlist_write.h"

namespace {

TEST(PlayListWrite, DialogProposesLastFileUnlessDestinationsAreForgotten) {
    struct Case {
        int32_t flags;
        std::wstring last, folder, name;
    } cases[] = {
        {0, L"", L"D:\\Music", L""},
        {0, L"E:\\Lists\\party.m3u8", L"E:\\Lists", L"E:\\Lists\\party.m3u8"},
        {SystemFlag::NoRememberDest, L"E:\\Lists\\party.m3u8", L"D:\\Music", L""},
        {SystemFlag::HideDriveA, L"E:\\x.m3u", L"E:", L"E:\\x.m3u"},  // another bit changes nothing
    };
    for (const Case& c : cases) {
        Settings s;
        s.browsed_folder = L"D:\\Music";
        s.system_flags = c.flags;
        const PlayListDialogStart d = PlayListDialogProposal(s, c.last);
        EXPECT_EQ(d.folder, c.folder) << c.last;
        EXPECT_EQ(d.name, c.name) << c.last;
    }
}

TEST(PlayListWrite, ChosenFilterAddsItsExtensionOnlyWhenNoneIsTyped) {
    struct Case {
        std::wstring typed;
        int filter;
        std::wstring out;
    } cases[] = {
        {L"C:\\L\\mix", 1, L"C:\\L\\mix.m3u"},
        {L"C:\\L\\mix", 2, L"C:\\L\\mix.m3u8"},
        {L"C:\\L\\mix.m3u8", 1, L"C:\\L\\mix.m3u8"},
        {L"C:\\L\\mix.txt", 2, L"C:\\L\\mix.txt"},
        {L"C:\\a.b\\mix", 2, L"C:\\a.b\\mix.m3u8"},  // a dot in a folder is no extension
        {L"C:\\L\\", 1, L"C:\\L\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlayListWithExtension(c.typed, c.filter), c.out) << c.typed;
    EXPECT_EQ(PlayListAddedText(3), L"3 track(s) added.");
}

}  // namespace
