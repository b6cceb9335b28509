// The cutting of an answer into its three sections, on arbitrary text and
// start positions. The last bytes of the input choose the starts, the rest is
// the answer in UTF-8, the form in which it arrives.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "common/utf8.h"
#include "fuzz_check.h"
#include "translate/sections.h"

namespace parlivo {
namespace {

constexpr std::array<std::u16string_view, 3> kLabelWords = {u"Arabic", u"English", u"German"};
// Starts run this far past the end of the answer, to cover starts beyond it.
constexpr std::size_t kStartsPastEnd = 8;

// Characters that must never reach an output box.
constexpr bool IsInvisible(char16_t c) {
  return (c <= 0x08) || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F) ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

bool HasInvisible(std::u16string_view text) {
  for (const char16_t c : text) {
    if (IsInvisible(c)) return true;
  }
  return false;
}

constexpr bool IsSectionSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

void CheckSection(std::u16string_view text, std::u16string_view labelWord, std::size_t start) {
  const Section section = ExtractSection(text, labelWord, start);
  Require(section.endPos == std::u16string::npos || section.endPos <= text.size(),
          "endPos is npos or within the text");
  if (section.endPos == std::u16string::npos) {
    Require(section.content.empty(), "an absent label gives no content");
    return;
  }
  std::u16string key(labelWord);
  key += u':';
  const std::size_t label = text.find(key, start);
  Require(label != std::u16string_view::npos && label + key.size() <= section.endPos,
          "a section starts at its label, at or after start, and ends after it");
  Require(section.content.size() <= section.endPos - label - key.size(),
          "the content lies between the label and endPos");
  if (section.content.empty()) return;
  Require(text.substr(label + key.size(), section.endPos - label - key.size())
                  .find(section.content) != std::u16string_view::npos,
          "the content is a piece of the text after its label");
  Require(!IsBlankOrTab(section.content.front()), "no blank or tab opens the content");
  Require(!IsSectionSpace(section.content.back()), "no white space ends the content");
}

}  // namespace
}  // namespace parlivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parlivo;
  FuzzedDataProvider input(data, size);
  std::array<std::uint16_t, kLabelWords.size()> rawStarts{};
  for (std::uint16_t& raw : rawStarts) raw = input.ConsumeIntegral<std::uint16_t>();
  const std::u16string answer = Utf8ToUtf16(input.ConsumeRemainingBytesAsString());

  for (std::size_t i = 0; i < kLabelWords.size(); ++i) {
    CheckSection(answer, kLabelWords[i], rawStarts[i] % (answer.size() + kStartsPastEnd + 1));
    CheckSection(answer, kLabelWords[i], std::u16string::npos);
  }

  const BoxTexts boxes = CutAnswer(answer);
  Require(!HasInvisible(boxes.arabic), "the Arabic box holds no invisible character");
  Require(!HasInvisible(boxes.english), "the English box holds no invisible character");
  Require(!HasInvisible(boxes.german), "the German box holds no invisible character");
  return 0;
}
