// Walking text through the character service and splitting it into a string list, each beside
// the plainest loop that does the same job on the same buffer.

#include "Platform/text/Strings.h"
#include "Platform/text/TextChars.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::string MixedText(size_t bytes)
{
    static const char* const pieces[] = {"<?php echo $x; ?>", "\n", "héllo wörld ", "日本語 ", "\t", "plain ascii text "};
    std::mt19937 rng(7);
    std::string s;
    while (s.size() < bytes)
        s += pieces[rng() % 6];
    return s;
}

void CharacterWalk(benchmark::State& state)
{
    const std::string text = MixedText(1 << 20);
    for (auto _ : state) {
        size_t columns = 0;
        for (size_t i = 0; i < text.size(); i = TextChars::NextCharStart(text, i))
            columns += static_cast<size_t>(TextChars::CharColumns(text, i));
        benchmark::DoNotOptimize(columns);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(CharacterWalk);

void ByteWalkBaseline(benchmark::State& state)
{
    const std::string text = MixedText(1 << 20);
    for (auto _ : state) {
        size_t starts = 0;
        for (unsigned char c : text)
            starts += (c & 0xC0) != 0x80;
        benchmark::DoNotOptimize(starts);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ByteWalkBaseline);

void StringListSetText(benchmark::State& state)
{
    const std::string text = MixedText(4 << 20);
    for (auto _ : state) {
        TStringList list;
        list.SetText(text);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(StringListSetText);

void VectorSplitBaseline(benchmark::State& state)
{
    const std::string text = MixedText(4 << 20);
    for (auto _ : state) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i)
            if (i == text.size() || text[i] == '\n') {
                lines.emplace_back(text, start, i - start);
                start = i + 1;
            }
        benchmark::DoNotOptimize(lines.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(VectorSplitBaseline);

} // namespace

BENCHMARK_MAIN();
