// Drives HttpHeaderParser from a receive operation and collects the body. Kept apart from the
// socket so that tests and the fuzzer can replay any byte stream, including timed ones.
#include "HttpResponse.h"

#include <new>

#include "HttpHeaderParser.h"

HttpBody ReadHttpResponse(const ReceiveFn& receive) {
    char byte = 0;
    // Silence before the first byte means no server worth hearing.
    if (receive(&byte, 1) != 1)
        return nullptr;
    HttpHeaderParser header;
    // After the first byte, a time-out or a close merely ends the header: what was found stands.
    while (header.Feed(byte) == HttpHeaderParser::Step::kMore) {
        if (receive(&byte, 1) != 1)
            break;
    }
    const int length = header.BodyLength();
    if (length <= 0)
        return nullptr;
    HttpBody body(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (!body)
        return nullptr;
    if (receive(body.get(), length) < length)
        return nullptr;
    body[length] = '\0';
    return body;
}
