#pragma once

namespace parlivo::bench {

// Each adds the benchmarks of one part of the core.
void RegisterResponseTextBenchmarks();
void RegisterHttpPostBenchmarks();
void RegisterSectionsBenchmarks();
void RegisterRequestBenchmarks();
void RegisterUtf8Benchmarks();

}  // namespace parlivo::bench
