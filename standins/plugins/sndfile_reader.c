#include "sndfile_reader.h"

#include <sndfile.h>
#include <stdio.h>
#include <string.h>

void* ReaderOpen(const char* unixPath, int32_t* rate, int32_t* channels, int64_t* frames) {
    SF_INFO info;
    memset(&info, 0, sizeof info);
    SNDFILE* f = sf_open(unixPath, SFM_READ, &info);
    if (!f) return NULL;
    if (info.channels < 1 || info.channels > 8 || info.samplerate < 1) {
        sf_close(f);
        return NULL;
    }
    *rate = info.samplerate;
    *channels = info.channels;
    *frames = info.frames;
    return f;
}

int32_t ReaderRead(void* r, int16_t* pcm, int32_t frames) {
    return (int32_t)sf_readf_short((SNDFILE*)r, pcm, frames);
}

int64_t ReaderSeek(void* r, int64_t frame) {
    return sf_seek((SNDFILE*)r, frame, SEEK_SET);
}

void ReaderClose(void* r) {
    if (r) sf_close((SNDFILE*)r);
}

void ReaderExtensions(char* out, int32_t size) {
    /* The major formats libsndfile reads, each extension once. */
    int count = 0;
    out[0] = '\0';
    sf_command(NULL, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO fi;
        memset(&fi, 0, sizeof fi);
        fi.format = i;
        if (sf_command(NULL, SFC_GET_FORMAT_MAJOR, &fi, sizeof fi) != 0 || !fi.extension) continue;
        char entry[32];
        snprintf(entry, sizeof entry, "%s;", fi.extension);
        if (strstr(out, entry) || strcmp(fi.extension, "mp3") == 0) continue;
        if ((int32_t)(strlen(out) + strlen(entry)) >= size) break;
        strcat(out, entry);
    }
}
