#include "common/utf8.h"

#include <cstdint>

namespace parlivo {
namespace {

constexpr bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Well-formed UTF-8 restricts the second byte for a few lead bytes: this
// rules out overlong forms, encoded surrogates and code points past U+10FFFF.
struct LeadInfo {
  int length;  // 0 for a byte that cannot start a sequence
  std::uint8_t secondMin;
  std::uint8_t secondMax;
};

constexpr LeadInfo InfoForLead(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
  // A UTF-16 text never has more code units than its UTF-8 form has bytes,
  // so one allocation serves the whole conversion.
  std::u16string out(bytes.size(), u'\0');
  char16_t* dest = out.data();
  const auto* src = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t lead = src[i];
    if (lead < 0x80) {
      *dest++ = lead;
      ++i;
      continue;
    }
    const LeadInfo info = InfoForLead(lead);
    if (info.length == 0) {
      *dest++ = kReplacementCharacter;
      ++i;
      continue;
    }
    char32_t cp = lead & (0xFF >> (info.length + 1));
    std::size_t next = i + 1;
    bool complete = true;
    for (int k = 1; k < info.length; ++k, ++next) {
      if (next >= size) {
        complete = false;
        break;
      }
      const std::uint8_t byte = src[next];
      const bool fits = k == 1 ? (byte >= info.secondMin && byte <= info.secondMax)
                               : IsContinuation(byte);
      if (!fits) {
        complete = false;
        break;
      }
      cp = (cp << 6) | (byte & 0x3F);
    }
    i = next;
    if (!complete) {
      // The lead and the continuation bytes that fitted form one maximal
      // ill-formed subsequence; the byte that broke it is read afresh.
      *dest++ = kReplacementCharacter;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      *dest++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *dest++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *dest++ = static_cast<char16_t>(cp);
    }
  }
  out.resize(static_cast<std::size_t>(dest - out.data()));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(text[i + 1])) {
      const char32_t cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      AppendUtf8(out, cp);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace parlivo
