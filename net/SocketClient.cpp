// Name resolution and connect for the update client. Both use the system's own blocking
// behaviour and time-outs: the client runs on the worker thread, where waiting harms no one.
#include "SocketClient.h"

#include <winsock2.h>

#include <cstring>

#include "WinsockStartup.h"

namespace {

constexpr int kIpv4AddressLength = 4;

}  // namespace

DWORD SocketClient::Connect(const char* host, unsigned short port) {
    if (!WinsockStarted())
        return WSANOTINITIALISED;
    const hostent* entry = gethostbyname(host);
    if (entry == nullptr)
        return static_cast<DWORD>(WSAGetLastError());
    // Anything but an IPv4 address cannot be put in the address below.
    if (entry->h_addrtype != AF_INET || entry->h_length != kIpv4AddressLength ||
        entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr)
        return static_cast<DWORD>(WSANO_DATA);

    Close();
    handle.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));

    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    std::memcpy(&address.sin_addr, entry->h_addr_list[0], kIpv4AddressLength);
    if (connect(handle.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return static_cast<DWORD>(WSAGetLastError());
    return 0;
}
