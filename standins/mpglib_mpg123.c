/* The library side of the stand-in "mpglib.dll" (see mpglib_mpg123.h), built by gcc. */
#include "mpglib_mpg123.h"

#include <mpg123.h>
#include <stddef.h>

void* StandinMpgOpen(void) {
    static int ready;
    if (!ready) {
        if (mpg123_init() != MPG123_OK) return NULL;
        ready = 1;
    }
    mpg123_handle* h = mpg123_new(NULL, NULL);
    if (!h) return NULL;
    mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(h);
    const long* rates = NULL;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(h) != MPG123_OK) {
        mpg123_delete(h);
        return NULL;
    }
    return h;
}

void StandinMpgClose(void* decoder) {
    if (decoder) mpg123_delete((mpg123_handle*)decoder);
}

int32_t StandinMpgDecode(void* decoder, const uint8_t* in, int32_t n, uint8_t* out, int32_t room,
                         int32_t* produced) {
    *produced = 0;
    if (!decoder || n < 0 || room < 0) return -1;
    mpg123_handle* h = (mpg123_handle*)decoder;
    size_t done = 0;
    int r = mpg123_decode(h, in, (size_t)n, out, (size_t)room, &done);
    /* The first frame announces the format without output; its samples follow at once. */
    while (r == MPG123_NEW_FORMAT && done == 0)
        r = mpg123_decode(h, NULL, 0, out, (size_t)room, &done);
    *produced = (int32_t)done;
    if (r == MPG123_ERR) return -1;
    return r == MPG123_NEED_MORE ? 1 : 0;
}
