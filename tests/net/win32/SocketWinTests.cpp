// Windows-side cases of the socket layer, run under Wine against loopback peers of the test's
// own: the timed receive (wait once, then only what has arrived), the orderly close, and
// connecting. Console program; prints one line per failed check and exits with their count.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ServerNames.h"
#include "SocketClient.h"
#include "SocketHTTP.h"
#include "WinsockStartup.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what, int line) {
    if (!ok) {
        ++failures;
        std::printf("FAILED line %d: %s\n", line, what);
    }
}

#define CHECK(condition) Check((condition), #condition, __LINE__)

// A listening socket on 127.0.0.1 and an ephemeral port; accepts one peer at a time.
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
            // Port 80 serves several cases in turn; a closing connection must not block it.
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
    SOCKET Handle() const { return listener.Get(); }

    // The connect of the client has completed in the backlog already.
    UniqueSocket Accept() { return UniqueSocket(accept(listener.Get(), nullptr, nullptr)); }

    unsigned short port = 0;

private:
    UniqueSocket listener;
};

// The client under test: a Socket with a 0.5 s time-out, connected to the listener.
class Client : public SocketClient {
public:
    Client() : SocketClient(0, 500000) {}
};

void Send(const UniqueSocket& peer, const std::string& bytes) {
    send(peer.Get(), bytes.data(), static_cast<int>(bytes.size()), 0);
}

// Gives loopback a moment to deliver what was just sent (select then sees it at once).
void Settle() {
    Sleep(50);
}

void TimeOutWithNothingToRead() {
    Listener listener;
    Client client;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    UniqueSocket peer = listener.Accept();
    char buffer[16];
    const DWORD start = GetTickCount();
    CHECK(client.Receive(buffer, sizeof buffer) == 0);
    const DWORD waited = GetTickCount() - start;
    CHECK(waited >= 400 && waited < 1500);
}

void ReadsOnlyWhatHasArrived() {
    Listener listener;
    Client client;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    UniqueSocket peer = listener.Accept();
    Send(peer, "abc");
    Settle();
    char buffer[16] = {};
    const DWORD start = GetTickCount();
    CHECK(client.Receive(buffer, sizeof buffer) == 3);
    CHECK(GetTickCount() - start < 400);  // no second wait for the rest of the buffer
    CHECK(std::memcmp(buffer, "abc", 3) == 0);
}

void ReadsNoMoreThanAskedFor() {
    Listener listener;
    Client client;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    UniqueSocket peer = listener.Accept();
    Send(peer, "abcdefgh");
    Settle();
    char buffer[8] = {};
    CHECK(client.Receive(buffer, 1) == 1);
    CHECK(buffer[0] == 'a');
    CHECK(client.Receive(buffer + 1, 3) == 3);
    CHECK(std::memcmp(buffer, "abcd", 4) == 0);
    CHECK(client.Receive(buffer, 0) == 0);  // readable, nothing asked
    CHECK(client.Receive(buffer, 8) == 4);
}

void ClosedPeerGivesMinusOne() {
    Listener listener;
    Client client;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    UniqueSocket peer = listener.Accept();
    Send(peer, "xy");
    shutdown(peer.Get(), SD_BOTH);
    peer.Reset();
    Settle();
    char buffer[16];
    CHECK(client.Receive(buffer, sizeof buffer) == 2);  // what came before the close
    CHECK(client.Receive(buffer, sizeof buffer) == -1);
}

void CloseIsOrderlyAndIdempotent() {
    Listener listener;
    Client client;
    client.Close();  // nothing attached: nothing happens
    CHECK(!client.IsConnected());
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    CHECK(client.IsConnected());
    UniqueSocket peer = listener.Accept();
    client.Close();
    CHECK(!client.IsConnected());
    client.Close();
    char buffer[4];
    CHECK(recv(peer.Get(), buffer, sizeof buffer, 0) == 0);  // the peer sees an orderly end
}

void CloseDoesNotWaitForAChattyPeer() {
    Listener listener;
    Client client;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    UniqueSocket peer = listener.Accept();
    const std::string lots(200 * 1024, 'z');
    u_long nonBlocking = 1;
    ioctlsocket(peer.Get(), FIONBIO, &nonBlocking);
    Send(peer, lots);
    Settle();
    const DWORD start = GetTickCount();
    client.Close();
    CHECK(GetTickCount() - start < 1000);
    CHECK(!client.IsConnected());
}

void FailedConnectStaysAttachedUntilClosed() {
    unsigned short freePort = 0;
    {
        Listener gone;
        freePort = gone.port;
    }
    Client client;
    CHECK(client.Connect("127.0.0.1", freePort) != 0);
    CHECK(client.IsConnected());  // the socket waits for the next Connect or the destructor
    Listener listener;
    CHECK(client.Connect("127.0.0.1", listener.port) == 0);
    CHECK(client.IsConnected());
}

void UnresolvableHostCreatesNoSocket() {
    Client client;
    CHECK(client.Connect("no-such-host.invalid", 80) != 0);
    CHECK(!client.IsConnected());
}

void GetWithoutServerGivesNull() {
    // In the test's namespace the update host does not resolve: no answer, no connection.
    SocketHTTP http;
    CHECK(http.Get("/ketterlin.txt?1_0_5") == nullptr);
}

constexpr int kServerWaitMs = 5000;

// The update server's side of Get: answers each accepted connection with one response, records
// the request it read, and whether the client then ended the connection in order.
class FakeUpdateServer {
public:
    explicit FakeUpdateServer(std::vector<std::string> answers) : responses(std::move(answers)) {
        thread = CreateThread(nullptr, 0, Serve, this, 0, nullptr);
    }
    ~FakeUpdateServer() { Join(); }
    FakeUpdateServer(const FakeUpdateServer&) = delete;
    FakeUpdateServer& operator=(const FakeUpdateServer&) = delete;

    void Join() {
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            thread = nullptr;
        }
    }

    Listener listener{kHttpPort};
    std::vector<std::string> requests;
    std::vector<bool> orderlyEnds;

private:
    static DWORD WINAPI Serve(void* object) {
        auto* self = static_cast<FakeUpdateServer*>(object);
        for (const std::string& response : self->responses) {
            // Bounded waits throughout, so the thread always ends even when the client fails.
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(self->listener.Handle(), &readable);
            timeval wait = {kServerWaitMs / 1000, 0};
            if (select(0, &readable, nullptr, nullptr, &wait) != 1)
                return 1;
            UniqueSocket peer = self->listener.Accept();
            const DWORD receiveTimeout = kServerWaitMs;
            setsockopt(peer.Get(), SOL_SOCKET, SO_RCVTIMEO,
                       reinterpret_cast<const char*>(&receiveTimeout), sizeof receiveTimeout);
            std::string request;
            char buffer[512];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(peer.Get(), buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(got));
            }
            self->requests.push_back(request);
            Send(peer, response);
            // The client closes once it has the body: the peer then reads the end of the stream.
            int got = 0;
            while ((got = recv(peer.Get(), buffer, sizeof buffer, 0)) > 0) {
            }
            self->orderlyEnds.push_back(got == 0);
        }
        return 0;
    }

    std::vector<std::string> responses;
    HANDLE thread = nullptr;
};

std::string ExpectedRequest(const char* path) {
    return std::string("GET ") + path + " HTTP/1.1\r\nHost: " + kUpdateHost +
           "\r\nAccept-Language: en\r\n\r\n";
}

// Run with the update host mapped to 127.0.0.1: Get's whole road against a server of our own
// on port 80.
void GetReadsTheBodyAndClosesEachConnection() {
    const char* kPath = "/ketterlin.txt?1_0_5";
    FakeUpdateServer server({"HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n1,0,6\r\n",
                             "HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\ngone"});
    CHECK(server.listener.IsListening());
    SocketHTTP http;
    {
        const HttpBody body = http.Get(kPath);
        CHECK(body != nullptr && std::strcmp(body.get(), "1,0,6\r\n") == 0);
        CHECK(!http.IsConnected());  // closed before Get returned
    }
    // The same object serves a second Get over a connection of its own; without a
    // Content-Length there is no answer, and the connection is closed all the same.
    CHECK(http.Get(kPath) == nullptr);
    CHECK(!http.IsConnected());
    server.Join();
    CHECK(server.requests.size() == 2);
    for (const std::string& request : server.requests) {
        CHECK(request == ExpectedRequest(kPath));
    }
    CHECK(server.orderlyEnds == std::vector<bool>({true, true}));
}

void GetWithRefusedConnectKeepsTheSocketUntilTheNext() {
    SocketHTTP http;
    CHECK(http.Get("/ketterlin.txt?1_0_5") == nullptr);  // nothing listens on port 80
    CHECK(http.IsConnected());  // a failed connect leaves the socket attached
    {
        FakeUpdateServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
        const HttpBody body = http.Get("/x");
        CHECK(body != nullptr && std::strcmp(body.get(), "ok") == 0);
        CHECK(!http.IsConnected());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!WinsockStarted()) {
        std::printf("FAILED: Windows Sockets did not start before main\n");
        return 1;
    }
    // "local": the update host resolves to 127.0.0.1 (the runner maps it); otherwise it does
    // not resolve at all.
    if (argc > 1 && std::strcmp(argv[1], "local") == 0) {
        GetReadsTheBodyAndClosesEachConnection();
        GetWithRefusedConnectKeepsTheSocketUntilTheNext();
        std::printf("%s: %d failed check(s)\n", failures == 0 ? "PASSED" : "FAILED", failures);
        std::fflush(stdout);
        return failures;
    }
    TimeOutWithNothingToRead();
    ReadsOnlyWhatHasArrived();
    ReadsNoMoreThanAskedFor();
    ClosedPeerGivesMinusOne();
    CloseIsOrderlyAndIdempotent();
    CloseDoesNotWaitForAChattyPeer();
    FailedConnectStaysAttachedUntilClosed();
    UnresolvableHostCreatesNoSocket();
    GetWithoutServerGivesNull();
    std::printf("%s: %d failed check(s)\n", failures == 0 ? "PASSED" : "FAILED", failures);
    std::fflush(stdout);
    return failures;
}
