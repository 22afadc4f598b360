// A tool window's saved screen position in one 32-bit setting (intro_sc_pos, bass_dlwin):
// (x + 5000) << 16 plus (y + 5000); 0 means none saved.
#pragma once
#include <cstdint>

inline int32_t PackWindowPos(int x, int y) {
    return static_cast<int32_t>(static_cast<uint32_t>(x + 5000) << 16) + (y + 5000);
}

// False for 0 (x and y unchanged).
inline bool UnpackWindowPos(int32_t v, int& x, int& y) {
    if (v == 0) return false;
    x = static_cast<int>(static_cast<uint32_t>(v) >> 16) - 5000;
    y = static_cast<int>(static_cast<uint32_t>(v) & 0xFFFF) - 5000;
    return true;
}
