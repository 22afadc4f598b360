// 16-bit PCM WAV files for the probes and benchmarks: parse from bytes, build file bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WavPcm16 {
    uint32_t rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
};

// Reads the fmt and data chunks of a RIFF WAVE file holding 16-bit PCM (plain or extensible
// format). Returns false, with a reason in `error`, for anything else.
bool WavParse(const uint8_t* data, size_t len, WavPcm16& out, std::string& error);

// The 44-byte header and the samples of a plain 16-bit PCM file.
std::string WavBuild(const WavPcm16& wav);
