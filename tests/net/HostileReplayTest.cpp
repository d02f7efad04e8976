// Replays the hostile server's byte streams (tests/net/hostile, shared with the loopback server
// of the end-to-end suite) through the response reader under the sanitizers. Each file is named
// <case>.<mode>.http; the mode says how the server delivers it. None may yield an answer. And
// the inputs the fuzzer once found faults with (tests/data/crashers/net) replay cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FakeReceiver.h"
#include "FaultReplay.h"
#include "HttpHeaderParser.h"
#include "HttpResponse.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same delivery the loopback server uses, as bursts of a FakeReceiver.
FakeReceiver Delivery(const std::string& mode, const std::string& bytes) {
    using After = FakeReceiver::After;
    if (mode == "silent")
        return FakeReceiver({}, After::kSilence);
    if (mode == "trickle") {
        const std::size_t headerEnd = bytes.find("\r\n\r\n") + 4;
        std::vector<std::string> bursts{bytes.substr(0, headerEnd)};
        for (std::size_t i = headerEnd; i < bytes.size(); ++i)
            bursts.push_back(bytes.substr(i, 1));
        return FakeReceiver(bursts, After::kSilence);
    }
    if (mode == "endless" || mode == "slowheader") {
        std::string endless;
        while (endless.size() <= kMaxHeaderBytes)
            endless += bytes;
        if (mode == "endless")
            return FakeReceiver({endless}, After::kClose);
        std::vector<std::string> bursts;
        for (char c : endless)
            bursts.push_back(std::string(1, c));
        return FakeReceiver(bursts, After::kClose);
    }
    // "send" closes after the bytes; "reset" fails the next read, which Receive reports alike.
    return FakeReceiver({bytes}, After::kClose);
}

TEST(HostileServer, NoStreamYieldsAnAnswer) {
    const fs::path dir = KETTERLIN_HOSTILE_DIR;
    int replayed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        const std::string stem = entry.path().stem().string();  // <case>.<mode>
        const std::string mode = stem.substr(stem.rfind('.') + 1);
        FakeReceiver receiver = Delivery(mode, ReadAll(entry.path()));
        EXPECT_EQ(ReadHttpResponse(receiver.AsFunction()), nullptr) << stem;
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}

// Every input that once made the response reader fault under the fuzzer, each in a process of
// its own: none may crash, hang or draw a sanitizer report.
TEST(Crashers, ReplayWithoutFault) {
    const int replayed =
        ReplayFolder(KETTERLIN_CRASHERS_DIR, [](const std::vector<uint8_t>& input) {
            FakeReceiver receiver({std::string(input.begin(), input.end())});
            ReadHttpResponse(receiver.AsFunction());
        });
    RecordProperty("crashers", replayed);
}

}  // namespace
