// Fast play: shortens each output block by overlap-adding short segments, keeping the pitch.
// Works in place on interleaved blocks on the main thread; the only state carried between blocks
// is PlayState::fastPlayTail.
#pragma once
#include <cstdint>

#include "audio/play_state.h"

// Shortens the block s of n samples at the level ps.fastPlayLevel (1..3; 0 leaves it alone) and
// returns the new sample count. A block too short for one segment comes back unchanged.
uint32_t FastPlay16(PlayState& ps, int16_t* s, uint32_t n, uint32_t rate, uint32_t channels);
uint32_t FastPlayFloat(PlayState& ps, float* s, uint32_t n, uint32_t rate, uint32_t channels);

// Fast play runs only while a level is set, not for URL streams, and only on 16-bit or 24-bit
// mode output.
bool FastPlayApplies(const PlayState& ps);

// Forgets the faded tail of the previous block (a skip starts the next track without it).
void FastPlayClearTail(PlayState& ps);
