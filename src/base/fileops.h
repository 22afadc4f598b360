// The core's only way to files: a table of plain functions that the glue fills with Win32
// calls and the tests fill with an in-memory folder set. Paths are Windows paths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct FileOps {
    // Reads at most maxBytes from the start of the file into out; false if it cannot be opened.
    bool (*readFile)(void* ctx, const std::wstring& path, size_t maxBytes, std::string& out);
    // Replaces the whole file with bytes: written to a temporary file in the same folder, then
    // renamed over the old one, so a failed write leaves the old file whole. False on failure.
    bool (*replaceFile)(void* ctx, const std::wstring& path, const std::string& bytes);
    // Appends bytes at the end, creating the file when missing. Returns the new file size, or
    // -1 when the file cannot be opened.
    int64_t (*appendFile)(void* ctx, const std::wstring& path, const std::string& bytes);
    // True if the folder exists.
    bool (*folderExists)(void* ctx, const std::wstring& path);
    // Creates one folder level; true if it exists afterwards.
    bool (*createFolder)(void* ctx, const std::wstring& path);
    // True if the file exists (folders do not count).
    bool (*fileExists)(void* ctx, const std::wstring& path);
    void* ctx;
};
