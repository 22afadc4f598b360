// The "Tag ID3" dialog and the ID3v1 write with the file times kept.
#include "tags/id3_edit_win.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "config/lang.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "tags/id3.h"
#include "tags/id3v1_edit.h"
#include "tags/id3v2_view.h"

namespace {

enum : int {
    kIdTitle = 101,
    kIdArtist,
    kIdAlbum,
    kIdYear,
    kIdTrack,
    kIdComment,
    kIdGenre,
    kIdSave = 110,
    kIdRemove,
    kIdView = 120,
};

enum : int {
    kTextWarning = 200,
    kTextNothingEntered = 205,
    kTextRemoveTag = 206,
    kTextConfirmation = 221,
    kTextError = 222,
    kTextOperationFailed = 229,
};

struct Field {
    int id;
    const wchar_t* label;
    int limit;
};
constexpr Field kFields[] = {
    {kIdTitle, L"Title", 30}, {kIdArtist, L"Artist", 30}, {kIdAlbum, L"Album", 30},
    {kIdYear, L"Year", 4},    {kIdTrack, L"Track #", 2},  {kIdComment, L"Comment", 30},
};

struct DialogState {
    const wchar_t* path;
    uint8_t raw[128];
    uint8_t* callerRaw;
};

// --- the file ---

struct HandleFile {
    HANDLE h;
};

bool SizeOf(void* c, uint64_t& size) {
    LARGE_INTEGER s;
    if (!GetFileSizeEx(static_cast<HandleFile*>(c)->h, &s)) return false;
    size = static_cast<uint64_t>(s.QuadPart);
    return true;
}

bool Seek(HANDLE h, uint64_t pos) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(pos);
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

bool ReadAt(void* c, uint64_t pos, uint8_t* buf, uint32_t len) {
    HANDLE h = static_cast<HandleFile*>(c)->h;
    DWORD got = 0;
    return Seek(h, pos) && ReadFile(h, buf, len, &got, nullptr) && got == len;
}

bool WriteAt(void* c, uint64_t pos, const uint8_t* buf, uint32_t len) {
    HANDLE h = static_cast<HandleFile*>(c)->h;
    DWORD done = 0;
    return Seek(h, pos) && WriteFile(h, buf, len, &done, nullptr) && done == len;
}

bool Truncate(void* c, uint64_t size) {
    HANDLE h = static_cast<HandleFile*>(c)->h;
    return Seek(h, size) && SetEndOfFile(h);
}

// The file's first bytes, up to max.
std::vector<uint8_t> ReadHead(const wchar_t* path, uint32_t max) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(max);
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), max, &got, nullptr)) got = 0;
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

bool ReadTail(const wchar_t* path, uint8_t raw[128]) {
    std::memset(raw, 0, 128);
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    HandleFile f{h};
    uint64_t size = 0;
    const bool ok = SizeOf(&f, size) && size >= 128 && ReadAt(&f, size - 128, raw, 128);
    CloseHandle(h);
    return ok;
}

// --- texts ---

const wchar_t* Text(int index, const wchar_t* fallback) {
    const wchar_t* t = LangText(g_lang, index);
    return t && *t ? t : fallback;
}

std::string ToAnsi(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

// --- the raw view ---

void ShowRawView(HWND edit, const wchar_t* path) {
    std::vector<uint8_t> head = ReadHead(path, 10);
    const uint32_t tagSize = head.size() == 10 ? Id3v2TagSize(head.data()) : 0;
    if (tagSize) head = ReadHead(path, std::min(tagSize, kId3v2ViewReadMax));
    const std::string rtf = Id3v2ViewRtf(Id3v2BuildView(head.data(), head.size(), tagSize));
    RichEditSetRtfWin(edit, rtf);
    SendMessageW(edit, EM_SETSEL, 0, 0);
}

// --- the dialog ---

void CreateControls(HWND dlg) {
    int y = 10;
    for (const Field& f : kFields) {
        DialogControlWin(dlg, L"STATIC", f.label, 0, 10, y + 3, 60, 18, -1);
        HWND e = DialogControlWin(dlg, L"EDIT", L"",
                                  WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL |
                                      (f.id == kIdYear || f.id == kIdTrack ? ES_NUMBER : 0),
                                  75, y, f.limit > 4 ? 230 : 60, 22, f.id);
        SendMessageW(e, EM_LIMITTEXT, static_cast<WPARAM>(f.limit), 0);
        y += 28;
    }
    DialogControlWin(dlg, L"STATIC", L"Genre", 0, 10, y + 3, 60, 18, -1);
    HWND genre = DialogControlWin(dlg, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                  75, y, 230, 300, kIdGenre);
    SendMessageW(genre, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
    for (int n = 0; n < 192; ++n)
        SendMessageW(genre, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Id3GenreName(n).c_str()));
    y += 40;
    DialogControlWin(dlg, L"BUTTON", L"&Save", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, y, 90, 26,
                     kIdSave);
    DialogControlWin(dlg, L"BUTTON", L"&Remove", WS_TABSTOP, 110, y, 90, 26, kIdRemove);
    DialogControlWin(dlg, L"BUTTON", L"Close", WS_TABSTOP, 210, y, 90, 26, IDCANCEL);
    DialogControlWin(
        dlg, L"RichEdit", L"",
        WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 320, 10,
        360, y + 26, kIdView);
}

void FillFields(HWND dlg, const uint8_t raw[128]) {
    Id3v1Fields f;
    if (!Id3v1ToFields(raw, f)) {
        EnableWindow(GetDlgItem(dlg, kIdRemove), FALSE);
        return;
    }
    SetDlgItemTextW(dlg, kIdTitle, FromAnsi(f.title).c_str());
    SetDlgItemTextW(dlg, kIdArtist, FromAnsi(f.artist).c_str());
    SetDlgItemTextW(dlg, kIdAlbum, FromAnsi(f.album).c_str());
    SetDlgItemTextW(dlg, kIdYear, FromAnsi(f.year).c_str());
    SetDlgItemTextW(dlg, kIdComment, FromAnsi(f.comment).c_str());
    if (f.track > 0) SetDlgItemInt(dlg, kIdTrack, static_cast<UINT>(f.track), FALSE);
    if (!f.genre.empty()) {
        const std::wstring name = FromAnsi(f.genre);
        const LRESULT at = SendDlgItemMessageW(dlg, kIdGenre, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(name.c_str()));
        SendDlgItemMessageW(dlg, kIdGenre, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

// Save (write mode) or, after the confirmation, remove.
void Save(HWND dlg, DialogState& st, bool write) {
    uint8_t tag[128];
    if (write) {
        Id3v1Fields f;
        f.title = ToAnsi(DialogItemTextWin(dlg, kIdTitle));
        f.artist = ToAnsi(DialogItemTextWin(dlg, kIdArtist));
        f.album = ToAnsi(DialogItemTextWin(dlg, kIdAlbum));
        f.year = ToAnsi(DialogItemTextWin(dlg, kIdYear));
        f.comment = ToAnsi(DialogItemTextWin(dlg, kIdComment));
        f.track = static_cast<int>(GetDlgItemInt(dlg, kIdTrack, nullptr, FALSE));
        f.genre = ToAnsi(DialogItemTextWin(dlg, kIdGenre));
        if (!Id3v1Build(f, tag)) {
            MessageBoxW(dlg, Text(kTextNothingEntered, L"Nothing entered!"),
                        Text(kTextWarning, L"Warning"), MB_OK | MB_ICONWARNING);
            return;
        }
    }
    if (!Id3v1SaveFileWin(st.path, write ? tag : nullptr)) {
        MessageBoxW(dlg, Text(kTextOperationFailed, L"Operation failed."),
                    Text(kTextError, L"Error"), MB_OK | MB_ICONERROR);
        return;
    }
    if (write) std::memcpy(st.raw, tag, 128);
    else std::memset(st.raw, 0, 128);
    if (st.callerRaw) std::memcpy(st.callerRaw, st.raw, 128);
    EnableWindow(GetDlgItem(dlg, kIdRemove), write);
}

INT_PTR CALLBACK TagProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dlg, DWLP_USER, lParam);
            st = reinterpret_cast<DialogState*>(lParam);
            SizeDialogClientWin(dlg, 700, 300);
            CreateControls(dlg);
            HWND view = GetDlgItem(dlg, kIdView);
            SendMessageW(view, EM_AUTOURLDETECT, TRUE, 0);
            SendMessageW(view, EM_SETEVENTMASK, 0, ENM_LINK);
            ShowRawView(view, st->path);
            FillFields(dlg, st->raw);
            if (static_cast<uint32_t>(g_settings.stylez) & Style::DarkMode) {
                // Dark mode: the dark frame, the dialog in the window colour with light texts,
                // the fields and the raw view in the list colours.
                SetDarkFrameWin(dlg, true);
                DarkDialogWin(dlg, DarkDialogColours{static_cast<COLORREF>(g_settings.color_win),
                                                     RGB(0xE0, 0xE0, 0xE0),
                                                     static_cast<COLORREF>(g_settings.color_back),
                                                     static_cast<COLORREF>(g_settings.color_text)});
            }
            SetFocus(GetDlgItem(dlg, kIdTitle));
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kIdSave:
                case IDOK:
                    Save(dlg, *st, true);
                    return TRUE;
                case kIdRemove:
                    if (MessageBoxW(dlg, Text(kTextRemoveTag, L"Remove ID3v1 Tag?"),
                                    Text(kTextConfirmation, L"Confirmation"),
                                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
                        Save(dlg, *st, false);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dlg, 0);
                    return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const auto* link = reinterpret_cast<const ENLINK*>(lParam);
            if (link->nmhdr.code == EN_LINK && link->msg == WM_LBUTTONDOWN) {
                RichEditOpenLinkWin(dlg, link->nmhdr.hwndFrom, link->chrg);
                SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 1);
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            EndDialog(dlg, 0);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

bool Id3v1SaveFileWin(const wchar_t* path, const uint8_t* tag) {
    HANDLE h = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME created{}, written{};
    const bool timesKnown = GetFileTime(h, &created, nullptr, &written) != 0;
    HandleFile hf{h};
    Id3v1File f;
    f.ctx = &hf;
    f.size = SizeOf;
    f.readAt = ReadAt;
    f.writeAt = WriteAt;
    f.truncate = Truncate;
    const bool ok = Id3v1Apply(f, tag);
    CloseHandle(h);
    // Set the times on a handle of their own, after every write is closed, so that nothing
    // later stamps the file anew.
    if (timesKnown) {
        HANDLE t = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (t != INVALID_HANDLE_VALUE) {
            SetFileTime(t, &created, nullptr, &written);
            CloseHandle(t);
        }
    }
    return ok;
}

void Id3TagDialogWin(HWND owner, const wchar_t* path, uint8_t* id3v1Raw) {
    // The rich-edit control comes from riched32.dll, loaded on first use and kept.
    static HMODULE richEdit = LoadSystemDll(L"riched32.dll");
    if (!richEdit || !path) return;
    DialogState st{path, {}, id3v1Raw};
    if (id3v1Raw) std::memcpy(st.raw, id3v1Raw, 128);
    else ReadTail(path, st.raw);
    RunDialogWin(DialogTemplateWin(L"Tag ID3", 400, 200), owner, TagProc,
                 reinterpret_cast<LPARAM>(&st));
}
