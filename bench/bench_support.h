#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace parlivo::bench {

// Registers `body(state)` under `name`, timed in microseconds. `body` holds
// its own inputs, made once here rather than at every run.
template <typename Body>
void Register(const std::string& name, Body body) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(body))->Unit(benchmark::kMicrosecond);
}

// Throughput in the table is per byte of the benchmark's input.
inline void CountBytes(benchmark::State& state, std::size_t bytesPerIteration) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytesPerIteration));
}

// A benchmark whose inputs failed their check reports the problem instead of
// timing something else than it claims.
inline bool Refuse(benchmark::State& state, const std::string& problem) {
  if (problem.empty()) return false;
  state.SkipWithError(problem.c_str());
  return true;
}

}  // namespace parlivo::bench
