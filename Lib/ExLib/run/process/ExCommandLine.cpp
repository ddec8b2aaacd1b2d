#include "ExLib/run/process/ExCommandLine.h"

namespace {

unsigned char At(std::string_view s, size_t i)
{
    return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

} // namespace

std::string NextCommandLineParam(std::string_view commandLine, size_t& position)
{
    size_t p = position;
    for (;;) {
        while (At(commandLine, p) >= 1 && At(commandLine, p) <= 32)
            ++p;
        if (At(commandLine, p) == '"' && At(commandLine, p + 1) == '"') {
            p += 2;
            continue;
        }
        break;
    }
    std::string param;
    while (At(commandLine, p) > 32) {
        if (At(commandLine, p) == '"') {
            ++p;
            while (At(commandLine, p) != 0 && At(commandLine, p) != '"')
                param += commandLine[p++];
            if (At(commandLine, p) == '"')
                ++p;
        } else {
            param += commandLine[p++];
        }
    }
    position = p;
    return param;
}

std::vector<std::string> CommandLineParams(std::string_view commandLine)
{
    std::vector<std::string> params;
    size_t position = 0;
    for (std::string p = NextCommandLineParam(commandLine, position); !p.empty();
         p = NextCommandLineParam(commandLine, position))
        params.push_back(std::move(p));
    return params;
}

int CommandLineParamCount(std::string_view commandLine)
{
    return static_cast<int>(CommandLineParams(commandLine).size());
}

std::string CommandLineParam(std::string_view commandLine, int index)
{
    size_t position = 0;
    std::string p;
    for (int i = 0; i <= index; ++i) {
        p = NextCommandLineParam(commandLine, position);
        if (p.empty())
            return {};
    }
    return index < 0 ? std::string() : p;
}

void SplitProgramAndArgs(std::string_view commandLine, std::string& program, std::string& arguments)
{
    program.clear();
    arguments.clear();
    const std::vector<std::string> params = CommandLineParams(commandLine);
    if (params.empty())
        return;
    program = params.front();
    for (size_t i = 1; i < params.size(); ++i) {
        if (i > 1)
            arguments += ' ';
        if (params[i].find(' ') != std::string::npos)
            arguments += '"' + params[i] + '"';
        else
            arguments += params[i];
    }
}

std::string NextDelimitedPart(std::string_view text, int& position, std::string_view delimiters)
{
    const int length = static_cast<int>(text.size());
    int i = std::max(position, 1);
    const int start = i;
    if (start > length) {
        position = start;
        return {};
    }
    while (i <= length && delimiters.find(text[static_cast<size_t>(i - 1)]) == std::string_view::npos)
        ++i;
    std::string part(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(std::max(0, i - start))));
    if (i <= length)
        ++i;
    position = i;
    return part;
}
