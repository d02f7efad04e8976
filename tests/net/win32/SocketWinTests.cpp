// Windows-side cases of the socket layer, run under Wine against peers of the test's own: the
// timed receive (wait once, then only what has arrived), the orderly close, connecting, and the
// update client's GET against a server on port 80 of the update host.
//
// The cases wait on what the peers do (bytes arrived, a connection ended), not on clocks; only
// the Timing suite measures, because there the duration is the behaviour. Cases that resolve
// names or listen on port 80 need the private network namespace that tests/net/wine-netns-exec.sh
// gives them (loopback alone, and a hosts file of its own); without it they are skipped.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Handles.h"
#include "ServerNames.h"
#include "SocketClient.h"
#include "SocketHTTP.h"
#include "WinsockStartup.h"

namespace {

// The longest any case waits for something a peer is to do. A passing case never comes near it;
// a failing one ends with a named failure instead of hanging until ctest's time-out.
constexpr DWORD kPatienceMs = 30000;
constexpr int kPatienceSeconds = kPatienceMs / 1000;
// How long the never-ending answer goes on at most: twice the client's deadline for an exchange,
// and within the patience of the case that joins it.
constexpr DWORD kDripLimitMs = 20000;

bool EnvironmentSays(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// Set by the namespace wrapper: the network has loopback alone and names resolve only through
// its hosts file, which maps the update host to 127.0.0.1 when the second is set.
bool InPrivateNetwork() {
    return EnvironmentSays("KETTERLIN_NET_PRIVATE");
}
bool UpdateHostIsLoopback() {
    return InPrivateNetwork() && EnvironmentSays("KETTERLIN_NET_UPDATE_HOST_LOCAL");
}

#define REQUIRE_PRIVATE_NETWORK() \
    if (!InPrivateNetwork())      \
    GTEST_SKIP() << "needs the private network namespace of wine-netns-exec.sh (root)"

// A listening socket on 127.0.0.1 and an ephemeral (or the given) port.
class Listener {
public:
    explicit Listener(unsigned short fixedPort = 0) {
        sockaddr_in address;
        std::memset(&address, 0, sizeof address);
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(fixedPort);
        listener.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (fixedPort != 0) {
            // Port 80 serves several requests in turn; a closing connection must not block it.
            const BOOL reuse = TRUE;
            setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR,
                       reinterpret_cast<const char*>(&reuse), sizeof reuse);
        }
        bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
        listen(listener.Get(), 4);
        int length = sizeof address;
        getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }

    bool IsListening() const { return listener.IsValid() && port != 0; }

    // Waits (within patience) for a peer's connect and accepts it.
    UniqueSocket Accept() {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener.Get(), &readable);
        timeval wait = {kPatienceSeconds, 0};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1) {
            return UniqueSocket();
        }
        return UniqueSocket(accept(listener.Get(), nullptr, nullptr));
    }

    unsigned short port = 0;

private:
    UniqueSocket listener;
};

// The client under test, with a receive time-out far beyond anything a passing case waits for:
// a Receive that waited when it should not have shows in what it returns.
class Client : public SocketClient {
public:
    Client() : SocketClient(kPatienceSeconds, 0) {}
    explicit Client(int timeoutMicroseconds) : SocketClient(0, timeoutMicroseconds) {}

    // Waits until at least count bytes have arrived (without reading them).
    bool WaitForBytes(u_long count) {
        const DWORD start = GetTickCount();
        for (;;) {
            u_long waiting = 0;
            if (ioctlsocket(handle.Get(), FIONREAD, &waiting) != 0) {
                return false;
            }
            if (waiting >= count) {
                return true;
            }
            if (GetTickCount() - start > kPatienceMs) {
                return false;
            }
            Sleep(1);
        }
    }
};

void Send(const UniqueSocket& peer, const std::string& bytes) {
    send(peer.Get(), bytes.data(), static_cast<int>(bytes.size()), 0);
}

// A thread of the test's own, joined (within patience) when the object goes.
class PeerThread {
public:
    template <typename Body>
    explicit PeerThread(Body* body)
        : handle(CreateThread(nullptr, 0, Run<Body>, body, 0, nullptr)) {}
    ~PeerThread() { Join(); }
    PeerThread(const PeerThread&) = delete;
    PeerThread& operator=(const PeerThread&) = delete;

    bool Join() {
        if (handle == nullptr) {
            return true;
        }
        const bool ended = WaitForSingleObject(handle, kPatienceMs) == WAIT_OBJECT_0;
        CloseHandle(handle);
        handle = nullptr;
        return ended;
    }

private:
    template <typename Body>
    static DWORD WINAPI Run(void* body) {
        (*static_cast<Body*>(body))();
        return 0;
    }

    HANDLE handle;
};

}  // namespace

TEST(Startup, WindowsSocketsStartedBeforeMain) {
    EXPECT_TRUE(WinsockStarted());
}

TEST(Receive, GivesZeroWhenNothingArrivesAndStaysUsable) {
    Listener listener;
    Client client(100000);  // a tenth of a second: nothing is ever sent in it
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    char buffer[16];
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0);
    EXPECT_TRUE(client.IsConnected());
    Send(peer, "a");
    ASSERT_TRUE(client.WaitForBytes(1));
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 1);
    EXPECT_EQ(buffer[0], 'a');
}

TEST(Receive, ReadsOnlyWhatHasArrived) {
    Listener listener;
    Client client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    Send(peer, "abc");
    ASSERT_TRUE(client.WaitForBytes(3));

    // The peer sends more only if Receive has not returned after a while: a Receive that waited
    // a second time for the rest of its buffer would take those bytes too.
    UniqueHandle returned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto latePeer = [&] {
        if (WaitForSingleObject(returned.Get(), 2000) == WAIT_TIMEOUT) {
            Send(peer, "def");
        }
    };
    PeerThread late(&latePeer);
    char buffer[16] = {};
    const int got = client.Receive(buffer, sizeof buffer);
    SetEvent(returned.Get());
    EXPECT_TRUE(late.Join());
    EXPECT_EQ(got, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(Receive, ReadsNoMoreThanAskedFor) {
    Listener listener;
    Client client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    Send(peer, "abcdefgh");
    ASSERT_TRUE(client.WaitForBytes(8));
    char buffer[8] = {};
    EXPECT_EQ(client.Receive(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ(client.Receive(buffer + 1, 3), 3);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(client.Receive(buffer, 0), 0);  // readable, nothing asked
    EXPECT_EQ(client.Receive(buffer, 8), 4);
    EXPECT_EQ(std::string(buffer, 4), "efgh");
}

TEST(Receive, ClosedPeerGivesWhatCameFirstThenMinusOne) {
    Listener listener;
    Client client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    Send(peer, "xy");
    shutdown(peer.Get(), SD_BOTH);
    peer.Reset();
    ASSERT_TRUE(client.WaitForBytes(2));
    char buffer[16];
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 2);  // what came before the close
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), -1);
}

TEST(Close, IsOrderlyAndIdempotent) {
    Listener listener;
    Client client;
    client.Close();  // nothing attached: nothing happens
    EXPECT_FALSE(client.IsConnected());
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    EXPECT_TRUE(client.IsConnected());
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    client.Close();
    EXPECT_FALSE(client.IsConnected());
    client.Close();
    char buffer[4];
    EXPECT_EQ(recv(peer.Get(), buffer, sizeof buffer, 0), 0);  // the peer sees an orderly end
}

TEST(Close, DoesNotWaitForAChattyPeer) {
    Listener listener;
    Client client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    // The peer sends until the connection is gone; only when it has waited all its patience
    // does it stop on its own, and then Close would have waited for it.
    std::atomic<bool> peerGaveUp{false};
    auto chatty = [&] {
        const std::string lots(16 * 1024, 'z');
        const DWORD start = GetTickCount();
        while (send(peer.Get(), lots.data(), static_cast<int>(lots.size()), 0) > 0) {
            if (GetTickCount() - start > kPatienceMs) {
                peerGaveUp = true;
                shutdown(peer.Get(), SD_BOTH);
                return;
            }
        }
    };
    PeerThread sender(&chatty);
    ASSERT_TRUE(client.WaitForBytes(1));
    client.Close();
    EXPECT_FALSE(peerGaveUp.load());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_TRUE(sender.Join());  // the peer's sends failed once the client had gone
}

TEST(Connect, FailedConnectStaysAttachedUntilClosed) {
    unsigned short freePort = 0;
    {
        Listener gone;
        freePort = gone.port;
    }
    Client client;
    EXPECT_NE(client.Connect("127.0.0.1", freePort), 0u);
    EXPECT_TRUE(client.IsConnected());  // the socket waits for the next Connect or the destructor
    Listener listener;
    EXPECT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    EXPECT_TRUE(client.IsConnected());
}

TEST(Connect, UnresolvableHostCreatesNoSocket) {
    REQUIRE_PRIVATE_NETWORK();
    Client client;
    EXPECT_NE(client.Connect("no-such-host.invalid", 80), 0u);
    EXPECT_FALSE(client.IsConnected());
}

TEST(Get, UnresolvedUpdateHostGivesNullAndNoSocket) {
    REQUIRE_PRIVATE_NETWORK();
    if (UpdateHostIsLoopback()) {
        GTEST_SKIP() << "the update host resolves here";
    }
    SocketHTTP http;
    EXPECT_EQ(http.Get("/ketterlin.txt?1_0_5"), nullptr);
    EXPECT_FALSE(http.IsConnected());
}

namespace {

// The update server's side of Get on port 80: answers each accepted connection with one
// response, records the request it read, and whether the client then ended the connection in
// order.
class FakeUpdateServer {
public:
    explicit FakeUpdateServer(std::vector<std::string> answers)
        : responses(std::move(answers)), thread(this) {}
    FakeUpdateServer(const FakeUpdateServer&) = delete;
    FakeUpdateServer& operator=(const FakeUpdateServer&) = delete;

    // Ends when every response has been given, or when the client failed to come.
    bool Join() { return thread.Join(); }

    void operator()() {
        for (const std::string& response : responses) {
            UniqueSocket peer = listener.Accept();
            if (!peer) {
                return;
            }
            // Bounded waits throughout, so the thread always ends even when the client fails.
            const DWORD receiveTimeout = kPatienceMs;
            setsockopt(peer.Get(), SOL_SOCKET, SO_RCVTIMEO,
                       reinterpret_cast<const char*>(&receiveTimeout), sizeof receiveTimeout);
            std::string request;
            char buffer[512];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(peer.Get(), buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<size_t>(got));
            }
            requests.push_back(request);
            Send(peer, response);
            // The client closes once it has the body: the peer then reads the end of the stream.
            int got = 0;
            while ((got = recv(peer.Get(), buffer, sizeof buffer, 0)) > 0) {
            }
            orderlyEnds.push_back(got == 0);
        }
    }

    Listener listener{kHttpPort};
    std::vector<std::string> requests;
    std::vector<bool> orderlyEnds;

private:
    std::vector<std::string> responses;
    PeerThread thread;  // last: starts once the listener is there
};

std::string ExpectedRequest(const char* path) {
    return std::string("GET ") + path + " HTTP/1.1\r\nHost: " + kUpdateHost +
           "\r\nAccept-Language: en\r\n\r\n";
}

// Cases with the update host mapped to 127.0.0.1: Get's whole road against a server of ours.
class GetOnLoopback : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_PRIVATE_NETWORK();
        if (!UpdateHostIsLoopback()) {
            GTEST_SKIP() << "needs the update host mapped to 127.0.0.1";
        }
    }
};

}  // namespace

TEST_F(GetOnLoopback, ReadsTheBodyAndClosesEachConnection) {
    const char* kPath = "/ketterlin.txt?1_0_5";
    FakeUpdateServer server({"HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n1,0,6\r\n",
                             "HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\ngone"});
    ASSERT_TRUE(server.listener.IsListening());
    SocketHTTP http;
    {
        const HttpBody body = http.Get(kPath);
        ASSERT_NE(body, nullptr);
        EXPECT_STREQ(body.get(), "1,0,6\r\n");
        EXPECT_FALSE(http.IsConnected());  // closed before Get returned
    }
    // The same object serves a second Get over a connection of its own; without a
    // Content-Length there is no answer, and the connection is closed all the same.
    EXPECT_EQ(http.Get(kPath), nullptr);
    EXPECT_FALSE(http.IsConnected());
    EXPECT_TRUE(server.Join());
    ASSERT_EQ(server.requests.size(), 2u);
    for (const std::string& request : server.requests) {
        EXPECT_EQ(request, ExpectedRequest(kPath));
    }
    EXPECT_EQ(server.orderlyEnds, std::vector<bool>({true, true}));
}

TEST_F(GetOnLoopback, RefusedConnectKeepsTheSocketUntilTheNext) {
    SocketHTTP http;
    EXPECT_EQ(http.Get("/ketterlin.txt?1_0_5"), nullptr);  // nothing listens on port 80
    EXPECT_TRUE(http.IsConnected());  // a failed connect leaves the socket attached
    FakeUpdateServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    ASSERT_TRUE(server.listener.IsListening());
    const HttpBody body = http.Get("/x");
    ASSERT_NE(body, nullptr);
    EXPECT_STREQ(body.get(), "ok");
    EXPECT_FALSE(http.IsConnected());
}

TEST_F(GetOnLoopback, AnswerWhoseHeaderNeverEndsIsAbandoned) {
    // Each byte comes well within the receive time-out, and the header never ends: only the
    // exchange's deadline ends Get. The server reads the request, then drips until the client
    // has closed.
    Listener listener(kHttpPort);
    ASSERT_TRUE(listener.IsListening());
    const std::string header = "HTTP/1.1 200 OK\r\nX-Padding: ";
    std::atomic<bool> clientClosed{false};
    std::atomic<size_t> dripped{0};
    auto drip = [&] {
        UniqueSocket peer = listener.Accept();
        if (!peer) {
            return;
        }
        std::string request;
        char buffer[512];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(peer.Get(), buffer, sizeof buffer, 0);
            if (got <= 0) {
                return;
            }
            request.append(buffer, static_cast<size_t>(got));
        }
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kDripLimitMs) {
            const char byte = dripped < header.size() ? header[dripped] : 'x';
            if (send(peer.Get(), &byte, 1, 0) != 1) {
                clientClosed = true;  // reset by the client's close
                return;
            }
            ++dripped;
            // Paces the bytes, and sees the client's end of the stream when it comes.
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(peer.Get(), &readable);
            timeval pace = {0, 100000};
            if (select(0, &readable, nullptr, nullptr, &pace) == 1) {
                while (recv(peer.Get(), buffer, sizeof buffer, 0) > 0) {
                }
                clientClosed = true;
                return;
            }
        }
    };
    PeerThread server(&drip);
    SocketHTTP http;
    EXPECT_EQ(http.Get("/ketterlin.txt?1_0_5"), nullptr);
    EXPECT_FALSE(http.IsConnected());
    EXPECT_TRUE(server.Join());
    // The client read on past the status line and gave up while the server was still sending.
    EXPECT_GT(dripped.load(), header.size());
    EXPECT_TRUE(clientClosed.load());
}

TEST(Timing, ReceiveWaitsItsTimeOutOnce) {
    // The one duration that is the behaviour: with nothing to read, Receive returns after its
    // time-out (half a second, as the update client's), not before and not much later. The
    // upper bound leaves ten times the time-out for a busy machine.
    Listener listener;
    Client client(500000);
    ASSERT_EQ(client.Connect("127.0.0.1", listener.port), 0u);
    UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    char buffer[16];
    const DWORD start = GetTickCount();
    EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, 5000u);
}
