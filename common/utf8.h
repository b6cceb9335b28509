#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parlivo {

// Conversions between UTF-8 bytes and UTF-16 code units that behave like the
// Windows code page CP_UTF8 with flags 0: malformed input never stops a
// conversion. Each maximal ill-formed subsequence of UTF-8 becomes one
// U+FFFD, and so does each unpaired surrogate of UTF-16.
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// Where a decoding step stopped: the next byte to read and the next code
// unit to write. Decoding never writes more code units than it reads bytes.
struct Utf8DecodeEnd {
  std::size_t pos;
  char16_t* dest;
};

// The decoder behind Utf8ToUtf16, for passes that widen ASCII themselves: it
// decodes the run of bytes of 0x80 and above that starts at bytes[pos] into
// `dest`, up to the next ASCII byte or the end of `bytes`. No ASCII byte
// belongs to a multi-byte sequence, so a text decodes as its ASCII bytes
// widened one by one and its runs of other bytes each decoded on its own,
// whatever stands around them.
Utf8DecodeEnd DecodeNonAsciiRun(std::string_view bytes, std::size_t pos, char16_t* dest);

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

}  // namespace parlivo
