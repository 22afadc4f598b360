// Lists and sorts a 10,000-entry folder into a TrackList: once from memory (the core alone)
// and once from a real folder on disk read with readdir/stat, median of five runs each.
// Usage: list_bench <folder with the files>; list_bench.sh builds it and times ls -f | sort.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "library/list_text.h"
#include "library/playlist_file.h"
#include "library/track_list.h"

namespace {
struct Bench {
    std::vector<DirEntry> memory;
    std::string realFolder;
    bool fromDisk = false;
};

bool Enumerate(void* ctx, const std::wstring&, const std::wstring&, DirEntryFn fn, void* cb) {
    auto* b = static_cast<Bench*>(ctx);
    if (!b->fromDisk) {
        for (const DirEntry& e : b->memory)
            if (!fn(cb, e)) break;
        return true;
    }
    DIR* d = opendir(b->realFolder.c_str());
    if (!d) return false;
    while (dirent* de = readdir(d)) {
        std::string name = de->d_name;
        struct stat st {};
        if (stat((b->realFolder + "/" + name).c_str(), &st) != 0) continue;
        DirEntry e;
        e.name.assign(name.begin(), name.end());
        e.attributes = S_ISDIR(st.st_mode) ? uint32_t{EntryAttr::Directory} : 0u;
        e.size = static_cast<uint64_t>(st.st_size);
        std::tm tm{};
        localtime_r(&st.st_mtime, &tm);
        e.written = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
        e.created = e.written;
        if (!fn(cb, e)) break;
    }
    closedir(d);
    return true;
}
bool SetCurrent(void*, const std::wstring&) {
    return true;
}
uint32_t Tick(void*) {
    return 1;
}
int Month(void*) {
    return 3;
}

double MedianMs(Bench& b, TrackList& list, const ListEnv& env) {
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        auto t0 = std::chrono::steady_clock::now();
        LoadList(list, L"C:\\Bench", env);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    (void)b;
    std::sort(ms.begin(), ms.end());
    return ms[2];
}
// A play list of about 2 MB with LF line ends only, read into rows; median of five.
void PlayListBench(const Settings& s, const std::string& playable) {
    std::string bytes;
    for (int i = 0; i < 120000; ++i) bytes += "Track " + std::to_string(100000 + i) + ".mp3\n";
    PlayListEnv env;
    env.s = &s;
    env.playable = &playable;
    std::vector<double> ms;
    size_t rows = 0;
    for (int run = 0; run < 5; ++run) {
        TrackList list;
        auto t0 = std::chrono::steady_clock::now();
        ReadPlayListBytes(list, L"C:\\L\\x.m3u", bytes, env);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        rows = list.rows.size();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("play list of %zu bytes (LF lines): %zu rows, median %.2f ms\n", bytes.size(), rows,
                ms[2]);
}
}  // namespace

int main(int argc, char** argv) {
    Bench b;
    for (int i = 0; i < 10000; ++i) {
        DirEntry e;
        e.name = L"Track " + std::to_wstring((i * 7919) % 10000) + L".mp3";
        e.size = 3000000 + static_cast<uint64_t>(i);
        e.written = {2026, 1 + i % 12, 1 + i % 28, 0, i % 24, i % 60, 0};
        b.memory.push_back(e);
    }
    FolderOps ops{Enumerate, SetCurrent, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr,   nullptr,    nullptr, Tick,    Month,   &b};
    Settings s;
    s.file_sort = kSortName;
    s.list_style = ListStyle::NaturalOrder;
    s.control_flags = ControlFlag::FoldersInFileView;
    std::string playable(kMpegExtensions);
    ListEnv env;
    env.s = &s;
    env.fs = &ops;
    env.playable = &playable;
    TrackList list;
    list.window = &list;

    std::printf("memory folder: %zu rows, natural name sort, median %.2f ms\n", b.memory.size(),
                MedianMs(b, list, env));
    s.file_sort = kSortDate | SortBits::Descending;
    std::printf("memory folder: date sort, median %.2f ms\n", MedianMs(b, list, env));
    PlayListBench(s, playable);
    if (argc > 1) {
        b.fromDisk = true;
        b.realFolder = argv[1];
        s.file_sort = kSortName;
        double t = MedianMs(b, list, env);
        std::printf("disk folder %s: %zu rows, readdir+stat+sort, median %.2f ms\n", argv[1],
                    list.rows.size(), t);
    }
    return 0;
}
