// EscapeJson on user input: the UTF-16 text in, a new escaped string out.
// 10,000 code units is the longest input the program sends; the two larger
// sizes only show how the pass scales.
#include <memory>
#include <string>

#include "bench/bench_names.h"
#include "bench/bench_support.h"
#include "bench/registrations.h"
#include "bench/sample_texts.h"
#include "gemini/request.h"

namespace parlivo::bench {

void RegisterRequestBenchmarks() {
  for (const Size size : {kLongestInput, kSmallBlock, kLargeBlock}) {
    const auto input = std::make_shared<const std::u16string>(MixedInput(size.count));
    const std::size_t bytes = input->size() * sizeof(char16_t);
    Register(BenchName(kEscapeJson, "", size), [input, bytes](benchmark::State& state) {
      for (auto _ : state) benchmark::DoNotOptimize(EscapeJson(*input));
      CountBytes(state, bytes);
    });
  }
}

}  // namespace parlivo::bench
