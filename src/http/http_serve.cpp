#include "http/http_serve.h"

#include <cstring>

namespace {
void Reply(const HttpSocketOps& net, intptr_t sock, const std::string& text) {
    (void)net.send(net.ctx, sock, text.data(), static_cast<int>(text.size()));
    net.closeGraceful(net.ctx, sock, kHttpCloseWaitMs);
}
}  // namespace

HttpRoute HttpServeConnection(const HttpSocketOps& net, const HttpServeHost& host, intptr_t sock) {
    uint8_t buf[kHttpRequestMax];
    const int got = net.recv(net.ctx, sock, buf, sizeof buf);
    if (got <= 0) {  // closed, reset or silent until the timeout: nothing to answer
        net.close(net.ctx, sock);
        return HttpRoute{};
    }
    const HttpRoute r = HttpRouteRequest(buf, static_cast<size_t>(got));
    if (r.command && host.command) host.command(host.ctx, r.command);
    if (r.volume >= 0 && host.setVolume) host.setVolume(host.ctx, r.volume);

    switch (r.reply) {
        case HttpReply::None:
            net.close(net.ctx, sock);
            break;
        case HttpReply::NoContent:
            Reply(net, sock, kHttpNoContent);
            break;
        case HttpReply::Page: {
            if (r.command && host.sleepMs) host.sleepMs(host.ctx, kHttpCommandPauseMs);
            HttpPageState state;
            if (host.snapshot) host.snapshot(host.ctx, state);
            state.address = host.address;
            Reply(net, sock, HttpPageReply(HttpBuildPage(state)));
            break;
        }
        case HttpReply::Playlist:
            Reply(net, sock, HttpPlaylistReply(host.address));
            break;
        case HttpReply::StreamHead:
            Reply(net, sock, kHttpStreamHead);
            break;
        case HttpReply::Stream:
            if (!host.streamAttach || !host.streamAttach(host.ctx, sock)) net.close(net.ctx, sock);
            break;
    }
    return r;
}
