#include "support/memfs.h"

#include "base/path.h"

namespace {

MemFs& Fs(void* ctx) { return *static_cast<MemFs*>(ctx); }

bool Writable(MemFs& fs, const std::wstring& path) {
    std::wstring folder = PathFolder(path);
    return fs.folders.count(folder) && !fs.readOnlyFolders.count(folder);
}

bool ReadFile(void* ctx, const std::wstring& path, size_t maxBytes, std::string& out) {
    auto it = Fs(ctx).files.find(path);
    if (it == Fs(ctx).files.end()) return false;
    out = it->second.substr(0, maxBytes);
    return true;
}

bool ReplaceFile(void* ctx, const std::wstring& path, const std::string& bytes) {
    MemFs& fs = Fs(ctx);
    if (!Writable(fs, path)) return false;
    fs.files[path] = bytes;
    return true;
}

int64_t AppendFile(void* ctx, const std::wstring& path, const std::string& bytes) {
    MemFs& fs = Fs(ctx);
    if (!fs.files.count(path) && !Writable(fs, path)) return -1;
    std::string& f = fs.files[path];
    f += bytes;
    return static_cast<int64_t>(f.size());
}

bool FolderExists(void* ctx, const std::wstring& path) { return Fs(ctx).folders.count(path) > 0; }

bool CreateFolder(void* ctx, const std::wstring& path) {
    MemFs& fs = Fs(ctx);
    if (fs.folders.count(path)) return true;
    if (!Writable(fs, path)) return false;
    fs.folders.insert(path);
    return true;
}

bool FileExists(void* ctx, const std::wstring& path) { return Fs(ctx).files.count(path) > 0; }

}  // namespace

FileOps MemFsOps(MemFs& fs) {
    return FileOps{ReadFile, ReplaceFile, AppendFile, FolderExists, CreateFolder, FileExists, &fs};
}
