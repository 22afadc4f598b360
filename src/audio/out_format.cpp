#include "audio/out_format.h"

#include <algorithm>
#include <cmath>

WaveFormat MakeWaveFormat(uint32_t channels, uint32_t rate, uint32_t bits, bool surround51) {
    WaveFormat f;
    f.channels = static_cast<uint16_t>(channels);
    f.samplesPerSec = rate;
    f.bitsPerSample = static_cast<uint16_t>(bits);
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    if (bits > 16 || surround51) {
        f.formatTag = 0xFFFE;
        f.cbSize = 22;
        f.validBits = static_cast<uint16_t>(bits);
        f.channelMask = surround51 ? 0x3F : 0;
        f.pcmSubFormat = true;
    }
    return f;
}

AcmFormats MakeAcmFormats(const MpegInfo& info, uint32_t rate, uint32_t channels) {
    AcmFormats f;
    f.srcChannels = static_cast<uint16_t>(channels);
    f.srcRate = rate;
    f.srcAvgBytes = static_cast<uint32_t>(info.avgBitrate / 8);
    f.mp3BlockSize = static_cast<uint16_t>(std::lround(info.avgFrameLen));
    f.dst = MakeWaveFormat(channels, rate, 16, false);
    return f;
}

uint32_t PcmMs(uint64_t bytes, uint32_t rate, uint32_t channels, uint32_t bits) {
    const double perSecond = double(bits) * channels * rate;
    return perSecond > 0 ? static_cast<uint32_t>(std::lround(bytes * 8.0 * 1000.0 / perSecond)) : 0;
}

WaveOutSizing SizeWaveOut(uint32_t rate, uint32_t channels, uint32_t bits, bool mode24,
                          uint32_t outbuflength, bool urlStream) {
    uint32_t size = outbuflength > 3 ? 32768 : 16384;
    if (mode24) size = size * 3 / 2;
    if (rate < 32000) size /= 2;
    if (channels == 1) size /= 2;
    const uint32_t byteRate = bits / 8 * channels * rate;
    const uint32_t wanted = urlStream ? 3 * byteRate : outbuflength * byteRate / 4;
    WaveOutSizing w;
    w.bufs = std::clamp<uint32_t>(wanted / size + 1, 3, 20);
    w.size = std::min<uint32_t>(size, mode24 ? 49152 : 32768);
    w.queuedMs = PcmMs(uint64_t{w.bufs} * w.size, rate, channels, bits);
    return w;
}

DsSizing SizeDirectSound(uint32_t rate, uint32_t channels, uint32_t bits, bool mode24,
                         uint32_t outbuflength, bool urlStream) {
    DsSizing d;
    const uint32_t frameBytes = std::max<uint32_t>(bits / 8 * channels, 1);
    const uint32_t byteRate = frameBytes * rate;
    // Whole frames: the buffer wraps, and each segment starts, on a frame boundary (a quarter
    // second at 22,050 Hz mono would otherwise be 11,025 bytes).
    d.bufferBytes =
        (urlStream ? 3 * byteRate : outbuflength * byteRate / 4) / frameBytes * frameBytes;
    d.segmentBytes =
        std::min<uint32_t>(mode24 ? 65536 : 32768, d.bufferBytes / 3 / frameBytes * frameBytes);
    // 25 slots a second, so that the stamps follow the play cursor in 40 ms steps.
    d.slotCount =
        byteRate ? std::min<uint32_t>(
                       static_cast<uint32_t>(uint64_t{d.bufferBytes} * 25 / byteRate), kDsMaxSlots)
                 : 0;
    if (d.slotCount == 0) d.slotCount = 1;
    d.slotBytes = d.bufferBytes / d.slotCount;
    d.queuedMs = PcmMs(d.bufferBytes - d.segmentBytes, rate, channels, bits);
    return d;
}
