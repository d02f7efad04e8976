// A TCP client socket: connects to a named host.
#pragma once

#include <windows.h>

#include "Socket.h"

class SocketClient : public Socket {
public:
    using Socket::Socket;

    // Resolves host and connects to its first IPv4 address on port. Returns 0 or the Windows
    // Sockets error. A failed connect leaves the socket attached until the next Connect, Close
    // or the destructor.
    DWORD Connect(const char* host, unsigned short port);
};
