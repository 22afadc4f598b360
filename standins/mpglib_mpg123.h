/* The library side of the stand-in "mpglib.dll": libmpg123 behind plain C functions with
   fixed-width types, so that the export side (built by winegcc, where __cdecl is the Windows
   convention) never sees a Linux header. */
#pragma once
#include <stdint.h>

/* A decoder for one stream: all rates, the stream's channels, signed 16-bit samples, no
   gapless trimming (the player cuts delay and padding itself). Null on failure. */
void* StandinMpgOpen(void);
void StandinMpgClose(void* decoder);
/* Feeds n bytes and takes up to room bytes of PCM into out: 0 when PCM came, 1 when more
   input is needed, -1 on an error. *produced: the PCM bytes. */
int32_t StandinMpgDecode(void* decoder, const uint8_t* in, int32_t n, uint8_t* out, int32_t room,
                         int32_t* produced);
