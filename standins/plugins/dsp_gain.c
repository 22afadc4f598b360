/* "dsp_zuvogain.dll", a Winamp DSP plug-in for the tests (plain mingw): it doubles every
   sample, saturating at the limits of the sample width, so that a test can compute exactly
   what the player must play. Its configuration dialog switches the effect on and off. */
#include <windows.h>

#include "audio/winamp_api_win.h"
#include "dsp_gain_res.h"

static int g_enabled = 1;

static int __cdecl Init(WinampDspModule* self) {
    (void)self;
    return 0;
}
static void __cdecl Quit(WinampDspModule* self) {
    (void)self;
}

static INT_PTR CALLBACK ConfigProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    (void)lp;
    switch (msg) {
        case WM_INITDIALOG:
            CheckDlgButton(dlg, IDC_GAIN_ON, g_enabled ? BST_CHECKED : BST_UNCHECKED);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                g_enabled = IsDlgButtonChecked(dlg, IDC_GAIN_ON) == BST_CHECKED;
                EndDialog(dlg, IDOK);
            } else if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, IDCANCEL);
            }
            return TRUE;
    }
    return FALSE;
}
static void __cdecl Config(WinampDspModule* self) {
    DialogBoxParamW(self->hDllInstance, MAKEINTRESOURCEW(IDD_GAIN_CONFIG), self->hwndParent,
                    ConfigProc, 0);
}

static int __cdecl ModifySamples(WinampDspModule* self, short* samples, int count, int bits,
                                 int channels, int rate) {
    (void)self;
    (void)rate;
    if (!g_enabled || count <= 0 || channels <= 0) return count;
    const long long n = (long long)count * channels;
    if (bits == 16) {
        for (long long i = 0; i < n; ++i) {
            const int v = samples[i] * 2;
            samples[i] = (short)(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
        }
    } else if (bits == 32) {
        int* s = (int*)samples;
        for (long long i = 0; i < n; ++i) {
            const long long v = (long long)s[i] * 2;
            s[i] = (int)(v > 2147483647LL ? 2147483647LL : v < -2147483648LL ? -2147483648LL : v);
        }
    }
    return count;
}

static char g_name[] = "Zuvo test gain x2 (saturating)";
static WinampDspModule g_module = {g_name, NULL, NULL, Config, Init, ModifySamples, Quit, NULL};

static WinampDspModule* __cdecl GetModule(int index) {
    return index == 0 ? &g_module : NULL;
}

static char g_headerName[] = "Zuvo test DSP 1.0";
static WinampDspHeader g_header = {WINAMP_DSP_HDRVER, g_headerName, GetModule};

__declspec(dllexport) WinampDspHeader* __cdecl winampDSPGetHeader2(void) {
    return &g_header;
}
