// The header of a custom toolbar bitmap file: any bytes give a size in range or a refusal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/toolbar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int w = 0, h = 0, count = 0, imageW = 0;
    if (BmpHeaderSize(data, size, w, h)) {
        if (w <= 0 || h <= 0 || w > 65536 || h > 65536) abort();
        if (CustomBitmapImages(w, h, count, imageW) && imageW * count > w) abort();
    }
    return 0;
}
