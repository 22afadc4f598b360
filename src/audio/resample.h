// Resampling to a forced output rate: linear interpolation between source frames, a mono
// source feeding every output channel, and for the "LP" output formats two cascaded
// second-order low-pass sections per channel against the images of upsampling. Pure functions
// over the caller's buffers and filter state.
#pragma once
#include <cstdint>

#include "audio/play_state.h"

// Both sections of every channel get the bilinear-transform low-pass (Q = 0.707) at `cutoff` Hz
// for `outRate`, with their history cleared.
void LowPassPrepare(LowPassFilter& f, double cutoff, double outRate);

// Output samples a source block of `srcSamples` samples gives (the last source frame is only
// interpolated towards, never started from).
uint32_t ResampledSamples(uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate, uint32_t outCh,
                          uint32_t outRate);

// Resamples src (srcSamples interleaved samples of srcCh channels at srcRate) into dst (room for
// ResampledSamples) at outRate with outCh channels; lp (null: none) filters every output
// channel. Returns the samples written. 16-bit results are truncated toward zero; through the
// filter they are scaled back and clamped.
uint32_t Resample16(const int16_t* src, uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate,
                    int16_t* dst, uint32_t outCh, uint32_t outRate, LowPassFilter* lp);
uint32_t ResampleFloat(const float* src, uint32_t srcSamples, uint32_t srcCh, uint32_t srcRate,
                       float* dst, uint32_t outCh, uint32_t outRate, LowPassFilter* lp);
