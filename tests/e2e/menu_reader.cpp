// A hook DLL for zuvo-send's "menu" verb: a program's pop-up menu can be read only inside the
// program that built it, so zuvo-send hooks the menu's thread with this DLL and sends the menu
// window a registered message; the hook, running in that thread, writes the items into a file
// of the temp folder ("ID FLAGS<TAB>TEXT" lines, UTF-8; FLAGS c checked, g greyed, p submenu,
// s separator, "-" none).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kMenuGetHmenu = 0x01E1;  // MN_GETHMENU

std::wstring OutputPath() {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"zuvo-menu-items.txt";
}

void WriteItems(HMENU m) {
    std::string out;
    const int n = GetMenuItemCount(m);
    for (int i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string flags;
        if (info.fType & MFT_SEPARATOR) {
            flags = "s";  // the system reports separators greyed: they cannot be chosen
        } else {
            if (info.fState & MFS_CHECKED) flags += 'c';
            if (info.fState & MFS_GRAYED) flags += 'g';
            if (info.hSubMenu) flags += 'p';
        }
        char utf8[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        char line[1200];
        std::snprintf(line, sizeof line, "%u %s\t%s\n", info.hSubMenu ? 0u : info.wID,
                      flags.empty() ? "-" : flags.c_str(), utf8);
        out += line;
    }
    const std::wstring path = OutputPath();
    const std::wstring part = path + L".part";
    if (FILE* f = _wfopen(part.c_str(), L"wb")) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
        MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam,
                                                                 LPARAM lParam) {
    static const UINT ask = RegisterWindowMessageW(L"ZuvoSendReadMenu");
    if (code == HC_ACTION) {
        const CWPSTRUCT* c = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (c->message == ask) {
            HMENU m = reinterpret_cast<HMENU>(SendMessageW(c->hwnd, kMenuGetHmenu, 0, 0));
            if (m) WriteItems(m);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
