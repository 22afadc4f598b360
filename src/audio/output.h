// The output engine: the block pipeline from the decoder to a device buffer (stamps, fade-in,
// level meters, sound processing, software volume, 24-bit packing), wave-out start and
// completion, DirectSound open, start and the 50 ms tick, closing the output, stopping, the
// position queries and the debug window text. Main thread only.
#pragma once
#include <cstdint>
#include <string>

#include "audio/control.h"  // stop and the volume stage
#include "audio/engine_io.h"

// Silence written when nothing is left to play: 2,048 samples.
constexpr uint32_t kSilenceSamples = 2048;

bool OutputOpen(const PlayState& ps);

// Sizes the wave-out buffers for the output format (waveOutBufs, waveOutBufSize, queuedMs).
void SizeOutputBuffers(Engine& e);

// Opens wave-out or DirectSound as `wavedevice` selects. 0, or -2 after its message box.
int OpenOutput(Engine& e);

// Wave-out device open message: buffers, volume, the first writes.
void WaveOutStart(Engine& e);
// Wave-out buffer-done message for buffer b.
void WaveOutCompletion(Engine& e, OutBuffer& b);

// DirectSound: the 50 ms tick; `takeStamps` false while priming before play starts.
void DsTick(Engine& e, bool takeStamps = true);

// Fills dst (room for `samples` samples of the output format) through the pipeline. Returns
// the bytes written; stamp.bytePos is -1 for a silence block (then kSilenceSamples samples,
// capped at the room). peaks receives the level meters (null: none).
uint32_t RenderBlock(Engine& e, uint8_t* dst, uint32_t samples, AudioStamp& stamp,
                     uint16_t (*peaks)[kMeterEntries]);

// Stamps every DirectSound slot that bytes at pos cover.
void DsStampSlots(PlayState& ps, uint32_t pos, uint32_t bytes, const AudioStamp& st);

// Gives every DirectSound slot that bytes at pos cover the level-meter peaks of the block
// written there (peaks as RenderBlock fills them for a block starting at pos) and the chain's
// gains. A slot whose start is written takes the new peaks; one written from its middle on
// keeps the larger of old and new.
void DsMeterSlots(PlayState& ps, uint32_t pos, uint32_t bytes,
                  const uint16_t (*peaks)[kMeterEntries], const int32_t* gains);

// What is heard now, for the level displays: the peaks of the first two channels before and
// after the processing chain and the chain's gains, from the wave-out buffer heard last or the
// DirectSound slot under the play cursor. False when no output is open.
struct HeardLevels {
    uint16_t before[2]{}, after[2]{};
    int32_t gains[kOutGains]{};
};
bool HeardLevelsNow(const PlayState& ps, HeardLevels& out);

// Closes whichever output is open and frees its buffers and the ring.
void CloseOutput(Engine& e);

// Linear ramp from 0 over 0.15 s of the block's start.
void FadeInBlock(int16_t* samples, uint32_t n, uint32_t rate, uint32_t channels);
void FadeInBlock(float* samples, uint32_t n, uint32_t rate, uint32_t channels);

// One level-meter pass (pass 0 clears both rows) over a block.
void MeterPass(uint16_t (*peaks)[kMeterEntries], int pass, const int16_t* samples, uint32_t n,
               uint32_t rate, uint32_t channels, bool precise);

// round(x × 8,388,607) as three little-endian bytes per sample.
void PackFloat24(const float* samples, uint32_t n, uint8_t* out);

// The file position and length shown while playing (or of the stopped track).
uint32_t EngineBytePos(const Engine& e);

// The debug window's lines.
std::string EngineDebugText(const Engine& e, double dpiFactor);
