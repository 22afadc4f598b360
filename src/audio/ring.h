// The gapless ring: a few seconds of decoded audio between the decoder and the output, so that
// the next track is decoded while the last one still plays. On the way in the encoder delay and
// padding are cut, silences skipped, loud ends faded or kept apart and the next track overlapped
// with the quiet tail of the last; a forced output format is reached by resampling. On the way
// out the queued audio is faded on stop and skip and a manually chosen track is mixed into the
// fading queue. Main thread only; everything works on the Engine it is given.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"

// The decoder's own delay, added to the encoder delay and taken off the encoder padding.
constexpr uint32_t kDecoderDelay = 529;
// A fill step only decodes when the ring has room for this many samples: the file decoders need
// more than one frame of room to produce anything, and a first block must be longer than the
// delay cut.
constexpr int32_t kMinFillSamples = 8192;

// Gapless play is on: "Enable gapless" without "Auto space" (which plays each track on a fresh
// output after its pause).
bool GaplessOn(const Settings& s);

// Allocates the ring for a new output opening of the source format; with overlap mixing and a
// forced output format rate and channels are replaced by it (stereo at 44,100 or 48,000 Hz).
// Only when gapless is on and no URL stream plays; otherwise the ring stays freed.
void RingAllocate(Engine& e, uint32_t& rate, uint32_t& channels);
// Frees the ring and its slot arrays (closing the output).
void RingFree(PlayState& ps);
bool RingActive(const PlayState& ps);

// Prepares the low-pass filter of the forced output rate for a source rate below it (cut-off
// source rate / 2.1) and clears its history; off otherwise.
void RingPrepareTrack(PlayState& ps, uint32_t srcRate);

// One fill step: at most one second decoded into the ring, the position slots stamped; at the
// end of the track the end mark, the overlap search and the sequencer's OnTrackEnd.
void RingFill(Engine& e);

// Copies up to `wanted` samples from the read index; the samples read, -1 without a ring.
int32_t RingRead(PlayState& ps, int16_t* dst, uint32_t wanted);
int32_t RingReadFloat(PlayState& ps, float* dst, uint32_t wanted);

// The stamps of the audio at the read index: position and length from its slot, the file
// position from the position estimate.
AudioStamp RingStamp(Engine& e);
// The file position of the audio at the read index (ms for BASS and plug-in sources).
uint32_t RingPositionEstimate(const Engine& e);

// Samples in the ring not yet read, and their playing time in ms.
uint32_t RingFillSamples(const PlayState& ps);
uint32_t RingFillMs(const PlayState& ps);
// Moves the write index back to where the last track's audio ended (drops what follows it).
void RingRewindToTrackEnd(PlayState& ps);

// Decoded-block post-processing for gapless play, inside Decode block: `bytes` of 16-bit PCM
// in dst, decoded from `posBefore` (dwPointer when the block was asked for). Returns the bytes
// left; `dropped` is set when a wholly silent block was thrown away (the caller decodes the next
// one). A block of 0 bytes is the end of the track: the padding and loud-end steps run.
uint32_t RingPostProcess(Engine& e, int16_t* dst, uint32_t bytes, uint32_t posBefore,
                         bool& dropped);

// At the end of a track with overlap mixing: places the write index over the quiet tail of the
// old track (at most the ring fill less one second) and sets ovTrackEndSamp to the old end.
void RingOverlapSearch(Engine& e);

// The fade curve of length n for fade_decay d (0 exponential ... 8 linear), evaluated step by
// step: Next() gives gain(0), gain(1), ... and 0 from gain(n) on.
struct FadeCurve {
    double factor = 1.0, step = 1.0;  // c^(i/n) and c^(1/n)
    double offset = 0.0, offsetStep = 0.0;
    uint64_t i = 0, n = 0;
    double Next();
};
FadeCurve MakeFadeCurve(uint64_t n, int32_t fadeDecay);

// Fades the queued audio of the open output over `ms` (stop and skip fades): everything queued
// after the fade is silent. Returns the ms actually faded (queuedMs when the queue is shorter).
uint32_t FadeQueuedAudio(Engine& e, uint32_t ms);

// A manual skip with overlap mixing: the new track is read into the ring from its start and
// added into the (fading) queued audio of the open output.
void RingMixIntoQueue(Engine& e);
