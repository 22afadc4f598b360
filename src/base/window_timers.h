// The timers of the main window, by identifier. Several subsystems start and answer them, so
// every number is written here once. Dialogs and tool windows keep timers of their own.
#pragma once

enum MainTimer : unsigned {
    kTimerDelayedStart = 1809,   // starts last_file at the resume position (last_pos)
    kTimerEngineAction = 1810,   // carries out the engine's pending action
    kTimerPluginStart = 2350,    // the input plug-in's start-up steps, every 50 ms
    kTimerShowWindow = 2681,     // shows the main window after start-up
    kTimerWindowShown = 2682,    // the tooltips, once the shown window is first painted
    kTimerAutosave = 2710,       // saves everything every five minutes while playing
    kTimerListFolder = 2983,     // lists browsed_folder after a tree selection
    kTimerShowLatest = 3370,     // shows the window 3 s after start at the latest
    kTimerCueFollow = 5310,      // follows a playing cue sheet every half second
    kTimerDsFeed = 6991,         // feeds DirectSound every 50 ms
    kTimerStatusMessage = 8000,  // ends a passing status-bar message
};
