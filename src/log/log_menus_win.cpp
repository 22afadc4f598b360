// Favourites and the history menus on the window: the add and remove commands with their
// messages, the popup menus built by the portable menu models, and what choosing an entry
// does. A menu entry's id (2000 on) reaches LogMenuEntryWin directly from these popups, and
// through the dispatcher's otherCommand from any other menu that shows the same entries.
#include <windows.h>

#include <algorithm>

#include "base/path.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "log/favourites.h"
#include "log/log_win.h"
#include "log/track_log.h"

namespace {

struct Menus {
    bool removeMode = false;
    std::vector<std::wstring> tracks, folders;  // what the history menus last offered
} g_menus;

const LogHost& Host() {
    return LogHostWin();
}

bool LoggingOn() {
    return !LogPathWin().empty() && (static_cast<uint32_t>(g_settings.logfile) & kLogfileOn);
}

int HistoryEntries() {
    return std::min<int>(g_settings.history, kLogHistoryMaxEntries);
}

void Add(const std::wstring& path, uint32_t positionMs) {
    if (path.empty() || IsUrl(path)) return;
    if (!FavouriteAdd(g_settings.fav_set, FavouriteEntry(positionMs, path))) {
        wchar_t text[96];
        swprintf(text, 96, L"Maximum number of bookmarks is %d.", kFavouriteSlots);
        MessageBoxW(LogOwnerWin(), text, L"Not possible", MB_OK | MB_ICONERROR);
    }
}

// Shows entries as a popup menu at the cursor; returns the chosen id, 0 for none.
unsigned Popup(const std::vector<MenuEntry>& entries, const wchar_t* heading) {
    HMENU m = CreatePopupMenu();
    if (heading) {
        AppendMenuW(m, MF_STRING | MF_GRAYED, 0, heading);
        AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    }
    for (const MenuEntry& e : entries)
        AppendMenuW(m, e.id ? MF_STRING : MF_SEPARATOR, e.id, e.id ? e.text.c_str() : nullptr);
    POINT pt{};
    GetCursorPos(&pt);
    HWND owner = LogOwnerWin();
    SetForegroundWindow(owner);
    const unsigned id = static_cast<unsigned>(
        TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr));
    DestroyMenu(m);
    return id;
}

std::vector<MenuEntry> FavouriteEntries() {
    FavouriteMenuEnv env;
    env.playable = [](void*, const std::wstring& p) {
        return Host().playable && Host().playable(Host().ctx, p);
    };
    env.trackTime = [](void*, uint32_t ms) {
        return Host().trackTime ? Host().trackTime(Host().ctx, ms) : LogMinutesText(ms);
    };
    return FavouritesMenu(g_settings.fav_set, env);
}

// The last 64 KB of the log (the history menus need no more); *cut when that is not all of it.
std::string LogTail(bool* cut) {
    std::string out;
    HANDLE h = CreateFileW(LogPathWin().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size)) {
        const int64_t from = std::max<int64_t>(0, size.QuadPart - int64_t{kLogHistoryTailBytes});
        LARGE_INTEGER at{};
        at.QuadPart = from;
        out.resize(static_cast<size_t>(size.QuadPart - from));
        DWORD got = 0;
        if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) ||
            !ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr))
            got = 0;
        out.resize(got);
        *cut = from > 0;
    }
    CloseHandle(h);
    return out;
}

// The folders of the remembered folder positions ("%d;%ls"), when that option is on.
std::vector<std::wstring> RememberedFolders() {
    std::vector<std::wstring> out;
    if (!(static_cast<uint32_t>(g_settings.control_flags) & ControlFlag::RememberFolderPos))
        return out;
    for (const std::wstring& e : g_settings.dir_history) {
        const size_t semi = e.find(L';');
        if (e.empty() || semi == e.npos) continue;
        out.push_back(PathFolder(e.substr(semi + 1)));
    }
    return out;
}

}  // namespace

void FavouriteCommandWin(CommandId id, intptr_t) {
    const LogHost& h = Host();
    std::wstring path;
    uint32_t ms = 0;
    switch (id) {
        case kCmdFavAddPosition:
            if (h.playingTrack && h.playingTrack(h.ctx, path, ms)) Add(path, ms);
            break;
        case kCmdFavAddTrack:
            if (h.focusedTrack && h.focusedTrack(h.ctx, path) && h.playable &&
                h.playable(h.ctx, path))
                Add(path, 0);
            break;
        case kCmdFavAddFolder:
            if (h.shownFolder && h.shownFolder(h.ctx, path)) Add(path, 0);
            break;
        case kCmdFavorites:
            if (const unsigned chosen = Popup(FavouriteEntries(), nullptr))
                LogMenuEntryWin(chosen, 0);
            break;
        case kCmdFavRemove:
            g_menus.removeMode = true;
            if (const unsigned chosen = Popup(FavouriteEntries(), L"Select favorite to remove:"))
                LogMenuEntryWin(chosen, 0);
            g_menus.removeMode = false;
            break;
        case kCmdFavRemoveAll:
            if (MessageBoxW(LogOwnerWin(), L"Delete all bookmarks?\r\n\r\nRestart recommended.",
                            L"Confirmation", MB_YESNO | MB_ICONQUESTION) == IDYES)
                for (std::wstring& e : g_settings.fav_set) e.clear();
            break;
        default:
            break;
    }
}

std::vector<MenuEntry> LogMenuEntriesWin(CommandId which) {
    if (which == kCmdFavorites) return FavouriteEntries();
    if (which == kCmdFolderHistory) {
        g_menus.folders = RememberedFolders();
        if (LoggingOn() && HistoryEntries() > 0) {
            bool cut = false;
            const std::string tail = LogTail(&cut);
            const auto logged = LogHistoryFolders(tail, HistoryEntries(), g_menus.folders, cut);
            g_menus.folders.insert(g_menus.folders.end(), logged.begin(), logged.end());
        }
        return HistoryMenu(g_menus.folders, kFolderHistoryFirstId, false);
    }
    if (!LoggingOn() || HistoryEntries() == 0) return {};
    bool cut = false;
    const std::string tail = LogTail(&cut);
    g_menus.tracks = LogHistoryTracks(tail, HistoryEntries(), cut);
    return HistoryMenu(g_menus.tracks, kTrackHistoryFirstId, true);
}

void HistoryCommandWin(CommandId id, intptr_t) {
    const std::vector<MenuEntry> entries = LogMenuEntriesWin(id);
    if (entries.empty()) return;
    if (const unsigned chosen = Popup(entries, nullptr)) LogMenuEntryWin(chosen, 0);
}

void LogMenuEntryWin(unsigned id, intptr_t) {
    const LogHost& h = Host();
    if (id >= kFavouriteFirstId && id < kFavouriteFirstId + kFavouriteSlots) {
        const int i = static_cast<int>(id - kFavouriteFirstId);
        if (g_menus.removeMode) {
            FavouriteRemove(g_settings.fav_set, i);
            return;
        }
        uint32_t ms = 0;
        std::wstring path;
        if (!FavouriteParse(g_settings.fav_set[i], ms, path)) return;
        if (h.playable && h.playable(h.ctx, path)) {
            if (h.playAt) h.playAt(h.ctx, path, ms);
        } else if (h.showFolder) {
            h.showFolder(h.ctx, path);
        }
        return;
    }
    if (id >= kTrackHistoryFirstId && id < kTrackHistoryFirstId + g_menus.tracks.size()) {
        if (h.playAt) h.playAt(h.ctx, g_menus.tracks[id - kTrackHistoryFirstId], 0);
        return;
    }
    if (id >= kFolderHistoryFirstId && id < kFolderHistoryFirstId + g_menus.folders.size()) {
        if (h.showFolder) h.showFolder(h.ctx, g_menus.folders[id - kFolderHistoryFirstId]);
    }
}
