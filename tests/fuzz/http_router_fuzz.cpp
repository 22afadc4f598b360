// Serves arbitrary bytes as one request over an in-memory connection. Besides not crashing:
// at most one command or volume per request, a volume only from the 16-bit range, the page's
// Content-Length equal to the bytes that follow it, and nothing sent for an unknown request.
#include <cstdlib>
#include <cstring>
#include <string>

#include "http/http_serve.h"

namespace {
struct Conn {
    const uint8_t* data;
    size_t size;
    std::string sent;
    int closes = 0;
    int commands = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Conn c{data, size, {}, 0, 0};
    HttpSocketOps net;
    net.ctx = &c;
    net.recv = [](void* x, intptr_t, uint8_t* buf, int room) {
        auto* k = static_cast<Conn*>(x);
        const size_t n = k->size < static_cast<size_t>(room) ? k->size : room;
        if (n) std::memcpy(buf, k->data, n);
        return static_cast<int>(n);
    };
    net.send = [](void* x, intptr_t, const void* d, int n) {
        static_cast<Conn*>(x)->sent.append(static_cast<const char*>(d), n);
        return true;
    };
    net.closeGraceful = [](void* x, intptr_t, uint32_t) { ++static_cast<Conn*>(x)->closes; };
    net.close = [](void* x, intptr_t) { ++static_cast<Conn*>(x)->closes; };
    HttpServeHost host;
    host.ctx = &c;
    host.command = [](void* x, unsigned) { ++static_cast<Conn*>(x)->commands; };
    host.setVolume = [](void* x, int v) {
        if (v < 0 || v > 65535) std::abort();
        ++static_cast<Conn*>(x)->commands;
    };
    host.snapshot = [](void*, HttpPageState& s) { s.title = L"T"; };
    host.streamAttach = [](void*, intptr_t) { return false; };
    host.address = "127.0.0.1:8080";
    const HttpRoute r = HttpServeConnection(net, host, 1);
    if (c.closes != 1 || c.commands > 1) std::abort();
    if (r.reply == HttpReply::None && !c.sent.empty()) std::abort();
    if (r.reply == HttpReply::Page) {
        const size_t body = c.sent.find("\r\n\r\n");
        const char* len = std::strstr(c.sent.c_str(), "Content-Length: ");
        if (body == std::string::npos || !len) std::abort();
        if (static_cast<size_t>(std::atol(len + 16)) != c.sent.size() - body - 4) std::abort();
    }
    return 0;
}
