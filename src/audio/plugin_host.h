// Hosting Winamp input plug-ins: the descriptors and the choice of a plug-in by extension, the
// host's output module (the ring into which the plug-in's own thread writes PCM, with its
// latency and free-space rules), the start-up steps on timer 2350, the block reader through
// which the engine takes the plug-in's PCM, seeking and stopping. Portable: the glue
// (plugin_host_win.cpp) loads the DLLs and turns the plug-in's module entries into PluginCalls.
//
// Threads: the plug-in calls the output module (Open, Write, CanWrite, IsPlaying,
// GetOutputTime) on its own decode thread; everything else runs on the main thread. The two
// share the ring through its two offsets only: the writer moves only `write`, the reader only
// `read`, and CanWrite keeps 24 bytes free so that the writer never reaches the reader.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/engine_io.h"
#include "audio/plugin_ring.h"

constexpr int kMaxInputPlugins = 20;
constexpr size_t kMaxExtensionText = 479;  // a longer extension list ends the loading
constexpr uint32_t kPluginReadMax = 65536;  // bytes one Read block takes at most
constexpr unsigned kPluginStartTickMs = 50;
constexpr uint32_t kPluginStopPauseMs = 50;
// Silence a Read block gives while the plug-in has nothing yet, so that the stream goes on.
constexpr uint32_t kPluginGapSilenceGapless = 24;
constexpr uint32_t kPluginGapSilence = 768;
// Within this much of the track's end the plug-in's time is no longer asked: it is draining.
constexpr uint32_t kPluginEndMarginMs = 500;

// The calls the host makes into the plug-in (the glue turns them into the module's entries;
// the tests use a fake plug-in). `index` is the plug-in table's entry.
struct PluginCalls {
    void* ctx = nullptr;
    // Title and length (ms, <= 0 unknown) of `file`.
    void (*fileInfo)(void* ctx, int index, const wchar_t* file, std::wstring* title,
                     int* lengthMs) = nullptr;
    int (*play)(void* ctx, int index, const wchar_t* file) = nullptr;  // 0 ok
    int (*getLength)(void* ctx, int index) = nullptr;
    int (*getOutputTime)(void* ctx, int index) = nullptr;
    void (*setOutputTime)(void* ctx, int index, int ms) = nullptr;
    void (*stop)(void* ctx, int index) = nullptr;
    void (*pause)(void* ctx, uint32_t ms) = nullptr;  // sleeps on the main thread
    void (*startTimer)(void* ctx) = nullptr;          // timer 2350, every 50 ms
    void (*killTimer)(void* ctx) = nullptr;
    void (*errorLog)(void* ctx, const char* text, int code) = nullptr;  // a line in error.log
};

// Start-up states: 1 waits for the plug-in's first CanWrite, 2 seeks to a pending resume
// position, 3..6 prebuffer a tick each, 7 opens the output; 0 is idle.
enum PluginStart : uint32_t { kPluginIdle = 0, kPluginWaitWrite = 1, kPluginWrote = 2,
                              kPluginOpenOutput = 7 };

struct PluginHost {
    std::vector<std::string> descriptors;  // "dll/description/ext;ext;" per loaded plug-in
    int current = -1;                      // the plug-in that plays, -1 none
    PluginCalls calls;

    PluginRing ring;
    // Written by Open on the plug-in's thread before its first CanWrite moves the start-up on;
    // read by the main thread after that.
    std::atomic<uint32_t> rate{0}, channels{0}, bits{0}, latencyMs{0};
    uint32_t frameBytes = 0;
    double bytesPerSec = 0;
    std::atomic<double> outTimeMs{0};  // ms of audio the engine has taken
    std::atomic<uint32_t> startState{kPluginIdle};
    std::atomic<bool> draining{false};
    std::atomic<bool> outputOpen{false};  // what IsPlaying answers
    uint32_t lastTime = 0;                // the plug-in's last reported position, ms
    uint32_t pendingStartMs = 0;          // a start inside the track, sought in state 2
    uint32_t waitTicks = 0;               // ticks spent waiting for the first CanWrite
    bool noAudioLogged = false;           // the track's end without audio is logged once
    std::vector<uint8_t> scratch;         // a block of 8-, 24- or 32-bit PCM being reduced
};

// A plug-in that has not asked for room this many ticks after its Play (10 s) is given up:
// the track counts as ended and the next one starts.
constexpr uint32_t kPluginStartTimeoutTicks = 200;

// "%s/%s/%s": the DLL's file name, the description and the extension list in lower case with
// each extension followed by ";". `extensions` is the module's list: pairs of zero-terminated
// texts (extensions separated by ";", then a description), ended by an empty text; at most
// `limit` bytes are looked at.
std::string PluginDescriptor(std::string_view dllName, std::string_view description,
                             const char* extensions, size_t limit);
// The extension part of a descriptor (after the second "/" counted from the end's side of the
// DLL name: the text after the last "/").
std::string_view PluginExtensions(std::string_view descriptor);
// The index of the first plug-in whose extension part holds the file's extension (lower case,
// at most 7 characters) as a substring; -1 when none does or the name has no extension.
int FindPlugin(const std::vector<std::string>& descriptors, std::wstring_view fileName);
// The output module's entries (plug-in thread).
uint32_t PluginLatencyMs(uint32_t rate, uint32_t channels, uint32_t bits);  // integer formula
int PluginOutOpen(PluginHost& h, int rate, int channels, int bits);  // latency, < 0 refused
int PluginOutWrite(PluginHost& h, const uint8_t* buf, int len);
int PluginOutCanWrite(PluginHost& h);
int PluginOutIsPlaying(PluginHost& h);
int PluginOutTime(const PluginHost& h);

// Plays `file` through plug-in `index` from `startMs`: tags, title and length, the plug-in's
// Play and the start-up timer. 0, -1 (file cannot be opened) or -2 (Play failed; playback is
// stopped).
int PluginPlay(PluginHost& h, Engine& e, int index, const wchar_t* file, uint32_t startMs = 0);
// One tick of timer 2350; at state 7 the timer stops and play init runs with the plug-in's
// format. Returns play init's result there, 0 otherwise. A plug-in that never asks for room
// is stopped after kPluginStartTimeoutTicks, logged, and its track ended (result -3).
int PluginStartTick(PluginHost& h, Engine& e);
// Read block: bytes of the plug-in's PCM as 16-bit samples (8-, 24- and 32-bit PCM keeps its
// top 16 bits), or of gap silence, written to dst; 0 at the end.
uint32_t PluginReadBlock(PluginHost& h, Engine& e, uint8_t* dst, uint32_t cap);
// Read block for the 24-bit mode: at most `samples` floats, whole frames, 24- and 32-bit PCM
// at its full resolution; the same silence and end rules.
uint32_t PluginReadFloat(PluginHost& h, Engine& e, float* dst, uint32_t samples);
// Seek: the plug-in's SetOutputTime(ms), and what has been taken counts from there.
void PluginSeek(PluginHost& h, int ms);
// The plug-in's Stop, a 50 ms pause, the ring freed, no current plug-in.
void PluginStop(PluginHost& h);

// The engine's table over a host (the glue's instance, or a test's).
PluginSourceOps PluginSourceOpsFor(PluginHost& h);
