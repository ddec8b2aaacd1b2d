// The fuzzer itself: cases are reproducible from their numbers, and a C++ library error
// escaping a reader fails the test while the program's own errors do not.

#include "support/MutationFuzzer.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

const std::vector<std::string> Seeds = {"\x89PNG\r\n\x1a\n0123456789abcdef", "GIF89a..........", ""};

TEST(MutationFuzzer, ACaseIsTheSameOnEveryRunAndCasesDiffer)
{
    const fuzz::TFuzzOptions options;
    std::set<std::string> distinct;
    for (int i = 0; i < 200; ++i) {
        const std::string first = fuzz::MutatedInput(Seeds, "png", 1, i, options);
        EXPECT_EQ(first, fuzz::MutatedInput(Seeds, "png", 1, i, options)) << "case " << i;
        distinct.insert(first);
    }
    EXPECT_GT(distinct.size(), 150u);
    EXPECT_NE(fuzz::MutatedInput(Seeds, "png", 1, 7, options), fuzz::MutatedInput(Seeds, "png", 2, 7, options));
}

TEST(MutationFuzzer, RepairRunsOnMostCasesAndTheBoundOnSizeHolds)
{
    fuzz::TFuzzOptions options;
    options.MaxInputSize = 20;
    int repaired = 0;
    options.Repair = [&](std::string&) { ++repaired; };
    for (int i = 0; i < 400; ++i)
        EXPECT_LE(fuzz::MutatedInput(Seeds, "gif", 1, i, options).size(), 20u);
    EXPECT_GT(repaired, 200);
    EXPECT_LT(repaired, 400);
}

TEST(MutationFuzzer, OwnErrorsAreCleanEndsAndLibraryErrorsFail)
{
    fuzz::TFuzzOptions options;
    options.Cases = 50;
    const int run = fuzz::FuzzReader("clean", Seeds, [](const std::string&) { throw Exception("bad input"); }, options);
    EXPECT_EQ(run, 53);
    EXPECT_NONFATAL_FAILURE(
        fuzz::FuzzReader("library", Seeds,
                         [](const std::string& input) {
                             if (input == Seeds[1])
                                 throw std::length_error("basic_string::_M_create");
                         },
                         options),
        "basic_string::_M_create");
}

} // namespace
