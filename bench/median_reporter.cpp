#include "bench/median_reporter.h"

#include <algorithm>

namespace parlivo::bench {
namespace {

constexpr const char* kMedian = "median";

double SecondsPerIteration(const benchmark::BenchmarkReporter::Run& run) {
  return run.cpu_accumulated_time / static_cast<double>(run.iterations);
}

}  // namespace

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
  const bool repeated = std::any_of(runs.begin(), runs.end(), [](const Run& run) {
    return run.run_type == Run::RT_Aggregate;
  });
  std::vector<Run> shown;
  for (const Run& run : runs) {
    const std::string& name = run.run_name.function_name;
    if (run.error_occurred) {
      failures_.push_back(name + ": " + run.error_message);
      shown.push_back(run);
    } else if (run.run_type == Run::RT_Iteration) {
      seconds_[name].push_back(SecondsPerIteration(run));
      if (!repeated) shown.push_back(run);
    } else if (run.aggregate_name == kMedian) {
      shown.push_back(run);
    }
  }
  if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
}

std::optional<double> MedianReporter::MedianSeconds(const std::string& name) const {
  const auto found = seconds_.find(name);
  if (found == seconds_.end() || found->second.empty()) return std::nullopt;
  std::vector<double> sorted = found->second;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

std::optional<double> MedianReporter::Spread(const std::string& name) const {
  const std::optional<double> median = MedianSeconds(name);
  if (!median || *median <= 0) return std::nullopt;
  const std::vector<double>& all = seconds_.at(name);
  const auto [fastest, slowest] = std::minmax_element(all.begin(), all.end());
  return (*slowest - *fastest) / *median;
}

}  // namespace parlivo::bench
