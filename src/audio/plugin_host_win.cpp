#include "audio/plugin_host_win.h"

#include <atomic>
#include <string>

#include "audio/engine_win.h"
#include "audio/output.h"
#include "audio/plugin_host.h"
#include "audio/winamp_api_win.h"
#include "base/dll_win.h"
#include "base/window_timers.h"
#include "config/settings.h"

namespace {

struct InputPlugin {
    HMODULE module = nullptr;
    WinampInModule* mod = nullptr;
};

HWND g_main = nullptr;
PluginLog g_log;
PluginHost g_host;
std::vector<InputPlugin> g_inputs;

HMODULE g_dspModule = nullptr;
WinampDspModule* g_dsp = nullptr;
std::string g_dspName;

// The bit rate a plug-in reports through SetInfo (its thread); the displays take it on the
// main thread when the output opens.
std::atomic<int> g_infoKbps{0};

void Log(const char* text, int code) {
    if (g_log.errorLog) g_log.errorLog(g_log.ctx, text, code);
}
void LogWithName(const char* what, const std::string& name, int code) {
    Log((std::string(what) + ": " + name).c_str(), code);
}

// ---- the output module ("Zuvo Output Mod"), called on the plug-in's thread ----

void __cdecl OutNothing() {}
void __cdecl OutNothingWindow(HWND) {}
void __cdecl OutNothingInt(int) {}
int __cdecl OutPause(int) {
    return 0;
}
int __cdecl OutOpen(int rate, int channels, int bits, int, int) {
    return PluginOutOpen(g_host, rate, channels, bits);
}
int __cdecl OutWrite(char* buf, int len) {
    return PluginOutWrite(g_host, reinterpret_cast<const uint8_t*>(buf), len);
}
int __cdecl OutCanWrite() {
    return PluginOutCanWrite(g_host);
}
int __cdecl OutIsPlaying() {
    return PluginOutIsPlaying(g_host);
}
int __cdecl OutTime() {
    return PluginOutTime(g_host);
}

char g_outName[] = "Zuvo Output Mod";
WinampOutModule g_out = {
    WINAMP_OUT_VER, g_outName,     65536,         nullptr,   nullptr,      OutNothingWindow,
    OutNothingWindow, OutNothing,  OutNothing,    OutOpen,   OutNothing,   OutWrite,
    OutCanWrite,     OutIsPlaying, OutPause,      OutNothingInt, OutNothingInt, OutNothingInt,
    OutTime,         OutTime,
};

// ---- the host's entries of the input module ----

void __cdecl SaVsaInit(int, int) {}
void __cdecl AddPcm(void*, int, int, int) {}
int __cdecl ModeQuery() {
    return 2;
}
int __cdecl SaAdd(void*, int, int) {
    return 0;
}
int __cdecl VsaMode(int*, int*) {
    return 2;
}
int __cdecl VsaAdd(void*, int) {
    return 0;
}
void __cdecl VsaSetInfo(int, int) {}
int __cdecl DspIsActive() {
    return 0;
}
int __cdecl DspDoSamples(short*, int count, int, int, int) {
    return count;
}
void __cdecl EqSet(int, char*, int) {}
void __cdecl SetInfo(int kbps, int, int, int) {
    if (kbps >= 1) g_infoKbps.store(kbps);
}

void FillHostEntries(WinampInModule* m, HMODULE module) {
    m->hMainWindow = g_main;
    m->hDllInstance = module;
    m->SAVSAInit = SaVsaInit;
    m->SAVSADeInit = OutNothing;
    m->SAAddPCMData = AddPcm;
    m->SAGetMode = ModeQuery;
    m->SAAdd = SaAdd;
    m->VSAAddPCMData = AddPcm;
    m->VSAGetMode = VsaMode;
    m->VSAAdd = VsaAdd;
    m->VSASetInfo = VsaSetInfo;
    m->dsp_isactive = DspIsActive;
    m->dsp_dosamples = DspDoSamples;
    m->EQSet = EqSet;
    m->SetInfo = SetInfo;
    m->outMod = &g_out;
    g_out.hMainWindow = g_main;
}

// ---- paths ----

std::string Narrow(const std::wstring& w, UINT codePage, bool* lossy = nullptr) {
    BOOL usedDefault = FALSE;
    const bool acp = codePage == CP_ACP;
    const int n = WideCharToMultiByte(codePage, 0, w.c_str(), -1, nullptr, 0, nullptr,
                                      acp ? &usedDefault : nullptr);
    std::string s(n > 0 ? size_t(n) : 1, '\0');
    WideCharToMultiByte(codePage, 0, w.c_str(), -1, s.data(), n, nullptr,
                        acp ? &usedDefault : nullptr);
    s.resize(n > 0 ? size_t(n - 1) : 0);
    if (lossy) *lossy = usedDefault != FALSE;
    return s;
}

std::wstring Wide(const char* s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? size_t(n) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    w.resize(n > 0 ? size_t(n - 1) : 0);
    return w;
}

// The plug-ins take 8-bit names: the ANSI code page, or the short name when a character does
// not fit it.
std::string PluginPath(const wchar_t* file) {
    bool lossy = false;
    std::string a = Narrow(file, CP_ACP, &lossy);
    if (!lossy) return a;
    wchar_t shortName[MAX_PATH];
    const DWORD n = GetShortPathNameW(file, shortName, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Narrow(shortName, CP_ACP) : a;
}

// ---- the calls of the core into the playing plug-in ----

WinampInModule* Mod(int index) {
    return index >= 0 && size_t(index) < g_inputs.size() ? g_inputs[size_t(index)].mod : nullptr;
}

void CallFileInfo(void*, int index, const wchar_t* file, std::wstring* title, int* length) {
    WinampInModule* m = Mod(index);
    *length = 0;
    if (!m || !m->GetFileInfo) return;
    char text[2048 + 32] = {};
    const std::string path = PluginPath(file);
    m->GetFileInfo(path.c_str(), text, length);
    text[sizeof text - 1] = '\0';
    *title = Wide(text);
}
int CallPlay(void*, int index, const wchar_t* file) {
    WinampInModule* m = Mod(index);
    if (!m || !m->Play) return -1;
    g_infoKbps.store(0);
    const std::string path = PluginPath(file);
    return m->Play(path.c_str());
}
int CallLength(void*, int index) {
    WinampInModule* m = Mod(index);
    return m && m->GetLength ? m->GetLength() : 0;
}
int CallOutputTime(void*, int index) {
    WinampInModule* m = Mod(index);
    return m && m->GetOutputTime ? m->GetOutputTime() : 0;
}
void CallSetOutputTime(void*, int index, int ms) {
    WinampInModule* m = Mod(index);
    if (m && m->SetOutputTime) m->SetOutputTime(ms);
}
void CallStop(void*, int index) {
    WinampInModule* m = Mod(index);
    if (m && m->Stop) m->Stop();
}
void CallPause(void*, uint32_t ms) {
    Sleep(ms);
}

void CALLBACK StartTick(HWND, UINT, UINT_PTR, DWORD) {
    Engine e = EngineNow();
    const int r = PluginStartTick(g_host, e);
    if (r == 0 && e.ps.pluginActive && OutputOpen(e.ps)) {
        // The bit rate the plug-in reported, for the displays.
        const int kbps = g_infoKbps.load();
        if (kbps >= 1) {
            e.track.header.bitrateKbps = static_cast<uint16_t>(kbps);
            e.track.avgBitrate = 1000.0f * kbps;
        }
    } else if (r == -2) {
        Log("Input plug-in: the output could not be opened", r);
    }
}
void CallStartTimer(void*) {
    SetTimer(g_main, kTimerPluginStart, kPluginStartTickMs, StartTick);
}
void CallKillTimer(void*) {
    KillTimer(g_main, kTimerPluginStart);
}
void CallLog(void*, const char* text, int code) {
    Log(text, code);
}

// ---- loading ----

// Loads one input plug-in; false when loading should stop (its extension text is too long).
bool LoadInput(const std::wstring& name) {
    HMODULE h = LoadProgramDll(name.c_str());
    const std::string dll = Narrow(name, CP_UTF8);
    if (!h) {
        LogWithName("Input plug-in cannot be loaded", dll, -1);
        return true;
    }
    auto get = reinterpret_cast<WinampGetInModuleFn>(
        reinterpret_cast<void*>(GetProcAddress(h, "winampGetInModule2")));
    WinampInModule* m = get ? get() : nullptr;
    if (!m) {
        if (get) LogWithName("Input plug-in gives no module", dll, -1);
        FreeLibrary(h);
        return true;
    }
    FillHostEntries(m, h);
    if (m->Init && m->Init() != WINAMP_IN_INIT_SUCCESS) {
        LogWithName("Input plug-in failed to initialise", dll, -1);
        FreeLibrary(h);
        return true;
    }
    std::string d = PluginDescriptor(dll, m->description ? m->description : "", m->FileExtensions,
                                     4096);
    if (PluginExtensions(d).size() > kMaxExtensionText) {
        LogWithName("Input plug-in lists too many extensions", dll, -1);
        if (m->Quit) m->Quit();
        FreeLibrary(h);
        return false;
    }
    g_inputs.push_back(InputPlugin{h, m});
    g_host.descriptors.push_back(std::move(d));
    return true;
}

int DspModify(void*, void* samples, int frames, int bits, int channels, int rate) {
    if (!g_dsp || !g_dsp->ModifySamples) return frames;
    return g_dsp->ModifySamples(g_dsp, static_cast<short*>(samples), frames, bits, channels, rate);
}

}  // namespace

void PluginsLoadWin(HWND mainWindow, const PluginLog& log) {
    g_main = mainWindow;
    g_log = log;
    g_host.calls = PluginCalls{nullptr,        CallFileInfo,      CallPlay, CallLength,
                               CallOutputTime, CallSetOutputTime, CallStop, CallPause,
                               CallStartTimer, CallKillTimer,     CallLog};
    for (const std::wstring& name : ProgramFilesMatchingWin(L"in_*.dll")) {
        if (g_inputs.size() >= size_t(kMaxInputPlugins)) break;
        if (!LoadInput(name)) break;
    }
    if (g_settings.wave_flags & WaveFlag::WinampDsp) DspPluginLoadWin();
}

const std::vector<std::string>& PluginDescriptorsWin() {
    return g_host.descriptors;
}

PluginSourceOps PluginSourceOpsWin() {
    return PluginSourceOpsFor(g_host);
}

bool DspPluginLoadWin() {
    if (g_dsp) return true;
    const std::vector<std::wstring> names = ProgramFilesMatchingWin(L"dsp_*.dll");
    if (names.empty()) return false;
    const std::string dll = Narrow(names[0], CP_UTF8);
    HMODULE h = LoadProgramDll(names[0].c_str());
    auto get = h ? reinterpret_cast<WinampGetDspHeaderFn>(reinterpret_cast<void*>(
                       GetProcAddress(h, "winampDSPGetHeader2")))
                 : nullptr;
    WinampDspHeader* header = get ? get() : nullptr;
    WinampDspModule* m = header && header->getModule ? header->getModule(0) : nullptr;
    if (!m) {
        LogWithName("DSP plug-in cannot be loaded", dll, -1);
        if (h) FreeLibrary(h);
        return false;
    }
    m->hwndParent = g_main;
    m->hDllInstance = h;
    if (m->Init && m->Init(m) != 0) {
        LogWithName("DSP plug-in failed to initialise", dll, -1);
        FreeLibrary(h);
        return false;
    }
    g_dspModule = h;
    g_dsp = m;
    g_dspName = dll;
    g_dspState.plugin = DspPlugin{DspModify, nullptr};
    return true;
}

void DspPluginUnloadWin() {
    if (!g_dsp) return;
    g_dspState.plugin = DspPlugin{nullptr, nullptr};
    if (g_dsp->Quit) g_dsp->Quit(g_dsp);
    FreeLibrary(g_dspModule);
    g_dsp = nullptr;
    g_dspModule = nullptr;
    g_dspName.clear();
}

int PluginLengthMsWin(const wchar_t* file) {
    const int index = FindPlugin(g_host.descriptors, file);
    WinampInModule* m = Mod(index);
    if (!m) return -1;
    std::wstring title;
    int length = 0;
    CallFileInfo(nullptr, index, file, &title, &length);
    if (length <= 0 && index == g_host.current && m->GetLength) length = m->GetLength();
    return length > 0 ? length : -1;
}

void PluginConfigWin(int index, HWND parent) {
    if (WinampInModule* m = Mod(index); m && m->Config) m->Config(parent);
}
void PluginAboutWin(int index, HWND parent) {
    if (WinampInModule* m = Mod(index); m && m->About) m->About(parent);
}
bool PluginInfoBoxWin(const wchar_t* file, HWND parent) {
    WinampInModule* m = Mod(FindPlugin(g_host.descriptors, file));
    if (!m || !m->InfoBox) return false;
    const std::string path = PluginPath(file);
    m->InfoBox(path.c_str(), parent);
    return true;
}
void DspPluginConfigWin(HWND parent) {
    if (!g_dsp || !g_dsp->Config) return;
    g_dsp->hwndParent = parent;
    g_dsp->Config(g_dsp);
}

void PluginsUnloadWin() {
    if (g_host.current >= 0) PluginStop(g_host);
    for (InputPlugin& p : g_inputs) {
        if (p.mod->Quit) p.mod->Quit();
        FreeLibrary(p.module);
    }
    g_inputs.clear();
    g_host.descriptors.clear();
    DspPluginUnloadWin();
}
