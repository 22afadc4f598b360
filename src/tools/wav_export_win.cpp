// The WAV export dialog: the decoder of the engine, block by block without the output path,
// into a file created only when it does not exist; Cancel deletes the partial file.
#include "tools/wav_export_win.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/engine_win.h"
#include "audio/output.h"
#include "audio/play_init.h"
#include "base/dialog_win.h"
#include "base/file_dialog_win.h"
#include "base/path.h"
#include "config/settings.h"
#include "config/settings_bits.h"
#include "dsp/dsp.h"
#include "library/library_win.h"
#include "library/list_text.h"
#include "library/track_list.h"
#include "tools/wav_export.h"
#include "ui/face_win.h"

namespace {

enum : int {
    kIdDest = 201,
    kIdBrowse,
    kIdProcess,
    kIdProgress,
    kTimerExport = 1,
};
constexpr UINT kFirstTickMs = 20;
constexpr UINT kNextTickMs = 50;

struct Export {
    Engine engine;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring dest;
    std::unique_ptr<WavExport> run;
};

struct DialogState {
    std::wstring source;
    std::unique_ptr<Export> ex;
};

// --- the engine's decoder and the destination file as the export's tables ---

uint32_t NextBlock(void* c, uint8_t* buf, uint32_t cap) {
    return DecodeBlock(static_cast<Export*>(c)->engine, buf, cap);
}
uint64_t Position(void* c) { return static_cast<Export*>(c)->engine.track.dwPointer; }
uint64_t Total(void* c) { return static_cast<Export*>(c)->engine.track.dwAudioEnd; }

bool Append(void* c, const uint8_t* data, size_t len) {
    HANDLE h = static_cast<Export*>(c)->file;
    LARGE_INTEGER zero{};
    SetFilePointerEx(h, zero, nullptr, FILE_END);
    DWORD done = 0;
    return WriteFile(h, data, static_cast<DWORD>(len), &done, nullptr) && done == len;
}
bool WriteAt(void* c, uint64_t pos, const uint8_t* data, size_t len) {
    HANDLE h = static_cast<Export*>(c)->file;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(pos);
    DWORD done = 0;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
           WriteFile(h, data, static_cast<DWORD>(len), &done, nullptr) && done == len;
}
uint64_t Length(void* c) {
    LARGE_INTEGER size{};
    GetFileSizeEx(static_cast<Export*>(c)->file, &size);
    return static_cast<uint64_t>(size.QuadPart);
}

void Process(int16_t* samples, int frames, int channels) {
    dspProcessPcm16(g_dspState, g_settings, samples, frames, channels);
}

// Closes the input; the file is closed and, unless the export completed, deleted.
void Finish(DialogState& st, bool completed) {
    if (!st.ex) return;
    Export& ex = *st.ex;
    CloseDecoders(ex.engine);
    CloseTrackFile(ex.engine);
    if (ex.file != INVALID_HANDLE_VALUE) {
        CloseHandle(ex.file);
        if (!completed) DeleteFileW(ex.dest.c_str());
    }
    st.ex.reset();
}

// OK: opens the source, sets up the decoder, creates the destination (never over an existing
// file) and starts the timer. Nothing happens while an output is open or an export runs.
void Start(HWND dlg, DialogState& st) {
    Engine e = EngineNow();
    if (st.ex || OutputOpen(e.ps)) return;
    const std::wstring dest = DialogItemTextWin(dlg, kIdDest);
    if (dest.empty() || !OpenTrack(e, st.source.c_str())) return;
    const uint32_t rate = e.track.header.sampleRate;
    const uint32_t channels = TrackChannels(e.track);
    if (DecoderInitForExport(e, rate, channels) != 0) {
        CloseTrackFile(e);
        return;
    }
    HANDLE file = CreateFileW(dest.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        CloseDecoders(e);
        CloseTrackFile(e);
        return;
    }
    st.ex = std::make_unique<Export>(Export{e, file, dest, nullptr});
    Export& ex = *st.ex;
    WavExportSetup setup;
    setup.decoderChannels = static_cast<int>(channels);
    setup.processing = IsDlgButtonChecked(dlg, kIdProcess) == BST_CHECKED;
    setup.monoDownmix = (g_settings.wave_flags & WaveFlag::MonoOutput) != 0;
    setup.process = Process;
    const WavDecoder decoder{&ex, NextBlock, Position, Total};
    const WavFile out{&ex, Append, WriteAt, Length};
    ex.run = std::make_unique<WavExport>(setup, decoder, out);
    ex.run->Begin(rate);
    SendDlgItemMessageW(dlg, kIdProgress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
    SetTimer(dlg, kTimerExport, kFirstTickMs, nullptr);
}

void Tick(HWND dlg, DialogState& st) {
    KillTimer(dlg, kTimerExport);
    if (!st.ex) return;
    if (st.ex->run->Tick() == WavTick::kDone) {
        Finish(st, true);
        EndDialog(dlg, IDOK);
        return;
    }
    SendDlgItemMessageW(dlg, kIdProgress, PBM_SETPOS, static_cast<WPARAM>(st.ex->run->Progress()), 0);
    SetTimer(dlg, kTimerExport, kNextTickMs, nullptr);
}

void Browse(HWND dlg) {
    std::wstring name = DialogItemTextWin(dlg, kIdDest);
    name.resize(kWavPathMax + 1, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = L"*.wav\0*.wav\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = L"Select WAV file name";
    ofn.lpstrDefExt = L"wav";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (SaveFileNameWin(&ofn)) SetDlgItemTextW(dlg, kIdDest, name.c_str());
}

INT_PTR CALLBACK ExportProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dlg, DWLP_USER, lParam);
            st = reinterpret_cast<DialogState*>(lParam);
            SizeDialogClientWin(dlg, 520, 130);
            HWND edit =
                DialogControlWin(dlg, L"EDIT", WavDefaultDestination(st->source).c_str(),
                                 WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 460, 22, kIdDest);
            SendMessageW(edit, EM_LIMITTEXT, kWavPathMax, 0);
            DialogControlWin(dlg, L"BUTTON", L"...", WS_TABSTOP, 475, 10, 35, 22, kIdBrowse);
            DialogControlWin(dlg, L"BUTTON", L"Use Enhancer/EQ/Mono", BS_AUTOCHECKBOX | WS_TABSTOP,
                             10, 42, 250, 20, kIdProcess);
            DialogControlWin(dlg, L"msctls_progress32", L"", 0, 10, 70, 500, 16, kIdProgress);
            DialogControlWin(dlg, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 330, 96, 85, 26,
                             IDOK);
            DialogControlWin(dlg, L"BUTTON", L"Cancel", WS_TABSTOP, 425, 96, 85, 26, IDCANCEL);
            ApplyDarkModeToDialog(dlg, nullptr);
            PaintDialogDarkWin(dlg, DialogLook::Dark);
            SetFocus(edit);
            return FALSE;
        }
        case WM_TIMER:
            if (wParam == kTimerExport) Tick(dlg, *st);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    Start(dlg, *st);
                    return TRUE;
                case kIdBrowse:
                    Browse(dlg);
                    return TRUE;
                case IDCANCEL:
                    KillTimer(dlg, kTimerExport);
                    Finish(*st, false);
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            KillTimer(dlg, kTimerExport);
            Finish(*st, false);
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            KillTimer(dlg, kTimerExport);
            if (st) Finish(*st, false);
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void SaveToWavCommandWin(CommandId, intptr_t) {
    if (OutputOpen(EngineNow().ps)) return;
    const TrackList& list = LibraryFileView();
    std::wstring path;
    if (RowPath(list, list.focusedRow, path, false) != 1 || IsUrl(path)) return;
    if (PlayableKind(PathExtension(path), g_playableExtensions) == 0) return;
    DialogState st{path, nullptr};
    RunDialogWin(DialogTemplateWin(L"Save uncompressed WAV file", 300, 80), GetActiveWindow(),
                 ExportProc, reinterpret_cast<LPARAM>(&st));
}
