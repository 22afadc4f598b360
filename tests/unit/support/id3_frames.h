// ID3v2 tags built byte by byte for the tag readers' tests: frames in the layout of each
// version (2: 3-byte sizes; 3: plain 4-byte sizes; 4: syncsafe sizes) and a whole tag around them.
#pragma once
#include <cstdint>
#include <string>

inline std::string Be(uint32_t v, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

inline std::string Syncsafe(uint32_t v) {
    std::string out;
    for (int i = 3; i >= 0; --i) out += static_cast<char>((v >> (7 * i)) & 0x7F);
    return out;
}

inline std::string Frame(int version, const std::string& id, const std::string& body) {
    const auto size = static_cast<uint32_t>(body.size());
    if (version == 2) return id + Be(size, 3) + body;
    return id + (version == 4 ? Syncsafe(size) : Be(size, 4)) + std::string(2, '\0') + body;
}

// The tag header, the frames, then `padding` zero bytes.
inline std::string Tag(int version, const std::string& frames, size_t padding = 64) {
    const std::string body = frames + std::string(padding, '\0');
    return std::string("ID3") + static_cast<char>(version) + std::string(2, '\0') +
           Syncsafe(static_cast<uint32_t>(body.size())) + body;
}
