// Play initialisation: opens the track's decoder and, when no output is open yet, the output,
// with the message boxes of every failure; and the same decoder opening for the WAV export.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"

// Sampling rate, channels and bits (16, or 24 in the 24-bit mode) of the track. 0 on success,
// -1 when ACM cannot decode the stream (not Layer III), -2 on any other failure (after its
// message box).
int PlayInit(Engine& e, uint32_t rate, uint32_t channels, uint32_t bits);

// Opens the decoder as play init does, without any output (the WAV export). Same results.
int DecoderInitForExport(Engine& e, uint32_t rate, uint32_t channels);

// The channel count play init is given for the record: 1 for mono, else 2.
uint32_t TrackChannels(const MpegInfo& info);
