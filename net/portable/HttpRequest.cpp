// Formats the one request the update client sends. It asks for English so that a server with
// several languages answers the same bytes to everyone.
#include "HttpRequest.h"

#include "BoundedFormat.h"

int FormatHttpRequest(char* buffer, std::size_t size, const char* path, const char* host) {
    return FormatBounded(buffer, size, Overflow::Error,
                         "GET %s HTTP/1.1\r\nHost: %s\r\nAccept-Language: en\r\n\r\n", path, host);
}
