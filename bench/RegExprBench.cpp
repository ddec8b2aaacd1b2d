// The editor's regular-expression engine beside PCRE2 (interpreter, no JIT) and std::regex:
// every match of ten typical search patterns in 16 MB of PHP-like source, with per-engine totals.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
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

size_t CountPcre2(const TPattern& p, const std::string& text)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    const std::uint32_t options = (p.CaseInsensitive ? PCRE2_CASELESS : 0) | (p.Multiline ? PCRE2_MULTILINE : 0);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.Expression), PCRE2_ZERO_TERMINATED, options,
                                     &error, &offset, nullptr);
    if (!code)
        throw std::runtime_error("pcre2_compile failed");
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
    {"StdRegex", &CountStdRegex, 1},
};

// Adds up the time of every pattern per engine and prints the totals after the table.
class TTotalsReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const size_t first = name.find('/');
            const size_t second = name.find('/', first + 1);
            if (first != std::string::npos && second != std::string::npos && run.run_type == Run::RT_Iteration)
                FTotals[name.substr(first + 1, second - first - 1)] += run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nTotal time of all patterns (ms):\n");
        for (const auto& [engine, total] : FTotals)
            std::printf("  %-10s %10.1f\n", engine.c_str(), total);
        if (FTotals.count("Zentu") && FTotals.count("PCRE2") && FTotals.count("StdRegex"))
            std::printf("  Zentu / PCRE2 = %.2f, Zentu / std::regex = %.3f\n", FTotals["Zentu"] / FTotals["PCRE2"],
                        FTotals["Zentu"] / FTotals["StdRegex"]);
    }

private:
    std::map<std::string, double> FTotals;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::string& text = Text();
    for (const TEngine& engine : Engines) {
        for (const TPattern& pattern : Patterns) {
            const std::string name = std::string("RegExpr/") + engine.Name + "/" + pattern.Name;
            benchmark::RegisterBenchmark(name.c_str(), [&engine, &pattern, &text](benchmark::State& state) {
                size_t matches = 0;
                for (auto _ : state)
                    benchmark::DoNotOptimize(matches = engine.Count(pattern, text));
                state.counters["matches"] = static_cast<double>(matches);
                state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
            })->Unit(benchmark::kMillisecond)->Iterations(engine.Iterations)->UseRealTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TTotalsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
