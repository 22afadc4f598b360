// The ID3v1 write on real files (audio bytes and file times kept, a file in use left as it
// was) and the "Tag ID3" dialog driven from a second thread: its Save writes what its fields
// say, and its raw view shows the file's ID3v2 frames.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "tags/id3_edit_win.h"
#include "tags/id3v1_edit.h"
#include "win_test_util.h"

namespace {

const FILETIME kOld{0x12345678, 0x01C00000};  // a time long past, with a low part that shows

void SetTimes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME created = kOld, written = kOld;
    written.dwHighDateTime += 3;
    SetFileTime(h, &created, nullptr, &written);
    CloseHandle(h);
}

void GetTimes(const std::wstring& path, FILETIME& created, FILETIME& written) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, &created, nullptr, &written);
    CloseHandle(h);
}

std::string Tag(const char* title) {
    Id3v1Fields f;
    f.title = title;
    uint8_t raw[128];
    Id3v1Build(f, raw);
    return std::string(reinterpret_cast<char*>(raw), 128);
}

TEST(Id3EditWin, SaveKeepsAudioAndTimes) {
    const std::wstring folder = ScratchFolder(L"id3edit");
    const std::string audio(5000, '\x33');
    struct Case {
        const char* name;
        std::string before;
        std::string tag;  // empty: remove
        std::string after;
    } cases[] = {
        {"append", audio, Tag("One"), audio + Tag("One")},
        {"replace", audio + Tag("One"), Tag("Two"), audio + Tag("Two")},
        {"remove", audio + Tag("Two"), "", audio},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder + L"\\t\u00e9st.mp3";
        WriteBytes(path, c.before);
        SetTimes(path);
        FILETIME c0, w0, c1, w1;
        GetTimes(path, c0, w0);
        ASSERT_TRUE(Id3v1SaveFileWin(path.c_str(),
                                     c.tag.empty() ? nullptr : reinterpret_cast<const uint8_t*>(c.tag.data())));
        EXPECT_EQ(ReadBytes(path), c.after);
        GetTimes(path, c1, w1);
        EXPECT_EQ(CompareFileTime(&c0, &c1), 0);
        EXPECT_EQ(CompareFileTime(&w0, &w1), 0);
    }
}

TEST(Id3EditWin, FileInUseIsLeftAsItWas) {
    const std::wstring path = ScratchFolder(L"id3busy") + L"\\busy.mp3";
    WriteBytes(path, std::string(300, 'a'));
    // Another program reads it and lets nobody write meanwhile.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const std::string tag = Tag("X");
    EXPECT_FALSE(Id3v1SaveFileWin(path.c_str(), reinterpret_cast<const uint8_t*>(tag.data())));
    EXPECT_FALSE(Id3v1SaveFileWin(path.c_str(), nullptr));
    CloseHandle(reader);
    EXPECT_EQ(ReadBytes(path), std::string(300, 'a'));
}

HWND WaitForDialog() {
    for (int i = 0; i < 500; ++i) {
        HWND dlg = FindWindowW(nullptr, L"Tag ID3");
        if (dlg && GetDlgItem(dlg, 120)) return dlg;
        Sleep(10);
    }
    return nullptr;
}

TEST(Id3EditWin, DialogSavesItsFieldsAndShowsTheRawView) {
    const std::wstring path = ScratchFolder(L"id3dlg") + L"\\song.mp3";
    // An ID3v2.3 tag with a title and a link, then "audio", then an ID3v1 tag.
    std::string frames = std::string("TIT2") + std::string("\0\0\0\x06\0\0", 6) + std::string("\0Hello", 6);
    frames += std::string("WXXX") + std::string("\0\0\0\x12\0\0", 6) + "http://a.example/x";
    std::string v2 = std::string("ID3\x03\0\0\0\0\0", 9) + static_cast<char>(frames.size() + 16) + frames +
                     std::string(16, '\0');
    Id3v1Fields old;
    old.title = "Old title";
    old.track = 4;
    old.genre = "Jazz";
    uint8_t oldRaw[128];
    Id3v1Build(old, oldRaw);
    const std::string audio(3000, '\x44');
    WriteBytes(path, v2 + audio + std::string(reinterpret_cast<char*>(oldRaw), 128));

    std::wstring shownTitle, view;
    int shownGenre = -1;
    std::thread driver([&] {
        HWND dlg = WaitForDialog();
        if (!dlg) return;
        wchar_t buf[4096];
        GetDlgItemTextW(dlg, 101, buf, 4096);
        shownTitle = buf;
        shownGenre = static_cast<int>(SendDlgItemMessageW(dlg, 107, CB_GETCURSEL, 0, 0));
        GetDlgItemTextW(dlg, 120, buf, 4096);
        view = buf;
        SetDlgItemTextW(dlg, 101, L"New title");
        SetDlgItemTextW(dlg, 105, L"");
        SetDlgItemTextW(dlg, 106, std::wstring(30, L'c').c_str());
        SendDlgItemMessageW(dlg, 107, CB_SETCURSEL, 0, 0);  // the empty entry: no genre
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(110, BN_CLICKED), 0);
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    uint8_t raw[128];
    std::memcpy(raw, oldRaw, 128);
    Id3TagDialogWin(nullptr, path.c_str(), raw);
    driver.join();

    EXPECT_EQ(shownTitle, L"Old title");
    EXPECT_EQ(shownGenre, 1 + 8);  // after the empty entry, Jazz is number 8
    EXPECT_NE(view.find(L"ID3v2.3 raw strings"), std::wstring::npos) << view.c_str();
    EXPECT_NE(view.find(L"TIT2\tHello"), std::wstring::npos) << view.c_str();
    EXPECT_NE(view.find(L"WXXX\thttp://a.example/x"), std::wstring::npos) << view.c_str();

    Id3v1Fields want;
    want.title = "New title";
    want.comment = std::string(30, 'c');
    uint8_t wantRaw[128];
    Id3v1Build(want, wantRaw);
    const std::string wantTail(reinterpret_cast<char*>(wantRaw), 128);
    EXPECT_EQ(ReadBytes(path), v2 + audio + wantTail);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(raw), 128), wantTail);
}

}  // namespace
