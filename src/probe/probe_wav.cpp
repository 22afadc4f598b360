#include "probe/probe_wav.h"

#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}
void Put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}

}  // namespace

bool WavParse(const uint8_t* data, size_t len, WavPcm16& out, std::string& error) {
    if (len < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    size_t pos = 12;
    while (len - pos >= 8) {
        const uint8_t* chunk = data + pos;
        const uint32_t size = Le32(chunk + 4);
        const size_t body = pos + 8;
        const size_t avail = len - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || avail < 16) break;
            const uint16_t tag = Le16(data + body);
            const uint16_t bits = Le16(data + body + 14);
            if ((tag != kFormatPcm && tag != kFormatExtensible) || bits != 16) {
                error = "only 16-bit PCM is supported";
                return false;
            }
            out.channels = Le16(data + body + 2);
            out.rate = Le32(data + body + 4);
            if (out.channels < 1 || out.rate == 0) break;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) break;
            const size_t bytes = size < avail ? size : avail;  // a cut-off file keeps what it has
            const size_t frameBytes = 2 * static_cast<size_t>(out.channels);
            out.samples.resize(bytes / frameBytes * out.channels);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = static_cast<int16_t>(Le16(data + body + 2 * i));
            return true;
        }
        if (avail < size) break;
        pos = body + size + (size & 1);  // chunks are padded to even sizes
    }
    error = "no 16-bit PCM format and data chunk";
    return false;
}

std::string WavBuild(const WavPcm16& wav) {
    const uint32_t dataBytes = static_cast<uint32_t>(wav.samples.size() * 2);
    const uint16_t align = static_cast<uint16_t>(2 * wav.channels);
    std::string s = "RIFF";
    Put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, kFormatPcm);
    Put16(s, static_cast<uint16_t>(wav.channels));
    Put32(s, wav.rate);
    Put32(s, wav.rate * align);
    Put16(s, align);
    Put16(s, 16);
    s += "data";
    Put32(s, dataBytes);
    for (int16_t v : wav.samples) Put16(s, static_cast<uint16_t>(v));
    return s;
}
