// Reads the header of an HTTP response one byte at a time and finds the length of the body that
// follows it. Knows nothing of sockets: whoever receives the bytes feeds them in.
#pragma once

#include <cstddef>
#include <cstdint>

// The update answer is a few bytes; anything announced above this is no answer we can use.
constexpr int kMaxBodyLength = 1 << 20;
// A header that runs on past this many bytes is hostile, not slow: the response is refused.
constexpr std::size_t kMaxHeaderBytes = 64 * 1024;

class HttpHeaderParser {
public:
    // A line is held to its first 255 bytes, plus room for its terminator.
    static constexpr int kLineCapacity = 256;

    enum class Step { kMore, kEnd };

    // Takes the next byte of the response. kEnd once an empty (or all-space) line has ended the
    // header, or once the header has grown past kMaxHeaderBytes; later bytes are not examined.
    Step Feed(char byte);

    bool Ended() const { return ended; }

    // The body length to read: the last Content-Length seen, or 0 when there is none, it was 0,
    // it was larger than kMaxBodyLength, or the header was refused as too long.
    int BodyLength() const;

private:
    void HandleLine();
    void TakeContentLength(const char* value);

    char line[kLineCapacity] = {};
    int lineLength = 0;
    std::size_t headerBytes = 0;
    // Saturates at kMaxBodyLength + 1, so no run of digits can wrap it round.
    std::int64_t contentLength = 0;
    bool ended = false;
    bool refused = false;
};
