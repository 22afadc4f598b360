// The "Quick settings" page: the language list, and three lists of bundles that wait for
// "Apply".
#include <string>
#include <vector>

#include "base/utf.h"
#include "config/lang.h"
#include "config/settings.h"
#include "settings/quick_settings.h"
#include "settings/settings_frame_win.h"
#include "settings/settings_ids.h"

namespace {

constexpr int kIdLanguage = 3101, kIdAppearance = 3102, kIdControl = 3103, kIdSound = 3104,
              kIdApply = 3105, kIdHint = 3106;

struct QuickState {
    SettingsPageEnv* env = nullptr;
    int pending = 0;
    std::vector<std::wstring> languages;  // the list's entries
};

QuickState* State(HWND page) {
    return reinterpret_cast<QuickState*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

std::wstring ProgramFolder(const SettingsHost* h) {
    std::wstring exe = h && h->programPath ? h->programPath(h->ctx) : std::wstring();
    const size_t slash = exe.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash + 1);
}

// "EN / English / English", then the line after the header of every language file beside
// the program, up to " (".
std::vector<std::wstring> Languages(const SettingsHost* h) {
    std::vector<std::wstring> out{LangText(g_lang, 199)};
    const std::wstring folder = ProgramFolder(h);
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((folder + L"lan*.ini").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return out;
    do {
        HANDLE file = CreateFileW((folder + fd.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        uint8_t head[kLanguageNameBytes] = {};
        DWORD got = 0;
        ReadFile(file, head, sizeof head, &got, nullptr);
        CloseHandle(file);
        const std::wstring name = LanguageListName(head, got);
        if (!name.empty()) out.push_back(name);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return out;
}

void AddEntries(HWND list, int first, int count) {
    for (int i = 0; i < count; ++i)
        SendMessageW(list, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(QuickChoiceText(first + i)).c_str()));
}

void Open(HWND page, QuickState& st) {
    const Settings& s = *st.env->settings;
    HWND lang = GetDlgItem(page, kIdLanguage);
    st.languages = Languages(st.env->host);
    for (size_t i = 0; i < st.languages.size(); ++i) {
        SendMessageW(lang, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(st.languages[i].c_str()));
        if (s.language.size() >= 2 && st.languages[i].compare(0, 2, s.language, 0, 2) == 0)
            SendMessageW(lang, CB_SETCURSEL, i, 0);
    }
    AddEntries(GetDlgItem(page, kIdAppearance), kQuickAppearance, kQuickAppearanceCount);
    AddEntries(GetDlgItem(page, kIdControl), kQuickControl, kQuickControlCount);
    AddEntries(GetDlgItem(page, kIdSound), kQuickSound, kQuickSoundCount);
    ShowWindow(GetDlgItem(page, kIdApply), SW_HIDE);
}

void Choose(HWND page, QuickState& st, int list) {
    HWND box = GetDlgItem(page, list);
    const int i = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
    if (i < 0) return;
    if (list == kIdLanguage) {
        st.env->settings->language = st.languages[static_cast<size_t>(i)].substr(0, 2);
        SetDlgItemTextW(page, kIdHint, LangText(g_lang, kLangRestartHint));
        return;
    }
    const int base = list == kIdAppearance ? kQuickAppearance : list == kIdControl ? kQuickControl
                                                                                   : kQuickSound;
    st.pending = base + i;
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const std::wstring label = std::wstring(LangText(g_lang, kLangApply)) + L": " +
                               Utf8ToWide(QuickChoiceText(st.pending));
    SetDlgItemTextW(page, kIdApply, label.c_str());
    ShowWindow(GetDlgItem(page, kIdApply), SW_SHOW);
}

void Apply(HWND page, QuickState& st) {
    if (!st.pending) return;
    Settings& s = *st.env->settings;
    const SettingsHost* h = st.env->host;
    const QuickFollowUp f = ApplyQuickChoice(s, st.pending, st.env->dpiFactor);
    if (f.makePortable && (!h || !h->makePortable || !h->makePortable(h->ctx))) {
        SetDlgItemTextW(page, kIdApply, L"No write access!");
        st.pending = 0;
        return;
    }
    st.pending = 0;
    ShowWindow(GetDlgItem(page, kIdApply), SW_HIDE);
    if (!h) return;
    if (f.enh2Reset && h->applyDsp) h->applyDsp(h->ctx, 2, true);
    if ((f.enh1Reset || f.dsp) && h->applyDsp) h->applyDsp(h->ctx, 1, f.enh1Reset);
    if (f.rebuildList && h->rebuildFocusedList) h->rebuildFocusedList(h->ctx);
    if (f.refreshFace && h->refreshFace) h->refreshFace(h->ctx);
    if (f.refreshFace) SettingsRecolourWin();
    if (f.hotkeys && h->registerHotkeys) h->registerHotkeys(h->ctx);
    if (h->refreshStatus) h->refreshStatus(h->ctx);
}

}  // namespace

INT_PTR CALLBACK QuickPageProcWin(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(page, DWLP_USER, lp);
        auto* st = new QuickState;
        st->env = reinterpret_cast<SettingsPageEnv*>(lp);
        SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(st));
        SettingsPageDarkenWin(page, st->env);
        if (st->env && st->env->settings) Open(page, *st);
        return FALSE;
    }
    case WM_COMMAND: {
        QuickState* st = State(page);
        if (!st || !st->env || !st->env->settings) return TRUE;
        const int id = LOWORD(wp);
        if (HIWORD(wp) == CBN_SELCHANGE && id >= kIdLanguage && id <= kIdSound) Choose(page, *st, id);
        if (HIWORD(wp) == BN_CLICKED && id == kIdApply) Apply(page, *st);
        return TRUE;
    }
    case WM_DESTROY:
        delete State(page);
        SetWindowLongPtrW(page, GWLP_USERDATA, 0);
        return FALSE;
    default:
        return SettingsPageColorWin(SettingsPageEnvWin(page), msg, wp);
    }
}
