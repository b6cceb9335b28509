#pragma once

#include <cstdio>
#include <cstdlib>

namespace parlivo {

// Stops the run when a property the fuzz target checks does not hold.
// libFuzzer reports the abort as a crash and saves the input that caused it.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property broken: %s\n", property);
  std::abort();
}

}  // namespace parlivo
