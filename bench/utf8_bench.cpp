// The conversions at the network boundary. Both directions work on the same
// text: Utf8ToUtf16 reads its UTF-8 bytes, Utf16ToUtf8 reads its UTF-16 form;
// the size named is that of the UTF-8 form, and throughput counts it too.
#include <memory>
#include <string>

#include "bench/bench_names.h"
#include "bench/bench_support.h"
#include "bench/registrations.h"
#include "bench/sample_texts.h"
#include "common/utf8.h"

namespace parlivo::bench {
namespace {

struct TextForms {
  std::string utf8;
  std::u16string utf16;
  std::string problem;  // empty when the two forms convert into each other
};

void RegisterScript(Script script, std::string_view variant, Size size) {
  auto forms = std::make_shared<TextForms>();
  forms->utf8 = Utf8Text(script, size.count);
  forms->utf16 = Utf8ToUtf16(forms->utf8);
  if (Utf16ToUtf8(forms->utf16) != forms->utf8) {
    forms->problem = "the conversions do not round-trip";
  }
  const std::shared_ptr<const TextForms> in = std::move(forms);
  const std::size_t bytes = in->utf8.size();

  Register(BenchName(kUtf8ToUtf16, variant, size), [in, bytes](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    for (auto _ : state) benchmark::DoNotOptimize(Utf8ToUtf16(in->utf8));
    CountBytes(state, bytes);
  });
  Register(BenchName(kUtf16ToUtf8, variant, size), [in, bytes](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    for (auto _ : state) benchmark::DoNotOptimize(Utf16ToUtf8(in->utf16));
    CountBytes(state, bytes);
  });
}

}  // namespace

void RegisterUtf8Benchmarks() {
  for (const Size size : kScalingSizes) {
    RegisterScript(Script::kAsciiHeavy, kAsciiLabel, size);
    RegisterScript(Script::kArabicHeavy, kArabicLabel, size);
  }
}

}  // namespace parlivo::bench
