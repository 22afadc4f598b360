// ByteReader tables over memory and over C stdio files. The stdio reader serves the native
// probes; the program itself reads through the Win32 handle reader of mpeg_file_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "audio/mpeg_info.h"

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
