// A scripted stand-in for Socket::Receive. The peer's bytes arrive in bursts: a call reads only
// what has arrived, and a call that finds nothing left waits for the next burst, as the real
// select does. An empty burst is a wait that times out.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HttpResponse.h"

class FakeReceiver {
public:
    enum class After { kClose, kSilence };

    explicit FakeReceiver(std::vector<std::string> arrivals, After afterLast = After::kClose)
        : bursts(std::move(arrivals)), after(afterLast) {}

    int Receive(char* buffer, int count) {
        ++calls;
        largestRequest = std::max(largestRequest, count);
        if (current.empty()) {
            if (next >= bursts.size())
                return after == After::kClose ? -1 : 0;
            current = bursts[next++];
            if (current.empty())
                return 0;
        }
        if (count <= 0)
            return 0;
        const std::size_t n = std::min(static_cast<std::size_t>(count), current.size());
        std::memcpy(buffer, current.data(), n);
        current.remove_prefix(n);
        return static_cast<int>(n);
    }

    ReceiveFn AsFunction() {
        return [this](char* buffer, int count) { return Receive(buffer, count); };
    }

    int calls = 0;
    int largestRequest = 0;

private:
    std::vector<std::string> bursts;
    After after;
    std::size_t next = 0;
    std::string_view current;
};
