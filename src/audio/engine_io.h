// The tables through which the playback engine reaches the world: the sound devices, the ACM
// codec, run-time libraries, the track file, the sound processing, the main window and the
// subsystems above. The program's glue fills them with Win32 calls (engine_win.cpp) and the
// start-up code the host; the render probe and the tests fill them with the fake device
// (native_io.h) and the native mpglib adapter.
// Every table is plain data; a null function means "not there".
#pragma once
#include <cstdint>

#include "audio/mpeg_info.h"
#include "audio/play_state.h"

struct Settings;

// A PCM wave format, plain or extensible; the glue copies it into WAVEFORMATEX(TENSIBLE).
struct WaveFormat {
    uint16_t formatTag = 1;  // 1 PCM, 0xFFFE extensible
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;        // 22 for the extensible format
    uint16_t validBits = 0;     // extensible only
    uint32_t channelMask = 0;   // extensible only: 0x3F with 5.1 output
    bool pcmSubFormat = false;  // extensible only: KSDATAFORMAT_SUBTYPE_PCM
};

// The two formats of the ACM MPEG Layer-3 to PCM conversion.
struct AcmFormats {
    // Source: MPEGLAYER3WAVEFORMAT.
    uint16_t srcTag = 0x55, srcChannels = 0;
    uint32_t srcRate = 0, srcAvgBytes = 0;
    uint16_t srcBlockAlign = 1, srcBits = 0, srcExtra = 12;
    uint16_t mp3Id = 1;  // MPEGLAYER3_ID_MPEG
    uint32_t mp3Flags = 0;
    uint16_t mp3BlockSize = 0, mp3FramesPerBlock = 1, mp3CodecDelay = 1393;
    // Destination: 16-bit PCM.
    WaveFormat dst;
};

struct WaveOutOps {
    void* ctx = nullptr;
    // Opens device `device` (-1: the wave mapper); the device-open and buffer-done messages go to
    // the main window. Returns the device handle, or null.
    void* (*open)(void* ctx, int device, const WaveFormat& fmt) = nullptr;
    bool (*prepare)(void* ctx, void* hwo, OutBuffer& b) = nullptr;  // user data = &b
    bool (*write)(void* ctx, void* hwo, OutBuffer& b) = nullptr;    // b.bytes of b.data
    void (*unprepare)(void* ctx, void* hwo, OutBuffer& b) = nullptr;
    void (*reset)(void* ctx, void* hwo) = nullptr;
    void (*close)(void* ctx, void* hwo) = nullptr;
    void (*freeHeader)(void* ctx, OutBuffer& b) = nullptr;             // b.header
    void (*setVolume)(void* ctx, void* hwo, uint32_t both) = nullptr;  // waveOutSetVolume value
};

// One locked region of the DirectSound buffer (two parts when it wraps).
struct DsRegion {
    uint8_t* p1 = nullptr;
    uint32_t n1 = 0;
    uint8_t* p2 = nullptr;
    uint32_t n2 = 0;
};

// The failing step of opening DirectSound, for its message.
enum DsOpenStep : int {
    kDsOpenOk = 0,
    kDsCreate,
    kDsCooperativeLevel,
    kDsPrimaryBuffer,
    kDsSetFormat,
    kDsWorkBuffer,
};

struct DsOps {
    void* ctx = nullptr;
    // Briefly opens wave-out device `device` (-1 mapper) at full volume, picks the DirectSound
    // device numbered n (0 default), creates it, the primary buffer with fmt and a secondary
    // buffer of `bytes`; the interfaces go into ps. Returns kDsOpenOk or the failing step.
    int (*open)(void* ctx, PlayState& ps, int n, const WaveFormat& fmt, uint32_t bytes) = nullptr;
    bool (*playCursor)(void* ctx, PlayState& ps, uint32_t* cursor) = nullptr;
    bool (*lock)(void* ctx, PlayState& ps, uint32_t pos, uint32_t bytes, DsRegion& r) = nullptr;
    void (*unlock)(void* ctx, PlayState& ps, const DsRegion& r) = nullptr;
    bool (*play)(void* ctx, PlayState& ps) = nullptr;   // looping play from the start
    void (*close)(void* ctx, PlayState& ps) = nullptr;  // stop and release the three interfaces
    void (*setVolume)(void* ctx, PlayState& ps, int32_t hundredthsDb) = nullptr;
    void (*startTimer)(void* ctx) = nullptr;  // the 50 ms tick, timer 6991
    void (*killTimer)(void* ctx) = nullptr;
    // Loads the DirectSound library on the first output that asks for it (ps.dsoundModule);
    // false when it is missing, and wave-out plays instead.
    bool (*load)(void* ctx, PlayState& ps) = nullptr;
};

struct AcmOps {
    void* ctx = nullptr;
    // acmStreamOpen with the formats and acmStreamSize for dstBytes of output: returns 0 with
    // *srcBytes, 2 when the stream cannot be opened, 3 when the size is 0.
    int (*open)(void* ctx, PlayState& ps, const AcmFormats& f, uint32_t dstBytes,
                uint32_t* srcBytes) = nullptr;
    // One block-aligned conversion; returns the destination bytes used, *srcUsed the source.
    uint32_t (*convert)(void* ctx, PlayState& ps, const uint8_t* src, uint32_t n, uint8_t* dst,
                        uint32_t cap, uint32_t* srcUsed) = nullptr;
    void (*close)(void* ctx, PlayState& ps) = nullptr;
};

// Run-time libraries by name ("mpglib.dll").
struct LibraryOps {
    void* ctx = nullptr;
    void* (*load)(void* ctx, const char* name) = nullptr;
    void* (*symbol)(void* ctx, void* module, const char* name) = nullptr;
    void (*unload)(void* ctx, void* module) = nullptr;
};

// The track file.
struct TrackFileOps {
    void* ctx = nullptr;
    // Opens path for reading (shared read and write); sets fileName, hFile and dwAudioEnd (the
    // file size) and the reader over it.
    bool (*open)(void* ctx, MpegInfo& info, const wchar_t* path, ByteReader& reader) = nullptr;
    void (*close)(void* ctx, MpegInfo& info) = nullptr;
    uint32_t (*size)(void* ctx, const MpegInfo& info) = nullptr;  // read again
};

// The main window's services that the engine uses itself (filled by the engine's glue).
struct EngineWindow {
    void* ctx = nullptr;
    void (*setTimer)(void* ctx, unsigned id, unsigned ms) = nullptr;  // one-shot 1809 / 1810
    void (*killTimer)(void* ctx, unsigned id) = nullptr;
    void (*messageBox)(void* ctx, const char* caption, const char* text) = nullptr;  // modal
    void (*postNextTrack)(void* ctx) = nullptr;       // the next-track command, posted
    void (*closeMainWindow)(void* ctx) = nullptr;     // as its close box would
    void (*enterBrowsedFolder)(void* ctx) = nullptr;  // the browsed folder becomes current
};

// The end of a track, as the sequencer is told of it.
struct TrackEndInfo {
    // The decoder has delivered the whole track and the output still plays the ring out;
    // otherwise playback has ended and the output is closed.
    bool ringPlaysOut = false;
    bool actionDecides = false;  // a deferred action (stop, restart, ...) decides what follows
    int64_t lengthMs = 0;        // the ended track's length
};

// What the engine tells, and asks of, the subsystems above it: the displays, the sequencer,
// the track log and position memory, the live stream and the sources that come as plug-ins.
// Filled once by the start-up code; a null entry is a step that is skipped.
struct EngineHost {
    void* ctx = nullptr;
    void (*showPlayButton)(void* ctx, bool pressed) = nullptr;
    void (*refreshDisplay)(void* ctx) = nullptr;  // title and time display
    void (*trackEnded)(void* ctx, const TrackEndInfo& end) = nullptr;
    void (*streamFeed)(void* ctx, const uint8_t* pcm, uint32_t bytes, bool mode24) = nullptr;
    void (*muteCleared)(void* ctx) = nullptr;  // mute button and title flags follow
    void (*refreshList)(void* ctx) = nullptr;  // list and title, when the list option allows
    // Plays the first track of the play list after `startDelayMs` (deferred action 5).
    void (*playFirstOfList)(void* ctx, unsigned startDelayMs) = nullptr;
    void (*replaySelected)(void* ctx) = nullptr;  // the selected track again (actions 6, 7)
    void (*logTrackLeave)(void* ctx, uint32_t playedMs) = nullptr;
    // A track starts playing at startMs of its audio (not one that waits for a restart).
    void (*logTrackStart)(void* ctx, const MpegInfo& track, uint32_t startMs) = nullptr;
    void (*rememberPosition)(void* ctx, uint32_t pos) = nullptr;  // when that option is on
    // Where the next start begins (the play starter's resume position), shown at once.
    void (*setResumePosition)(void* ctx, uint32_t pos) = nullptr;
    void (*stopRecording)(void* ctx) = nullptr;  // the open stream-recording window stops
    // A short text in the status line's message part for ms (0: until replaced).
    void (*statusMessage)(void* ctx, const wchar_t* text, int ms) = nullptr;
    void (*stopPlugin)(void* ctx) = nullptr;     // the input plug-in stops
    // The intro scan's starts: the selected row of the focused list, or the next row, at
    // `startPercent` of the track; false when nothing started (the end of the list).
    bool (*playSelected)(void* ctx, int startPercent) = nullptr;
    bool (*playNext)(void* ctx, int startPercent) = nullptr;
    void (*introScanChanged)(void* ctx) = nullptr;  // its window came, went, started or stopped
};

// The sound-processing entry points, called on every block in place (null: untouched). ctx is
// the chain's own state (the DspState of the program, whose output format the applySettings
// wrapper also sets).
struct DspHooks {
    void* ctx = nullptr;
    void (*processPcm16)(void* ctx, int16_t* samples, int frames, int channels) = nullptr;
    void (*processFloat)(void* ctx, float* samples, int frames, int channels) = nullptr;
    void (*applySettings)(void* ctx, int mode, bool reset, uint32_t rate, int channels) = nullptr;
    // The chain's current gains × 100 for the displays, kOutGains values (see OutBuffer::gains).
    void (*gains)(void* ctx, int32_t* out) = nullptr;
    // The current track restarts (a seek, a fast-play change): the next applySettings keeps
    // the running gains instead of starting them again.
    void (*keepStateOnce)(void* ctx) = nullptr;
};

struct Engine;
// Winamp input plug-ins as a track source (plugin_host.h); null entries: none loaded.
struct PluginSourceOps {
    void* ctx = nullptr;
    int (*find)(void* ctx, const wchar_t* file) = nullptr;  // the plug-in for file, -1 none
    // 0 started, -1 the file cannot be opened, -2 the plug-in's Play failed.
    int (*play)(void* ctx, Engine& e, int index, const wchar_t* file, uint32_t startMs) = nullptr;
    uint32_t (*read)(void* ctx, Engine& e, uint8_t* dst, uint32_t cap) = nullptr;  // Read block
    // Read block for the 24-bit mode: samples as floats at the plug-in's own resolution.
    uint32_t (*readFloat)(void* ctx, Engine& e, float* dst, uint32_t samples) = nullptr;
    void (*stop)(void* ctx) = nullptr;
};

// A BASS decode channel as the track's source (the glue over bass.dll); it counts positions in
// ms: open fills the record with dwAudioBeg 0, dwAudioEnd = lengthMs and dwPointer in ms.
struct BassSourceOps {
    void* ctx = nullptr;
    bool (*takes)(void* ctx, const wchar_t* file) = nullptr;  // BASS is loaded and plays file
    int (*open)(void* ctx, Engine& e, const wchar_t* file) = nullptr;  // 1 ok, 0 failed
    uint32_t (*read)(void* ctx, Engine& e, uint8_t* dst, uint32_t cap) = nullptr;  // 0 at the end
    // The 24-bit mode's block: at most `samples` floats in -1..1, 0 at the end.
    uint32_t (*readFloat)(void* ctx, Engine& e, float* dst, uint32_t samples) = nullptr;
    void (*seek)(void* ctx, Engine& e) = nullptr;  // to e.track.dwPointer ms
    void (*close)(void* ctx, Engine& e) = nullptr;
};

struct EngineIo {
    WaveOutOps waveOut;
    DsOps ds;
    AcmOps acm;
    LibraryOps lib;
    TrackFileOps file;
    DspHooks dsp;
    EngineWindow window;
    EngineHost host;
    PluginSourceOps plugin;
    BassSourceOps bass;
};

// What every engine call works on: the state, the playing track's record, the settings and the
// tables. The glue builds it from the globals; tests from their own records.
struct Engine {
    PlayState& ps;
    MpegInfo& track;
    const Settings& s;
    const EngineIo& io;
    ByteReader& in;  // reader over the open track file
};
