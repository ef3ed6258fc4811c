#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

// Keeps the median time of every benchmark and its arguments, CPU or real as asked, besides
// printing as usual: a benchmark's main then prints its figures side by side.
class MedianCollector final : public benchmark::ConsoleReporter {
  public:
    enum class Time { Cpu, Real };
    explicit MedianCollector(Time time)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular), time_(time) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
            medians[run.run_name.function_name][run.run_name.args] =
                time_ == Time::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
        }
    }
    // In each benchmark's own unit.
    std::map<std::string, std::map<std::string, double>> medians;

  private:
    Time time_;
};
