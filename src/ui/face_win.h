// The window's face on Win32: the toolbar, the slider row, the status bar, the divider strips,
// the layout pass, the compact view, the window placement, mouse-wheel routing and dark mode.
// Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "ui/toolbar.h"
#include "ui/view_ops.h"

// What the face asks of the subsystems above it; filled by the start-up code.
struct FaceHost {
    void* ctx = nullptr;
    // The list windows: 0 folder tree, 1 file list, 2 play list, 3 insert view (null: none).
    HWND (*listWindow)(void* ctx, int which) = nullptr;
    // The playing position in tenths of a percent of the audio range, -1 with no track.
    int (*positionPermille)(void* ctx) = nullptr;
    // Moves the track to that fraction (the seek rules of the playback control apply).
    void (*seekPermille)(void* ctx, int permille) = nullptr;
    void (*applyVolume)(void* ctx) = nullptr;  // `volume` changed by the slider
    void (*toolbarState)(void* ctx, ToolbarStateInput& out) = nullptr;
    // The cover picture window and its size; null when none is shown.
    HWND (*pictureWindow)(void* ctx, int& w, int& h) = nullptr;
};

struct FaceStart {
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    double dpiFactor = 1.0;
    int osMajorVersion = 10;
    const bool* startupPending = nullptr;  // while set, the window stays hidden
    std::wstring programFolder;            // where a custom toolbar bitmap file is looked for
    FaceHost host;
};

// Creates the status bar, the toolbar, the slider row and the divider strips (before the
// lists exist).
void FaceStartWin(const FaceStart& start);
// What the face offers the rest of the program.
ViewOps FaceOpsWin();

// The toolbar made anew after its settings changed (buttons, bitmap set, tooltips, padding).
void FaceRebuildToolbarWin();
// The layout pass: every child of the main window placed for its client size.
void FaceLayoutWin();
// True when the last full layout pass found the client area of this size: a size message
// that brings the same size has nothing to move.
bool FaceLaidOutAtWin(int clientW, int clientH);
// Saves the window's position and size into the settings (on hiding to the tray, at exit).
void FaceStorePlacementWin();
// WM_MOUSEWHEEL from the message loop: true when the face took it.
bool FaceRouteMouseWheelWin(const MSG& msg);
// WM_CTLCOLORSTATIC of the main window: true with the brush to return.
bool FaceCtlColorStaticWin(HDC dc, HWND control, LRESULT& brush);
// WM_NCHITTEST of the main window: the compact view without title bar is moved by its body.
bool FaceHitTestWin(LPARAM lParam, LRESULT& result);
// Commands 520, 424, 425 and 426: the compact view and its three options.
void FaceCompactCommandWin(CommandId id, intptr_t lParam);
// A status pane's text (0 left, 1 middle, 2 right).
void FaceSetStatusTextWin(int pane, const std::wstring& text);

// Dark mode: the frame, the tree and lists and their headers, and the app-wide preference
// (dark_win.cpp). undo: the option was switched off.
void ApplyDarkMode(bool childrenOnly, bool undo);
// After a settings change: the dark look made or undone when "Dark mode (if possible)" differs
// from what the window shows.
void DarkModeFollowSettingsWin();
// A dialog's dark frame, and dark scroll bars for one of its controls (may be null).
void ApplyDarkModeToDialog(HWND dialog, HWND control);
// The colours of a tool dialog's controls in dark mode (nothing otherwise). Dark: the window
// colour with light texts, the fields in the list colours. Plain: only with "Some more dark
// mode in dialogs", a light-grey background with the standard texts and fields.
enum class DialogLook { Dark, Plain };
void PaintDialogDarkWin(HWND dialog, DialogLook look);
// Called by FaceStartWin: what dark mode needs to know.
void DarkModeStartWin(HWND mainWindow, int osMajorVersion, double dpiFactor,
                      HWND (*listWindow)(void* ctx, int which), void* ctx);
