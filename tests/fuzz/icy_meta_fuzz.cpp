// Reads arbitrary bytes as an ICY metadata block and as a recorded stream. The title has no
// control characters and comes from at most 190 bytes; the recorder, fed the same bytes in
// blocks of varying size with the title changing, writes every byte exactly once, held-back
// frame starts included.
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "audio/bass_core.h"
#include "audio/bass_record.h"

namespace {
struct Sink {
    std::map<std::wstring, size_t> sizes;
};
bool Append(void* ctx, const std::wstring& path, const uint8_t*, size_t n, uint64_t* size) {
    auto& s = static_cast<Sink*>(ctx)->sizes[path];
    s += n;
    *size = s;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    std::wstring title;
    if (IcyStreamTitle(std::string_view(bytes.data(), bytes.size()), title)) {
        for (wchar_t c : title)
            if (static_cast<uint32_t>(c) < 0x20) std::abort();
        if (title.size() > 190) std::abort();
    }
    Sink sink;
    RecordSink rs{&sink, Append};
    Recorder r;
    RecordStart(r, L"F\\", L"start", size % 2 ? BassCtype::Mp3 : BassCtype::Wma, false);
    size_t p = 0, fed = 0;
    int block = 0;
    while (p < size) {
        // Block sizes from the data itself, scaled up so that the buffer fills now and then.
        size_t n = (static_cast<size_t>(data[p]) + 1) * 700;
        if (n > size - p) n = size - p;
        const std::wstring t = L"T" + std::to_wstring(block++ / 5);
        if (!RecordFeed(r, data + p, n, L"S", t, rs)) std::abort();
        p += n;
        fed += n;
    }
    if (!RecordFinish(r, L"S", L"end", rs)) std::abort();
    size_t written = 0;
    for (const auto& [path, n] : sink.sizes) written += n;
    if (written != fed) std::abort();
    return 0;
}
