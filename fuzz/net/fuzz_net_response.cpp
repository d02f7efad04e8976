// libFuzzer target for everything the update check does with bytes from the network: the
// response reader (header rules, length cap, body read) and the answer parser behind it.
// The first input byte shapes the delivery: how many bytes each receive call may see, and
// whether some calls time out, so that split headers and short bodies are explored too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "HttpResponse.h"
#include "ProgramVersion.h"
#include "UpdateAnswer.h"

namespace {

constexpr ProgramVersion kRunning{1, 0, 5};

class Delivery {
public:
    Delivery(const std::uint8_t* stream, std::size_t length, std::uint8_t shape)
        : data(stream), size(length), burst(1 + (shape & 0x3F)), silenceEvery(shape >> 6) {}

    int Receive(char* buffer, int count) {
        ++calls;
        if (silenceEvery != 0 && calls % (silenceEvery + 2) == 0)
            return 0;
        if (offset == size)
            return -1;
        std::size_t n = size - offset;
        if (n > burst)
            n = burst;
        if (count < 0)
            std::abort();
        if (n > static_cast<std::size_t>(count))
            n = static_cast<std::size_t>(count);
        std::memcpy(buffer, data + offset, n);
        offset += n;
        return static_cast<int>(n);
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
    std::size_t burst;
    unsigned silenceEvery;
    unsigned calls = 0;
};

void CheckAnswer(std::string_view answer) {
    const auto offered = OfferedUpdate(answer, kRunning);
    if (!offered)
        return;
    if (!IsNewer(*offered, kRunning))
        std::abort();
    if (FormatUpdatePrompt(*offered).empty())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Delivery delivery(data + 1, size - 1, data[0]);
    const HttpBody body = ReadHttpResponse(
        [&delivery](char* buffer, int count) { return delivery.Receive(buffer, count); });
    if (body)
        CheckAnswer(body.get());  // read as text, as the update check does
    CheckAnswer(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
