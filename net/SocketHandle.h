// The owner of a Windows Sockets handle. It only closes; the orderly shutdown of a connection
// is Socket::Close's job.
#pragma once

#include <winsock2.h>

#include "UniqueResource.h"

struct SocketTraits {
    using Value = SOCKET;
    static Value Invalid() { return INVALID_SOCKET; }
    static void Close(Value socket) { closesocket(socket); }
};

using UniqueSocket = UniqueResource<SocketTraits>;
