/* The library side of the test input plug-in "in_sndfile.dll": libsndfile behind plain C
   functions with fixed-width types, compiled by the Linux gcc (libsndfile's header must not
   meet winegcc's calling convention). */
#ifndef SNDFILE_READER_H
#define SNDFILE_READER_H
#include <stdint.h>

/* Opens a file by its Unix path; null when libsndfile cannot read it. */
void* ReaderOpen(const char* unixPath, int32_t* rate, int32_t* channels, int64_t* frames);
/* Up to `frames` frames of interleaved 16-bit PCM; 0 at the end. */
int32_t ReaderRead(void* r, int16_t* pcm, int32_t frames);
/* Moves to frame `frame`; the frame reached, or -1. */
int64_t ReaderSeek(void* r, int64_t frame);
void ReaderClose(void* r);
/* libsndfile's format list "flac;wav;..." (at most `size` bytes with its end). */
void ReaderExtensions(char* out, int32_t size);
#endif
