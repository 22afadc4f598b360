// The application shell's decisions: where the settings live, what the command line asks for,
// whether to hand over to a running instance, where the main window goes, and the saves at exit.
// All portable; the glue in main_win.cpp feeds it the facts of the machine.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/fileops.h"
#include "base/timefmt.h"
#include "config/settings.h"
#include "library/list_state.h"

enum IniLocation : uint8_t {
    kBesideProgram = 0,  // no profile folder: beside the program, may switch to the profile
    kProfile = 1,        // "\Zuvo\Zuvo.ini" under the application-data folder
    kPortable = 3,       // marker file or "/localini": beside the program, always
};

// The process-wide state of the shell (one instance, in the glue).
struct ShellState {
    std::wstring programPath;    // full path of zuvo.exe
    std::wstring appDataFolder;  // CSIDL_APPDATA, without the trailing "\"
    std::wstring iniPath;
    IniLocation iniLocation = kBesideProgram;
    int osMajorVersion = 0;
    double dpiFactor = 1.0;
    bool startupPending = false;
    bool hiddenToTray = false;
    bool quitAfterTrack = false;
    bool startedWithPath = false;
    bool restoreSavedList = false;
    std::wstring argsText;
    std::wstring trackLogPath;                 // set at start when track logging is on
    int32_t lastPosAtStart = 0;                // last_pos as read from the settings file
    std::vector<std::wstring> pendingEnqueue;  // "/enqueue" paths of the command line, until
                                               // the Playlist view has started
};

// ---- settings location ----

constexpr int kMaxArgsChars = 799;

// The settings file beside the program: its path with the extension replaced by ".ini".
std::wstring IniBesideProgram(std::wstring_view programPath);
// The profile location: appData + "\Zuvo\Zuvo.ini".
std::wstring ProfileIniPath(std::wstring_view appDataFolder);
std::wstring ProfileFolder(std::wstring_view appDataFolder);
// The marker file that makes the program portable: "Zuvolocal.ini" in the program's folder.
std::wstring MarkerFilePath(std::wstring_view programPath);

struct IniChoice {
    std::wstring path;
    IniLocation location;
};
// Start-up step 3. localini: "/localini" occurs in the wide or narrow command line.
IniChoice ChooseIniLocation(std::wstring_view programPath, std::wstring_view appDataFolder,
                            bool markerExists, bool localini, bool profileFolderExists);

// ---- command line ----

// The argument text of a full command line (after ".exe ", "exe\" " or "Zuvo "), cut to 799
// characters; empty when none of them occurs.
std::wstring ExtractArgs(std::wstring_view commandLine);
// Plain substring search, as switches are found anywhere in the text.
bool HasSwitch(std::wstring_view args, std::wstring_view sw);
// The path named by the argument text, made absolute against currentDir; empty when none.
std::wstring FindArgPath(std::wstring_view args, std::wstring_view currentDir);

// The command line that opens folder in a new instance of the program (exe): the folder shown
// but not played, and the settings beside the program when they live there, as a restart has.
std::wstring NewWindowCommandLine(const std::wstring& exe, const std::wstring& folder,
                                  bool portable);

// ---- instance hand-over ----

// Whether this start contacts a running instance (that exists) instead of running itself.
bool ShouldContactRunning(const Settings& s, std::wstring_view args);

// What the second instance sends: dwData and the UTF-16 path with its terminating zero.
struct HandoverMessage {
    uintptr_t dwData;
    std::u16string path;  // includes the terminating zero; cbData = size() * 2
};
HandoverMessage MakeHandover(std::wstring_view args, std::wstring_view path);

enum class HandoverAction { ShowWindow, Enqueue, Play };
// What the running instance does with a received path.
HandoverAction DecideHandover(std::wstring_view path, uintptr_t dwData);
// Decodes the COPYDATASTRUCT bytes (UTF-16LE) up to the terminating zero.
std::wstring HandoverPath(const void* data, size_t bytes);

// ---- applying the command line ----

// Classify start path: 1 folder, 2 list file, 0 file (browsed_folder = its folder).
// canEnter tells whether a path can be made the current directory.
using FolderProbe = bool (*)(void* ctx, const std::wstring& path);
int ClassifyStartPath(Settings& s, const std::wstring& path, FolderProbe canEnter, void* ctx);

struct StartPlan {
    bool autoplay = false;
    bool enqueue = false;     // append last_file to the play list
    bool showHidden = false;  // "/hide": never shown at start, tray icon on
    bool addTrayIcon = false;
    bool expandTreeRoot = false;
};
// The machine facts the start-folder fallbacks need.
struct StartFolders {
    FolderProbe canEnter;  // SetCurrentDirectory succeeds
    void* ctx;
    std::wstring programFolder;
    std::wstring musicFolder;  // CSIDL_MYMUSIC
};
// Steps 1 to 6 of applying the command line: flags, last_file/last_pos/browsed_folder and the
// start folder with its fallbacks. The tree selection and playback are the glue's.
StartPlan ApplyCommandLine(ShellState& sh, Settings& s, std::wstring_view args,
                           const std::wstring& path, const StartFolders& folders);

// ---- main window ----

struct Rect {
    int x, y, w, h;
};
// The main window's creation rectangle for the stored position within the virtual screen.
Rect PlaceMainWindow(const Settings& s, const Rect& virtualScreen);

// ---- saving ----

// ListStatePath, ListStateRow and ListStateText live with the lists, which also read the
// files back (library/list_state.h).

// The list rows to save; the lists fill them when their parts exist.
struct ListSources {
    bool (*playlistRows)(void* ctx, std::vector<ListStateRow>& rows);  // null: nothing to save
    bool (*fileListRows)(void* ctx, std::vector<ListStateRow>& rows);  // false: not restorable
    void* ctx;
};

// Steps 1 and 2 of the save: the settings file beside the program or in the profile, with the
// switch to the profile when the program's folder cannot be written.
void SaveSettings(ShellState& sh, Settings& s, const FileOps& fs, bool keepLists);
// Steps 3 and 4: the list state files.
void SaveListStates(const ShellState& sh, const Settings& s, const FileOps& fs,
                    const ListSources& lists);
// The whole save shared by the exit and the autosave.
void SaveAll(ShellState& sh, Settings& s, const FileOps& fs, const ListSources& lists,
             bool keepLists);

// ---- error.log ----

constexpr int64_t kErrorLogMaxBytes = 20480;
constexpr size_t kErrorLogKeepFrom = 10240;

std::wstring ErrorLogPath(std::wstring_view iniPath);
// "Sat Dec 05 00:02:54 2026\ttext code\r\n" (the code only when >= 0).
std::string ErrorLogLine(const LocalTime& localTime, std::string_view text, int code);
// Appends the line and drops the older half once the file grows beyond 20480 bytes.
void AppendErrorLog(const FileOps& fs, std::wstring_view iniPath, const std::string& line);

// ---- confirmation ----

// Whether ConfirmAction asks: 256 only with control_lock bit 8, 1 only with bit 0, else always.
bool ConfirmationNeeded(const Settings& s, int which);
