// Run copies, run URLs and the console run's arguments.

#include "run/zuRunCommands.h"

#include "common/zuFunctions.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QDir>
#include <QStandardPaths>

namespace {

// Removes everything up to and including the scheme's "://" (any scheme, any letter case).
std::string WithoutScheme(std::string text)
{
    const size_t scheme = text.find("://");
    if (scheme != std::string::npos)
        text.erase(0, scheme + 3);
    return text;
}

// why: a file name may hold characters that end a URL path ("#", "?") or that the server
// decodes ("%"); every byte outside the characters a path may carry is percent-encoded.
std::string EncodePath(std::string_view path)
{
    static constexpr std::string_view Kept = "-._~!$&'()*+,;=:@/\\";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 128 && std::isalnum(byte)) || Kept.find(c) != std::string_view::npos)
            out += c;
        else
            out += "%" + IntToHex(byte, 2);
    }
    return out;
}

std::string RelativeTo(const std::string& root, const std::string& file)
{
    return StdStr(QDir(QStr(root)).relativeFilePath(QStr(file)));
}

} // namespace

std::string RunCopyFileName(std::string_view fileName)
{
    const size_t slash = fileName.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = fileName.rfind('.');
    std::string copy(fileName);
    if (dot == std::string_view::npos || dot < nameStart)
        copy += RunCopyMarker;
    else
        copy.insert(dot, RunCopyMarker);
    return copy;
}

bool InsideDocumentRoot(const std::string& root, const std::string& file)
{
    const QString relative = QDir(QDir::cleanPath(QStr(root))).relativeFilePath(QDir::cleanPath(QStr(file)));
    return !relative.isEmpty() && relative != QLatin1String(".") && relative != QLatin1String("..") &&
           !QDir::isAbsolutePath(relative) && !relative.startsWith(QLatin1String("../"));
}

std::string URLHost(std::string_view localURL)
{
    std::string host = WithoutScheme(std::string(localURL));
    host.erase(std::min(host.find('/'), host.size()));
    host.erase(std::min(host.find(':'), host.size()));
    return host;
}

std::string LocalScriptURL(const TScriptURLInputs& inputs)
{
    switch (inputs.ServerChoice) {
    case 0: {
        const std::string address = WithoutScheme(inputs.LocalURL);
        const size_t slash = address.find('/');
        const std::string prefix = slash == std::string::npos ? std::string() : address.substr(slash);
        const std::string host = URLHost(inputs.LocalURL);
        const std::string relative = EncodePath(RelativeTo(inputs.DocumentRoot, inputs.RunFile));
        const std::string text = Format("%s:%d/%s", {host, inputs.BoundPort, prefix + "/" + relative});
        return "http://" + CollapseSlashes(StringReplace(text, "\\", "/", TReplaceFlags{rfReplaceAll}));
    }
    case 1: {
        const std::string server = WithoutScheme(inputs.ServerURL);
        const std::string relative = EncodePath(RelativeTo(inputs.DocumentRoot, inputs.RunFile));
        const std::string text = Format("%s/%s", {server, relative});
        return "http://" + CollapseSlashes(StringReplace(text, "\\", "/", TReplaceFlags{rfReplaceAll}));
    }
    case 2:
        return "file://" + EncodePath(ExpandFileName(inputs.RunFile));
    default:
        return {};
    }
}

std::string RemoteScriptURL(std::string_view remoteURL, std::string_view remotePathPrefix,
                            std::string_view documentRemotePath)
{
    std::string host(remoteURL);
    if (const size_t scheme = host.find("http://"); scheme != std::string::npos)
        host.erase(scheme, 7);
    std::string path(documentRemotePath);
    if (!remotePathPrefix.empty()) {
        const size_t at = UpperCase(path).find(UpperCase(std::string(remotePathPrefix)));
        if (at != std::string::npos)
            path.replace(at, remotePathPrefix.size(), "/");
    }
    return "http://" + CollapseSlashes(host + "/" + EncodePath(path));
}

std::string ConsoleInterpreterFor(const std::string& setting)
{
    if (setting.empty())
        return StdStr(QStandardPaths::findExecutable(QStringLiteral("php")));
    const std::string name = ExtractFileName(setting);
    if (StartsText("php-cgi", name)) {
        const std::string cli = ExtractFilePath(setting) + "php" + name.substr(7);
        if (FileExists(cli))
            return cli;
        if (ExtractFilePath(setting).empty())
            return StdStr(QStandardPaths::findExecutable(QStr("php" + name.substr(7))));
    }
    return setting;
}

std::vector<std::string> ConsoleRunArguments(const std::string& terminal, const std::string& interpreter,
                                             const std::string& runFile)
{
    // invariant: the script text is constant; "$1" and "$2" are the interpreter and the file,
    // handed over as positional parameters.
    static constexpr std::string_view Script =
        "\"$1\" -f \"$2\"; printf '\\n%s' 'Press Enter to close this window...'; read _";
    return {terminal, "-T", "Zentu", "-e", "sh", "-c", std::string(Script), "sh", interpreter, runFile};
}
