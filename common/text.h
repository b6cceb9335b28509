#pragma once

#include <string>
#include <string_view>

namespace parlivo {

// The only characters Trim removes: blank (U+0020) and tab (U+0009).
constexpr bool IsBlankOrTab(char16_t c) { return c == u' ' || c == u'\t'; }

// A copy of `text` without leading and trailing blanks and tabs. Line breaks,
// non-breaking spaces and everything else count as text.
std::u16string Trim(std::u16string_view text);

constexpr bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace parlivo
