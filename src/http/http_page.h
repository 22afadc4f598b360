// The control page: a snapshot of the player's state in, the page's UTF-8 bytes out. Every text
// that comes from a file, a tag or the settings is HTML-escaped, and the page never grows past
// kHttpPageMax bytes whatever the titles: list rows that no longer fit are left out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kHttpPageMax = 4500;
constexpr int kHttpListWindow = 10;  // list rows shown around the current one

struct HttpPageItem {
    std::wstring text;
    bool readable = true;  // false: the row's text could not be read; it is skipped
};

// Taken on the window thread; the accept thread only reads its own copy.
struct HttpPageState {
    std::wstring title;             // the display title; empty while no track is loaded
    std::wstring filePath;          // the current file, empty when there is none
    std::wstring elapsed, total;    // time texts of the current track (or cue entry)
    bool playing = false;
    bool playlistActive = false;    // the active list is the play list
    std::wstring folderPath;        // the current folder
    bool cueList = false;           // the active list is a cue sheet: items are its titles
    int current = 0;                // the active list's current row
    std::vector<HttpPageItem> items;  // the rows HttpListWindow names, in order
    uint32_t colorBack = 0, colorText = 0, colorTrack = 0;  // 0x00BBGGRR
    std::string address;            // the server address part of the settings
};

// The rows the page lists: [first, end) around `current` of `count`.
struct HttpWindowRange {
    int first = 0, end = 0;
};
HttpWindowRange HttpListWindow(int current, int count);

// "#rrggbb" of a Windows colour reference.
std::string HttpColour(uint32_t colorRef);

// The text as UTF-8 with & < > " escaped (every attribute of the page is in double quotes), cut after maxChars characters.
std::string HttpEscape(const std::wstring& text, size_t maxChars);

std::string HttpBuildPage(const HttpPageState& s);
