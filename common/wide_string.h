#pragma once

// The one place where the program's UTF-16 strings meet the Windows API's
// wchar_t, which is a 16-bit type on Windows.
#include <string>
#include <string_view>

namespace parlivo {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must hold UTF-16 code units");

inline const wchar_t* AsWide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A terminated copy, for views that may not end at a terminator.
inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace parlivo
