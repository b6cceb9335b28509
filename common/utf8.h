#pragma once

#include <string>
#include <string_view>

namespace parlivo {

// Conversions between UTF-8 bytes and UTF-16 code units that behave like the
// Windows code page CP_UTF8 with flags 0: malformed input never stops a
// conversion. Each maximal ill-formed subsequence of UTF-8 becomes one
// U+FFFD, and so does each unpaired surrogate of UTF-16.
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

}  // namespace parlivo
