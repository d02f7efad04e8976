// The header half of the update client's one-shot HTTP GET. The rules are deliberately narrow:
// the client only wants Content-Length, so everything else, the status line included, is read
// past. Lines are kept as zero-terminated text, so a zero byte inside a line ends it early.
#include "HttpHeaderParser.h"

#include "DecimalDigits.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kContentLength[] = "Content-Length";

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace

HttpHeaderParser::Step HttpHeaderParser::Feed(char byte) {
    if (ended)
        return Step::kEnd;
    if (++headerBytes > kMaxHeaderBytes) {
        refused = true;
        ended = true;
        return Step::kEnd;
    }
    if (byte == kCarriageReturn)
        return Step::kMore;  // dropped wherever it stands: the next byte takes its place
    if (byte == kLineFeed) {
        line[lineLength] = '\0';
        HandleLine();
        lineLength = 0;
        return ended ? Step::kEnd : Step::kMore;
    }
    // Past 255 bytes every further byte lands on the last slot, which the line feed overwrites
    // with the terminator: the line keeps its first 255 bytes.
    line[lineLength] = byte;
    if (lineLength < kLineCapacity - 1)
        ++lineLength;
    return Step::kMore;
}

int HttpHeaderParser::BodyLength() const {
    if (refused || contentLength > kMaxBodyLength)
        return 0;
    return static_cast<int>(contentLength);
}

void HttpHeaderParser::HandleLine() {
    char* name = line;
    while (*name == ' ')
        ++name;
    if (*name == '\0') {
        ended = true;
        return;
    }
    // The name ends at the first colon; the value is what follows the last one.
    const char* value = nullptr;
    for (char* p = name; *p != '\0'; ++p) {
        if (*p != ':')
            continue;
        *p = '\0';
        while (p[1] == ' ')
            ++p;
        value = p + 1;
    }
    if (value != nullptr && EqualsIgnoringAsciiCase(name, kContentLength))
        TakeContentLength(value);
}

void HttpHeaderParser::TakeContentLength(const char* value) {
    std::uint64_t length = 0;
    ScanDecimalDigits(value, static_cast<const char*>(nullptr), kMaxBodyLength + 1, length);
    contentLength = static_cast<std::int64_t>(length);
}
