// The request router: the bytes one recv gave in, the action and the reply out. There is no
// parsing: the text is searched for a fixed list of substrings in a fixed order and the first
// hit decides, so "/res" anywhere (a Referer, say) wins over the path itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kHttpRequestMax = 5000;  // one recv of at most this much is all that is read

enum class HttpReply : uint8_t {
    None,        // close without a reply (no known substring, no "GET")
    NoContent,   // 204
    Page,        // the control page
    Playlist,    // the .m3u pointing at the stream
    StreamHead,  // HEAD of the stream: the short audio/mpeg header, then close
    Stream,      // the connection is handed to the stream
};

struct HttpRoute {
    HttpReply reply = HttpReply::None;
    unsigned command = 0;  // main-window command to send first, 0 none
    int volume = -1;       // the volume to set first, -1 none
};

// Searches the text up to its first NUL byte (binary garbage ends there, as for any C text).
HttpRoute HttpRouteRequest(const uint8_t* data, size_t len);

// The replies, byte for byte.
extern const char kHttpNoContent[];
extern const char kHttpStreamHead[];
extern const char kHttpStreamHeader[];
std::string HttpPageReply(const std::string& pageUtf8);
std::string HttpPlaylistReply(const std::string& address);
