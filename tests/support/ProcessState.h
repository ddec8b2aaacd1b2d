#pragma once
// Whether a process the test started (or its script did) is still running.

#include <fstream>
#include <string>

// True while the process exists and is not a zombie.
inline bool ProcessAlive(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return false;
    // why: the command name in parentheses may itself hold blanks and parentheses.
    const size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}
