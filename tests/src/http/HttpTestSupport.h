#pragma once
// What the server tests share: a raw HTTP client on 127.0.0.1 that sends bytes exactly as
// given, and a running server module over a temporary document root and data folder.

#include "http/zuHTTPModule.h"

#include "support/ProcessState.h"
#include "support/TempDir.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct THttpReply {
    int Status = 0; // 0: no answer
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    std::string Raw;

    std::string Header(std::string_view name) const;
    int HeaderCount(std::string_view name) const;
};

// A connected socket to 127.0.0.1:`port`, or -1.
int ConnectLoopback(int port);
// Sends every byte; false when the peer stops taking them.
bool SendAll(int fd, std::string_view bytes);
// Reads until the peer closes or sends nothing for `waitMs`; `onData` sees all received so far
// after each piece.
std::string ReceiveUntilClosed(int fd, int waitMs, const std::function<void(const std::string&)>& onData = {});
// Status, headers and body of an answer as received.
THttpReply ParseReply(std::string raw);

// Sends `bytes` to 127.0.0.1:`port` and reads the answer until the server closes.
THttpReply SendRaw(int port, std::string_view bytes);
THttpReply HttpGet(int port, const std::string& target);
THttpReply HttpHead(int port, const std::string& target);
THttpReply HttpPost(int port, const std::string& target, const std::string& body,
                    const std::string& contentType = "application/x-www-form-urlencoded");

// The page contents the data folder holds.
inline constexpr std::string_view AccessDeniedPage = "<html>ACCESS DENIED PAGE</html>";
inline constexpr std::string_view NotFoundPage = "<html>NOT FOUND PAGE</html>";

// A started server: document root "www/" and data folder "data/" in a temporary folder,
// php-cgi from PATH, a free port.
class TServerTestEnvironment {
public:
    TServerTestEnvironment();
    ~TServerTestEnvironment();

    // Writes a file below the document root and returns its full name.
    std::string WriteDoc(std::string_view name, std::string_view bytes) const;
    std::string Root() const { return Dir.Path() + "/www/"; }
    int Port() const { return Module->BoundPort(); }

    TempDir Dir;
    std::unique_ptr<THTTPModule> Module;
};

// The text of the first "<pre>" element of a page (as it stands, references not decoded);
// "(no pre)" without one.
std::string PreformattedText(const std::string& page);
// The first number in a file (0 when there is none yet).
int ReadPid(const std::string& file);
// Asks `condition` every 20 ms until it holds or `limit` has passed; its last answer.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);
