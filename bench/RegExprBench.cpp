// The editor's regular-expression engine beside PCRE2 (interpreter and JIT) and std::regex:
// every match of ten typical search patterns in 16 MB of PHP-like source, with per-engine totals,
// and the literal pattern beside memmem finding the same occurrences.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TPattern {
    const char* Name;
    const char* Expression;
    bool CaseInsensitive;
    bool Multiline;
};

const TPattern Patterns[] = {
    {"literal", "function", false, false},
    {"caseless", "select", true, false},
    {"alternation", "public|private|protected", false, false},
    {"class_suffix", "[a-z]+ing", false, false},
    {"number", "\\d+\\.\\d+", false, false},
    {"line_comment", "^\\s*//", false, true},
    {"email_groups", "(\\w+)@(\\w+)\\.com", false, false},
    {"php_variable", "\\$[A-Za-z_]\\w*", false, false},
    {"script_tag", "<(script)[^>]*>", false, false},
    {"keywords", "\\b(if|else|while|return)\\b", false, false},
};

const std::string& Text()
{
    static const std::string text = [] {
        static const char* const lines[] = {
            "<?php",
            "class UserRepository extends BaseRepository {",
            "    private $connection;",
            "    protected static $instances = array();",
            "    public function findByEmail($email, $limit = 10) {",
            "        // Looking up the user by the e-mail address given",
            "        $query = \"SELECT id, name FROM users WHERE email = '\" . $email . \"'\";",
            "        $rows = $this->connection->fetchAll($query);",
            "        if (count($rows) > 0) { return $rows[0]; } else { return null; }",
            "    }",
            "    // Contact: support@example.com or admin@zentu.com for anything missing",
            "        $ratio = 3.14159 * $radius + 2.5;",
            "        while ($index < $total) { $index++; $sum += $values[$index]; }",
            "?>",
            "<script type=\"text/javascript\">var loading = true;</script>",
            "<div class=\"heading\">Processing incoming settings</div>",
            "  select Name, Price from Products where Price > 12.50 order by Name",
            "    private function buildString($parts) { return implode(',', $parts); }",
            "",
        };
        std::mt19937 rng(20240601);
        std::string s;
        s.reserve(16u << 20);
        while (s.size() < (16u << 20)) {
            s += lines[rng() % std::size(lines)];
            s += '\n';
        }
        return s;
    }();
    return text;
}

size_t CountZentu(const TPattern& p, const std::string& text)
{
    TRegExpr re;
    re.SetModifierI(p.CaseInsensitive);
    re.SetModifierM(p.Multiline);
    re.SetExpression(p.Expression);
    size_t count = 0;
    if (re.Exec(text)) {
        do
            ++count;
        while (re.ExecNext());
    }
    return count;
}

// Every match by PCRE2, compiled by its JIT when jit is set.
size_t CountPcre2With(const TPattern& p, const std::string& text, bool jit)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    const std::uint32_t options = (p.CaseInsensitive ? PCRE2_CASELESS : 0) | (p.Multiline ? PCRE2_MULTILINE : 0);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.Expression), PCRE2_ZERO_TERMINATED, options,
                                     &error, &offset, nullptr);
    if (!code)
        throw std::runtime_error("pcre2_compile failed");
    if (jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) {
        pcre2_code_free(code);
        throw std::runtime_error("pcre2_jit_compile failed");
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    size_t count = 0;
    PCRE2_SIZE start = 0;
    while (start <= text.size() && pcre2_match(code, subject, text.size(), start, 0, data, nullptr) > 0) {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        ++count;
        start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

size_t CountPcre2(const TPattern& p, const std::string& text) { return CountPcre2With(p, text, false); }
size_t CountPcre2Jit(const TPattern& p, const std::string& text) { return CountPcre2With(p, text, true); }

size_t CountStdRegex(const TPattern& p, const std::string& text)
{
    auto flags = std::regex::ECMAScript;
    if (p.CaseInsensitive)
        flags |= std::regex::icase;
    if (p.Multiline)
        flags |= std::regex::multiline;
    const std::regex re(p.Expression, flags);
    return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

using TCounter = size_t (*)(const TPattern&, const std::string&);

struct TEngine {
    const char* Name;
    TCounter Count;
    int Iterations;
};

const TEngine Engines[] = {
    {"Zentu", &CountZentu, 3},
    {"PCRE2", &CountPcre2, 3},
    {"PCRE2JIT", &CountPcre2Jit, 3},
    {"StdRegex", &CountStdRegex, 1},
};

// The baseline of the literal pattern: every occurrence found by memmem, one after another.
size_t CountMemmem(const TPattern& p, const std::string& text)
{
    const size_t n = std::strlen(p.Expression);
    size_t count = 0;
    const char* from = text.data();
    const char* const end = text.data() + text.size();
    while (const void* hit = ::memmem(from, static_cast<size_t>(end - from), p.Expression, n)) {
        ++count;
        from = static_cast<const char*>(hit) + n;
    }
    return count;
}

const TPattern& LiteralPattern() { return Patterns[0]; }

// Collects the time of every engine and pattern; prints per-engine totals and the ratios of the
// editor's engine to each peer after the table.
class TTotalsReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const size_t first = name.find('/');
            const size_t second = name.find('/', first + 1);
            if (first == std::string::npos || second == std::string::npos || run.run_type != Run::RT_Iteration)
                continue;
            const size_t third = name.find('/', second + 1);
            const std::string engine = name.substr(first + 1, second - first - 1);
            const std::string pattern = name.substr(second + 1, third == std::string::npos ? third : third - second - 1);
            FTimes[engine][pattern] += run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::map<std::string, double> totals;
        for (const TEngine& engine : Engines)
            if (FTimes.count(engine.Name))
                for (const auto& [pattern, time] : FTimes[engine.Name])
                    totals[engine.Name] += time;
        std::printf("\nTotal time of all patterns (ms):\n");
        for (const auto& [engine, total] : totals)
            std::printf("  %-10s %10.1f\n", engine.c_str(), total);
        if (totals.count("Zentu")) {
            for (const auto& [engine, total] : totals)
                if (engine != "Zentu")
                    std::printf("  Zentu / %-9s = %.3f\n", engine.c_str(), totals["Zentu"] / total);
        }
        if (FTimes.count("Zentu") && FTimes.count("PCRE2JIT")) {
            std::printf("\nZentu / PCRE2JIT per pattern:\n");
            for (const auto& [pattern, time] : FTimes["Zentu"])
                if (FTimes["PCRE2JIT"].count(pattern))
                    std::printf("  %-14s %6.2f\n", pattern.c_str(), time / FTimes["PCRE2JIT"][pattern]);
        }
        const std::string literal = LiteralPattern().Name;
        if (FTimes["Zentu"].count(literal) && FTimes["Memmem"].count(literal))
            std::printf("\nZentu / memmem on the literal pattern = %.2f\n",
                        FTimes["Zentu"][literal] / FTimes["Memmem"][literal]);
    }

private:
    std::map<std::string, std::map<std::string, double>> FTimes;
};

void Register(const std::string& name, TCounter count, const TPattern& pattern, int iterations)
{
    const std::string& text = Text();
    benchmark::RegisterBenchmark(name.c_str(), [count, &pattern, &text](benchmark::State& state) {
        // why: the first search of a run pays for faulting in fresh memory; none should.
        size_t matches = count(pattern, text);
        for (auto _ : state)
            benchmark::DoNotOptimize(matches = count(pattern, text));
        state.counters["matches"] = static_cast<double>(matches);
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    })->Unit(benchmark::kMillisecond)->Iterations(iterations)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv)
{
    for (const TEngine& engine : Engines)
        for (const TPattern& pattern : Patterns)
            Register(std::string("RegExpr/") + engine.Name + "/" + pattern.Name, engine.Count, pattern, engine.Iterations);
    Register(std::string("RegExpr/Memmem/") + LiteralPattern().Name, &CountMemmem, LiteralPattern(), 10);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TTotalsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
