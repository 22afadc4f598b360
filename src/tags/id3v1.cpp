// ID3v1 and ID3v1.1 tags: the last 128 bytes of the file.
#include <cstring>
#include <string>

#include "base/utf.h"
#include "tags/id3.h"
#include "tags/id3_store.h"

namespace {

constexpr uint32_t kTagBytes = 128;

struct V1Field {
    int slot;
    int offset;
    int length;
};
constexpr V1Field kFields[] = {
    {kTagTitle, 3, 30},    {kTagArtist, 33, 30}, {kTagAlbum, 63, 30},
    {kTagComment, 97, 30}, {kTagYear, 93, 4},
};

// A fixed-width field up to its first NUL, without trailing spaces.
std::string_view FieldText(const uint8_t* raw, const V1Field& f) {
    std::string_view text(reinterpret_cast<const char*>(raw) + f.offset, f.length);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

int Id3v1Parse(Id3Tags& tags, Id3AnsiDecoder ansi) {
    const uint8_t* raw = tags.id3v1Raw;
    if (std::memcmp(raw, "TAG", 3) != 0) return 0;
    for (const V1Field& f : kFields) {
        if (tags.tagText[f.slot]) continue;
        std::string_view text = FieldText(raw, f);
        if (!text.empty())
            (void)Id3StoreText(tags.tagText[f.slot], (ansi ? ansi : Cp1252ToWide)(text));
    }
    // ID3v1.1: a zero byte 125 ends the comment early and byte 126 is the track number.
    if (!tags.tagText[kTagTrack] && raw[125] == 0 && raw[126] != 0)
        (void)Id3StoreText(tags.tagText[kTagTrack], std::to_wstring(raw[126]));
    return 1;
}

int Id3v1Read(Id3Tags& tags, const ByteReader& in, uint32_t fileSize, Id3AnsiDecoder ansi) {
    std::memset(tags.id3v1Raw, 0, sizeof tags.id3v1Raw);
    if (fileSize < kTagBytes) return 0;
    const int got = in.readAt(in.ctx, fileSize - kTagBytes, tags.id3v1Raw, kTagBytes);
    if (got != static_cast<int>(kTagBytes)) {
        std::memset(tags.id3v1Raw, 0, sizeof tags.id3v1Raw);
        return 0;
    }
    return Id3v1Parse(tags, ansi);
}
