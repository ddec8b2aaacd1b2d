#pragma once
// A console reporter that keeps the mean real time of every run, so a benchmark program can
// print the comparisons with its peers at the end.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TComparingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                Seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // The time of the first run whose name starts with `prefix`; 0 when none ran.
    double Find(const std::string& prefix) const
    {
        for (const auto& [name, time] : Seconds)
            if (name.rfind(prefix, 0) == 0)
                return time;
        return 0;
    }
    std::map<std::string, double> Seconds;
};
