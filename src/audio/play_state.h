// The playback engine's one state record: output device and format, the output buffers with
// the stamps of the audio they hold, the decoder state, the gapless ring's indexes and what is
// being heard. Main thread only; the glue defines the program's instance (g_playState).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where a block of audio came from: file position (ms for BASS and plug-in sources), position
// and track length in ms. A silence block written after the end carries no stamps.
struct AudioStamp {
    int64_t bytePos = -1;  // -1: no stamps (silence after the end)
    uint32_t posMs = 0;
    uint32_t lengthMs = 0;
};

constexpr int kOutGains = 8;       // processing-chain gains a buffer record carries
constexpr int kMeterEntries = 50;  // level-meter peaks per pass: 25 segments a second, 2 channels

// One wave-out buffer and the stamps of the audio it holds.
struct OutBuffer {
    std::vector<uint8_t> data;  // waveOutBufSize bytes
    void* header = nullptr;     // the device's header (a WAVEHDR in the program), owned by the glue
    bool prepared = false;
    uint32_t bytes = 0;  // bytes written to the device by the last write
    AudioStamp stamp;
    OutBuffer* prev = nullptr;  // the record written before this one (the write chain)
    int index = 0;
    uint16_t peaks[2][kMeterEntries]{};  // [0] before, [1] after the processing chain
    // Processing-chain gains × 100 for the displays: Enhancer 2's four band gains, its AGC gain
    // per channel, Enhancer 1's gain, and one spare.
    int32_t gains[kOutGains]{};
};

// One DirectSound slot: 1/25 s of the secondary buffer, the stamps of what was written there
// and, for the level displays, its peaks per channel (first two channels) before and after the
// processing chain with the chain's gains of the segment it came from.
constexpr int kDsMaxSlots = 100;
struct DsSlot {
    AudioStamp stamp{0, 0, 0};
    uint16_t peaks[2][2]{};  // [pass][channel]
    int32_t gains[kOutGains]{};
};

// One second-order section of the resampling low-pass (direct form I) with its history.
struct BiquadSection {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};
// Two identical cascaded sections per output channel.
struct LowPassFilter {
    BiquadSection sec[2][2];  // [channel][section]
};

// The mpglib decoder's state block: the library's layout, the engine only reserves room.
constexpr size_t kMpglibStateBytes = 256 * 1024;

// The "mpglib.dll" entry points (see decoder.h for their contract).
using MpglibInitFn = int (*)(void* state);
using MpglibExitFn = void (*)(void* state);
using MpglibDecodeFn = int (*)(void* state, const uint8_t* in, int inBytes, uint8_t* out,
                               int outRoom, int* produced);

struct PlayState {
    // ---- output device and format ----
    void* hWaveOut = nullptr;  // open wave-out device, null when none
    void* dsound = nullptr;    // DirectSound device object, primary and secondary buffer
    void* dsPrimary = nullptr;
    void* dsBuffer = nullptr;
    void* dsoundModule = nullptr;  // "dsound.dll", loaded by the first DirectSound output
    void* dsDeviceGuid = nullptr;  // device chosen by enumeration, null for the default one
    uint32_t outRate = 0, outChannels = 0, outBits = 0;
    bool mode24 = false;          // 24-bit output: float processing, 24-bit packed PCM
    uint32_t waveOutBufs = 0;     // number of wave-out buffers
    uint32_t waveOutBufSize = 0;  // bytes each
    uint32_t queuedMs = 0;        // playing time of the whole output queue
    std::vector<OutBuffer> buffers;
    OutBuffer* lastWritten = nullptr;  // the record most recently handed to the device
    int currentBuffer = 0;             // index of the buffer heard last

    // DirectSound secondary buffer.
    uint32_t dsBufferBytes = 0, dsSegmentBytes = 0;
    uint32_t dsWritePos = 0, dsPlayPos = 0;
    DsSlot dsSlots[kDsMaxSlots];
    uint32_t dsSlotCount = 0, dsSlotBytes = 0;
    uint32_t dsCurrentSlot = 0;
    int32_t dsEndSilence = -1;  // bytes the cursor moved since it met the end's silence, -1 before
    bool dsTimerRunning = false;

    // ---- playback state ----
    uint32_t playedBytePos = 0;  // file position (ms for BASS/plug-ins) heard; the resume position
    uint32_t playedMs = 0;
    uint32_t playedLengthMs = 0;
    uint32_t pendingAction = 0;  // deferred action code, 0 none
    bool trackEnded = false;     // the decoder delivered the whole track; the output drains
    bool manualSkip = false;     // the current track change was ordered by the user
    // One byte each: the main window's commands set them through a byte pointer.
    uint8_t softMute = 0;       // 0 off, 1 mute, 2 soft mute (volume / 4)
    uint8_t fastPlayLevel = 0;  // 0 off, 1..3 faster
    int startPercent = -1;      // the next start begins at this percent of the track; -1 none
    // The paths the track record points into: two, alternating, so that the start of the next
    // track never overwrites the path of the one still open.
    std::wstring trackPath[2];
    uint8_t trackPathIndex = 0;
    // Faded tail of the last fast-play segment, carried into the next block (16-bit values or
    // floats, as the output).
    std::vector<float> fastPlayTail;
    uint32_t resumePos = 0;      // where the next start begins (byte or ms position); 0 the start
    uint16_t swGain = 65535;     // software gain now applied to queued 16-bit audio
    bool fadeInPending = false;  // ramp the next block in over 0.15 s
    bool streamTap = false;      // the live stream takes the played PCM
    bool preciseMeters = false;  // a display that needs precise levels is open

    // ---- decoder state ----
    void* hAcmStream = nullptr;  // open ACM conversion stream, null when none
    // Bytes the open ACM stream has taken and given since it was opened (see AcmDecode).
    uint64_t acmInBytes = 0, acmOutBytes = 0;
    void* mpglibModule = nullptr;
    MpglibInitFn mpglibInit = nullptr;
    MpglibExitFn mpglibExit = nullptr;
    MpglibDecodeFn mpglibDecode = nullptr;
    std::vector<uint8_t> mpglibState;  // kMpglibStateBytes once the library is loaded
    uint32_t inputChunk = 0;           // compressed bytes per block; 0: no decoder open
    std::vector<uint8_t> fileBuf;      // read-ahead of compressed input, filebufsize KB
    uint32_t fileBufFilled = 0;
    uint32_t fileBufPos = 0;
    bool pluginActive = false, bassActive = false, bassLoaded = false, urlStream = false;
    uint32_t srcRate = 0, srcChannels = 0;  // format given to play init for the track decoded

    // ---- gapless ring (ring.h; null ring = blocks decoded straight into the output) ----
    void* ovRing = nullptr;         // ovRing16 or ovRingF data (mode24), null when no ring
    std::vector<int16_t> ovRing16;  // interleaved samples of the output format
    std::vector<float> ovRingF;     // the same in the 24-bit mode, -1..1
    int32_t ovRingSize = 0, ringSeconds = 4;  // samples (all channels), seconds
    int32_t ovReadPosSamp = 0, ovWritePosSamp = 0;
    int32_t ovTrackEndSamp = -1;  // >= 0: new samples are added to the ring up to this index
    int32_t ovTrackEndMark = 0;   // write index at which the last track's audio ended
    // Per 1/10 s of ring: track position and track length (ms) of the audio stored there;
    // 10 x ringSeconds entries and 16 spare.
    std::vector<uint32_t> posSlotMs, posSlotLen;
    int32_t posSlotLast = -1;  // last slot stamped, -1 after a reset
    int32_t forcedRate = 0;    // 0, 44,100 or 48,000 (the output is then stereo)
    bool lowPassOn = false;    // low-pass on resampling up ("LP" output formats)
    LowPassFilter lowPass;
    bool noOverlapThisEnd = false;  // the track ended loud and is not overlapped
    // Scratch blocks of the fill step, kept so that a step allocates nothing: the decoded
    // block, and its resampled or float form.
    std::vector<int16_t> ovDecoded, ovOut16;
    std::vector<float> ovOutF, ovOutF2;
    uint32_t trimThreshold = 0;  // file position after which trailing silence is cut; 0: start

    std::string debugText;  // the last engine debug text, shown by the debug window
};
