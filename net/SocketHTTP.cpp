// The one request the program makes over the network. The reading rules live in the portable
// ReadHttpResponse; this file supplies the connection, the request and an overall deadline.
// The per-byte time-out alone would let a server that drips one header byte every 0.4 s keep
// the worker thread, and with it the program's exit, waiting for ever.
#include "SocketHTTP.h"

#include <winsock2.h>
#include <windows.h>

#include "HttpRequest.h"
#include "ServerNames.h"

namespace {

constexpr int kReceiveTimeoutSec = 0;
constexpr int kReceiveTimeoutUsec = 500000;
// Ample for a few hundred bytes of header; past it the answer is abandoned.
constexpr DWORD kExchangeLimitMs = 10000;

}  // namespace

SocketHTTP::SocketHTTP() : SocketClient(kReceiveTimeoutSec, kReceiveTimeoutUsec) {}

HttpBody SocketHTTP::Get(const char* path) {
    if (Connect(kUpdateHost, kHttpPort) != 0)
        return nullptr;

    char request[kRequestCapacity];
    const int length = FormatHttpRequest(request, sizeof request, path, kUpdateHost);
    if (length < 0 || send(handle.Get(), request, length, 0) != length) {
        Close();
        return nullptr;
    }

    const DWORD start = GetTickCount();
    HttpBody body = ReadHttpResponse([this, start](char* buffer, int count) {
        if (GetTickCount() - start > kExchangeLimitMs)
            return -1;
        return Receive(buffer, count);
    });
    Close();
    return body;
}
