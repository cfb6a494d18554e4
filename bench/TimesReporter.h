#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace ks3::bench {

// Shows the results as the console reporter does and keeps each benchmark's
// time per iteration by name, so that a program prints its ratios last.
class TimesReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0;                        // wall time per iteration, in the benchmark's display unit
        double cpu = 0;                         // CPU time per iteration, in the same unit
        std::map<std::string, double> counters; // the benchmark's own counters
        double counter(const std::string& name) const {
            const auto it = counters.find(name);
            return it == counters.end() ? 0.0 : it->second;
        }
    };
    std::map<std::string, Times> times;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (!r.error_occurred) {
                Times& t = times[r.benchmark_name()];
                t = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime(), {}};
                for (const auto& [name, c] : r.counters)
                    t.counters[name] = c.value;
            }
        ConsoleReporter::ReportRuns(runs);
    }

    // The times of the first benchmark whose name begins with prefix; zero when none ran.
    Times find(const std::string& prefix) const {
        for (const auto& [name, t] : times)
            if (name.rfind(prefix, 0) == 0)
                return t;
        return {};
    }
};

} // namespace ks3::bench
