// ExtractResponseText against a general JSON parser and against memcpy, on
// the same generateContent reply.
//
// What each side includes, per iteration:
// - ExtractResponseText: the UTF-16 reply in, a new UTF-16 answer out.
// - ExtractResponseTextFromUtf8: the program's path, the reply's UTF-8 bytes
//   in, a new UTF-16 answer out; only the answer is converted.
// - Utf8ToUtf16_ExtractResponseText: the path before that: conversion of
//   the whole reply, then extraction from the UTF-16 text.
// - nlohmann_json_parse: the reply's UTF-8 bytes in, the whole document
//   built, candidates[0].content.parts[0].text moved out as a UTF-8 string,
//   the document freed. The conversion of that answer to UTF-16, which the
//   program would still need, is left out in the parser's favour.
// - memcpy_utf8 / memcpy_utf16: the reply's bytes copied into a buffer that
//   exists already: the floor for any pass that reads the whole reply.
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "bench/bench_names.h"
#include "bench/bench_support.h"
#include "bench/registrations.h"
#include "bench/sample_texts.h"
#include "common/utf8.h"
#include "gemini/response_text.h"

namespace parlivo::bench {
namespace {

struct ReplyInputs {
  std::string bytes;
  std::u16string text;
  std::string problem;  // empty when every extraction and the parser agree
};

std::string ParserAnswer(const std::string& bytes) {
  nlohmann::json reply = nlohmann::json::parse(bytes);
  nlohmann::json& text = reply.at("candidates").at(0).at("content").at("parts").at(0).at("text");
  return std::move(text.get_ref<std::string&>());
}

std::shared_ptr<const ReplyInputs> MakeReplyInputs(ReplyFlavour flavour, Size size) {
  auto inputs = std::make_shared<ReplyInputs>();
  inputs->bytes = GeminiReply(flavour, size.count);
  inputs->text = Utf8ToUtf16(inputs->bytes);
  const std::u16string answer = ExtractResponseText(inputs->text);
  const std::string extracted = Utf16ToUtf8(answer);
  if (extracted.empty() || extracted != ParserAnswer(inputs->bytes)) {
    inputs->problem = "ExtractResponseText and the JSON parser disagree on the answer";
  } else if (ExtractResponseTextFromUtf8(inputs->bytes) != answer) {
    inputs->problem = "ExtractResponseTextFromUtf8 and ExtractResponseText disagree on the answer";
  }
  return inputs;
}

// Copies `source` into `target`, which has the same size already.
void TimeMemcpy(benchmark::State& state, const void* source, void* target, std::size_t bytes,
               std::size_t countedBytes) {
  for (auto _ : state) {
    std::memcpy(target, source, bytes);
    benchmark::DoNotOptimize(target);
    benchmark::ClobberMemory();
  }
  CountBytes(state, countedBytes);
}

void RegisterReply(ReplyFlavour flavour, std::string_view variant, Size size) {
  const auto in = MakeReplyInputs(flavour, size);
  const std::size_t replyBytes = in->bytes.size();

  Register(BenchName(kExtract, variant, size), [in, replyBytes](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    for (auto _ : state) benchmark::DoNotOptimize(ExtractResponseText(in->text));
    CountBytes(state, replyBytes);
  });
  Register(BenchName(kExtractFromUtf8, variant, size), [in, replyBytes](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    for (auto _ : state) benchmark::DoNotOptimize(ExtractResponseTextFromUtf8(in->bytes));
    CountBytes(state, replyBytes);
  });
  Register(BenchName(kConvertThenExtract, variant, size),
           [in, replyBytes](benchmark::State& state) {
             if (Refuse(state, in->problem)) return;
             for (auto _ : state) {
               benchmark::DoNotOptimize(ExtractResponseText(Utf8ToUtf16(in->bytes)));
             }
             CountBytes(state, replyBytes);
           });
  Register(BenchName(kParser, variant, size), [in, replyBytes](benchmark::State& state) {
    if (Refuse(state, in->problem)) return;
    for (auto _ : state) benchmark::DoNotOptimize(ParserAnswer(in->bytes));
    CountBytes(state, replyBytes);
  });
  Register(BenchName(kMemcpyUtf8, variant, size), [in, replyBytes](benchmark::State& state) {
    std::string target(replyBytes, '\0');
    TimeMemcpy(state, in->bytes.data(), target.data(), replyBytes, replyBytes);
  });
  Register(BenchName(kMemcpyUtf16, variant, size), [in, replyBytes](benchmark::State& state) {
    std::u16string target(in->text.size(), u'\0');
    TimeMemcpy(state, in->text.data(), target.data(), in->text.size() * sizeof(char16_t),
              replyBytes);
  });
}

}  // namespace

void RegisterResponseTextBenchmarks() {
  for (const Size size : {kRealisticReply, kSmallBlock, kLargeBlock}) {
    RegisterReply(ReplyFlavour::kPlain, kPlainLabel, size);
    RegisterReply(ReplyFlavour::kEscaped, kEscapedLabel, size);
  }
}

}  // namespace parlivo::bench
