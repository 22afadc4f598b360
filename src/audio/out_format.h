// Output formats and buffer arithmetic: the wave format of both devices, the ACM formats, the
// wave-out buffer count and size and the DirectSound buffer, segment and slot sizes. Pure
// functions of their arguments.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"

// PCM, or the extensible format above 16 bits and with 5.1 output.
WaveFormat MakeWaveFormat(uint32_t channels, uint32_t rate, uint32_t bits, bool surround51);

// The MPEG Layer-3 source and 16-bit PCM destination of an ACM stream for the record's stream.
AcmFormats MakeAcmFormats(const MpegInfo& info, uint32_t rate, uint32_t channels);

struct WaveOutSizing {
    uint32_t bufs = 0, size = 0, queuedMs = 0;
};
// outbuflength in quarter seconds; a URL stream queues three seconds instead.
WaveOutSizing SizeWaveOut(uint32_t rate, uint32_t channels, uint32_t bits, bool mode24,
                          uint32_t outbuflength, bool urlStream);

struct DsSizing {
    uint32_t bufferBytes = 0, segmentBytes = 0, slotCount = 0, slotBytes = 0, queuedMs = 0;
};
DsSizing SizeDirectSound(uint32_t rate, uint32_t channels, uint32_t bits, bool mode24,
                         uint32_t outbuflength, bool urlStream);

// Play time of `bytes` of PCM in ms, rounded.
uint32_t PcmMs(uint64_t bytes, uint32_t rate, uint32_t channels, uint32_t bits);
