#include "settings/quick_settings.h"

#include <iterator>

#include "base/utf.h"
#include "config/settings_io.h"
#include "dsp/enh2.h"

namespace {

const char* const kAppearance[kQuickAppearanceCount] = {
    "Dark theme",
    "Bright theme",
    "Less toolbar buttons",
    "More toolbar buttons",
    "Tag titles and track lengths in lists",
    "Simple file lists, no auto scan",
    "Cover art and folder standard pictures",
};
const char* const kControl[kQuickControlCount] = {
    "Media/Headset hotkeys",
    "Mouse wheel for lists, tree and volume",
    "Save list state and positions in ten folders",
    "Always be portable (write access needed!)",
};
const char* const kSound[kQuickSoundCount] = {
    "Fat mixed radio sound",
    "Dynamic deep bass",
    "Treble boost by equalizer",
    "Carefully normalized sound",
    "Dry/unchanged unmixed sound",
    "Gapless play",
    "Mixed track transitions",
    "Short fade in/out at start/stop",
    "Play interruptions? Larger buffer",
    "Output problems? DSound -> Wave",
};

// The built-in Enhancer 2 preset of that name, applied; false when there is none.
bool ApplyEnh2Preset(Settings& s, const char* name) {
    for (int i = 0; i < kEnh2BuiltInPresets; ++i)
        if (std::string_view(enh2BuiltInPreset(i).name) == name) return enh2ApplyBuiltIn(s, i);
    return false;
}

void SetBits(int32_t& field, uint32_t bits) {
    field = static_cast<int32_t>(static_cast<uint32_t>(field) | bits);
}
void ClearBits(int32_t& field, uint32_t bits) {
    field = static_cast<int32_t>(static_cast<uint32_t>(field) & ~bits);
}

}  // namespace

const char* QuickChoiceText(int choice) {
    const int i = choice % 10;
    if (choice >= kQuickAppearance && i < kQuickAppearanceCount && choice < kQuickControl)
        return kAppearance[i];
    if (choice >= kQuickControl && choice < kQuickSound && i < kQuickControlCount)
        return kControl[i];
    if (choice >= kQuickSound && choice < kQuickSound + kQuickSoundCount) return kSound[i];
    return "";
}

QuickFollowUp ApplyQuickChoice(Settings& s, int choice, double dpiFactor) {
    QuickFollowUp f;
    switch (choice) {
    case kQuickAppearance + 0:
        ApplyColourTheme(s, 1, dpiFactor, nullptr);
        f.refreshFace = true;
        break;
    case kQuickAppearance + 1:
        ApplyColourTheme(s, 3, dpiFactor, nullptr);
        f.refreshFace = true;
        break;
    case kQuickAppearance + 2:
        s.toolbar = 1;
        f.refreshFace = true;
        break;
    case kQuickAppearance + 3:
        SetBits(s.toolbar, 0x5C08A5);
        f.refreshFace = true;
        break;
    case kQuickAppearance + 4:
        SetBits(s.list_style, ListStyle::AlwaysScanInfo);
        s.info_row = 0x896;
        f.rebuildList = true;
        break;
    case kQuickAppearance + 5:
        ClearBits(s.list_style, ListStyle::AlwaysScanInfo);
        s.info_row = 0;
        f.rebuildList = true;
        break;
    case kQuickAppearance + 6:
        ClearBits(s.stylez, Style::IgnoreId3Pictures);
        SetBits(s.stylez, Style::ShowPictures | Style::StandardPicture);
        s.picture = "00150,folder.jpg;cover.jpg";
        f.refreshFace = true;
        break;
    case kQuickControl + 0:
        s.hotkeys = 6;
        f.hotkeys = true;
        break;
    case kQuickControl + 1:
        s.mouse_flags = 7;
        break;
    case kQuickControl + 2:
        SetBits(s.control_flags, ControlFlag::RememberFolderPos);
        SetBits(s.list_style, ListStyle::RestoreFileList);
        SetBits(s.toolbar, ToolbarButton::FolderHistory);
        f.refreshFace = true;
        break;
    case kQuickControl + 3:
        f.makePortable = true;
        break;
    case kQuickSound + 0:
        ApplyEnh2Preset(s, "4 band intense 2");
        s.enhance = 2;
        s.eq_enable = 0;
        s.overlap2 = 0x1A2F;
        s.overlap2buf = 10;
        s.gapless = 13;
        f.enh2Reset = f.dsp = true;
        break;
    case kQuickSound + 1:
        ApplyEnh2Preset(s, "4 band deep bass");
        s.enhance = 2;
        s.eq_enable = 0;
        f.enh2Reset = f.dsp = true;
        break;
    case kQuickSound + 2:
        s.enhance = 0;
        s.eq_enable = 1;
        s.eq = {90, 20, 0};
        s.eq_f = {100, 3000, 5000};
        f.dsp = true;
        break;
    case kQuickSound + 3:
        s.stereo_width = 0;
        s.amp_max = 78;
        s.amp_up = 29;
        s.amp_dwn = 82;
        s.amp_hpcutoff = 0;
        s.amp_threshold = 26;
        s.enhance = 1;
        s.eq_enable = 0;
        f.enh1Reset = f.dsp = true;
        break;
    case kQuickSound + 4:
        s.eq_enable = 0;
        s.enhance = 0;
        s.gapless = 0;
        f.dsp = true;
        break;
    case kQuickSound + 5:
        s.gapless = 1;
        break;
    case kQuickSound + 6:
        s.gapless = 13;
        s.overlap2 = 0x1A32;
        s.overlap2buf = 10;
        break;
    case kQuickSound + 7:
        s.fadeout = 0x1858A;
        break;
    case kQuickSound + 8:
        s.outbuflength = 8;
        break;
    case kQuickSound + 9:
        s.wavedevice = 0;
        break;
    default:
        break;
    }
    return f;
}

std::wstring LanguageListName(const uint8_t* data, size_t len) {
    if (!data) return std::wstring();
    const std::string_view text(reinterpret_cast<const char*>(data),
                                len < kLanguageNameBytes ? len : kLanguageNameBytes);
    const size_t header = text.find("[Zuvo Language File]");
    if (header == std::string_view::npos) return std::wstring();
    const size_t eol = text.find('\n', header);
    if (eol == std::string_view::npos) return std::wstring();
    std::string_view line = text.substr(eol + 1);
    line = line.substr(0, line.find_first_of("\r\n"));
    line = line.substr(0, line.find(" ("));
    return Utf8ToWide(line);
}
