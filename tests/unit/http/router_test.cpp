// The router's order of substrings and its replies, and serving one connection over a real
// socket pair: what the client receives byte for byte, which commands reach the window.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/command_ids.h"
#include "http/http_serve.h"

namespace {
struct RouteCase {
    std::string request;
    HttpReply reply;
    unsigned command;
    int volume;
};

TEST(HttpRouter, FirstSubstringInTheFixedOrderDecides) {
    const std::string referer = " HTTP/1.1\r\nHost: h\r\nReferer: http://h/";
    const RouteCase cases[] = {
        {"GET /res HTTP/1.1\r\n\r\n", HttpReply::NoContent, kCmdStopResume, -1},
        // "/res" is searched first anywhere, a Referer included.
        {"GET /prv" + referer + "res\r\n\r\n", HttpReply::NoContent, kCmdStopResume, -1},
        {"GET /prv HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdPrevTrack, -1},
        {"GET /nxt" + referer + "prv\r\n\r\n", HttpReply::Page, kCmdPrevTrack, -1},
        {"GET /nxt HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdNextTrack, -1},
        {"GET /rew HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdRewind, -1},
        {"GET /fwd HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdFastForward, -1},
        {"GET /v03 HTTP/1.1\r\n\r\n", HttpReply::NoContent, 0, 27000},
        {"GET /v07 HTTP/1.1\r\n\r\n", HttpReply::NoContent, 0, 59000},
        {"GET /v0x HTTP/1.1\r\n\r\n", HttpReply::NoContent, 0, 3000},
        {"GET /v0", HttpReply::NoContent, 0, 3000},
        {"GET /v09 HTTP/1.1\r\n\r\n", HttpReply::NoContent, 0, 65535},
        {"GET /v05" + referer + "vup\r\n\r\n", HttpReply::NoContent, 0, 43000},
        {"GET /vdn HTTP/1.1\r\n\r\n", HttpReply::NoContent, kCmdVolumeDown, -1},
        {"GET /vup HTTP/1.1\r\n\r\n", HttpReply::NoContent, kCmdVolumeUp, -1},
        {"GET /dprv HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdDirSearchBack, -1},
        {"GET /dnxt HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdDirSearchForward, -1},
        {"GET /home HTTP/1.1\r\n\r\n", HttpReply::Page, kCmdGoToCurrent, -1},
        {"HEAD /Zuvo.mp3 HTTP/1.1\r\n\r\n", HttpReply::StreamHead, 0, -1},
        {"GET /Zuvo.mp3 HTTP/1.1\r\n\r\n", HttpReply::Stream, 0, -1},
        {"GET /Zuvo.m3u HTTP/1.1\r\n\r\n", HttpReply::Playlist, 0, -1},
        {"GET / HTTP/1.1\r\n\r\n", HttpReply::Page, 0, -1},
        {"HEAD / HTTP/1.1\r\n\r\n", HttpReply::None, 0, -1},
        {"POST /x HTTP/1.1\r\n\r\n", HttpReply::None, 0, -1},
        {"", HttpReply::None, 0, -1},
        {std::string("GET /\0/res", 10), HttpReply::Page, 0, -1},  // a NUL ends the text
    };
    for (const RouteCase& c : cases) {
        const HttpRoute r = HttpRouteRequest(reinterpret_cast<const uint8_t*>(c.request.data()),
                                             c.request.size());
        EXPECT_EQ(r.reply, c.reply) << c.request;
        EXPECT_EQ(r.command, c.command) << c.request;
        EXPECT_EQ(r.volume, c.volume) << c.request;
    }
}

// ---- one connection over a socket pair ----

struct BsdSockets {
    static HttpSocketOps Ops() {
        HttpSocketOps o;
        o.recv = [](void*, intptr_t s, uint8_t* buf, int room) {
            return static_cast<int>(::recv(static_cast<int>(s), buf, room, 0));
        };
        o.send = [](void*, intptr_t s, const void* d, int n) {
            return ::send(static_cast<int>(s), d, n, 0) == n;
        };
        o.closeGraceful = [](void*, intptr_t s, uint32_t) {
            ::shutdown(static_cast<int>(s), SHUT_WR);
            ::close(static_cast<int>(s));
        };
        o.close = [](void*, intptr_t s) { ::close(static_cast<int>(s)); };
        return o;
    }
};

struct Window {
    std::vector<unsigned> commands;
    std::vector<uint32_t> sleeps;
};

HttpServeHost HostOf(Window& w) {
    HttpServeHost h;
    h.ctx = &w;
    h.command = [](void* c, unsigned id) { static_cast<Window*>(c)->commands.push_back(id); };
    h.setVolume = [](void*, int) {};
    h.snapshot = [](void*, HttpPageState& s) { s.filePath = L"C:\\Music\\Song.mp3"; };
    h.streamAttach = [](void*, intptr_t) { return false; };
    h.sleepMs = [](void* c, uint32_t ms) { static_cast<Window*>(c)->sleeps.push_back(ms); };
    h.address = "127.0.0.1:8080";
    return h;
}

// Sends the request from the client end, serves the server end, returns all the client got.
std::string Exchange(Window& w, const std::string& request) {
    int pair[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(::send(pair[0], request.data(), request.size(), 0),
              static_cast<ssize_t>(request.size()));
    if (request.empty()) ::shutdown(pair[0], SHUT_WR);
    HttpServeConnection(BsdSockets::Ops(), HostOf(w), pair[1]);
    std::string got;
    char buf[8192];
    for (ssize_t n; (n = ::recv(pair[0], buf, sizeof buf, 0)) > 0;) got.append(buf, n);
    ::close(pair[0]);
    return got;
}

// The other replies (204, the stream's head, the .m3u, the volume steps, the stream's listener
// slots) are compared byte for byte by the end-to-end HTTP tests.
TEST(HttpServe, PageCommandsWaitThenServeThePageWithItsLength) {
    Window w;
    const std::string got = Exchange(w, "GET /nxt HTTP/1.1\r\n\r\n");
    EXPECT_EQ(w.commands, std::vector<unsigned>{kCmdNextTrack});
    EXPECT_EQ(w.sleeps, std::vector<uint32_t>{kHttpCommandPauseMs});
    const size_t body = got.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos);
    const std::string head = got.substr(0, body + 4);
    EXPECT_EQ(head, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(got.size() - body - 4) +
                        "\r\nConnection: close\r\nContent-Type: text/html; charset=utf-8\r\n\r\n");
    EXPECT_NE(got.find("<p class=\"big\">Song\n"), std::string::npos);
    EXPECT_NE(got.find("href=\"http://127.0.0.1:8080\""), std::string::npos);

    Window plain;  // no command: no pause
    Exchange(plain, "GET / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(plain.sleeps.empty());
    EXPECT_TRUE(plain.commands.empty());
    // A request the router does not serve, or none at all, is closed without a byte.
    for (const char* request : {"OPTIONS * HTTP/1.1\r\n\r\n", ""}) {
        Window w;
        EXPECT_EQ(Exchange(w, request), "") << request;
    }
}
}  // namespace
