#include "bass_decode.h"

#include <libopenmpt/libopenmpt.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>
#include <mpg123.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

enum { KIND_SNDFILE = 1, KIND_MPG123, KIND_MODULE };

typedef struct {
    int kind;
    int channels;
    SNDFILE* sf;
    mpg123_handle* mh;
    openmpt_module* mod;
    int32_t rate;
} Dec;

static int64_t FileSize(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    fseek(f, 0, SEEK_END);
    const long n = ftell(f);
    fclose(f);
    return n;
}

static int HasMpegExtension(const char* path) {
    const char* dot = strrchr(path, '.');
    return dot && (!strcasecmp(dot, ".mp1") || !strcasecmp(dot, ".mp2") ||
                   !strcasecmp(dot, ".mp3") || !strcasecmp(dot, ".mpa"));
}

static void* OpenMpg123(const char* path, DecFacts* f) {
    static int initialised;
    if (!initialised) {
        mpg123_init();
        initialised = 1;
    }
    mpg123_handle* mh = mpg123_new(NULL, NULL);
    if (!mh) return NULL;
    long rate = 0;
    int channels = 0, enc = 0;
    struct mpg123_frameinfo fi;
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(mh, path) != MPG123_OK || mpg123_getformat(mh, &rate, &channels, &enc) != MPG123_OK ||
        mpg123_info(mh, &fi) != MPG123_OK) {
        mpg123_delete(mh);
        return NULL;
    }
    mpg123_format_none(mh);
    mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
    mpg123_scan(mh);
    Dec* d = calloc(1, sizeof *d);
    d->kind = KIND_MPG123;
    d->mh = mh;
    d->channels = channels;
    f->rate = (int32_t)rate;
    f->channels = channels;
    f->bits = 0;
    const off_t len = mpg123_length(mh);
    f->frames = len < 0 ? -1 : (int64_t)len;
    f->ctype = fi.layer == 1 ? 0x10003 : fi.layer == 2 ? 0x10004 : 0x10005;
    return d;
}

static void* OpenSndfile(const char* path, int32_t allowFlac, DecFacts* f) {
    SF_INFO info;
    memset(&info, 0, sizeof info);
    SNDFILE* sf = sf_open(path, SFM_READ, &info);
    if (!sf) return NULL;
    const int major = info.format & SF_FORMAT_TYPEMASK, sub = info.format & SF_FORMAT_SUBMASK;
    uint32_t ctype = 0;
    int32_t bits = 0;
    switch (sub) {
    case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: bits = 8; break;
    case SF_FORMAT_PCM_16: bits = 16; break;
    case SF_FORMAT_PCM_24: bits = 24; break;
    case SF_FORMAT_PCM_32: case SF_FORMAT_FLOAT: bits = 32; break;
    default: break;
    }
    if (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX) ctype = 0x50001;
    else if (major == SF_FORMAT_AIFF) ctype = 0x10006;
    else if (major == SF_FORMAT_FLAC && allowFlac) ctype = 0x10900;
    else if (major == SF_FORMAT_OGG && sub == SF_FORMAT_VORBIS) ctype = 0x10002;
    else if (major == SF_FORMAT_OGG && sub == SF_FORMAT_OPUS) ctype = 0x11200;
    if (major == SF_FORMAT_FLAC || major == SF_FORMAT_OGG) bits = major == SF_FORMAT_FLAC ? bits : 0;
    if (!ctype || info.channels < 1 || info.channels > 8 || info.samplerate < 1) {
        sf_close(sf);
        return NULL;
    }
    Dec* d = calloc(1, sizeof *d);
    d->kind = KIND_SNDFILE;
    d->sf = sf;
    d->channels = info.channels;
    f->rate = info.samplerate;
    f->channels = info.channels;
    f->bits = bits;
    f->frames = info.frames;
    f->ctype = ctype;
    return d;
}

void* DecOpenStream(const char* unixPath, int32_t allowFlac, DecFacts* f) {
    memset(f, 0, sizeof *f);
    void* d = HasMpegExtension(unixPath) ? OpenMpg123(unixPath, f) : OpenSndfile(unixPath, allowFlac, f);
    if (d) f->fileSize = FileSize(unixPath);
    return d;
}

void* DecOpenModule(const char* unixPath, int32_t rate, DecFacts* f) {
    memset(f, 0, sizeof *f);
    FILE* file = fopen(unixPath, "rb");
    if (!file) return NULL;
    fseek(file, 0, SEEK_END);
    const long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    if (size <= 0 || size > 64L * 1024 * 1024) {
        fclose(file);
        return NULL;
    }
    void* data = malloc((size_t)size);
    const size_t got = fread(data, 1, (size_t)size, file);
    fclose(file);
    openmpt_module* mod = NULL;
    if (got == (size_t)size)
        mod = openmpt_module_create_from_memory2(data, (size_t)size, NULL, NULL, NULL, NULL,
                                                 NULL, NULL, NULL);
    free(data);
    if (!mod) return NULL;
    const char* type = openmpt_module_get_metadata(mod, "type");
    uint32_t ctype = 0x20000; /* MOD, and what else libopenmpt reads */
    if (type) {
        if (!strcmp(type, "mtm")) ctype = 0x20001;
        else if (!strcmp(type, "s3m")) ctype = 0x20002;
        else if (!strcmp(type, "xm")) ctype = 0x20003;
        else if (!strcmp(type, "it")) ctype = 0x20004;
        openmpt_free_string(type);
    }
    Dec* d = calloc(1, sizeof *d);
    d->kind = KIND_MODULE;
    d->mod = mod;
    d->channels = 2;
    d->rate = rate;
    f->rate = rate;
    f->channels = 2;
    f->bits = 0;
    f->frames = (int64_t)(openmpt_module_get_duration_seconds(mod) * rate);
    f->ctype = ctype;
    f->modChannels = openmpt_module_get_num_channels(mod);
    f->fileSize = size;
    return d;
}

int32_t DecRead(void* v, int16_t* pcm, int32_t frames) {
    Dec* d = v;
    if (frames <= 0) return 0;
    switch (d->kind) {
    case KIND_SNDFILE: return (int32_t)sf_readf_short(d->sf, pcm, frames);
    case KIND_MODULE: return (int32_t)openmpt_module_read_interleaved_stereo(d->mod, d->rate, (size_t)frames, pcm);
    case KIND_MPG123: {
        size_t done = 0;
        const int r = mpg123_read(d->mh, (unsigned char*)pcm, (size_t)frames * d->channels * 2, &done);
        if (r != MPG123_OK && r != MPG123_DONE && r != MPG123_NEW_FORMAT) return done ? (int32_t)(done / (d->channels * 2)) : -1;
        return (int32_t)(done / (size_t)(d->channels * 2));
    }
    default: return -1;
    }
}

int32_t DecReadFloat(void* v, float* pcm, int32_t frames) {
    Dec* d = v;
    if (frames <= 0) return 0;
    switch (d->kind) {
    case KIND_SNDFILE: return (int32_t)sf_readf_float(d->sf, pcm, frames);
    case KIND_MODULE:
        return (int32_t)openmpt_module_read_interleaved_float_stereo(d->mod, d->rate, (size_t)frames, pcm);
    case KIND_MPG123: {
        /* 16-bit from the decoder, widened in place from the back. */
        int16_t* s = (int16_t*)pcm;
        const int32_t got = DecRead(v, s, frames);
        for (int32_t i = got * d->channels - 1; i >= 0; --i) pcm[i] = s[i] / 32768.0f;
        return got;
    }
    default: return -1;
    }
}

int32_t DecSeek(void* v, int64_t frame) {
    Dec* d = v;
    switch (d->kind) {
    case KIND_SNDFILE: return sf_seek(d->sf, frame, SEEK_SET) < 0 ? -1 : 0;
    case KIND_MPG123: return mpg123_seek(d->mh, (off_t)frame, SEEK_SET) < 0 ? -1 : 0;
    case KIND_MODULE:
        openmpt_module_set_position_seconds(d->mod, (double)frame / d->rate);
        return 0;
    default: return -1;
    }
}

void DecSetGain(void* v, int32_t millibel) {
    Dec* d = v;
    if (d->kind == KIND_MODULE)
        openmpt_module_set_render_param(d->mod, OPENMPT_MODULE_RENDER_MASTERGAIN_MILLIBEL, millibel);
}

int32_t DecComments(void* v, char* out, int32_t size) {
    Dec* d = v;
    if (d->kind != KIND_SNDFILE || size < 2) return 0;
    static const struct { int id; const char* key; } keys[] = {
        {SF_STR_TITLE, "TITLE"},   {SF_STR_ARTIST, "ARTIST"},        {SF_STR_ALBUM, "ALBUM"},
        {SF_STR_DATE, "DATE"},     {SF_STR_TRACKNUMBER, "TRACKNUMBER"}, {SF_STR_GENRE, "GENRE"},
        {SF_STR_COMMENT, "COMMENT"},
    };
    int32_t used = 0;
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
        const char* value = sf_get_string(d->sf, keys[i].id);
        if (!value || !*value) continue;
        const int32_t need = (int32_t)(strlen(keys[i].key) + 1 + strlen(value) + 1);
        if (used + need + 1 > size) break;
        used += snprintf(out + used, (size_t)(size - used), "%s=%s", keys[i].key, value) + 1;
    }
    if (!used) return 0;
    out[used++] = '\0';
    return used;
}

void DecClose(void* v) {
    Dec* d = v;
    if (!d) return;
    if (d->sf) sf_close(d->sf);
    if (d->mh) {
        mpg123_close(d->mh);
        mpg123_delete(d->mh);
    }
    if (d->mod) openmpt_module_destroy(d->mod);
    free(d);
}

typedef struct {
    int fd;
} Net;

void* NetConnect(const char* host, int32_t port, const char* path, const char* hostHeader,
                 char* headers, int32_t size) {
    char service[16];
    snprintf(service, sizeof service, "%d", port);
    struct addrinfo hints, *res = NULL;
    memset(&hints, 0, sizeof hints);
    hints.ai_socktype = SOCK_STREAM;
    if (getaddrinfo(host, service, &hints, &res) != 0 || !res) return NULL;
    int fd = socket(res->ai_family, res->ai_socktype, res->ai_protocol);
    if (fd < 0 || connect(fd, res->ai_addr, res->ai_addrlen) != 0) {
        if (fd >= 0) close(fd);
        freeaddrinfo(res);
        return NULL;
    }
    freeaddrinfo(res);
    char request[1024];
    const int len = snprintf(request, sizeof request,
                             "GET %s HTTP/1.0\r\nHost: %s\r\nUser-Agent: Zuvo stand-in\r\n"
                             "Icy-MetaData: 1\r\nConnection: close\r\n\r\n", path, hostHeader);
    if (len <= 0 || len >= (int)sizeof request || send(fd, request, (size_t)len, 0) != len) {
        close(fd);
        return NULL;
    }
    /* The header lines, read a byte at a time so that no body byte is taken. */
    int32_t used = 0, lineStart = 0;
    for (;;) {
        char c;
        if (recv(fd, &c, 1, 0) != 1 || used + 2 >= size) {
            close(fd);
            return NULL;
        }
        if (c == '\r') continue;
        if (c != '\n') {
            headers[used++] = c;
            continue;
        }
        if (used == lineStart) break; /* the empty line ends the headers */
        headers[used++] = '\0';
        lineStart = used;
    }
    headers[used] = '\0';
    if (used == 0 || (strncmp(headers, "ICY 200", 7) != 0 && strncmp(headers, "HTTP/1.0 200", 12) != 0 &&
                      strncmp(headers, "HTTP/1.1 200", 12) != 0)) {
        close(fd);
        return NULL;
    }
    Net* n = calloc(1, sizeof *n);
    n->fd = fd;
    return n;
}

int32_t NetRecv(void* v, uint8_t* buf, int32_t size) {
    Net* n = v;
    const ssize_t got = recv(n->fd, buf, (size_t)size, 0);
    return got < 0 ? -1 : (int32_t)got;
}

void NetClose(void* v) {
    Net* n = v;
    if (!n) return;
    shutdown(n->fd, SHUT_RDWR);
    close(n->fd);
    free(n);
}

void* MpegFeedOpen(void) {
    mpg123_init();
    mpg123_handle* mh = mpg123_new(NULL, NULL);
    if (!mh) return NULL;
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    static const long rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    for (size_t i = 0; i < sizeof rates / sizeof rates[0]; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mh) != MPG123_OK) {
        mpg123_delete(mh);
        return NULL;
    }
    return mh;
}

int32_t MpegFeedDecode(void* m, const uint8_t* in, int32_t n, uint8_t* pcm, int32_t room,
                       int32_t* rate, int32_t* channels) {
    mpg123_handle* mh = m;
    size_t done = 0;
    int r = mpg123_decode(mh, n > 0 ? in : NULL, (size_t)(n > 0 ? n : 0), pcm, (size_t)room, &done);
    if (r == MPG123_NEW_FORMAT) {
        long rt = 0;
        int ch = 0, enc = 0;
        mpg123_getformat(mh, &rt, &ch, &enc);
        *rate = (int32_t)rt;
        *channels = ch;
        size_t more = 0;
        r = mpg123_decode(mh, NULL, 0, pcm + done, (size_t)room - done, &more);
        done += more;
    }
    if (r == MPG123_ERR) return -1;
    return (int32_t)done;
}

void MpegFeedClose(void* m) {
    if (!m) return;
    mpg123_close(m);
    mpg123_delete(m);
}

/* ---- Ogg Vorbis over a network stream ---- */

typedef struct {
    OggVorbis_File vf;
    OggRead read;
    void* user;
} OggFeed;

static size_t OggReadBytes(void* ptr, size_t size, size_t count, void* source) {
    OggFeed* o = source;
    const size_t want = size * count;
    if (want == 0) return 0;
    const int32_t got = o->read(o->user, ptr, want > 65536 ? 65536 : (int32_t)want);
    return got > 0 ? (size_t)got / size : 0;
}

void* OggFeedOpen(OggRead read, void* user, int32_t* rate, int32_t* channels) {
    OggFeed* o = calloc(1, sizeof *o);
    o->read = read;
    o->user = user;
    /* No seek and no tell: the stream is read once, front to back. */
    const ov_callbacks cb = {OggReadBytes, NULL, NULL, NULL};
    if (ov_open_callbacks(o, &o->vf, NULL, 0, cb) != 0) {
        free(o);
        return NULL;
    }
    const vorbis_info* vi = ov_info(&o->vf, -1);
    if (!vi || vi->channels < 1 || vi->rate < 1) {
        OggFeedClose(o);
        return NULL;
    }
    *rate = (int32_t)vi->rate;
    *channels = vi->channels;
    return o;
}

int32_t OggFeedDecode(void* v, uint8_t* pcm, int32_t room) {
    OggFeed* o = v;
    for (;;) {
        int link = 0;
        const long got = ov_read(&o->vf, (char*)pcm, room, 0, 2, 1, &link);
        if (got == OV_HOLE) continue; /* a gap in the pages: go on after it */
        return got < 0 ? -1 : (int32_t)got;
    }
}

void OggFeedClose(void* v) {
    OggFeed* o = v;
    ov_clear(&o->vf);
    free(o);
}
