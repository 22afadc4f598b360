// Walking an ID3v2 tag's frames for the read-only view and writing the view as RTF.
#include "tags/id3v2_view.h"

#include <cstring>

#include "base/text.h"
#include "tags/id3v2_frames.h"

namespace {

constexpr size_t kTagHeader = 10;
constexpr size_t kViewRoom = 9900;        // characters the view's text holds
constexpr uint32_t kShownMin = 4;         // frame sizes shown: 4 ..
constexpr uint32_t kShownMax = 2999;      // .. 2,999 bytes
constexpr uint32_t kPictureNoted = 100;   // smaller pictures are not mentioned

bool IdStarts(const std::string& id, const char* prefix) {
    return id.compare(0, std::strlen(prefix), prefix) == 0;
}

// Where a shown frame's text begins in its body, or npos when the frame is not shown.
size_t TextStart(const std::string& id, const uint8_t* body, size_t size) {
    size_t at;
    if (IdStarts(id, "COM") || id == "USLT" || id == "ULT") {
        at = 4;  // encoding byte and language
    } else if (IdStarts(id, "T")) {
        at = 1;  // encoding byte
        if (IdStarts(id, "TXX")) {
            while (at < size && body[at] != 0) ++at;  // the description
            if (at < size) ++at;
        }
    } else if (IdStarts(id, "W")) {
        at = 0;
    } else {
        return std::string::npos;
    }
    if (at + 3 <= size && body[at] == 0xEF && body[at + 1] == 0xBB && body[at + 2] == 0xBF)
        at += 3;
    return at <= size ? at : std::string::npos;
}

// The printable bytes of a text, split into lines at CR, LF or CR LF after its first three
// bytes.
std::vector<std::string> TextLines(const uint8_t* text, size_t len) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < len; ++i) {
        const uint8_t c = text[i];
        if ((c == '\r' || c == '\n') && i >= 3) {
            if (c == '\r' && i + 1 < len && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else if (c >= 0x20 && c <= 0xFD) {
            lines.back() += static_cast<char>(c);
        }
    }
    return lines;
}

// Characters a frame adds to the view's text: id, tab, lines, a tab before each further line
// and a line break after each line.
size_t ShownLength(const Id3v2ViewFrame& f) {
    size_t n = f.id.size() + 1;
    for (const std::string& line : f.lines) n += line.size() + 2;
    return n + (f.lines.size() - 1);
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (unsigned char c : text) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x80 || c < 0x20) {
            out += Format("\\'%02x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
}

}  // namespace

Id3v2View Id3v2BuildView(const uint8_t* data, size_t len, uint32_t tagSize) {
    Id3v2View view;
    if (tagSize == 0 || len < kTagHeader) return view;
    view.tagSize = tagSize;
    view.version = data[3];
    if (view.version < 2 || view.version > 4) return view;
    const size_t end = len < tagSize ? len : tagSize;
    const size_t header = Id3v2FrameHeaderBytes(view.version);
    const size_t idLen = view.version == 2 ? 3 : 4;
    size_t used = 0;
    Id3v2WalkFrames(data, end, view.version, [&](const Id3v2Frame& f) {
        Id3v2ViewFrame frame;
        frame.id.assign(reinterpret_cast<const char*>(f.id), idLen);
        // A frame header declares 32 bits at most.
        const uint32_t size = static_cast<uint32_t>(f.size);
        if (IdStarts(frame.id, "APIC") || IdStarts(frame.id, "PIC")) {
            // The frame's size less the header's: what the picture frame holds.
            view.pictureSize = size > header ? size - static_cast<uint32_t>(header) : 0;
        } else if (f.whole && size >= kShownMin && size <= kShownMax && used + size < kViewRoom) {
            const size_t at = TextStart(frame.id, f.body, size);
            if (at != std::string::npos) {
                frame.lines = TextLines(f.body + at, size - at);
                used += ShownLength(frame);
                view.frames.push_back(std::move(frame));
            }
        }
        return true;
    });
    return view;
}

std::string Id3v2ViewRtf(const Id3v2View& view) {
    std::string out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\fs18 ";
    if (view.version == 0) {
        AppendEscaped(out, "No ID3v2 tag");
        return out + "\\par}";
    }
    out += "\\b ";
    AppendEscaped(out, Format("ID3v2.%d raw strings", view.version));
    out += "\\b0\\par\\par ";
    for (const Id3v2ViewFrame& f : view.frames) {
        out += "\\b ";
        AppendEscaped(out, f.id);
        out += "\\b0\\tab ";
        for (size_t i = 0; i < f.lines.size(); ++i) {
            if (i > 0) out += "\\tab ";
            AppendEscaped(out, f.lines[i]);
            out += "\\par ";
        }
    }
    std::string tail = Format("Tag size: %u KB", view.tagSize / 1024);
    if (view.pictureSize > kPictureNoted) tail += Format(", picture: %u KB", view.pictureSize / 1024);
    out += "\\par ";
    AppendEscaped(out, tail);
    return out + "\\par}";
}

uint32_t Id3v2TagSize(const uint8_t head[10]) {
    if (std::memcmp(head, "ID3", 3) != 0 || head[3] < 2 || head[3] > 4) return 0;
    if ((head[6] | head[7] | head[8] | head[9]) & 0x80) return 0;
    const uint32_t body = (uint32_t{head[6]} << 21) | (uint32_t{head[7]} << 14) |
                          (uint32_t{head[8]} << 7) | head[9];
    const bool footer = head[3] == 4 && (head[5] & 0x10);
    return body + 10 + (footer ? 10 : 0);
}
