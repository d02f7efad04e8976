// Formats the one request the update client sends. It asks for English so that a server with
// several languages answers the same bytes to everyone.
#include "HttpRequest.h"

#include <cstdio>

int FormatHttpRequest(char* buffer, std::size_t size, const char* path, const char* host) {
    if (buffer == nullptr || size == 0)
        return -1;
    const int length = std::snprintf(
        buffer, size, "GET %s HTTP/1.1\r\nHost: %s\r\nAccept-Language: en\r\n\r\n", path, host);
    if (length < 0 || static_cast<std::size_t>(length) >= size) {
        buffer[0] = '\0';
        return -1;
    }
    return length;
}
