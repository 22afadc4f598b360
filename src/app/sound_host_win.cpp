#include "app/sound_host_win.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

#include "app/app_win.h"
#include "audio/bass_win.h"
#include "audio/engine_win.h"
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

// The peaks of the wave-out buffer heard last, per channel, and the chain's gains.
bool Levels(void*, SoundLevels& out) {
    const PlayState& ps = g_playState;
    if (!ps.hWaveOut || ps.buffers.empty() || ps.outChannels == 0) return false;
    const OutBuffer& b = ps.buffers[std::clamp<size_t>(ps.currentBuffer, 0, ps.buffers.size() - 1)];
    out = SoundLevels{};
    const int channels = std::min<int>(ps.outChannels, 2);
    for (int e = 0; e < kMeterEntries; ++e) {
        const int c = e % static_cast<int>(ps.outChannels);
        if (c >= channels) continue;
        out.before[c] = std::max(out.before[c], b.peaks[0][e]);
        out.after[c] = std::max(out.after[c], b.peaks[1][e]);
    }
    std::copy(std::begin(b.gains), std::end(b.gains), out.gains);
    return true;
}

bool BassLoad(void*) {
    g_playState.bassLoaded = BassLoadWin() == 1;
    AddPlayableExtensions(g_playableExtensions, BassPlayableExtensionsWin());
    return g_playState.bassLoaded;
}

// A track that BASS decodes stops first; its extensions stay listed and fail to open.
void BassUnload(void*) {
    if (g_playState.bassActive && g_wiring.playback.stop)
        g_wiring.playback.stop(g_wiring.playback.ctx);
    BassUnloadWin();
    g_playState.bassLoaded = false;
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
