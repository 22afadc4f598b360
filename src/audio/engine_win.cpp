#include "audio/engine_win.h"

// The multimedia headers first: dsound.h needs their wave formats.
#include <mmsystem.h>
// MPEGLAYER3WAVEFORMAT
#include <mmreg.h>
// the ACM stream calls
#include <msacm.h>
// DirectSound's interfaces
#include <dsound.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/bass_win.h"
#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/dsp_hooks.h"
#include "audio/mpeg_file_win.h"
#include "audio/output.h"
#include "audio/plugin_host_win.h"
#include "base/command_ids.h"
#include "base/dll_win.h"
#include "base/mmsystem_win.h"
#include "base/utf.h"
#include "base/window_timers.h"
#include "config/settings.h"

PlayState g_playState;
MpegInfo g_track;
DspState g_dspState;

namespace {

HWND g_mainWindow = nullptr;
EngineIo g_io;
ByteReader g_trackIn{};
DspBinding g_dspBinding;
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
using DirectSoundEnumerateFn = HRESULT(WINAPI*)(LPDSENUMCALLBACKA, LPVOID);
DirectSoundCreateFn g_dsCreate = nullptr;
DirectSoundEnumerateFn g_dsEnumerate = nullptr;
GUID g_dsGuid;

// KSDATAFORMAT_SUBTYPE_PCM, spelled out so that no GUID library is linked.
constexpr GUID kSubtypePcm = {
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

WAVEFORMATEXTENSIBLE ToWin(const WaveFormat& f) {
    WAVEFORMATEXTENSIBLE w{};
    w.Format.wFormatTag = f.formatTag;
    w.Format.nChannels = f.channels;
    w.Format.nSamplesPerSec = f.samplesPerSec;
    w.Format.nAvgBytesPerSec = f.avgBytesPerSec;
    w.Format.nBlockAlign = f.blockAlign;
    w.Format.wBitsPerSample = f.bitsPerSample;
    w.Format.cbSize = f.cbSize;
    if (f.formatTag == WAVE_FORMAT_EXTENSIBLE) {
        w.Samples.wValidBitsPerSample = f.validBits;
        w.dwChannelMask = f.channelMask;
        w.SubFormat = kSubtypePcm;
    }
    return w;
}

// ---- wave-out ----

void* WoOpen(void*, int device, const WaveFormat& fmt) {
    WAVEFORMATEXTENSIBLE w = ToWin(fmt);
    HWAVEOUT h = nullptr;
    const UINT id = device < 0 ? WAVE_MAPPER : static_cast<UINT>(device);
    if (WaveOutOpenWin(&h, id, &w.Format, reinterpret_cast<DWORD_PTR>(g_mainWindow), 0,
                       CALLBACK_WINDOW | WAVE_ALLOWSYNC) != MMSYSERR_NOERROR)
        return nullptr;
    return h;
}
bool WoPrepare(void*, void* hwo, OutBuffer& b) {
    if (!b.header) b.header = new WAVEHDR{};
    auto* h = static_cast<WAVEHDR*>(b.header);
    h->lpData = reinterpret_cast<LPSTR>(b.data.data());
    h->dwBufferLength = static_cast<DWORD>(b.data.size());
    h->dwUser = reinterpret_cast<DWORD_PTR>(&b);
    h->dwFlags = 0;
    return WaveOutPrepareHeaderWin(static_cast<HWAVEOUT>(hwo), h) == MMSYSERR_NOERROR;
}
bool WoWrite(void*, void* hwo, OutBuffer& b) {
    auto* h = static_cast<WAVEHDR*>(b.header);
    if (!h) return false;
    h->dwBufferLength = b.bytes;
    return WaveOutWriteWin(static_cast<HWAVEOUT>(hwo), h) == MMSYSERR_NOERROR;
}
void WoUnprepare(void*, void* hwo, OutBuffer& b) {
    auto* h = static_cast<WAVEHDR*>(b.header);
    if (!h) return;
    h->dwBufferLength = static_cast<DWORD>(b.data.size());
    WaveOutUnprepareHeaderWin(static_cast<HWAVEOUT>(hwo), h);
}
void WoReset(void*, void* hwo) {
    WaveOutResetWin(static_cast<HWAVEOUT>(hwo));
}
void WoClose(void*, void* hwo) {
    WaveOutCloseWin(static_cast<HWAVEOUT>(hwo));
}
void WoFreeHeader(void*, OutBuffer& b) {
    delete static_cast<WAVEHDR*>(b.header);
    b.header = nullptr;
}
void WoSetVolume(void*, void* hwo, uint32_t v) {
    WaveOutSetVolumeWin(static_cast<HWAVEOUT>(hwo), v);
}

// ---- DirectSound ----

struct EnumCount {
    int left;
    bool found;
};
BOOL CALLBACK CountDevices(LPGUID guid, LPCSTR, LPCSTR, LPVOID ctx) {
    auto* c = static_cast<EnumCount*>(ctx);
    if (c->left-- > 0) return TRUE;
    if (guid) {
        g_dsGuid = *guid;
        c->found = true;
    }
    return FALSE;
}

BOOL CALLBACK ListDevice(LPGUID, LPCSTR description, LPCSTR, LPVOID ctx) {
    static_cast<std::vector<std::string>*>(ctx)->push_back(std::string("DirectSound: ") +
                                                           description);
    return TRUE;
}

// DirectSound from the system folder, on the first output or device list that needs it: at
// start-up it would cost the window time (it brings COM with it). Tried once.
bool DsLoad(void*, PlayState& ps) {
    static bool tried = false;
    if (!tried) {
        tried = true;
        HMODULE m = LoadSystemDll(L"dsound.dll");
        if (m) {
            g_dsCreate = reinterpret_cast<DirectSoundCreateFn>(
                reinterpret_cast<void*>(GetProcAddress(m, "DirectSoundCreate")));
            g_dsEnumerate = reinterpret_cast<DirectSoundEnumerateFn>(
                reinterpret_cast<void*>(GetProcAddress(m, "DirectSoundEnumerateA")));
            if (g_dsCreate && g_dsEnumerate) {
                ps.dsoundModule = m;
            } else {
                FreeLibrary(m);
                g_dsCreate = nullptr;
                g_dsEnumerate = nullptr;
            }
        }
    }
    return ps.dsoundModule != nullptr;
}

IDirectSound* Ds(PlayState& ps) {
    return static_cast<IDirectSound*>(ps.dsound);
}
IDirectSoundBuffer* DsBuf(PlayState& ps) {
    return static_cast<IDirectSoundBuffer*>(ps.dsBuffer);
}

void DsRelease(PlayState& ps) {
    if (DsBuf(ps)) DsBuf(ps)->Stop(), DsBuf(ps)->Release();
    if (ps.dsPrimary) static_cast<IDirectSoundBuffer*>(ps.dsPrimary)->Release();
    if (Ds(ps)) Ds(ps)->Release();
    ps.dsBuffer = ps.dsPrimary = ps.dsound = nullptr;
}

int DsOpen(void*, PlayState& ps, int n, const WaveFormat& fmt, uint32_t bytes) {
    // The wave-out device of the same number is set to full volume: DirectSound plays through it.
    WAVEFORMATEXTENSIBLE w = ToWin(fmt);
    HWAVEOUT probe = nullptr;
    const UINT id = n == 0 ? WAVE_MAPPER : static_cast<UINT>(n - 1);
    if (WaveOutOpenWin(&probe, id, &w.Format, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
        WaveOutSetVolumeWin(probe, 0xFFFFFFFF);
        WaveOutCloseWin(probe);
    }
    ps.dsDeviceGuid = nullptr;
    if (n != 0 && g_dsEnumerate) {
        EnumCount c{n, false};
        g_dsEnumerate(CountDevices, &c);
        if (c.found) ps.dsDeviceGuid = &g_dsGuid;
    }
    IDirectSound* ds = nullptr;
    if (FAILED(g_dsCreate(static_cast<LPCGUID>(ps.dsDeviceGuid), &ds, nullptr))) return kDsCreate;
    ps.dsound = ds;
    if (FAILED(ds->SetCooperativeLevel(g_mainWindow, DSSCL_PRIORITY))) {
        DsRelease(ps);
        return kDsCooperativeLevel;
    }
    DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&d, &primary, nullptr))) {
        DsRelease(ps);
        return kDsPrimaryBuffer;
    }
    ps.dsPrimary = primary;
    if (FAILED(primary->SetFormat(&w.Format))) {
        DsRelease(ps);
        return kDsSetFormat;
    }
    d.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME |
                DSBCAPS_LOCSOFTWARE;
    d.dwBufferBytes = bytes;
    d.lpwfxFormat = &w.Format;
    IDirectSoundBuffer* work = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&d, &work, nullptr))) {
        DsRelease(ps);
        return kDsWorkBuffer;
    }
    ps.dsBuffer = work;
    return kDsOpenOk;
}
bool DsCursor(void*, PlayState& ps, uint32_t* cursor) {
    DWORD play = 0, write = 0;
    if (!DsBuf(ps) || FAILED(DsBuf(ps)->GetCurrentPosition(&play, &write))) return false;
    *cursor = play;
    return true;
}
bool DsLock(void*, PlayState& ps, uint32_t pos, uint32_t bytes, DsRegion& r) {
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (!DsBuf(ps) || FAILED(DsBuf(ps)->Lock(pos, bytes, &p1, &n1, &p2, &n2, 0))) return false;
    r = DsRegion{static_cast<uint8_t*>(p1), n1, static_cast<uint8_t*>(p2), n2};
    return true;
}
void DsUnlock(void*, PlayState& ps, const DsRegion& r) {
    if (DsBuf(ps)) DsBuf(ps)->Unlock(r.p1, r.n1, r.p2, r.n2);
}
bool DsPlay(void*, PlayState& ps) {
    return DsBuf(ps) && SUCCEEDED(DsBuf(ps)->Play(0, 0, DSBPLAY_LOOPING));
}
void DsClose(void*, PlayState& ps) {
    DsRelease(ps);
}
void DsSetVolume(void*, PlayState& ps, int32_t v) {
    if (DsBuf(ps)) DsBuf(ps)->SetVolume(v);
}
void CALLBACK DsTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    Engine e = EngineNow();
    DsTick(e);
}
void DsStartTimer(void*) {
    SetTimer(g_mainWindow, kTimerDsFeed, 50, DsTimerProc);
}
void DsKillTimer(void*) {
    KillTimer(g_mainWindow, kTimerDsFeed);
}

// ---- ACM ----

int AcmOpenWin(void*, PlayState& ps, const AcmFormats& f, uint32_t dstBytes, uint32_t* srcBytes) {
    MPEGLAYER3WAVEFORMAT src{};
    src.wfx.wFormatTag = f.srcTag;
    src.wfx.nChannels = f.srcChannels;
    src.wfx.nSamplesPerSec = f.srcRate;
    src.wfx.nAvgBytesPerSec = f.srcAvgBytes;
    src.wfx.nBlockAlign = f.srcBlockAlign;
    src.wfx.wBitsPerSample = f.srcBits;
    src.wfx.cbSize = f.srcExtra;
    src.wID = f.mp3Id;
    src.fdwFlags = f.mp3Flags;
    src.nBlockSize = f.mp3BlockSize;
    src.nFramesPerBlock = f.mp3FramesPerBlock;
    src.nCodecDelay = f.mp3CodecDelay;
    WAVEFORMATEX dst = ToWin(f.dst).Format;
    HACMSTREAM h = nullptr;
    if (AcmStreamOpenWin(&h, &src.wfx, &dst, 0) != MMSYSERR_NOERROR) return 2;
    ps.hAcmStream = h;
    DWORD need = 0;
    if (AcmStreamSizeWin(h, dstBytes, &need, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR)
        need = 0;
    *srcBytes = need;
    return 0;
}
uint32_t AcmConvertWin(void*, PlayState& ps, const uint8_t* src, uint32_t n, uint8_t* dst,
                       uint32_t cap, uint32_t* used) {
    *used = 0;
    auto h = static_cast<HACMSTREAM>(ps.hAcmStream);
    ACMSTREAMHEADER sh{};
    sh.cbStruct = sizeof sh;
    sh.pbSrc = const_cast<LPBYTE>(src);
    sh.cbSrcLength = n;
    sh.pbDst = dst;
    sh.cbDstLength = cap;
    if (AcmStreamPrepareHeaderWin(h, &sh) != MMSYSERR_NOERROR) return 0;
    const MMRESULT r = AcmStreamConvertWin(h, &sh, ACM_STREAMCONVERTF_BLOCKALIGN);
    AcmStreamUnprepareHeaderWin(h, &sh);
    if (r != MMSYSERR_NOERROR) return 0;
    *used = sh.cbSrcLengthUsed;
    return sh.cbDstLengthUsed;
}
void AcmCloseWin(void*, PlayState& ps) {
    if (ps.hAcmStream) AcmStreamCloseWin(static_cast<HACMSTREAM>(ps.hAcmStream));
    ps.hAcmStream = nullptr;
}

// ---- libraries, files, the window side ----

// Optional libraries come from the program's folder only, never from the current directory
// (the folder being browsed, where anybody may have put a DLL of that name).
void* LibLoad(void*, const char* name) {
    return LoadProgramDll(Utf8ToWide(name).c_str());
}
void* LibSymbol(void*, void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void LibUnload(void*, void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

bool FileOpen(void*, MpegInfo& info, const wchar_t* path, ByteReader& reader) {
    return MpegOpenFile(info, path, reader);
}
void FileClose(void*, MpegInfo& info) {
    MpegCloseFile(info);
}
uint32_t FileSize(void*, const MpegInfo& info) {
    return MpegFileSize(info);
}

// ---- the main window's services ----

void WinSetTimer(void*, unsigned id, unsigned ms) {
    SetTimer(g_mainWindow, id, ms, nullptr);
}
void WinKillTimer(void*, unsigned id) {
    KillTimer(g_mainWindow, id);
}
void WinMessageBox(void*, const char* caption, const char* text) {
    MessageBoxA(g_mainWindow, text, caption, MB_OK | MB_ICONERROR);
}
void WinPostNextTrack(void*) {
    PostMessageW(g_mainWindow, WM_COMMAND, kCmdNextTrack, 0);
}
void WinCloseMain(void*) {
    PostMessageW(g_mainWindow, WM_CLOSE, 0, 0);
}
void WinEnterFolder(void*) {
    if (!g_settings.browsed_folder.empty()) SetCurrentDirectoryW(g_settings.browsed_folder.c_str());
}

OutBuffer* BufferOf(LPARAM lParam) {
    auto* h = reinterpret_cast<WAVEHDR*>(lParam);
    // Only headers of the open device's buffers: messages of a closed device are stale.
    for (OutBuffer& b : g_playState.buffers)
        if (b.header == h) return &b;
    return nullptr;
}

}  // namespace

Engine EngineNow() {
    return Engine{g_playState, g_track, g_settings, g_io, g_trackIn};
}

void EngineWaveMessageWin(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWAVEOUT>(wParam) != g_playState.hWaveOut) return;
    Engine e = EngineNow();
    if (msg == MM_WOM_OPEN) {
        WaveOutStart(e);
    } else if (msg == MM_WOM_DONE) {
        if (OutBuffer* b = BufferOf(lParam)) WaveOutCompletion(e, *b);
    }
}

void EngineStartWin(HWND mainWindow, const EngineHost& host) {
    g_mainWindow = mainWindow;
    g_playState.mode24 = (g_settings.wave_flags & WaveFlag::Output24Bit) != 0;

    g_io.waveOut = WaveOutOps{nullptr, WoOpen,  WoPrepare,    WoWrite,    WoUnprepare,
                              WoReset, WoClose, WoFreeHeader, WoSetVolume};
    g_io.ds = DsOps{nullptr, DsOpen,  DsCursor,    DsLock,       DsUnlock,
                    DsPlay,  DsClose, DsSetVolume, DsStartTimer, DsKillTimer, DsLoad};
    g_io.acm = AcmOps{nullptr, AcmOpenWin, AcmConvertWin, AcmCloseWin};
    g_io.lib = LibraryOps{nullptr, LibLoad, LibSymbol, LibUnload};
    g_io.file = TrackFileOps{nullptr, FileOpen, FileClose, FileSize};
    g_io.window = EngineWindow{nullptr,          WinSetTimer,  WinKillTimer,  WinMessageBox,
                               WinPostNextTrack, WinCloseMain, WinEnterFolder};
    g_io.host = host;
    g_io.plugin = PluginSourceOpsWin();  // the plug-ins themselves are loaded by the start-up
    g_io.bass = BassSourceOpsWin();      // bass.dll itself is loaded by the start-up
    // The sound processing runs on every block over the program's chain state.
    g_dspBinding = DspBinding{&g_dspState, &g_settings, &g_playState};
    g_io.dsp = DspHooksFor(g_dspBinding);
}

void EngineShutdownWin() {
    Engine e = EngineNow();
    EngineStop(e, true);
    CloseTrackFile(e);
    PluginsUnloadWin();
    BassUnloadWin();
    MpglibUnload(e);
    if (g_playState.dsoundModule) FreeLibrary(static_cast<HMODULE>(g_playState.dsoundModule));
    g_playState.dsoundModule = nullptr;
}

std::vector<std::string> DirectSoundDeviceNames() {
    std::vector<std::string> names;
    if (DsLoad(nullptr, g_playState)) g_dsEnumerate(ListDevice, &names);
    return names;
}
