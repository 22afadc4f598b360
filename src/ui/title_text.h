// The name of the current track as the window title and the HTTP control page show it, composed
// in one place so that the two always agree.
#pragma once
#include <string>

struct TrackTitleSource {
    bool trackLoaded = false;
    std::wstring lastFile;       // the current file's full path
    std::wstring displayName;    // the track's display title (Id3DisplayTitle of its tags)
    bool tagTitles = false;      // stylez "Tag titles instead of filename in title bar"
    bool pluginTrack = false;    // a plug-in plays it: its file name says little
};

// Empty while no track is loaded; the display title with tag titles or for a plug-in track
// (when it is not empty); otherwise the file name of lastFile (after its last '\').
std::wstring TrackTitleText(const TrackTitleSource& s);
