// The plain search engine over 16 MB of PHP-like source, line by line as the editor searches,
// beside memmem finding every occurrence in the same buffer.

#include "SrcEdit/Source/search/SrcEditSearch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string& Text()
{
    static const std::string text = [] {
        static const char* const lines[] = {
            "<?php",
            "class UserRepository extends BaseRepository {",
            "    private $connection;",
            "    public function findByEmail($email, $limit = 10) {",
            "        $query = \"SELECT id, name FROM users WHERE email = '\" . $email . \"'\";",
            "        $rows = $this->connection->fetchAll($query);",
            "        if (count($rows) > 0) { return $rows[0]; } else { return null; }",
            "    }",
            "    // Contact: support@example.com for anything missing",
            "        while ($index < $total) { $index++; $sum += $values[$index]; }",
            "?>",
            "<div class=\"heading\">Processing incoming settings</div>",
        };
        std::mt19937 rng(11);
        std::string s;
        while (s.size() < (16u << 20)) {
            s += lines[rng() % (sizeof lines / sizeof *lines)];
            s += '\n';
        }
        return s;
    }();
    return text;
}

const std::vector<std::string>& Lines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> v;
        const std::string& t = Text();
        size_t start = 0;
        for (size_t i = 0; i < t.size(); ++i)
            if (t[i] == '\n') {
                v.emplace_back(t, start, i - start);
                start = i + 1;
            }
        return v;
    }();
    return lines;
}

const char* const Patterns[] = {"connection", "function", "$index", "missing"};

void PlainEngine(benchmark::State& state)
{
    const char* pattern = Patterns[state.range(0)];
    TSrcEditSearch engine;
    engine.AssignPattern(pattern);
    engine.ApplyOptions(TSrcEditSearchFlags{sfMatchCase});
    const std::vector<std::string>& lines = Lines();  // why: splitting the text is not the search being timed
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (const std::string& line : lines)
            found += static_cast<size_t>(engine.FindAllInLine(line));
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = static_cast<double>(found);
    state.SetLabel(pattern);
}
BENCHMARK(PlainEngine)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void MemmemBaseline(benchmark::State& state)
{
    const char* pattern = Patterns[state.range(0)];
    const size_t n = std::strlen(pattern);
    const std::string& text = Text();
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        const char* p = text.data();
        const char* end = text.data() + text.size();
        while (const void* hit = ::memmem(p, static_cast<size_t>(end - p), pattern, n)) {
            ++found;
            p = static_cast<const char*>(hit) + n;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = static_cast<double>(found);
    state.SetLabel(pattern);
}
BENCHMARK(MemmemBaseline)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
