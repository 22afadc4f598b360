#include "library/subfolder_walk_win.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "audio/file_info.h"
#include "base/dialog_win.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "library/folder_ops_win.h"
#include "library/info_scan_win.h"
#include "library/library_win.h"
#include "library/list_text.h"
#include "library/row_commands.h"
#include "library/track_list.h"

extern Settings g_settings;

namespace {

constexpr UINT kMsgProgress = WM_APP + 22;  // wParam: the walk's serial; lParam: files found
constexpr UINT kMsgDone = WM_APP + 23;      // wParam: the walk's serial
constexpr DWORD kProgressEveryMs = 100;     // a short walk shows no progress at all

struct Walk {
    // Taken on the window thread before the worker starts; the worker reads only these.
    std::wstring folder;
    Settings settings;
    std::string playable;
    FolderOps fs{};
    HWND window = nullptr;
    WPARAM serial = 0;
    std::atomic<bool> stop{false};
    DWORD lastProgress = 0;  // the worker's own
    SubfolderResult result;  // the worker's until it has been joined
    std::thread worker;
};

HWND g_window = nullptr;
std::unique_ptr<Walk> g_walk;
WPARAM g_serial = 0;

// ---- the worker ----

void Progress(void* ctx, size_t files, size_t) {
    auto* w = static_cast<Walk*>(ctx);
    const DWORD now = GetTickCount();
    if (now - w->lastProgress < kProgressEveryMs) return;
    w->lastProgress = now;
    PostMessageW(w->window, kMsgProgress, w->serial, static_cast<LPARAM>(files));
}

void Run(Walk* w) {
    w->lastProgress = GetTickCount();
    w->result = SubfolderContent(w->fs, w->folder, w->settings, w->playable, {},
                                 SubfolderWatch{&w->stop, Progress, w});
    PostMessageW(w->window, kMsgDone, w->serial, 0);
}

// ---- the window thread ----

void ShowMessage(const std::wstring& text, int ms) {
    const LibraryHost& h = LibraryHostWin();
    if (h.showMessage) h.showMessage(h.ctx, text.c_str(), ms);
}

// The progress text stays until the walk ends: then the status bar shows its flags again.
void EndProgress() {
    const LibraryHost& h = LibraryHostWin();
    if (h.updateFlags) h.updateFlags(h.ctx);
}

// The found rows as a saved list in the File view, sorted as the settings say.
void Fill(SubfolderResult& found) {
    TrackList& files = LibraryFileView();
    const HWND view = static_cast<HWND>(files.window);
    EndProgress();
    if (!view) return;
    (void)InfoScanStopWin();
    const ListEnv env = LibraryListEnvWin();
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    SetSavedFolderRows(files, std::move(found.rows), g_settings);
    files.sortByte = SortByteOf(files, g_settings);
    (void)Resort(files, env);
    if (!g_settings.last_file.empty()) files.currentRow = FindRow(files, g_settings.last_file);
    ApplyListWidths(files, g_settings);
    RewriteHeaders(files);
    if (files.view.rowsChanged) files.view.rowsChanged(files.view.ctx);
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
    if (env.hooks.listChanged) env.hooks.listChanged(env.hooks.ctx, files);
    if (found.cut)
        ShowMessage(L"Only the first " + std::to_wstring(files.rows.size()) + L" files of " +
                        std::to_wstring(found.folders) + L" folders listed",
                    4000);
    if (static_cast<uint32_t>(g_settings.list_style) & ListStyle::AlwaysScanInfo)
        InfoScanStartWin(files, true);
}

LRESULT CALLBACK WalkProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kMsgProgress && msg != kMsgDone) return DefWindowProcW(window, msg, wp, lp);
    // A stopped walk's messages may still arrive after it: they no longer count.
    if (!g_walk || wp != g_walk->serial) return 0;
    if (msg == kMsgProgress) {
        ShowMessage(L" Reading folders... " + GroupedDigits(static_cast<uint64_t>(lp)) + L" files",
                    0);
        return 0;
    }
    // The worker has posted its last message and is ending: the join is at once.
    const std::unique_ptr<Walk> done = std::move(g_walk);
    done->worker.join();
    Fill(done->result);
    return 0;
}

}  // namespace

bool SubfolderWalkRunningWin() {
    return g_walk != nullptr;
}

bool SubfolderWalkStopWin() {
    if (!g_walk) return false;
    const std::unique_ptr<Walk> stopped = std::move(g_walk);
    stopped->stop = true;
    stopped->worker.join();
    EndProgress();
    return true;
}

void SubfolderWalkStartWin(const std::wstring& folder) {
    (void)SubfolderWalkStopWin();
    if (!g_window) g_window = MessageWindowWin(L"ZuvoSubfolderWalk", WalkProc);
    if (!g_window) return;
    auto w = std::make_unique<Walk>();
    w->folder = folder;
    w->settings = g_settings;
    w->playable = g_playableExtensions;
    w->fs = Win32FolderOps();
    w->window = g_window;
    w->serial = ++g_serial;
    Walk* raw = w.get();
    try {
        w->worker = std::thread(Run, raw);
    } catch (const std::system_error&) {
        return;  // no thread: nothing is listed
    }
    g_walk = std::move(w);
}
