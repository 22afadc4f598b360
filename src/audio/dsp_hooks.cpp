#include "audio/dsp_hooks.h"

#include <cmath>

namespace {

// The chain's view of the output: its rate and sample width. Float blocks only come in the
// 24-bit mode; a plug-in is handed those as 32-bit integers by the chain itself.
void FollowOutput(DspBinding& b) {
    b.state->outRate = b.play->outRate;
    b.state->outBits = b.play->mode24 ? 24 : 16;
}

void Pcm16(void* ctx, int16_t* samples, int frames, int channels) {
    auto& b = *static_cast<DspBinding*>(ctx);
    FollowOutput(b);
    dspProcessPcm16(*b.state, *b.settings, samples, frames, channels);
}

void Float(void* ctx, float* samples, int frames, int channels) {
    auto& b = *static_cast<DspBinding*>(ctx);
    FollowOutput(b);
    dspProcessFloat(*b.state, *b.settings, samples, frames, channels);
}

// Play init calls this before it records the new output format, so the rate comes from the
// call; the width is settled on the first block.
void Apply(void* ctx, int mode, bool reset, uint32_t rate, int channels) {
    auto& b = *static_cast<DspBinding*>(ctx);
    if (rate) b.state->outRate = rate;
    dspApplySettings(*b.state, *b.settings, mode, reset, rate, channels);
}

// The gains the displays show next to the level meters, × 100.
void Gains(void* ctx, int32_t* out) {
    const DspState& d = *static_cast<DspBinding*>(ctx)->state;
    auto pct = [](double g) { return static_cast<int32_t>(std::lround(g * 100)); };
    for (int k = 0; k < kEnh2Bands; ++k) out[k] = pct(d.enh2State.bandGain[k]);
    out[4] = pct(d.enh2State.agcGain[0]);
    out[5] = pct(d.enh2State.agcGain[1]);
    out[6] = pct(d.e1.g);
    out[7] = 0;
}

void KeepOnce(void* ctx) {
    dspKeepStateOnce(*static_cast<DspBinding*>(ctx)->state);
}

}  // namespace

DspHooks DspHooksFor(DspBinding& b) {
    return DspHooks{&b, Pcm16, Float, Apply, Gains, KeepOnce};
}
