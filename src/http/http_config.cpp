#include "http/http_config.h"

namespace {
char At(const std::string& s, size_t i, char otherwise) {
    return i < s.size() ? s[i] : otherwise;
}
}  // namespace

HttpServConfig HttpServParse(const std::string& s) {
    HttpServConfig c;
    c.enabled = At(s, 0, '-') == 'a';
    c.encoder = At(s, 4, 'l') == 'a' ? 'a' : 'l';
    c.bitrate = At(s, 5, 'f');
    switch (At(s, 6, 'c')) {
        case 'a': c.streamRate = 24000; break;
        case 'b': c.streamRate = 32000; break;
        case 'd': c.streamRate = 48000; break;
        default: c.streamRate = 44100; break;
    }
    c.mode = At(s, 7, 'a');
    c.streamChannels = c.mode == 'c' ? 1 : 2;
    c.silence = At(s, 8, '-') == 's';
    switch (At(s, 9, 'b')) {
        case 'a': c.intervalMs = 100; break;
        case 'c': c.intervalMs = 400; break;
        case 'd': c.intervalMs = 1000; break;
        default: c.intervalMs = 200; break;
    }
    if (s.size() > 10) c.address = s.substr(10);
    return c;
}

bool HttpSplitAddress(const std::string& address, std::string& ip, uint16_t& port) {
    const size_t colon = address.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string digits = address.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    uint32_t value = 0;
    for (char ch : digits) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + static_cast<uint32_t>(ch - '0');
    }
    if (value == 0 || value > 65535) return false;
    ip = address.substr(0, colon);
    port = static_cast<uint16_t>(value);
    return true;
}

bool HttpMayStart(const HttpServConfig& c) {
    return c.enabled && c.address.size() >= 8;
}

int HttpStreamKbps(char bitrate) {
    static const int kKbps[] = {32, 48, 64, 80, 96, 128, 160, 192, 256};
    if (bitrate >= 'a' && bitrate <= 'i') return kKbps[bitrate - 'a'];
    return 128;
}

int HttpStreamVbrQuality(char bitrate) {
    if (bitrate >= 'j' && bitrate <= 'm') return 8 - 2 * (bitrate - 'j');
    return -1;
}
