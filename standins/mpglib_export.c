/* The export side of the stand-in "mpglib.dll", built by winegcc: the three entry points the
   player resolves, in the Windows calling convention. The decoder lives in the caller's state
   block (at least 256 KB), whose first bytes hold the library side's handle. */
#include <windows.h>

#include "mpglib_mpg123.h"

int __cdecl StandinInitMP3(void* state) {
    void* decoder = StandinMpgOpen();
    if (!state || !decoder) {
        StandinMpgClose(decoder);
        return 0;
    }
    *(void**)state = decoder;
    return 1;
}

void __cdecl StandinExitMP3(void* state) {
    if (!state) return;
    StandinMpgClose(*(void**)state);
    *(void**)state = NULL;
}

/* 0 (a frame came), 1 (more input needed) or -1 (error), as mpglib's decodeMP3. */
int __cdecl StandinDecodeMP3(void* state, const unsigned char* in, int n, unsigned char* out,
                             int room, int* produced) {
    int32_t got = 0;
    const int32_t r = state ? StandinMpgDecode(*(void**)state, in, n, out, room, &got) : -1;
    if (produced) *produced = got;
    return r;
}
