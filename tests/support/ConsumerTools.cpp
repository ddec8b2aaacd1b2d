#include "support/ConsumerTools.h"

#include <QProcess>
#include <QStringList>

TToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                    const std::string& workingFolder, int timeoutMs)
{
    QProcess process;
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    if (!workingFolder.empty())
        process.setWorkingDirectory(QString::fromStdString(workingFolder));
    process.start(QString::fromStdString(program), args);
    TToolResult result;
    if (!process.waitForStarted(10000)) {
        result.Errors = "cannot start " + program;
        return result;
    }
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.Errors = program + " did not finish";
        return result;
    }
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.Output = process.readAllStandardOutput().toStdString();
    result.Errors = process.readAllStandardError().toStdString();
    return result;
}

int PdfPageCount(const std::string& pdf)
{
    const TToolResult info = RunTool("pdfinfo", {pdf});
    const size_t at = info.Output.find("Pages:");
    if (at == std::string::npos)
        return 0;
    return std::stoi(info.Output.substr(at + 6));
}

std::string PdfText(const std::string& pdf, int first, int last)
{
    std::vector<std::string> args = {"-layout", "-f", std::to_string(first)};
    if (last > 0) {
        args.push_back("-l");
        args.push_back(std::to_string(last));
    }
    args.push_back(pdf);
    args.push_back("-");
    const TToolResult text = RunTool("pdftotext", args);
    return text.ExitCode == 0 ? text.Output : "FAILED: " + text.Errors;
}
