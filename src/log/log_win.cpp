#include "log/log_win.h"

#include <shellapi.h>

#include "base/fileops_win.h"
#include "base/path.h"
#include "base/utf.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "log/track_log.h"

namespace {

struct LogWin {
    HWND main = nullptr;
    HINSTANCE instance = nullptr;
    std::wstring path;
    LogHost host;
    PendingLog pending;
} g_log;

void ErrorLine(const char* text, int code) {
    if (g_log.host.errorLog) g_log.host.errorLog(g_log.host.ctx, text, code);
}

bool Ask(bool (*f)(void*)) {
    return f && f(g_log.host.ctx);
}

int64_t NowSeconds() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const uint64_t t = (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
    return static_cast<int64_t>(t / 10000000 - 11644473600ull);
}

int64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa)) return -1;
    return static_cast<int64_t>((uint64_t{fa.nFileSizeHigh} << 32) | fa.nFileSizeLow);
}

// The size limit: a log above it is read whole and replaced by its newest records (through a
// temporary file and a rename, so that a crash leaves the old or the new log). A log that
// cannot be read in full keeps its size.
void ApplySizeLimit(const FileOps& fs, uint32_t limitKb) {
    if (limitKb == 0) return;
    const int64_t size = FileSize(g_log.path);
    if (size <= int64_t{limitKb} * 1024) return;
    std::string bytes, kept;
    if (!fs.readFile(fs.ctx, g_log.path, static_cast<size_t>(size), bytes) ||
        static_cast<int64_t>(bytes.size()) != size) {
        ErrorLine("Track log: cannot read the log to shorten it", static_cast<int>(GetLastError()));
        return;
    }
    if (LogTrimmed(bytes, limitKb, kept) && !fs.replaceFile(fs.ctx, g_log.path, kept))
        ErrorLine("Track log: cannot shorten the log", static_cast<int>(GetLastError()));
}

void WritePending() {
    const FileOps fs = Win32FileOps();
    ApplySizeLimit(fs, static_cast<uint32_t>(g_settings.logfile) & kLogfileSizeMask);
    if (fs.appendFile(fs.ctx, g_log.path, LogRecordBytes(g_log.pending.rec)) < 0)
        ErrorLine("Track log: cannot append to the log", static_cast<int>(GetLastError()));
    LogWritten(g_log.pending);
}

bool LoggingOn() {
    return !g_log.path.empty() && (static_cast<uint32_t>(g_settings.logfile) & kLogfileOn);
}

const wchar_t* Text(const wchar_t* s) {
    return s ? s : L"";
}

void TrackStarted(void*, const LogTrackInfo& t) {
    if (!LoggingOn() || !t.path) return;
    LogTrackStart(g_log.pending, t.startMs, t.lengthMs, NowSeconds(), t.path, Text(t.artist),
                  Text(t.album), Text(t.title), Text(t.track));
}

void TrackLeft(void*, uint32_t positionMs) {
    LogLeaveContext c;
    c.loggingOn = LoggingOn();
    c.restartPending = Ask(g_log.host.restartPending);
    c.urlStream = Ask(g_log.host.urlStream);
    if (LogTrackLeave(g_log.pending, c, positionMs) == LogLeave::Write) WritePending();
}

}  // namespace

void LogStartWin(HWND mainWindow, HINSTANCE instance, const std::wstring& iniPath,
                 const LogHost& host) {
    g_log.main = mainWindow;
    g_log.instance = instance;
    g_log.host = host;
    g_log.path =
        PathExtension(iniPath).empty() ? std::wstring() : PathWithExtension(iniPath, L".log");
}

LogOps LogOpsWin() {
    LogOps o;
    o.trackStarted = TrackStarted;
    o.trackLeft = TrackLeft;
    return o;
}

HWND LogOwnerWin() {
    return g_log.main;
}

const LogHost& LogHostWin() {
    return g_log.host;
}

const std::wstring& LogPathWin() {
    return g_log.path;
}

void LogStreamTitleWin(const std::wstring& title) {
    const size_t slash = g_log.path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    const std::wstring path = g_log.path.substr(0, slash + 1) + L"titles.log";
    const FileOps fs = Win32FileOps();
    if (fs.appendFile(fs.ctx, path, WideToUtf16Le(title + L"\r\n")) < 0) {
        ErrorLine("titles.log: cannot write", 0);
        return;
    }
    ShellExecuteW(LogOwnerWin(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}
