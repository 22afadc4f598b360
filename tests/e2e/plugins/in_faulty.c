/* "in_faulty.dll", a deliberately faulty Winamp input plug-in for the tests (plain mingw). It
   lists the extension "bad" and fails in the way the played file's name asks:
     - Init fails when the environment variable ZUVO_FAULTY_INIT is "fail";
     - Play returns an error for a name holding "playfail";
     - otherwise Play opens the output and its thread writes nothing, then waits for the host
       to say that everything has been played.
   Loading it leaves "<its own file name>.loaded" beside it, so that a test can count how many
   copies the player loaded. */
#include <windows.h>

#include <string.h>

#include "audio/winamp_api_win.h"

/* This module's own base address: its handle. */
extern IMAGE_DOS_HEADER __ImageBase;

static WinampInModule g_mod;
static HANDLE g_thread;
static volatile LONG g_kill;
static char g_exts[] = "bad\0Faulty test files\0";
static char g_description[] = "Zuvo faulty test input 1.0";

static DWORD WINAPI Silent(LPVOID unused) {
    (void)unused;
    /* Asks for room as a decoder would, writes nothing, and reports that it is done. */
    while (!g_kill) {
        (void)g_mod.outMod->CanWrite();
        g_mod.outMod->IsPlaying();
        Sleep(10);
    }
    return 0;
}

static int __cdecl Init(void) {
    char v[16] = "";
    GetEnvironmentVariableA("ZUVO_FAULTY_INIT", v, sizeof v);
    return strcmp(v, "fail") == 0 ? 1 : WINAMP_IN_INIT_SUCCESS;
}
static void __cdecl Nothing(void) {}
static void __cdecl NothingWindow(HWND parent) {
    (void)parent;
}
static void __cdecl GetFileInfo(const char* file, char* title, int* lengthMs) {
    (void)file;
    if (title) strcpy(title, "Faulty - Nothing");
    if (lengthMs) *lengthMs = 2000;
}
static int __cdecl InfoBox(const char* file, HWND parent) {
    (void)file;
    (void)parent;
    return 0;
}
static int __cdecl IsOurFile(const char* file) {
    (void)file;
    return 0;
}
static void __cdecl Stop(void) {
    if (!g_thread) return;
    g_kill = 1;
    WaitForSingleObject(g_thread, INFINITE);
    CloseHandle(g_thread);
    g_thread = NULL;
}
static int __cdecl Play(const char* file) {
    Stop();
    if (strstr(file, "playfail")) return -1;
    if (g_mod.outMod->Open(44100, 2, 16, -1, -1) < 0) return 1;
    g_kill = 0;
    g_thread = CreateThread(NULL, 0, Silent, NULL, 0, NULL);
    return g_thread ? 0 : 1;
}
static int __cdecl Zero(void) {
    return 0;
}
static int __cdecl Length(void) {
    return 2000;
}
static void __cdecl NothingInt(int v) {
    (void)v;
}

__declspec(dllexport) WinampInModule* __cdecl winampGetInModule2(void) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA((HMODULE)&__ImageBase,
                                       path, MAX_PATH - 8);
    if (n > 0 && n < MAX_PATH - 8) {
        strcat(path, ".loaded");
        HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    g_mod.version = WINAMP_IN_VER;
    g_mod.description = g_description;
    g_mod.FileExtensions = g_exts;
    g_mod.is_seekable = 0;
    g_mod.UsesOutputPlug = 1;
    g_mod.Config = NothingWindow;
    g_mod.About = NothingWindow;
    g_mod.Init = Init;
    g_mod.Quit = Nothing;
    g_mod.GetFileInfo = GetFileInfo;
    g_mod.InfoBox = InfoBox;
    g_mod.IsOurFile = IsOurFile;
    g_mod.Play = Play;
    g_mod.Pause = Nothing;
    g_mod.UnPause = Nothing;
    g_mod.IsPaused = Zero;
    g_mod.Stop = Stop;
    g_mod.GetLength = Length;
    g_mod.GetOutputTime = Zero;
    g_mod.SetOutputTime = NothingInt;
    g_mod.SetVolume = NothingInt;
    g_mod.SetPan = NothingInt;
    return &g_mod;
}
