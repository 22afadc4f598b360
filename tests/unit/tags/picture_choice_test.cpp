#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tags/picture_choice.h"

namespace {

// Folders and their files, in listing order.
using Listing = std::map<std::wstring, std::vector<std::wstring>>;

PictureFolders Fs(const Listing& listing) {
    PictureFolders fs;
    fs.ctx = const_cast<Listing*>(&listing);
    fs.listJpg = [](void* c, const std::wstring& folder) {
        std::vector<std::wstring> out;
        const auto& l = *static_cast<Listing*>(c);
        auto it = l.find(folder);
        if (it == l.end()) return out;
        for (const std::wstring& n : it->second)
            if (n.size() > 4 && (n.substr(n.size() - 4) == L".jpg" || n.substr(n.size() - 4) == L".JPG"))
                out.push_back(n);
        return out;
    };
    fs.exists = [](void* c, const std::wstring& path) {
        const auto& l = *static_cast<Listing*>(c);
        const size_t slash = path.rfind(L'\\');
        auto it = l.find(path.substr(0, slash));
        if (it == l.end()) return false;
        for (const std::wstring& n : it->second)
            if (n == path.substr(slash + 1)) return true;
        return false;
    };
    return fs;
}

std::wstring Describe(const PictureChoice& c) {
    switch (c.source) {
        case PictureSource::kNone: return L"none";
        case PictureSource::kTag: return L"tag";
        case PictureSource::kIcon: return L"icon";
        case PictureSource::kFile: return c.path;
    }
    return L"?";
}

PictureRequest Req(std::wstring browsed, bool plainList, bool bigView, std::wstring track,
                   bool tag = false, bool standard = false, std::wstring settings = L"") {
    return {browsed, plainList, bigView, track, tag, standard, settings};
}

TEST(PictureChoice, ChoosesInOrder) {
    const Listing listing = {
        {L"C:\\Live", {L"Intro.jpg", L"folder.jpg", L"cover.jpg", L"Intro.mp3", L"Song.mp3"}},
        {L"C:\\Plain", {L"cover.jpg", L"back.jpg"}},
        {L"C:\\Bare", {L"a.mp3"}},
        {L"C:\\Sheet", {L"x.jpg"}},
        {L"C:\\Set", {L"cover.jpg"}},
    };
    const PictureSetting setting = ParsePictureSetting("00150,folder.jpg;cover.jpg");
    struct Case {
        const char* name;
        PictureRequest req;
        std::wstring want;
    } cases[] = {
        {"track picture by name", Req(L"C:\\Live", true, false, L"C:\\Live\\Intro.mp3"),
         L"C:\\Live\\Intro.jpg"},
        {"track picture by leading part, any case",
         Req(L"C:\\Live", true, false, L"C:\\Live\\INTRO (live).mp3"), L"C:\\Live\\Intro.jpg"},
        {"other tracks: the first folder picture of the list",
         Req(L"C:\\Live", true, false, L"C:\\Live\\Song.mp3"), L"C:\\Live\\folder.jpg"},
        {"second name of the list", Req(L"C:\\Plain", true, false, L"C:\\Plain\\t.mp3"),
         L"C:\\Plain\\cover.jpg"},
        {"tag picture beats the folder", Req(L"C:\\Live", true, false, L"C:\\Live\\Intro.mp3", true),
         L"tag"},
        {"track outside the browsed folder: folder pictures there only, no tag",
         Req(L"C:\\Plain", true, false, L"D:\\Other\\Intro.mp3", true), L"C:\\Plain\\cover.jpg"},
        {"a play list looks beside the track", Req(L"C:\\Lists", false, false, L"C:\\Live\\Song.mp3"),
         L"C:\\Live\\folder.jpg"},
        {"the Big view's picture area looks beside the track",
         Req(L"C:\\Plain", true, true, L"C:\\Live\\Intro.mp3"), L"C:\\Live\\Intro.jpg"},
        {"a cue sheet means its folder",
         Req(L"C:\\Plain\\album.cue", true, false, L"C:\\Plain\\album.flac"), L"C:\\Plain\\cover.jpg"},
        {"nothing found, no fallback", Req(L"C:\\Bare", true, false, L"C:\\Bare\\a.mp3"), L"none"},
        {"settings folder fallback",
         Req(L"C:\\Bare", true, false, L"C:\\Bare\\a.mp3", false, true, L"C:\\Set"), L"C:\\Set\\cover.jpg"},
        {"icon when the settings folder has none either",
         Req(L"C:\\Bare", true, false, L"C:\\Bare\\a.mp3", false, true, L"C:\\Sheet"), L"icon"},
    };
    const PictureFolders fs = Fs(listing);
    for (const Case& c : cases)
        EXPECT_EQ(Describe(ChoosePicture(c.req, setting, fs)), c.want) << c.name;
}

TEST(PictureChoice, SettingText) {
    struct Case {
        const char* text;
        int height;
        std::vector<std::wstring> names;
    } cases[] = {
        {"00150,folder.jpg;cover.jpg", 150, {L"folder.jpg", L"cover.jpg"}},
        {"00300,a.bmp;;b.jpg;", 300, {L"a.bmp", L"b.jpg"}},
        {"abcde,x.jpg", 150, {L"x.jpg"}},
        {"00080", 80, {}},
    };
    for (const Case& c : cases) {
        const PictureSetting s = ParsePictureSetting(c.text);
        EXPECT_EQ(s.height, c.height) << c.text;
        EXPECT_EQ(s.names, c.names) << c.text;
    }
}

TEST(PictureChoice, SizeFollowsTheAspectRatio) {
    struct Case {
        int picW, picH, setting, pane, embedded;
        int w, h;
    } cases[] = {
        {600, 600, 150, 400, 0, 150, 150},
        {800, 400, 150, 400, 0, 300, 150},
        {1600, 400, 150, 400, 0, 400, 100},   // too wide: the pane's width, height follows
        {400, 800, 150, 400, 0, 75, 150},
        {300, 200, 150, 400, 240, 360, 240},  // embedded Big view: its height
        {0, 100, 150, 400, 0, 0, 0},
        {60000, 60000, 30000, 0, 0, 30000, 30000},
    };
    for (const Case& c : cases) {
        const PictureBox b = FitPicture(c.picW, c.picH, c.setting, c.pane, c.embedded);
        EXPECT_EQ(b.width, c.w) << c.picW << "x" << c.picH;
        EXPECT_EQ(b.height, c.h) << c.picW << "x" << c.picH;
    }
    EXPECT_EQ(IconSide(150, 100, 0), 100);
    EXPECT_EQ(IconSide(150, 400, 0), 150);
    EXPECT_EQ(IconSide(150, 100, 220), 220);
}

TEST(PictureChoice, EqualSizeCountsAsTheSamePicture) {
    const PictureShown shown{L"C:\\a\\folder.jpg", 1000};
    struct Case {
        const char* name;
        std::wstring path;
        uint64_t size;
        bool forced, load;
    } cases[] = {
        {"same path on a track change", L"C:\\a\\folder.jpg", 2000, false, false},
        {"replaced by a file of equal size", L"C:\\b\\folder.jpg", 1000, false, false},
        {"forced reload", L"C:\\a\\folder.jpg", 1000, true, true},
        {"another size", L"C:\\b\\folder.jpg", 1001, false, true},
        {"tag picture of another size", L"", 1001, false, true},
    };
    for (const Case& c : cases) EXPECT_EQ(PictureNeedsLoad(shown, c.path, c.size, c.forced), c.load) << c.name;
}

}  // namespace
