// How the main window's dispatcher reaches the subsystems: one table per subsystem, each
// declared by the subsystem that offers it, filled once by the start-up code
// (app/wiring_win.cpp) and never changed afterwards. Tests fill the same tables with fakes.
// A null entry is a step of a subsystem that is not built yet: the dispatcher skips it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "audio/playback_ops.h"
#include "base/command_ids.h"
#include "feeds/feeds_ops.h"
#include "http/http_ops.h"
#include "library/library_ops.h"
#include "log/log_ops.h"
#include "ui/view_ops.h"

// The windows that Esc closes and the commands ask about.
enum class AppWindow : uint8_t { BigView, BeatCounter, IntroScan, InsertView, Playlist, Count };

struct WindowOps {
    void* ctx = nullptr;
    bool (*isOpen)(void* ctx) = nullptr;
    void (*close)(void* ctx) = nullptr;  // as its close box would
};

// A command that another subsystem answers. lParam is the WM_COMMAND's.
using CommandHandler = void (*)(CommandId id, intptr_t lParam);

struct CommandRoute {
    CommandId id;
    CommandHandler run;
};

struct AppWiring {
    PlaybackOps playback;  // audio/: engine, playback control, intro scan
    ListOps lists;         // library/: folder tree, File view, Playlist view, Insert view
    TrackOps tracks;       // library/: sequencing
    ViewOps view;          // ui/: layout, texts, toolbar, status bar, picture, Big view
    FeedsOps feeds;        // feeds/: the RSS reader (the Big view asks it)
    LogOps log;            // log/: the track log
    HttpOps http;          // http/: the control server and the live stream
    WindowOps windows[static_cast<size_t>(AppWindow::Count)];
    // The commands the dispatcher does not answer itself, by number (RouteCommands).
    CommandHandler commands[kCommandSlots] = {};
    // Numbers from kCommandSlots on: favourites and history entries.
    void (*otherCommand)(unsigned id, intptr_t lParam) = nullptr;
};

// Whether the dispatcher answers the command itself (dispatch.cpp).
bool DispatcherAnswers(CommandId id);

// Fills w.commands from the route table. Returns the first route that is refused (a number out
// of range, one the dispatcher answers itself, or one routed twice), or null when all are taken.
const CommandRoute* RouteCommands(AppWiring& w, const CommandRoute* routes, size_t n);
