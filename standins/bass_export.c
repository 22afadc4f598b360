/* The export side of the stand-in "bass.dll" (version 2.4), built by winegcc: every entry point
   the player resolves, in the Windows calling convention, over the decoders of bass_decode.c.
   Only decoding channels exist (device 0, no output); handles are small integers. URL streams:
   MP3 and Ogg Vorbis over HTTP with ICY metadata (a thread of the channel downloads, hands
   every block of the stream's audio bytes to the download callback, and announces each new
   metadata block to the syncs of type 4), through a proxy server when one is configured; other
   stream formats (WMA, AAC) fail with BASS_ERROR_FILEFORM. */
#include <windows.h>

#include <math.h>
#include <stdlib.h>
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

typedef void(CALLBACK* DownloadProc)(const void* buffer, DWORD length, void* user);
typedef void(CALLBACK* SyncProc)(DWORD sync, DWORD channel, DWORD data, void* user);

#define RING_BYTES (1u << 21)

/* A network stream's shared state: the download thread writes the ring and the metadata,
   the caller's thread reads them, both under `lock`. */
typedef struct {
    void* conn;
    void* feed; /* the MP3 decoder, or null */
    void* ogg;  /* the Ogg Vorbis decoder, or null */
    HANDLE oggThread; /* decodes the Ogg stream into pcm as the bytes come */
    uint8_t* pcm;
    uint32_t pcmRead, pcmFill;
    volatile LONG pcmEnded;
    HANDLE thread;
    CRITICAL_SECTION lock;
    uint8_t* ring;
    uint32_t ringRead, ringFill;
    volatile LONG stop, ended;
    uint64_t downloaded;
    int32_t metaint;
    char headers[8192];
    int icy;
    char meta[4096];
    DownloadProc download;
    void* downloadUser;
    SyncProc sync;
    void* syncUser;
    DWORD handle;
    uint8_t pending[65536]; /* PCM decoded while the format was found */
    uint32_t pendingBytes, pendingPos;
} NetStream;

typedef struct {
    void* dec;
    NetStream* net;
    DecFacts facts;
    int isModule, useFloat, ended;
    uint64_t posFrames;
    float amplify;
    char tags[4096];
    int tagBytes;
    char fileName[MAX_PATH];
} Channel;

static Channel g_ch[MAX_CHANNELS];
static void NetFree(NetStream* n);
static DWORD NetData(Channel* c, uint8_t* out, DWORD length);
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

static DWORD NewChannel(void* dec, const DecFacts* f, int module, int net, DWORD flags,
                        const char* name) {
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
        c->tagBytes = module || net ? 0 : DecComments(dec, c->tags, sizeof c->tags);
        g_error = BE_OK;
        return i + 1;
    }
    if (!net) DecClose(dec);
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
    for (DWORD i = 0; i < MAX_CHANNELS; ++i) {
        if (!g_ch[i].dec) continue;
        if (g_ch[i].net)
            NetFree(g_ch[i].net);
        else
            DecClose(g_ch[i].dec);
        g_ch[i].net = NULL;
        g_ch[i].dec = NULL;
    }
    g_init = 0;
    return TRUE;
}

BOOL WINAPI StandinSetConfig(DWORD option, DWORD value) {
    (void)option, (void)value;
    return TRUE; /* the options change nothing a decoding channel does here */
}

/* The proxy server (option 17): "[user:pass@]server:port", empty for none. */
static char g_proxy[256];

BOOL WINAPI StandinSetConfigPtr(DWORD option, const void* value) {
    if (option == 17) {
        lstrcpynA(g_proxy, value ? (const char*)value : "", sizeof g_proxy);
        return TRUE;
    }
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
    if (c->net) {
        const DWORD got = NetData(c, buffer, length / FrameBytes(c) * FrameBytes(c));
        c->posFrames += got / FrameBytes(c);
        if (c->ended) return FailD(BE_ENDED);
        g_error = BE_OK;
        return got;
    }
    const int channels = c->facts.channels;
    const DWORD frames = length / FrameBytes(c);
    DWORD done = 0;
    while (done < frames) {
        /* Straight into the caller's buffer, floats at the source's own resolution. */
        const int32_t got = c->useFloat
            ? DecReadFloat(c->dec, (float*)buffer + (size_t)done * channels, (int32_t)(frames - done))
            : DecRead(c->dec, (int16_t*)buffer + (size_t)done * channels, (int32_t)(frames - done));
        if (got <= 0) {
            c->ended = 1;
            break;
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
    return NewChannel(dec, &f, 0, 0, flags, name);
}

/* Appends audio bytes to the ring, waiting while it is full (the reader takes them at the
   pace of playback). */
static void RingPut(NetStream* n, const uint8_t* data, uint32_t len) {
    while (len > 0 && !n->stop) {
        EnterCriticalSection(&n->lock);
        uint32_t room = RING_BYTES - n->ringFill, put = len < room ? len : room;
        for (uint32_t i = 0; i < put; ++i)
            n->ring[(n->ringRead + n->ringFill + i) % RING_BYTES] = data[i];
        n->ringFill += put;
        LeaveCriticalSection(&n->lock);
        data += put;
        len -= put;
        if (len > 0) Sleep(20);
    }
}

static uint32_t RingTake(NetStream* n, uint8_t* out, uint32_t want) {
    EnterCriticalSection(&n->lock);
    const uint32_t take = want < n->ringFill ? want : n->ringFill;
    for (uint32_t i = 0; i < take; ++i) out[i] = n->ring[(n->ringRead + i) % RING_BYTES];
    n->ringRead = (n->ringRead + take) % RING_BYTES;
    n->ringFill -= take;
    LeaveCriticalSection(&n->lock);
    return take;
}

static void Audio(NetStream* n, const uint8_t* data, uint32_t len) {
    if (!len) return;
    EnterCriticalSection(&n->lock);
    n->downloaded += len;
    LeaveCriticalSection(&n->lock);
    if (n->download) n->download(data, len, n->downloadUser);
    RingPut(n, data, len);
}

/* The download thread: audio bytes and, every `metaint` of them, a metadata block (a length
   byte in units of 16, then the text). */
static DWORD WINAPI Download(LPVOID arg) {
    NetStream* n = arg;
    uint8_t buf[16384];
    int32_t audioLeft = n->metaint, metaLen = -1, metaGot = 0;
    char meta[4096];
    while (!n->stop) {
        const int32_t got = NetRecv(n->conn, buf, sizeof buf);
        if (got <= 0) break;
        int32_t pos = 0;
        while (pos < got) {
            if (n->metaint <= 0 || audioLeft > 0) {
                int32_t take = got - pos;
                if (n->metaint > 0 && take > audioLeft) take = audioLeft;
                Audio(n, buf + pos, (uint32_t)take);
                pos += take;
                audioLeft -= take;
            } else if (metaLen < 0) {
                metaLen = buf[pos++] * 16;
                metaGot = 0;
                if (metaLen == 0) {
                    metaLen = -1;
                    audioLeft = n->metaint;
                }
            } else {
                while (pos < got && metaGot < metaLen) {
                    if (metaGot < (int32_t)sizeof meta - 1) meta[metaGot] = (char)buf[pos];
                    ++metaGot;
                    ++pos;
                }
                if (metaGot == metaLen) {
                    meta[metaGot < (int32_t)sizeof meta - 1 ? metaGot : (int32_t)sizeof meta - 1] = 0;
                    EnterCriticalSection(&n->lock);
                    const int changed = strcmp(meta, n->meta) != 0;
                    if (changed) lstrcpynA(n->meta, meta, sizeof n->meta);
                    LeaveCriticalSection(&n->lock);
                    if (changed && n->sync) n->sync(1, n->handle, 0, n->syncUser);
                    metaLen = -1;
                    audioLeft = n->metaint;
                }
            }
        }
    }
    InterlockedExchange(&n->ended, 1);
    if (n->download && !n->stop) n->download(NULL, 0, n->downloadUser);
    return 0;
}

/* "http://host[:port]/path" taken apart; false for anything else. */
static int ParseUrl(const char* url, char* host, int hostSize, int32_t* port, const char** path) {
    if (strncmp(url, "http://", 7) != 0) return 0;
    const char* h = url + 7;
    const char* end = h + strcspn(h, ":/");
    if (end == h || end - h >= hostSize) return 0;
    memcpy(host, h, (size_t)(end - h));
    host[end - h] = 0;
    *port = 80;
    if (*end == ':') {
        *port = atoi(end + 1);
        end += 1 + strspn(end + 1, "0123456789");
    }
    *path = *end == '/' ? end : "/";
    return *port > 0 && *port < 65536;
}

/* The Ogg decoder's input: waits for the download thread's bytes; 0 once the connection has
   ended and the ring is empty, or after 15 s without data. */
static int32_t OggPull(void* user, uint8_t* buf, int32_t size) {
    NetStream* n = user;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 15000;) {
        const uint32_t take = RingTake(n, buf, (uint32_t)size);
        if (take) return (int32_t)take;
        if (n->ended || n->stop) return 0;
        Sleep(5);
    }
    return 0;
}

/* The Ogg decoding thread: PCM into the stream's pcm ring until the stream ends. */
static DWORD WINAPI OggDecode(LPVOID arg) {
    NetStream* n = arg;
    uint8_t pcm[8192];
    while (!n->stop) {
        const int32_t got = OggFeedDecode(n->ogg, pcm, sizeof pcm);
        if (got <= 0) break;
        for (int32_t put = 0; put < got && !n->stop;) {
            EnterCriticalSection(&n->lock);
            while (put < got && n->pcmFill < RING_BYTES) {
                n->pcm[(n->pcmRead + n->pcmFill) % RING_BYTES] = pcm[put++];
                ++n->pcmFill;
            }
            LeaveCriticalSection(&n->lock);
            if (put < got) Sleep(20);
        }
    }
    InterlockedExchange(&n->pcmEnded, 1);
    return 0;
}

/* A network stream's channel once its format is known (16-bit PCM: the float flag is not
   honoured for streams, as the channel's info tells). */
static DWORD NetChannel(NetStream* n, int32_t rate, int32_t channels, uint32_t ctype, DWORD flags,
                        const char* text) {
    DecFacts f;
    memset(&f, 0, sizeof f);
    f.rate = rate;
    f.channels = channels;
    f.frames = -1;
    f.ctype = ctype;
    const DWORD h = NewChannel(n->ogg ? n->ogg : n->feed, &f, 0, 1, flags & ~FLAG_FLOAT, text);
    if (!h) {
        NetFree(n);
        return 0;
    }
    g_ch[h - 1].net = n;
    n->handle = h;
    return h;
}

DWORD WINAPI StandinStreamCreateURL(const void* url, DWORD offset, DWORD flags, void* proc,
                                    void* user) {
    if (!g_init) return Fail(BE_INIT);
    if (offset || !url || !(flags & FLAG_DECODE)) return Fail(BE_NOTAVAIL);
    char text[2048], host[256];
    if (flags & FLAG_UNICODE) {
        if (!WideCharToMultiByte(CP_UTF8, 0, url, -1, text, sizeof text, NULL, NULL))
            return Fail(BE_ILLPARAM);
    } else {
        lstrcpynA(text, url, sizeof text);
    }
    int32_t port = 0;
    const char* path = NULL;
    if (!ParseUrl(text, host, sizeof host, &port, &path)) return Fail(BE_NOTAVAIL);
    NetStream* n = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *n);
    n->ring = HeapAlloc(GetProcessHeap(), 0, RING_BYTES);
    InitializeCriticalSection(&n->lock);
    char hostHeader[300];
    wsprintfA(hostHeader, "%s:%d", host, port);
    if (g_proxy[0]) {
        /* Through the proxy: the whole address as the request's target. */
        const char* at = strrchr(g_proxy, '@');
        const char* server = at ? at + 1 : g_proxy;
        char proxyHost[256];
        lstrcpynA(proxyHost, server, sizeof proxyHost);
        char* colon = strrchr(proxyHost, ':');
        const int32_t proxyPort = colon ? atoi(colon + 1) : 80;
        if (colon) *colon = 0;
        n->conn = NetConnect(proxyHost, proxyPort, text, hostHeader, n->headers, sizeof n->headers);
    } else {
        n->conn = NetConnect(host, port, path, hostHeader, n->headers, sizeof n->headers);
    }
    if (!n->conn) {
        NetFree(n);
        return Fail(32); /* BASS_ERROR_NONET */
    }
    n->icy = strncmp(n->headers, "ICY", 3) == 0;
    int ogg = 0;
    for (const char* line = n->headers; *line; line += strlen(line) + 1) {
        if (!strncasecmp(line, "icy-metaint:", 12)) n->metaint = atoi(line + 12);
        if (!strncasecmp(line, "content-type:", 13)) {
            ogg = strstr(line, "ogg") != NULL;
            if (!ogg && !strstr(line, "mpeg")) {
                NetFree(n);
                return Fail(BE_FILEFORM); /* only MP3 and Ogg Vorbis are decoded here */
            }
        }
    }
    n->download = (DownloadProc)proc;
    n->downloadUser = user;
    n->thread = CreateThread(NULL, 0, Download, n, 0, NULL);
    int32_t rate = 0, channels = 0;
    if (ogg) {
        /* The Vorbis headers come first in the stream. */
        n->ogg = OggFeedOpen(OggPull, n, &rate, &channels);
        if (!n->ogg) {
            NetFree(n);
            return Fail(BE_FILEFORM);
        }
        n->pcm = HeapAlloc(GetProcessHeap(), 0, RING_BYTES);
        n->oggThread = CreateThread(NULL, 0, OggDecode, n, 0, NULL);
        return NetChannel(n, rate, channels, 0x10002u, flags, text);
    }
    n->feed = MpegFeedOpen();
    /* Blocks until the first frames give the format (at most 10 s). */
    uint8_t raw[4096];
    for (DWORD start = GetTickCount(); n->feed && rate == 0 && GetTickCount() - start < 10000;) {
        const uint32_t take = RingTake(n, raw, sizeof raw);
        if (take == 0) {
            if (n->ended) break;
            Sleep(10);
            continue;
        }
        const int32_t got = MpegFeedDecode(n->feed, raw, (int32_t)take, n->pending + n->pendingBytes,
                                           (int32_t)(sizeof n->pending - n->pendingBytes), &rate,
                                           &channels);
        if (got < 0) break;
        n->pendingBytes += (uint32_t)got;
    }
    if (rate <= 0 || channels <= 0) {
        NetFree(n);
        return Fail(BE_FILEFORM);
    }
    return NetChannel(n, rate, channels, 0x10005u /* MP3 */, flags, text);
}

/* PCM of a network stream: what was decoded at the start, then the ring through the
   decoder. 0 bytes while the ring is empty and the connection goes on. */
static DWORD NetData(Channel* c, uint8_t* out, DWORD length) {
    NetStream* n = c->net;
    DWORD done = 0;
    while (done < length && n->pendingPos < n->pendingBytes) {
        out[done++] = n->pending[n->pendingPos++];
    }
    if (n->ogg) {
        EnterCriticalSection(&n->lock);
        while (done < length && n->pcmFill > 0) {
            out[done++] = n->pcm[n->pcmRead];
            n->pcmRead = (n->pcmRead + 1) % RING_BYTES;
            --n->pcmFill;
        }
        LeaveCriticalSection(&n->lock);
        if (done == 0 && n->pcmEnded) c->ended = 1;
        return done;
    }
    int32_t rate = 0, channels = 0;
    uint8_t raw[4096];
    while (done < length) {
        int32_t got = MpegFeedDecode(n->feed, NULL, 0, out + done, (int32_t)(length - done), &rate,
                                     &channels);
        if (got > 0) {
            done += (DWORD)got;
            continue;
        }
        const uint32_t take = RingTake(n, raw, sizeof raw);
        if (take == 0) break;
        got = MpegFeedDecode(n->feed, raw, (int32_t)take, out + done, (int32_t)(length - done),
                             &rate, &channels);
        if (got < 0) break;
        done += (DWORD)got;
    }
    if (done == 0 && n->ended) {
        EnterCriticalSection(&n->lock);
        const int empty = n->ringFill == 0;
        LeaveCriticalSection(&n->lock);
        if (empty) c->ended = 1;
    }
    return done;
}

static void NetFree(NetStream* n) {
    InterlockedExchange(&n->stop, 1);
    if (n->conn) NetClose(n->conn); /* ends a waiting receive */
    if (n->thread) {
        WaitForSingleObject(n->thread, INFINITE);
        CloseHandle(n->thread);
    }
    if (n->oggThread) {
        WaitForSingleObject(n->oggThread, INFINITE);
        CloseHandle(n->oggThread);
    }
    if (n->pcm) HeapFree(GetProcessHeap(), 0, n->pcm);
    if (n->ogg) OggFeedClose(n->ogg);
    if (n->feed) MpegFeedClose(n->feed);
    DeleteCriticalSection(&n->lock);
    HeapFree(GetProcessHeap(), 0, n->ring);
    HeapFree(GetProcessHeap(), 0, n);
}

BOOL WINAPI StandinStreamFree(DWORD h) {
    Channel* c = Get(h);
    if (!c || c->isModule) return Fail(BE_HANDLE);
    if (c->net) {
        NetFree(c->net);
        c->net = NULL;
    } else {
        DecClose(c->dec);
    }
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
        if (c->net) {
            EnterCriticalSection(&c->net->lock);
            const uint64_t n = c->net->downloaded;
            LeaveCriticalSection(&c->net->lock);
            return n;
        }
        /* fall through */
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
    return NewChannel(dec, &f, 1, 0, flags, name);
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
    if (c->net) {
        NetStream* n = c->net;
        if ((type == 4 && n->icy) || (type == 3 && !n->icy)) return n->headers;
        if (type == 5) { /* BASS_TAG_META: a copy, as the download thread may replace it */
            EnterCriticalSection(&n->lock);
            lstrcpynA(c->tags, n->meta, sizeof c->tags);
            LeaveCriticalSection(&n->lock);
            return c->tags[0] ? c->tags : NULL;
        }
    }
    g_error = BE_NOTAVAIL;
    return NULL;
}

DWORD WINAPI StandinSetSync(DWORD h, DWORD type, uint64_t param, void* proc, void* user) {
    (void)type, (void)param, (void)user;
    Channel* c = Get(h);
    if (!c || !proc) return Fail(c ? BE_ILLPARAM : BE_HANDLE);
    if (c->net && type == 4) { /* BASS_SYNC_META */
        c->net->syncUser = user;
        c->net->sync = (SyncProc)proc;
    }
    return 1; /* accepted; a file stream has no metadata to announce */
}

BOOL WINAPI StandinChannelPlay(DWORD h, BOOL restart) {
    (void)restart;
    return Get(h) ? Fail(BE_DECODE) : FALSE; /* decoding channels cannot be played */
}
