/* The library side of the bass.dll stand-in: file streams through libsndfile (WAV, AIFF, Ogg
   Vorbis, FLAC, Opus) and libmpg123 (MPEG layers 1-3), tracker modules through libopenmpt, all
   behind plain C functions with fixed-width types, compiled by the Linux gcc (the libraries'
   headers must not meet winegcc's calling convention). Output is interleaved 16-bit PCM. */
#ifndef BASS_DECODE_H
#define BASS_DECODE_H
#include <stdint.h>

/* What an opened source is. `ctype` uses the BASS channel type numbers. */
typedef struct {
    int32_t rate, channels, bits; /* bits: the source's resolution, 0 for compressed data */
    int64_t frames;               /* -1 when unknown */
    uint32_t ctype;
    int32_t modChannels; /* a module's channel count, 0 for streams */
    int64_t fileSize;
} DecFacts;

/* Opens a file stream; FLAC only when `allowFlac` (the add-on is loaded). Null when no library
   reads it. */
void* DecOpenStream(const char* unixPath, int32_t allowFlac, DecFacts* facts);
/* Opens a tracker module rendered as stereo at `rate`. */
void* DecOpenModule(const char* unixPath, int32_t rate, DecFacts* facts);
/* Up to `frames` frames; 0 at the end, -1 on an error. */
int32_t DecRead(void* d, int16_t* pcm, int32_t frames);
/* Moves to `frame`; 0 ok. */
int32_t DecSeek(void* d, int64_t frame);
/* A module's gain in millibel (the amplification attribute). */
void DecSetGain(void* d, int32_t millibel);
/* The source's comments as "KEY=value" texts one after the other, each ended by a zero byte,
   the list by a second one; the bytes used, 0 when it has none. */
int32_t DecComments(void* d, char* out, int32_t size);
void DecClose(void* d);

#endif
