#include "audio/bass_download_win.h"

#include <string>

#include "audio/bass_record.h"
#include "base/dialog_win.h"
#include "base/text.h"
#include "base/window_pos.h"
#include "config/settings.h"

extern Settings g_settings;

namespace {

constexpr wchar_t kClass[] = L"ZuvoNetDownload";
constexpr UINT kMsgWritten = WM_APP + 23;  // the recorder wrote (from BASS's thread)
constexpr int kIdPath = 110, kIdStatus = 111;

struct Download {
    HWND wnd = nullptr;
    std::wstring folder;  // ends in "\", empty when the folder does not exist
    Recorder rec;
    CRITICAL_SECTION lock;
    bool lockReady = false;
    // Read by the callback under the lock.
    std::wstring station, title;
    double bps = 0;
    uint32_t ctype = 0;
};
Download g_dl;

bool Append(void*, const std::wstring& path, const uint8_t* data, size_t n, uint64_t* size) {
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = WriteFile(f, data, static_cast<DWORD>(n), &wrote, nullptr) && wrote == n;
    LARGE_INTEGER s{};
    if (ok && GetFileSizeEx(f, &s)) *size = static_cast<uint64_t>(s.QuadPart);
    CloseHandle(f);
    return ok;
}
const RecordSink kSink{nullptr, Append};

void SetText(int id, const std::wstring& text) {
    if (g_dl.wnd) SetDlgItemTextW(g_dl.wnd, id, text.c_str());
}

void ShowWrite() {
    EnterCriticalSection(&g_dl.lock);
    const RecordWrite w = g_dl.rec.last;
    const double bps = g_dl.bps;
    LeaveCriticalSection(&g_dl.lock);
    if (!w.ok) {
        SetText(kIdStatus, L"Error writing to file:");
        SetText(kIdPath, w.path);
        return;
    }
    const auto secs = static_cast<uint32_t>(RecordedSeconds(w.fileSize, bps));
    const std::string t = Format("Writing file: %u:%02u - %.2f MB", secs / 60, secs % 60,
                                 static_cast<double>(w.fileSize) / 1048576.0);
    SetText(kIdStatus, std::wstring(t.begin(), t.end()));
    SetText(kIdPath, w.path);
}

void Finish() {
    if (!g_dl.lockReady) return;
    EnterCriticalSection(&g_dl.lock);
    const bool was = g_dl.rec.on;
    if (was) (void)RecordFinish(g_dl.rec, g_dl.station, g_dl.title, kSink);
    LeaveCriticalSection(&g_dl.lock);
    if (was) ShowWrite();
}

std::wstring StartText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const std::string s = Format("%.4d-%.2d-%.2d %.2d:%.2d", t.wYear, t.wMonth, t.wDay, t.wHour,
                                 t.wMinute);
    return std::wstring(s.begin(), s.end());
}

void Save() {
    if (g_dl.folder.empty() || g_dl.ctype == 0) return;  // no folder, or no stream plays
    EnterCriticalSection(&g_dl.lock);
    const bool noSep = IsDlgButtonChecked(g_dl.wnd, kDownloadNoSeparation) == BST_CHECKED;
    RecordStart(g_dl.rec, g_dl.folder, StartText(), g_dl.ctype, noSep);
    LeaveCriticalSection(&g_dl.lock);
    SetText(kIdStatus, L"");
}

void StorePosition(HWND w) {
    RECT r;
    if (GetWindowRect(w, &r)) g_settings.bass_dlwin = PackWindowPos(r.left, r.top);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kDownloadSave:
                    Save();
                    return 0;
                case kDownloadStop:
                    Finish();
                    SetText(kIdStatus, L"Download stopped.");
                    return 0;
                case kDownloadClose:
                case IDCANCEL:
                    DestroyWindow(w);
                    return 0;
                default:
                    break;
            }
            break;
        case kMsgWritten:
            ShowWrite();
            return 0;
        case WM_CLOSE:
            DestroyWindow(w);
            return 0;
        case WM_DESTROY:
            Finish();
            StorePosition(w);
            ModelessClosedWin(w);
            g_dl.wnd = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

void CALLBACK BassDownloadProc(const void* buffer, DWORD length, void*) {
    if (!g_dl.lockReady || !buffer || length == 0) return;
    EnterCriticalSection(&g_dl.lock);
    bool wrote = false;
    if (g_dl.rec.on) {
        const uint64_t before = g_dl.rec.last.fileSize;
        const std::wstring beforePath = g_dl.rec.last.path;
        (void)RecordFeed(g_dl.rec, static_cast<const uint8_t*>(buffer), length, g_dl.station,
                         g_dl.title, kSink);
        wrote = g_dl.rec.last.fileSize != before || g_dl.rec.last.path != beforePath ||
                !g_dl.rec.last.ok;
    }
    HWND w = g_dl.wnd;
    LeaveCriticalSection(&g_dl.lock);
    if (wrote && w) PostMessageW(w, kMsgWritten, 0, 0);
}

void BassDownloadFinishWin() {
    Finish();
}

void BassDownloadTitleWin(const wchar_t* station, const wchar_t* title, double bps,
                          uint32_t ctype) {
    if (!g_dl.lockReady) {
        InitializeCriticalSection(&g_dl.lock);
        g_dl.lockReady = true;
    }
    EnterCriticalSection(&g_dl.lock);
    g_dl.station = station ? station : L"";
    g_dl.title = title ? title : L"";
    g_dl.bps = bps;
    g_dl.ctype = ctype;
    LeaveCriticalSection(&g_dl.lock);
}

void BassDownloadCommandWin(CommandId, intptr_t) {
    if (!g_dl.lockReady) {
        InitializeCriticalSection(&g_dl.lock);
        g_dl.lockReady = true;
    }
    if (g_dl.wnd) {
        SetForegroundWindow(g_dl.wnd);
        return;
    }
    // The browsed folder (a list file's own folder) receives the recordings.
    std::wstring folder = g_settings.browsed_folder;
    DWORD attr = GetFileAttributesW(folder.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        const size_t slash = folder.find_last_of(L"\\/");
        folder = slash == std::wstring::npos ? L"" : folder.substr(0, slash);
        attr = GetFileAttributesW(folder.c_str());
    }
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    const bool exists = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
    g_dl.folder = exists ? folder : L"";

    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    (void)UnpackWindowPos(g_settings.bass_dlwin, x, y);
    HWND w = ToolWindowWin(kClass, Proc, L"Netstream download", x, y, 420, 120, nullptr,
                           WS_EX_CONTROLPARENT);
    if (!w) return;
    g_dl.wnd = w;
    ModelessOpenedWin(w);
    DialogControlWin(w, L"STATIC", exists ? folder.c_str() : L"Not found!", SS_PATHELLIPSIS, 10, 8,
                     400, 18, kIdPath);
    DialogControlWin(w, L"STATIC", L"", 0, 10, 30, 400, 18, kIdStatus);
    DialogControlWin(w, L"BUTTON", L"No track separation", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 54,
                     200, 20, kDownloadNoSeparation);
    DialogControlWin(w, L"BUTTON", L"Save", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 84, 90, 26,
                     kDownloadSave);
    DialogControlWin(w, L"BUTTON", L"Stop", WS_TABSTOP, 110, 84, 90, 26, kDownloadStop);
    DialogControlWin(w, L"BUTTON", L"Close", WS_TABSTOP, 320, 84, 90, 26, kDownloadClose);
    if (!exists) EnableWindow(GetDlgItem(w, kDownloadSave), FALSE);
    ShowWindow(w, SW_SHOW);
}
