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
/* The same as floats in -1..1 at the source's own resolution (a 24-bit sample x 2^-23). */
int32_t DecReadFloat(void* d, float* pcm, int32_t frames);
/* Moves to `frame`; 0 ok. */
int32_t DecSeek(void* d, int64_t frame);
/* A module's gain in millibel (the amplification attribute). */
void DecSetGain(void* d, int32_t millibel);
/* The source's comments as "KEY=value" texts one after the other, each ended by a zero byte,
   the list by a second one; the bytes used, 0 when it has none. */
int32_t DecComments(void* d, char* out, int32_t size);
void DecClose(void* d);

/* A network connection: an HTTP GET of `path` (a whole URL when host:port is a proxy) on
   host:port asking for ICY metadata, `hostHeader` the server's "host:port". Null when the
   connection or the request fails; `headers` receives the response's header lines, each ended
   by a zero byte, the list by a second one. */
void* NetConnect(const char* host, int32_t port, const char* path, const char* hostHeader,
                 char* headers, int32_t size);
/* Up to `size` bytes of the response body; 0 at its end, -1 on an error. */
int32_t NetRecv(void* n, uint8_t* buf, int32_t size);
void NetClose(void* n);

/* An MPEG stream fed bytes as they come (network radio): 16-bit PCM out. */
void* MpegFeedOpen(void);
/* Feeds `n` bytes (may be 0), then decodes up to `room` bytes of PCM into pcm; the bytes
   written, -1 on an error. rate/channels are set once the format is known. */
int32_t MpegFeedDecode(void* m, const uint8_t* in, int32_t n, uint8_t* pcm, int32_t room,
                       int32_t* rate, int32_t* channels);
void MpegFeedClose(void* m);

/* An Ogg Vorbis stream read as it comes (network radio) through `read`, which waits for
   bytes and returns 0 only at the stream's end. Null when its headers are no Vorbis stream;
   rate and channels from them. */
typedef int32_t (*OggRead)(void* user, uint8_t* buf, int32_t size);
void* OggFeedOpen(OggRead read, void* user, int32_t* rate, int32_t* channels);
/* Up to `room` bytes of 16-bit PCM; 0 at the end, -1 on an error. */
int32_t OggFeedDecode(void* o, uint8_t* pcm, int32_t room);
void OggFeedClose(void* o);
#endif
