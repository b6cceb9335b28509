// HttpPost through an in-memory transport that delivers the reply in 8 KiB
// chunks. Per iteration: the request body converted to UTF-8, the handles
// opened and closed, the chunks read and appended, and the answer extracted
// from the reply's bytes. Its floor is memcpy_utf8 of the same reply.
#include <memory>
#include <string>

#include "bench/bench_names.h"
#include "bench/bench_support.h"
#include "bench/memory_transport.h"
#include "bench/registrations.h"
#include "bench/sample_texts.h"
#include "common/text.h"
#include "common/utf8.h"
#include "gemini/http_post.h"
#include "gemini/request.h"
#include "gemini/response_text.h"

namespace parlivo::bench {
namespace {

constexpr std::uint32_t kChunkBytes = 8 * 1024;
constexpr std::u16string_view kUrl = u"https://example.test/v1beta/models/m:generateContent?&key=k";

struct ExchangeInputs {
  std::string reply;
  std::u16string body;
  std::string problem;  // empty when the exchange yields the reply's answer
};

std::shared_ptr<const ExchangeInputs> MakeExchangeInputs(ReplyFlavour flavour, Size size) {
  auto inputs = std::make_shared<ExchangeInputs>();
  inputs->reply = GeminiReply(flavour, size.count);
  inputs->body = BuildRequestBody(u"Haus");
  MemoryTransport transport(inputs->reply, kChunkBytes);
  const std::u16string answer = HttpPost(transport, kUrl, inputs->body);
  if (StartsWith(answer, u"Error") || answer != ExtractResponseText(Utf8ToUtf16(inputs->reply))) {
    inputs->problem = "HttpPost does not return the answer of the whole reply";
  }
  return inputs;
}

void RegisterExchange(ReplyFlavour flavour, std::string_view variant, Size size) {
  const auto in = MakeExchangeInputs(flavour, size);
  Register(BenchName(kHttpPost, variant, size), [in](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    MemoryTransport transport(in->reply, kChunkBytes);
    for (auto _ : state) {
      transport.Rewind();
      benchmark::DoNotOptimize(HttpPost(transport, kUrl, in->body));
    }
    CountBytes(state, in->reply.size());
  });
}

}  // namespace

void RegisterHttpPostBenchmarks() {
  for (const Size size : kScalingSizes) {
    RegisterExchange(ReplyFlavour::kPlain, kPlainLabel, size);
    RegisterExchange(ReplyFlavour::kEscaped, kEscapedLabel, size);
  }
}

}  // namespace parlivo::bench
