// The HTTP server's Win32 side: Winsock, the accept thread, the live stream's sender thread
// and its encoders. Started on the window thread; its threads reach the player only through
// the HttpHost, whose calls they carry to the window thread.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

#include "http/http_ops.h"

// Start-up, on the window thread: keeps the host and makes the window that carries the
// threads' calls. Starts nothing: serverControl does.
void HttpStartWin(HINSTANCE instance, const HttpHost& host);
HttpOps HttpOpsWin();

// The engine's played PCM while the stream runs (EngineHost::streamFeed); window thread.
void HttpStreamFeedWin(const uint8_t* pcm, uint32_t bytes, bool mode24);

// ---- between the server and the stream (http_win.cpp, stream_win.cpp) ----

// Runs fn(arg) on the window thread and returns when it has run.
void HttpOnWindowThread(void (*fn)(void* arg), void* arg);
const HttpHost& HttpHostWin();
void HttpErrorLog(const char* text, int code);
void HttpShowMessage(const wchar_t* text, int ms);
// The connection of a GET of the stream: false when all listener slots are busy.
bool HttpStreamAttachWin(SOCKET s);
// Ends the sender thread (waits a bounded time), closes the listeners, frees the buffers.
void HttpStreamStopWin();
bool HttpStreamRunningWin();
