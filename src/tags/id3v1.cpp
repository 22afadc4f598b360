// ID3v1 and ID3v1.1 tags: the last 128 bytes of the file, completing the record's empty slots.
#include <cstring>
#include <string>

#include "base/utf.h"
#include "tags/id3.h"
#include "tags/id3_store.h"
#include "tags/id3v1_edit.h"

namespace {

constexpr uint32_t kTagBytes = 128;

// The stored text without trailing spaces (writers pad with spaces as well as NULs).
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

int Id3v1Parse(Id3Tags& tags, Id3AnsiDecoder ansi) {
    Id3v1Fields stored;
    if (!Id3v1ReadStored(tags.id3v1Raw, stored)) return 0;
    const struct {
        int slot;
        const std::string& text;
    } texts[] = {
        {kTagTitle, stored.title},     {kTagArtist, stored.artist}, {kTagAlbum, stored.album},
        {kTagComment, stored.comment}, {kTagYear, stored.year},
    };
    for (const auto& t : texts) {
        if (tags.tagText[t.slot]) continue;
        const std::string_view text = Trimmed(t.text);
        if (!text.empty())
            (void)Id3StoreText(tags.tagText[t.slot], (ansi ? ansi : Cp1252ToWide)(text));
    }
    if (!tags.tagText[kTagTrack] && stored.track != 0)
        (void)Id3StoreText(tags.tagText[kTagTrack], std::to_wstring(stored.track));
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
