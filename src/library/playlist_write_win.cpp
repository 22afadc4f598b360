// The window side of writing play lists and of "Find C&ue sheet": the save dialog, the file
// written or appended through the file table, the status text or the error box, and the tree
// selection of the sheet found.
#include "library/playlist_write_win.h"

#include <algorithm>
#include <cwchar>

#include "base/file_dialog_win.h"
#include "base/fileops_win.h"
#include "base/path.h"
#include "config/lang.h"
#include "library/cue.h"
#include "library/folder_ops_win.h"
#include "library/folder_tree.h"
#include "library/library_win.h"
#include "library/playlist_file.h"
#include "library/playlist_write.h"
#include "library/sequence.h"
#include "library/sequence_win.h"

namespace {

HWND g_main = nullptr;
// The play list file chosen last time; kept while the program runs.
std::wstring g_lastChosen;

constexpr int kAddedMessageMs = 3000;
constexpr int kLangSelectDestination = 210, kLangError = 222, kLangOperationFailed = 229;
constexpr DWORD kPathChars = 400 + 1;  // paths are at most 400 characters

// The list the commands act on: the focused one, when it is the File view or the Playlist view.
TrackList* FocusedList() {
    Sequencer& q = SequencerWin();
    if (q.focusedList && (q.focusedList == q.fileView || q.focusedList == q.playlistView))
        return q.focusedList;
    return nullptr;
}

// The save dialog; empty when it was cancelled.
std::wstring AskDestination() {
    const PlayListDialogStart start = PlayListDialogProposal(g_settings, g_lastChosen);
    std::wstring file(kPathChars, L'\0');
    start.name.copy(file.data(), std::min<size_t>(start.name.size(), kPathChars - 1));
    static const wchar_t kFilter[] = L"Playlist (*.m3u)\0*.m3u\0Playlist UTF-8 (*.m3u8)\0*.m3u8\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_main;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = IsUtf8ListName(start.name) ? 2 : 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathChars;
    ofn.lpstrInitialDir = start.folder.empty() ? nullptr : start.folder.c_str();
    ofn.lpstrTitle = LangText(g_lang, kLangSelectDestination);
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!SaveFileNameWin(&ofn)) return std::wstring();
    file.resize(wcsnlen(file.c_str(), kPathChars));
    return PlayListWithExtension(file, static_cast<int>(ofn.nFilterIndex));
}

// WritePlayList: the focused list's rows into a new (or emptied) file, or at the end of an
// existing one.
void WritePlayList(bool append) {
    TrackList* list = FocusedList();
    if (!list || list->kind > savedFolderList) return;
    const std::wstring path = AskDestination();
    if (path.empty()) return;  // cancelled: nothing is written
    if (!(static_cast<uint32_t>(g_settings.system_flags) & SystemFlag::NoRememberDest))
        g_lastChosen = path;
    const PlayListText text =
        PlayListFileText(PlayListRowsToWrite(*list, g_settings), path, SystemCodePageWin());
    FileOps fs = Win32FileOps();
    bool ok;
    if (append)
        ok = fs.fileExists(nullptr, path) && fs.appendFile(nullptr, path, text.bytes) >= 0;
    else
        ok = fs.replaceFile(nullptr, path, text.bytes);
    if (!ok) {
        MessageBoxW(g_main, LangText(g_lang, kLangOperationFailed), LangText(g_lang, kLangError),
                    MB_ICONERROR);
        return;
    }
    const LibraryHost& h = LibraryHostWin();
    if (h.showMessage) h.showMessage(h.ctx, PlayListAddedText(text.lines).c_str(), kAddedMessageMs);
}

bool ReadHead(void*, const std::wstring& path, size_t n, std::string& out) {
    FileOps fs = Win32FileOps();
    return fs.readFile(nullptr, path, n, out);
}

}  // namespace

void PlaylistCreateCommandWin(CommandId, intptr_t) {
    WritePlayList(false);
}

void PlaylistAppendCommandWin(CommandId, intptr_t) {
    WritePlayList(true);
}

// "Find C&ue sheet": the first sheet of the shown folder that names the first selected row
// is selected in the tree, whose selection change loads it into the File view.
void FindCueSheetCommandWin(CommandId, intptr_t) {
    const Sequencer& q = SequencerWin();
    if (q.playlistView && q.focusedList == q.playlistView) return;
    std::wstring name;
    if (!CueSearchName(LibraryFileView(), name)) return;
    const FolderOps fs = Win32FolderOps();
    const std::wstring sheet =
        FindCueSheet(name, g_settings.browsed_folder, fs, ReadHead, nullptr, SystemCodePageWin());
    if (sheet.empty()) return;
    FolderTree& tree = LibraryTree();
    if (TreeItem item = LocateListTarget(tree, sheet, LibraryTreeEnvWin())) SelectItem(tree, item);
}

void PlaylistWriteStartWin(HWND mainWindow) {
    g_main = mainWindow;
}
