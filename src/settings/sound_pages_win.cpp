// The sound pages of the settings dialog on their controls: "Audio", "Decoders", "Enhancer 1",
// "Enhancer 2" and "Hotkeys". Each control writes its Settings field as it changes; the rules
// are in sound_pages.cpp, the subsystems are reached through the SettingsHost.
#include "settings/sound_pages_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "config/settings.h"
#include "dsp/dsp.h"
#include "dsp/dsp_texts.h"
#include "settings/settings_frame_win.h"
#include "settings/settings_page_win.h"
#include "settings/sound_pages.h"
#include "ui/face_win.h"
#include "ui/hotkeys.h"

namespace {

// ---- control ids (sound_pages.rc) ----
enum : int {
    // "Audio"
    kIdFileBuf = 4001,
    kIdDevice,
    kIdBufLen,
    kIdBufLenText,
    kIdSoftVolume,
    kIdSurround,
    kIdMode24,
    kIdMono,
    // "Decoders"
    kIdAcm = 4101,
    kIdMpglib,
    kIdBass,
    kIdBassText,
    kIdBassMp3,
    kIdBassProxy,
    kIdStreamBuf,
    kIdPlugins,
    kIdPluginConfig,
    kIdPluginAbout,
    kIdDspPlugin,
    kIdDspConfig,
    kIdDspText,
    // "Enhancer 1"
    kIdE1Enable = 4201,
    kIdE1Presets,
    kIdE1Save,
    kIdE1Delete,
    kIdE1Slider = 4210,
    kIdE1Text = 4220,
    kIdE1Meter = 4230,
    kIdEqEnable = 4240,
    kIdEqReset,
    kIdEqSlider,
    kIdEqText = 4245,
    kIdEqFreq = 4248,
    // "Enhancer 2"
    kIdE2Enable = 4301,
    kIdE2Multiband,
    kIdE2Agc,
    kIdE2AgcText,
    kIdE2Presets,
    kIdE2Name,
    kIdE2Save,
    kIdE2Delete,
    kIdE2Crossover = 4310,
    kIdE2Slider = 4320,
    kIdE2Text = 4380,
    kIdE2Solo = 4410,
    kIdE2BandMeter = 4420,
    kIdE2LimMeter = 4424,
    kIdE2Clip = 4430,
    kIdE2Limiter = 4433,
    // "Hotkeys"
    kIdHkPreset = 4450,
    kIdHkList = 4460,
    kIdHkKey,
    kIdHkMod,
    kIdHkSet = 4466,
    kIdHkNoKey,
    kIdHkNote,
};

constexpr UINT_PTR kMeterTimer = 1;
constexpr UINT kMeterMs = 20;
constexpr int kE1Sliders = static_cast<int>(Enh1Slider::Count);
constexpr int kHotkeyPresets = 8;
constexpr int kHotkeyModBoxes = 4;

// What one page keeps while it exists (GWLP_USERDATA), freed with the window.
struct Page {
    SettingsPageEnv env;
    bool loading = false;  // the page is filling its controls: their notifications are not edits
    std::vector<OutputDeviceRow> devices;
    EnhSnapshot enhBefore{};
    Enh2Snapshot enh2Before;
    std::vector<EnhListRow> enhRows;
    int enhChosen = -1;  // the Enhancer 1 preset slot chosen last
    std::vector<Enh2ListRow> enh2Rows;
    int hotkeySlot = 1;
    SoundLevels levels;
    Enh2Meters enh2Meters{};
};

Page* PageOf(HWND page) {
    return reinterpret_cast<Page*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

Settings& S(Page* p) {
    return *p->env.settings;
}

const SettingsHost& Host(Page* p) {
    static const SettingsHost kNone{};
    return p->env.host ? *p->env.host : kNone;
}

DspState* Dsp(Page* p) {
    return Host(p).dspState ? Host(p).dspState(Host(p).ctx) : nullptr;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

void SetText(HWND page, int id, const std::string& text) {
    SetDlgItemTextW(page, id, Wide(text).c_str());
}

std::string GetText(HWND page, int id) {
    wchar_t buf[256] = {};
    GetDlgItemTextW(page, id, buf, 256);
    return Narrow(buf);
}

void Check(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetBit(uint16_t& field, uint16_t bit, bool on) {
    field = static_cast<uint16_t>(on ? field | bit : field & ~bit);
}

void InitSlider(HWND page, int id, int lo, int hi, int pos) {
    SendDlgItemMessageW(page, id, TBM_SETRANGEMIN, FALSE, lo);
    SendDlgItemMessageW(page, id, TBM_SETRANGEMAX, FALSE, hi);
    SendDlgItemMessageW(page, id, TBM_SETPAGESIZE, 0, std::max(1, (hi - lo) / 10));
    SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, pos);
}

int SliderPos(HWND slider) {
    return static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
}

// A number box edited: the value within lo..hi, or the field's own when the box holds none.
int BoxValue(HWND page, int id, int lo, int hi, int current) {
    return BoxNumber(GetText(page, id), lo, hi, current);
}

// Dark pages: check boxes, radio buttons and group titles as the other pages have them; the
// hotkey list in the page's colours.
void DarkControls(HWND page, const SettingsPageEnv& env) {
    if (!env.dark) return;
    SettingsPageDarkenWin(page, &env);
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (lstrcmpiW(cls, WC_LISTVIEWW) != 0) continue;
        ListView_SetBkColor(c, env.backColor);
        ListView_SetTextBkColor(c, env.backColor);
        ListView_SetTextColor(c, env.textColor);
        ApplyDarkModeToDialog(page, c);
    }
}

// The colours every page answers with.
bool PageColours(Page* p, UINT msg, WPARAM wp, INT_PTR& result) {
    if (!p || !p->env.back) return false;
    if (msg != WM_CTLCOLORDLG && msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) return false;
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, p->env.textColor);
    SetBkColor(dc, p->env.backColor);
    result = reinterpret_cast<INT_PTR>(p->env.back);
    return true;
}

// Common start and end of every page; returns the page's record.
Page* Attach(HWND page, LPARAM lp) {
    auto* p = new Page;
    if (lp) p->env = *reinterpret_cast<SettingsPageEnv*>(lp);
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
    DarkControls(page, p->env);
    return p;
}

void Detach(HWND page) {
    delete PageOf(page);
    SetWindowLongPtrW(page, GWLP_USERDATA, 0);
}

// A meter bar: `fraction` of the control filled, from the left (or bottom when tall).
void DrawBar(const DRAWITEMSTRUCT* di, float fraction, COLORREF fill, COLORREF back) {
    RECT r = di->rcItem;
    HBRUSH b = CreateSolidBrush(back);
    FillRect(di->hDC, &r, b);
    DeleteObject(b);
    const bool tall = (r.bottom - r.top) > (r.right - r.left);
    if (tall)
        r.top = r.bottom - static_cast<LONG>((r.bottom - r.top) * fraction);
    else
        r.right = r.left + static_cast<LONG>((r.right - r.left) * fraction);
    HBRUSH f = CreateSolidBrush(fill);
    FillRect(di->hDC, &r, f);
    DeleteObject(f);
}

COLORREF MeterBack(const Page* p) {
    return p->env.dark ? RGB(0x30, 0x30, 0x30) : RGB(0xE0, 0xE0, 0xE0);
}

void StartMeters(HWND page, Page* p) {
    if (Host(p).meters) Host(p).meters(Host(p).ctx, true);
    SetTimer(page, kMeterTimer, kMeterMs, nullptr);
}

void StopMeters(HWND page, Page* p) {
    KillTimer(page, kMeterTimer);
    if (Host(p).meters) Host(p).meters(Host(p).ctx, false);
}

void RefreshStatus(Page* p) {
    if (Host(p).refreshStatus) Host(p).refreshStatus(Host(p).ctx);
}

// ================================ "Audio" ================================

// The boxes and check boxes of the page by control id (sound_pages.rc).
constexpr struct {
    int id;
    AudioBox box;
} kAudioBoxes[] = {
    {kIdFileBuf, AudioBox::FileBuf},  {4013, AudioBox::OverlapLevel}, {4014, AudioBox::LoudEnd},
    {4015, AudioBox::OverlapSeconds}, {4020, AudioBox::AutospaceMs},  {4022, AudioBox::StopFade},
    {4024, AudioBox::SkipFade},       {4026, AudioBox::FadeDecay},
};
constexpr struct {
    int id;
    AudioCheck check;
} kAudioChecks[] = {
    {4010, AudioCheck::Gapless},         {4011, AudioCheck::SkipSilences},
    {4012, AudioCheck::Overlap},         {4017, AudioCheck::LoudNoOverlap},
    {4018, AudioCheck::LoudFade},        {4019, AudioCheck::AutoSpace},
    {4021, AudioCheck::StopFade},        {4023, AudioCheck::SkipFade},
    {4025, AudioCheck::FadeIn},          {kIdSoftVolume, AudioCheck::SoftVolume},
    {kIdSurround, AudioCheck::Surround}, {kIdMode24, AudioCheck::Mode24},
    {kIdMono, AudioCheck::Mono},
};
constexpr int kIdOutFormat = 4016;

void AudioValues(HWND page, Page* p) {
    const Settings& s = S(p);
    const bool was = p->loading;
    p->loading = true;
    for (const auto& b : kAudioBoxes)
        SetDlgItemInt(page, b.id, static_cast<UINT>(AudioBoxValue(s, b.box)), FALSE);
    for (const auto& c : kAudioChecks) Check(page, c.id, AudioCheckOn(s, c.check));
    SendDlgItemMessageW(page, kIdOutFormat, CB_SETCURSEL, OutputFormat(s), 0);
    p->loading = was;
}

void AudioLoad(HWND page, Page* p) {
    const Settings& s = S(p);
    p->loading = true;
    const SettingsHost& h = Host(p);
    p->devices = OutputDeviceRows(
        h.waveOutDevices ? h.waveOutDevices(h.ctx) : std::vector<std::string>{},
        h.directSoundDevices ? h.directSoundDevices(h.ctx) : std::vector<std::string>{});
    for (const OutputDeviceRow& r : p->devices)
        SendDlgItemMessageW(page, kIdDevice, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(r.text).c_str()));
    SendDlgItemMessageW(page, kIdDevice, CB_SETCURSEL, OutputDeviceIndex(p->devices, s.wavedevice),
                        0);
    for (int i = 0; i < kOutputFormats; ++i)
        SendDlgItemMessageW(page, kIdOutFormat, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(OutputFormatText(i)).c_str()));
    InitSlider(page, kIdBufLen, kOutBufMin, kOutBufMax,
               std::clamp<int>(s.outbuflength, kOutBufMin, kOutBufMax));
    SetText(page, kIdBufLenText, OutBufLengthText(s.outbuflength));
    AudioValues(page, p);
    p->loading = false;
}

void AudioCommand(HWND page, Page* p, int id, int code) {
    Settings& s = S(p);
    if (p->loading) return;
    for (const auto& b : kAudioBoxes) {
        if (b.id != id) continue;
        if (code == EN_CHANGE) {
            const SliderRange r = AudioBoxRange(b.box);
            SetAudioBox(s, b.box, BoxValue(page, id, r.lo, r.hi, AudioBoxValue(s, b.box)));
        } else if (code == EN_KILLFOCUS) {
            // The box shows what was kept once the user leaves it.
            p->loading = true;
            SetDlgItemInt(page, id, static_cast<UINT>(AudioBoxValue(s, b.box)), FALSE);
            p->loading = false;
        }
        return;
    }
    for (const auto& c : kAudioChecks) {
        if (c.id != id) continue;
        SetAudioCheck(s, c.check, Checked(page, id));
        AudioValues(page, p);  // "Auto space" switches gapless off
        RefreshStatus(p);      // the status words of gapless, overlap and mono
        return;
    }
    if (id == kIdDevice && code == CBN_SELCHANGE) {
        const int i = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
        if (i >= 0 && i < static_cast<int>(p->devices.size()))
            s.wavedevice = p->devices[i].wavedevice;
    } else if (id == kIdOutFormat && code == CBN_SELCHANGE) {
        SetOutputFormat(s, static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0)));
    }
}

// ================================ "Decoders" ================================

void DecodersBassText(HWND page, Page* p) {
    const SettingsHost& h = Host(p);
    const std::string version = h.bassVersionText ? h.bassVersionText(h.ctx) : std::string();
    SetDlgItemTextW(page, kIdBassText, BassStatusText(L"version", version).c_str());
    Check(page, kIdBass, !version.empty());
    EnableWindow(GetDlgItem(page, kIdBass), h.bassLoad != nullptr);
}

void DecodersPluginButtons(HWND page) {
    const bool chosen = SendDlgItemMessageW(page, kIdPlugins, LB_GETCURSEL, 0, 0) != LB_ERR;
    EnableWindow(GetDlgItem(page, kIdPluginConfig), chosen);
    EnableWindow(GetDlgItem(page, kIdPluginAbout), chosen);
    EnableWindow(GetDlgItem(page, kIdDspConfig), Checked(page, kIdDspPlugin));
}

void DecodersLoad(HWND page, Page* p) {
    const Settings& s = S(p);
    const SettingsHost& h = Host(p);
    p->loading = true;
    CheckRadioButton(page, kIdAcm, kIdMpglib, s.use_mpglib == 1 ? kIdMpglib : kIdAcm);
    DecodersBassText(page, p);
    Check(page, kIdBassMp3, s.wave_flags & 0x10);
    Check(page, kIdBassProxy, s.wave_flags & 0x20);
    SetDlgItemInt(page, kIdStreamBuf, s.streambuffer, FALSE);
    if (h.inputPlugins)
        for (const std::string& d : h.inputPlugins(h.ctx))
            SendDlgItemMessageW(page, kIdPlugins, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(Wide(PluginListText(d)).c_str()));
    Check(page, kIdDspPlugin, s.wave_flags & 0x100);
    EnableWindow(GetDlgItem(page, kIdDspPlugin), h.dspPluginLoad != nullptr);
    DecodersPluginButtons(page);
    p->loading = false;
}

void DecodersCommand(HWND page, Page* p, int id, int code) {
    Settings& s = S(p);
    const SettingsHost& h = Host(p);
    if (p->loading) return;
    switch (id) {
        case kIdAcm:
        case kIdMpglib:
            s.use_mpglib = Checked(page, kIdMpglib) ? 1 : 0;
            break;
        case kIdBass:
            if (Checked(page, id)) {
                if (h.bassLoad) h.bassLoad(h.ctx);
            } else if (h.bassUnload) {
                h.bassUnload(h.ctx);
            }
            DecodersBassText(page, p);
            break;
        case kIdBassMp3:
            SetBit(s.wave_flags, 0x10, Checked(page, id));
            break;
        case kIdBassProxy:
            SetBit(s.wave_flags, 0x20, Checked(page, id));
            break;
        case kIdStreamBuf:
            if (code == EN_CHANGE)
                s.streambuffer = static_cast<uint16_t>(
                    BoxValue(page, id, kStreamBufMin, kStreamBufMax, s.streambuffer));
            else if (code == EN_KILLFOCUS)
                SetDlgItemInt(page, id, s.streambuffer, FALSE);
            break;
        case kIdPlugins:
            if (code == LBN_SELCHANGE) DecodersPluginButtons(page);
            break;
        case kIdPluginConfig:
        case kIdPluginAbout: {
            const int i =
                static_cast<int>(SendDlgItemMessageW(page, kIdPlugins, LB_GETCURSEL, 0, 0));
            auto box = id == kIdPluginConfig ? h.pluginConfig : h.pluginAbout;
            if (i >= 0 && box) box(h.ctx, i, page);
            break;
        }
        case kIdDspPlugin:
            if (Checked(page, id)) {
                // The bit goes on only with a plug-in that loaded and started.
                const bool loaded = h.dspPluginLoad && h.dspPluginLoad(h.ctx);
                SetBit(s.wave_flags, 0x100, loaded);
                Check(page, id, loaded);
                SetText(page, kIdDspText, loaded ? "" : "No DSP plug-in loaded");
            } else {
                SetBit(s.wave_flags, 0x100, false);
                if (h.dspPluginUnload) h.dspPluginUnload(h.ctx);
                SetText(page, kIdDspText, "");
            }
            DecodersPluginButtons(page);
            break;
        case kIdDspConfig:
            if (h.dspPluginConfig) h.dspPluginConfig(h.ctx, page);
            break;
        default:
            break;
    }
}

// ================================ "Enhancer 1" ================================

uint32_t OutputRate(Page* p) {
    const SettingsHost& h = Host(p);
    const uint32_t rate = h.outputRate ? h.outputRate(h.ctx) : 0;
    return rate ? rate : 44100;
}

// Enhancer 1's constants after a change on the page, without a reset.
void E1Apply(Page* p) {
    if (DspState* d = Dsp(p)) dspApplySettings(*d, S(p), 1, false, 0, 0);
}

void E1FillPresets(HWND page, Page* p) {
    SendDlgItemMessageW(page, kIdE1Presets, CB_RESETCONTENT, 0, 0);
    p->enhRows = EnhPresetRows(S(p));
    for (const EnhListRow& r : p->enhRows)
        SendDlgItemMessageW(page, kIdE1Presets, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(r.text).c_str()));
}

void E1LoadValues(HWND page, Page* p) {
    const Settings& s = S(p);
    p->loading = true;
    Check(page, kIdE1Enable, s.enhance == 1);
    const uint32_t rate = OutputRate(p);
    for (int k = 0; k < kE1Sliders; ++k) {
        const auto which = static_cast<Enh1Slider>(k);
        const SliderRange r = Enh1SliderRange(which);
        InitSlider(page, kIdE1Slider + k, r.lo, r.hi, Enh1SliderValue(s, which));
        SetText(page, kIdE1Text + k, Enh1SliderText(s, which, rate));
    }
    Check(page, kIdEqEnable, s.eq_enable != 0);
    for (int i = 0; i < kEqBands; ++i) {
        InitSlider(page, kIdEqSlider + i, 0, 100, std::clamp<int>(s.eq[i], 0, 100));
        SetText(page, kIdEqText + i, EqBandText(s.eq[i]));
        SetDlgItemInt(page, kIdEqFreq + i, static_cast<UINT>(s.eq_f[i]), FALSE);
    }
    p->loading = false;
}

void E1Slider(HWND page, Page* p, int id, int pos) {
    Settings& s = S(p);
    if (id >= kIdE1Slider && id < kIdE1Slider + kE1Sliders) {
        const auto which = static_cast<Enh1Slider>(id - kIdE1Slider);
        Enh1SetSlider(s, which, pos);
        SetText(page, kIdE1Text + (id - kIdE1Slider), Enh1SliderText(s, which, OutputRate(p)));
    } else if (id >= kIdEqSlider && id < kIdEqSlider + kEqBands) {
        s.eq[id - kIdEqSlider] = std::clamp(pos, 0, 100);
        SetText(page, kIdEqText + (id - kIdEqSlider), EqBandText(s.eq[id - kIdEqSlider]));
    } else {
        return;
    }
    E1Apply(p);
}

void E1Command(HWND page, Page* p, int id, int code) {
    Settings& s = S(p);
    if (p->loading) return;
    switch (id) {
        case kIdE1Enable:
            SetEnhancer1On(s, Checked(page, id));
            E1Apply(p);
            RefreshStatus(p);
            break;
        case kIdEqEnable:
            SetEqualizerOn(s, Checked(page, id));
            E1Apply(p);
            RefreshStatus(p);
            break;
        case kIdEqReset:
            EqReset(s);
            E1LoadValues(page, p);
            E1Apply(p);
            break;
        case kIdE1Presets: {
            if (code != CBN_SELCHANGE) break;
            const int i = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
            if (i < 0 || i >= static_cast<int>(p->enhRows.size())) break;
            const int slot = p->enhRows[i].slot;
            p->enhChosen = slot;
            if (slot < 0) {
                enhRestoreSnapshot(s, p->enhBefore);
                E1Apply(p);
            } else if (DspState* d = Dsp(p)) {
                enhApplyPreset(*d, s, slot);
            }
            E1LoadValues(page, p);
            RefreshStatus(p);
            break;
        }
        case kIdE1Save: {
            std::string name = GetText(page, kIdE1Presets);
            name.erase(0, name.find_first_not_of(' '));
            if (name.empty() || enhSavePreset(s, name) < 0) {
                MessageBeep(MB_ICONWARNING);
                break;
            }
            E1FillPresets(page, p);
            break;
        }
        case kIdE1Delete:
            if (p->enhChosen >= kBuiltInEnhPresets && enhDeletePreset(s, p->enhChosen)) {
                p->enhChosen = -1;
                E1FillPresets(page, p);
            } else {
                MessageBeep(MB_ICONWARNING);
            }
            break;
        default:
            if (id >= kIdEqFreq && id < kIdEqFreq + kEqBands && code == EN_CHANGE) {
                int32_t& f = s.eq_f[id - kIdEqFreq];
                f = BoxValue(page, id, 10, 99999, f);
                E1Apply(p);
            } else if (id >= kIdEqFreq && id < kIdEqFreq + kEqBands && code == EN_KILLFOCUS) {
                SetDlgItemInt(page, id, static_cast<UINT>(s.eq_f[id - kIdEqFreq]), FALSE);
            }
            break;
    }
}

// "Level / Amp": dry level, Enhancer 1's gain, output level, with their figures.
void E1DrawMeter(Page* p, const DRAWITEMSTRUCT* di) {
    const SoundLevels& l = p->levels;
    const LevelMeter m = Enh1MeterValues(std::max(l.before[0], l.before[1]),
                                         std::max(l.after[0], l.after[1]), l.gains[6]);
    RECT all = di->rcItem;
    HBRUSH back = CreateSolidBrush(p->env.backColor);
    FillRect(di->hDC, &all, back);
    DeleteObject(back);
    SetBkMode(di->hDC, TRANSPARENT);
    SetTextColor(di->hDC, p->env.textColor);
    const int w = (all.right - all.left) / 3;
    const int textH = 14;
    const float fractions[3] = {MeterFraction(m.dryDb, -40, 0),
                                MeterFraction(20.0f * std::log10(std::max(m.gain, 1.0f)), 0, 20),
                                MeterFraction(m.outDb, -40, 0)};
    const wchar_t* names[3] = {L"dry", L"amp", L"out"};
    // Nothing heard (no output open): no figures.
    const bool heard = l.gains[6] != 0;
    wchar_t figures[3][16] = {L"-", L"-", L"-"};
    if (heard) {
        swprintf(figures[0], 16, L"%.0f", m.dryDb);
        swprintf(figures[1], 16, L"%.1f", m.gain);
        swprintf(figures[2], 16, L"%.0f", m.outDb);
    }
    for (int i = 0; i < 3; ++i) {
        DRAWITEMSTRUCT bar = *di;
        bar.rcItem = {all.left + i * w + 2, all.top + textH, all.left + (i + 1) * w - 2,
                      all.bottom - 2 * textH};
        DrawBar(&bar, fractions[i], i == 1 ? RGB(0xE0, 0x90, 0x20) : RGB(0x30, 0xB0, 0x50),
                MeterBack(p));
        RECT t{all.left + i * w, all.top, all.left + (i + 1) * w, all.top + textH};
        DrawTextW(di->hDC, i == 1 ? L"x" : L"dB", -1, &t, DT_CENTER | DT_SINGLELINE);
        t = {all.left + i * w, all.bottom - 2 * textH, all.left + (i + 1) * w, all.bottom - textH};
        DrawTextW(di->hDC, figures[i], -1, &t, DT_CENTER | DT_SINGLELINE);
        t = {all.left + i * w, all.bottom - textH, all.left + (i + 1) * w, all.bottom};
        DrawTextW(di->hDC, names[i], -1, &t, DT_CENTER | DT_SINGLELINE);
    }
}

// ================================ "Enhancer 2" ================================

// The chain takes the strings: flags 0 for a slider, 1 for a preset or a crossover, 2 when
// Enhancer 2 is switched on; the page's rate is 0 (44100 until the next track start).
void E2Configure(Page* p, unsigned flags) {
    if (DspState* d = Dsp(p)) enh2Configure(d->enh2, d->enh2State, S(p), flags, 0);
}

void E2FillPresets(HWND page, Page* p) {
    SendDlgItemMessageW(page, kIdE2Presets, LB_RESETCONTENT, 0, 0);
    p->enh2Rows = enh2PresetList(S(p));
    for (const Enh2ListRow& r : p->enh2Rows)
        SendDlgItemMessageW(page, kIdE2Presets, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(r.text).c_str()));
}

void E2Texts(HWND page, Page* p) {
    const Settings& s = S(p);
    const Enh2Params params = enh2ParseParams(s.enh2_1, s.enh2_2, s.enh2_lim, 0);
    for (int i = 0; i < kEnh2SliderCount; ++i)
        SetText(page, kIdE2Text + i, Enh2SliderText(params, i));
}

void E2LoadValues(HWND page, Page* p) {
    const Settings& s = S(p);
    p->loading = true;
    Check(page, kIdE2Enable, s.enhance == 2);
    Check(page, kIdE2Multiband, Enh2SwitchOn(s, Enh2Switch::Multiband));
    Check(page, kIdE2Agc, Enh2SwitchOn(s, Enh2Switch::Agc));
    Check(page, kIdE2Limiter, Enh2SwitchOn(s, Enh2Switch::Limiter));
    CheckRadioButton(page, kIdE2Clip, kIdE2Clip + 2, kIdE2Clip + Enh2Clipper(s));
    for (int k = 0; k < kEnh2CrossoverBoxes; ++k)
        SetDlgItemInt(page, kIdE2Crossover + k, static_cast<UINT>(Enh2Crossover(s, k)), FALSE);
    for (int i = 0; i < kEnh2SliderCount; ++i) {
        const Enh2SliderInfo k = Enh2Slider(i);
        InitSlider(page, kIdE2Slider + i, k.lo, k.hi, Enh2SliderValue(s, i));
    }
    const DspState* d = Dsp(p);
    for (int b = 0; b < kEnh2Bands; ++b)
        Check(page, kIdE2Solo + b, d && d->enh2State.soloBand == b + 1);
    E2Texts(page, p);
    p->loading = false;
}

void E2Slider(HWND page, Page* p, int id, int pos) {
    if (id < kIdE2Slider || id >= kIdE2Slider + kEnh2SliderCount) return;
    Enh2SetSlider(S(p), id - kIdE2Slider, pos);
    E2Texts(page, p);
    E2Configure(p, 0);
}

void E2Command(HWND page, Page* p, int id, int code) {
    Settings& s = S(p);
    if (p->loading) return;
    switch (id) {
        case kIdE2Enable: {
            const bool on = Checked(page, id);
            SetEnhancer2On(s, on);
            if (on) E2Configure(p, 2);
            RefreshStatus(p);
            break;
        }
        case kIdE2Multiband:
            Enh2SetSwitch(s, Enh2Switch::Multiband, Checked(page, id));
            E2Configure(p, 0);
            break;
        case kIdE2Agc:
            Enh2SetSwitch(s, Enh2Switch::Agc, Checked(page, id));
            E2Configure(p, 0);
            break;
        case kIdE2Limiter:
            Enh2SetSwitch(s, Enh2Switch::Limiter, Checked(page, id));
            E2Configure(p, 0);
            break;
        case kIdE2Clip:
        case kIdE2Clip + 1:
        case kIdE2Clip + 2:
            Enh2SetClipper(s, id - kIdE2Clip);
            E2Configure(p, 0);
            break;
        case kIdE2Presets: {
            if (code != LBN_SELCHANGE) break;
            const int i = static_cast<int>(SendDlgItemMessageW(page, id, LB_GETCURSEL, 0, 0));
            if (i < 0 || i >= static_cast<int>(p->enh2Rows.size())) break;
            const Enh2ListRow& r = p->enh2Rows[i];
            switch (r.kind) {
                case Enh2ListRow::Restore:
                    enh2RestoreSnapshot(s, p->enh2Before);
                    break;
                case Enh2ListRow::BuiltIn:
                    enh2ApplyBuiltIn(s, r.index);
                    break;
                case Enh2ListRow::User:
                    enh2ApplyUserPreset(s, r.index);
                    break;
                default:
                    return;
            }
            E2LoadValues(page, p);
            E2Configure(p, 1);
            break;
        }
        case kIdE2Save:
            if (GetText(page, kIdE2Name).empty() ||
                enh2SaveUserPreset(s, GetText(page, kIdE2Name)) < 0) {
                MessageBeep(MB_ICONWARNING);
                break;
            }
            E2FillPresets(page, p);
            break;
        case kIdE2Delete: {
            const int i =
                static_cast<int>(SendDlgItemMessageW(page, kIdE2Presets, LB_GETCURSEL, 0, 0));
            if (i >= 0 && i < static_cast<int>(p->enh2Rows.size()) &&
                p->enh2Rows[i].kind == Enh2ListRow::User &&
                enh2DeleteUserPreset(s, p->enh2Rows[i].index))
                E2FillPresets(page, p);
            else
                MessageBeep(MB_ICONWARNING);
            break;
        }
        default:
            if (id >= kIdE2Crossover && id < kIdE2Crossover + kEnh2CrossoverBoxes &&
                code == EN_CHANGE) {
                const int k = id - kIdE2Crossover;
                Enh2SetCrossover(s, k, BoxValue(page, id, 0, 99999, Enh2Crossover(s, k)));
                E2Texts(page, p);
                E2Configure(p, 1);
            } else if (id >= kIdE2Solo && id < kIdE2Solo + kEnh2Bands) {
                // One band alone, or all of them: not a setting, the chain's listening switch.
                const int band = id - kIdE2Solo;
                const bool on = Checked(page, id);
                for (int b = 0; b < kEnh2Bands; ++b)
                    if (b != band) Check(page, kIdE2Solo + b, false);
                if (DspState* d = Dsp(p))
                    d->enh2State.soloBand = static_cast<uint16_t>(on ? band + 1 : 0);
            }
            break;
    }
}

void E2Timer(HWND page, Page* p) {
    const DspState* d = Dsp(p);
    if (!d) return;
    p->enh2Meters = Enh2MeterValues(d->enh2State.monitor);
    SetText(page, kIdE2AgcText, Enh2AgcText(d->enh2State));
    for (int b = 0; b < kEnh2Bands; ++b)
        InvalidateRect(GetDlgItem(page, kIdE2BandMeter + b), nullptr, FALSE);
    InvalidateRect(GetDlgItem(page, kIdE2LimMeter), nullptr, FALSE);
}

void E2DrawMeter(Page* p, const DRAWITEMSTRUCT* di) {
    const int id = static_cast<int>(di->CtlID);
    if (id == kIdE2LimMeter) {
        // How far the limiter pulls down, 0 to 20 dB.
        DrawBar(di, MeterFraction(-p->enh2Meters.limiterDb, 0, 20), RGB(0xD0, 0x40, 0x30),
                MeterBack(p));
    } else {
        // A band's gain from -12 to +20 dB.
        DrawBar(di, MeterFraction(p->enh2Meters.bandDb[id - kIdE2BandMeter], -12, 20),
                RGB(0x30, 0xB0, 0x50), MeterBack(p));
    }
}

// ================================ "Hotkeys" ================================

void HkRowText(HWND page, Page* p, int slot) {
    const std::wstring text = Wide(HotkeyText(HotkeyEntry(S(p).hotkey_def, slot)));
    ListView_SetItemText(GetDlgItem(page, kIdHkList), slot - 1, 1,
                         const_cast<wchar_t*>(text.c_str()));
}

void HkShowSlot(HWND page, Page* p, int slot) {
    p->hotkeySlot = slot;
    const HotkeyBoxes b = HotkeyBoxesFor(HotkeyEntry(S(p).hotkey_def, slot));
    SendDlgItemMessageW(page, kIdHkKey, CB_SETCURSEL, b.keyIndex, 0);
    for (int m = 0; m < kHotkeyModBoxes; ++m) Check(page, kIdHkMod + m, b.modifiers & (1u << m));
}

void HkLoad(HWND page, Page* p) {
    const Settings& s = S(p);
    p->loading = true;
    CheckRadioButton(page, kIdHkPreset, kIdHkPreset + kHotkeyPresets - 1,
                     kIdHkPreset + std::min<int>(s.hotkeys, kHotkeyPresets - 1));
    HWND list = GetDlgItem(page, kIdHkList);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT r;
    GetClientRect(list, &r);
    const wchar_t* heads[2] = {L"Function", L"Hotkey"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<wchar_t*>(heads[c]);
        col.cx = c == 0 ? (r.right - r.left) * 2 / 5 : (r.right - r.left) * 3 / 5 - 4;
        ListView_InsertColumn(list, c, &col);
    }
    for (int slot = 1; slot <= kHotkeySlots; ++slot) {
        const std::wstring name = Wide(HotkeyFunctionName(slot));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = slot - 1;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        ListView_InsertItem(list, &item);
        HkRowText(page, p, slot);
    }
    for (const KeyName& k : HotkeyKeyNames())
        SendDlgItemMessageW(page, kIdHkKey, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(k.name).c_str()));
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    HkShowSlot(page, p, 1);
    p->loading = false;
}

void HkCommand(HWND page, Page* p, int id) {
    Settings& s = S(p);
    if (p->loading) return;
    if (id >= kIdHkPreset && id < kIdHkPreset + kHotkeyPresets) {
        if (Checked(page, id)) s.hotkeys = static_cast<uint8_t>(id - kIdHkPreset);
        return;
    }
    if (id != kIdHkSet && id != kIdHkNoKey) return;
    unsigned key = 0, mods = 0;
    if (id == kIdHkSet) {
        const int i = static_cast<int>(SendDlgItemMessageW(page, kIdHkKey, CB_GETCURSEL, 0, 0));
        const auto& keys = HotkeyKeyNames();
        if (i >= 0 && i < static_cast<int>(keys.size())) key = keys[i].code;
        for (int m = 0; m < kHotkeyModBoxes; ++m)
            if (Checked(page, kIdHkMod + m)) mods |= 1u << m;
    }
    if (!HotkeySetSlot(s.hotkey_def, p->hotkeySlot, key, key ? mods : 0)) {
        SetText(page, kIdHkNote, "This combination is used by another hotkey.");
        MessageBeep(MB_ICONWARNING);
        return;
    }
    SetText(page, kIdHkNote, "");
    HkRowText(page, p, p->hotkeySlot);
    HkShowSlot(page, p, p->hotkeySlot);
}

// ================================ the procedures ================================

enum class Kind { Audio, Decoders, Enhancer1, Enhancer2, Hotkeys };

INT_PTR PageProc(Kind kind, HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    Page* p = PageOf(page);
    INT_PTR colour = 0;
    if (PageColours(p, msg, wp, colour)) return colour;
    switch (msg) {
        case WM_INITDIALOG:
            p = Attach(page, lp);
            if (!p->env.settings) return TRUE;
            switch (kind) {
                case Kind::Audio:
                    AudioLoad(page, p);
                    break;
                case Kind::Decoders:
                    DecodersLoad(page, p);
                    break;
                case Kind::Enhancer1:
                    p->enhBefore = enhTakeSnapshot(S(p));
                    E1FillPresets(page, p);
                    E1LoadValues(page, p);
                    StartMeters(page, p);
                    break;
                case Kind::Enhancer2:
                    p->enh2Before = enh2TakeSnapshot(S(p));
                    E2FillPresets(page, p);
                    E2LoadValues(page, p);
                    StartMeters(page, p);
                    break;
                case Kind::Hotkeys:
                    HkLoad(page, p);
                    break;
            }
            return TRUE;
        case WM_COMMAND:
            if (!p || !p->env.settings) return FALSE;
            switch (kind) {
                case Kind::Audio:
                    AudioCommand(page, p, LOWORD(wp), HIWORD(wp));
                    break;
                case Kind::Decoders:
                    DecodersCommand(page, p, LOWORD(wp), HIWORD(wp));
                    break;
                case Kind::Enhancer1:
                    E1Command(page, p, LOWORD(wp), HIWORD(wp));
                    break;
                case Kind::Enhancer2:
                    E2Command(page, p, LOWORD(wp), HIWORD(wp));
                    break;
                case Kind::Hotkeys:
                    HkCommand(page, p, LOWORD(wp));
                    break;
            }
            return TRUE;
        case WM_HSCROLL:
        case WM_VSCROLL: {
            if (!p || !p->env.settings || !lp || p->loading) return FALSE;
            HWND slider = reinterpret_cast<HWND>(lp);
            const int id = GetDlgCtrlID(slider);
            const int pos = SliderPos(slider);
            if (kind == Kind::Audio && id == kIdBufLen) {
                S(p).outbuflength = static_cast<uint8_t>(std::clamp(pos, kOutBufMin, kOutBufMax));
                SetText(page, kIdBufLenText, OutBufLengthText(S(p).outbuflength));
            } else if (kind == Kind::Enhancer1) {
                E1Slider(page, p, id, pos);
            } else if (kind == Kind::Enhancer2) {
                E2Slider(page, p, id, pos);
            }
            return TRUE;
        }
        case WM_NOTIFY: {
            if (!p || kind != Kind::Hotkeys || p->loading) return FALSE;
            const auto* n = reinterpret_cast<const NMLISTVIEW*>(lp);
            if (n->hdr.idFrom == kIdHkList && n->hdr.code == LVN_ITEMCHANGED &&
                (n->uNewState & LVIS_SELECTED) && !(n->uOldState & LVIS_SELECTED))
                HkShowSlot(page, p, n->iItem + 1);
            return TRUE;
        }
        case WM_TIMER:
            if (!p || wp != kMeterTimer) return FALSE;
            if (kind == Kind::Enhancer1) {
                const SettingsHost& h = Host(p);
                if (!h.levels || !h.levels(h.ctx, p->levels)) p->levels = SoundLevels{};
                InvalidateRect(GetDlgItem(page, kIdE1Meter), nullptr, FALSE);
            } else if (kind == Kind::Enhancer2) {
                E2Timer(page, p);
            }
            return TRUE;
        case WM_DRAWITEM:
            if (!p) return FALSE;
            if (kind == Kind::Enhancer1)
                E1DrawMeter(p, reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            else if (kind == Kind::Enhancer2)
                E2DrawMeter(p, reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_DESTROY:
            if (!p) return FALSE;
            if (kind == Kind::Enhancer1 || kind == Kind::Enhancer2) StopMeters(page, p);
            // The hotkeys as the page left them.
            if (kind == Kind::Hotkeys && Host(p).registerHotkeys)
                Host(p).registerHotkeys(Host(p).ctx);
            return FALSE;
        case WM_NCDESTROY:
            Detach(page);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK AudioPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PageProc(Kind::Audio, page, msg, wp, lp);
}

INT_PTR CALLBACK DecodersPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PageProc(Kind::Decoders, page, msg, wp, lp);
}

INT_PTR CALLBACK Enhancer1PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PageProc(Kind::Enhancer1, page, msg, wp, lp);
}

INT_PTR CALLBACK Enhancer2PageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PageProc(Kind::Enhancer2, page, msg, wp, lp);
}

INT_PTR CALLBACK HotkeysPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return PageProc(Kind::Hotkeys, page, msg, wp, lp);
}
