// Cutting an answer into its three sections, and the cleaning alone. Both
// take the UTF-16 answer and return new strings; CutAnswer includes the
// cleaning of each section it finds.
#include <memory>
#include <string>

#include "bench/bench_names.h"
#include "bench/bench_support.h"
#include "bench/registrations.h"
#include "bench/sample_texts.h"
#include "translate/sections.h"

namespace parlivo::bench {
namespace {

struct AnswerInputs {
  std::u16string answer;
  std::string problem;  // empty when the answer cuts into three clean sections
};

bool HasInvisible(const std::u16string& text) { return StripInvisibleChars(text) != text; }

std::shared_ptr<const AnswerInputs> MakeAnswerInputs(Size size) {
  auto inputs = std::make_shared<AnswerInputs>();
  inputs->answer = LabelledAnswer(size.count);
  const BoxTexts boxes = CutAnswer(inputs->answer);
  if (boxes.arabic.empty() || boxes.english.empty() || boxes.german.empty() ||
      HasInvisible(boxes.arabic) || !HasInvisible(inputs->answer)) {
    inputs->problem = "the sample answer does not cut into three clean sections";
  }
  return inputs;
}

}  // namespace

void RegisterSectionsBenchmarks() {
  for (const Size size : {kLongAnswer, kSmallBlock, kLargeBlock}) {
    const auto in = MakeAnswerInputs(size);
    const std::size_t bytes = in->answer.size() * sizeof(char16_t);
    Register(BenchName(kCutAnswer, "", size), [in, bytes](benchmark::State& state) {
      if (Refuse(state, in->problem)) return;
      for (auto _ : state) benchmark::DoNotOptimize(CutAnswer(in->answer));
      CountBytes(state, bytes);
    });
    Register(BenchName(kStripInvisible, "", size), [in, bytes](benchmark::State& state) {
      if (Refuse(state, in->problem)) return;
      for (auto _ : state) benchmark::DoNotOptimize(StripInvisibleChars(in->answer));
      CountBytes(state, bytes);
    });
  }
}

}  // namespace parlivo::bench
