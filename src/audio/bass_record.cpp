#include "audio/bass_record.h"

#include "audio/bass_core.h"

namespace {
bool Flush(Recorder& r, std::wstring_view station, std::wstring_view title,
           const RecordSink& sink, bool holdBack) {
    if (r.buf.empty()) return true;
    size_t cut = r.buf.size();
    if (holdBack && r.ctype != BassCtype::Wma) cut = LastFrameStart(r.buf.data(), r.buf.size());
    const std::wstring path = RecordingFileName(
        r.folder, station, r.noSeparation ? std::wstring_view(r.startText) : title, r.ctype);
    RecordWrite w;
    w.path = path;
    w.ok = cut == 0 || (sink.append && sink.append(sink.ctx, path, r.buf.data(), cut, &w.fileSize));
    if (!w.ok) {
        r.on = false;
        r.buf.clear();
        r.last = w;
        return false;
    }
    if (cut > 0) r.last = w;
    r.buf.erase(r.buf.begin(), r.buf.begin() + static_cast<std::ptrdiff_t>(cut));
    return true;
}
}  // namespace

const wchar_t* RecordingExtension(uint32_t ctype) {
    switch (ctype) {
    case BassCtype::Wma: return L".wma";
    case BassCtype::Ogg: return L".ogg";
    case BassCtype::Aac:
    case BassCtype::Mp4: return L".aac";
    default: return L".mp3";
    }
}

std::wstring RecordingFileName(std::wstring_view folder, std::wstring_view station,
                               std::wstring_view title, uint32_t ctype) {
    std::wstring name;
    if (!station.empty()) name = L"[" + std::wstring(station.substr(0, 20)) + L"] ";
    name += title;
    for (wchar_t& c : name) {
        if (static_cast<uint32_t>(c) < 0x20 || c == 0x7F ||
            std::wstring_view(L"?<>|;:*/\\\"").find(c) != std::wstring_view::npos)
            c = L' ';
    }
    return std::wstring(folder) + name + RecordingExtension(ctype);
}

size_t LastFrameStart(const uint8_t* buf, size_t n) {
    if (n < 2) return n;
    size_t i = n - 2;
    const size_t stop = i > kHoldBackSearch ? i - kHoldBackSearch : 0;
    for (;; --i) {
        if (buf[i] == 0xFF && (buf[i + 1] & 0xE0) == 0xE0) return i;
        if (i == stop) return n;
    }
}

void RecordStart(Recorder& r, std::wstring_view folder, std::wstring_view startText,
                 uint32_t ctype, bool noSeparation) {
    r.on = true;
    r.folder = folder;
    r.startText = startText;
    r.ctype = ctype;
    r.noSeparation = noSeparation;
    r.buf.clear();
    r.buf.reserve(kRecordBufferBytes);
    r.last = RecordWrite{};
}

bool RecordFeed(Recorder& r, const uint8_t* data, size_t n, std::wstring_view station,
                std::wstring_view title, const RecordSink& sink) {
    if (!r.on) return true;
    while (n > 0) {
        if (r.buf.size() + n <= kRecordBufferBytes) {
            r.buf.insert(r.buf.end(), data, data + n);
            return true;
        }
        if (!Flush(r, station, title, sink, true)) return false;
        // What was held back stays; the block goes in as far as it fits.
        size_t room = kRecordBufferBytes - r.buf.size();
        if (room == 0) {  // no frame start found in the whole buffer: write it all
            if (!Flush(r, station, title, sink, false)) return false;
            room = kRecordBufferBytes;
        }
        const size_t take = n < room ? n : room;
        r.buf.insert(r.buf.end(), data, data + take);
        data += take;
        n -= take;
    }
    return true;
}

bool RecordFinish(Recorder& r, std::wstring_view station, std::wstring_view title,
                  const RecordSink& sink) {
    if (!r.on) return true;
    const bool ok = Flush(r, station, title, sink, false);
    r.on = false;
    r.buf.clear();
    return ok;
}

double RecordedSeconds(uint64_t fileSize, double bps) {
    return bps > 0 ? static_cast<double>(fileSize) * 8.0 / bps : 0;
}
