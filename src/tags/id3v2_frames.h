// The frames of an ID3v2.2/2.3/2.4 tag, walked from the tag's bytes: the one walk that the
// tag reader and the editor's raw view share.
#pragma once
#include <cstddef>
#include <cstdint>

struct Id3v2Frame {
    const uint8_t* id;    // 3 bytes in version 2, else 4
    uint64_t size;        // the body size the frame header declares
    const uint8_t* body;  // right after the frame header
    bool whole;           // the declared body lies within the walked bytes
};

// The frame header's length: 6 bytes in version 2, 10 later.
constexpr size_t Id3v2FrameHeaderBytes(int version) { return version == 2 ? 6 : 10; }

// The body size in a frame header: 24 bits in version 2, 32 in version 3, syncsafe 28 bits in
// version 4.
uint64_t Id3v2FrameSize(const uint8_t* header, int version);

// Calls visit(frame) for each frame of the tag in data[0, end) (the 10-byte tag header first):
// from byte 10 while a frame header fits. The walk ends at a frame of size 0, after a frame
// whose body runs past end (passed with whole false: its header is real, its body is not
// there), or when visit returns false.
template <typename Visit>
void Id3v2WalkFrames(const uint8_t* data, size_t end, int version, Visit visit) {
    const size_t header = Id3v2FrameHeaderBytes(version);
    for (size_t pos = 10; pos + header <= end;) {
        const uint64_t size = Id3v2FrameSize(data + pos, version);
        if (size == 0) return;
        const size_t bodyAt = pos + header;
        const bool whole = size <= end - bodyAt;
        if (!visit(Id3v2Frame{data + pos, size, data + bodyAt, whole}) || !whole) return;
        pos = bodyAt + static_cast<size_t>(size);
    }
}
