// The RSS reader's downloads through the real WinINet, from a small HTTP server on 127.0.0.1 in
// this process: the local file it writes, the error.log lines of a failed feed, the plan and
// the title hand-out.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "config/settings.h"
#include "feeds/feeds_win.h"
#include "feeds/rss.h"
#include "win_test_util.h"

namespace {

// Answers `count` requests with `body` and keeps each request's bytes.
struct FeedServer {
    SOCKET listener = INVALID_SOCKET;
    int port = 0;
    std::vector<std::string> requests;
    std::thread thread;

    FeedServer(const std::string& body, int count) {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener, 4);
        int len = sizeof a;
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        thread = std::thread([this, body, count] {
            for (int i = 0; i < count; ++i) {
                SOCKET c = accept(listener, nullptr, nullptr);
                if (c == INVALID_SOCKET) return;
                std::string request;
                char buf[4096];
                int n;
                while (request.find("\r\n\r\n") == std::string::npos &&
                       (n = recv(c, buf, sizeof buf, 0)) > 0)
                    request.append(buf, static_cast<size_t>(n));
                requests.push_back(request);
                const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\n"
                                          "Content-Length: " +
                                          std::to_string(body.size()) +
                                          "\r\nConnection: close\r\n\r\n" + body;
                send(c, reply.data(), static_cast<int>(reply.size()), 0);
                shutdown(c, SD_SEND);
                closesocket(c);
            }
        });
    }
    ~FeedServer() {
        closesocket(listener);
        if (thread.joinable()) thread.join();
        WSACleanup();
    }
};

std::vector<std::pair<std::string, int>> g_logged;
int g_updates = 0;
bool g_written = false;

// Pumps the window thread's messages until the update's end was reported, or a deadline passed.
bool WaitForUpdate(int before) {
    const DWORD deadline = GetTickCount() + 30000;
    MSG msg;
    while (g_updates == before && static_cast<int>(deadline - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return g_updates > before;
}

}  // namespace

TEST(FeedsWin, DownloadsWriteTheLocalFileAndHandOutItsTitles) {
    const std::string feed =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?><rss><channel><title>Local news</title>"
        "<link>http://127.0.0.1/</link><description>Caf\xe9 &amp;amp; more</description>"
        "<item><title>First story</title><description>One</description></item></channel></rss>";
    FeedServer server(feed, 1);
    const std::wstring folder = ScratchFolder(L"feeds");
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port) + "/feed.xml";
    // Port 1 on the loopback address refuses the connection.
    g_settings.big_rssstring = "060,0000000000,000," + url + " http://127.0.0.1:1/none.xml";
    g_settings.big_title = std::string(28, ' ') + "-xI";
    FeedsHost host;
    host.errorLog = [](void*, const char* text, int code) { g_logged.emplace_back(text, code); };
    host.updated = [](void*, bool written) {
        ++g_updates;
        g_written = written;
    };
    FeedsStartWin(nullptr, GetModuleHandleW(nullptr), folder + L"\\zuvo.ini", host);
    const FeedsOps ops = FeedsOpsWin();

    ASSERT_TRUE(ops.updateIfDue(ops.ctx));
    // The downloads run on a worker; a second call while it runs starts nothing.
    EXPECT_FALSE(ops.updateIfDue(ops.ctx));
    ASSERT_TRUE(WaitForUpdate(0));
    EXPECT_TRUE(g_written);
    // The feed is not UTF-8: its bytes are read in the system's code page.
    wchar_t wide[8];
    char utf8[16];
    const int w = MultiByteToWideChar(CP_ACP, 0, "Caf\xe9", 4, wide, 8);
    const std::string cafe(utf8, static_cast<size_t>(WideCharToMultiByte(
                                     CP_UTF8, 0, wide, w, utf8, sizeof utf8, nullptr, nullptr)));
    const std::string file = ReadBytes(folder + L"\\Zuvorss.xml");
    EXPECT_EQ(file, std::string(kRssFileHead) +
                            "<channel>\r\n<item>\r\n<title>Local news</title>\r\n"
                            "<description>" + cafe + " &amp; more</description>\r\n"
                            "<link>http://127.0.0.1/</link>\r\n</item>\r\n"
                            "<item>\r\n<title>First story</title>\r\n<description>One</description>\r\n"
                            "</item>\r\n</channel>\r\n" +
                            RssFailedChannel("http://127.0.0.1:1/none.xml") + kRssFileTail);
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_NE(server.requests[0].find("GET /feed.xml HTTP/1.1\r\n"), std::string::npos);
    EXPECT_NE(server.requests[0].find("User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)\r\n"),
              std::string::npos);
    ASSERT_EQ(g_logged.size(), 1u);
    EXPECT_EQ(g_logged[0].first, "InternetOpenUrl failed, error:");
    EXPECT_NE(g_logged[0].second, 0);

    // The next update is an interval away; "RSS update now" makes it due at once.
    EXPECT_FALSE(ops.updateIfDue(ops.ctx));
    const uint32_t planned = ops.planned(ops.ctx);
    EXPECT_EQ(g_settings.big_rssstring.substr(19), url + " http://127.0.0.1:1/none.xml");

    const char* titles[] = {"Local news", "First story", "RSS download failed", "", "Local news"};
    for (const char* t : titles) EXPECT_EQ(ops.nextTitle(ops.ctx), t);
    ops.updateNow(ops.ctx);
    EXPECT_EQ(ops.nextTitle(ops.ctx), "Local news");
    EXPECT_LE(ops.planned(ops.ctx) + 60, planned + 1);  // now, an interval before the old plan
}
