#include "http/stream_buffer.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace {
constexpr int kFeedTries = 10;
constexpr uint32_t kFeedBackoffMs = 10;

bool TryHold(StreamBuffer& b) {
    return !b.busy.exchange(true, std::memory_order_acquire);
}
void Release(StreamBuffer& b) {
    b.busy.store(false, std::memory_order_release);
}
}  // namespace

bool StreamBufferAppend(StreamBuffer& b, const uint8_t* data, uint32_t bytes,
                        void (*sleepMs)(uint32_t ms)) {
    for (int attempt = 0; attempt < kFeedTries; ++attempt) {
        if (TryHold(b)) {
            const uint32_t fill = b.fill.load(std::memory_order_relaxed);
            if (fill + static_cast<uint64_t>(bytes) < b.pcm.size()) {
                std::memcpy(b.pcm.data() + fill, data, bytes);
                b.fill.store(fill + bytes, std::memory_order_relaxed);
                Release(b);
                return true;
            }
            Release(b);  // full: the sender must drain it first
        }
        if (sleepMs) sleepMs(kFeedBackoffMs);
    }
    b.dropped.fetch_add(1, std::memory_order_relaxed);
    return false;
}

uint32_t StreamBufferTake(StreamBuffer& b, uint8_t* dst, uint32_t maxBytes) {
    if (b.fill.load(std::memory_order_relaxed) == 0 || !TryHold(b)) return 0;
    const uint32_t fill = b.fill.load(std::memory_order_relaxed);
    const uint32_t n = std::min(fill, maxBytes);
    std::memcpy(dst, b.pcm.data(), n);
    // What does not fit this cycle stays for the next instead of being lost.
    std::memmove(b.pcm.data(), b.pcm.data() + n, fill - n);
    b.fill.store(fill - n, std::memory_order_relaxed);
    Release(b);
    return n;
}

bool StreamBufferFillSilence(StreamBuffer& b, uint32_t bytes) {
    if (!TryHold(b)) return false;
    bytes = std::min<uint32_t>(bytes, static_cast<uint32_t>(b.pcm.size()));
    std::memset(b.pcm.data(), 0, bytes);
    b.fill.store(bytes, std::memory_order_relaxed);
    Release(b);
    return true;
}

void StreamBufferReset(StreamBuffer& b) {
    while (!TryHold(b)) std::this_thread::yield();
    b.fill.store(0, std::memory_order_relaxed);
    Release(b);
}
