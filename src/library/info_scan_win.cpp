#include "library/info_scan_win.h"

#include <atomic>
#include <string>

#include "audio/bass_win.h"
#include "audio/mpeg_file_win.h"
#include "audio/plugin_host_win.h"
#include "base/dialog_win.h"
#include "config/settings.h"
#include "library/info_scan.h"
#include "library/library_win.h"
#include "library/list_text.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"

extern Settings g_settings;

namespace {

constexpr UINT kMsgRequest = WM_APP + 21;

// A request of the scan thread, carried out on the window thread.
struct Request {
    enum Kind { SizeCell, RowPath, PluginLength, BassScan, SetRow, Finish };
    explicit Request(Kind k) : kind(k) {}
    Kind kind;
    int row = 0;
    std::wstring text, path;
    const std::wstring *size = nullptr, *info = nullptr;
    InfoFacts* facts = nullptr;
    bool flagA = false, flagB = false;
    int result = 0;
};

struct Scan {
    HWND window = nullptr;  // the message-only window of the requests
    HANDLE thread = nullptr;
    std::atomic<bool> stop{false};
    TrackList* list = nullptr;
    Settings settings;  // a copy taken at the start
    bool resort = false;
    uint8_t sortByte = 0;
    int rows = 0;
};
Scan g_scan;

void Handle(Request& r) {
    TrackList* list = g_scan.list;
    if (!list || g_scan.stop.load()) return;  // a stopped scan changes nothing more
    const bool inRange = r.row >= 0 && r.row < static_cast<int>(list->rows.size());
    switch (r.kind) {
    case Request::SizeCell:
        if (inRange) r.text = list->rows[r.row].cell[1];
        break;
    case Request::RowPath:
        r.result = inRange ? ::RowPath(*list, r.row, r.path, false) : 0;
        break;
    case Request::PluginLength:
        r.result = PluginLengthMsWin(r.path.c_str());
        break;
    case Request::BassScan: {
        BassScanFacts b;
        r.result = BassScanInfoWin(r.path.c_str(), b);
        if (r.result) {
            r.facts->lengthMs = b.lengthMs;
            r.facts->bitrateBps = b.bitrateBps;
            r.facts->sampleRate = b.rate;
            r.facts->channelMode = b.channelMode;
            r.facts->artist = b.tags.artist;
            r.facts->title = b.tags.title;
            r.facts->track = b.tags.track;
            r.facts->year = b.tags.year;
            r.facts->album = b.tags.album;
        }
        break;
    }
    case Request::SetRow:
        if (!inRange) break;
        if (r.size) list->rows[r.row].cell[1] = *r.size;
        if (r.info) list->rows[r.row].cell[4] = *r.info;
        if (list->view.rowChanged) list->view.rowChanged(list->view.ctx, r.row);
        break;
    case Request::Finish: {
        if (r.flagA) list->timeColumn = 1;
        RewriteHeaders(*list);
        const ListEnv env = LibraryListEnvWin();
        if (r.flagB) (void)Resort(*list, env);
        if (list->view.rowsChanged) list->view.rowsChanged(list->view.ctx);
        if (env.hooks.listChanged) env.hooks.listChanged(env.hooks.ctx, *list);
        break;
    }
    }
}

LRESULT CALLBACK RequestProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgRequest) {
        Handle(*reinterpret_cast<Request*>(lp));
        return 1;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

void Ask(Request& r) {
    SendMessageW(g_scan.window, kMsgRequest, 0, reinterpret_cast<LPARAM>(&r));
}

// ---- the walk's table (scan thread) ----

std::wstring SizeCellOf(void*, int row) {
    Request r(Request::SizeCell);
    r.row = row;
    Ask(r);
    return r.text;
}

bool RowPathOf(void*, int row, std::wstring& path) {
    Request r(Request::RowPath);
    r.row = row;
    Ask(r);
    path = r.path;
    return r.result == 1 && !IsUrlExact(path);
}

int KindOf(void*, const std::wstring& path) {
    return PathPlayableKind(path, g_playableExtensions);
}

bool ScanMpeg(void*, const std::wstring& path, bool tags, InfoFacts& f) {
    MpegFileFacts m;
    if (!MpegScanFileWin(path.c_str(), tags, m) || !(m.avgBitrate > 0)) return false;
    f.lengthMs = ScanLengthMs(m.fileSize, m.audioBeg, m.avgBitrate);
    f.bitrateBps = m.avgBitrate;
    f.sampleRate = m.sampleRate;
    f.channelMode = m.channelMode;
    f.id3v1 = m.id3v1;
    f.id3v2 = m.id3v2;
    f.artist = m.artist;
    f.title = m.title;
    f.track = m.track;
    f.year = m.year;
    f.album = m.album;
    return true;
}

int PluginLength(void*, const std::wstring& path) {
    Request r(Request::PluginLength);
    r.path = path;
    Ask(r);
    return r.result;
}

bool BassScan(void*, const std::wstring& path, InfoFacts& f) {
    Request r(Request::BassScan);
    r.path = path;
    r.facts = &f;
    Ask(r);
    return r.result != 0;
}

void SetRowOf(void*, int row, const std::wstring* size, const std::wstring* info) {
    Request r(Request::SetRow);
    r.row = row;
    r.size = size;
    r.info = info;
    Ask(r);
}

void FinishOf(void*, bool lengthHeader, bool resort) {
    Request r(Request::Finish);
    r.flagA = lengthHeader;
    r.flagB = resort;
    Ask(r);
}

DWORD WINAPI ScanThread(LPVOID) {
    InfoScanOps ops;
    ops.sizeCell = SizeCellOf;
    ops.rowPath = RowPathOf;
    ops.kind = KindOf;
    ops.scanMpeg = ScanMpeg;
    ops.pluginLengthMs = PluginLength;
    ops.bassScan = BassLoadedWin() ? BassScan : nullptr;
    ops.setRow = SetRowOf;
    ops.finish = FinishOf;
    (void)RunInfoScan(ops, g_scan.rows, g_scan.settings, g_scan.resort, g_scan.sortByte,
                      g_scan.stop);
    return 0;
}

bool EnsureWindow() {
    if (g_scan.window) return true;
    g_scan.window = MessageWindowWin(L"ZuvoInfoScan", RequestProc);
    return g_scan.window != nullptr;
}

}  // namespace

bool InfoScanRunningWin() {
    return g_scan.thread && WaitForSingleObject(g_scan.thread, 0) == WAIT_TIMEOUT;
}

bool InfoScanStopWin() {
    if (!g_scan.thread) return false;
    const bool running = InfoScanRunningWin();
    g_scan.stop = true;
    // The scan may be waiting for an answer of this thread: answer (with nothing, the stop is
    // set) until it has ended.
    while (WaitForSingleObject(g_scan.thread, 0) == WAIT_TIMEOUT) {
        MsgWaitForMultipleObjects(1, &g_scan.thread, FALSE, 1000, QS_SENDMESSAGE);
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(g_scan.thread);
    g_scan.thread = nullptr;
    g_scan.list = nullptr;
    return running;
}

void InfoScanStartWin(TrackList& list, bool resortAfterScan) {
    (void)InfoScanStopWin();
    if (!EnsureWindow()) return;
    g_scan.stop = false;
    g_scan.list = &list;
    g_scan.settings = g_settings;
    g_scan.resort = resortAfterScan;
    g_scan.sortByte = list.sortByte;
    g_scan.rows = static_cast<int>(list.rows.size());
    g_scan.thread = CreateThread(nullptr, 0, ScanThread, nullptr, 0, nullptr);
    if (!g_scan.thread) g_scan.list = nullptr;
}

void InfoScanCommandWin(CommandId, intptr_t) {
    // The list that has the focus (the File view, the Playlist view or the Insert view's).
    TrackList* list = SequencerWin().focusedList;
    InfoScanStartWin(list ? *list : LibraryFileView(), true);
}
