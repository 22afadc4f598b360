#include "http/http_router.h"

#include <cstring>
#include <string_view>

#include "base/command_ids.h"

const char kHttpNoContent[] = "HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n";
const char kHttpStreamHead[] = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
const char kHttpStreamHeader[] =
    "HTTP/1.0 200 OK\r\nAccept-Ranges: none\r\nContent-Type: audio/mpeg\r\n"
    "Cache-Control: no-cache, no-store\r\nPragma: no-cache\r\n"
    "Expires: Mon, 26 Jul 1997 05:00:00 GMT\r\n\r\n";

namespace {
struct CommandPath {
    const char* text;
    unsigned command;
    HttpReply reply;
};

// The order is the rule: earlier entries win wherever they occur in the request. "/v0" sits
// between "/fwd" and "/vdn"; it is handled apart because it carries a digit.
constexpr CommandPath kBefore[] = {
    {"/res", kCmdStopResume, HttpReply::NoContent},
    {"/prv", kCmdPrevTrack, HttpReply::Page},
    {"/nxt", kCmdNextTrack, HttpReply::Page},
    {"/rew", kCmdRewind, HttpReply::Page},
    {"/fwd", kCmdFastForward, HttpReply::Page},
};
constexpr CommandPath kAfter[] = {
    {"/vdn", kCmdVolumeDown, HttpReply::NoContent},
    {"/vup", kCmdVolumeUp, HttpReply::NoContent},
    {"/dprv", kCmdDirSearchBack, HttpReply::Page},
    {"/dnxt", kCmdDirSearchForward, HttpReply::Page},
    {"/home", kCmdGoToCurrent, HttpReply::Page},
};

// The volume steps of "/v0" and one digit: 3000, 11000, ... 59000 for 0..7. The digits 8 and 9
// would pass the 16-bit volume field; the page never sends them and they give full volume.
int VolumeStep(std::string_view text, size_t at) {
    const size_t digit = at + 3;
    if (digit >= text.size() || text[digit] < '0' || text[digit] > '9') return 3000;
    const int v = (text[digit] - '0') * 8000 + 3000;
    return v > 65535 ? 65535 : v;
}
}  // namespace

HttpRoute HttpRouteRequest(const uint8_t* data, size_t len) {
    const void* nul = len ? std::memchr(data, 0, len) : nullptr;
    if (nul) len = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data);
    const std::string_view text(reinterpret_cast<const char*>(data), len);
    auto has = [&](const char* s) { return text.find(s) != std::string_view::npos; };

    HttpRoute r;
    for (const CommandPath& p : kBefore)
        if (has(p.text)) return HttpRoute{p.reply, p.command, -1};
    if (const size_t at = text.find("/v0"); at != std::string_view::npos) {
        r.reply = HttpReply::NoContent;
        r.volume = VolumeStep(text, at);
        return r;
    }
    for (const CommandPath& p : kAfter)
        if (has(p.text)) return HttpRoute{p.reply, p.command, -1};
    if (has("/Zuvo.mp3")) {
        r.reply = has("HEAD") ? HttpReply::StreamHead : HttpReply::Stream;
    } else if (has("/Zuvo.m3u")) {
        r.reply = HttpReply::Playlist;
    } else if (has("GET")) {
        r.reply = HttpReply::Page;
    }
    return r;
}

std::string HttpPageReply(const std::string& page) {
    std::string out = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) +
                      "\r\nConnection: close\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
    return out + page;
}

std::string HttpPlaylistReply(const std::string& address) {
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: audio/x-mpegurl\r\n\r\n"
           "#EXTM3U\r\n#EXTINF:-1,Zuvo MP3 Stream\r\nhttp://" +
           address + "/Zuvo.mp3\r\n";
}
