#include "fake_folders.h"

namespace {
FakeFolders& Fake(void* ctx) { return *static_cast<FakeFolders*>(ctx); }

std::wstring Key(std::wstring path) {
    while (path.size() > 2 && path.back() == L'\\') path.pop_back();
    for (wchar_t& c : path)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return path;
}

bool Enumerate(void* ctx, const std::wstring& folder, const std::wstring& pattern, DirEntryFn fn,
               void* cbCtx) {
    FakeFolders& f = Fake(ctx);
    const std::wstring key = Key(folder);
    if (key.size() != 2 && !(f.entries.count(key) && (f.entries[key].attributes & EntryAttr::Directory)))
        return false;
    const std::wstring ext = pattern == L"*.*" ? L"" : Key(pattern.substr(1));
    if (key.size() > 2) {
        for (const wchar_t* dot : {L".", L".."}) {
            DirEntry d;
            d.name = dot;
            d.attributes = EntryAttr::Directory;
            if (!fn(cbCtx, d)) return true;
        }
    }
    const std::wstring prefix = key + L"\\";
    for (auto it = f.entries.lower_bound(prefix); it != f.entries.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.find(L'\\', prefix.size()) != std::wstring::npos) continue;
        const std::wstring name = Key(it->second.name);
        if (!ext.empty() && (name.size() < ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext)))
            continue;
        if (!fn(cbCtx, it->second)) break;
    }
    return true;
}

bool SetCurrent(void* ctx, const std::wstring& path) {
    FakeFolders& f = Fake(ctx);
    const std::wstring key = Key(path);
    auto it = f.entries.find(key);
    if (key.size() != 2 && (it == f.entries.end() || !(it->second.attributes & EntryAttr::Directory)))
        return false;
    f.current = path;
    return true;
}

int PathType(void* ctx, const std::wstring& path) {
    FakeFolders& f = Fake(ctx);
    auto it = f.entries.find(Key(path));
    if (it == f.entries.end()) return 0;
    return (it->second.attributes & EntryAttr::Directory) ? 2 : 1;
}

std::vector<DriveInfo> Drives(void* ctx) { return Fake(ctx).drives; }

bool Shell(void* ctx, ShellFolder which, std::wstring& path, std::wstring& name) {
    FakeFolders& f = Fake(ctx);
    auto it = f.shell.find(which);
    if (it == f.shell.end()) return false;
    path = it->second.first;
    name = it->second.second;
    return true;
}

int Servers(void* ctx, std::vector<std::wstring>& out) {
    out = Fake(ctx).servers;
    return Fake(ctx).serverStatus;
}
int Connect(void*, const std::wstring&) { return 0; }
bool Shares(void* ctx, const std::wstring& server, std::vector<ShareEntry>& out) {
    out = Fake(ctx).shares[server];
    return true;
}
void Log(void* ctx, const char* text, int code) {
    Fake(ctx).errorLog.push_back(std::string(text) + " " + std::to_string(code));
}
// Like the platform's word sort on plain ASCII names: letters compare without case first, and
// of two names that differ only in case the lower-case one comes first.
int Collate(void*, const wchar_t* a, const wchar_t* b) {
    auto fold = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; };
    int tie = 0;
    for (; *a || *b; ++a, ++b) {
        if (fold(*a) != fold(*b)) return fold(*a) < fold(*b) ? -1 : 1;
        if (!tie && *a != *b) tie = *a > *b ? -1 : 1;
    }
    return tie;
}
uint32_t Tick(void*) { return 4242; }
int Month(void* ctx) { return Fake(ctx).month; }
}  // namespace

void FakeFolders::AddFolder(const std::wstring& path, uint32_t attributes) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2) AddFolder(path.substr(0, slash));
    if (path.size() <= 3) return;  // a drive root
    DirEntry& e = entries[Key(path)];
    if (e.name.empty() || attributes) {
        e.name = path.substr(slash + 1);
        e.attributes = EntryAttr::Directory | attributes;
    }
}

void FakeFolders::AddFile(const std::wstring& path, uint64_t size, uint32_t attributes, LocalTime written) {
    const size_t slash = path.find_last_of(L'\\');
    AddFolder(path.substr(0, slash));
    DirEntry e;
    e.name = path.substr(slash + 1);
    e.attributes = attributes;
    e.size = size;
    e.written = written;
    e.created = {2020, 1, 2, 4, 3, 4, 0};
    entries[Key(path)] = e;
}

FolderOps FakeFolderOps(FakeFolders& f) {
    return FolderOps{Enumerate, SetCurrent, PathType, Drives, Shell, Servers, Connect, Shares,
                     Log, Collate, Tick, Month, &f};
}
