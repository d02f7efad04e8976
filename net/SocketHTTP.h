// The update client: one HTTP/1.1 GET to the update server, returning the response body.
#pragma once

#include "HttpResponse.h"
#include "SocketClient.h"

class SocketHTTP : public SocketClient {
public:
    // Each receive waits at most half a second.
    SocketHTTP();

    // Asks the update server for path and returns the body with a zero byte after it, or null
    // when there is no usable answer. The connection is closed again before it returns, except
    // after a failed connect.
    HttpBody Get(const char* path);
};
