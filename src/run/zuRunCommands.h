#pragma once
// What the run commands compute before anything runs: the name of a "~znt~" run copy, the URL
// at which a browser reaches the file that runs (through the internal server, another web
// server, as a local file, or on the FTP site), and the argument list of the console run.

#include <string>
#include <string_view>
#include <vector>

// The marker that names a run copy.
inline constexpr std::string_view RunCopyMarker = "~znt~";

// The run copy of a file: the marker inserted before the last dot of the name, or at its end
// when the name has no dot ("/site/index.php" gives "/site/index~znt~.php").
std::string RunCopyFileName(std::string_view fileName);

// What the URL of a local document depends on.
struct TScriptURLInputs {
    // The project's HTTPServer choice: 0 internal server, 1 another web server, 2 none.
    int ServerChoice = 0;
    // The project's LocalURL ("127.0.0.1" by default).
    std::string LocalURL;
    // [HTTPServer] ServerURL, the other web server.
    std::string ServerURL;
    // The port the internal server has bound.
    int BoundPort = 0;
    // The file that runs (the document's own file or its run copy), a full path.
    std::string RunFile;
    // The project's document root, with its trailing "/".
    std::string DocumentRoot;
};

// The host a local URL names: scheme, path and port removed ("http://a.test:8080/x/" gives
// "a.test").
std::string URLHost(std::string_view localURL);

// The URL of a local document; "" for an unknown server choice. The run file's path relative
// to the document root is percent-encoded where a URL would misread it ("#", "?", "%",
// blanks, bytes above 127), so every file name reaches the server as it is.
std::string LocalScriptURL(const TScriptURLInputs& inputs);

// The URL of a document opened over FTP: the remote path with the project's RemotePath
// replaced by "/", on the host of the project's RemoteURL.
std::string RemoteScriptURL(std::string_view remoteURL, std::string_view remotePathPrefix,
                            std::string_view documentRemotePath);

// The command-line PHP interpreter for a console run, from the interpreter setting: an empty
// setting finds "php" on PATH; a CGI build ("php-cgi", "php-cgi8.2") is replaced by the
// command-line build of the same version beside it when there is one (the CGI build prints
// HTTP headers); anything else stays as it is. "" when nothing is found.
std::string ConsoleInterpreterFor(const std::string& setting);

// The program that opens a URL in the user's web browser (freedesktop's opener); it ends with
// a non-zero code when no browser can be started.
inline constexpr std::string_view BrowserOpener = "xdg-open";

// Whether `file` lies inside the folder `root` (both full paths), so that a web server whose
// document root it is can serve it.
bool InsideDocumentRoot(const std::string& root, const std::string& file);

// The terminal window of a console run: it stays until the user closes it, and its process
// ends with the window.
inline constexpr std::string_view ConsoleTerminal = "xterm";

// The arguments (program first) that run `runFile` with `interpreter` in a terminal window
// that waits for Enter before it closes. The interpreter and the file travel as arguments of
// their own, never inside a command text, so no character of their names is interpreted.
std::vector<std::string> ConsoleRunArguments(const std::string& terminal, const std::string& interpreter,
                                             const std::string& runFile);
