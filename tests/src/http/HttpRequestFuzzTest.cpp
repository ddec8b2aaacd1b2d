// Mutated requests through the server's request reading: the head as a connection receives
// it, the parser, the body, and the mapping of the document onto the document root. No input
// may crash, hang, trip a sanitizer or map a document outside the root, and every refusal is
// one of the statuses the server answers with.

#include "http/zuHttpConnection.h"
#include "http/zuHttpPaths.h"
#include "http/zuHttpRequest.h"

#include "support/MutationFuzzer.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::vector<std::string> Seeds = {
    "GET /sub/page.php?name=J%C3%BCrgen&x=1+2 HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nUser-Agent: Mozilla/5.0\r\n"
    "Accept: text/html,*/*;q=0.8\r\nAccept-Language: en\r\nConnection: keep-alive\r\n\r\n",
    "POST /form.php HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
    "Content-Length: 27\r\n\r\nname=Anna&comment=Hi+there",
    "POST /upload.php HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
    "POST /wait.php HTTP/1.1\r\nHost: 127.0.0.1\r\nExpect: 100-continue\r\nContent-Length: 4\r\n\r\nbody",
    "HEAD http://127.0.0.1:8080/index.html#top HTTP/1.0\r\nCookie: a=b; c=d\r\nIf-None-Match: \"x\"\r\n\r\n",
    "\r\nGET /dir/../%2e%2e/a%00b/./c\\d.php HTTP/1.1\nHost: x\n\n",
};

const std::vector<std::string> Tokens = {
    "GET ", "POST ", "HEAD ", "PUT ", " HTTP/1.1", " HTTP/1.0", " HTTP/2.0", "\r\n", "\n", "\r\n\r\n", ": ",
    "Content-Length: ", "Transfer-Encoding: chunked", "Transfer-Encoding: identity", "Expect: 100-continue",
    "%00", "%2e%2e", "%2f", "%", "/../", "\\..\\", "?", "#", "http://", "99999999999999999999", "-1", " \t",
};

const std::set<int> Refusals = {-1, 400, 411, 413, 431, 501, 505};

// Reads a request from `bytes` the way a connection does, takes its body, and maps its
// document; checks what must hold for every input.
void ReadRequestFrom(const std::string& bytes)
{
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends), 0);
    const int buffer = 1 << 20;
    ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    ::setsockopt(ends[0], SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(ends[1], bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break; // what did not fit stays unsent: the request is then cut short
        sent += static_cast<size_t>(n);
    }
    ::shutdown(ends[1], SHUT_WR);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    {
        THTTPConnection connection(ends[0], 200, address, address);
        TNetHTTPRequestInfo request;
        const TRequestParseResult result = connection.ReadRequest(request);
        if (result.Status == 0) {
            EXPECT_TRUE(request.Command == "GET" || request.Command == "POST" || request.Command == "HEAD")
                << request.Command;
            EXPECT_TRUE(request.Version == "HTTP/1.1" || request.Version == "HTTP/1.0") << request.Version;
            EXPECT_GE(result.ContentLength, 0);
            EXPECT_LE(result.ContentLength, MaxRequestBodySize);
            std::string body;
            while (connection.BodyLeft() > 0 && connection.ReadBody(body, 4096))
                if (body.size() > bytes.size())
                    break;
            EXPECT_LE(body.size(), bytes.size());
            const std::string root = "/srv/www/";
            std::string path;
            // The root itself (without its last "/") counts as inside.
            if (MapDocumentToPath(root, request.Document, path))
                EXPECT_TRUE(path.compare(0, root.size(), root) == 0 || path + "/" == root) << "outside the root: " << path;
            else
                EXPECT_TRUE(path.empty());
        } else {
            EXPECT_TRUE(Refusals.count(result.Status)) << result.Status;
        }
        connection.Finish(false);
    }
    ::close(ends[1]);
}

} // namespace

TEST(HttpRequestFuzz, MutatedRequestsAreReadOrRefusedCleanly)
{
    fuzz::TFuzzOptions options;
    options.Cases = 100000;
    options.MaxInputSize = 96 * 1024; // past the largest head the server reads
    options.CaseTimeoutMs = 5000;
    options.Dictionary = Tokens;
    const int run = fuzz::FuzzReader("http-request", Seeds, ReadRequestFrom, options);
    EXPECT_GE(run, static_cast<int>(Seeds.size()));
}
