// The Winamp plug-ins of the program's folder: up to 20 input plug-ins ("in_*.dll") played
// through the host of plugin_host.h with the output module "Zuvo Output Mod", and one DSP
// plug-in ("dsp_*.dll") offered every output block by the processing chain. Main thread, except
// the output module's entries, which the plug-ins call on their own threads.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "audio/engine_io.h"

// What the host reports to the program: failures, as lines of error.log.
struct PluginLog {
    void* ctx = nullptr;
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;
};

// Start-up: loads the input plug-ins (by full path from the program's folder), then the DSP
// plug-in when wave_flags 0x100 is set.
void PluginsLoadWin(HWND mainWindow, const PluginLog& log);
// The loaded input plug-ins' descriptors ("dll/description/ext;ext;").
const std::vector<std::string>& PluginDescriptorsWin();
// The engine's table over the program's plug-in host (filled by the engine's start).
PluginSourceOps PluginSourceOpsWin();

// The DSP plug-in: loaded when its option is switched on, unloaded when it is switched off.
bool DspPluginLoadWin();
void DspPluginUnloadWin();

// Length of `file` in ms through the plug-in that lists its extension; -1 when none can tell.
int PluginLengthMsWin(const wchar_t* file);
// The boxes the plug-ins bring: the input plug-in's Config, About and file InfoBox, the DSP
// plug-in's Config.
void PluginConfigWin(int index, HWND parent);
void PluginAboutWin(int index, HWND parent);
// InfoBox: false when no plug-in takes the file or its plug-in has no InfoBox.
bool PluginInfoBoxWin(const wchar_t* file, HWND parent);
void DspPluginConfigWin(HWND parent);

// Shutdown: each input module's Quit, the libraries unloaded; the DSP plug-in's Quit and unload.
void PluginsUnloadWin();
