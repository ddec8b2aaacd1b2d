#pragma once
// Real programs that read what the system writes, for the tests of printing and export: PDF
// pages and text through poppler's pdfinfo and pdftotext, RTF through unrtf, HTML through
// Python's html5lib and TeX through pdflatex. Each runs with a time limit and gives back its
// standard output; a program that fails gives its error output prefixed with "FAILED: ".
//
// The programs come from the Debian packages in .ci/packages.txt. Where one is missing, the
// test fails with a message naming the package to install, not with an empty result that
// some later check misreads.

#include <string>
#include <vector>

struct TToolResult {
    int ExitCode = -1;
    std::string Output;
    std::string Errors;
};

// The Debian package that installs a program the tests run ("" for one not listed here).
std::string PackageOfTool(const std::string& program);
// The Debian package of a Python 3 module ("python3-" and the module's name in lower case,
// "_" written "-").
std::string PackageOfPythonModule(const std::string& module);

// True when the program can be started; otherwise a failure of the running test names the
// package that installs it.
bool RequireTool(const std::string& program);
// True when Python 3 can import the module; otherwise a failure names its package.
bool RequirePythonModule(const std::string& module);

// A program that is missing fails the test (RequireTool) and gives ExitCode -1. A Python
// script that cannot import a module, or a TeX run that misses a style or font file, fails the
// test with the package to install as well.
TToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& input = {}, const std::string& workingFolder = {}, int timeoutMs = 60000);

// The number of pages of a PDF file (0 when it cannot be read).
int PdfPageCount(const std::string& pdf);
// The text of pages first..last (0: to the end) with the layout kept.
std::string PdfText(const std::string& pdf, int first = 1, int last = 0);
