#pragma once

#include <ostream>

#include "bench/median_reporter.h"

namespace parlivo::bench {

// Prints each ratio of the goals beside its goal and whether the goal is met.
// Ratios are printed, never asserted. When `everyBenchmarkRan` is false (a
// filtered run), ratios whose benchmarks did not run are left out; otherwise
// they are shown as not run and counted in the result.
int PrintRatioTable(const MedianReporter& results, bool everyBenchmarkRan, std::ostream& out);

}  // namespace parlivo::bench
