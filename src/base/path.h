// Helpers for Windows path strings ("\" separated), used on both platforms: the core always
// handles Windows paths, whatever it is compiled for.
#pragma once
#include <string>
#include <string_view>

// Longest path the program keeps, in characters.
constexpr size_t kMaxPath = 400;

// The path with the extension of its last component (from its last ".") replaced by ext
// (which includes the dot); a path without one gets ext appended.
std::wstring PathWithExtension(std::wstring_view path, std::wstring_view ext);

// The folder part: everything before the last "\" (empty when there is none).
std::wstring PathFolder(std::wstring_view path);

// folder + "\" + name, without doubling a "\" that folder already ends with.
std::wstring PathJoin(std::wstring_view folder, std::wstring_view name);

// The extension of the last component without its dot ("" when there is none).
std::wstring PathExtension(std::wstring_view path);

// True for "http:", "https:" and "mms:" addresses (any case).
bool IsUrl(std::wstring_view path);
