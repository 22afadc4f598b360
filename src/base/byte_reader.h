// The table through which the MPEG scanner and the tag readers reach a file, and ByteReader
// tables over memory and over C stdio files. The stdio reader serves the native probes; the
// program itself reads through the Win32 handle reader of audio/mpeg_file_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads n bytes at offset into dst; returns the number of bytes read (fewer at the end of the
// file) or -1 on error. The glue reads an open file, tests and fuzzers read memory.
struct ByteReader {
    int (*readAt)(void* ctx, uint32_t offset, void* dst, int n);
    void* ctx;
};

// Bytes in memory, owned by the caller, who keeps them and this record alive while reading.
struct MemorySource {
    const uint8_t* data;
    size_t size;
};

ByteReader MemoryReader(const MemorySource& src);

// Reads an open stdio file (ctx = the FILE*, not owned).
ByteReader StdioReader(std::FILE* f);

// The size of an open stdio file, or -1 when it cannot be told (or, where long has 32 bits,
// exceeds 2 GB).
int64_t StdioFileSize(std::FILE* f);
