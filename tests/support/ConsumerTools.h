#pragma once
// Real programs that read what the system writes, for the tests of printing and export: PDF
// pages and text through poppler's pdfinfo and pdftotext, RTF through unrtf, HTML through
// Python's html5lib and TeX through pdflatex. Each runs with a time limit and gives back its
// standard output; a program that fails gives its error output prefixed with "FAILED: ".

#include <string>
#include <vector>

struct TToolResult {
    int ExitCode = -1;
    std::string Output;
    std::string Errors;
};

TToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& input = {}, const std::string& workingFolder = {}, int timeoutMs = 60000);

// The number of pages of a PDF file (0 when it cannot be read).
int PdfPageCount(const std::string& pdf);
// The text of pages first..last (0: to the end) with the layout kept.
std::string PdfText(const std::string& pdf, int first = 1, int last = 0);
