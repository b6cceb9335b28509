#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parlivo {

// One language section of the model's answer.
struct Section {
  std::u16string content;  // empty when the label is absent or nothing follows it
  std::size_t endPos = std::u16string::npos;  // where the section stops; npos if absent
};

// The section that follows "<labelWord>:" at or after `start`. It runs to the
// next of the other two labels that stands at the start of the text or after
// white space, or to the end; blanks and tabs after the label and white space
// at its end are left out.
Section ExtractSection(std::u16string_view text, std::u16string_view labelWord,
                       std::size_t start);

// `text` without control characters other than tab, line feed and carriage
// return, zero-width characters, bidirectional controls and the BOM.
std::u16string StripInvisibleChars(std::u16string_view text);

// What the three output boxes show for one answer.
struct BoxTexts {
  std::u16string arabic;
  std::u16string english;
  std::u16string german;
};

// Cuts an answer into its three sections, in the order Arabic, English,
// German, each search starting where the previous section ended. When all
// three come out empty, the answer is read line by line instead.
BoxTexts CutAnswer(std::u16string_view answer);

}  // namespace parlivo
