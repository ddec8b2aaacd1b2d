// Lines of the transfer log.

#include "ftp/zuFTPTransferLog.h"

#include "ftp/client/zuNetFTP.h"

namespace {

std::string_view TrimEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string CommandLogLine(std::string_view command)
{
    // why: a proxy login carries the password after the user's one ("PASS pass@proxypass"),
    // so any command with "PASS" in it is hidden whole.
    if (command.find("PASS") != std::string_view::npos)
        return "COMMAND:> PASS *";
    return "COMMAND:> " + std::string(TrimEnd(command));
}

std::string ReplyLogLine(std::string_view reply)
{
    return std::string(TrimEnd(reply));
}

std::string StatusLogLine(std::string_view status)
{
    return "STATUS:> " + std::string(TrimEnd(status));
}

std::string ExceptionLogLine(std::string_view message)
{
    return "EXCEPTION:> " + std::string(TrimEnd(message));
}

void TFTPTransferLog::Attach(TNetFTP& client)
{
    client.Intercept.OnSent = [this](const std::string& line) { Add(CommandLogLine(line)); };
    client.Intercept.OnReceived = [this](const std::string& reply) { Add(ReplyLogLine(reply)); };
    client.Intercept.OnStatus = [this](const std::string& status) { Add(StatusLogLine(status)); };
}

void TFTPTransferLog::Detach(TNetFTP& client)
{
    client.Intercept = TFTPIntercept();
}

void TFTPTransferLog::LogException(const std::exception& e)
{
    Add(ExceptionLogLine(e.what()));
}

void TFTPTransferLog::Add(const std::string& line)
{
    if (OnLine)
        OnLine(line);
}
