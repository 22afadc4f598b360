// The Big view on Win32: a floating borderless window placed from big_title, or a child filling
// the band the layout reserves; its timers, its painting through an off-screen bitmap, the
// clock and battery text, the level meter, its menu and the idle pop-up. Main thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/command_ids.h"
#include "ui/big_view.h"

// What the Big view asks of the subsystems above it; filled by the start-up code.
struct BigViewHost {
    void* ctx = nullptr;
    void (*facts)(void* ctx, BigTrackFacts& out) = nullptr;
    bool (*playing)(void* ctx) = nullptr;
    std::wstring (*timeText)(void* ctx) = nullptr;  // "elapsed / total" as the title shows it
    // The last output block's peak levels, 0..32767 each; false when there is none.
    bool (*levels)(void* ctx, int& left, int& right) = nullptr;
    void (*meterRequest)(void* ctx, bool on) = nullptr;  // the engine measures levels
    void (*layout)(void* ctx) = nullptr;                 // the main window lays out again
    // The RSS reader's offers.
    bool (*rssUpdateIfDue)(void* ctx) = nullptr;
    void (*rssUpdateNow)(void* ctx) = nullptr;
    std::string (*rssNextTitle)(void* ctx) = nullptr;
    // "RSS update now (planned: HH:MM)".
    std::wstring (*rssUpdateNowText)(void* ctx) = nullptr;
};

void BigViewStartWin(HWND mainWindow, HINSTANCE instance, double dpiFactor,
                     const BigViewHost& host);
// bigViewShow: shows the view (manually) or closes it; embedded views relay the main window.
void BigViewShowWin(bool show);
// 0 closed, 1 shown by the idle time (closes on the next input), 2 shown manually.
int BigViewStateWin();
bool BigViewIsOpenWin();
// Whether an embedded view is open (the layout reserves its band).
bool BigViewEmbeddedOpenWin();
// The layout placed the band: the embedded view fills it.
void BigViewPlaceEmbeddedWin(int x, int y, int w, int h);
// bigViewTimers: 4 re-arms the update timer after 1000 ms; 0 and 1 stop it; 1 and higher
// restart it at the rate that fits the playing state.
void BigViewTimersWin(int mode);
// The idle rule, from the engine's periodic work while music plays.
void BigViewIdleCheckWin();
// Commands 416 (toggle), 851 (close).
void BigViewCommandWin(CommandId id, intptr_t lParam);
