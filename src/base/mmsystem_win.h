// The wave-out and ACM calls of the engine and of the live stream's encoder. winmm and msacm32
// are not linked: a linked DLL is loaded and initialised before the window can show, and these
// are needed only once something plays or streams. Each call resolves its export from the
// system folder on its first use; when the DLL or the export is missing it fails with
// MMSYSERR_NODRIVER, as a machine without a device would.
#pragma once
#include <windows.h>

#include <mmsystem.h>

#include <mmreg.h>

#include <msacm.h>

MMRESULT WaveOutOpenWin(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags);
MMRESULT WaveOutPrepareHeaderWin(HWAVEOUT out, WAVEHDR* header);
MMRESULT WaveOutUnprepareHeaderWin(HWAVEOUT out, WAVEHDR* header);
MMRESULT WaveOutWriteWin(HWAVEOUT out, WAVEHDR* header);
MMRESULT WaveOutResetWin(HWAVEOUT out);
MMRESULT WaveOutCloseWin(HWAVEOUT out);
MMRESULT WaveOutSetVolumeWin(HWAVEOUT out, DWORD volume);
// The number of wave-out devices (0 without winmm) and one device's capabilities.
UINT WaveOutDeviceCountWin();
MMRESULT WaveOutDeviceCapsWin(UINT device, WAVEOUTCAPSA* caps);

MMRESULT AcmStreamOpenWin(HACMSTREAM* stream, const WAVEFORMATEX* src, const WAVEFORMATEX* dst,
                          DWORD flags);
MMRESULT AcmStreamSizeWin(HACMSTREAM stream, DWORD bytes, DWORD* other, DWORD flags);
MMRESULT AcmStreamPrepareHeaderWin(HACMSTREAM stream, ACMSTREAMHEADER* header);
MMRESULT AcmStreamConvertWin(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
MMRESULT AcmStreamUnprepareHeaderWin(HACMSTREAM stream, ACMSTREAMHEADER* header);
MMRESULT AcmStreamCloseWin(HACMSTREAM stream);
