// The Winsock calls of the HTTP server and the live stream. ws2_32 is not linked: a linked DLL
// is loaded and initialised before the window can show, and the server runs only when the
// settings enable it. The table is filled from the system folder on the first call of
// WinsockWin; each member has the name and type of the Winsock function it stands for.
#pragma once
#include <windows.h>
#include <winsock2.h>

struct Winsock {
    decltype(&::WSAStartup) WSAStartup;
    decltype(&::WSACleanup) WSACleanup;
    decltype(&::WSAGetLastError) WSAGetLastError;
    decltype(&::WSASetLastError) WSASetLastError;
    decltype(&::socket) socket;
    decltype(&::bind) bind;
    decltype(&::listen) listen;
    decltype(&::accept) accept;
    decltype(&::select) select;
    decltype(&::recv) recv;
    decltype(&::send) send;
    decltype(&::shutdown) shutdown;
    decltype(&::closesocket) closesocket;
    decltype(&::setsockopt) setsockopt;
    decltype(&::ioctlsocket) ioctlsocket;
    decltype(&::htons) htons;
    decltype(&::inet_addr) inet_addr;
    decltype(&::inet_ntoa) inet_ntoa;
    decltype(&::gethostname) gethostname;
    decltype(&::gethostbyname) gethostbyname;
};

// The table; null when ws2_32 or one of its calls is missing (then nothing is served).
const Winsock* WinsockWin();

// The table, once WinsockWin has returned it (the server's start checks that; every other
// call runs while the server runs).
inline const Winsock& Ws() {
    return *WinsockWin();
}

// Whether select left s in set (FD_ISSET, without the helper it would import).
bool SocketInSet(SOCKET s, const fd_set& set);
