/* The Winamp plug-in interfaces as the program and its own plug-ins use them: the input module
   a plug-in returns from "winampGetInModule2", the output module the host fills for it, and
   the DSP header and module from "winampDSPGetHeader2". Field order and types follow the
   published interface; function pointers are __cdecl (the Windows convention, also under
   winegcc). Plain C, so that plug-ins written in C include it too. */
#ifndef ZUVO_WINAMP_API_WIN_H
#define ZUVO_WINAMP_API_WIN_H
#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#define _Static_assert static_assert
#endif

#define WINAMP_IN_VER 0x100
#define WINAMP_OUT_VER 0x10
#define WINAMP_DSP_HDRVER 0x20
/* Init's result in modules that return one. */
#define WINAMP_IN_INIT_SUCCESS 0

typedef struct WinampOutModule {
    int version;
    char* description;
    intptr_t id;
    HWND hMainWindow;
    HINSTANCE hDllInstance;
    void(__cdecl* Config)(HWND parent);
    void(__cdecl* About)(HWND parent);
    void(__cdecl* Init)(void);
    void(__cdecl* Quit)(void);
    int(__cdecl* Open)(int rate, int channels, int bits, int bufferMs, int prebufferMs);
    void(__cdecl* Close)(void);
    int(__cdecl* Write)(char* buf, int len);
    int(__cdecl* CanWrite)(void);
    int(__cdecl* IsPlaying)(void);
    int(__cdecl* Pause)(int pause);
    void(__cdecl* SetVolume)(int volume);
    void(__cdecl* SetPan)(int pan);
    void(__cdecl* Flush)(int ms);
    int(__cdecl* GetOutputTime)(void);
    int(__cdecl* GetWrittenTime)(void);
} WinampOutModule;

typedef struct WinampInModule {
    int version;
    char* description;
    HWND hMainWindow;
    HINSTANCE hDllInstance;
    /* Pairs of texts: "ext;ext" then a description, ..., ended by an empty text. */
    char* FileExtensions;
    int is_seekable;
    int UsesOutputPlug;
    void(__cdecl* Config)(HWND parent);
    void(__cdecl* About)(HWND parent);
    int(__cdecl* Init)(void);
    void(__cdecl* Quit)(void);
    void(__cdecl* GetFileInfo)(const char* file, char* title, int* lengthMs);
    int(__cdecl* InfoBox)(const char* file, HWND parent);
    int(__cdecl* IsOurFile)(const char* file);
    int(__cdecl* Play)(const char* file);
    void(__cdecl* Pause)(void);
    void(__cdecl* UnPause)(void);
    int(__cdecl* IsPaused)(void);
    void(__cdecl* Stop)(void);
    int(__cdecl* GetLength)(void);
    int(__cdecl* GetOutputTime)(void);
    void(__cdecl* SetOutputTime)(int ms);
    void(__cdecl* SetVolume)(int volume);
    void(__cdecl* SetPan)(int pan);
    void(__cdecl* SAVSAInit)(int maxLatencyMs, int rate);
    void(__cdecl* SAVSADeInit)(void);
    void(__cdecl* SAAddPCMData)(void* pcm, int channels, int bits, int timestamp);
    int(__cdecl* SAGetMode)(void);
    int(__cdecl* SAAdd)(void* data, int timestamp, int csa);
    void(__cdecl* VSAAddPCMData)(void* pcm, int channels, int bits, int timestamp);
    int(__cdecl* VSAGetMode)(int* specChannels, int* waveChannels);
    int(__cdecl* VSAAdd)(void* data, int timestamp);
    void(__cdecl* VSASetInfo)(int rate, int channels);
    int(__cdecl* dsp_isactive)(void);
    int(__cdecl* dsp_dosamples)(short* samples, int count, int bits, int channels, int rate);
    void(__cdecl* EQSet)(int on, char data[10], int preamp);
    void(__cdecl* SetInfo)(int bitrateKbps, int rateKhz, int stereo, int synched);
    WinampOutModule* outMod;
} WinampInModule;

typedef struct WinampDspModule {
    char* description;
    HWND hwndParent;
    HINSTANCE hDllInstance;
    void(__cdecl* Config)(struct WinampDspModule* self);
    int(__cdecl* Init)(struct WinampDspModule* self); /* 0 on success */
    /* Processes count sample frames in place; returns the frames to play. */
    int(__cdecl* ModifySamples)(struct WinampDspModule* self, short* samples, int count, int bits,
                                int channels, int rate);
    void(__cdecl* Quit)(struct WinampDspModule* self);
    void* userData;
} WinampDspModule;

typedef struct WinampDspHeader {
    int version;
    char* description;
    WinampDspModule*(__cdecl* getModule)(int index);
} WinampDspHeader;

#if defined(_WIN64)
/* The 64-bit layouts: 30 entries after the seven fields of the input module, 15 in the output
   module, the same on the program's and the plug-ins' side. */
_Static_assert(sizeof(WinampInModule) == 296, "input module layout");
_Static_assert(sizeof(WinampOutModule) == 160, "output module layout");
_Static_assert(sizeof(WinampDspModule) == 64, "DSP module layout");
#endif

typedef WinampInModule*(__cdecl* WinampGetInModuleFn)(void);
typedef WinampDspHeader*(__cdecl* WinampGetDspHeaderFn)(void);

#ifdef __cplusplus
}
#endif
#endif
