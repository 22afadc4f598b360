/* The library side of the stand-in "lame_enc.dll" over libmp3lame. */
#include "lame_mp3lame.h"

#include <lame/lame.h>
#include <stdlib.h>

typedef struct {
    lame_global_flags* gf;
    int channels;
} Stream;

void* StandinLameOpen(const StandinLameSettings* s) {
    if (!s || (s->channels != 1 && s->channels != 2)) return NULL;
    Stream* st = calloc(1, sizeof *st);
    if (!st) return NULL;
    st->gf = lame_init();
    st->channels = s->channels;
    if (!st->gf) {
        free(st);
        return NULL;
    }
    lame_global_flags* gf = st->gf;
    lame_set_in_samplerate(gf, (int)s->inRate);
    lame_set_out_samplerate(gf, (int)s->outRate);
    lame_set_num_channels(gf, s->channels);
    MPEG_mode mode = s->mode == 3 ? MONO : s->mode == 0 || s->mode == 2 ? STEREO : JOINT_STEREO;
    if (s->channels == 1) mode = MONO;
    lame_set_mode(gf, mode);
    lame_set_quality(gf, s->quality);
    lame_set_error_protection(gf, s->crc != 0);
    lame_set_copyright(gf, s->copyright != 0);
    lame_set_original(gf, s->original != 0);
    lame_set_extension(gf, s->privateBit != 0);
    lame_set_bWriteVbrTag(gf, 0); /* a stream has no header to come back to */
    if (s->vbr) {
        lame_set_VBR(gf, vbr_default);
        lame_set_VBR_q(gf, s->vbrQuality);
        lame_set_VBR_min_bitrate_kbps(gf, (int)s->kbps);
        lame_set_VBR_max_bitrate_kbps(gf, (int)s->maxKbps);
    } else {
        lame_set_VBR(gf, vbr_off);
        lame_set_brate(gf, (int)s->kbps);
    }
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        free(st);
        return NULL;
    }
    return st;
}

int32_t StandinLameFrameSamples(void* h) {
    return h ? lame_get_framesize(((Stream*)h)->gf) : 0;
}

int32_t StandinLameEncode(void* h, const int16_t* samples, uint32_t count, uint8_t* out,
                          uint32_t room) {
    Stream* st = h;
    if (!st || (count && !samples) || count % (uint32_t)st->channels) return -1;
    const int frames = (int)(count / (uint32_t)st->channels);
    short* pcm = (short*)samples;
    const int n = st->channels == 2
                      ? lame_encode_buffer_interleaved(st->gf, pcm, frames, out, (int)room)
                      : lame_encode_buffer(st->gf, pcm, pcm, frames, out, (int)room);
    return n < 0 ? -1 : n;
}

int32_t StandinLameFlush(void* h, uint8_t* out, uint32_t room) {
    Stream* st = h;
    if (!st) return -1;
    const int n = lame_encode_flush(st->gf, out, (int)room);
    return n < 0 ? -1 : n;
}

void StandinLameClose(void* h) {
    Stream* st = h;
    if (!st) return;
    lame_close(st->gf);
    free(st);
}

const char* StandinLameVersion(void) {
    return get_lame_version();
}
