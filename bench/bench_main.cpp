// Runs the core's benchmarks, then prints the ratios of the goals. Fails only
// when a benchmark could not run: times and ratios are reported, not asserted.
#include <benchmark/benchmark.h>

#include <iostream>
#include <string>

#include "bench/median_reporter.h"
#include "bench/ratio_table.h"
#include "bench/registrations.h"

namespace {

// Whether --benchmark_filter selects every benchmark, as it does by default.
bool RunsEverything() {
  const std::string filter = benchmark::GetBenchmarkFilter();
  return filter.empty() || filter == "." || filter == "all";
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  parlivo::bench::RegisterResponseTextBenchmarks();
  parlivo::bench::RegisterHttpPostBenchmarks();
  parlivo::bench::RegisterSectionsBenchmarks();
  parlivo::bench::RegisterRequestBenchmarks();
  parlivo::bench::RegisterUtf8Benchmarks();

  parlivo::bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const int missing = parlivo::bench::PrintRatioTable(reporter, RunsEverything(), std::cout);
  for (const std::string& failure : reporter.Failures()) std::cout << "FAILED " << failure << '\n';
  return reporter.Failures().empty() && missing == 0 ? 0 : 1;
}
