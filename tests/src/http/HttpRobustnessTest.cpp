// The internal HTTP server against hostile or broken clients: stalled and trickling requests,
// clients that stop reading, oversized heads and bodies, malformed request lines, odd paths
// and many connections at once. Nothing may hang, grow without bound or leave the root.

#include "src/http/HttpTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A client socket the test drives byte by byte.
class TRawClient {
public:
    explicit TRawClient(int port, int receiveBuffer = 0)
    {
        FFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0)
            ::setsockopt(FFd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        FConnected = ::connect(FFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~TRawClient() { ::close(FFd); }
    TRawClient(const TRawClient&) = delete;
    TRawClient& operator=(const TRawClient&) = delete;

    bool Connected() const { return FConnected; }

    bool Send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(FFd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }

    // Reads for at most `ms`; true once the server has closed its side.
    bool ServerClosedWithin(int ms)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
        char chunk[65536];
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{FFd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return true;
            Received.append(chunk, static_cast<size_t>(n));
        }
    }

    std::string Received;

private:
    int FFd = -1;
    bool FConnected = false;
};

class HttpRobustnessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Env.WriteDoc("ok.txt", "OK");
        Env.WriteDoc("sub/index.html", "INDEX");
        Env.Module->HTTPServer.SetReadTimeOut(ReadTimeOut);
    }

    static constexpr int ReadTimeOut = 400;
    TServerTestEnvironment Env;
};

} // namespace

TEST_F(HttpRobustnessTest, RequestsNotCompleteWithinTheTimeOutAreCutOff)
{
    struct Case {
        std::string name;
        std::string sent;
        // A byte every 100 ms after `sent`, so no single read ever waits for the time-out.
        bool trickle;
    };
    const std::vector<Case> cases = {
        {"nothing sent", "", false},
        {"request line, then silence", "GET /ok.txt HTTP/1.1\r\n", false},
        {"head without its blank line", "GET /ok.txt HTTP/1.1\r\nHost: 127.0.0.1", false},
        {"body shorter than Content-Length", "POST /ok.txt HTTP/1.1\r\nContent-Length: 100\r\n\r\nabc", false},
        {"header trickled byte by byte", "GET /ok.txt HTTP/1.1\r\nX-Slow: ", true},
        {"body trickled byte by byte", "POST /ok.txt HTTP/1.1\r\nContent-Length: 100000\r\n\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRawClient client(Env.Port());
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.Send(c.sent));
        const auto start = Clock::now();
        bool closed = false;
        while (!closed && MillisecondsSince(start) < 8 * ReadTimeOut) {
            if (c.trickle && !client.Send("a"))
                closed = true;
            else
                closed = client.ServerClosedWithin(100);
        }
        EXPECT_TRUE(closed);
        EXPECT_EQ(client.Received.find("200 OK"), std::string::npos);
    }
    // The server still answers afterwards.
    EXPECT_EQ(HttpGet(Env.Port(), "/ok.txt").Body, "OK");
}

TEST_F(HttpRobustnessTest, AClientThatStopsReadingIsCutOff)
{
    const std::string big(32 * 1024 * 1024, 'b');
    Env.WriteDoc("big.bin", big);
    TRawClient client(Env.Port(), 4096);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.Send("GET /big.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    // Not reading for several time-outs: the server gives up on the stalled write.
    std::this_thread::sleep_for(std::chrono::milliseconds(6 * ReadTimeOut));
    ASSERT_TRUE(client.ServerClosedWithin(20000));
    EXPECT_LT(client.Received.size(), big.size());
}

TEST_F(HttpRobustnessTest, StoppingNeverWaitsForStalledClients)
{
    // A time-out far beyond the test, so only stopping can end these connections.
    Env.Module->HTTPServer.SetReadTimeOut(60000);
    const std::vector<std::string> stalls = {"", "GET /ok.txt HTTP/1.1\r\n",
                                             "POST /ok.txt HTTP/1.1\r\nContent-Length: 10\r\n\r\nab"};
    std::vector<std::unique_ptr<TRawClient>> clients;
    // Many idle connections neither crash the server nor keep it from answering others.
    for (int i = 0; i < 200; ++i) {
        clients.push_back(std::make_unique<TRawClient>(Env.Port()));
        ASSERT_TRUE(clients.back()->Connected());
        clients.back()->Send(stalls[static_cast<size_t>(i) % stalls.size()]);
    }
    EXPECT_EQ(HttpGet(Env.Port(), "/ok.txt").Body, "OK");

    const auto start = Clock::now();
    Env.Module->RestartServer(false);
    EXPECT_LT(MillisecondsSince(start), 5000);
    EXPECT_FALSE(Env.Module->Active());
    for (const auto& client : clients)
        EXPECT_TRUE(client->ServerClosedWithin(2000));
}

TEST_F(HttpRobustnessTest, OversizedAndMalformedRequestsAreRefused)
{
    struct Case {
        std::string name;
        std::string raw;
        int status;
    };
    std::string manyHeaders = "GET /ok.txt HTTP/1.1\r\n";
    while (manyHeaders.size() < 200 * 1024)
        manyHeaders += "X: y\r\n";
    std::string climbs;
    for (int i = 0; i < 10000; ++i)
        climbs += "/..";
    const std::vector<Case> cases = {
        {"endless request line", "GET /" + std::string(200 * 1024, 'a'), 431},
        {"endless header line", "GET /ok.txt HTTP/1.1\r\nX: " + std::string(200 * 1024, 'a'), 431},
        {"too many headers", manyHeaders + "\r\n", 431},
        {"10 GB body announced", "POST /ok.txt HTTP/1.1\r\nContent-Length: 10737418240\r\n\r\n", 413},
        {"absurd Content-Length",
         "POST /ok.txt HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n", 400},
        {"negative Content-Length", "POST /ok.txt HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"garbage Content-Length", "POST /ok.txt HTTP/1.1\r\nContent-Length: 12abc\r\n\r\n", 400},
        {"signed Content-Length", "POST /ok.txt HTTP/1.1\r\nContent-Length: +2\r\n\r\nab", 400},
        {"Content-Length and chunked",
         "POST /ok.txt HTTP/1.1\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 411},
        {"two Transfer-Encoding headers",
         "POST /ok.txt HTTP/1.1\r\nTransfer-Encoding: identity\r\nTransfer-Encoding: chunked\r\n"
         "Content-Length: 3\r\n\r\nabc",
         400},
        {"the same Transfer-Encoding twice",
         "POST /ok.txt HTTP/1.1\r\nTransfer-Encoding: identity\r\ntransfer-encoding: identity\r\n"
         "Content-Length: 3\r\n\r\nabc",
         400},
        {"one Transfer-Encoding: identity",
         "POST /ok.txt HTTP/1.1\r\nTransfer-Encoding: identity\r\nContent-Length: 3\r\n\r\nabc", 200},
        {"request line without version", "GET /ok.txt\r\n\r\n", 400},
        // A head that never ends gets no answer; the connection closes at the time-out.
        {"HTTP/0.9 request", "GET /ok.txt\r\n", 0},
        {"lowercase method", "get /ok.txt HTTP/1.1\r\n\r\n", 501},
        {"unknown method", "BREW /ok.txt HTTP/1.1\r\n\r\n", 501},
        {"lowercase protocol", "GET /ok.txt http/1.1\r\n\r\n", 400},
        {"raw zero byte in the path", std::string("GET /ok.txt\0.html HTTP/1.1\r\n\r\n", 30), 403},
        {"very long path", "GET /" + std::string(60 * 1024, 'a') + " HTTP/1.1\r\n\r\n", 403},
        {"very long path of dot segments", "GET " + climbs + "/etc/passwd HTTP/1.1\r\n\r\n", 403},
        {"absolute file system path", "GET /etc/passwd HTTP/1.1\r\n\r\n", 403},
        {"folder without trailing slash", "GET /sub HTTP/1.1\r\n\r\n", 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = Clock::now();
        const THttpReply reply = SendRaw(Env.Port(), c.raw);
        EXPECT_EQ(reply.Status, c.status);
        EXPECT_EQ(reply.Raw.find("root:"), std::string::npos);
        EXPECT_LT(MillisecondsSince(start), 5000);
    }
}
