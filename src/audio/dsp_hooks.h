// Connects the sound-processing chain to the output engine: the engine's DspHooks call the
// chain with its state and the settings. The chain follows the open output's format, which it
// reads from the engine's state on every block.
#pragma once
#include "audio/engine_io.h"
#include "dsp/dsp.h"

// What the three hook functions work on; it must outlive the EngineIo that points at it.
struct DspBinding {
    DspState* state = nullptr;
    const Settings* settings = nullptr;
    const PlayState* play = nullptr;
};

// The hooks over `b` (ctx = &b).
DspHooks DspHooksFor(DspBinding& b);
