// The compare dialog's context menu and the file operations behind it: copy and move onto
// the other side (through tools/compare.h's safe transfer), delete to the recycle bin,
// rename, external programs, Explore, Open, the easy renamer and Copy name and date.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <new>
#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "config/settings_bits.h"
#include "tools/compare.h"
#include "tools/compare_dialog_win.h"
#include "tools/tools_win.h"
#include "ui/texts.h"
#include "ui/ui_glue_win.h"

namespace compare_win {
namespace {

bool Exists(void*, const std::wstring& p) {
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(void*, const std::wstring& folder) {
    const DWORD a = GetFileAttributesW(folder.c_str());
    if (a != INVALID_FILE_ATTRIBUTES) return a & FILE_ATTRIBUTE_DIRECTORY;
    const size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2 && !MakeFolders(nullptr, folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CopyNew(void*, const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), TRUE);  // never over a file
}

}  // namespace

// The name a file has on disk, which a file system that ignores case may spell otherwise.
static std::wstring NameOnDisk(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return {};
    FindClose(h);
    return fd.cFileName;
}

// Renames so that the file ends with exactly the name asked for: a file system that ignores
// case keeps an existing file's spelling when it is replaced, and takes a rename that only
// changes case for a no-op, so such a name is put right through a temporary name.
bool RenameFile(void*, const std::wstring& from, const std::wstring& to, bool replace) {
    if (from != to && lstrcmpiW(from.c_str(), to.c_str()) == 0) {  // the case alone changes
        const std::wstring temp = from + L".zuvo-rename";
        if (!MoveFileW(from.c_str(), temp.c_str())) return false;
        if (MoveFileW(temp.c_str(), to.c_str())) return true;
        MoveFileW(temp.c_str(), from.c_str());
        return false;
    }
    if (!MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return false;
    const size_t slash = to.find_last_of(L'\\');
    const std::wstring wanted = to.substr(slash == std::wstring::npos ? 0 : slash + 1);
    const std::wstring onDisk = NameOnDisk(to);
    if (onDisk.empty() || onDisk == wanted) return true;
    const std::wstring temp = to + L".zuvo-rename";
    if (MoveFileW(to.c_str(), temp.c_str()) && !MoveFileW(temp.c_str(), to.c_str()))
        MoveFileW(temp.c_str(), (to.substr(0, slash + 1) + onDisk).c_str());
    return true;  // the content is in place whatever the spelling
}

namespace {

bool RemoveFile(void*, const std::wstring& p) {
    return DeleteFileW(p.c_str());
}

}  // namespace

// ---- the context menu's commands ----

struct Sides {
    std::wstring source, target;
    bool valid = false;
};

// The first selected row's side decides which folder is the source.
Sides SidesOf(Dialog& d, int row) {
    Sides s;
    const CompareSide side = CompareSideOf(Cell(d.table, row, 3));
    if (side == CompareSide::Other) return s;
    const std::wstring base = CompareFolderOf(DialogItemTextWin(d.dlg, kIdBase));
    const std::wstring comp = CompareFolderOf(DialogItemTextWin(d.dlg, kIdComp));
    s.source = side == CompareSide::Base ? base : comp;
    s.target = side == CompareSide::Base ? comp : base;
    s.valid = true;
    return s;
}

void Transfer(Dialog& d, CompareAction action) {
    const std::vector<int> rows = Selected(d.table);
    if (rows.empty()) return;
    const Sides s = SidesOf(d, rows.front());
    if (!s.valid) return;
    // The path lists are reserved before anything is asked: 400 characters a row each.
    std::vector<std::wstring> sources, targets;
    std::wstring from;  // the shell's list of a delete
    try {
        sources.reserve(rows.size());
        targets.reserve(rows.size());
        from.reserve(rows.size() * (kMaxPath + 1) + 1);
    } catch (const std::bad_alloc&) {
        MessageBoxW(d.dlg, L"Could not allocate memory for file operation.", L"Error",
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring q = CompareQuestion(action, s.source, s.target,
                                           d.bits & CompareFlag::ScanSubfolders);
    if (MessageBoxW(d.dlg, q.c_str(), L"Please confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    for (int r : rows) {
        const std::wstring file = Cell(d.table, r, 0);
        sources.push_back(s.source + file);
        targets.push_back(s.target + file);
    }
    bool failed = false;
    if (action == CompareAction::Delete) {
        for (const std::wstring& p : sources) from += p + L'\0';
        from += L'\0';
        SHFILEOPSTRUCTW op{};
        op.hwnd = d.dlg;
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        // The question above was the confirmation; the files go to the recycle bin, and the
        // shell still warns before a file would be destroyed instead (no recycle bin there).
        op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
        SHFileOperationW(&op);  // reports its own errors
    } else {
        const CompareFileFs fs{nullptr, Exists, MakeFolders, CopyNew, RenameFile, RemoveFile};
        failed = CompareTransfer(sources, targets, action == CompareAction::Move, fs) > 0;
    }
    if (failed) MessageBoxW(d.dlg, L"Operation failed.", L"Error", MB_OK | MB_ICONEXCLAMATION);
    AutoRefresh(d, rows.front());
}

std::wstring FirstFile(Dialog& d, int* rowOut = nullptr) {
    const std::vector<int> rows = Selected(d.table);
    if (rows.size() != 1) return {};
    const Sides s = SidesOf(d, rows.front());
    if (!s.valid) return {};
    if (rowOut) *rowOut = rows.front();
    return s.source + Cell(d.table, rows.front(), 0);
}

void Launch(Dialog& d, int n) {
    const std::wstring* launch[] = {&d.settings.applaunch1, &d.settings.applaunch2,
                                    &d.settings.applaunch3};
    const std::wstring file = FirstFile(d);
    if (file.empty() || launch[n]->size() < 2) return;
    const std::wstring program = launch[n]->substr(1);
    const std::wstring args = L"\"" + file + L"\"";
    const auto run = [&](const std::wstring& p) {
        return reinterpret_cast<INT_PTR>(
            ShellExecuteW(d.dlg, nullptr, p.c_str(), args.c_str(), nullptr, SW_SHOWNORMAL));
    };
    if (run(program) > 32) return;
    const std::wstring moved = OnOwnDrive(program, d.ownPath);
    if (!moved.empty()) run(moved);
}

void ExploreOrOpen(Dialog& d, bool explore) {
    const std::wstring file = FirstFile(d);
    if (file.empty()) return;
    if (explore) {
        const std::wstring args = L"/select,\"" + file + L"\"";
        ShellExecuteW(d.dlg, nullptr, L"explorer.exe", args.c_str(), nullptr, SW_SHOWNORMAL);
    } else {
        ShellExecuteW(d.dlg, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void EasyRenamer(Dialog& d) {
    const std::vector<int> rows = Selected(d.table);
    if (rows.size() < 2) return;
    const Sides s = SidesOf(d, rows.front());
    if (!s.valid) return;
    std::vector<std::wstring> names, dates;
    for (int r : rows) {
        names.push_back(Cell(d.table, r, 0));
        dates.push_back(Cell(d.table, r, 2));
    }
    EasyRenamerDialogWin(d.dlg, s.source, RenamerFillLines(names, dates));
    AutoRefresh(d, rows.front());
}

// In-place rename of the first cell: the row's own side names the folder.
bool EndRename(Dialog& d, const NMLVDISPINFOW& info) {
    if (!info.item.pszText) return false;
    const int row = info.item.iItem;
    const CompareSide side = CompareSideOf(Cell(d.table, row, 3));
    if (side == CompareSide::Other) return false;
    const std::wstring folder =
        CompareFolderOf(DialogItemTextWin(d.dlg, side == CompareSide::Base ? kIdBase : kIdComp));
    const std::wstring from = folder + Cell(d.table, row, 0), to = folder + info.item.pszText;
    if (from != to) RenameFile(nullptr, from, to, false);
    if (d.bits & CompareFlag::NoAutoRefresh) return true;  // the cell takes the new text
    // Not inside the edit's notification: the table is rebuilt afterwards.
    PostMessageW(d.dlg, kMsgRefresh, SendMessageW(d.table, LVM_GETTOPINDEX, 0, 0), row);
    return false;
}

// ---- copy name and date ----

enum : int { kNdBase = 200, kNdComp, kNdToComp, kNdToBase };

struct NameDate {
    Dialog* d;
    std::wstring baseFile, compFile, baseText, compText;
    bool sameSize = false;
};

bool CopyNameAndDate(const std::wstring& source, const std::wstring& target) {
    FILETIME created, written;
    LARGE_INTEGER size{}, targetSize{};
    HANDLE h = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool read = GetFileTime(h, &created, nullptr, &written) && GetFileSizeEx(h, &size);
    CloseHandle(h);
    if (!read) return false;
    h = CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool set = GetFileSizeEx(h, &targetSize) && targetSize.QuadPart == size.QuadPart &&
                     SetFileTime(h, &created, nullptr, &written);
    CloseHandle(h);
    if (!set) return false;
    const std::wstring renamed = CompareNameDateTarget(target, source);
    return renamed == target || MoveFileW(target.c_str(), renamed.c_str());
}

INT_PTR CALLBACK NameDateProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* nd = reinterpret_cast<NameDate*>(GetWindowLongPtrW(w, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(w, DWLP_USER, lp);
            nd = reinterpret_cast<NameDate*>(lp);
            if (!nd->sameSize) {
                MessageBoxW(w, L"Different file sizes!", L"Copy not possible", MB_OK | MB_ICONERROR);
                EndDialog(w, IDCANCEL);
                return TRUE;
            }
            SizeDialogClientWin(w, 620, 150);
            DialogControlWin(w, L"STATIC", (L"BASE:  " + nd->baseText).c_str(), SS_LEFTNOWORDWRAP,
                             10, 10, 600, 36, kNdBase);
            DialogControlWin(w, L"STATIC", (L"COMP:  " + nd->compText).c_str(), SS_LEFTNOWORDWRAP,
                             10, 52, 600, 36, kNdComp);
            DialogControlWin(w, L"BUTTON", L"Copy from BASE to COMP", WS_TABSTOP | BS_DEFPUSHBUTTON,
                             10, 110, 200, 28, kNdToComp);
            DialogControlWin(w, L"BUTTON", L"Copy from COMP to BASE", WS_TABSTOP, 220, 110, 200, 28,
                             kNdToBase);
            DialogControlWin(w, L"BUTTON", L"Cancel", WS_TABSTOP, 510, 110, 100, 28, IDCANCEL);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kNdToComp || LOWORD(wp) == kNdToBase) {
                const bool toComp = LOWORD(wp) == kNdToComp;
                if (CopyNameAndDate(toComp ? nd->baseFile : nd->compFile,
                                    toComp ? nd->compFile : nd->baseFile)) {
                    EndDialog(w, IDOK);
                } else {
                    MessageBoxW(w, L"Copy operation failed", L"Name and date copy",
                                MB_OK | MB_ICONINFORMATION);
                    EndDialog(w, IDCANCEL);
                }
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(w, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(w, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

void NameAndDate(Dialog& d) {
    const std::vector<int> rows = Selected(d.table);
    if (rows.size() != 2) return;
    int base = -1, comp = -1;
    for (int r : rows) {
        const CompareSide side = CompareSideOf(Cell(d.table, r, 3));
        if (side == CompareSide::Base) base = r;
        if (side == CompareSide::Comp) comp = r;
    }
    if (base < 0 || comp < 0) return;
    NameDate nd{&d, {}, {}, {}, {}, Cell(d.table, base, 1) == Cell(d.table, comp, 1)};
    const std::wstring baseFolder = CompareFolderOf(DialogItemTextWin(d.dlg, kIdBase));
    const std::wstring compFolder = CompareFolderOf(DialogItemTextWin(d.dlg, kIdComp));
    nd.baseFile = baseFolder + Cell(d.table, base, 0);
    nd.compFile = compFolder + Cell(d.table, comp, 0);
    nd.baseText = baseFolder + L"\n" + Cell(d.table, base, 0) + L"   " + Cell(d.table, base, 2);
    nd.compText = compFolder + L"\n" + Cell(d.table, comp, 0) + L"   " + Cell(d.table, comp, 2);
    const INT_PTR done = RunDialogWin(DialogTemplateWin(L"Copy file name and date", 300, 80), d.dlg,
                                      NameDateProc, reinterpret_cast<LPARAM>(&nd));
    if (done == IDOK && !(d.bits & CompareFlag::NoAutoRefresh)) RefreshComparison(d, 0, -1);
}

void ContextMenu(Dialog& d, POINT pt) {
    const std::vector<int> rows = Selected(d.table);
    if (rows.empty()) return;
    std::vector<std::wstring> located;
    for (int r : rows) located.push_back(Cell(d.table, r, 3));
    const std::wstring* launch[3] = {&d.settings.applaunch1, &d.settings.applaunch2,
                                     &d.settings.applaunch3};
    HMENU menu = BuildMenuWin(CompareMenu(CompareSelectionMask(located),
                                          static_cast<int>(rows.size()), launch));
    if (!menu) return;
    if (pt.x == -1 && pt.y == -1) {  // from the keyboard: at the first selected row
        RECT r{LVIR_LABEL, 0, 0, 0};
        SendMessageW(d.table, LVM_GETITEMRECT, static_cast<WPARAM>(rows.front()),
                     reinterpret_cast<LPARAM>(&r));
        pt = {r.left, r.bottom};
        ClientToScreen(d.table, &pt);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, d.dlg, nullptr);
    DestroyMenu(menu);
}

}  // namespace compare_win
