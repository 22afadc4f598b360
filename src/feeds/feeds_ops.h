// What the RSS reader offers the Big view: the planned update, the title hand-out and the
// "RSS update now" entry. One table, filled once by the start-up code; main thread only.
#pragma once
#include <cstdint>
#include <string>

struct FeedsOps {
    void* ctx = nullptr;
    // When the planned time has come: plans the next update and starts rebuilding "Zuvorss.xml"
    // from every feed on a worker thread; true when it started. FeedsHost::updated tells the end.
    bool (*updateIfDue)(void* ctx) = nullptr;
    // "RSS update now": the titles start again from the first, and the next refresh downloads.
    void (*updateNow)(void* ctx) = nullptr;
    // The next title of the local file (UTF-8), empty when there is none.
    std::string (*nextTitle)(void* ctx) = nullptr;
    // The planned time of the next update, an RssStamp (for the menu entry's text).
    uint32_t (*planned)(void* ctx) = nullptr;
};

// What the RSS reader needs from above: error.log, and the end of an update (on the window
// thread; written: the new file is in place).
struct FeedsHost {
    void* ctx = nullptr;
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;
    void (*updated)(void* ctx, bool written) = nullptr;
};
