#include "app/shell.h"

#include <algorithm>

#include "base/path.h"
#include "base/text.h"
#include "base/utf.h"
#include "config/settings_io.h"
#include "settings/settings_frame.h"

namespace {

bool ContainsNoCase(std::wstring_view text, std::wstring_view part) {
    if (part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, part.size()), part)) return true;
    return false;
}

size_t FindNoCase(std::wstring_view text, std::wstring_view part) {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, part.size()), part)) return i;
    return std::wstring_view::npos;
}

bool IsListFile(std::wstring_view path) {
    std::wstring ext = PathExtension(path);
    return EqualsNoCase(ext, L"cue") || EqualsNoCase(ext, L"m3u");
}

std::wstring Limit(std::wstring path) {
    if (path.size() > kMaxPath) path.resize(kMaxPath);
    return path;
}

// The folder part of a path, ignoring a trailing "\" (D:\x\y\ gives D:\x).
std::wstring ParentFolder(std::wstring_view path) {
    while (path.size() > 3 && path.back() == L'\\') path.remove_suffix(1);
    return PathFolder(path);
}

}  // namespace

std::wstring IniBesideProgram(std::wstring_view programPath) {
    return PathWithExtension(programPath, L".ini");
}

std::wstring ProfileFolder(std::wstring_view appDataFolder) {
    return PathJoin(appDataFolder, L"Zuvo");
}

std::wstring ProfileIniPath(std::wstring_view appDataFolder) {
    return PathJoin(ProfileFolder(appDataFolder), L"Zuvo.ini");
}

std::wstring MarkerFilePath(std::wstring_view programPath) {
    return PathJoin(PathFolder(programPath), L"Zuvolocal.ini");
}

IniChoice ChooseIniLocation(std::wstring_view programPath, std::wstring_view appDataFolder,
                            bool markerExists, bool localini, bool profileFolderExists) {
    if (markerExists || localini) return {IniBesideProgram(programPath), kPortable};
    if (profileFolderExists && !appDataFolder.empty())
        return {ProfileIniPath(appDataFolder), kProfile};
    return {IniBesideProgram(programPath), kBesideProgram};
}

std::wstring ExtractArgs(std::wstring_view commandLine) {
    // The program name is matched in any case: a shortened or upper-case path still ends so.
    size_t at = FindNoCase(commandLine, L".exe ");
    if (at == std::wstring_view::npos) at = FindNoCase(commandLine, L"exe\" ");
    if (at == std::wstring_view::npos) at = FindNoCase(commandLine, L"Zuvo ");
    if (at == std::wstring_view::npos) return {};
    std::wstring args(commandLine.substr(at + 5));
    if (args.size() > kMaxArgsChars) args.resize(kMaxArgsChars);
    return args;
}

bool HasSwitch(std::wstring_view args, std::wstring_view sw) {
    return args.find(sw) != std::wstring_view::npos;
}

std::wstring FindArgPath(std::wstring_view args, std::wstring_view currentDir) {
    if (args.size() >= kMaxPath) return {};
    std::wstring path;
    size_t quote = args.find(L'"');
    if (quote != std::wstring_view::npos) {
        size_t end = args.find(L'"', quote + 1);
        path = args.substr(quote + 1, end == std::wstring_view::npos ? end : end - quote - 1);
    } else {
        size_t start = args.find_first_not_of(L' ');
        if (start == std::wstring_view::npos || args[start] == L'/') return {};
        size_t end = args.find(L" /", start);
        path = args.substr(start, end == std::wstring_view::npos ? end : end - start);
        // Trailing blanks before the end of the text are never part of a Windows path.
        while (!path.empty() && path.back() == L' ') path.pop_back();
    }
    if (path.empty()) return {};
    bool absolute = (path.size() >= 2 && path[1] == L':') || path[0] == L'\\' || path[0] == L'.';
    if (!absolute) {
        std::wstring dir(currentDir);
        if (dir.empty() || dir.back() != L'\\') dir += L'\\';
        path = dir + path;
    }
    return path;
}

std::wstring NewWindowCommandLine(const std::wstring& exe, const std::wstring& folder,
                                  bool portable) {
    // The program's own reading of its arguments takes the text between two quotes as it is
    // (no escapes): a drive's trailing backslash needs no doubling.
    return L"\"" + exe + L"\" \"" + folder + L"\"" + RestartArguments(false, portable);
}

bool ShouldContactRunning(const Settings& s, std::wstring_view args) {
    bool single = (static_cast<uint32_t>(s.control_flags) & ControlFlag::SingleInstance) &&
                  !HasSwitch(args, L"/newinst");
    return single || HasSwitch(args, L"/enqueue");
}

HandoverMessage MakeHandover(std::wstring_view args, std::wstring_view path) {
    HandoverMessage m;
    m.dwData = HasSwitch(args, L"/enqueue") ? 1 : 0;
    std::string le = WideToUtf16Le(path);
    for (size_t i = 0; i + 1 < le.size(); i += 2)
        m.path += static_cast<char16_t>(static_cast<uint8_t>(le[i]) |
                                        (static_cast<uint8_t>(le[i + 1]) << 8));
    m.path += u'\0';
    return m;
}

HandoverAction DecideHandover(std::wstring_view path, uintptr_t dwData) {
    if (path.size() < 2 || path[1] != L':') return HandoverAction::ShowWindow;
    return dwData == 1 ? HandoverAction::Enqueue : HandoverAction::Play;
}

std::wstring HandoverPath(const void* data, size_t bytes) {
    if (!data) return {};
    std::wstring w = Utf16LeToWide(static_cast<const uint8_t*>(data), bytes);
    size_t nul = w.find(L'\0');
    if (nul != std::wstring::npos) w.resize(nul);
    return w;
}

int ClassifyStartPath(Settings& s, const std::wstring& path, FolderProbe canEnter, void* ctx) {
    if (canEnter(ctx, path)) {
        s.browsed_folder = Limit(path);
        s.last_file.clear();
        return 1;
    }
    if (IsListFile(path)) {
        s.browsed_folder = Limit(path);
        s.last_file.clear();
        return 2;
    }
    if (path.find(L'\\') != std::wstring::npos) s.browsed_folder = Limit(PathFolder(path));
    return 0;
}

StartPlan ApplyCommandLine(ShellState& sh, Settings& s, std::wstring_view args,
                           const std::wstring& path, const StartFolders& f) {
    StartPlan plan;
    const uint32_t listStyle = static_cast<uint32_t>(s.list_style);
    if (HasSwitch(args, L"/hide")) {
        plan.showHidden = true;
        sh.startupPending = false;
        if (!(static_cast<uint32_t>(s.control_flags) & ControlFlag::TrayIcon)) {
            s.control_flags |= ControlFlag::TrayIcon;
            plan.addTrayIcon = true;
        }
    }
    if (HasSwitch(args, L"/close")) sh.quitAfterTrack = true;
    if (listStyle & ListStyle::RestoreFileList) sh.restoreSavedList = true;

    size_t r = args.find(L"/r");
    if (r != std::wstring_view::npos) {
        wchar_t next = r + 2 < args.size() ? args[r + 2] : L'\0';
        if (next == L't') s.last_pos = 0;
        if (next == L'd') {
            s.last_pos = 0;
            size_t slash = s.last_file.find_last_of(L'\\');
            if (slash != std::wstring::npos) s.last_file.resize(slash + 1);
        }
        plan.autoplay = true;
        return plan;
    }

    if (!path.empty()) {
        sh.startedWithPath = true;
        sh.restoreSavedList = false;
        s.last_file = Limit(path);
        s.last_pos = 0;
        int kind = ClassifyStartPath(s, path, f.canEnter, f.ctx);
        s.last_folder = s.browsed_folder;
        if (HasSwitch(args, L"/enqueue")) {
            plan.enqueue = !s.last_file.empty();
        } else {
            plan.autoplay = !(kind != 0 && HasSwitch(args, L"/newinst"));
        }
        return plan;
    }

    if (ContainsNoCase(s.browsed_folder, L".cue") || ContainsNoCase(s.browsed_folder, L".m3u"))
        return plan;
    if (listStyle & ListStyle::StartInBaseFolder) {
        s.browsed_folder = s.home_folder;
        sh.restoreSavedList = false;
        if (sh.iniLocation == kPortable && s.home_folder.empty())
            s.browsed_folder = PathFolder(sh.programPath);
    } else if (!(listStyle & ListStyle::RestoreFileList)) {
        ClassifyStartPath(s, s.last_file, f.canEnter, f.ctx);
    }
    if (f.canEnter(f.ctx, s.browsed_folder)) return plan;
    sh.restoreSavedList = false;
    std::wstring parent = ParentFolder(s.browsed_folder);
    if (!parent.empty() && f.canEnter(f.ctx, parent)) {
        s.browsed_folder = parent;
        return plan;
    }
    if (!s.home_folder.empty()) {
        s.last_hti = 1;
        s.browsed_folder = s.home_folder;
        if (f.canEnter(f.ctx, s.browsed_folder)) return plan;
    }
    s.last_hti = 5;
    s.browsed_folder = f.musicFolder;
    plan.expandTreeRoot = true;
    return plan;
}

Rect PlaceMainWindow(const Settings& s, const Rect& v) {
    const bool compact = s.compact_view & CompactView::On;
    int x = compact ? s.compact_x : s.window_x;
    int y = compact ? s.compact_y : s.window_y;
    if (x < v.x - 20) x = v.x;
    if (y < v.y - 6) y = v.y;
    if (x >= v.x + v.w - 99) x = v.x + v.w - 100;
    if (compact) {
        if (y >= v.y + v.h - 69) y = v.y + v.h - 70;
        return {x, y, 0, 0};
    }
    if (y >= v.y + v.h - 99) y = v.y + v.h - 100;
    return {x, y, s.window_w, s.window_h - 2};
}

void SaveSettings(ShellState& sh, Settings& s, const FileOps& fs, bool keepLists) {
    if (sh.iniLocation == kBesideProgram || sh.iniLocation == kPortable) {
        sh.iniPath = IniBesideProgram(sh.programPath);
        bool ok = WriteSettingsFile(s, fs, sh.iniPath, true);
        if (!ok && sh.iniLocation == kBesideProgram) sh.iniLocation = kProfile;
    }
    if (sh.iniLocation == kProfile) {
        sh.iniPath = ProfileIniPath(sh.appDataFolder);
        std::wstring folder = ProfileFolder(sh.appDataFolder);
        if (!fs.folderExists(fs.ctx, folder)) fs.createFolder(fs.ctx, folder);
        WriteSettingsFile(s, fs, sh.iniPath, true);
    }
    if (!keepLists) FreeSettingsLists(s);
}

void SaveListStates(const ShellState& sh, const Settings& s, const FileOps& fs,
                    const ListSources& lists) {
    const bool info = s.info_row != 0;
    std::vector<ListStateRow> rows;
    if ((s.playlist_win & kPlaylistOpen) && lists.playlistRows &&
        lists.playlistRows(lists.ctx, rows))
        fs.replaceFile(fs.ctx, ListStatePath(sh.iniPath, L'p'), ListStateText(rows, info));
    rows.clear();
    if ((static_cast<uint32_t>(s.list_style) & ListStyle::RestoreFileList) && lists.fileListRows &&
        lists.fileListRows(lists.ctx, rows))
        fs.replaceFile(fs.ctx, ListStatePath(sh.iniPath, L'd'), ListStateText(rows, info));
}

void SaveAll(ShellState& sh, Settings& s, const FileOps& fs, const ListSources& lists,
             bool keepLists) {
    SaveSettings(sh, s, fs, keepLists);
    SaveListStates(sh, s, fs, lists);
}

std::wstring ErrorLogPath(std::wstring_view iniPath) {
    return PathJoin(PathFolder(iniPath), L"error.log");
}

std::string ErrorLogLine(const LocalTime& t, std::string_view text, int code) {
    std::string line = CtimeText(t);
    line += '\t';
    line += text;
    if (code >= 0) line += Format(" %d", code);
    line += "\r\n";
    return line;
}

void AppendErrorLog(const FileOps& fs, std::wstring_view iniPath, const std::string& line) {
    std::wstring path = ErrorLogPath(iniPath);
    int64_t size = fs.appendFile(fs.ctx, path, line);
    if (size <= kErrorLogMaxBytes) return;
    std::string all;
    if (!fs.readFile(fs.ctx, path, SIZE_MAX, all) || all.size() <= kErrorLogKeepFrom) return;
    fs.replaceFile(fs.ctx, path, all.substr(kErrorLogKeepFrom));
}

bool ConfirmationNeeded(const Settings& s, int which) {
    const uint32_t lock = static_cast<uint32_t>(s.control_lock);
    if (which == 256) return lock & ControlLock::Quit;
    if (which == 1) return lock & ControlLock::PlayStop;
    return true;
}
