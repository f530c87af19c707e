#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// RatioReporter: the console output of a benchmark run plus the time of each benchmark, so
// that a program can print its ratios against a baseline measured in the same run. CPU time
// is steadier on a shared machine; real time counts what a user waits for (painting, threads).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { Cpu, Real };
    explicit RatioReporter(Clock clock = Clock::Cpu) : m_clock(clock) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] =
                    m_clock == Clock::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
    }
    // The time of `name` in the benchmark's unit; 0 when it did not run.
    double time(const std::string& name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    Clock m_clock;
    std::map<std::string, double> m_times;
};
