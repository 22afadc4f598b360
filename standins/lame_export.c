/* The export side of the stand-in "lame_enc.dll", built by winegcc: the entry points of the
   encoder interface in the Windows calling convention. A stream handle is a small integer
   (1..kStreams) naming a slot here; the library side (lame_mp3lame.c) does the encoding. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "http/lame_be.h"
#include "lame_mp3lame.h"

#define kStreams 16

static void* g_streams[kStreams];
static uint32_t g_channels[kStreams];
static CRITICAL_SECTION g_lock;
static LONG g_lockReady;

static void Lock(void) {
    /* The first caller sets the lock up; DllMain is not needed for that. */
    if (InterlockedCompareExchange(&g_lockReady, 1, 0) == 0) {
        InitializeCriticalSection(&g_lock);
        InterlockedExchange(&g_lockReady, 2);
    }
    while (g_lockReady != 2) Sleep(0);
    EnterCriticalSection(&g_lock);
}

static void* Stream(uint32_t handle, uint32_t* channels) {
    void* s = NULL;
    Lock();
    if (handle >= 1 && handle <= kStreams) {
        s = g_streams[handle - 1];
        if (channels) *channels = g_channels[handle - 1];
    }
    LeaveCriticalSection(&g_lock);
    return s;
}

uint32_t __cdecl StandinBeInitStream(BeConfig* cfg, uint32_t* samples, uint32_t* bufferBytes,
                                     uint32_t* handle) {
    if (!cfg || !samples || !bufferBytes || !handle) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (cfg->dwConfig != BE_CONFIG_LAME) return BE_ERR_INVALID_FORMAT;
    const typeof(cfg->format.LHV1)* l = &cfg->format.LHV1;
    if (l->dwStructSize < sizeof(BeConfig) - 4) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    StandinLameSettings s;
    memset(&s, 0, sizeof s);
    s.inRate = l->dwSampleRate;
    s.outRate = l->dwReSampleRate ? l->dwReSampleRate : l->dwSampleRate;
    s.mode = l->nMode;
    s.channels = l->nMode == BE_MP3_MODE_MONO ? 1 : 2;
    s.kbps = l->dwBitrate;
    s.maxKbps = l->dwMaxBitrate ? l->dwMaxBitrate : 320;
    s.vbr = l->bEnableVBR;
    s.vbrQuality = l->nVBRQuality < 0 ? 4 : l->nVBRQuality > 9 ? 9 : l->nVBRQuality;
    /* The presets' quality: 2 is the "high quality" preset, others the library's default. */
    s.quality = l->nPreset == 2 ? 2 : 5;
    s.crc = l->bCRC;
    s.copyright = l->bCopyright;
    s.original = l->bOriginal;
    s.privateBit = l->bPrivate;
    void* st = StandinLameOpen(&s);
    if (!st) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    uint32_t slot = kStreams;
    Lock();
    for (uint32_t i = 0; i < kStreams && slot == kStreams; ++i)
        if (!g_streams[i]) slot = i;
    if (slot < kStreams) {
        g_streams[slot] = st;
        g_channels[slot] = (uint32_t)s.channels;
    }
    LeaveCriticalSection(&g_lock);
    if (slot == kStreams) {
        StandinLameClose(st);
        return BE_ERR_NO_MORE_HANDLES;
    }
    *samples = (uint32_t)StandinLameFrameSamples(st) * (uint32_t)s.channels;
    /* The library's own bound for one call: 1.25 times the samples and 7200 bytes. */
    *bufferBytes = *samples * 5 / 4 + 7200;
    *handle = slot + 1;
    return BE_ERR_SUCCESSFUL;
}

uint32_t __cdecl StandinBeEncodeChunk(uint32_t handle, uint32_t count, int16_t* samples,
                                      uint8_t* out, uint32_t* outBytes) {
    uint32_t channels = 0;
    void* st = Stream(handle, &channels);
    if (!st) return BE_ERR_INVALID_HANDLE;
    if (!outBytes || !out) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    const int32_t n = StandinLameEncode(st, samples, count, out, count * 5 / 4 + 7200);
    if (n < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outBytes = (uint32_t)n;
    return BE_ERR_SUCCESSFUL;
}

uint32_t __cdecl StandinBeDeinitStream(uint32_t handle, uint8_t* out, uint32_t* outBytes) {
    void* st = Stream(handle, NULL);
    if (!st) return BE_ERR_INVALID_HANDLE;
    if (!out || !outBytes) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    const int32_t n = StandinLameFlush(st, out, 7200);
    if (n < 0) return BE_ERR_BUFFER_TOO_SMALL;
    *outBytes = (uint32_t)n;
    return BE_ERR_SUCCESSFUL;
}

uint32_t __cdecl StandinBeCloseStream(uint32_t handle) {
    void* st = NULL;
    Lock();
    if (handle >= 1 && handle <= kStreams) {
        st = g_streams[handle - 1];
        g_streams[handle - 1] = NULL;
    }
    LeaveCriticalSection(&g_lock);
    if (!st) return BE_ERR_INVALID_HANDLE;
    StandinLameClose(st);
    return BE_ERR_SUCCESSFUL;
}

/* Writing the VBR header into a finished file is not offered: the streams of this stand-in
   are encoded without one. An honest error instead of a file left untouched in silence. */
uint32_t __cdecl StandinBeWriteVBRHeader(const char* path) {
    (void)path;
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
}

void __cdecl StandinBeVersion(BeVersion* v) {
    if (!v) return;
    memset(v, 0, sizeof *v);
    v->byDLLMajorVersion = 1;
    v->byDLLMinorVersion = 32;
    unsigned major = 0, minor = 0;
    sscanf(StandinLameVersion(), "%u.%u", &major, &minor);
    v->byMajorVersion = (uint8_t)major;
    v->byMinorVersion = (uint8_t)minor;
    v->byDay = 1;
    v->byMonth = 1;
    v->wYear = 2026;
}
