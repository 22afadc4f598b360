#include "base/mmsystem_win.h"

#include "base/dll_win.h"

namespace {

// The export `name` of winmm or msacm32, resolved once (a static of each caller).
template <typename Fn>
Fn Winmm(const char* name) {
    return SystemDllProc<Fn>(L"winmm.dll", name);
}
template <typename Fn>
Fn Msacm(const char* name) {
    return SystemDllProc<Fn>(L"msacm32.dll", name);
}

}  // namespace

MMRESULT WaveOutOpenWin(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags) {
    static const auto fn = Winmm<decltype(&waveOutOpen)>("waveOutOpen");
    return fn ? fn(out, device, format, callback, instance, flags) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutPrepareHeaderWin(HWAVEOUT out, WAVEHDR* header) {
    static const auto fn = Winmm<decltype(&waveOutPrepareHeader)>("waveOutPrepareHeader");
    return fn ? fn(out, header, sizeof(WAVEHDR)) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutUnprepareHeaderWin(HWAVEOUT out, WAVEHDR* header) {
    static const auto fn = Winmm<decltype(&waveOutUnprepareHeader)>("waveOutUnprepareHeader");
    return fn ? fn(out, header, sizeof(WAVEHDR)) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutWriteWin(HWAVEOUT out, WAVEHDR* header) {
    static const auto fn = Winmm<decltype(&waveOutWrite)>("waveOutWrite");
    return fn ? fn(out, header, sizeof(WAVEHDR)) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutResetWin(HWAVEOUT out) {
    static const auto fn = Winmm<decltype(&waveOutReset)>("waveOutReset");
    return fn ? fn(out) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutCloseWin(HWAVEOUT out) {
    static const auto fn = Winmm<decltype(&waveOutClose)>("waveOutClose");
    return fn ? fn(out) : MMSYSERR_NODRIVER;
}

MMRESULT WaveOutSetVolumeWin(HWAVEOUT out, DWORD volume) {
    static const auto fn = Winmm<decltype(&waveOutSetVolume)>("waveOutSetVolume");
    return fn ? fn(out, volume) : MMSYSERR_NODRIVER;
}

UINT WaveOutDeviceCountWin() {
    static const auto fn = Winmm<decltype(&waveOutGetNumDevs)>("waveOutGetNumDevs");
    return fn ? fn() : 0;
}

MMRESULT WaveOutDeviceCapsWin(UINT device, WAVEOUTCAPSA* caps) {
    static const auto fn = Winmm<decltype(&waveOutGetDevCapsA)>("waveOutGetDevCapsA");
    return fn ? fn(device, caps, sizeof *caps) : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamOpenWin(HACMSTREAM* stream, const WAVEFORMATEX* src, const WAVEFORMATEX* dst,
                          DWORD flags) {
    static const auto fn = Msacm<decltype(&acmStreamOpen)>("acmStreamOpen");
    // The header's parameters are not const; the call only reads the formats.
    return fn ? fn(stream, nullptr, const_cast<WAVEFORMATEX*>(src), const_cast<WAVEFORMATEX*>(dst),
                   nullptr, 0, 0, flags)
              : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamSizeWin(HACMSTREAM stream, DWORD bytes, DWORD* other, DWORD flags) {
    static const auto fn = Msacm<decltype(&acmStreamSize)>("acmStreamSize");
    return fn ? fn(stream, bytes, other, flags) : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamPrepareHeaderWin(HACMSTREAM stream, ACMSTREAMHEADER* header) {
    static const auto fn = Msacm<decltype(&acmStreamPrepareHeader)>("acmStreamPrepareHeader");
    return fn ? fn(stream, header, 0) : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamConvertWin(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags) {
    static const auto fn = Msacm<decltype(&acmStreamConvert)>("acmStreamConvert");
    return fn ? fn(stream, header, flags) : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamUnprepareHeaderWin(HACMSTREAM stream, ACMSTREAMHEADER* header) {
    static const auto fn = Msacm<decltype(&acmStreamUnprepareHeader)>("acmStreamUnprepareHeader");
    return fn ? fn(stream, header, 0) : MMSYSERR_NODRIVER;
}

MMRESULT AcmStreamCloseWin(HACMSTREAM stream) {
    static const auto fn = Msacm<decltype(&acmStreamClose)>("acmStreamClose");
    return fn ? fn(stream, 0) : MMSYSERR_NODRIVER;
}
