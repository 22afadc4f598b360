// The plug-in ring under ThreadSanitizer: a writer thread that obeys the output module's
// CanWrite and a reader that takes blocks of other sizes pass several laps of a known byte
// sequence; every byte must arrive once, in order, and the sanitizer must see no race.
#include <cstdio>
#include <thread>
#include <vector>

#include "audio/plugin_ring.h"

int main() {
    PluginRing ring;
    ring.data.reset(new uint8_t[kPluginRingBytes]);
    constexpr uint32_t kTotal = 5 * kPluginRingBytes + 12345;
    std::thread writer([&] {
        uint32_t sent = 0, step = 1;
        uint8_t chunk[8192];
        while (sent < kTotal) {
            step = step * 1103515245u + 12345u;  // block sizes vary, 1 to 8,192 bytes
            const uint32_t n = std::min({PluginRingCanWrite(ring), 1 + step % 8192, kTotal - sent});
            if (n == 0) {
                std::this_thread::yield();
                continue;
            }
            for (uint32_t i = 0; i < n; ++i) chunk[i] = uint8_t((sent + i) % 251);
            PluginRingPut(ring, chunk, n);
            sent += n;
        }
    });
    std::vector<uint8_t> dst(70000);
    uint32_t got = 0, bad = 0, step = 7;
    while (got < kTotal) {
        step = step * 1103515245u + 12345u;
        const uint32_t n = std::min<uint32_t>(PluginRingUsed(ring), 1 + step % 70000);
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        PluginRingTake(ring, dst.data(), n);
        for (uint32_t i = 0; i < n; ++i) bad += dst[i] != uint8_t((got + i) % 251);
        got += n;
    }
    writer.join();
    std::printf("%u bytes through the ring, %u wrong, %u left\n", got, bad, PluginRingUsed(ring));
    return bad == 0 && PluginRingUsed(ring) == 0 ? 0 : 1;
}
