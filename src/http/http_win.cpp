// The control server: start and stop, the accept thread and the Winsock side of one
// connection. The thread never blocks on one client: it waits on the listener and on up to
// kPendingMax accepted connections at once and serves whichever has sent its request; one that
// stays silent for kIdleMs is closed.
#include "http/http_win.h"

#include <atomic>
#include <string>

#include "base/dialog_win.h"
#include "http/http_config.h"
#include "http/http_serve.h"
#include "http/winsock_win.h"

namespace {
constexpr UINT kMsgRun = WM_APP + 0x48;  // lParam: the Job to run on the window thread
constexpr DWORD kIdleMs = 3000;          // a connection that sent nothing by then is closed
constexpr size_t kPendingMax = 60;       // accepted, waiting for their request (fd_set holds 64)
constexpr DWORD kSendTimeoutMs = 5000;   // a client that reads nothing cannot hold the thread
constexpr DWORD kStopWaitMs = 2000;

struct Job {
    void (*fn)(void*);
    void* arg;
};

HttpHost g_host;
HWND g_carrier = nullptr;
DWORD g_windowThread = 0;
SOCKET g_listener = INVALID_SOCKET;
HANDLE g_acceptThread = nullptr;
std::atomic<bool> g_stopping{false};
std::atomic<bool> g_running{false};
std::atomic<bool> g_wsaStarted{false};
std::string g_address;

LRESULT CALLBACK CarrierProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMsgRun) {
        const Job* job = reinterpret_cast<const Job*>(lParam);
        job->fn(job->arg);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- Winsock behind the server's socket table ----

int SockRecv(void*, intptr_t s, uint8_t* buf, int room) {
    return Ws().recv(static_cast<SOCKET>(s), reinterpret_cast<char*>(buf), room, 0);
}

bool SockSend(void*, intptr_t s, const void* data, int bytes) {
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        const int n = Ws().send(static_cast<SOCKET>(s), p, bytes, 0);
        if (n == SOCKET_ERROR || n == 0) return false;
        p += n;
        bytes -= n;
    }
    return true;
}

// The reply is out: no more sending, then whatever the client still sends is read and dropped
// until it closes, at most waitMs, so that it sees its reply end before the connection does.
void SockCloseGraceful(void*, intptr_t sock, uint32_t waitMs) {
    const SOCKET s = static_cast<SOCKET>(sock);
    Ws().shutdown(s, SD_SEND);
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= waitMs) break;
        fd_set r;
        FD_ZERO(&r);
        FD_SET(s, &r);
        timeval tv{0, static_cast<long>((waitMs - spent) * 1000)};
        if (Ws().select(0, &r, nullptr, nullptr, &tv) <= 0) break;
        char scratch[1024];
        if (Ws().recv(s, scratch, sizeof scratch, 0) <= 0) break;
    }
    Ws().closesocket(s);
}

void SockClose(void*, intptr_t s) {
    Ws().closesocket(static_cast<SOCKET>(s));
}

HttpSocketOps WinsockOps() {
    HttpSocketOps o;
    o.recv = SockRecv;
    o.send = SockSend;
    o.closeGraceful = SockCloseGraceful;
    o.close = SockClose;
    return o;
}

// ---- the player, reached on the window thread ----

struct CommandCall {
    unsigned id;
};
struct VolumeCall {
    int volume;
};

HttpServeHost ServeHost() {
    HttpServeHost h;
    h.command = [](void*, unsigned id) {
        CommandCall c{id};
        HttpOnWindowThread(
            [](void* a) {
                if (g_host.command) g_host.command(g_host.ctx, static_cast<CommandCall*>(a)->id);
            },
            &c);
    };
    h.setVolume = [](void*, int volume) {
        VolumeCall c{volume};
        HttpOnWindowThread(
            [](void* a) {
                if (g_host.setVolume)
                    g_host.setVolume(g_host.ctx, static_cast<VolumeCall*>(a)->volume);
            },
            &c);
    };
    h.snapshot = [](void*, HttpPageState& out) {
        HttpOnWindowThread(
            [](void* a) {
                if (g_host.snapshot) g_host.snapshot(g_host.ctx, *static_cast<HttpPageState*>(a));
            },
            &out);
    };
    h.streamAttach = [](void*, intptr_t s) { return HttpStreamAttachWin(static_cast<SOCKET>(s)); };
    h.sleepMs = [](void*, uint32_t ms) { Sleep(ms); };
    h.address = g_address;
    return h;
}

// ---- the accept thread ----

struct Pending {
    SOCKET s;
    DWORD since;
};

void ClosePending(Pending* pending, size_t& count) {
    for (size_t i = 0; i < count; ++i) Ws().closesocket(pending[i].s);
    count = 0;
}

DWORD WINAPI AcceptThread(void*) {
    const HttpSocketOps net = WinsockOps();
    const HttpServeHost host = ServeHost();
    Pending pending[kPendingMax];
    size_t count = 0;
    while (!g_stopping) {
        fd_set r;
        FD_ZERO(&r);
        FD_SET(g_listener, &r);
        for (size_t i = 0; i < count; ++i) FD_SET(pending[i].s, &r);
        timeval tv{0, 250000};
        const int ready = Ws().select(0, &r, nullptr, nullptr, &tv);
        if (g_stopping) break;
        if (ready == SOCKET_ERROR || (ready > 0 && SocketInSet(g_listener, r))) {
            const SOCKET s =
                ready == SOCKET_ERROR ? INVALID_SOCKET : Ws().accept(g_listener, nullptr, nullptr);
            if (s == INVALID_SOCKET) {
                const int code = Ws().WSAGetLastError();
                if (g_stopping) break;
                HttpErrorLog("HTTP accept error:", code);
                ClosePending(pending, count);
                Ws().closesocket(g_listener);
                g_listener = INVALID_SOCKET;
                Ws().WSACleanup();
                g_wsaStarted = false;
                g_running = false;
                return 0;
            }
            const DWORD timeout = kIdleMs, sendTimeout = kSendTimeoutMs;
            Ws().setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                            sizeof timeout);
            Ws().setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
                            sizeof sendTimeout);
            if (count == kPendingMax) {  // the longest waiting one gives way
                Ws().closesocket(pending[0].s);
                for (size_t i = 1; i < count; ++i) pending[i - 1] = pending[i];
                --count;
            }
            pending[count++] = Pending{s, GetTickCount()};
        }
        // Serve the ones that have sent something (or closed), oldest first; drop idle ones.
        const DWORD now = GetTickCount();
        size_t kept = 0;
        for (size_t i = 0; i < count; ++i) {
            const Pending p = pending[i];
            const bool sent = ready > 0 && SocketInSet(p.s, r);
            if (sent) {
                HttpServeConnection(net, host, static_cast<intptr_t>(p.s));
            } else if (now - p.since >= kIdleMs) {
                Ws().closesocket(p.s);
            } else {
                pending[kept++] = p;
            }
        }
        count = kept;
    }
    ClosePending(pending, count);
    return 0;
}

// ---- start and stop ----

void Stop() {
    g_stopping = true;
    if (g_acceptThread) {
        if (g_listener != INVALID_SOCKET) Ws().closesocket(g_listener);  // ends its select
        // Its calls to the window thread are served while waiting, or both would wait forever.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kStopWaitMs &&
               MsgWaitForMultipleObjects(1, &g_acceptThread, FALSE, 50, QS_SENDMESSAGE) !=
                   WAIT_OBJECT_0) {
            MSG m;
            PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (WaitForSingleObject(g_acceptThread, 0) != WAIT_OBJECT_0)
            TerminateThread(g_acceptThread, 1);  // stuck in a send: the last resort
        CloseHandle(g_acceptThread);
        g_acceptThread = nullptr;
    } else if (g_listener != INVALID_SOCKET) {
        Ws().closesocket(g_listener);
    }
    g_listener = INVALID_SOCKET;
    HttpStreamStopWin();  // after the accept thread: no listener can join any more
    if (g_wsaStarted) Ws().WSACleanup();
    g_wsaStarted = false;
    g_running = false;
}

// The window through which the server's threads run calls on the window thread: made by the
// first start of the server, before its threads exist (the server is off by default).
void MakeCarrier() {
    if (!g_carrier) g_carrier = MessageWindowWin(L"ZuvoHttpCarrier", CarrierProc);
}

bool Start(const HttpServConfig& c) {
    MakeCarrier();
    std::string ip;
    uint16_t port = 0;
    if (!HttpSplitAddress(c.address, ip, port)) return false;
    if (!WinsockWin()) {
        HttpErrorLog("HTTP WSAStartup error:", -1);
        return false;
    }
    WSADATA wsa;
    if (const int err = Ws().WSAStartup(0x0102, &wsa)) {
        HttpErrorLog("HTTP WSAStartup error:", err);
        return false;
    }
    g_wsaStarted = true;
    auto fail = [](const char* text) {
        HttpErrorLog(text, Ws().WSAGetLastError());
        Ws().WSACleanup();
        g_wsaStarted = false;
        return false;
    };
    g_listener = Ws().socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (g_listener == INVALID_SOCKET) return fail("HTTP socket error:");
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = Ws().inet_addr(ip.c_str());
    at.sin_port = Ws().htons(port);
    if (Ws().bind(g_listener, reinterpret_cast<sockaddr*>(&at), sizeof at) == SOCKET_ERROR) {
        const int code = Ws().WSAGetLastError();
        Ws().closesocket(g_listener);
        g_listener = INVALID_SOCKET;
        Ws().WSASetLastError(code);
        return fail("HTTP bind error:");
    }
    if (Ws().listen(g_listener, 1) == SOCKET_ERROR) {
        const int code = Ws().WSAGetLastError();
        Ws().closesocket(g_listener);
        g_listener = INVALID_SOCKET;
        Ws().WSASetLastError(code);
        return fail("HTTP listen error:");
    }
    g_address = c.address;
    g_stopping = false;
    g_running = true;
    g_acceptThread = CreateThread(nullptr, 0, AcceptThread, nullptr, 0, nullptr);
    if (!g_acceptThread) {
        HttpErrorLog("HTTP thread error:", static_cast<int>(GetLastError()));
        Stop();
        return false;
    }
    return true;
}

void ServerControl(void*, bool stop) {
    if (g_acceptThread && !g_running) Stop();  // the thread ended itself on an accept failure
    const bool active = g_acceptThread != nullptr;
    if (!stop && !active) {
        const HttpServConfig c = HttpServParse(g_host.settings ? g_host.settings(g_host.ctx) : "");
        if (HttpMayStart(c)) Start(c);
        return;
    }
    Stop();
}

std::string LocalAddress(void*) {
    WSADATA wsa;
    if (!WinsockWin() || Ws().WSAStartup(0x0102, &wsa)) return {};
    std::string out;
    char name[1024];
    if (Ws().gethostname(name, sizeof name) == 0) {
        const hostent* h = Ws().gethostbyname(name);
        if (h && h->h_addrtype == AF_INET && h->h_addr_list && h->h_addr_list[0]) {
            in_addr a;
            memcpy(&a, h->h_addr_list[0], sizeof a);
            out = Ws().inet_ntoa(a);
        }
    }
    Ws().WSACleanup();
    return out;
}
}  // namespace

void HttpStartWin(HINSTANCE, const HttpHost& host) {
    g_host = host;
    g_windowThread = GetCurrentThreadId();
}

HttpOps HttpOpsWin() {
    HttpOps o;
    o.serverControl = ServerControl;
    o.running = [](void*) { return g_running.load(); };
    o.streaming = [](void*) { return HttpStreamRunningWin(); };
    o.localAddress = LocalAddress;
    return o;
}

void HttpOnWindowThread(void (*fn)(void* arg), void* arg) {
    if (GetCurrentThreadId() == g_windowThread || !g_carrier) {
        fn(arg);
        return;
    }
    Job job{fn, arg};
    SendMessageW(g_carrier, kMsgRun, 0, reinterpret_cast<LPARAM>(&job));
}

const HttpHost& HttpHostWin() {
    return g_host;
}

void HttpErrorLog(const char* text, int code) {
    struct Call {
        const char* text;
        int code;
    } c{text, code};
    HttpOnWindowThread(
        [](void* a) {
            const Call* k = static_cast<Call*>(a);
            if (g_host.errorLog) g_host.errorLog(g_host.ctx, k->text, k->code);
        },
        &c);
}

void HttpShowMessage(const wchar_t* text, int ms) {
    struct Call {
        const wchar_t* text;
        int ms;
    } c{text, ms};
    HttpOnWindowThread(
        [](void* a) {
            const Call* k = static_cast<Call*>(a);
            if (g_host.showMessage) g_host.showMessage(g_host.ctx, k->text, k->ms);
        },
        &c);
}
