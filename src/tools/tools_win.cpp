#include "tools/tools_win.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/engine_win.h"
#include "audio/output.h"
#include "base/dialog_win.h"
#include "base/file_dialog_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "config/lang_win.h"
#include "config/settings.h"
#include "library/folder_ops.h"
#include "library/folder_tree.h"
#include "library/library_win.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "library/track_list.h"
#include "tools/file_date.h"
#include "tools/file_moves.h"
#include "tools/renamer.h"
#include "tools/small_tools.h"
#include "ui/face_win.h"

namespace {

// Language entries of the texts used here.
constexpr int kLangDateAndTime = 7, kLangGoTo = 62, kLangFind = 63, kLangNext = 151,
              kLangNotes = 171, kLangPleaseConfirm = 202, kLangChangeOf = 209,
              kLangSelectDestination = 210, kLangMultipleFiles = 211, kLangConfirmation = 221,
              kLangError = 222, kLangKeepOrder = 223, kLangStartWith = 225, kLangBeatCounter = 226,
              kLangOperationFailed = 229, kLangFileOpenFailed = 231, kLangDlgOk = 239,
              kLangDlgCancel = 240, kLangDlgCancelFind = 241, kLangChangeModified = 243,
              kLangChangeCreated = 244, kLangDateHint = 245;

HWND g_main = nullptr;
std::wstring g_copyDestination;  // the remembered copy destination (this run only)
FindState g_find;
BeatCounter g_beats;
HWND g_beatWindow = nullptr;

const wchar_t* L(int index) {
    return LangText(g_lang, index);
}

void Failed() {
    MessageBoxW(g_main, L(kLangOperationFailed), L(kLangError), MB_OK | MB_ICONEXCLAMATION);
}

// The list with the keyboard focus; the File view until a list has had it.
TrackList* Focused() {
    TrackList* list = SequencerWin().focusedList;
    return list ? list : &LibraryFileView();
}

// The first selected row, else the focused one; -1 for none.
int ChosenRow(const TrackList& list) {
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].selected) return static_cast<int>(i);
    return list.focusedRow;
}

// A double-NUL-terminated list of paths for the shell's file operation.
std::wstring ShellList(const std::vector<std::wstring>& paths) {
    std::wstring out;
    for (const std::wstring& p : paths) out += p + L'\0';
    return out + L'\0';
}

bool ShellOperation(UINT func, const std::vector<std::wstring>& from, const std::wstring& to,
                    FILEOP_FLAGS flags) {
    const std::wstring src = ShellList(from);
    const std::wstring dst = to.empty() ? std::wstring() : ShellList({to});
    SHFILEOPSTRUCTW op{};
    op.hwnd = g_main;
    op.wFunc = func;
    op.pFrom = src.c_str();
    op.pTo = dst.empty() ? nullptr : dst.c_str();
    op.fFlags = flags;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

// Renames a file. A change of letter case alone goes through a temporary name: a file system
// that ignores case may take the new name for the old one and do nothing.
bool RenameFile(const std::wstring& from, const std::wstring& to) {
    if (from == to || !SameTextNoCase(from, to)) return MoveFileW(from.c_str(), to.c_str()) != 0;
    const std::wstring temp = from + L".zuvo-rename";
    if (!MoveFileW(from.c_str(), temp.c_str())) return false;
    if (MoveFileW(temp.c_str(), to.c_str())) return true;
    MoveFileW(temp.c_str(), from.c_str());
    return false;
}

void AfterRowsChanged() {
    SequenceRefreshUpcomingWin();
    const LibraryHost& h = LibraryHostWin();
    if (h.updateFlags) h.updateFlags(h.ctx);
    if (h.updateTitle) h.updateTitle(h.ctx);
}

// The numbering panel under the save dialog of a copy of several rows.
struct CopyPanel {
    bool numbered = false;
    int first = 1;
};
constexpr int kPanelCheck = 1201, kPanelLabel = 1202, kPanelNumber = 1203;

UINT_PTR CALLBACK PanelHook(HWND panel, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(panel, GWLP_USERDATA,
                              reinterpret_cast<const OPENFILENAMEW*>(lp)->lCustData);
            const struct {
                const wchar_t* cls;
                const wchar_t* text;
                DWORD style;
                int id, x, w;
            } items[] = {
                {L"BUTTON", L(kLangKeepOrder), BS_AUTOCHECKBOX | WS_TABSTOP, kPanelCheck, 10, 260},
                {L"STATIC", L(kLangStartWith), SS_RIGHT, kPanelLabel, 275, 70},
                {L"EDIT", L"", ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_DISABLED, kPanelNumber, 350,
                 60},
            };
            for (const auto& it : items)
                DialogControlWin(panel, it.cls, it.text, it.style, it.x, 6, it.w, 22, it.id);
            SendDlgItemMessageW(panel, kPanelNumber, EM_LIMITTEXT, 5, 0);
            // The system's save dialog keeps its own colours; only its frame turns dark.
            ApplyDarkModeToDialog(GetParent(panel), nullptr);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kPanelCheck) {
                const bool on = IsDlgButtonChecked(panel, kPanelCheck) == BST_CHECKED;
                EnableWindow(GetDlgItem(panel, kPanelNumber), on);
                SetDlgItemTextW(panel, kPanelNumber, on ? L"1" : L"");
            }
            return 0;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lp)->code == CDN_FILEOK) {
                auto* p = reinterpret_cast<CopyPanel*>(GetWindowLongPtrW(panel, GWLP_USERDATA));
                p->numbered = IsDlgButtonChecked(panel, kPanelCheck) == BST_CHECKED;
                // The start number is 16-bit.
                p->first =
                    static_cast<int>(GetDlgItemInt(panel, kPanelNumber, nullptr, FALSE) & 0xFFFF);
                if (p->first == 0) p->numbered = false;
            }
            return 0;
    }
    return 0;
}

// The save dialog: `path` in, the chosen path out; with `panel` the numbering panel below it.
bool AskPath(std::wstring& path, const wchar_t* title, CopyPanel* panel = nullptr) {
    std::vector<wchar_t> buf(kMaxPath + 1, 0);
    path.copy(buf.data(), kMaxPath);
    const std::wstring ext = PathExtension(path);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_main;
    ofn.lpstrFile = buf.data();
    ofn.nMaxFile = static_cast<DWORD>(buf.size());
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl{};
    if (panel) {
        tpl.t.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL;
        tpl.t.cx = 280;
        tpl.t.cy = 22;
        ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
        ofn.hInstance = reinterpret_cast<HINSTANCE>(&tpl.t);
        ofn.lpfnHook = PanelHook;
        ofn.lCustData = reinterpret_cast<LPARAM>(panel);
    }
    if (!SaveFileNameWin(&ofn)) return false;
    path = buf.data();
    return true;
}

// ---- Copy to ----

void CopyTo() {
    TrackList* list = Focused();
    if (!list) return;
    std::vector<std::wstring> sources;
    for (size_t i = 0; i < list->rows.size(); ++i) {
        std::wstring p;
        if (list->rows[i].selected && RowPath(*list, static_cast<int>(i), p, false) == 1 &&
            !IsUrl(p))
            sources.push_back(p);
    }
    if (sources.empty()) return;
    const bool multiple = sources.size() > 1;
    std::wstring dest =
        CopyProposal(g_copyDestination, sources.front(), multiple, L(kLangMultipleFiles));
    CopyPanel panel;
    if (!AskPath(dest, L(kLangSelectDestination), multiple ? &panel : nullptr)) return;
    const std::wstring folder = PathFolder(dest);
    bool ok;
    if (panel.numbered) {
        CopyFs fs;
        fs.copyNew = [](void*, const std::wstring& from, const std::wstring& to) {
            return CopyFileW(from.c_str(), to.c_str(), TRUE) != 0;  // never over a file
        };
        ok = CopyNumbered(sources, folder, panel.first, fs) == static_cast<int>(sources.size());
    } else {
        ok = ShellOperation(FO_COPY, sources, multiple ? folder : dest, FOF_ALLOWUNDO);
    }
    if (!ok) return Failed();
    RememberDestination(g_copyDestination, dest, g_settings);
}

// ---- Move/Rename ----

// Closes the playing file, renames it and opens it again at the byte it had reached: the
// decoder reads by offset, so the sound goes on without a break. On a failed rename the old
// name is opened again.
bool RenamePlayingFile(const std::wstring& from, const std::wstring& to) {
    Engine e = EngineNow();
    if (!e.io.file.open || !e.io.file.close) return false;
    const uint32_t at = e.track.dwPointer, end = e.track.dwAudioEnd;
    e.io.file.close(e.io.file.ctx, e.track);
    const bool moved = RenameFile(from, to);
    if (moved) {
        if (SameTextNoCase(g_settings.last_folder, PathFolder(from))) {
            g_settings.last_folder = PathFolder(to);
            MarkPlayingFolder(LibraryTree(), g_settings.last_folder);  // the tree's mark follows
        }
        g_settings.last_file = to;
    }
    // The record keeps a pointer to its name: the settings' copy outlives the track.
    if (e.io.file.open(e.io.file.ctx, e.track, g_settings.last_file.c_str(), e.in)) {
        e.track.dwAudioEnd = end;
        e.track.dwPointer = at;
    }
    return moved;
}

void MoveRename() {
    TrackList* list = Focused();
    if (!list || list != &LibraryFileView() || list->kind != folderList || SelectedCount(*list) > 1)
        return;
    const int row = ChosenRow(*list);
    std::wstring from;
    if (RowPath(*list, row, from, false) != 1) return;
    std::wstring to = from;
    if (!AskPath(to, L(kLangSelectDestination)) || to == from) return;

    EngineView v;
    PlaybackOpsWin().view(nullptr, v);
    const PlayState& ps = EngineNow().ps;
    MoveFacts f;
    f.playingTrack = SameTextNoCase(from, g_settings.last_file);
    f.outputOpen = v.outputOpen;
    f.ownMpegDecoder = !ps.bassActive && !ps.pluginActive && !ps.urlStream;
    bool ok = false;
    switch (ChooseMoveWay(f, from, to)) {
        case MoveWay::Seamless:
            ok = RenamePlayingFile(from, to);
            break;
        case MoveWay::StopMoveRestart: {
            const int32_t pos = static_cast<int32_t>(v.position);
            TrackOps t = TrackOpsWin();
            t.stop(t.ctx);
            ok = ShellOperation(FO_MOVE, {from}, to, FOF_ALLOWUNDO);
            if (ok) {
                if (SameTextNoCase(g_settings.last_folder, PathFolder(from)))
                    g_settings.last_folder = PathFolder(to);
                g_settings.last_file = to;
                t.startFile(t.ctx, to, pos);
            }
            break;
        }
        case MoveWay::Plain:
            if (f.playingTrack) TrackOpsWin().stop(nullptr);  // a stopped track's file is closed
            ok = ShellOperation(FO_MOVE, {from}, to, FOF_ALLOWUNDO);
            if (ok && f.playingTrack) g_settings.last_file = to;
            break;
    }
    if (!ok) return Failed();
    // The tree shows both folders as they now are on disk: the target and its parent (a folder
    // made in the save dialog comes in), and the source.
    const TreeEnv env = LibraryTreeEnvWin();
    const std::wstring source = PathFolder(from), target = PathFolder(to);
    RefreshFolderItems(LibraryTree(), source, env);
    if (!SameTextNoCase(source, target)) {
        RefreshFolderItems(LibraryTree(), target, env);
        if (!SameTextNoCase(PathFolder(target), source))
            RefreshFolderItems(LibraryTree(), PathFolder(target), env);
    }
    ApplyMoveToList(*list, row, from, to, g_settings.last_file);
    AfterRowsChanged();
}

// ---- Delete ----

void Delete() {
    TrackList* list = Focused();
    if (!list || (list->kind != folderList && list->kind != savedFolderList) ||
        SelectedCount(*list) > 1)
        return;
    const int row = ChosenRow(*list);
    std::wstring path;
    if (RowPath(*list, row, path, false) != 1 || IsUrl(path)) return;
    const bool recycle = static_cast<uint32_t>(g_settings.list_style) & ListStyle::RecycleNoConfirm;
    if (!recycle && MessageBoxW(g_main, DeleteQuestion(path).c_str(), L(kLangConfirmation),
                                MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    if (SameTextNoCase(path, g_settings.last_file)) {
        TrackOps t = TrackOpsWin();
        t.stop(t.ctx);
        g_settings.last_file.clear();
        EngineNow().track = MpegInfo{};
    }
    if (recycle) {
        if (!ShellOperation(FO_DELETE, {path}, L"",
                            FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI))
            return;
    } else if (!DeleteFileW(path.c_str())) {
        return Failed();
    }
    ApplyDeleteToList(*list, row, g_settings.last_file);
    AfterRowsChanged();
}

// ---- the one-box dialog of Go to, Find in list and Notes ----

enum class BoxKind { GoTo, Find, Notes };
struct BoxDialog {
    BoxKind kind;
    std::wstring text;
};
constexpr int kBoxEdit = 100;

void GoToRun(const std::wstring& typed) {
    const GoToTarget g = ClassifyGoTo(typed, g_settings.browsed_folder, g_playableExtensions);
    TrackOps t = TrackOpsWin();
    if (g.kind == GoToKind::File) {
        // The sequencer's own start of a path: it stops, shows the file's folder in the tree
        // and the File view, marks the row and plays.
        g_settings.last_pos = 0;
        t.playPath(t.ctx, g.play);
        return;
    }
    if (g.kind == GoToKind::Address) {
        t.stop(t.ctx);
        g_settings.last_pos = 0;
        g_settings.last_file = g.play;
        t.startFile(t.ctx, g.play, 0);
    }
    FolderTree& tree = LibraryTree();
    const TreeEnv env = LibraryTreeEnvWin();
    TreeItem item = LocateTreePath(tree, g.locate, true, env);
    if (!item) {
        g_settings.last_hti = 0;
        item = LocateTreePath(tree, g.locate, true, env);
    }
    if (!item) return;
    g_settings.browsed_folder = g.locate;
    SelectItem(tree, item);
}

bool FindRun(HWND dlg, const std::wstring& box) {
    TrackList* list = Focused();
    if (!list) return false;
    const int row = FindNext(g_find, box, *list);
    if (row < 0) return false;
    SelectOnly(*list, row);
    (void)dlg;
    return true;
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* b = reinterpret_cast<BoxDialog*>(lp);
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            const wchar_t* title = b->kind == BoxKind::GoTo   ? L(kLangGoTo)
                                   : b->kind == BoxKind::Find ? L(kLangFind)
                                                              : L(kLangNotes);
            SetWindowTextW(dlg, title);
            HWND edit = DialogControlWin(dlg, L"EDIT", b->text.c_str(), WS_TABSTOP | ES_AUTOHSCROLL,
                                         10, 10, 400, 24, kBoxEdit, WS_EX_CLIENTEDGE);
            SendMessageW(edit, EM_LIMITTEXT,
                         b->kind == BoxKind::GoTo   ? kMaxPath
                         : b->kind == BoxKind::Find ? kFindTextMax
                                                    : kNoteMax,
                         0);
            DialogControlWin(dlg, L"BUTTON", b->kind == BoxKind::Find ? L(kLangNext) : L"OK",
                             WS_TABSTOP | BS_DEFPUSHBUTTON, 230, 44, 85, 26, IDOK);
            DialogControlWin(dlg, L"BUTTON", L"Cancel", WS_TABSTOP, 325, 44, 85, 26, IDCANCEL);
            // A language file's button texts; Notes keeps its own and the standard colours.
            if (b->kind == BoxKind::GoTo) LangDialogText(kLangDlgOk, dlg, IDOK);
            LangDialogText(b->kind == BoxKind::Find ? kLangDlgCancelFind : kLangDlgCancel, dlg,
                           IDCANCEL);
            if (b->kind != BoxKind::Notes && g_settings.more_dark != 0)
                ApplyDarkModeToDialog(dlg, nullptr);
            if (b->kind != BoxKind::Notes) PaintDialogDarkWin(dlg, DialogLook::Plain);
            RECT r{0, 0, 420, 80};
            AdjustWindowRectEx(&r, GetWindowLongW(dlg, GWL_STYLE), FALSE,
                               GetWindowLongW(dlg, GWL_EXSTYLE));
            RECT owner;
            GetWindowRect(g_main, &owner);
            SetWindowPos(dlg, nullptr, owner.left + 40, owner.top + 60, r.right - r.left,
                         r.bottom - r.top, SWP_NOZORDER);
            SetFocus(edit);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            return FALSE;
        }
        case WM_COMMAND: {
            auto* b = reinterpret_cast<BoxDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
            if (LOWORD(wp) == kBoxEdit && HIWORD(wp) == EN_CHANGE && b &&
                b->kind == BoxKind::Find) {
                FindEdited(g_find);
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, IDCANCEL);
                return TRUE;
            }
            if (LOWORD(wp) != IDOK || !b) return FALSE;
            wchar_t buf[kMaxPath + 1] = {};
            GetDlgItemTextW(dlg, kBoxEdit, buf, kMaxPath + 1);
            b->text = buf;
            if (b->kind == BoxKind::Find) {
                FindRun(dlg, b->text);
                return TRUE;  // stays open for the next search
            }
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        case WM_CLOSE:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

// A modal dialog built at run time: an empty template, the controls made at WM_INITDIALOG.
INT_PTR ModalDialog(DLGPROC proc, LPARAM param, HWND owner = nullptr) {
    return RunDialogWin(
        DialogTemplateWin(L"", 0, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
        owner ? owner : g_main, proc, param);
}

INT_PTR RunBox(BoxDialog& b) {
    return ModalDialog(BoxProc, reinterpret_cast<LPARAM>(&b));
}

void GoTo() {
    BoxDialog b{BoxKind::GoTo, g_settings.browsed_folder};
    if (RunBox(b) == IDOK) GoToRun(b.text);
}

void Find() {
    FindOpened(g_find);
    BoxDialog b{BoxKind::Find, g_find.text};
    RunBox(b);
}

void Notes() {
    TrackList* list = Focused();
    std::wstring note;
    if (!list || !NoteOfSelection(*list, g_settings.info_row, note)) return;
    BoxDialog b{BoxKind::Notes, note};
    if (RunBox(b) == IDOK) SetNoteOfSelection(*list, b.text);
}

// ---- the manual beat counter ----

constexpr int kBeatButton = 100;

void Beat() {
    std::wstring text;
    if (BeatTap(g_beats, GetTickCount(), text) && g_beatWindow)
        SetDlgItemTextW(g_beatWindow, kBeatButton, text.c_str());
}

INT_PTR CALLBACK BeatProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowTextW(dlg, L(kLangBeatCounter));
            SizeDialogClientWin(dlg, 260, 110);
            HWND b = DialogControlWin(
                dlg, L"BUTTON", L"Beat by click or Shift+Ctrl+B\nReset/leave by Esc.",
                WS_TABSTOP | BS_MULTILINE | BS_PUSHBUTTON, 0, 0, 260, 110, kBeatButton);
            ApplyDarkModeToDialog(dlg, b);
            PaintDialogDarkWin(dlg, DialogLook::Dark);
            SetFocus(b);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kBeatButton) {
                Beat();
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                BeatCounterCloseWin();
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            BeatCounterCloseWin();
            return TRUE;
    }
    return FALSE;
}

void BeatCommand() {
    if (g_beatWindow) return Beat();
    g_beats = BeatCounter{};
    g_beatWindow =
        OpenDialogWin(DialogTemplateWin(L"", 0, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                        WS_EX_TOOLWINDOW),
                      g_main, BeatProc);
}

// ---- dialogs built at run time: an empty template, the controls made at WM_INITDIALOG ----

void SizeClient(HWND dlg, int w, int h) {
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dlg, GWL_EXSTYLE)));
    RECT owner;
    GetWindowRect(g_main, &owner);
    SetWindowPos(dlg, nullptr, owner.left + 30, owner.top + 40, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER);
}

std::string LocalDateText(const FILETIME& utc) {
    SYSTEMTIME st, local;
    if (!FileTimeToSystemTime(&utc, &st)) return std::string();
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &st, &local)) {
        // Some systems refuse the current zone given as null: the local file time instead.
        FILETIME lf;
        if (!FileTimeToLocalFileTime(&utc, &lf) || !FileTimeToSystemTime(&lf, &local))
            return std::string();
    }
    return DateBoxText({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute});
}

// ---- the easy renamer ----

constexpr int kRenFolder = 100, kRenReference = 101, kRenNames = 102, kRenDates = 103,
              kRenChangeDates = 104;

bool RenamerRenameWin(void*, const std::wstring& from, const std::wstring& to) {
    return RenameFile(from, to);
}

int RenamerSetDateWin(void*, const std::wstring& path, const DateFields& d, bool creation) {
    FILETIME ft;
    if (!LocalToFileTimeWin(d, ft)) return -1;
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    const BOOL ok = SetFileTime(h, creation ? &ft : nullptr, nullptr, creation ? nullptr : &ft);
    CloseHandle(h);
    return ok ? 1 : 0;
}

void RenamerRunWin(HWND dlg) {
    RenamerRun run;
    run.folder = DialogItemTextWin(dlg, kRenFolder, 300);
    run.reference = DialogItemTextWin(dlg, kRenReference, 32000);
    run.names = DialogItemTextWin(dlg, kRenNames, 32000);
    char dates[32001] = {};
    GetDlgItemTextA(dlg, kRenDates, dates, sizeof dates);
    run.dates = dates;
    run.changeDates = IsDlgButtonChecked(dlg, kRenChangeDates) == BST_CHECKED;
    run.creationDates = static_cast<uint32_t>(g_settings.stylez) & Style::CreatedDate;
    switch (RenamerCheckCounts(run)) {
        case RenamerResult::WrongNameCount:
            MessageBoxW(dlg, L"Wrong filename line count.", L(kLangError),
                        MB_OK | MB_ICONEXCLAMATION);
            return;
        case RenamerResult::WrongDateCount:
            MessageBoxW(dlg, L"Wrong date line count.", L(kLangError), MB_OK | MB_ICONEXCLAMATION);
            return;
        default:
            break;
    }
    wchar_t question[512];
    const wchar_t* what = !run.changeDates    ? L"name"
                          : run.creationDates ? L"creation date"
                                              : L"modified date";
    _snwprintf(question, 511, L(kLangChangeOf), what, RenamerFileCount(run));
    question[511] = 0;
    if (MessageBoxW(dlg, question, L(kLangPleaseConfirm), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    RenamerFs fs;
    fs.rename = RenamerRenameWin;
    fs.setDate = RenamerSetDateWin;
    const RenamerOutcome out = RenamerExecute(run, fs);
    if (out.result == RenamerResult::RenameFailed || out.result == RenamerResult::DateFailed) {
        const std::wstring text =
            (out.result == RenamerResult::RenameFailed ? L"Could not rename the file:\n\n"
                                                       : L"Could not set date for file:\n\n") +
            out.failedPath;
        MessageBoxW(dlg, text.c_str(), L(kLangError), MB_OK | MB_ICONEXCLAMATION);
    }
    // Whatever was done is on disk now: the dialog ends and the list is read again, so that
    // it shows the files as they are.
    EndDialog(dlg, IDOK);
}

// What the renamer dialog opens with: the rows' texts and the folder that holds their files.
struct RenamerDialog {
    const RenamerTexts* texts;
    const std::wstring* folder;
};

INT_PTR CALLBACK RenamerProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            const auto* d = reinterpret_cast<const RenamerDialog*>(lp);
            const RenamerTexts* t = d->texts;
            SetWindowTextW(dlg, L"Easy renamer");
            SizeClient(dlg, 900, 520);
            DialogControlWin(
                dlg, L"STATIC",
                L"Rename or re-date multiple files simply by text editing. IMPORTANT: Don't add "
                L"or remove lines or change the order of the lines!",
                0, 10, 8, 880, 20, -1);
            DialogControlWin(dlg, L"EDIT", d->folder->c_str(), ES_AUTOHSCROLL | WS_TABSTOP, 10, 32,
                             880, 22, kRenFolder, WS_EX_CLIENTEDGE);
            SendDlgItemMessageW(dlg, kRenFolder, EM_LIMITTEXT, 300, 0);
            const DWORD multi = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                                WS_HSCROLL | ES_WANTRETURN | WS_TABSTOP;
            DialogControlWin(dlg, L"EDIT", t->names.c_str(), multi | ES_READONLY, 10, 62, 330, 400,
                             kRenReference, WS_EX_CLIENTEDGE);
            DialogControlWin(dlg, L"EDIT", t->names.c_str(), multi, 350, 62, 330, 400, kRenNames,
                             WS_EX_CLIENTEDGE);
            HWND dates = DialogControlWin(dlg, L"EDIT", L"", multi | WS_DISABLED, 690, 62, 200, 400,
                                          kRenDates, WS_EX_CLIENTEDGE);
            SetWindowTextA(dates, t->dates.c_str());
            for (int id : {kRenReference, kRenNames, kRenDates})
                SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, 32000, 0);
            DialogControlWin(dlg, L"BUTTON", L"Change dates", BS_AUTOCHECKBOX | WS_TABSTOP, 690,
                             472, 200, 22, kRenChangeDates);
            DialogControlWin(dlg, L"BUTTON", L"Run", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 482, 100,
                             28, IDOK);
            DialogControlWin(dlg, L"BUTTON", L"Cancel", WS_TABSTOP, 120, 482, 100, 28, IDCANCEL);
            ApplyDarkModeToDialog(dlg, GetDlgItem(dlg, kRenNames));
            PaintDialogDarkWin(dlg, DialogLook::Dark);
            SetFocus(GetDlgItem(dlg, kRenNames));
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kRenChangeDates: {
                    const bool dates = IsDlgButtonChecked(dlg, kRenChangeDates) == BST_CHECKED;
                    EnableWindow(GetDlgItem(dlg, kRenDates), dates);
                    EnableWindow(GetDlgItem(dlg, kRenNames), !dates);
                    return TRUE;
                }
                case IDOK:
                    RenamerRunWin(dlg);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
    }
    (void)lp;
    return FALSE;
}

void EasyRenamer() {
    TrackList* list = Focused();
    if (!list || SelectedCount(*list) == 0) return;
    const RenamerTexts t = RenamerFill(*list, 3);
    if (t.rows == 0) return;
    const RenamerDialog d{&t, &g_settings.browsed_folder};
    if (ModalDialog(RenamerProc, reinterpret_cast<LPARAM>(&d)) == IDOK &&
        list == &LibraryFileView())
        LibraryListBrowsedFolderWin();
}

// ---- the file date dialog ----

constexpr int kDateName = 100, kDateModified = 101, kDateCreated = 102, kDateChangeModified = 103,
              kDateChangeCreated = 104, kDateHint = 105;

struct DateDialog {
    std::wstring path;
    int row = -1;
    HFONT bold = nullptr;
};

bool DateOk(HWND dlg, DateDialog& d) {
    FILETIME times[2];
    bool change[2] = {};
    const int boxes[2] = {kDateModified, kDateCreated},
              checks[2] = {kDateChangeModified, kDateChangeCreated};
    for (int i = 0; i < 2; ++i) {
        if (IsDlgButtonChecked(dlg, checks[i]) != BST_CHECKED) continue;
        char text[32] = {};
        GetDlgItemTextA(dlg, boxes[i], text, sizeof text);
        if (std::strlen(text) != kDateTextLength) continue;
        DateFields f;
        if (!ParseDateText(text, f) || !LocalToFileTimeWin(f, times[i])) return false;  // stays open
        change[i] = true;
    }
    HANDLE h = change[0] || change[1]
                   ? CreateFileW(d.path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr)
                   : INVALID_HANDLE_VALUE;
    const bool set =
        h != INVALID_HANDLE_VALUE &&
        SetFileTime(h, change[1] ? &times[1] : nullptr, nullptr, change[0] ? &times[0] : nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!set) {
        MessageBoxW(dlg, L(kLangOperationFailed), L(kLangError), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    TrackList& list = LibraryFileView();
    if (d.row >= 0 && static_cast<size_t>(d.row) < list.rows.size()) {
        const bool created = static_cast<uint32_t>(g_settings.stylez) & Style::CreatedDate;
        list.rows[static_cast<size_t>(d.row)].cell[3] =
            DialogItemTextWin(dlg, created ? kDateCreated : kDateModified, 16);
        if (list.view.rowChanged) list.view.rowChanged(list.view.ctx, d.row);
    }
    return true;
}

INT_PTR CALLBACK DateProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<DateDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            d = reinterpret_cast<DateDialog*>(lp);
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            std::wstring title = L(kLangDateAndTime);
            std::erase(title, L'&');
            SetWindowTextW(dlg, title.c_str());
            SizeClient(dlg, 360, 200);
            const size_t slash = d->path.find_last_of(L'\\');
            HWND name = DialogControlWin(
                dlg, L"STATIC", d->path.substr(slash == std::wstring::npos ? 0 : slash + 1).c_str(),
                SS_LEFTNOWORDWRAP, 10, 8, 340, 20, kDateName);
            RECT du{0, 0, 0, 9};  // the font's height in dialog units
            MapDialogRect(dlg, &du);
            d->bold = CreateFontW(-du.bottom, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                  VARIABLE_PITCH | FF_SWISS, nullptr);
            SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(d->bold), TRUE);
            DialogControlWin(dlg, L"STATIC", L"Modified", 0, 10, 40, 160, 18, -1);
            DialogControlWin(dlg, L"STATIC", L"Created", 0, 190, 40, 160, 18, -1);
            DialogControlWin(dlg, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED, 10, 60,
                             160, 22, kDateModified, WS_EX_CLIENTEDGE);
            DialogControlWin(dlg, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED, 190, 60,
                             160, 22, kDateCreated, WS_EX_CLIENTEDGE);
            DialogControlWin(dlg, L"STATIC", L"(YYYY-MM-DD HH:MM)", 0, 10, 88, 340, 18, kDateHint);
            DialogControlWin(dlg, L"BUTTON", L"Change Modified", BS_AUTOCHECKBOX | WS_TABSTOP, 10,
                             112, 160, 22, kDateChangeModified);
            DialogControlWin(dlg, L"BUTTON", L"Change Created", BS_AUTOCHECKBOX | WS_TABSTOP, 190,
                             112, 160, 22, kDateChangeCreated);
            DialogControlWin(dlg, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED,
                             160, 160, 90, 28, IDOK);
            DialogControlWin(dlg, L"BUTTON", L"Cancel", WS_TABSTOP, 260, 160, 90, 28, IDCANCEL);
            for (int id : {kDateModified, kDateCreated})
                SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, 16, 0);
            const int texts[][2] = {{kLangDlgOk, IDOK},
                                    {kLangDlgCancel, IDCANCEL},
                                    {kLangChangeModified, kDateChangeModified},
                                    {kLangChangeCreated, kDateChangeCreated},
                                    {kLangDateHint, kDateHint}};
            for (const auto& t : texts) LangDialogText(t[0], dlg, t[1]);
            if (g_settings.more_dark != 0) ApplyDarkModeToDialog(dlg, nullptr);
            PaintDialogDarkWin(dlg, DialogLook::Plain);
            HANDLE h = CreateFileW(d->path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            FILETIME created, written;
            const bool read =
                h != INVALID_HANDLE_VALUE && GetFileTime(h, &created, nullptr, &written);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
            if (!read) {
                MessageBoxW(dlg, L(kLangFileOpenFailed), L(kLangError), MB_OK | MB_ICONEXCLAMATION);
                EndDialog(dlg, IDCANCEL);
                return TRUE;
            }
            SetDlgItemTextA(dlg, kDateModified, LocalDateText(written).c_str());
            SetDlgItemTextA(dlg, kDateCreated, LocalDateText(created).c_str());
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kDateChangeModified:
                case kDateChangeCreated:
                    EnableWindow(GetDlgItem(dlg, LOWORD(wp) == kDateChangeModified ? kDateModified
                                                                                   : kDateCreated),
                                 IsDlgButtonChecked(dlg, LOWORD(wp)) == BST_CHECKED);
                    return TRUE;
                case kDateModified:
                case kDateCreated:
                    if (HIWORD(wp) == EN_CHANGE)
                        EnableWindow(GetDlgItem(dlg, IDOK),
                                     GetWindowTextLengthW(GetDlgItem(dlg, kDateModified)) == 16 &&
                                         GetWindowTextLengthW(GetDlgItem(dlg, kDateCreated)) == 16);
                    return TRUE;
                case IDOK:
                    if (d && DateOk(dlg, *d)) EndDialog(dlg, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            if (d && d->bold) DeleteObject(d->bold);
            if (d) d->bold = nullptr;
            return FALSE;
    }
    return FALSE;
}

void FileDate() {
    TrackList* list = Focused();
    if (list != &LibraryFileView() || SelectedCount(*list) != 1) return;
    DateDialog d;
    d.row = ChosenRow(*list);
    if (RowPath(*list, d.row, d.path, false) != 1) return;
    ModalDialog(DateProc, reinterpret_cast<LPARAM>(&d));
}

}  // namespace

// A local time to a UTC file time as the clock's own calls convert it; false when it does
// not convert.
bool LocalToFileTimeWin(const DateFields& d, FILETIME& out) {
    if (!DateFieldsValid(d)) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    st.wHour = static_cast<WORD>(d.hour);
    st.wMinute = static_cast<WORD>(d.minute);
    FILETIME local;
    return SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, &out);
}

bool EasyRenamerDialogWin(HWND owner, const std::wstring& folder, const RenamerTexts& texts) {
    if (texts.rows == 0) return false;
    const RenamerDialog d{&texts, &folder};
    return ModalDialog(RenamerProc, reinterpret_cast<LPARAM>(&d), owner) == IDOK;
}

HWND ToolsMainWindowWin() {
    return g_main;
}

void ToolsStartWin(HWND mainWindow) {
    g_main = mainWindow;
}

bool BeatCounterIsOpenWin() {
    return g_beatWindow != nullptr;
}

void BeatCounterCloseWin() {
    if (!g_beatWindow) return;
    HWND w = g_beatWindow;
    g_beatWindow = nullptr;
    DestroyWindow(w);
}

void ToolsCommandWin(CommandId id, intptr_t) {
    switch (id) {
        case kCmdCopyTo:
            return CopyTo();
        case kCmdMoveRename:
            return MoveRename();
        case kCmdDelete:
            return Delete();
        case kCmdOpenPath:
            return GoTo();
        case kCmdFindInList:
            return Find();
        case kCmdRowNotes:
            return Notes();
        case kCmdBeatCounter:
            return BeatCommand();
        case kCmdEasyRenamer:
            return EasyRenamer();
        case kCmdFileDate:
            return FileDate();
        default:
            return;
    }
}
