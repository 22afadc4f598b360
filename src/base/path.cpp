#include "base/path.h"

#include "base/text.h"

std::wstring PathWithExtension(std::wstring_view path, std::wstring_view ext) {
    size_t slash = path.find_last_of(L'\\');
    size_t dot = path.find_last_of(L'.');
    std::wstring out(path);
    if (dot != std::wstring_view::npos && (slash == std::wstring_view::npos || dot > slash))
        out.resize(dot);
    out += ext;
    return out;
}

std::wstring PathFolder(std::wstring_view path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::wstring PathJoin(std::wstring_view folder, std::wstring_view name) {
    std::wstring out(folder);
    if (out.empty() || out.back() != L'\\') out += L'\\';
    out += name;
    return out;
}

std::wstring PathExtension(std::wstring_view path) {
    size_t slash = path.find_last_of(L'\\');
    size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash))
        return std::wstring();
    return std::wstring(path.substr(dot + 1));
}

bool IsUrl(std::wstring_view path) {
    return StartsWithNoCase(path, L"http:") || StartsWithNoCase(path, L"https:") ||
           StartsWithNoCase(path, L"mms:");
}
