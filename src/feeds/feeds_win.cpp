#include "feeds/feeds_win.h"

#include <richedit.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "config/settings.h"
#include "feeds/rss.h"

namespace {

HWND g_main = nullptr;
HINSTANCE g_instance = nullptr;
std::wstring g_iniPath;
FeedsHost g_host;
RssTitleState g_titles;

void ErrorLog(const char* text, int code) {
    if (g_host.errorLog) g_host.errorLog(g_host.ctx, text, code);
}

LocalTime ToLocalTime(const SYSTEMTIME& st) {
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
}

LocalTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return ToLocalTime(st);
}

// The file's last write, in local time; false when it is missing.
bool WrittenAt(const std::wstring& path, LocalTime& out) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return false;
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&a.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    out = ToLocalTime(st);
    return true;
}

// ---- downloads: WinINet, loaded from the system folder on the first download ----

using InternetOpenFn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using InternetOpenUrlFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
using InternetReadFileFn = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
using InternetCloseHandleFn = BOOL(WINAPI*)(HINTERNET);
using InternetSetOptionFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);

// A server that accepts and then says nothing holds the window thread no longer than this.
constexpr DWORD kTimeoutMs = 10000;

// One update on the worker thread: what it needs, copied on the window thread, and the
// error.log lines it collects for the window thread to write.
struct UpdateJob {
    RssPlan plan;
    int itemLimit = 0;
    std::wstring path;
    CodePage cp;
    std::vector<std::pair<std::string, int>> log;
    bool written = false;
};

// The worker posts this to the carrier window with the finished UpdateJob in lParam.
constexpr UINT kMsgUpdateDone = WM_APP + 0x52;
HWND g_carrier = nullptr;
std::atomic<bool> g_updating{false};

LRESULT CALLBACK CarrierProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The window the workers post their results to, made on the window thread before the first
// worker starts (not at start-up: most sessions never update a feed).
HWND CarrierWin() {
    if (!g_carrier) g_carrier = MessageWindowWin(L"ZuvoFeedsCarrier", CarrierProc);
    return g_carrier;
}

void JobLog(void* ctx, const char* text, int code) {
    if (ctx) static_cast<UpdateJob*>(ctx)->log.emplace_back(text, code);
    else ErrorLog(text, code);
}

bool Fetch(void* ctx, const std::string& url, std::string& out) {
    auto open = SystemDllProc<InternetOpenFn>(L"wininet.dll", "InternetOpenA");
    auto openUrl = SystemDllProc<InternetOpenUrlFn>(L"wininet.dll", "InternetOpenUrlA");
    auto read = SystemDllProc<InternetReadFileFn>(L"wininet.dll", "InternetReadFile");
    auto close = SystemDllProc<InternetCloseHandleFn>(L"wininet.dll", "InternetCloseHandle");
    auto setOption = SystemDllProc<InternetSetOptionFn>(L"wininet.dll", "InternetSetOptionA");
    if (!open || !openUrl || !read || !close) {
        JobLog(ctx, "InternetOpen failed, error:", static_cast<int>(ERROR_PROC_NOT_FOUND));
        return false;
    }
    HINTERNET session = open("Mozilla/5.0 (Windows NT 10.0; Win64; x64)",
                             INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session) {
        JobLog(ctx, "InternetOpen failed, error:", static_cast<int>(GetLastError()));
        return false;
    }
    if (setOption) {
        DWORD ms = kTimeoutMs;
        setOption(session, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
        setOption(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
    }
    // The cache is bypassed. The secure flag goes with https addresses only: on a plain http
    // address it would make WinINet speak TLS to a server that does not.
    DWORD flags = INTERNET_FLAG_RELOAD;
    if (url.compare(0, 6, "https:") == 0 || url.compare(0, 6, "HTTPS:") == 0)
        flags |= INTERNET_FLAG_SECURE;
    HINTERNET request = openUrl(session, url.c_str(), nullptr, 0, flags, 0);
    if (!request) {
        JobLog(ctx, "InternetOpenUrl failed, error:", static_cast<int>(GetLastError()));
        close(session);
        return false;
    }
    out.assign(kRssDownloadLimit, '\0');
    size_t got = 0;
    DWORD n = 0;
    while (got < kRssDownloadLimit &&
           read(request, &out[got], static_cast<DWORD>(kRssDownloadLimit - got), &n) && n > 0)
        got += n;
    out.resize(got);
    close(request);
    close(session);
    return true;
}

// ---- the plan ----

DWORD WINAPI UpdateWorker(LPVOID arg) {
    auto* job = static_cast<UpdateJob*>(arg);
    const std::string file = RssBuildFile(job->plan, job->itemLimit, Fetch, job, job->cp);
    // The file is written to a temporary name and renamed over the old one: a reader on the
    // window thread sees the old file or the new one, never half of it.
    const FileOps fs = Win32FileOps();
    job->written = fs.replaceFile(fs.ctx, job->path, file);
    if (!job->written) job->log.emplace_back("RSS file not written, error:", -1);
    if (!PostMessageW(g_carrier, kMsgUpdateDone, 0, reinterpret_cast<LPARAM>(job))) {
        delete job;  // the window is gone: the program is closing
        g_updating = false;
    }
    return 0;
}

// The downloads run on a worker thread: the window thread also feeds the audio device and must
// not wait for a slow server. The next planned time is written at once, so a second call before
// the worker ends does not start another update.
bool UpdateIfDue(void*) {
    if (g_updating) return false;
    const RssPlan plan = ReadRssPlan(g_settings.big_rssstring);
    const uint32_t now = RssStamp(Now());
    if (plan.planned > now) return false;
    // A failed feed does not delay the plan.
    WriteRssPlanned(g_settings.big_rssstring, now + static_cast<uint32_t>(plan.intervalMinutes));
    const std::wstring path = RssFilePathWin();
    if (path.empty() || !CarrierWin()) return false;
    auto* job = new UpdateJob{plan, RssItemsPerFeed(g_settings.big_title), path,
                              SystemCodePageWin(), {}, false};
    g_updating = true;
    HANDLE thread = CreateThread(nullptr, 0, UpdateWorker, job, 0, nullptr);
    if (!thread) {
        g_updating = false;
        delete job;
        ErrorLog("RSS update thread not started, error:", static_cast<int>(GetLastError()));
        return false;
    }
    CloseHandle(thread);
    return true;
}

LRESULT CALLBACK CarrierProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kMsgUpdateDone) return DefWindowProcW(hwnd, msg, wParam, lParam);
    auto* job = reinterpret_cast<UpdateJob*>(lParam);
    for (const auto& [text, code] : job->log) ErrorLog(text.c_str(), code);
    const bool written = job->written;
    delete job;
    g_updating = false;
    if (g_host.updated) g_host.updated(g_host.ctx, written);
    return 0;
}

void UpdateNow(void*) {
    g_titles.index = 0;
    WriteRssPlanned(g_settings.big_rssstring, RssStamp(Now()));
}

std::string NextTitle(void*) {
    g_titles.title.clear();
    const std::wstring path = RssFilePathWin();
    LocalTime written{};
    if (path.empty() || !WrittenAt(path, written)) return {};
    if (RssFileTooOld(ReadRssPlan(g_settings.big_rssstring), written, Now())) return {};
    const FileOps fs = Win32FileOps();
    std::string bytes;
    if (!fs.readFile(fs.ctx, path, kRssTitleFileLimit, bytes)) return {};
    RssNextTitle(g_titles, bytes);
    return g_titles.title;
}

uint32_t Planned(void*) {
    return ReadRssPlan(g_settings.big_rssstring).planned;
}

// ---- the viewer ----

constexpr int kViewerEdit = 100;
// More than any number of feeds of at most 99,999 bytes each gives.
constexpr size_t kViewerFileLimit = 16u << 20;

INT_PTR CALLBACK ViewerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: {
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            MoveWindow(dlg, 20, 20, (work.right - work.left) / 2,
                       (work.bottom - work.top) * 8 / 10, FALSE);
            RECT client;
            GetClientRect(dlg, &client);
            HWND edit = CreateWindowExW(
                0, L"RichEdit", L"",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                    ES_AUTOVSCROLL,
                0, 0, client.right, client.bottom, dlg,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewerEdit)), g_instance, nullptr);
            if (!edit) {
                EndDialog(dlg, 0);
                return TRUE;
            }
            const bool dark = (static_cast<uint32_t>(g_settings.stylez) & Style::DarkMode) != 0;
            if (dark)
                SendMessageW(edit, EM_SETBKGNDCOLOR, 0,
                             static_cast<LPARAM>(static_cast<uint32_t>(g_settings.color_back)));
            SendMessageW(edit, EM_AUTOURLDETECT, TRUE, 0);
            SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_LINK);
            const std::wstring path = RssFilePathWin();
            std::string bytes;
            LocalTime written{};
            const FileOps fs = Win32FileOps();
            if (!path.empty() && WrittenAt(path, written))
                fs.readFile(fs.ctx, path, kViewerFileLimit, bytes);
            const std::string rtf = RssRichText(bytes, written, dark);
            RichEditSetRtfWin(edit, rtf);
            SendMessageW(edit, EM_SETSEL, 0, 0);
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_SIZE:
            MoveWindow(GetDlgItem(dlg, kViewerEdit), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return TRUE;
        case WM_NOTIFY: {
            const auto* link = reinterpret_cast<const ENLINK*>(lParam);
            if (link->nmhdr.code == EN_LINK && link->msg == WM_LBUTTONDOWN) {
                RichEditOpenLinkWin(g_main, link->nmhdr.hwndFrom, link->chrg);
                SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 1);
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(dlg, 0);
            return TRUE;
        case WM_CLOSE:
            EndDialog(dlg, 0);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

void FeedsStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath,
                   const FeedsHost& host) {
    g_main = mainWindow;
    g_instance = instance;
    g_iniPath = iniPath;
    g_host = host;
}

FeedsOps FeedsOpsWin() {
    FeedsOps ops;
    ops.updateIfDue = UpdateIfDue;
    ops.updateNow = UpdateNow;
    ops.nextTitle = NextTitle;
    ops.planned = Planned;
    return ops;
}

std::wstring RssFilePathWin() {
    const std::wstring folder = PathFolder(g_iniPath);
    return folder.empty() ? std::wstring() : PathJoin(folder, L"Zuvorss.xml");
}

void FeedsViewCommandWin(CommandId, intptr_t) {
    // The rich-edit control comes from riched32.dll, loaded once and kept.
    static HMODULE richEdit = LoadSystemDll(L"riched32.dll");
    if (!richEdit) return;
    // A resizable frame with no controls: the rich-edit viewer is made when it opens.
    RunDialogWin(DialogTemplateWin(L"RSS Viewer", 300, 200,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                       WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME),
                 g_main, ViewerProc);
}
