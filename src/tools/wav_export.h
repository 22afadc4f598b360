// Exporting a track as a 16-bit PCM WAV file, block by block from the decoder, optionally through
// the sound processing. Portable: the decoder, the processing and the destination file come in
// as tables, so the dialog's timer drives the same steps the tests drive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kWavHeaderBytes = 44;
constexpr uint32_t kWavBlockBytes = 65536;   // the decoder's block and the work buffer
constexpr int kWavBlocksPerTick = 100;       // blocks decoded per timer tick
constexpr size_t kWavPathMax = 400;          // characters of the destination path

// The 44-byte header of a 16-bit PCM file, both length fields 0 (patched at the end).
void WavHeader(uint8_t out[kWavHeaderBytes], uint32_t sampleRate, int channels);

// Channels of the file: 1 for a mono source, or when processing is used and mono downmix is on.
int WavChannels(bool sourceMono, bool processing, bool monoDownmix);

// The destination proposed for a track: its whole name with ".wav" appended, at most
// kWavPathMax characters.
std::wstring WavDefaultDestination(std::wstring_view trackPath);

// Keeps the left sample of each 16-bit stereo frame in place; returns the new byte count.
size_t WavKeepLeft(uint8_t* block, size_t bytes);

struct WavDecoder {
    void* ctx = nullptr;
    // Decodes the next block into buf (cap bytes); 0 at the end of the track.
    uint32_t (*next)(void* ctx, uint8_t* buf, uint32_t cap) = nullptr;
    uint64_t (*position)(void* ctx) = nullptr;  // source bytes read so far
    uint64_t (*total)(void* ctx) = nullptr;     // source bytes in all
};

struct WavFile {
    void* ctx = nullptr;
    bool (*append)(void* ctx, const uint8_t* data, size_t len) = nullptr;
    bool (*writeAt)(void* ctx, uint64_t pos, const uint8_t* data, size_t len) = nullptr;
    uint64_t (*length)(void* ctx) = nullptr;
};

// The processing chain's block entry point: interleaved 16-bit samples in place; null: none.
using WavProcessFn = void (*)(int16_t* samples, int frames, int channels);

struct WavExportSetup {
    int decoderChannels = 2;   // what the decoder delivers: 1 for a mono source, else 2
    bool processing = false;   // "Use Enhancer/EQ/Mono"
    bool monoDownmix = false;  // the mono downmix setting
    WavProcessFn process = nullptr;
};

enum class WavTick { kMore, kDone };

// One export from the header to the patched lengths.
class WavExport {
public:
    WavExport(const WavExportSetup& setup, const WavDecoder& decoder, const WavFile& file);
    // Writes the header (lengths 0) for sampleRate and the channels the rules give.
    void Begin(uint32_t sampleRate);
    // Decodes up to kWavBlocksPerTick blocks; at the end patches the lengths from the file's
    // actual length and answers kDone.
    WavTick Tick();
    // round(position / total x 100), 0..100.
    int Progress() const;
    int FileChannels() const { return fileChannels_; }

private:
    WavExportSetup setup_;
    WavDecoder decoder_;
    WavFile file_;
    int fileChannels_ = 2;
    std::vector<uint8_t> buffer_;
};
