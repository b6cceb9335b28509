#include "translate/sections.h"

#include <array>
#include <optional>

#include "common/text.h"

namespace parlivo {
namespace {

constexpr std::array<std::u16string_view, 3> kLabels = {u"Arabic:", u"English:", u"German:"};
constexpr std::array<std::u16string_view, 3> kLabelWords = {u"Arabic", u"English", u"German"};

constexpr bool IsSectionSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

constexpr bool IsInvisible(char16_t c) {
  return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

// First occurrence of `label` at or after `from` that stands at the start of
// the text or right after white space; npos if there is none.
std::size_t FindStandaloneLabel(std::u16string_view text, std::u16string_view label,
                                std::size_t from) {
  for (std::size_t pos = text.find(label, from); pos != std::u16string_view::npos;
       pos = text.find(label, pos + 1)) {
    if (pos == 0 || IsSectionSpace(text[pos - 1])) return pos;
  }
  return std::u16string_view::npos;
}

BoxTexts CutByLines(std::u16string_view answer) {
  BoxTexts boxes;
  std::u16string* const targets[] = {&boxes.arabic, &boxes.english, &boxes.german};
  std::size_t lineStart = 0;
  while (lineStart < answer.size()) {
    std::size_t lineEnd = answer.find(u'\n', lineStart);
    if (lineEnd == std::u16string_view::npos) lineEnd = answer.size();
    const std::u16string line = Trim(answer.substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + 1;
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
      if (StartsWith(line, kLabels[i])) {
        *targets[i] = StripInvisibleChars(Trim(std::u16string_view(line).substr(kLabels[i].size())));
        break;
      }
    }
  }
  return boxes;
}

// Where a section lies in the text: its content runs from `begin` to
// `contentEnd`, and the section itself stops at `end`.
struct SectionBounds {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  std::size_t end = std::u16string_view::npos;
};

std::optional<SectionBounds> FindSection(std::u16string_view text, std::u16string_view labelWord,
                                         std::size_t start) {
  std::u16string key(labelWord);
  key += u':';
  if (key.size() > text.size() || start > text.size() - key.size()) return std::nullopt;
  const std::size_t found = text.find(key, start);
  if (found == std::u16string_view::npos) return std::nullopt;

  SectionBounds bounds;
  bounds.begin = found + key.size();
  while (bounds.begin < text.size() && IsBlankOrTab(text[bounds.begin])) ++bounds.begin;

  bounds.end = text.size();
  for (const std::u16string_view label : kLabels) {
    if (label == key) continue;
    const std::size_t next = FindStandaloneLabel(text, label, bounds.begin);
    if (next < bounds.end) bounds.end = next;
  }
  bounds.contentEnd = bounds.end;
  while (bounds.contentEnd > bounds.begin && IsSectionSpace(text[bounds.contentEnd - 1])) {
    --bounds.contentEnd;
  }
  return bounds;
}

}  // namespace

Section ExtractSection(std::u16string_view text, std::u16string_view labelWord,
                       std::size_t start) {
  const std::optional<SectionBounds> bounds = FindSection(text, labelWord, start);
  if (!bounds) return {};
  return {std::u16string(text.substr(bounds->begin, bounds->contentEnd - bounds->begin)),
          bounds->end};
}

std::u16string StripInvisibleChars(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  // Runs without an invisible character are copied whole.
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsInvisible(text[i])) {
      out.append(text.substr(runStart, i - runStart));
      runStart = i + 1;
    }
  }
  out.append(text.substr(runStart));
  return out;
}

BoxTexts CutAnswer(std::u16string_view answer) {
  std::array<std::u16string, 3> contents;
  std::size_t start = 0;
  bool anyContent = false;
  for (std::size_t i = 0; i < kLabelWords.size(); ++i) {
    const std::optional<SectionBounds> section = FindSection(answer, kLabelWords[i], start);
    if (!section || section->contentEnd == section->begin) continue;
    anyContent = true;
    // Cleaned straight from the answer: the section is copied once.
    contents[i] = StripInvisibleChars(
        answer.substr(section->begin, section->contentEnd - section->begin));
    start = section->end;
  }
  if (!anyContent) return CutByLines(answer);
  return {std::move(contents[0]), std::move(contents[1]), std::move(contents[2])};
}

}  // namespace parlivo
