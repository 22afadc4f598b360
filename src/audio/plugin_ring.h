// The PCM ring between an input plug-in's decode thread (the writer, through the host's output
// module) and the engine on the main thread (the reader). No lock: the writer moves only
// `write`, the reader only `read`; each publishes its offset with release after copying and
// reads the other's with acquire, so the bytes between them are complete when seen.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

constexpr uint32_t kPluginRingBytes = 500000;

struct PluginRing {
    std::unique_ptr<uint8_t[]> data;  // kPluginRingBytes once the output module is opened
    std::atomic<uint32_t> read{0}, write{0};
};

inline uint32_t PluginRingUsed(const PluginRing& r) {
    const uint32_t w = r.write.load(std::memory_order_acquire);
    const uint32_t rd = r.read.load(std::memory_order_acquire);
    return w >= rd ? w - rd : kPluginRingBytes - rd + w;
}

// The bytes the writer may still put in: one byte always stays free, since a full ring would
// look empty.
inline uint32_t PluginRingFree(const PluginRing& r) {
    return kPluginRingBytes - 1 - PluginRingUsed(r);
}

// What the output module's CanWrite offers: the free space less 24 bytes, so that the writer
// stays clear of the reader (the free space itself when below 25).
constexpr uint32_t kPluginRingReserve = 24;
inline uint32_t PluginRingCanWrite(const PluginRing& r) {
    const uint32_t free = PluginRingFree(r);
    return free < kPluginRingReserve + 1 ? free : free - kPluginRingReserve;
}

// Writer side: copies n bytes at `write` (two parts at the wrap). A writer that writes more
// than the free space loses the excess: the reader's bytes are never overwritten.
inline void PluginRingPut(PluginRing& r, const uint8_t* src, uint32_t n) {
    if (!r.data || n == 0) return;
    n = std::min(n, PluginRingFree(r));
    const uint32_t w = r.write.load(std::memory_order_relaxed);
    const uint32_t first = std::min(n, kPluginRingBytes - w);
    std::memcpy(r.data.get() + w, src, first);
    std::memcpy(r.data.get(), src + first, n - first);
    r.write.store((w + n) % kPluginRingBytes, std::memory_order_release);
}

// Reader side: copies n bytes (n <= used) from `read` into dst.
inline void PluginRingTake(PluginRing& r, uint8_t* dst, uint32_t n) {
    const uint32_t rd = r.read.load(std::memory_order_relaxed);
    const uint32_t first = std::min(n, kPluginRingBytes - rd);
    std::memcpy(dst, r.data.get() + rd, first);
    std::memcpy(dst + first, r.data.get(), n - first);
    r.read.store((rd + n) % kPluginRingBytes, std::memory_order_release);
}
