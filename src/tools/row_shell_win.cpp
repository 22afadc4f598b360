#include "tools/row_shell_win.h"

#include <shellapi.h>

#include <string>

#include "base/path.h"
#include "config/lang.h"
#include "config/lang_win.h"
#include "config/settings.h"
#include "library/folder_tree.h"
#include "library/library_win.h"
#include "library/row_commands.h"
#include "library/sequence.h"
#include "library/sequence_win.h"
#include "tools/tools_win.h"

namespace {

constexpr int kLangError = 222, kLangFileOpenFailed = 231;

HWND Owner() {
    return ToolsMainWindowWin();
}

void Complain(const std::wstring& path) {
    const std::wstring text = std::wstring(LangText(g_lang, kLangFileOpenFailed)) + L"\n" + path;
    MessageBoxW(Owner(), text.c_str(), LangText(g_lang, kLangError), MB_OK | MB_ICONEXCLAMATION);
}

// The focused list's command row as an existing file; false (after saying why, for a file that
// is gone) otherwise. Streams and navigation rows have no file for the shell.
bool RowFile(std::wstring& path) {
    TrackList* list = SequencerWin().focusedList;
    if (!list) list = &LibraryFileView();
    if (CommandRowFile(*list, path) != RowTarget::Track) return false;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Complain(path);
        return false;
    }
    return true;
}

// The shell runs the verb on the file. With ui, a failure is told by the shell itself (it names
// the cause: no program for the type, access denied...), so the caller adds no box of its own;
// without, the caller has another way to try.
bool Shell(const wchar_t* verb, const std::wstring& file, const wchar_t* params, bool ui,
           ULONG mask = 0) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = mask | (ui ? 0 : SEE_MASK_FLAG_NO_UI);
    info.hwnd = Owner();
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = params;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info);
}

void Explore() {
    std::wstring path;
    if (RowFile(path) &&
        !Shell(nullptr, L"explorer.exe", ExploreSelectArguments(path).c_str(), false))
        Shell(L"explore", PathFolder(path), nullptr, true);
}

void Properties() {
    std::wstring path;
    if (RowFile(path)) Shell(L"properties", path, nullptr, true, SEE_MASK_INVOKEIDLIST);
}

void StandardOpen() {
    std::wstring path;
    if (RowFile(path)) Shell(nullptr, path, nullptr, true);
}

// The tree's selected list file in the text editor its type has, else in Notepad.
void EditListFile() {
    FolderTree& tree = LibraryTree();
    std::wstring path;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, g_settings, path) ||
        !IsListFileName(path))
        return;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return Complain(path);
    if (!Shell(L"edit", path, nullptr, false))
        Shell(nullptr, L"notepad.exe", (L"\"" + path + L"\"").c_str(), true);
}

}  // namespace

void RowShellCommandWin(CommandId id, intptr_t) {
    switch (id) {
        case kCmdExplore:
            return Explore();
        case kCmdProperties:
            return Properties();
        case kCmdStandardOpen:
            return StandardOpen();
        case kCmdPlaylistEdit:
            return EditListFile();
        default:
            return;
    }
}
