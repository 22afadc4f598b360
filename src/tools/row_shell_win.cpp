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

// ShellExecute reports success with a value above 32.
bool Shell(const wchar_t* verb, const std::wstring& file, const wchar_t* params = nullptr) {
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(Owner(), verb, file.c_str(), params, nullptr, SW_SHOWNORMAL)) > 32;
}

void Explore() {
    std::wstring path;
    if (!RowFile(path)) return;
    if (!Shell(nullptr, L"explorer.exe", ExploreSelectArguments(path).c_str()) &&
        !Shell(L"explore", PathFolder(path)))
        Complain(path);
}

void Properties() {
    std::wstring path;
    if (!RowFile(path)) return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = Owner();
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) Complain(path);
}

void StandardOpen() {
    std::wstring path;
    if (RowFile(path) && !Shell(nullptr, path)) Complain(path);
}

// The tree's selected list file in the text editor its type has, else in Notepad.
void EditListFile() {
    FolderTree& tree = LibraryTree();
    std::wstring path;
    if (!tree.selected || !ItemFolderPath(tree, tree.selected, g_settings, path) ||
        !IsListFileName(path))
        return;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return Complain(path);
    if (!Shell(L"edit", path) && !Shell(nullptr, L"notepad.exe", (L"\"" + path + L"\"").c_str()))
        Complain(path);
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
