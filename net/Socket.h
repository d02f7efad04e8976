// A connected TCP socket with a receive time-out: a timed read and an orderly close.
#pragma once

#include <winsock2.h>

#include "SocketHandle.h"

class Socket {
public:
    Socket(int timeoutSeconds, int timeoutMicroseconds);
    // Closes a connection that is still attached, as Close does.
    virtual ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Waits once, at most the time-out, until the socket is readable; then reads only what has
    // already arrived, up to count bytes. Returns -1 on a select error or when the peer has
    // closed, 0 when the time-out passed, else the number of bytes read (0 if the first read
    // after the wait failed).
    int Receive(char* buffer, int count);

    // Shuts the connection down in both directions, reads off what is left and closes it.
    // Does nothing without a connection.
    void Close();

    bool IsConnected() const { return handle.IsValid(); }

protected:
    UniqueSocket handle;
    int timeoutUsec;
    int timeoutSec;
};
