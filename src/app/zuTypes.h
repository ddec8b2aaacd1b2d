#pragma once
// The environment record: where the PHP interpreter and the PHP manual are.

#include <string>

struct TEnvironment {
    std::string PHPExecutable; // [Environment] CGI
    std::string PHPManual;     // [Environment] Documentation
};

// Filled at start-up from the main settings file; changed by the environment options.
extern TEnvironment PHPEnvironment;
