// Tables around the command numbers: hotkey slots, toolbar tooltips, control locks, and the
// small decisions of the commands (steps, cycles, toggles) that the dispatcher applies.
#include "app/commands.h"

#include "app/dispatch.h"
#include "base/path.h"
#include "base/text.h"
#include "config/settings_bits.h"

namespace {

struct CommandEntry {
    CommandId id;
    int value;
};

// Buttons with a tooltip entry of their own (94 to 112).
constexpr CommandEntry kTooltipEntries[] = {
    {kCmdPlayFromStart, 94}, {kCmdStopResume, 95},    {kCmdPrevTrack, 96},
    {kCmdNextTrack, 97},     {kCmdDirSearchBack, 98}, {kCmdDirSearchForward, 99},
    {kCmdSkipRows, 100},     {kCmdMoveRowsNext, 101}, {kCmdRepeatMenu, 102},
    {kCmdTreeToggle, 103},   {kCmdShuffle, 104},      {kCmdMainMenuButton, 105},
    {kCmdPlaylistView, 106}, {kCmdGoToCurrent, 107},  {kCmdReloadList, 108},
    {kCmdScanInfo, 109},     {kCmdMute, 110},         {kCmdFileFinderDrive, 111},
    {kCmdWebServer, 112},
};

// Buttons whose tooltip is made from their menu entry.
constexpr CommandEntry kMenuEntries[] = {
    {kCmdSettings, 52},       {kCmdCompactView, 76}, {kCmdFavorites, 51}, {kCmdTrackHistory, 64},
    {kCmdFolderHistory, 82},  {kCmdOpenPath, 62},    {kCmdExplore, 11},   {kCmdTrackInfo, 2},
    {kCmdQuitAfterTrack, 74}, {kCmdBigView, 54},     {kCmdIntroScan, 58}, {kCmdOpenPicture, 55},
    {kCmdViewTrackLog, 56},   {kCmdEnhancer1, 65},   {kCmdEnhancer2, 67}, {kCmdMono, 70},
};

// The control_lock bit that silences a command.
constexpr CommandEntry kLocks[] = {
    {kCmdPrevTrack, ControlLock::PrevNext},        {kCmdNextTrack, ControlLock::PrevNext},
    {kCmdSkipRows, ControlLock::TrackPlacement},   {kCmdMoveRowsNext, ControlLock::TrackPlacement},
    {kCmdMoveRowUp, ControlLock::TrackPlacement},  {kCmdMoveRowDown, ControlLock::TrackPlacement},
    {kCmdMovePageUp, ControlLock::TrackPlacement}, {kCmdMovePageDown, ControlLock::TrackPlacement},
    {kCmdEnhancer1, ControlLock::DspChanges},      {kCmdEnhancer2, ControlLock::DspChanges},
    {kCmdEqualizer, ControlLock::DspChanges},      {kCmdMono, ControlLock::DspChanges},
    {kCmdFastPlay1, ControlLock::DspChanges},      {kCmdFastPlay2, ControlLock::DspChanges},
    {kCmdFastPlay3, ControlLock::DspChanges},      {kCmdMute, ControlLock::Volume},
    {kCmdSoftMute, ControlLock::Volume},           {kCmdVolumeDown, ControlLock::Volume},
    {kCmdVolumeUp, ControlLock::Volume},           {kCmdRewind, ControlLock::TrackPosition},
    {kCmdFastForward, ControlLock::TrackPosition},
};

template <size_t N>
int Lookup(const CommandEntry (&table)[N], CommandId id, int missing) {
    for (const CommandEntry& e : table)
        if (e.id == id) return e.value;
    return missing;
}

}  // namespace

int ToolbarTooltipEntry(CommandId id) {
    return Lookup(kTooltipEntries, id, -1);
}
int ToolbarMenuEntry(CommandId id) {
    return Lookup(kMenuEntries, id, -1);
}

int ExternalProgramNumber(CommandId id) {
    switch (id) {
        case kCmdExternal1:
            return 1;
        case kCmdExternal2:
            return 2;
        case kCmdExternal3:
            return 3;
        default:
            return 0;
    }
}

bool CommandLocked(const Settings& s, CommandId id) {
    const uint32_t bit = static_cast<uint32_t>(Lookup(kLocks, id, 0));
    return bit && (static_cast<uint32_t>(s.control_lock) & bit);
}

uint16_t VolumeStep(uint16_t volume, bool up, bool fine) {
    const int step = fine ? 1280 : 2560;
    if (!up) return static_cast<uint16_t>(volume > step ? volume - step : 0);
    if (volume >= 65535 - step) return 65535;
    return static_cast<uint16_t>(volume + step);
}

uint8_t NextSoftMute(uint8_t current, CommandId id) {
    if (current != 0) return 0;
    return id == kCmdSoftMute ? 2 : 1;
}

uint8_t NextFastPlayLevel(uint8_t current, uint8_t level) {
    return current == level ? 0 : level;
}

uint8_t NextShowTime(uint8_t showTime) {
    switch (showTime) {
        case 0:
            return 1;
        case 1:
            return 2;
        case 2:
            return 3;
        case 3:
            return 7;
        case 7:
            return 8;
        default:
            return 0;
    }
}

uint8_t NextRepeatMode(uint8_t rptMode) {
    return rptMode >= 3 ? 0 : rptMode + 1;
}

int SkipSeconds(int32_t skipTimes, bool back) {
    const int v = (static_cast<uint32_t>(skipTimes) >> (back ? 0 : 8)) & 0xFF;
    const int seconds = v <= 60 ? v : (v - 30) * 2;
    return back ? seconds + 1 : seconds;
}

Pane NextPane(Pane pane, const PaneSet& open) {
    int p = pane;
    for (int i = 0; i < 5; ++i) {
        p = (p + 1) % 5;
        if (p == kPanePlaylist && !open.playlistOpen) continue;
        if (p == kPaneInsert && !open.insertOpen) continue;
        if (p == kPaneToolbar && !open.toolbarByTab) continue;
        if (p == kPaneTree && open.treeHidden) continue;
        return static_cast<Pane>(p);
    }
    return kPaneFiles;
}

void ToggleTreeSettings(Settings& s) {
    s.stylez ^= Style::TreeHidden;
    const bool hidden = static_cast<uint32_t>(s.stylez) & Style::TreeHidden;
    // The columns beside the tree take the freed room (and give it back).
    const int32_t room = (s.divider + 1) * (hidden ? 1 : -1);
    s.list_name[0] += room;
    s.list_name[1] += room;
    s.list_date[2] += room;
    if (hidden)
        s.control_flags |= ControlFlag::FoldersInFileView;
    else
        s.control_flags &= ~static_cast<int32_t>(ControlFlag::FoldersInFileView);
}

bool LabelEditAllowed(const Settings& s, ListId list, bool fileListShowsFolder) {
    if (static_cast<uint32_t>(s.control_lock) & ControlLock::FileTools) return false;
    return list == kListFiles && fileListShowsFolder;
}

std::wstring ToolbarTooltip(LangState& lang, const Settings& s, CommandId id) {
    int entry = ToolbarTooltipEntry(id);
    if (entry >= 0) return LangText(lang, entry);
    if (int n = ExternalProgramNumber(id)) {
        const std::wstring& value = n == 1 ? s.applaunch1 : n == 2 ? s.applaunch2 : s.applaunch3;
        // The value is an option character followed by the program's path.
        std::wstring program = value.size() > 1 ? value.substr(1) : std::wstring();
        size_t slash = program.find_last_of(L'\\');
        std::wstring name = slash == std::wstring::npos ? program : program.substr(slash + 1);
        const wchar_t* keys[] = {L"1]", L"2]", L"3]"};
        return name + L"  [" + LangText(lang, 114) + L"+" + keys[n - 1];
    }
    entry = ToolbarMenuEntry(id);
    return entry >= 0 ? LangMenuTip(lang, entry, true) : L"";
}
