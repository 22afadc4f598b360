// ID3v2.2/2.3/2.4 frames into the tag slots and the picture of an Id3Tags record.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/utf.h"
#include "tags/id3.h"
#include "tags/id3_store.h"
#include "tags/id3v2_frames.h"

namespace {

constexpr int kNoSlot = -1;
constexpr int kPictureSlot = -2;

// The frames read, by their 2.3/2.4 and 2.2 identifiers. The first occurrence of a slot wins.
struct FrameName {
    const char* id4;
    const char* id3;  // null: no 2.2 frame
    int slot;
};
constexpr FrameName kFrameNames[] = {
    {"TPE1", "TP1", kTagArtist},   {"TALB", "TAL", kTagAlbum}, {"TIT2", "TT2", kTagTitle},
    {"TRCK", "TRK", kTagTrack},    {"TYER", "TYE", kTagYear},  {"TDRC", nullptr, kTagYear},
    {"APIC", "PIC", kPictureSlot},
};

// Compared both ways whatever the tag version: a 2.2 identifier is the first three bytes.
int SlotOf(const uint8_t* id) {
    for (const FrameName& f : kFrameNames)
        if (std::memcmp(id, f.id4, 4) == 0 || (f.id3 && std::memcmp(id, f.id3, 3) == 0))
            return f.slot;
    return kNoSlot;
}

// UTF-16 code units of the given byte order to wide text.
std::wstring Utf16ToWide(const uint8_t* p, size_t units, bool bigEndian) {
    if (!bigEndian) return Utf16LeToWide(p, units * 2);
    std::string swapped(units * 2, '\0');
    for (size_t i = 0; i < units; ++i) {
        swapped[2 * i] = static_cast<char>(p[2 * i + 1]);
        swapped[2 * i + 1] = static_cast<char>(p[2 * i]);
    }
    return Utf16LeToWide(reinterpret_cast<const uint8_t*>(swapped.data()), swapped.size());
}

// The text of a text frame (body[0] is the encoding), ending at its first NUL and at most
// kId3MaxText characters long. False for the frames that are too short for their encoding.
bool DecodeText(const uint8_t* body, size_t size, Id3AnsiDecoder ansi, std::wstring& out) {
    auto chars = [body](size_t from, size_t n) {
        return std::string_view(reinterpret_cast<const char*>(body) + from, n);
    };
    switch (body[0]) {
        case 1:  // UTF-16 after a byte-order mark; without 0xFE 0xFF it is read as little-endian
            if (size < 4) return false;
            out = Utf16ToWide(body + 3, (size - 3) / 2, body[1] == 0xFE && body[2] == 0xFF);
            break;
        case 2:  // UTF-16 big-endian without a mark
            if (size < 4) return false;
            out = Utf16ToWide(body + 1, (size - 1) / 2, true);
            break;
        case 3:
            if (size == 1) return false;
            out = Utf8ToWide(chars(1, size - 1));
            break;
        default:  // 0 (ISO-8859-1) and unknown encodings: the system code page
            out = (ansi ? ansi : Cp1252ToWide)(chars(1, size - 1));
            break;
    }
    out.resize(std::min(out.find(L'\0'), kId3MaxText));
    // Where wchar_t is UTF-16, the cut must not leave half a surrogate pair.
    if (sizeof(wchar_t) == 2 && out.size() == kId3MaxText &&
        (static_cast<uint32_t>(out.back()) & 0xFC00) == 0xD800)
        out.pop_back();
    return true;
}

// Offset of the picture bytes in an APIC/PIC body: after the encoding byte, the image format
// (three characters in 2.2, a NUL-terminated MIME type later), the picture type byte and the
// description with its terminator. May point at or past the end of the body.
size_t PictureOffset(const uint8_t* body, size_t size, int version) {
    const uint8_t encoding = body[0];
    size_t p = 1;
    if (version == 2) {
        p += 3;
    } else {
        while (p < size && body[p] != 0) ++p;
        ++p;
    }
    ++p;  // picture type
    if (encoding == 1 || encoding == 2) {
        if (encoding == 1 && p + 1 < size &&
            ((body[p] == 0xFF && body[p + 1] == 0xFE) || (body[p] == 0xFE && body[p + 1] == 0xFF)))
            p += 2;
        while (p + 1 < size && (body[p] != 0 || body[p + 1] != 0)) p += 2;
        p += 2;
    } else {
        while (p < size && body[p] != 0) ++p;
        ++p;
    }
    return p;
}

// Copies the picture bytes into the record; false when the copy cannot be allocated.
bool TakePicture(Id3Tags& tags, const uint8_t* body, size_t size, int version) {
    const size_t from = PictureOffset(body, size, version);
    if (from >= size) return true;  // a frame without picture bytes leaves nothing to keep
    auto* copy = new (std::nothrow) uint8_t[size - from];
    if (!copy) return false;
    std::memcpy(copy, body + from, size - from);
    tags.pictureData = copy;
    tags.pictureSize = static_cast<uint32_t>(size - from);
    return true;
}

constexpr size_t kTagHeaderBytes = 10;

// The whole tag's size, its header included, when h (kTagHeaderBytes long) is an ID3v2.2 to 2.4
// tag header: "ID3", the major version, a revision other than 0xFF, the flags and four syncsafe
// size bytes (seven bits each). 0 for anything else.
uint32_t TagBytes(const uint8_t* h) {
    if (std::memcmp(h, "ID3", 3) != 0 || h[3] < 2 || h[3] > 4 || h[4] == 0xFF) return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
    return static_cast<uint32_t>(kTagHeaderBytes) + (uint32_t{h[6]} << 21) +
           (uint32_t{h[7]} << 14) + (uint32_t{h[8]} << 7) + uint32_t{h[9]};
}

}  // namespace

uint64_t Id3v2FrameSize(const uint8_t* f, int version) {
    if (version == 4)
        return uint64_t{f[4] & 0x7Fu} << 21 | uint64_t{f[5] & 0x7Fu} << 14 |
               uint64_t{f[6] & 0x7Fu} << 7 | uint64_t{f[7] & 0x7Fu};
    if (version == 3)
        return uint64_t{f[4]} << 24 | uint64_t{f[5]} << 16 | uint64_t{f[6]} << 8 | f[7];
    return uint64_t{f[3]} << 16 | uint64_t{f[4]} << 8 | f[5];
}

void Id3v2Parse(Id3Tags& tags, const uint8_t* data, size_t len, const Id3Options& opt) {
    if (len < kTagHeaderBytes) return;
    const uint32_t tagBytes = TagBytes(data);
    if (tagBytes == 0) return;
    len = std::min<size_t>(len, tagBytes);  // what follows the tag is not the tag's
    const int version = data[3];

    // The tag header's flags are not looked at: an extended header is walked like a frame and
    // unsynchronisation is not undone.
    Id3v2WalkFrames(data, len, version, [&](const Id3v2Frame& f) {
        if (!f.whole) return false;
        const size_t size = static_cast<size_t>(f.size);
        const int slot = SlotOf(f.id);
        if (slot == kPictureSlot) {
            if (opt.readPictures && !tags.pictureData && !TakePicture(tags, f.body, size, version))
                return false;
        } else if (slot != kNoSlot && !tags.tagText[slot]) {
            std::wstring text;
            if (DecodeText(f.body, size, opt.ansi, text) && !Id3StoreText(tags.tagText[slot], text))
                return false;
        }
        return true;
    });
}

void Id3v2Read(Id3Tags& tags, const ByteReader& in, uint32_t audioStart, uint32_t fileSize,
               const Id3Options& opt) {
    // The buffer holds the tag as declared, but never more than lies before the audio or in the
    // file: a header that claims more cannot make it larger than the file.
    const uint32_t limit = std::min(audioStart, fileSize);
    uint8_t header[kTagHeaderBytes];
    if (limit < kTagHeaderBytes ||
        in.readAt(in.ctx, 0, header, kTagHeaderBytes) != static_cast<int>(kTagHeaderBytes))
        return;
    const uint32_t want = std::min(TagBytes(header), limit);
    if (want == 0) return;
    std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[want]);
    if (!buf) return;
    std::memcpy(buf.get(), header, kTagHeaderBytes);
    constexpr uint32_t kChunk = 1u << 20;  // readAt counts in int
    uint32_t got = kTagHeaderBytes;
    while (got < want) {
        const int n = static_cast<int>(std::min(want - got, kChunk));
        const int r = in.readAt(in.ctx, got, buf.get() + got, n);
        if (r <= 0 || r > n) break;
        got += static_cast<uint32_t>(r);
    }
    Id3v2Parse(tags, buf.get(), got, opt);
}
