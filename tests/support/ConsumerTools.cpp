#include "support/ConsumerTools.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

struct TToolPackage {
    const char* Program;
    const char* Package;
};

// Every program a test runs, with the package of .ci/packages.txt that installs it.
constexpr TToolPackage ToolPackages[] = {
    {"pdfinfo", "poppler-utils"},   {"pdftotext", "poppler-utils"},   {"unrtf", "unrtf"},
    {"pdflatex", "texlive-latex-base"}, {"python3", "python3-html5lib"}, {"pngtopam", "netpbm"},
    {"giftopnm", "netpbm"},         {"pnmtotiff", "netpbm"},          {"tifftopnm", "netpbm"},
    {"convert", "imagemagick"},     {"tiffcp", "libtiff-tools"},      {"tiffinfo", "libtiff-tools"},
    {"gio", "libglib2.0-bin"},      {"trash-list", "trash-cli"},      {"trash-restore", "trash-cli"},
    {"diff", "diffutils"},          {"php", "php-cli"},               {"php-cgi", "php-cgi"},
};

constexpr const char* PackageList = ".ci/packages.txt";

std::string BaseName(const std::string& program)
{
    return QFileInfo(QString::fromStdString(program)).fileName().toStdString();
}

// The text between `before` and the next `after` in `text`; "" when it is not there.
std::string Between(const std::string& text, const std::string& before, char after)
{
    const size_t start = text.find(before);
    if (start == std::string::npos)
        return {};
    const size_t from = start + before.size();
    const size_t end = text.find(after, from);
    return end == std::string::npos ? std::string() : text.substr(from, end - from);
}

// Failures whose cause is a missing package although the program itself ran.
void ReportMissingParts(const std::string& program, const TToolResult& result)
{
    const std::string name = BaseName(program);
    if (name.rfind("python3", 0) == 0) {
        std::string module = Between(result.Errors, "No module named '", '\'');
        module = module.substr(0, module.find('.'));
        if (!module.empty())
            ADD_FAILURE() << "Python 3 cannot import '" << module << "': install the Debian package "
                          << PackageOfPythonModule(module) << " (" << PackageList << ")";
    } else if (name == "pdflatex") {
        const std::string file = Between(result.Output, "! LaTeX Error: File `", '\'');
        if (!file.empty())
            ADD_FAILURE() << "pdflatex misses '" << file
                          << "': install the Debian packages texlive-latex-base, texlive-fonts-recommended and "
                             "texlive-plain-generic ("
                          << PackageList << ")";
    }
}

} // namespace

std::string PackageOfTool(const std::string& program)
{
    const std::string name = BaseName(program);
    for (const TToolPackage& tool : ToolPackages)
        if (name == tool.Program)
            return tool.Package;
    return {};
}

std::string PackageOfPythonModule(const std::string& module)
{
    std::string package = "python3-";
    for (char c : module)
        package += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return package;
}

bool RequireTool(const std::string& program)
{
    const QString path = QString::fromStdString(program);
    const bool found = path.contains('/') ? QFileInfo(path).isExecutable()
                                          : !QStandardPaths::findExecutable(path).isEmpty();
    if (found)
        return true;
    const std::string package = PackageOfTool(program);
    if (package.empty())
        ADD_FAILURE() << "the test needs the program '" << program << "', which is not installed";
    else
        ADD_FAILURE() << "the test needs the program '" << program << "': install the Debian package " << package
                      << " (" << PackageList << ")";
    return false;
}

bool RequirePythonModule(const std::string& module)
{
    if (!RequireTool("/usr/bin/python3"))
        return false;
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromStdString("import " + module)});
    if (python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0)
        return true;
    ADD_FAILURE() << "Python 3 cannot import '" << module << "': install the Debian package "
                  << PackageOfPythonModule(module) << " (" << PackageList << ")";
    return false;
}

TToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                    const std::string& workingFolder, int timeoutMs)
{
    QProcess process;
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    if (!workingFolder.empty())
        process.setWorkingDirectory(QString::fromStdString(workingFolder));
    TToolResult result;
    // why: a program no package here installs (git) may be missing on purpose; its caller decides.
    if (!PackageOfTool(program).empty() && !RequireTool(program)) {
        result.Errors = program + " is not installed";
        return result;
    }
    process.start(QString::fromStdString(program), args);
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
    if (result.ExitCode != 0)
        ReportMissingParts(program, result);
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
