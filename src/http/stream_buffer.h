// The hand-off of played PCM from the engine's thread to the stream's sender thread. The feeder
// appends under the busy flag; the sender takes everything under the same flag; whoever finds
// it held backs off (the feeder sleeps 10 ms and retries, at most ten times, then drops the
// block; the sender skips that cycle). The flag is one atomic exchange, so the two can never
// both hold the buffer, and the fill count is only changed by the holder.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

struct StreamBuffer {
    std::vector<uint8_t> pcm;  // kStreamBufferBytes once the first listener comes
    std::atomic<uint32_t> fill{0};
    std::atomic<bool> busy{false};
    std::atomic<uint32_t> dropped{0};  // blocks given up after ten tries (for the figures)
};

// Feeder side: 16-bit interleaved bytes (24-bit blocks are reduced first, see streamFeed).
// sleepMs is called between the tries. Returns true when the block went in.
bool StreamBufferAppend(StreamBuffer& b, const uint8_t* data, uint32_t bytes,
                        void (*sleepMs)(uint32_t ms));

// Sender side: moves min(fill, maxBytes) bytes to dst; the rest waits for the next cycle.
// Returns the bytes taken, 0 when the buffer is empty or the feeder holds it this moment.
uint32_t StreamBufferTake(StreamBuffer& b, uint8_t* dst, uint32_t maxBytes);

// Replaces the content with `bytes` zero bytes (silence while nothing plays); false when the
// feeder holds the buffer.
bool StreamBufferFillSilence(StreamBuffer& b, uint32_t bytes);

// A listener joins: the buffer starts empty (waits for the feeder to let go).
void StreamBufferReset(StreamBuffer& b);
