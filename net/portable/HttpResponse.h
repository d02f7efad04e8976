// Reads one HTTP response through a receive operation with the semantics of Socket::Receive:
// the header a byte at a time, then the body announced by Content-Length in one call.
#pragma once

#include <functional>
#include <memory>

// A response body: the announced number of bytes followed by one zero byte. It may hold zero
// bytes of its own; readers that treat it as text see it up to the first of them.
using HttpBody = std::unique_ptr<char[]>;

// Returns -1 on an error or a closed connection, 0 when nothing arrived in time, otherwise the
// number of bytes placed in the buffer (at most count).
using ReceiveFn = std::function<int(char* buffer, int count)>;

// The body, or null when there is no usable answer: no first byte, no or zero Content-Length,
// a length above kMaxBodyLength, a refused header, or fewer body bytes than announced. Bytes
// beyond the announced length are never asked for.
HttpBody ReadHttpResponse(const ReceiveFn& receive);
