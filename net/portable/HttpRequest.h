// The text of the update client's GET request.
#pragma once

#include <cstddef>

// The request buffer of the client: the longest request it will send is one byte shorter.
constexpr std::size_t kRequestCapacity = 256;

// Writes the GET request for path on host into buffer (with its terminator). Returns the
// request's length, or -1 when it does not fit: a cut-off request is never sent.
int FormatHttpRequest(char* buffer, std::size_t size, const char* path, const char* host);
