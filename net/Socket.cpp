// The timed receive and orderly close under the update client. Receive waits once and then
// takes only bytes that are already there, so no call can block longer than its time-out.
#include "Socket.h"

#include <algorithm>

#include "WinsockStartup.h"

namespace {

// Close reads off what the peer still sends; a peer that never stops must not keep us here.
constexpr int kMaxDrainBytes = 64 * 1024;

}  // namespace

Socket::Socket(int timeoutSeconds, int timeoutMicroseconds)
    : timeoutUsec(timeoutMicroseconds), timeoutSec(timeoutSeconds) {}

Socket::~Socket() {
    Close();
}

int Socket::Receive(char* buffer, int count) {
    if (!WinsockStarted() || !handle)
        return -1;
    const SOCKET s = handle.Get();
    timeval timeout;
    timeout.tv_sec = timeoutSec;
    timeout.tv_usec = timeoutUsec;
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(s, &readSet);
    // The first argument is ignored by Windows Sockets; it is given as elsewhere for clarity.
    const int ready = select(static_cast<int>(s + 1), &readSet, nullptr, nullptr, &timeout);
    if (ready <= 0)
        return ready;

    int total = 0;
    while (total < count) {
        u_long waiting = 0;
        if (ioctlsocket(s, FIONREAD, &waiting) != 0)
            break;
        if (waiting == 0)
            return total > 0 ? total : -1;  // readable with nothing to read: the peer closed
        const int wanted =
            static_cast<int>(std::min<u_long>(waiting, static_cast<u_long>(count - total)));
        const int got = recv(s, buffer + total, wanted, 0);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

void Socket::Close() {
    if (!handle)
        return;
    const SOCKET s = handle.Get();
    shutdown(s, SD_BOTH);
    // Reading off the rest must never wait for more, however the peer behaves.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    char scratch = 0;
    for (int drained = 0; drained < kMaxDrainBytes && recv(s, &scratch, 1, 0) > 0; ++drained) {
    }
    handle.Reset();
}
