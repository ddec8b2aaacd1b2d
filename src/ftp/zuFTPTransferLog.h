#pragma once
// The transfer log of an FTP connection: one line per command sent ("COMMAND:> " and the
// command, "COMMAND:> PASS *" for every command that holds "PASS"), per reply received (as
// received), per status text of the client ("STATUS:> ") and per error caught
// ("EXCEPTION:> "). Trailing blanks and line breaks are removed.

#include <exception>
#include <functional>
#include <string>
#include <string_view>

class TNetFTP;

std::string CommandLogLine(std::string_view command);
std::string ReplyLogLine(std::string_view reply);
std::string StatusLogLine(std::string_view status);
std::string ExceptionLogLine(std::string_view message);

class TFTPTransferLog {
public:
    // Each line as it is made.
    std::function<void(const std::string& line)> OnLine;

    // Hooks the log into the client's intercept; the log must outlive the client's calls.
    void Attach(TNetFTP& client);
    void Detach(TNetFTP& client);
    void LogException(const std::exception& e);

private:
    void Add(const std::string& line);
};
