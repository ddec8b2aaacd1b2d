#pragma once
// Answers the program's questions in a test: each message box takes the next answer (IDCANCEL
// when none is left) and is recorded with its text, caption and flags.

#include "Platform/core/Application.h"

#include <deque>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

class TAnswers {
public:
    explicit TAnswers(std::initializer_list<int> answers = {}) : FAnswers(answers)
    {
        FSaved = Application()->MessageBoxHook;
        Application()->MessageBoxHook = [this](const TMessageBoxRequest& request) -> int {
            Asked.push_back(request);
            if (FAnswers.empty())
                return IDCANCEL;
            const int answer = FAnswers.front();
            FAnswers.pop_front();
            return answer;
        };
    }
    ~TAnswers() { Application()->MessageBoxHook = FSaved; }
    TAnswers(const TAnswers&) = delete;
    TAnswers& operator=(const TAnswers&) = delete;

    std::vector<TMessageBoxRequest> Asked;

private:
    std::deque<int> FAnswers;
    std::function<int(const TMessageBoxRequest&)> FSaved;
};

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline bool IsLinkEntry(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

inline bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
