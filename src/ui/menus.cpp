#include "ui/menus.h"

#include "base/command_ids.h"
#include "base/text.h"
#include "config/settings_bits.h"

namespace {

MenuItem Item(unsigned id, std::wstring text, bool checked = false, bool greyed = false) {
    MenuItem m;
    m.id = id;
    m.text = std::move(text);
    m.checked = checked;
    m.greyed = greyed;
    return m;
}

MenuItem Separator() {
    MenuItem m;
    m.kind = MenuItem::Separator;
    return m;
}

MenuItem Sub(std::wstring text, Menu items) {
    MenuItem m;
    m.kind = MenuItem::Submenu;
    m.text = std::move(text);
    m.greyed = items.empty();
    m.items = std::move(items);
    return m;
}

// An entry's text up to its TAB (the tray shows no keys).
std::wstring NoKeys(const wchar_t* text) {
    std::wstring t(text);
    const size_t tab = t.find(L'\t');
    if (tab != t.npos) t.resize(tab);
    return t;
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == path.npos ? path : path.substr(slash + 1);
}

// The external programs that take the file ("0" option character) as "Open with name".
void AddOpenWith(Menu& m, const std::wstring (&launch)[3], const LangState& lang) {
    static const unsigned kIds[3] = {kCmdExternal1, kCmdExternal2, kCmdExternal3};
    for (int i = 0; i < 3; ++i) {
        const std::wstring& v = launch[i];
        if (v.size() < 2 || v[0] != L'0') continue;
        m.push_back(Item(kIds[i], std::wstring(LangText(lang, 8)) + L" " + FileName(v.substr(1))));
    }
}

bool LoggingOn(const MenuFacts& f) {
    return f.logfile & kLogfileOn;
}

Menu FavouritesSub(const MenuFacts& f, const LangState& lang) {
    Menu m = {Item(kCmdFavAddPosition, LangText(lang, 83)),
              Item(kCmdFavAddTrack, LangText(lang, 84)),
              Item(kCmdFavRemove, LangText(lang, 85))};
    if (!f.favourites.empty()) m.push_back(Separator());
    m.insert(m.end(), f.favourites.begin(), f.favourites.end());
    return m;
}

bool TrackHistoryShown(const MenuFacts& f) {
    return f.history != 0 && LoggingOn(f);
}
bool FolderHistoryShown(const MenuFacts& f) {
    return TrackHistoryShown(f) || (f.controlFlags & ControlFlag::RememberFolderPos);
}

}  // namespace

bool MenusLocked(uint32_t controlLock) {
    return controlLock & ControlLock::Menus;
}

Menu OptionsMenu(const MenuFacts& f, const LangState& lang) {
    const bool compact = f.compactView & CompactView::On;
    Menu m;
    m.push_back(Item(kCmdEnhancer1, LangText(lang, 65), f.enhance == 1));
    if (f.enhance == 1) m.push_back(Item(kCmdEqualizer, LangText(lang, 66), f.eqEnable));
    m.push_back(Item(kCmdEnhancer2, LangText(lang, 67), f.enhance == 2));
    m.push_back(Item(kCmdGapless, LangText(lang, 68), f.gapless & GaplessFlag::Enable));
    m.push_back(Item(kCmdAutospace, LangText(lang, 69), f.autospace & kAutospaceOn));
    m.push_back(Item(kCmdMono, LangText(lang, 70), f.waveFlags & WaveFlag::MonoOutput));
    m.push_back(Separator());
    m.push_back(Item(kCmdAutoSearchDirs, LangText(lang, 71),
                     f.controlFlags & ControlFlag::AutoSearchDirs));
    m.push_back(Item(kCmdContinueInFocused, LangText(lang, 72),
                     f.controlFlags & ControlFlag::ContinueInFocused));
    m.push_back(Item(kCmdQuitAfterList, LangText(lang, 73), f.quitAfterList));
    m.push_back(Item(kCmdQuitAfterTrack, LangText(lang, 74), f.quitAfterTrack));
    m.push_back(Separator());
    static const char* const kSpeeds[3] = {"1.3", "1.6", "2.0"};
    for (int level = 1; level <= 3; ++level) {
        const std::string keys = Format("+%d", level);
        std::wstring text = std::wstring(LangText(lang, 75)) + L": ~ ";
        for (const char* c = kSpeeds[level - 1]; *c; ++c) text += static_cast<wchar_t>(*c);
        text += std::wstring(L" x\t") + LangText(lang, 115) + L"+" + LangText(lang, 114) +
                std::wstring(keys.begin(), keys.end());
        m.push_back(Item(kCmdFastPlay1 + static_cast<unsigned>(level - 1), text,
                         f.fastPlayLevel == level));
    }
    m.push_back(Separator());
    m.push_back(Item(kCmdCompactView, LangText(lang, 76), compact));
    m.push_back(Item(kCmdCompactOnTop, LangText(lang, 77), f.compactView & CompactView::AlwaysOnTop,
                     !compact));
    m.push_back(Item(kCmdCompactNoTitleBar, LangText(lang, 78),
                     f.compactView & CompactView::NoTitleBar, !compact));
    m.push_back(Item(kCmdCompactNoStatusBar, LangText(lang, 79),
                     f.compactView & CompactView::NoStatusBar, !compact));
    m.push_back(Separator());
    m.push_back(Item(kCmdAlwaysScanInfo, LangText(lang, 80),
                     f.listStyle & ListStyle::AlwaysScanInfo));
    m.push_back(Item(kCmdShowPictures, LangText(lang, 81), f.stylez & Style::ShowPictures));
    return m;
}

Menu RepeatMenu(const MenuFacts& f, const LangState& lang) {
    Menu m;
    for (int mode = 0; mode < 4; ++mode)
        m.push_back(Item(kCmdRepeatOff + static_cast<unsigned>(mode), LangText(lang, 45 + mode),
                         f.rptMode == mode));
    m.push_back(Separator());
    m.push_back(Item(kCmdRepeatTrackOnce, LangText(lang, 49), f.trackOneShot == 1));
    m.push_back(Item(kCmdStopAfterTrack, LangText(lang, 50), f.trackOneShot == 2));
    return m;
}

Menu MainMenu(const MenuFacts& f, const LangState& lang) {
    const bool compact = f.compactView & CompactView::On;
    if (!f.trackLoaded && !compact && f.statusBarClick)
        return {Item(kCmdShowAllTips, LangText(lang, 59))};
    Menu m;
    m.push_back(Sub(LangText(lang, 53), OptionsMenu(f, lang)));
    m.push_back(Item(kCmdSettings, LangText(lang, 52)));
    m.push_back(Separator());
    m.push_back(Item(kCmdBigView, LangText(lang, 54), f.bigViewOpen));
    if (f.pictureShown) m.push_back(Item(kCmdOpenPicture, LangText(lang, 55)));
    if (f.trackPlaying) m.push_back(Item(kCmdCopyNowPlaying, LangText(lang, 60)));
    if (compact || (f.systemFlags & SystemFlag::CloseMinimizes))
        m.push_back(Item(kCmdQuit, LangText(lang, 57)));
    m.push_back(Separator());
    if (LoggingOn(f)) m.push_back(Item(kCmdViewTrackLog, LangText(lang, 56)));
    m.push_back(Item(kCmdOpenPath, LangText(lang, 62)));
    m.push_back(Item(kCmdFindInList, LangText(lang, 63)));
    m.push_back(Item(kCmdIntroScan, LangText(lang, 58), f.introScanRunning));
    m.push_back(Separator());
    m.push_back(Sub(LangText(lang, 51), FavouritesSub(f, lang)));
    if (TrackHistoryShown(f)) m.push_back(Sub(LangText(lang, 64), f.trackHistory));
    if (FolderHistoryShown(f)) m.push_back(Sub(LangText(lang, 82), f.folderHistory));
    return m;
}

Menu TrayMenu(const MenuFacts& f, const LangState& lang) {
    Menu m;
    m.push_back(Item(kCmdSettings, NoKeys(LangText(lang, 52))));
    m.push_back(Sub(LangText(lang, 53), OptionsMenu(f, lang)));
    m.push_back(Sub(LangText(lang, 102), RepeatMenu(f, lang)));
    m.push_back(Sub(LangText(lang, 51), FavouritesSub(f, lang)));
    m.push_back(Sub(LangText(lang, 64), TrackHistoryShown(f) ? f.trackHistory : Menu{}));
    m.push_back(Sub(LangText(lang, 82), FolderHistoryShown(f) ? f.folderHistory : Menu{}));
    m.push_back(Sub(LangText(lang, 90), f.currentList));
    static const unsigned kIds[] = {kCmdDirSearchBack, kCmdDirSearchForward, kCmdPlayFromStart,
                                    kCmdStopResume,    kCmdPrevTrack,        kCmdNextTrack};
    static const int kTexts[] = {98, 99, 94, 95, 96, 97};
    for (size_t i = 0; i < std::size(kIds); ++i)
        m.push_back(Item(kIds[i], LangText(lang, kTexts[i])));
    m.push_back(Item(kCmdQuit, LangText(lang, 57)));
    return m;
}

Menu RowMenu(const RowFacts& f, const LangState& lang) {
    Menu m;
    if (f.playingStream) {
        m.push_back(Item(0, LangText(lang, 28), false, true));
        m.push_back(Item(0, f.streamTitle, false, true));
        if (f.streamHasWebsite) m.push_back(Item(kCmdCopyWebsite, LangText(lang, 29)));
        m.push_back(Item(0, LangText(lang, 30), false, true));
        m.push_back(Item(kCmdLogTitle, LangText(lang, 31)));
        m.push_back(Item(kCmdCopyTitle, LangText(lang, 32)));
        return m;
    }
    const bool listView = f.listKind <= 2;
    m.push_back(Item(kCmdTrackInfo, LangText(lang, 2)));
    if (listView) m.push_back(Item(kCmdCopyTo, LangText(lang, 3)));
    if (f.singleTrack && f.listKind == 0) m.push_back(Item(kCmdDelete, LangText(lang, 4)));
    if (f.fileListShowsFolder) {
        if (!(f.listStyle & ListStyle::NoLabelEdit)) m.push_back(Item(kCmdRename, LangText(lang, 5)));
        m.push_back(Item(kCmdMoveRename, LangText(lang, 6)));
        m.push_back(Item(kCmdFileDate, LangText(lang, 7)));
    }
    if ((f.infoRow >> 10 & 0x1F) == 8) m.push_back(Item(kCmdRowNotes, LangText(lang, 27)));
    if (!listView) return m;
    m.push_back(Separator());
    AddOpenWith(m, f.launch, lang);
    m.push_back(Item(kCmdBrowserWithTitle, LangText(lang, 9)));
    m.push_back(Item(kCmdFavAddTrack, LangText(lang, 10)));
    m.push_back(Item(kCmdExplore, LangText(lang, 11)));
    Menu special = {Item(kCmdStandardOpen, LangText(lang, 13)),
                    Item(kCmdProperties, LangText(lang, 14)),
                    Item(kCmdCopyPath, LangText(lang, 15))};
    if (f.fileListShowsFolder) special.push_back(Item(kCmdFindCueSheet, LangText(lang, 16)));
    special.push_back(Item(kCmdSaveToWav, LangText(lang, 17), false, !f.playableFile));
    special.push_back(Item(kCmdEasyRenamer, LangText(lang, 18)));
    m.push_back(Sub(LangText(lang, 12), std::move(special)));
    m.push_back(Separator());
    m.push_back(Sub(LangText(lang, 19), {Item(kCmdPlaylistCreate, LangText(lang, 20)),
                                         Item(kCmdPlaylistAppend, LangText(lang, 21))}));
    if (f.inPlaylistPane) m.push_back(Item(kCmdClearList, LangText(lang, 22)));
    if (f.listKind == 0 || (f.controlFlags & ControlFlag::AutoReloadDir)) {
        m.push_back(Item(kCmdSkipRows, LangText(lang, 23)));
        m.push_back(Item(kCmdMoveRowsNext, LangText(lang, 24)));
    }
    if (f.playlistExists && f.fileListFocused) m.push_back(Item(kCmdEnqueue, LangText(lang, 25)));
    m.push_back(Item(kCmdSelectAll, LangText(lang, 26)));
    return m;
}

Menu TreeMenu(const TreeFacts& f, const LangState& lang) {
    Menu m;
    if (f.folder) {
        m.push_back(Item(kCmdFindFiles, LangText(lang, 33)));
        m.push_back(Item(kCmdShowSubfolders, LangText(lang, 34)));
        m.push_back(Item(kCmdContentToPlaylist, LangText(lang, 35)));
    }
    m.push_back(Item(kCmdNewWindow, LangText(lang, 36)));
    AddOpenWith(m, f.launch, lang);
    if (f.listFile) m.push_back(Item(kCmdPlaylistEdit, LangText(lang, 37)));
    m.push_back(Separator());
    if (f.listFile) {
        m.push_back(Item(kCmdFavAddFolder, LangText(lang, 39)));
    } else {
        m.push_back(Item(kCmdFavAddFolder, LangText(lang, 38)));
        m.push_back(Item(kCmdSetBaseFolder, std::wstring(LangText(lang, 40)) + L": " + f.itemPath));
        if (!f.baseFolder.empty()) {
            m.push_back(Item(kCmdClearBaseFolder, LangText(lang, 41)));
            m.push_back(Item(kCmdGoToBaseFolder,
                             std::wstring(LangText(lang, 42)) + L": " + f.baseFolder));
        }
    }
    m.push_back(Item(kCmdCompareFolders, LangText(lang, 43)));
    m.push_back(Separator());
    m.push_back(Item(kCmdOpenInInsertView, LangText(lang, 44)));
    if (f.streamPlaying && !f.downloadRunning)
        m.push_back(Item(kCmdSaveDownloadStream, LangText(lang, 61)));
    return m;
}

size_t MenuItemCount(const Menu& m) {
    size_t n = 0;
    for (const MenuItem& i : m) n += 1 + MenuItemCount(i.items);
    return n;
}
