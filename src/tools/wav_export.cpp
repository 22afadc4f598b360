// The WAV export's header, channel rule and block loop.
#include "tools/wav_export.h"

#include <cmath>
#include <cstring>

namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

}  // namespace

void WavHeader(uint8_t out[kWavHeaderBytes], uint32_t sampleRate, int channels) {
    std::memset(out, 0, kWavHeaderBytes);
    std::memcpy(out, "RIFF", 4);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    Put32(out + 16, 16);
    Put16(out + 20, 1);
    Put16(out + 22, static_cast<uint32_t>(channels));
    Put32(out + 24, sampleRate);
    Put32(out + 28, sampleRate * static_cast<uint32_t>(channels) * 2);
    Put16(out + 32, static_cast<uint32_t>(channels) * 2);
    Put16(out + 34, 16);
    std::memcpy(out + 36, "data", 4);
}

int WavChannels(bool sourceMono, bool processing, bool monoDownmix) {
    return sourceMono || (processing && monoDownmix) ? 1 : 2;
}

std::wstring WavDefaultDestination(std::wstring_view trackPath) {
    std::wstring out(trackPath);
    out += L".wav";
    if (out.size() > kWavPathMax) out.resize(kWavPathMax);
    return out;
}

size_t WavKeepLeft(uint8_t* block, size_t bytes) {
    const size_t frames = bytes / 4;
    for (size_t i = 0; i < frames; ++i) std::memmove(block + i * 2, block + i * 4, 2);
    return frames * 2;
}

WavExport::WavExport(const WavExportSetup& setup, const WavDecoder& decoder, const WavFile& file)
    : setup_(setup), decoder_(decoder), file_(file), buffer_(kWavBlockBytes) {
    fileChannels_ = WavChannels(setup.decoderChannels == 1, setup.processing, setup.monoDownmix);
}

void WavExport::Begin(uint32_t sampleRate) {
    uint8_t header[kWavHeaderBytes];
    WavHeader(header, sampleRate, fileChannels_);
    (void)file_.append(file_.ctx, header, sizeof header);
}

WavTick WavExport::Tick() {
    for (int block = 0; block < kWavBlocksPerTick; ++block) {
        uint32_t bytes = decoder_.next(decoder_.ctx, buffer_.data(), kWavBlockBytes);
        if (bytes > kWavBlockBytes) bytes = kWavBlockBytes;
        if (bytes == 0) {
            // Write errors are not checked on the way: the lengths come from the real file.
            const uint64_t length = file_.length(file_.ctx);
            uint8_t field[4];
            Put32(field, static_cast<uint32_t>(length - 8));
            (void)file_.writeAt(file_.ctx, 4, field, 4);
            Put32(field, static_cast<uint32_t>(length - kWavHeaderBytes));
            (void)file_.writeAt(file_.ctx, 40, field, 4);
            return WavTick::kDone;
        }
        size_t keep = bytes;
        if (setup_.processing) {
            const int channels = setup_.decoderChannels;
            if (setup_.process) {
                setup_.process(reinterpret_cast<int16_t*>(buffer_.data()),
                               static_cast<int>(bytes / (2 * channels)), channels);
            }
            if (channels == 2 && setup_.monoDownmix) keep = WavKeepLeft(buffer_.data(), bytes);
        }
        (void)file_.append(file_.ctx, buffer_.data(), keep);
    }
    return WavTick::kMore;
}

int WavExport::Progress() const {
    const uint64_t total = decoder_.total(decoder_.ctx);
    if (total == 0) return 0;
    const double share = static_cast<double>(decoder_.position(decoder_.ctx)) / total;
    const long percent = std::lround(share * 100);
    return percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent);
}
