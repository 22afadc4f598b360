#include "http/winsock_win.h"

#include "base/dll_win.h"

namespace {

template <typename Fn>
bool Resolve(HMODULE dll, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return fn != nullptr;
}

const Winsock* Load() {
    static Winsock w;
    HMODULE d = GetModuleHandleW(L"ws2_32.dll");
    if (!d) d = LoadSystemDll(L"ws2_32.dll");
    if (!d) return nullptr;
    const bool ok =
        Resolve(d, w.WSAStartup, "WSAStartup") && Resolve(d, w.WSACleanup, "WSACleanup") &&
        Resolve(d, w.WSAGetLastError, "WSAGetLastError") &&
        Resolve(d, w.WSASetLastError, "WSASetLastError") && Resolve(d, w.socket, "socket") &&
        Resolve(d, w.bind, "bind") && Resolve(d, w.listen, "listen") &&
        Resolve(d, w.accept, "accept") && Resolve(d, w.select, "select") &&
        Resolve(d, w.recv, "recv") && Resolve(d, w.send, "send") &&
        Resolve(d, w.shutdown, "shutdown") && Resolve(d, w.closesocket, "closesocket") &&
        Resolve(d, w.setsockopt, "setsockopt") && Resolve(d, w.ioctlsocket, "ioctlsocket") &&
        Resolve(d, w.htons, "htons") && Resolve(d, w.inet_addr, "inet_addr") &&
        Resolve(d, w.inet_ntoa, "inet_ntoa") && Resolve(d, w.gethostname, "gethostname") &&
        Resolve(d, w.gethostbyname, "gethostbyname");
    return ok ? &w : nullptr;
}

}  // namespace

const Winsock* WinsockWin() {
    static const Winsock* const w = Load();
    return w;
}

bool SocketInSet(SOCKET s, const fd_set& set) {
    for (u_int i = 0; i < set.fd_count && i < FD_SETSIZE; ++i)
        if (set.fd_array[i] == s) return true;
    return false;
}
