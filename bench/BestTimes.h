#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace ks3::bench {

// Shows the results as the console reporter does and keeps, for each
// benchmark (by its function's name), the best real time of its repetitions
// and the best processor time of the child process it ran (its counter
// "child_cpu_ms", when it has one).
class BestTimes : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> bestReal, bestCpu;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred)
                continue;
            const std::string name = r.run_name.function_name;
            keepLowest(bestReal, name, r.GetAdjustedRealTime());
            if (const auto c = r.counters.find("child_cpu_ms"); c != r.counters.end())
                keepLowest(bestCpu, name, c->second.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    static void keepLowest(std::map<std::string, double>& m, const std::string& k, double v) {
        if (!m.count(k) || v < m[k])
            m[k] = v;
    }
};

// benchmark::Initialize with the repetitions of the benchmarks interleaved at
// random, so that a change in the machine's load falls on every side.
inline void initializeInterleaved(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
}

} // namespace ks3::bench
