// Loading and showing the cover picture: OleLoadPicturePath (from oleaut32, loaded on first
// use), rendered at twice the target size and stretched down with half-tone into a 32-bit
// bitmap of a static window.
#include "tools/picture_win.h"

#include <ole2.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "audio/engine_win.h"
#include "base/dll_win.h"
#include "base/path.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "library/library_win.h"
#include "library/track_list.h"
#include "tags/id3.h"
#include "tags/picture_choice.h"
#include "ui/big_view_win.h"
#include "ui/face_layout.h"

namespace {

constexpr int kPictureId = 880;
constexpr wchar_t kTagPictureFile[] = L"Zuvoid3v2pic.jpg";  // loaded, then deleted
constexpr wchar_t kId3TempPictureNameW[] = L"id3v2pic.jpg";   // what "Open picture" opens

struct State {
    PictureStart start;
    HWND window = nullptr;
    HBITMAP bitmap = nullptr;
    int w = 0, h = 0;
    int iconState = 0;  // 0 none, 1 the icon is shown, 2 at the embedded Big view's height
    PictureShown shown;
} g;

using OleLoadPicturePathFn = HRESULT(WINAPI*)(LPOLESTR, LPUNKNOWN, DWORD, OLE_COLOR, REFIID, LPVOID*);

void Destroy() {
    if (g.window) DestroyWindow(g.window);
    if (g.bitmap) DeleteObject(g.bitmap);
    g.window = nullptr;
    g.bitmap = nullptr;
    g.w = g.h = 0;
    g.iconState = 0;
}

void Relayout() {
    if (g.start.layout) g.start.layout();
}

std::vector<std::wstring> ListJpg(void*, const std::wstring& folder) {
    return FilesMatchingWin(folder, L"*.jpg");
}

bool Exists(void*, const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return (uint64_t{d.nFileSizeHigh} << 32) | d.nFileSizeLow;
}

int PaneWidth() { return g_settings.divider > 0 ? g_settings.divider : 0; }

// The picture's height inside an embedded Big view; 0 when it goes to the foot of the tree.
int BigViewHeight() { return BigViewPictureHeight(g_settings, BigViewEmbeddedOpenWin()); }

// A 32-bit top-down DIB section of w x h.
HBITMAP Dib(HDC dc, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void ShowBitmap(HBITMAP bmp, int w, int h) {
    g.window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_BITMAP, 0, 0, w, h,
                               g.start.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId)),
                               g.start.instance, nullptr);
    if (!g.window) {
        DeleteObject(bmp);
        return;
    }
    SendMessageW(g.window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
    g.bitmap = bmp;
    g.w = w;
    g.h = h;
}

// Loads the file and shows it at the size the rules give; false when it cannot be decoded.
bool LoadFile(const std::wstring& path) {
    static auto load = SystemDllProc<OleLoadPicturePathFn>(L"oleaut32.dll", "OleLoadPicturePath");
    if (!load) return false;
    IPicture* pic = nullptr;
    std::wstring p = path;
    if (FAILED(load(p.data(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&pic))) || !pic)
        return false;
    OLE_XSIZE_HIMETRIC hmW = 0;
    OLE_YSIZE_HIMETRIC hmH = 0;
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
    HDC screen = GetDC(nullptr);
    const int picW = MulDiv(hmW, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int picH = MulDiv(hmH, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    const PictureSetting setting = ParsePictureSetting(g_settings.picture);
    const PictureBox box = FitPicture(picW, picH, setting.height, PaneWidth(), BigViewHeight());
    bool ok = false;
    if (box.width > 0 && box.height > 0) {
        // Twice the target size first, then half-tone down: smoother than one step.
        HDC big = CreateCompatibleDC(screen), small = CreateCompatibleDC(screen);
        HBITMAP twice = Dib(screen, box.width * 2, box.height * 2);
        HBITMAP target = Dib(screen, box.width, box.height);
        if (twice && target) {
            HGDIOBJ oldBig = SelectObject(big, twice);
            HGDIOBJ oldSmall = SelectObject(small, target);
            pic->Render(big, 0, 0, box.width * 2, box.height * 2, 0, hmH, hmW, -hmH, nullptr);
            SetStretchBltMode(small, HALFTONE);
            SetBrushOrgEx(small, 0, 0, nullptr);
            StretchBlt(small, 0, 0, box.width, box.height, big, 0, 0, box.width * 2, box.height * 2,
                       SRCCOPY);
            SelectObject(big, oldBig);
            SelectObject(small, oldSmall);
            ShowBitmap(target, box.width, box.height);
            target = nullptr;
            ok = g.window != nullptr;
        }
        if (twice) DeleteObject(twice);
        if (target) DeleteObject(target);
        DeleteDC(big);
        DeleteDC(small);
    }
    ReleaseDC(nullptr, screen);
    pic->Release();
    return ok;
}

void ShowIcon() {
    const PictureSetting setting = ParsePictureSetting(g_settings.picture);
    const int embedded = BigViewHeight();
    const int side = IconSide(setting.height, PaneWidth(), embedded);
    if (side <= 0) return;
    if (RunsUnderWine()) {
        // Wine's static control does not scale icons: draw the 256-pixel icon stretched.
        HICON icon = static_cast<HICON>(LoadImageW(g.start.instance, L"ICON1", IMAGE_ICON, 256, 256, 0));
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = Dib(screen, side, side);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r{0, 0, side, side};
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        SetStretchBltMode(dc, HALFTONE);
        if (icon) DrawIconEx(dc, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        if (icon) DestroyIcon(icon);
        ShowBitmap(bmp, side, side);
    } else {
        g.window = CreateWindowExW(0, L"STATIC", L"ICON1", WS_CHILD | SS_ICON | SS_CENTERIMAGE, 0, 0,
                                   side, side, g.start.mainWindow,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId)),
                                   g.start.instance, nullptr);
        g.w = g.h = side;
    }
    g.iconState = embedded > 0 ? 2 : 1;
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    return n > 0 && n < MAX_PATH ? std::wstring(temp, n) : std::wstring();
}

bool WriteFileBytes(const std::wstring& path, const uint8_t* data, uint32_t len) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = WriteFile(h, data, len, &done, nullptr) && done == len;
    CloseHandle(h);
    return ok;
}

void Update(bool forced) {
    PictureRequest req;
    req.browsedFolder = g_settings.browsed_folder;
    req.plainFolderList = LibraryFileView().kind == folderList;
    req.bigViewPicture = BigViewHeight() > 0;
    req.trackPath = g_track.fileName ? g_track.fileName : L"";
    req.hasTagPicture = g_track.pictureData && g_track.pictureSize > 0 &&
                        !(static_cast<uint32_t>(g_settings.stylez) & Style::IgnoreId3Pictures);
    req.standardPicture = (static_cast<uint32_t>(g_settings.stylez) & Style::StandardPicture) != 0;
    req.settingsFolder = g.start.settingsFolder;
    const PictureSetting setting = ParsePictureSetting(g_settings.picture);
    const PictureFolders fs{nullptr, ListJpg, Exists};
    const PictureChoice choice = ChoosePicture(req, setting, fs);

    if (choice.source == PictureSource::kNone || choice.source == PictureSource::kIcon) {
        const bool wasIcon = g.iconState != 0;
        g.shown = PictureShown{};
        if (choice.source == PictureSource::kIcon && wasIcon && g.window && !forced) return;
        const bool hadWindow = g.window != nullptr;
        Destroy();
        if (choice.source == PictureSource::kIcon) ShowIcon();
        // Without a picture before and after, the panes keep their places.
        if (hadWindow || g.window) Relayout();
        return;
    }
    std::wstring file = choice.path;
    const bool tag = choice.source == PictureSource::kTag;
    if (tag) {
        const std::wstring temp = TempFolder();
        if (temp.empty()) return;  // no temporary folder: tag pictures are skipped silently
        file = temp + kTagPictureFile;
        if (!WriteFileBytes(file, g_track.pictureData, g_track.pictureSize)) return;
    }
    const uint64_t size = FileSize(file);
    const std::wstring shownPath = tag ? std::wstring() : file;
    if (!g.window || g.iconState || PictureNeedsLoad(g.shown, shownPath, size, forced)) {
        Destroy();
        if (LoadFile(file)) {
            g.shown = PictureShown{shownPath, size};
        } else {
            g.shown = PictureShown{};
        }
        Relayout();
    }
    if (tag) DeleteFileW(file.c_str());
}

void Open() {
    std::wstring file = g.shown.path;
    if (file.empty()) {
        if (!g_track.pictureData || g_track.pictureSize == 0) return;
        const std::wstring temp = TempFolder();
        if (temp.empty()) return;
        file = temp + kId3TempPictureNameW;
        if (!WriteFileBytes(file, g_track.pictureData, g_track.pictureSize)) return;
        g_track.pictureFileWritten = 1;
    }
    ShellExecuteW(g.start.mainWindow, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void PictureStartWin(const PictureStart& start) { g.start = start; }

void PictureUpdateWin(int mode) {
    switch (mode) {
        case 0:
        case 1:
            Update(mode == 1);
            break;
        case 2:
            Destroy();
            g.shown = PictureShown{};
            Relayout();
            break;
        case 3:
            Open();
            break;
    }
}

HWND PictureWindowWin(int& w, int& h) {
    w = g.w;
    h = g.h;
    return g.window;
}

void OpenPictureCommandWin(CommandId, intptr_t) { PictureUpdateWin(3); }

bool RunsUnderWine() {
    static const int wine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") ? 1 : 0;
    }();
    return wine != 0;
}
