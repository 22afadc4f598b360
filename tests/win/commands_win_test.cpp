// Every command that a menu, the toolbar, a key of the accelerator table, a global hotkey or
// the web page can send has a handler: the dispatcher's own answer or a route of the start-up's table.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "app/app_win.h"
#include "config/settings_bits.h"
#include "http/http_router.h"
#include "ui/hotkeys.h"
#include "ui/menus.h"
#include "ui/toolbar.h"

namespace {

using Sources = std::map<unsigned, std::string>;  // command -> where it was found

void Collect(const Menu& m, const char* where, Sources& out) {
    for (const MenuItem& i : m) {
        // Id 0 marks a greyed line of text (the playing stream's title), not a command.
        if (i.kind == MenuItem::Command && i.id != 0 && i.id < kCommandSlots)
            out.emplace(i.id, where);
        Collect(i.items, where, out);
    }
}

// The menus with their facts both plain and with every option and state on that adds items.
Sources MenuCommands() {
    static const LangState lang;
    Sources out;
    MenuFacts full;
    full.stylez = full.controlFlags = full.systemFlags = full.compactView = full.listStyle =
        full.waveFlags = full.logfile = 0xFFFFFFFF;
    full.trackLoaded = full.trackPlaying = full.bigViewOpen = full.pictureShown = true;
    for (MenuFacts f : {MenuFacts{}, full}) {
        for (bool statusBar : {false, true}) {
            f.statusBarClick = statusBar;
            Collect(MainMenu(f, lang), "main menu", out);
            Collect(OptionsMenu(f, lang), "options menu", out);
            Collect(RepeatMenu(f, lang), "repeat menu", out);
            Collect(TrayMenu(f, lang), "tray menu", out);
        }
    }
    for (int kind : {0, 1, 2, 3}) {
        for (bool on : {false, true}) {
            RowFacts r;
            r.listKind = kind;
            r.playingStream = r.streamHasWebsite = !on;
            r.fileListShowsFolder = r.singleTrack = r.playableFile = r.playlistExists =
                r.fileListFocused = r.inPlaylistPane = on;
            r.infoRow = 8u << 10;  // the notes column
            r.controlFlags = 1;
            for (std::wstring& l : r.launch) l = L"0prog.exe";
            Collect(RowMenu(r, lang), "row menu", out);
        }
    }
    for (bool folder : {true, false}) {
        TreeFacts t;
        t.folder = t.streamPlaying = t.downloadRunning = folder;
        t.listFile = !folder;
        t.baseFolder = folder ? L"C:\\" : L"";
        for (std::wstring& l : t.launch) l = L"0prog.exe";
        Collect(TreeMenu(t, lang), "tree menu", out);
    }
    return out;
}

TEST(Commands, EveryCommandAUserCanSendHasAHandler) {
    Sources sent = MenuCommands();
    ASSERT_GT(sent.size(), 60u) << "the menus were not walked";
    for (const ToolbarButtonDef& b : kToolbarButtons) sent.emplace(b.command, "toolbar");

    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(750));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> keys(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, keys.data(), static_cast<int>(keys.size()));
    ASSERT_GT(keys.size(), 50u);
    for (const ACCEL& a : keys) sent.emplace(a.cmd, "accelerator table");
    for (int slot = 1; slot <= kHotkeySlots; ++slot) sent.emplace(HotkeyCommand(slot), "hotkey");
    for (const char* path : {"/res", "/prv", "/nxt", "/rew", "/fwd", "/vdn", "/vup", "/dprv",
                             "/dnxt", "/home"}) {
        const std::string request = std::string("GET ") + path + " HTTP/1.1\r\n\r\n";
        const HttpRoute r =
            HttpRouteRequest(reinterpret_cast<const uint8_t*>(request.data()), request.size());
        ASSERT_NE(r.command, 0u) << path;
        sent.emplace(r.command, std::string("web page ") + path);
    }

    for (const auto& [id, where] : sent)
        EXPECT_TRUE(CommandHasHandlerWin(id))
            << "command " << id << " (" << where << ") has no handler";
    EXPECT_FALSE(CommandHasHandlerWin(kCommandSlots - 1));  // the check can say no
}

}  // namespace
