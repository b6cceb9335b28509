#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parlivo::bench {

// Prints one line per benchmark (the median when it ran several times, the
// single run otherwise) and keeps the CPU time of every repetition, so that
// ratios can be taken from medians of the same run.
class MedianReporter final : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override;

  // Median CPU seconds per iteration of the benchmark named `name`, or
  // nothing when it did not run or failed.
  std::optional<double> MedianSeconds(const std::string& name) const;
  // How far the repetitions of `name` spread: (slowest - fastest) / median.
  std::optional<double> Spread(const std::string& name) const;
  const std::vector<std::string>& Failures() const { return failures_; }

 private:
  std::map<std::string, std::vector<double>> seconds_;
  std::vector<std::string> failures_;
};

}  // namespace parlivo::bench
