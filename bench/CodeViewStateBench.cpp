// Carrying the code explorer's view state from one code model to the next, for a document with
// 433,000 functions (the size of a 50 MB PHP file of small functions), beside the least any
// carry-over must do: building a hash map of the same names. The new page lists the names in
// another order than the old one, as after an edit that moved code.

#include "code/zuPHPParser.h"

#include "ComparingReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int Entries = 433'000;

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    names.reserve(Entries);
    for (int i = 0; i < Entries; ++i)
        names.push_back("function_" + std::to_string(i));
    return names;
}

TPHPPageRef PageOf(const std::vector<std::string>& names)
{
    auto page = std::make_shared<TPHPPage>();
    for (const std::string& name : names)
        page->Add(std::make_unique<TPHPFunction>(name, ""));
    return page;
}

void CarryOverViewStateOfAllEntries(benchmark::State& state)
{
    std::vector<std::string> names = Names();
    const TPHPPageRef previous = PageOf(names);
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    const TPHPPageRef page = PageOf(names);
    for (auto _ : state)
        CarryOverViewState(*page, *previous);
}
BENCHMARK(CarryOverViewStateOfAllEntries)->Unit(benchmark::kMillisecond);

void HashMapOfTheSameNames(benchmark::State& state)
{
    const std::vector<std::string> names = Names();
    for (auto _ : state) {
        std::unordered_map<std::string_view, int> map;
        map.reserve(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            map.try_emplace(names[i], int(i));
        benchmark::DoNotOptimize(map);
    }
}
BENCHMARK(HashMapOfTheSameNames)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = reporter.Find("CarryOverViewState");
    const double plain = reporter.Find("HashMapOfTheSameNames");
    if (ours > 0 && plain > 0)
        std::printf("carrying the view state over %d entries takes %.2fx a hash map of their names (%.1f ms)\n",
                    Entries, ours / plain, ours * 1e3);
    return 0;
}
