// Building, reading and writing the ID3v1 tag for the tag editor.
#include "tags/id3v1_edit.h"

#include <cstring>

#include "tags/id3.h"

namespace {

constexpr uint32_t kTagBytes = 128;
constexpr int kGenreCount = 192;  // numbers 0..191 have names

// Where each text lies in the 128 bytes.
struct TextField {
    std::string Id3v1Fields::*text;
    size_t offset, width;
};
constexpr TextField kTextFields[] = {
    {&Id3v1Fields::title, 3, 30}, {&Id3v1Fields::artist, 33, 30}, {&Id3v1Fields::album, 63, 30},
    {&Id3v1Fields::year, 93, 4},  {&Id3v1Fields::comment, 97, 30},
};
constexpr size_t kCommentWithTrack = 28;  // ID3v1.1: bytes 125 and 126 hold the track

}  // namespace

bool Id3v1ReadStored(const uint8_t raw[128], Id3v1Fields& out) {
    out = Id3v1Fields{};
    if (std::memcmp(raw, "TAG", 3) != 0) return false;
    for (const TextField& f : kTextFields) {
        std::string_view text(reinterpret_cast<const char*>(raw) + f.offset, f.width);
        out.*f.text = std::string(text.substr(0, text.find('\0')));
    }
    if (raw[125] == 0 && raw[126] != 0) out.track = raw[126];
    return true;
}

bool Id3v1ToFields(const uint8_t raw[128], Id3v1Fields& out) {
    if (!Id3v1ReadStored(raw, out)) return false;
    int value = 0;
    bool digits = !out.year.empty();
    for (char c : out.year) {
        if (c < '0' || c > '9') digits = false;
        else value = value * 10 + (c - '0');
    }
    if (!digits || value == 0) out.year.clear();
    if (raw[127] < kGenreCount) {
        for (wchar_t c : Id3GenreName(raw[127])) out.genre += static_cast<char>(c);  // ASCII
    }
    return true;
}

bool Id3v1Build(const Id3v1Fields& in, uint8_t out[128]) {
    std::memset(out, 0, kTagBytes);
    std::memcpy(out, "TAG", 3);
    const int track = in.track > 0 && in.track <= 255 ? in.track : 0;
    for (const TextField& f : kTextFields) {
        const std::string& text = in.*f.text;
        const size_t width =
            f.text == &Id3v1Fields::comment && track > 0 ? kCommentWithTrack : f.width;
        std::memcpy(out + f.offset, text.data(), text.size() < width ? text.size() : width);
    }
    if (track > 0) {
        out[125] = 0;
        out[126] = static_cast<uint8_t>(track);
    }
    out[127] = static_cast<uint8_t>(Id3GenreNumber(in.genre));
    return !(in.title.empty() && in.artist.empty() && in.album.empty() && in.year.empty() &&
             in.comment.empty() && track == 0 && out[127] == 255);
}

bool Id3v1Apply(const Id3v1File& f, const uint8_t* tag) {
    uint64_t size = 0;
    if (!f.size(f.ctx, size)) return false;
    bool tagged = false;
    if (size >= kTagBytes) {
        uint8_t last[3];
        if (!f.readAt(f.ctx, size - kTagBytes, last, 3)) return false;
        tagged = std::memcmp(last, "TAG", 3) == 0;
    }
    if (!tag) return !tagged || f.truncate(f.ctx, size - kTagBytes);
    if (tagged) return f.writeAt(f.ctx, size - kTagBytes, tag, kTagBytes);
    if (f.writeAt(f.ctx, size, tag, kTagBytes)) return true;
    (void)f.truncate(f.ctx, size);  // a part-written tag must not stay behind
    return false;
}
