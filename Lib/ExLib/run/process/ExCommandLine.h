#pragma once
// Splitting a command line into parameters by the platform's quoting rules: blanks and control
// characters separate parameters, a double quote starts a run in which blanks belong to the
// parameter, and a pair of double quotes between parameters is skipped. Parameters have no
// length limit. A NUL byte ends the command line.

#include <string>
#include <string_view>
#include <vector>

// The parameter at `position` (a byte offset), which then points behind it; "" when the
// command line has ended.
std::string NextCommandLineParam(std::string_view commandLine, size_t& position);
int CommandLineParamCount(std::string_view commandLine);
// The `index`-th parameter counted from 0; "" when there are fewer.
std::string CommandLineParam(std::string_view commandLine, int index);
// Every parameter in order.
std::vector<std::string> CommandLineParams(std::string_view commandLine);
// The first parameter, and the others joined by blanks, each with a blank wrapped in quotes.
void SplitProgramAndArgs(std::string_view commandLine, std::string& program, std::string& arguments);

// The part of `text` from the 1-based `position` up to the next of `delimiters`; `position`
// moves past that delimiter.
std::string NextDelimitedPart(std::string_view text, int& position, std::string_view delimiters);
