/* The export side of "in_sndfile.dll", a Winamp input plug-in for the tests, built by winegcc:
   it plays what libsndfile reads (FLAC, WAV, AIFF, Ogg, ...) as input plug-ins do, with a
   decode thread of its own that writes 16-bit PCM into the host's output module while the host
   says it has room, seeks when asked, and waits for the host to play everything out. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "audio/winamp_api_win.h"
#include "sndfile_reader.h"

/* Wine's own conversion of a Windows path into a Unix one (HeapFree the result). */
char* CDECL wine_get_unix_file_name(LPCWSTR dos);

#define BLOCK_FRAMES 576

static WinampInModule g_mod;
static char g_exts[1024];

static void* g_reader;
static int g_rate, g_channels;
static LONGLONG g_frames;
static HANDLE g_thread;
static volatile LONG g_kill;
static volatile LONG g_seekMs = -1;
static volatile LONG g_decodedMs; /* where the decoder stands */
static char g_lastFile[MAX_PATH];

static void* OpenReader(const char* file, int* rate, int* channels, LONGLONG* frames) {
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH)) return NULL;
    char* unixPath = wine_get_unix_file_name(wide);
    if (!unixPath) return NULL;
    int32_t r = 0, c = 0;
    int64_t f = 0;
    void* reader = ReaderOpen(unixPath, &r, &c, &f);
    HeapFree(GetProcessHeap(), 0, unixPath);
    *rate = r;
    *channels = c;
    *frames = f;
    return reader;
}

static DWORD WINAPI DecodeThread(LPVOID unused) {
    (void)unused;
    static int16_t pcm[BLOCK_FRAMES * 8];
    const int frameBytes = g_channels * 2;
    LONGLONG position = 0; /* frames decoded */
    int done = 0;
    while (!g_kill) {
        const LONG seek = InterlockedExchange(&g_seekMs, -1);
        if (seek >= 0) {
            position = (LONGLONG)seek * g_rate / 1000;
            ReaderSeek(g_reader, position);
            g_decodedMs = seek;
            g_mod.outMod->Flush(seek);
            done = 0;
        }
        if (done) {
            /* Everything is written: the host plays it out and then stops us. */
            g_mod.outMod->IsPlaying();
            Sleep(10);
            continue;
        }
        if (g_mod.outMod->CanWrite() < BLOCK_FRAMES * frameBytes) {
            Sleep(10);
            continue;
        }
        /* A seek asked while we waited for room goes first. */
        if (g_seekMs >= 0) continue;
        const int n = ReaderRead(g_reader, pcm, BLOCK_FRAMES);
        if (n <= 0) {
            done = 1;
            continue;
        }
        position += n;
        g_mod.outMod->Write((char*)pcm, n * frameBytes);
        g_decodedMs = (LONG)(position * 1000 / g_rate);
    }
    return 0;
}

static void __cdecl Config(HWND parent) {
    MessageBoxA(parent, "Nothing to set: the formats are libsndfile's.", "in_sndfile", MB_OK);
}
static void __cdecl About(HWND parent) {
    MessageBoxA(parent, "Zuvo test input plug-in over libsndfile", "in_sndfile", MB_OK);
}
static int __cdecl Init(void) {
    /* The extension list, then its description, then the list's end. */
    char list[900];
    ReaderExtensions(list, sizeof list);
    size_t n = strlen(list);
    if (n && list[n - 1] == ';') list[--n] = '\0';
    memcpy(g_exts, list, n + 1);
    const char desc[] = "Sound files (libsndfile)";
    memcpy(g_exts + n + 1, desc, sizeof desc);
    g_exts[n + 1 + sizeof desc] = '\0';
    return WINAMP_IN_INIT_SUCCESS;
}
static void __cdecl Quit(void) {}

static void __cdecl GetFileInfo(const char* file, char* title, int* lengthMs) {
    const char* name = file && *file ? file : g_lastFile;
    int rate = 0, channels = 0;
    LONGLONG frames = 0;
    void* r = OpenReader(name, &rate, &channels, &frames);
    if (lengthMs) *lengthMs = r && rate ? (int)(frames * 1000 / rate) : -1000;
    if (title) {
        const char* base = strrchr(name, '\\');
        base = base ? base + 1 : name;
        snprintf(title, 2048, "%s", base);
        char* dot = strrchr(title, '.');
        if (dot) *dot = '\0';
    }
    ReaderClose(r);
}
static int __cdecl InfoBox(const char* file, HWND parent) {
    MessageBoxA(parent, file, "in_sndfile", MB_OK);
    return 0;
}
static int __cdecl IsOurFile(const char* file) {
    (void)file;
    return 0;
}

static void __cdecl Stop(void);

static int __cdecl Play(const char* file) {
    Stop();
    g_reader = OpenReader(file, &g_rate, &g_channels, &g_frames);
    if (!g_reader) return 1;
    snprintf(g_lastFile, sizeof g_lastFile, "%s", file);
    const int latency = g_mod.outMod->Open(g_rate, g_channels, 16, -1, -1);
    if (latency < 0) {
        ReaderClose(g_reader);
        g_reader = NULL;
        return 1;
    }
    g_mod.SetInfo(0, g_rate / 1000, g_channels, 1);
    g_kill = 0;
    g_seekMs = -1;
    g_decodedMs = 0;
    g_thread = CreateThread(NULL, 0, DecodeThread, NULL, 0, NULL);
    return g_thread ? 0 : 1;
}
static void __cdecl Pause(void) {}
static void __cdecl UnPause(void) {}
static int __cdecl IsPaused(void) {
    return 0;
}
static void __cdecl Stop(void) {
    if (g_thread) {
        g_kill = 1;
        WaitForSingleObject(g_thread, INFINITE);
        CloseHandle(g_thread);
        g_thread = NULL;
    }
    if (g_reader) {
        ReaderClose(g_reader);
        g_reader = NULL;
        g_mod.outMod->Close();
    }
}
static int __cdecl GetLength(void) {
    return g_rate ? (int)(g_frames * 1000 / g_rate) : -1000;
}
/* What is heard: the decoder's position less what the output still holds. */
static int __cdecl GetOutputTime(void) {
    return g_decodedMs + g_mod.outMod->GetOutputTime() - g_mod.outMod->GetWrittenTime();
}
static void __cdecl SetOutputTime(int ms) {
    g_seekMs = ms;
}
static void __cdecl SetVolume(int volume) {
    g_mod.outMod->SetVolume(volume);
}
static void __cdecl SetPan(int pan) {
    g_mod.outMod->SetPan(pan);
}

static char g_description[] = "Zuvo libsndfile input 1.0";

WinampInModule* __cdecl GetModule(void) {
    g_mod.version = WINAMP_IN_VER;
    g_mod.description = g_description;
    g_mod.FileExtensions = g_exts;
    g_mod.is_seekable = 1;
    g_mod.UsesOutputPlug = 1;
    g_mod.Config = Config;
    g_mod.About = About;
    g_mod.Init = Init;
    g_mod.Quit = Quit;
    g_mod.GetFileInfo = GetFileInfo;
    g_mod.InfoBox = InfoBox;
    g_mod.IsOurFile = IsOurFile;
    g_mod.Play = Play;
    g_mod.Pause = Pause;
    g_mod.UnPause = UnPause;
    g_mod.IsPaused = IsPaused;
    g_mod.Stop = Stop;
    g_mod.GetLength = GetLength;
    g_mod.GetOutputTime = GetOutputTime;
    g_mod.SetOutputTime = SetOutputTime;
    g_mod.SetVolume = SetVolume;
    g_mod.SetPan = SetPan;
    return &g_mod;
}
