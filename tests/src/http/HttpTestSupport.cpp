// The raw HTTP client and the server environment of the server tests.

#include "src/http/HttpTestSupport.h"

#include "Platform/text/TextUtils.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

std::string THttpReply::Header(std::string_view name) const
{
    for (const auto& [key, value] : Headers)
        if (SameText(key, name))
            return value;
    return {};
}

int THttpReply::HeaderCount(std::string_view name) const
{
    int count = 0;
    for (const auto& header : Headers)
        count += SameText(header.first, name) ? 1 : 0;
    return count;
}

int ConnectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string ReceiveUntilClosed(int fd, int waitMs, const std::function<void(const std::string&)>& onData)
{
    std::string received;
    char chunk[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0)
            break;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(chunk, static_cast<size_t>(n));
        if (onData)
            onData(received);
    }
    return received;
}

THttpReply ParseReply(std::string raw)
{
    THttpReply reply;
    reply.Raw = std::move(raw);
    const size_t headEnd = reply.Raw.find("\r\n\r\n");
    if (headEnd == std::string::npos || reply.Raw.compare(0, 9, "HTTP/1.1 ") != 0)
        return reply;
    reply.Status = std::stoi(reply.Raw.substr(9, 3));
    reply.Body = reply.Raw.substr(headEnd + 4);
    std::istringstream lines(reply.Raw.substr(0, headEnd));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t colon = line.find(':');
        if (colon != std::string::npos)
            reply.Headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }
    return reply;
}

THttpReply SendRaw(int port, std::string_view bytes)
{
    const int fd = ConnectLoopback(port);
    if (fd < 0)
        return {};
    SendAll(fd, bytes);
    std::string received = ReceiveUntilClosed(fd, 90000);
    ::close(fd);
    return ParseReply(std::move(received));
}

THttpReply HttpGet(int port, const std::string& target)
{
    return SendRaw(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n");
}

THttpReply HttpHead(int port, const std::string& target)
{
    return SendRaw(port, "HEAD " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n");
}

THttpReply HttpPost(int port, const std::string& target, const std::string& body, const std::string& contentType)
{
    return SendRaw(port, "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                             "\r\nContent-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size()) +
                             "\r\n\r\n" + body);
}

TServerTestEnvironment::TServerTestEnvironment() : Module(std::make_unique<THTTPModule>())
{
    Dir.Write("data/AccessDenied.html", AccessDeniedPage);
    Dir.Write("data/NotFound.html", NotFoundPage);
    Dir.Write("www/.keep", "");
    TServerValues values = Module->ServerValues();
    values.PHPExecutable = CGIExecutableFor("");
    values.DataFolder = Dir.Path() + "/data/";
    Module->SetServerValues(values);
    const std::string root = Root();
    Module->SetDocumentRootSource([root] { return root; });
    Module->CGIRunner.SetTimeOut(30000);
    Module->HTTPServer.SetDefaultPort(0);
    Module->RestartServer(true);
}

TServerTestEnvironment::~TServerTestEnvironment()
{
    Module.reset();
}

std::string TServerTestEnvironment::WriteDoc(std::string_view name, std::string_view bytes) const
{
    return Dir.Write("www/" + std::string(name), bytes);
}

std::string PreformattedText(const std::string& page)
{
    const size_t tag = page.find("<pre");
    const size_t start = tag == std::string::npos ? tag : page.find('>', tag);
    const size_t end = start == std::string::npos ? start : page.find("</pre>", start);
    return end == std::string::npos ? std::string("(no pre)") : page.substr(start + 1, end - start - 1);
}

int ReadPid(const std::string& file)
{
    std::ifstream in(file);
    int pid = 0;
    in >> pid;
    return pid;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}
