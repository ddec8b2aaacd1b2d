#pragma once
// Scaffolding the settings-store tests share.

#include <exception>
#include <string>

// The message of what `f` raises, "(no error)" when it raises nothing.
template <class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}
