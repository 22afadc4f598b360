#include "audio/fast_play.h"

#include <algorithm>

namespace {

// Segment layout for one block: X samples cross-faded with the previous tail, K' copied, X
// faded out into the tail, D skipped.
struct FastPlayCut {
    uint32_t segments = 0;  // 0: the block is left as it is
    uint32_t fade = 0;      // X
    uint32_t kept = 0;      // K'
    uint32_t dropped = 0;   // D
};

uint32_t Even(uint32_t v) {
    return v & ~1u;
}

FastPlayCut PlanCut(uint32_t level, uint32_t n, uint32_t rate, uint32_t channels) {
    FastPlayCut cut;
    if (level < 1 || level > 3 || channels == 0) return cut;
    const uint32_t m = rate >= 32000 ? 2 : 1;  // segment lengths scale with the rate class
    const uint32_t x = channels * 150 * m;     // cross-fade length
    const uint32_t k = channels * 400 * m;     // kept length
    const uint32_t c = n / (2 * x + k);
    if (c < 1) return cut;
    const uint32_t r = n / c - 2 * x - k;  // what is left of each segment's share of the block
    uint32_t kept = k, dropped = 0;
    if (level == 1) {
        kept = k + r / channels / m;
    } else if (level == 2) {
        kept = k - 50 * channels * m;
        dropped = 50 * channels * m + r;
    } else {
        kept = k - x;
        dropped = x + r;
    }
    cut.segments = c;
    cut.fade = Even(x);
    cut.kept = Even(kept);
    cut.dropped = Even(dropped);
    return cut;
}

int32_t Clamp16(int32_t v) {
    return std::clamp<int32_t>(v, -32767, 32767);
}

// Runs the segments over s in place. Output never overtakes input: each segment writes X + K'
// samples and consumes 2X + K' + D, and the tail is copied out before it can be overwritten.
template <typename T, typename Mix, typename Fade>
uint32_t Shorten(PlayState& ps, T* s, uint32_t n, uint32_t rate, uint32_t channels, Mix mix,
                 Fade fade) {
    const FastPlayCut cut = PlanCut(ps.fastPlayLevel, n, rate, channels);
    if (cut.segments == 0) return n;
    const uint32_t x = cut.fade;
    const uint32_t frames = std::max<uint32_t>(x / channels, 1);  // cross-fade length in frames
    std::vector<float>& tail = ps.fastPlayTail;
    if (tail.size() != x) tail.assign(x, 0.0f);  // a new layout starts from silence
    uint32_t in = 0, out = 0;
    for (uint32_t seg = 0; seg < cut.segments; ++seg) {
        for (uint32_t i = 0; i < x; ++i) s[out + i] = mix(s[in + i], i / channels, frames, tail[i]);
        in += x;
        out += x;
        std::copy(s + in, s + in + cut.kept, s + out);
        in += cut.kept;
        out += cut.kept;
        for (uint32_t i = 0; i < x; ++i) tail[i] = fade(s[in + i], i / channels, frames);
        in += x + cut.dropped;
    }
    return out;
}

}  // namespace

uint32_t FastPlay16(PlayState& ps, int16_t* s, uint32_t n, uint32_t rate, uint32_t channels) {
    auto mix = [](int16_t v, uint32_t j, uint32_t frames, float t) {
        return static_cast<int16_t>(
            Clamp16(int32_t{v} * int32_t(j) / int32_t(frames) + static_cast<int32_t>(t)));
    };
    auto fade = [](int16_t v, uint32_t j, uint32_t frames) {
        return static_cast<float>(int32_t{v} * int32_t(frames - j) / int32_t(frames));
    };
    return Shorten(ps, s, n, rate, channels, mix, fade);
}

uint32_t FastPlayFloat(PlayState& ps, float* s, uint32_t n, uint32_t rate, uint32_t channels) {
    auto mix = [](float v, uint32_t j, uint32_t frames, float t) {
        return v * static_cast<float>(j) / static_cast<float>(frames) + t;
    };
    auto fade = [](float v, uint32_t j, uint32_t frames) {
        return v * static_cast<float>(frames - j) / static_cast<float>(frames);
    };
    return Shorten(ps, s, n, rate, channels, mix, fade);
}

bool FastPlayApplies(const PlayState& ps) {
    return ps.fastPlayLevel != 0 && !ps.urlStream && (ps.mode24 || ps.outBits == 16);
}

void FastPlayClearTail(PlayState& ps) {
    ps.fastPlayTail.clear();
}
