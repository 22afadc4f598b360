#include "base/byte_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

int MemoryReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    const auto* src = static_cast<const MemorySource*>(ctx);
    if (n < 0) return -1;
    if (offset >= src->size) return 0;
    const size_t count = std::min(static_cast<size_t>(n), src->size - offset);
    std::memcpy(dst, src->data + offset, count);
    return static_cast<int>(count);
}

int StdioReadAt(void* ctx, uint32_t offset, void* dst, int n) {
    auto* f = static_cast<std::FILE*>(ctx);
    if (n < 0) return -1;
    // fseek takes a long, which has 32 bits on Windows: an offset past 2 GB is reached in two
    // steps.
    const long first = static_cast<long>(std::min<uint64_t>(offset, LONG_MAX));
    if (std::fseek(f, first, SEEK_SET) != 0) return -1;
    if (offset > static_cast<uint32_t>(first) &&
        std::fseek(f, static_cast<long>(offset - static_cast<uint32_t>(first)), SEEK_CUR) != 0)
        return -1;
    const size_t got = std::fread(dst, 1, static_cast<size_t>(n), f);
    if (got < static_cast<size_t>(n) && std::ferror(f)) return -1;
    return static_cast<int>(got);
}

}  // namespace

ByteReader MemoryReader(const MemorySource& src) {
    return ByteReader{MemoryReadAt, const_cast<MemorySource*>(&src)};
}

ByteReader StdioReader(std::FILE* f) {
    return ByteReader{StdioReadAt, f};
}

int64_t StdioFileSize(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    return std::ftell(f);
}
