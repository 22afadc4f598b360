#include "log/favourites.h"

#include <cwchar>

namespace {

std::wstring LastComponent(std::wstring_view path) {
    while (path.size() > 1 && path.back() == L'\\') path.remove_suffix(1);
    const size_t slash = path.rfind(L'\\');
    return std::wstring(slash == path.npos ? path : path.substr(slash + 1));
}

std::wstring NoMnemonics(std::wstring s) {
    for (wchar_t& c : s)
        if (c == L'&') c = L'+';
    return s;
}

// "\\server\share\...": the server.
std::wstring Server(std::wstring_view path) {
    const size_t at = path.find(L"\\\\");
    if (at == path.npos) return {};
    const std::wstring_view rest = path.substr(at + 2);
    return std::wstring(rest.substr(0, rest.find(L'\\')));
}

}  // namespace

std::wstring FavouriteEntry(uint32_t positionMs, std::wstring_view path) {
    wchar_t head[16];
    std::swprintf(head, 16, L"%.10u,", positionMs);
    return head + std::wstring(path);
}

bool FavouriteParse(std::wstring_view entry, uint32_t& positionMs, std::wstring& path) {
    if (entry.size() < 12 || entry[10] != L',') return false;
    uint64_t v = 0;
    for (size_t i = 0; i < 10; ++i) {
        if (entry[i] < L'0' || entry[i] > L'9') return false;
        v = v * 10 + static_cast<uint64_t>(entry[i] - L'0');
    }
    if (v > 0xFFFFFFFFu) return false;
    positionMs = static_cast<uint32_t>(v);
    path.assign(entry.substr(11));
    return true;
}

int FavouriteCount(const FavouriteList& list) {
    int n = 0;
    while (n < kFavouriteSlots && !list[n].empty()) ++n;
    return n;
}

bool FavouriteAdd(FavouriteList& list, std::wstring entry) {
    const int n = FavouriteCount(list);
    if (n >= kFavouriteSlots) return false;
    list[n] = std::move(entry);
    return true;
}

bool FavouriteRemove(FavouriteList& list, int i) {
    const int n = FavouriteCount(list);
    if (i < 0 || i >= n) return false;
    for (int k = i; k + 1 < n; ++k) list[k] = std::move(list[k + 1]);
    list[n - 1].clear();
    return true;
}

std::vector<MenuEntry> FavouritesMenu(const FavouriteList& list, const FavouriteMenuEnv& env) {
    std::vector<MenuEntry> groups[2];
    int number = 0;
    const int n = FavouriteCount(list);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < n; ++i) {
            uint32_t pos = 0;
            std::wstring path;
            if (!FavouriteParse(list[i], pos, path)) continue;
            const bool track = env.playable && env.playable(env.ctx, path);
            if (track != (pass == 1)) continue;
            wchar_t num[8];
            std::swprintf(num, 8, L"%.2d  ", ++number);
            std::wstring text = num + NoMnemonics(LastComponent(path));
            if (path.find(L"\\\\") != path.npos) text += L"\t" + Server(path);
            if (track && pos > 0 && env.trackTime)
                text += L"\t(" + env.trackTime(env.ctx, pos) + L")";
            groups[pass].push_back(MenuEntry{kFavouriteFirstId + static_cast<unsigned>(i), text});
        }
    }
    std::vector<MenuEntry> out = std::move(groups[0]);
    if (!out.empty() && !groups[1].empty()) out.push_back(MenuEntry{});
    out.insert(out.end(), groups[1].begin(), groups[1].end());
    return out;
}

std::vector<MenuEntry> HistoryMenu(const std::vector<std::wstring>& paths, unsigned firstId,
                                   bool fileNames) {
    std::vector<MenuEntry> out;
    for (size_t i = 0; i < paths.size(); ++i)
        out.push_back(MenuEntry{firstId + static_cast<unsigned>(i),
                                NoMnemonics(fileNames ? LastComponent(paths[i]) : paths[i])});
    return out;
}
