/* The library side of the stand-in "lame_enc.dll": libmp3lame behind plain C functions with
   fixed-width types, compiled by the Linux gcc (see lame_export.c for why the two are apart). */
#ifndef LAME_MP3LAME_H
#define LAME_MP3LAME_H
#include <stdint.h>

typedef struct {
    uint32_t inRate, outRate;
    int32_t channels;      /* 1 or 2: what the caller hands over */
    int32_t mode;          /* 0 stereo, 1 joint stereo, 2 dual channel, 3 mono */
    uint32_t kbps;         /* CBR rate, or the VBR minimum */
    uint32_t maxKbps;      /* VBR maximum */
    int32_t vbr;           /* VBR on */
    int32_t vbrQuality;    /* 0 best .. 9 */
    int32_t quality;       /* the algorithm's quality, 0 best .. 9 */
    int32_t crc, copyright, original, privateBit;
} StandinLameSettings;

/* Null when libmp3lame refuses the settings. */
void* StandinLameOpen(const StandinLameSettings* s);
/* PCM samples per frame and channel (1152 for MPEG-1, 576 below 32 kHz). */
int32_t StandinLameFrameSamples(void* h);
/* Encodes `count` interleaved samples; returns the bytes written to out, or -1. */
int32_t StandinLameEncode(void* h, const int16_t* samples, uint32_t count, uint8_t* out,
                          uint32_t room);
/* The last frames; returns bytes, or -1. */
int32_t StandinLameFlush(void* h, uint8_t* out, uint32_t room);
void StandinLameClose(void* h);
/* The library's version, as "3.100". */
const char* StandinLameVersion(void);
#endif
