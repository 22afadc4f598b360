// Reads arbitrary bytes as a track log. Besides not crashing: every record read writes back to
// bytes that read again as that one record; the trimmed file is a tail of the input; the
// history lists no path twice; the cleanup that keeps everything changes nothing it could read.
#include <algorithm>
#include <cstdlib>

#include "log/track_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LogRead read = LogParse(bytes);
    for (const LogRecord& r : read.records) {
        const std::string again = LogRecordBytes(r);
        const LogRead back = LogParse(again);
        if (back.records.size() != 1 || back.skipped != 0 ||
            LogRecordBytes(back.records[0]) != again)
            std::abort();
        (void)LogRow(r, LocalTime{});
    }
    std::string trimmed;
    if (LogTrimmed(bytes, 1 + size % 4, trimmed) &&
        (trimmed.size() >= size || bytes.substr(size - trimmed.size()) != trimmed))
        std::abort();
    const auto tracks = LogHistoryTracks(bytes, 30);
    for (size_t i = 0; i < tracks.size(); ++i)
        if (std::count(tracks.begin(), tracks.end(), tracks[i]) != 1) std::abort();
    const LogCleanup all = LogClean(
        bytes, [](void*, const std::wstring&) { return true; }, nullptr);
    if (all.invalid != 0 || all.kept.size() < size - std::min<size_t>(size, 2)) std::abort();
    return 0;
}
