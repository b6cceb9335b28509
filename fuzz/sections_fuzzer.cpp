// The cutting of an answer into its three sections, on arbitrary text and
// start positions, against a plain reference written position by position.
// The last bytes of the input choose the starts, the rest is the answer in
// UTF-8, the form in which it arrives.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "common/text.h"
#include "common/utf8.h"
#include "fuzz_check.h"
#include "translate/sections.h"

namespace parlivo {
namespace {

constexpr std::array<std::u16string_view, 3> kLabelWords = {u"Arabic", u"English", u"German"};
constexpr std::array<std::u16string_view, 3> kLabels = {u"Arabic:", u"English:", u"German:"};
// Starts run this far past the end of the answer, to cover starts beyond it.
constexpr std::size_t kStartsPastEnd = 8;

// Characters that must never reach an output box.
constexpr bool IsInvisible(char16_t c) {
  return (c <= 0x08) || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F) ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::u16string WithoutInvisible(std::u16string text) {
  std::erase_if(text, IsInvisible);
  return text;
}

constexpr bool IsSectionSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool LabelAt(std::u16string_view text, std::size_t pos, std::u16string_view label) {
  return text.substr(pos, label.size()) == label;
}

// The section of label `which` found at or after `start`: from after the
// label and its blanks and tabs to the first other label that white space
// precedes, less the white space before that.
Section ReferenceSection(std::u16string_view text, std::size_t which, std::size_t start) {
  for (std::size_t found = start; found < text.size(); ++found) {
    if (!LabelAt(text, found, kLabels[which])) continue;
    std::size_t begin = found + kLabels[which].size();
    while (begin < text.size() && IsBlankOrTab(text[begin])) ++begin;
    std::size_t end = text.size();
    for (std::size_t other = 0; other < kLabels.size(); ++other) {
      for (std::size_t pos = begin; other != which && pos < end; ++pos) {
        if (LabelAt(text, pos, kLabels[other]) && IsSectionSpace(text[pos - 1])) end = pos;
      }
    }
    std::size_t last = end;
    while (last > begin && IsSectionSpace(text[last - 1])) --last;
    return {std::u16string(text.substr(begin, last - begin)), end};
  }
  return {};
}

// Each line that begins, once trimmed, with a label fills that box with the
// trimmed rest after its first colon; a later line overwrites an earlier one.
void ReferenceLines(std::u16string_view answer, std::array<std::u16string, 3>& boxes) {
  std::u16string line;
  for (std::size_t pos = 0; pos <= answer.size(); ++pos) {
    if (pos < answer.size() && answer[pos] != u'\n') {
      line.push_back(answer[pos]);
      continue;
    }
    const std::u16string trimmed = Trim(std::exchange(line, {}));
    const std::u16string_view afterColon = std::u16string_view(trimmed).substr(trimmed.find(u':') + 1);
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
      if (LabelAt(trimmed, 0, kLabels[i])) boxes[i] = WithoutInvisible(Trim(afterColon));
    }
  }
}

std::array<std::u16string, 3> ReferenceCut(std::u16string_view answer) {
  std::array<std::u16string, 3> boxes;
  std::size_t start = 0;
  bool anyContent = false;
  for (std::size_t i = 0; i < kLabels.size(); ++i) {
    const Section section = ReferenceSection(answer, i, start);
    if (section.content.empty()) continue;
    anyContent = true;
    boxes[i] = WithoutInvisible(section.content);
    start = section.endPos;
  }
  if (!anyContent) ReferenceLines(answer, boxes);
  return boxes;
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
    for (const std::size_t start :
         {rawStarts[i] % (answer.size() + kStartsPastEnd + 1), std::u16string::npos}) {
      const Section section = ExtractSection(answer, kLabelWords[i], start);
      const Section expected = ReferenceSection(answer, i, start);
      Require(section.content == expected.content && section.endPos == expected.endPos,
              "a section runs from its label to the next label that white space precedes");
    }
  }
  const BoxTexts boxes = CutAnswer(answer);
  Require(std::array{boxes.arabic, boxes.english, boxes.german} == ReferenceCut(answer),
          "the boxes show the sections in turn, or else the labelled lines, cleaned");
  return 0;
}
