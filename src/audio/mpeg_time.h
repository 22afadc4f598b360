// MPEG audio positions are file bytes; times are derived from them at the file's average bit
// rate (bit/s). These two conversions are the only ones the program uses.
#pragma once
#include <cstdint>

// The bytes of `ms` of audio; 0 without a bit rate.
inline int64_t MpegBytesOfMs(int64_t ms, double avgBitrate) {
    return avgBitrate > 0 ? static_cast<int64_t>(static_cast<double>(ms) * avgBitrate / 8000.0) : 0;
}

// The ms of `bytes` of audio; 0 without a bit rate or for a negative count.
inline int64_t MpegMsOfBytes(int64_t bytes, double avgBitrate) {
    return avgBitrate > 0 && bytes > 0
               ? static_cast<int64_t>(static_cast<double>(bytes) * 8000.0 / avgBitrate)
               : 0;
}
