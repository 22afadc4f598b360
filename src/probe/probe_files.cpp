#include "probe/probe_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/utf.h"

namespace {

std::string Native(const std::wstring& path) { return WideToUtf8(path); }

bool ReadFileOp(void*, const std::wstring& path, size_t maxBytes, std::string& out) {
    std::FILE* f = std::fopen(Native(path).c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buf[65536];
    while (out.size() < maxBytes) {
        size_t want = std::min(sizeof buf, maxBytes - out.size());
        size_t got = std::fread(buf, 1, want, f);
        out.append(buf, got);
        if (got < want) break;
    }
    std::fclose(f);
    return true;
}

bool ReplaceFileOp(void*, const std::wstring& path, const std::string& bytes) {
    std::string target = Native(path);
    std::string temp = target + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

int64_t AppendFileOp(void*, const std::wstring& path, const std::string& bytes) {
    std::FILE* f = std::fopen(Native(path).c_str(), "ab");
    if (!f) return -1;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    long size = std::ftell(f);
    std::fclose(f);
    return size;
}

bool FolderExistsOp(void*, const std::wstring& path) {
    std::error_code ec;
    return std::filesystem::is_directory(Native(path), ec);
}

bool CreateFolderOp(void*, const std::wstring& path) {
    std::error_code ec;
    std::filesystem::create_directory(Native(path), ec);
    return std::filesystem::is_directory(Native(path), ec);
}

bool FileExistsOp(void*, const std::wstring& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(Native(path), ec);
}

}  // namespace

FileOps StdFileOps() {
    return FileOps{ReadFileOp,   ReplaceFileOp,  AppendFileOp, FolderExistsOp,
                   CreateFolderOp, FileExistsOp, nullptr};
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    return ReadFileOp(nullptr, Utf8ToWide(path), SIZE_MAX, out);
}
