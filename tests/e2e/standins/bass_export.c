/* The export side of the stand-in "bass.dll" (version 2.4), built by winegcc: every entry point
   the player resolves, in the Windows calling convention, over the decoders of bass_decode.c.
   Only decoding channels exist (device 0, no output); handles are small integers. URL streams
   are not available in this build: BASS_StreamCreateURL fails with BASS_ERROR_NOTAVAIL. */
#include <windows.h>

#include <math.h>
#include <string.h>

#include "bass_decode.h"
#include "bass_standin.h"

/* Wine's own conversion of a Windows path into a Unix one (HeapFree the result). */
char* CDECL wine_get_unix_file_name(LPCWSTR dos);

#define VERSION 0x02041100u
#define MAX_CHANNELS 64
#define MAX_PLUGINS 16
#define FLAG_FLOAT 0x100u
#define FLAG_DECODE 0x200000u
#define FLAG_UNICODE 0x80000000u
#define CTYPE_FLAC 0x10900u

enum { BE_OK = 0, BE_FILEOPEN = 2, BE_HANDLE = 5, BE_POSITION = 7, BE_INIT = 8, BE_ILLTYPE = 19,
       BE_ILLPARAM = 20, BE_NOTAVAIL = 37, BE_DECODE = 38, BE_FILEFORM = 41, BE_ENDED = 45 };

typedef struct {
    void* dec;
    DecFacts facts;
    int isModule, useFloat, ended;
    uint64_t posFrames;
    float amplify;
    char tags[4096];
    int tagBytes;
    char fileName[MAX_PATH];
} Channel;

static Channel g_ch[MAX_CHANNELS];
static HMODULE g_plugins[MAX_PLUGINS];
static const StandinPluginInfo* g_pluginInfo[MAX_PLUGINS];
static int g_init;
static DWORD g_error;

static DWORD Fail(DWORD code) {
    g_error = code;
    return 0;
}

static uint64_t FailQ(DWORD code) {
    g_error = code;
    return (uint64_t)-1;
}

static DWORD FailD(DWORD code) {
    g_error = code;
    return (DWORD)-1;
}

static Channel* Get(DWORD h) {
    if (h == 0 || h > MAX_CHANNELS || !g_ch[h - 1].dec) {
        g_error = BE_HANDLE;
        return NULL;
    }
    return &g_ch[h - 1];
}

static uint32_t FrameBytes(const Channel* c) {
    return (uint32_t)c->facts.channels * (c->useFloat ? 4u : 2u);
}

static int FlacAllowed(void) {
    for (int i = 0; i < MAX_PLUGINS; ++i) {
        const StandinPluginInfo* info = g_pluginInfo[i];
        for (uint32_t f = 0; info && f < info->formatc; ++f)
            if (info->formats[f].ctype == CTYPE_FLAC) return 1;
    }
    return 0;
}

/* The Unix path of a file name given as wide (BASS_UNICODE) or ANSI text; HeapFree it. */
static char* UnixPath(const void* file, DWORD flags, char* ansiName) {
    WCHAR wide[MAX_PATH];
    if (flags & FLAG_UNICODE) {
        lstrcpynW(wide, file, MAX_PATH);
    } else if (!MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH)) {
        return NULL;
    }
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, ansiName, MAX_PATH, NULL, NULL);
    return wine_get_unix_file_name(wide);
}

static DWORD NewChannel(void* dec, const DecFacts* f, int module, DWORD flags, const char* name) {
    for (DWORD i = 0; i < MAX_CHANNELS; ++i) {
        Channel* c = &g_ch[i];
        if (c->dec) continue;
        memset(c, 0, sizeof *c);
        c->dec = dec;
        c->facts = *f;
        c->isModule = module;
        c->useFloat = (flags & FLAG_FLOAT) != 0;
        c->amplify = 50;
        lstrcpynA(c->fileName, name, MAX_PATH);
        c->tagBytes = module ? 0 : DecComments(dec, c->tags, sizeof c->tags);
        g_error = BE_OK;
        return i + 1;
    }
    DecClose(dec);
    return Fail(BE_NOTAVAIL);
}

BOOL WINAPI StandinInit(int device, DWORD freq, DWORD flags, HWND win, const void* guid) {
    (void)freq, (void)flags, (void)win, (void)guid;
    if (device != 0) return Fail(BE_NOTAVAIL); /* only the no-sound device */
    g_init = 1;
    g_error = BE_OK;
    return TRUE;
}

BOOL WINAPI StandinFree(void) {
    for (DWORD i = 0; i < MAX_CHANNELS; ++i)
        if (g_ch[i].dec) {
            DecClose(g_ch[i].dec);
            g_ch[i].dec = NULL;
        }
    g_init = 0;
    return TRUE;
}

BOOL WINAPI StandinSetConfig(DWORD option, DWORD value) {
    (void)option, (void)value;
    return TRUE; /* the options change nothing a decoding channel does here */
}

BOOL WINAPI StandinSetConfigPtr(DWORD option, const void* value) {
    (void)option, (void)value;
    return TRUE;
}

DWORD WINAPI StandinGetVersion(void) { return VERSION; }
int WINAPI StandinErrorGetCode(void) { return (int)g_error; }

double WINAPI StandinBytes2Seconds(DWORD h, uint64_t pos) {
    Channel* c = Get(h);
    if (!c || c->facts.rate <= 0) return -1;
    return (double)pos / FrameBytes(c) / c->facts.rate;
}

uint64_t WINAPI StandinSeconds2Bytes(DWORD h, double pos) {
    Channel* c = Get(h);
    if (!c) return (uint64_t)-1;
    return (uint64_t)(pos * c->facts.rate) * FrameBytes(c);
}

DWORD WINAPI StandinIsActive(DWORD h) {
    Channel* c = Get(h);
    return c && !c->ended ? 1 : 0; /* BASS_ACTIVE_PLAYING or BASS_ACTIVE_STOPPED */
}

BOOL WINAPI StandinGetInfo(DWORD h, StandinChannelInfo* info) {
    Channel* c = Get(h);
    if (!c || !info) return Fail(c ? BE_ILLPARAM : BE_HANDLE);
    memset(info, 0, sizeof *info);
    info->freq = (uint32_t)c->facts.rate;
    info->chans = (uint32_t)c->facts.channels;
    info->flags = FLAG_DECODE | (c->useFloat ? FLAG_FLOAT : 0);
    info->ctype = c->facts.ctype;
    info->origres = (uint32_t)c->facts.bits;
    info->filename = c->fileName;
    return TRUE;
}

uint64_t WINAPI StandinGetLength(DWORD h, DWORD mode) {
    Channel* c = Get(h);
    if (!c) return (uint64_t)-1;
    if (mode != 0 || c->facts.frames < 0) return FailQ(BE_NOTAVAIL);
    return (uint64_t)c->facts.frames * FrameBytes(c);
}

BOOL WINAPI StandinSetPosition(DWORD h, uint64_t pos, DWORD mode) {
    Channel* c = Get(h);
    if (!c) return FALSE;
    if (mode != 0) return Fail(BE_NOTAVAIL);
    const uint64_t frame = pos / FrameBytes(c);
    if (c->facts.frames >= 0 && frame > (uint64_t)c->facts.frames) return Fail(BE_POSITION);
    if (DecSeek(c->dec, (int64_t)frame) != 0) return Fail(BE_POSITION);
    c->posFrames = frame;
    c->ended = 0;
    return TRUE;
}

uint64_t WINAPI StandinGetPosition(DWORD h, DWORD mode) {
    Channel* c = Get(h);
    if (!c) return (uint64_t)-1;
    if (mode != 0) return FailQ(BE_NOTAVAIL);
    return c->posFrames * FrameBytes(c);
}

DWORD WINAPI StandinGetData(DWORD h, void* buffer, DWORD length) {
    Channel* c = Get(h);
    if (!c) return (DWORD)-1;
    const DWORD flags = length & 0xF0000000u;
    length &= 0x0FFFFFFFu;
    if ((flags & ~0x40000000u) != 0 || !buffer) return FailD(BE_ILLPARAM);
    if (c->ended) return FailD(BE_ENDED);
    const int channels = c->facts.channels;
    const DWORD frames = length / FrameBytes(c);
    int16_t pcm[4096 * 2];
    DWORD done = 0;
    while (done < frames) {
        DWORD want = frames - done;
        if (want > (DWORD)(sizeof pcm / sizeof pcm[0]) / (DWORD)channels)
            want = (DWORD)(sizeof pcm / sizeof pcm[0]) / (DWORD)channels;
        const int32_t got = DecRead(c->dec, pcm, (int32_t)want);
        if (got <= 0) {
            c->ended = 1;
            break;
        }
        const size_t samples = (size_t)got * (size_t)channels;
        if (c->useFloat) {
            float* out = (float*)buffer + (size_t)done * channels;
            for (size_t i = 0; i < samples; ++i) out[i] = pcm[i] / 32768.0f;
        } else {
            memcpy((int16_t*)buffer + (size_t)done * channels, pcm, samples * 2);
        }
        done += (DWORD)got;
    }
    c->posFrames += done;
    if (done == 0) return FailD(BE_ENDED);
    g_error = BE_OK;
    return done * FrameBytes(c);
}

BOOL WINAPI StandinGetAttribute(DWORD h, DWORD attrib, float* value) {
    Channel* c = Get(h);
    if (!c || !value) return FALSE;
    if (attrib == 0x101 && c->isModule) {
        *value = c->amplify;
        return TRUE;
    }
    if (attrib >= 0x200 && attrib < 0x300 && c->isModule &&
        (int32_t)(attrib - 0x200) < c->facts.modChannels) {
        *value = 1.0f; /* the channel's volume: no channel is turned down */
        return TRUE;
    }
    return Fail(BE_ILLTYPE);
}

BOOL WINAPI StandinSetAttribute(DWORD h, DWORD attrib, float value) {
    Channel* c = Get(h);
    if (!c) return FALSE;
    if (attrib == 0x101 && c->isModule && value >= 0 && value <= 100) {
        /* Amplification 50 is unity; others scale the mix in proportion. */
        c->amplify = value;
        const double mb = value > 0 ? 2000.0 * log10(value / 50.0) : -10000.0;
        DecSetGain(c->dec, (int32_t)mb);
        return TRUE;
    }
    return Fail(BE_ILLTYPE);
}

DWORD WINAPI StandinStreamCreateFile(BOOL mem, const void* file, uint64_t offset, uint64_t length,
                                     DWORD flags) {
    if (!g_init) return Fail(BE_INIT);
    if (mem || offset || length || !file) return Fail(BE_NOTAVAIL); /* whole files by name only */
    if (!(flags & FLAG_DECODE)) return Fail(BE_NOTAVAIL);           /* no output device */
    char name[MAX_PATH];
    char* path = UnixPath(file, flags, name);
    if (!path) return Fail(BE_FILEOPEN);
    DecFacts f;
    void* dec = DecOpenStream(path, FlacAllowed(), &f);
    HeapFree(GetProcessHeap(), 0, path);
    if (!dec) return Fail(BE_FILEFORM);
    return NewChannel(dec, &f, 0, flags, name);
}

DWORD WINAPI StandinStreamCreateURL(const char* url, DWORD offset, DWORD flags, void* proc,
                                    void* user) {
    (void)url, (void)offset, (void)flags, (void)proc, (void)user;
    return Fail(BE_NOTAVAIL);
}

BOOL WINAPI StandinStreamFree(DWORD h) {
    Channel* c = Get(h);
    if (!c || c->isModule) return Fail(BE_HANDLE);
    DecClose(c->dec);
    c->dec = NULL;
    return TRUE;
}

uint64_t WINAPI StandinGetFilePosition(DWORD h, DWORD mode) {
    Channel* c = Get(h);
    if (!c || c->isModule) return FailQ(BE_HANDLE);
    switch (mode) {
    case 0: /* current: the decoded share of the file */
        if (c->facts.frames <= 0) return 0;
        return (uint64_t)((double)c->posFrames / c->facts.frames * c->facts.fileSize);
    case 1: /* downloaded */
    case 2: /* end */ return (uint64_t)c->facts.fileSize;
    case 3: /* start */ return 0;
    default: return FailQ(BE_ILLPARAM);
    }
}

DWORD WINAPI StandinPluginLoad(const void* file, DWORD flags) {
    HMODULE m = (flags & FLAG_UNICODE) ? LoadLibraryW(file) : LoadLibraryA(file);
    if (!m) return Fail(BE_FILEOPEN);
    typedef const StandinPluginInfo*(WINAPI * PluginFn)(DWORD);
    PluginFn fn = (PluginFn)(void*)GetProcAddress(m, "BASSplugin");
    const StandinPluginInfo* info = fn ? fn(0) : NULL;
    if (!info) {
        FreeLibrary(m);
        return Fail(BE_FILEFORM);
    }
    for (DWORD i = 0; i < MAX_PLUGINS; ++i) {
        if (g_plugins[i] == m) {
            FreeLibrary(m);
            return Fail(14); /* BASS_ERROR_ALREADY */
        }
    }
    for (DWORD i = 0; i < MAX_PLUGINS; ++i) {
        if (g_plugins[i]) continue;
        g_plugins[i] = m;
        g_pluginInfo[i] = info;
        g_error = BE_OK;
        return 0x1000 + i;
    }
    FreeLibrary(m);
    return Fail(BE_NOTAVAIL);
}

BOOL WINAPI StandinPluginFree(DWORD h) {
    for (DWORD i = 0; i < MAX_PLUGINS; ++i) {
        if (!g_plugins[i] || (h != 0 && h != 0x1000 + i)) continue;
        FreeLibrary(g_plugins[i]);
        g_plugins[i] = NULL;
        g_pluginInfo[i] = NULL;
        if (h != 0) return TRUE;
    }
    return h == 0 ? TRUE : Fail(BE_HANDLE);
}

const StandinPluginInfo* WINAPI StandinPluginGetInfo(DWORD h) {
    if (h < 0x1000 || h >= 0x1000 + MAX_PLUGINS || !g_pluginInfo[h - 0x1000]) {
        g_error = BE_HANDLE;
        return NULL;
    }
    return g_pluginInfo[h - 0x1000];
}

DWORD WINAPI StandinMusicLoad(BOOL mem, const void* file, uint64_t offset, DWORD length,
                              DWORD flags, DWORD freq) {
    if (!g_init) return Fail(BE_INIT);
    if (mem || offset || length || !file) return Fail(BE_NOTAVAIL);
    if (!(flags & FLAG_DECODE)) return Fail(BE_NOTAVAIL);
    char name[MAX_PATH];
    char* path = UnixPath(file, flags, name);
    if (!path) return Fail(BE_FILEOPEN);
    DecFacts f;
    void* dec = DecOpenModule(path, freq ? (int32_t)freq : 44100, &f);
    HeapFree(GetProcessHeap(), 0, path);
    if (!dec) return Fail(BE_FILEFORM);
    return NewChannel(dec, &f, 1, flags, name);
}

BOOL WINAPI StandinMusicFree(DWORD h) {
    Channel* c = Get(h);
    if (!c || !c->isModule) return Fail(BE_HANDLE);
    DecClose(c->dec);
    c->dec = NULL;
    return TRUE;
}

const char* WINAPI StandinGetTags(DWORD h, DWORD type) {
    Channel* c = Get(h);
    if (!c) return NULL;
    if (type == 2 && c->tagBytes > 0) return c->tags; /* BASS_TAG_OGG */
    g_error = BE_NOTAVAIL;
    return NULL;
}

DWORD WINAPI StandinSetSync(DWORD h, DWORD type, uint64_t param, void* proc, void* user) {
    (void)type, (void)param, (void)user;
    Channel* c = Get(h);
    if (!c || !proc) return Fail(c ? BE_ILLPARAM : BE_HANDLE);
    return 1; /* accepted; a file stream has no metadata to announce */
}

BOOL WINAPI StandinChannelPlay(DWORD h, BOOL restart) {
    (void)restart;
    return Get(h) ? Fail(BE_DECODE) : FALSE; /* decoding channels cannot be played */
}
