#pragma once
// Sets or removes an environment variable for the length of a test and puts the old value
// back afterwards. TZ changes take effect at once (tzset), so tests can pin the time zone.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class ScopedEnvironment {
public:
    // Removes the variable.
    explicit ScopedEnvironment(std::string name) : FName(std::move(name))
    {
        if (const char* old = std::getenv(FName.c_str()))
            FOld = old;
        ::unsetenv(FName.c_str());
        ::tzset();
    }
    ScopedEnvironment(std::string name, const std::string& value) : ScopedEnvironment(std::move(name))
    {
        ::setenv(FName.c_str(), value.c_str(), 1);
        ::tzset();
    }
    ~ScopedEnvironment()
    {
        if (FOld)
            ::setenv(FName.c_str(), FOld->c_str(), 1);
        else
            ::unsetenv(FName.c_str());
        ::tzset();
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string FName;
    std::optional<std::string> FOld;
};
