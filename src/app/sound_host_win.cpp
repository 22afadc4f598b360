#include "app/sound_host_win.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

#include "app/app_win.h"
#include "audio/bass_win.h"
#include "audio/engine_win.h"
#include "audio/output.h"
#include "audio/plugin_host.h"
#include "audio/plugin_host_win.h"
#include "base/mmsystem_win.h"
#include "config/settings.h"
#include "library/library_win.h"
#include "library/list_text.h"

namespace {

bool OutputOpen() {
    return g_playState.hWaveOut || g_playState.dsBuffer;
}

std::vector<std::string> WaveOutNames(void*) {
    std::vector<std::string> names;
    const UINT n = WaveOutDeviceCountWin();
    for (UINT id = 0; id < n; ++id) {
        WAVEOUTCAPSA caps{};
        names.push_back(WaveOutDeviceCapsWin(id, &caps) == MMSYSERR_NOERROR
                            ? std::string(caps.szPname)
                            : std::string("?"));
    }
    return names;
}

// The peaks of what is heard now (the wave-out buffer heard last or the DirectSound slot under
// the play cursor) and the chain's gains.
bool Levels(void*, SoundLevels& out) {
    HeardLevels heard;
    if (!HeardLevelsNow(g_playState, heard)) return false;
    out = SoundLevels{};
    std::copy(std::begin(heard.before), std::end(heard.before), out.before);
    std::copy(std::begin(heard.after), std::end(heard.after), out.after);
    std::copy(std::begin(heard.gains), std::end(heard.gains), out.gains);
    return true;
}

// The playable extensions as the start-up builds them, from what is loaded now: the MPEG
// ones, the input plug-ins', then BASS's (none once it is unloaded). Every open list follows.
void RebuildPlayableExtensions() {
    std::string playable(kMpegExtensions);
    for (const std::string& d : PluginDescriptorsWin())
        AddPlayableExtensions(playable, PluginExtensions(d));
    AddPlayableExtensions(playable, BassPlayableExtensionsWin());
    g_playableExtensions = playable;
    LibraryPlayableChangedWin();
}

bool BassLoad(void*) {
    g_playState.bassLoaded = BassLoadWin() == 1;
    RebuildPlayableExtensions();
    return g_playState.bassLoaded;
}

// A track that BASS decodes stops first; the kinds only BASS plays stop being playable at
// once.
void BassUnload(void*) {
    if (g_playState.bassActive && g_wiring.playback.stop)
        g_wiring.playback.stop(g_wiring.playback.ctx);
    BassUnloadWin();
    g_playState.bassLoaded = false;
    RebuildPlayableExtensions();
}

}  // namespace

void SoundPagesHostWin(SettingsHost& h) {
    h.dspState = [](void*) { return &g_dspState; };
    h.outputRate = [](void*) { return OutputOpen() ? g_playState.outRate : 0u; };
    h.meters = [](void*, bool on) {
        g_playState.preciseMeters = on;
        g_dspState.enh2State.monitor.on = on;
    };
    h.levels = Levels;
    h.waveOutDevices = WaveOutNames;
    h.directSoundDevices = [](void*) { return DirectSoundDeviceNames(); };
    h.bassLoad = BassLoad;
    h.bassUnload = BassUnload;
    h.bassVersionText = [](void*) { return BassVersionTextWin(); };
    h.inputPlugins = [](void*) { return PluginDescriptorsWin(); };
    h.pluginConfig = [](void*, int index, void* parent) {
        PluginConfigWin(index, static_cast<HWND>(parent));
    };
    h.pluginAbout = [](void*, int index, void* parent) {
        PluginAboutWin(index, static_cast<HWND>(parent));
    };
    h.dspPluginLoad = [](void*) { return DspPluginLoadWin(); };
    h.dspPluginUnload = [](void*) { DspPluginUnloadWin(); };
    h.dspPluginConfig = [](void*, void* parent) { DspPluginConfigWin(static_cast<HWND>(parent)); };
}
