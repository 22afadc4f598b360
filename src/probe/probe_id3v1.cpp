// zuvo-probe id3v1 FILE TITLE ARTIST ALBUM YEAR COMMENT TRACK GENRE: builds the tag as the tag
// editor's Save does and writes it at the end of FILE (replacing a tag there);
// "id3v1 --remove FILE" cuts the tag off as Remove does. Also id3v2-view FILE (below).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "probe/probe.h"
#include "tags/id3v1_edit.h"
#include "tags/id3v2_view.h"

namespace {

std::FILE* F(void* c) { return static_cast<std::FILE*>(c); }

bool Size(void* c, uint64_t& size) {
    if (std::fseek(F(c), 0, SEEK_END) != 0) return false;
    const long at = std::ftell(F(c));
    size = static_cast<uint64_t>(at);
    return at >= 0;
}
bool ReadAt(void* c, uint64_t pos, uint8_t* buf, uint32_t len) {
    return std::fseek(F(c), static_cast<long>(pos), SEEK_SET) == 0 &&
           std::fread(buf, 1, len, F(c)) == len;
}
bool WriteAt(void* c, uint64_t pos, const uint8_t* buf, uint32_t len) {
    return std::fseek(F(c), static_cast<long>(pos), SEEK_SET) == 0 &&
           std::fwrite(buf, 1, len, F(c)) == len && std::fflush(F(c)) == 0;
}
bool Truncate(void* c, uint64_t size) {
    return std::fflush(F(c)) == 0 && ftruncate(fileno(F(c)), static_cast<off_t>(size)) == 0;
}

}  // namespace

int ProbeId3v1(int argc, char** argv) {
    const bool remove = argc == 3 && std::strcmp(argv[1], "--remove") == 0;
    if (!remove && argc != 9) {
        std::fprintf(stderr, "usage: zuvo-probe id3v1 FILE TITLE ARTIST ALBUM YEAR COMMENT TRACK GENRE\n"
                             "       zuvo-probe id3v1 --remove FILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[remove ? 2 : 1], "r+b");
    if (!f) {
        std::perror(argv[remove ? 2 : 1]);
        return 1;
    }
    uint8_t tag[128];
    if (!remove) {
        Id3v1Fields in{argv[2], argv[3], argv[4], argv[5], argv[6], std::atoi(argv[7]), argv[8]};
        if (!Id3v1Build(in, tag)) {
            std::fclose(f);
            std::fprintf(stderr, "zuvo-probe: nothing entered\n");
            return 1;
        }
    }
    const Id3v1File file{f, Size, ReadAt, WriteAt, Truncate};
    const bool ok = Id3v1Apply(file, remove ? nullptr : tag);
    return std::fclose(f) == 0 && ok ? 0 : 1;
}

// zuvo-probe id3v2-view FILE: the tag editor's raw ID3v2 view of FILE as plain text: the
// heading, "ID<tab>line" for each shown frame (further lines indented by a tab), the sizes.
int ProbeId3v2View(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zuvo-probe id3v2-view FILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    uint8_t head[10] = {};
    const size_t got = std::fread(head, 1, sizeof head, f);
    const uint32_t tagSize = got == sizeof head ? Id3v2TagSize(head) : 0;
    std::vector<uint8_t> bytes(tagSize < kId3v2ViewReadMax ? tagSize : kId3v2ViewReadMax);
    std::rewind(f);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    const Id3v2View view = Id3v2BuildView(bytes.data(), bytes.size(), tagSize);
    if (view.version == 0) {
        std::printf("No ID3v2 tag\n");
        return 0;
    }
    std::printf("ID3v2.%d raw strings\n", view.version);
    for (const Id3v2ViewFrame& fr : view.frames) {
        for (size_t i = 0; i < fr.lines.size(); ++i)
            std::printf("%s\t%s\n", i == 0 ? fr.id.c_str() : "", fr.lines[i].c_str());
    }
    std::printf("Tag size: %u KB, picture: %u bytes\n", view.tagSize / 1024, view.pictureSize);
    return 0;
}
