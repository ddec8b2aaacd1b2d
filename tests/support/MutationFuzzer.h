#pragma once
// A deterministic mutation fuzzer for the readers of outside data. Each case is one mutated
// copy of a seed input, made by a generator seeded from (run seed, reader name, case number),
// so a failing case is reproduced by its numbers alone. A case that crashes, trips a sanitizer,
// runs longer than its time bound or holds more memory than its memory bound ends the test
// binary with the reader, seed and case printed and the input written to a file.
//
// ZENTU_FUZZ_CASES=N runs N cases per reader instead of the test's own count (a longer run on
// demand); ZENTU_FUZZ_SEED=S changes the run seed (default 1, as CI runs).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

struct TFuzzOptions {
    int Cases = 2000;               // cases per reader when ZENTU_FUZZ_CASES is not set
    int MaxMutations = 4;           // mutations stacked on one case (at least one)
    std::size_t MaxInputSize = 1 << 20;
    int CaseTimeoutMs = 10000;      // a case running longer is a hang
    std::size_t CaseMemoryBound = std::size_t(512) << 20; // bytes held above the start of a case
    // Repairs what a format checks before the interesting code runs (checksums, lengths), so
    // mutations reach past it. Applied to some cases only, so unrepaired inputs are tried too.
    std::function<void(std::string&)> Repair;
    // Tokens of the format spliced in by some mutations (keywords, chunk names, commands).
    std::vector<std::string> Dictionary;
};

// The mutated input of case `index` for the given seeds (the same on every run).
std::string MutatedInput(const std::vector<std::string>& seeds, std::string_view reader,
                         std::uint64_t runSeed, int index, const TFuzzOptions& options);

// Runs the reader on every seed and then on the mutated cases. The reader may throw the
// program's own exceptions (clean errors); an exception from the C++ library itself
// (std::bad_alloc, std::length_error, std::out_of_range, std::logic_error) fails the test, as
// its text would reach the user. Returns the number of cases run.
int FuzzReader(std::string_view reader, const std::vector<std::string>& seeds,
               const std::function<void(const std::string&)>& read,
               const TFuzzOptions& options = {});

// The files of a folder of the source tree's test data, read whole, in name order.
std::vector<std::string> ReadCorpus(const std::string& folder,
                                    const std::vector<std::string>& extensions = {});

} // namespace fuzz
